#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glimmora {

// Reads a number field the way the conversion does: the text as a decimal
// number, rounded to the nearest whole number with halves to even. Text that
// is empty, not a number, or outside -32768..32767 after rounding reads as 0.
std::int16_t ReadWholeNumber(std::string_view text);

// Reads text as a decimal number (leading and trailing blanks allowed);
// nothing when it is not one.
std::optional<double> ReadDecimal(std::string_view text);

// True when text reads as a whole number from 1 to 32767 (no fraction), the
// only steps that let a conversion finish.
bool IsUsableStep(std::string_view text);

// A number as plain decimal text without trailing zeros: 16, 17, 14.5.
std::string FormatDecimal(double value);

} // namespace glimmora
