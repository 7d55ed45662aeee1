#include "Colour.h"

#include <array>

#include "GreyLevel.h"

namespace glimmora {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The two hex digits of every byte, high digit first.
constexpr std::array<char, 512> MakeHexPairs() {
    std::array<char, 512> pairs{};
    for (int i = 0; i < 256; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = kHexDigits[i >> 4];
        pairs[static_cast<std::size_t>(2 * i + 1)] = kHexDigits[i & 15];
    }
    return pairs;
}

constexpr std::array<char, 512> kHexPairs = MakeHexPairs();

void PutHexPair(int byte, char* out) {
    out[0] = kHexPairs[static_cast<std::size_t>(2 * byte)];
    out[1] = kHexPairs[static_cast<std::size_t>(2 * byte + 1)];
}

} // namespace

int GrayLevel(Colour colour) {
    return detail::GreyLevelOf(colour);
}

Colour GrayScale(Colour colour) {
    return GrayLevel(colour) * 0x010101;
}

void ColorToHexInto(Colour colour, char* out) {
    if (colour >= 0 && colour <= 0xFFFFFF) {
        PutHexPair(colour & 0xFF, out);
        PutHexPair((colour >> 8) & 0xFF, out + 2);
        PutHexPair((colour >> 16) & 0xFF, out + 4);
        return;
    }
    // Longer digit strings: seven digits for 0x1000000.., eight for
    // 0x10000000.. and for every negative value (two's complement).
    const auto bits = static_cast<std::uint32_t>(colour);
    char digits[8];
    int count = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const auto digit = (bits >> shift) & 15u;
        if (count == 0 && digit == 0) {
            continue;
        }
        digits[count++] = kHexDigits[digit];
    }
    // Characters 5-6, then 3-4, then 1-2 of the digits.
    out[0] = digits[4];
    out[1] = digits[5];
    out[2] = digits[2];
    out[3] = digits[3];
    out[4] = digits[0];
    out[5] = digits[1];
}

std::string ColorToHex(Colour colour) {
    std::string code(6, '0');
    ColorToHexInto(colour, code.data());
    return code;
}

} // namespace glimmora
