#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace glimmora {

// Full width of the progress bar on page 5, in twips.
inline constexpr float kProgressBarFullWidth = 3975.0f;

// "12 of 480": the picture row reached and the picture height.
std::string LineCounterText(std::int16_t currentLine, std::int16_t height);

// The bar's width in twips after a line end: 3975 x (scale height x row) /
// height, single precision, never above 3975. Nothing when it cannot be
// worked out (a height of 0, or a negative width): the bar then keeps its
// width.
std::optional<float> ProgressBarWidth(std::int16_t scaleHeight, std::int32_t cellRow,
                                      std::int16_t height);

// "0 h, 2 min, 5 sek": elapsed / currentLine x (height - currentLine) seconds,
// rounded half to even. Nothing when it cannot be worked out (currentLine 0):
// the caption then keeps its text.
std::optional<std::string> TimeLeftText(std::int16_t elapsedSeconds, std::int16_t currentLine,
                                        std::int16_t height);

// "1 h, 1 min, 1 sek": a number of seconds rounded half to even, split into
// hours, minutes and seconds. Negative numbers keep their sign in each part.
std::string FormatTimeLeft(double seconds);

// The clock's next count: one more, but never past 32767.
std::int16_t NextElapsedSeconds(std::int16_t elapsedSeconds);

} // namespace glimmora
