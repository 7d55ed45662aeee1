#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glimmora {

// Reads a number field the way the conversion does: the text as a decimal
// number, rounded to the nearest whole number with halves to even. Text that
// is empty, not a number, or outside -32768..32767 after rounding reads as 0.
//
// A number is: optional blanks, an optional sign, digits with an optional
// decimal point and fraction (at least one digit in all), an optional
// exponent (e or E, optional sign, digits), optional blanks. The decimal
// point is always '.', whatever the system's language.
std::int16_t ReadWholeNumber(std::string_view text);

// Reads text as a decimal number (leading and trailing blanks allowed);
// nothing when it is not one, or when it is too large for a double.
std::optional<double> ReadDecimal(std::string_view text);

// True when text reads as a whole number from 1 to 32767 (no fraction), the
// only steps that let a conversion finish. Surrounding blanks are accepted,
// as the conversion reads the same value from them; "2.0" is the whole
// number 2, "2.5" is refused.
bool IsUsableStep(std::string_view text);

// A number as plain decimal text without trailing zeros: 16, 17, 14.5.
// Numbers of 1e15 and more are written with an exponent.
std::string FormatDecimal(double value);

// value rounded to the nearest whole number, halves to the even neighbour
// (2.5 gives 2, 3.5 gives 4, -2.5 gives -2), whatever the floating-point
// rounding mode. NaN and infinities come back unchanged.
double RoundHalfEven(double value);

} // namespace glimmora
