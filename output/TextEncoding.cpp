#include "TextEncoding.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "Documents.h"

namespace glimmora {

namespace {

// The characters 0x80..0x9F of Windows-1252, by byte; 0 marks the five
// positions the code page leaves undefined.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98..9F
};

} // namespace

namespace detail {

char Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(static_cast<unsigned char>(c));
    }
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

Decoded DecodeUtf8(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t c = 0;
    // The allowed range of the second byte rules out overlong forms,
    // surrogates and characters above U+10FFFF.
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        if (lead == 0xE0) {
            secondLow = 0xA0;
        } else if (lead == 0xED) {
            secondHigh = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        if (lead == 0xF0) {
            secondLow = 0x90;
        } else if (lead == 0xF4) {
            secondHigh = 0x8F;
        }
    } else {
        return {std::nullopt, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (pos + i >= text.size()) {
            return {std::nullopt, i, true};
        }
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        const bool inRange =
            i == 1 ? (byte >= secondLow && byte <= secondHigh) : IsContinuation(byte);
        if (!inRange) {
            return {std::nullopt, i};
        }
        c = (c << 6) | (byte & 0x3F);
    }
    return {c, length};
}

void ToWindows1252InPlace(std::string& text) {
    const std::size_t size = text.size();
    // Art is mostly plain ASCII: skip it eight bytes at a time.
    std::size_t pos = 0;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (; pos + 8 <= size; pos += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        if ((word & kHighBits) != 0) {
            break;
        }
    }
    while (pos < size && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    std::size_t write = pos;
    while (pos < size) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            text[write++] = static_cast<char>(lead);
            ++pos;
            continue;
        }
        const Decoded decoded = DecodeUtf8(text, pos);
        text[write++] = decoded.character ? Windows1252Byte(*decoded.character) : '?';
        pos += decoded.length;
    }
    text.resize(write);
}

} // namespace detail

std::string ToWindows1252(std::string_view utf8) {
    std::string bytes(utf8);
    detail::ToWindows1252InPlace(bytes);
    return bytes;
}

} // namespace glimmora
