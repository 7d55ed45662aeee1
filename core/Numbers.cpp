#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace glimmora {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// True when text (already trimmed, sign removed) is digits with an optional
// point and fraction and an optional exponent. from_chars alone would also
// take "inf", "nan" and hexadecimal forms, which a typed number never is.
bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == text.size();
}

} // namespace

double RoundHalfEven(double value) {
    // From 2^52 on every double is whole already; NaN and infinities fail the
    // comparison and come back as they are.
    if (!(std::fabs(value) < 4503599627370496.0)) {
        return value;
    }
    const auto whole = static_cast<std::int64_t>(value);        // towards zero
    const double fraction = value - static_cast<double>(whole); // exact
    std::int64_t rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && (whole & 1) != 0)) {
        ++rounded;
    } else if (fraction < -0.5 || (fraction == -0.5 && (whole & 1) != 0)) {
        --rounded;
    }
    if (rounded == 0) {
        return 0.0; // never -0
    }
    return static_cast<double>(rounded);
}

std::optional<double> ReadDecimal(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!IsPlainNumber(text)) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Tiny numbers that underflow are zero for every use here; huge ones
        // are no usable number.
        const bool negativeExponent =
            text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
        if (!negativeExponent) {
            return std::nullopt;
        }
        value = 0.0;
    } else if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::int16_t ReadWholeNumber(std::string_view text) {
    const std::optional<double> value = ReadDecimal(text);
    if (!value) {
        return 0;
    }
    const double rounded = RoundHalfEven(*value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return 0;
    }
    return static_cast<std::int16_t>(rounded);
}

bool IsUsableStep(std::string_view text) {
    const std::optional<double> value = ReadDecimal(text);
    if (!value) {
        return false;
    }
    return *value >= 1.0 && *value <= 32767.0 && std::trunc(*value) == *value;
}

std::string FormatDecimal(double value) {
    if (value == 0.0) {
        return "0"; // also for -0
    }
    char buffer[400];
    const auto format =
        std::fabs(value) < 1e15 ? std::chars_format::fixed : std::chars_format::general;
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    if (error != std::errc{}) {
        return "0";
    }
    return std::string(buffer, end);
}

} // namespace glimmora
