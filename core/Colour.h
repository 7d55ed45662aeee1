#pragma once

#include <cstdint>
#include <string>

namespace glimmora {

// A colour is packed 0x00BBGGRR, red in the lowest byte.
using Colour = std::int32_t;

// What a pixel read returns outside the picture: all bits set.
inline constexpr Colour kInvalidColour = -1;

// The grey colour of a colour: green 0.59, red 0.33, blue 0.11 (in that
// order, double precision), rounded half to even, limited to 255, times
// 0x010101.
Colour GrayScale(Colour colour);

// Six uppercase hex digits, red pair first (0x0000FF gives "FF0000").
std::string ColorToHex(Colour colour);

// The same six digits written to out[0..5], for the engine's hot path. Only
// the lowest 24 bits are used, except for -1 and other negative values,
// which follow ColorToHex.
void ColorToHexInto(Colour colour, char* out);

} // namespace glimmora
