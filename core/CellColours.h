#pragma once

// Inside the cell art: colours as sRGB bytes, packed red in the low byte, and
// as linear light.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "Colour.h"

namespace glimmora {

inline int Red(Colour colour) {
    return colour & 0xFF;
}
inline int Green(Colour colour) {
    return (colour >> 8) & 0xFF;
}
inline int Blue(Colour colour) {
    return (colour >> 16) & 0xFF;
}
inline Colour Rgb(int red, int green, int blue) {
    return red | (green << 8) | (blue << 16);
}
inline int ToByte(double value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
}

// sRGB byte to linear light, 0..1.
const std::array<double, 256>& LinearOfByte();

// Linear light, 0..1, back to an sRGB byte, by table, for every sample of
// every frame: the least linear value that gives each byte from 1 on, found by bisection on the
// formula itself, so the bytes are the formula's to the last bit; and the byte at the start of each
// of kSteps equal steps. The bytes lie at least 1/3300 apart, so within a step the byte is that one
// or the next.
struct LinearBytes {
    static constexpr int kSteps = 8192;
    std::array<double, 256> firstOf{}; // firstOf[255]: past every byte
    std::array<std::uint8_t, kSteps> byteAt{};

    int Of(double linear) const {
        if (linear >= 1.0) {
            return 255;
        }
        if (!(linear > 0.0)) {
            return 0;
        }
        const int byte = byteAt[static_cast<std::size_t>(linear * kSteps)];
        return byte + (linear >= firstOf[static_cast<std::size_t>(byte)] ? 1 : 0);
    }
};
const LinearBytes& LinearBytesTable();

} // namespace glimmora
