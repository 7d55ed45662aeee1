#pragma once

// Inside the cell art: colours as sRGB bytes, packed red in the low byte, and
// as linear light.

#include <algorithm>
#include <array>
#include <cmath>

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

// sRGB byte to linear light, 0..1, and back.
const std::array<double, 256>& LinearOfByte();
int ByteOfLinear(double linear);

} // namespace glimmora
