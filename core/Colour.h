#pragma once

#include <cstdint>
#include <string>

namespace glimmora {

// A colour is packed 0x00BBGGRR, red in the lowest byte.
using Colour = std::int32_t;

// What a pixel read returns outside the picture: all bits set.
inline constexpr Colour kInvalidColour = -1;

// The grey level of a colour, 0..255: green 0.59, red 0.33, blue 0.11 (in
// that order, double precision), rounded half to even, limited to 255.
// The bytes are taken with truncating division and remainder, so the
// invalid colour (-1) sums to -0.33 and gives level 0. Levels below 0 (only
// other negative values can give them) are raised to 0.
int GrayLevel(Colour colour);

// The grey colour of a colour: GrayLevel times 0x010101.
Colour GrayScale(Colour colour);

// Six uppercase hex digits, red pair first (0x0000FF gives "FF0000").
// The hex digits of the colour (eight two's-complement digits when it is
// negative, at least six) give up their characters 5-6, 3-4 and 1-2, so -1
// gives "FFFFFF" and 0x1234567 gives "563412".
std::string ColorToHex(Colour colour);

// The same six digits written to out[0..5], for the engine's hot path; the
// same result as ColorToHex for every value, without allocating.
void ColorToHexInto(Colour colour, char* out);

} // namespace glimmora
