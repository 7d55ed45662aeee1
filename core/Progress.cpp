#include "Progress.h"

#include <cmath>

#include "Numbers.h"

namespace glimmora {

std::string LineCounterText(std::int16_t currentLine, std::int16_t height) {
    return std::to_string(currentLine) + " of " + std::to_string(height);
}

std::optional<float> ProgressBarWidth(std::int16_t scaleHeight, std::int32_t cellRow,
                                      std::int16_t height) {
    if (height == 0) {
        return std::nullopt;
    }
    const double reached = static_cast<double>(scaleHeight) * static_cast<double>(cellRow);
    const double fraction = reached / static_cast<double>(height);
    // The product is worked out in double and the bar takes it as a single.
    const auto width = static_cast<float>(static_cast<double>(kProgressBarFullWidth) * fraction);
    if (!(width >= 0.0f)) {
        return std::nullopt;
    }
    if (width > kProgressBarFullWidth) {
        return kProgressBarFullWidth;
    }
    return width;
}

std::string FormatTimeLeft(double seconds) {
    const double rounded = RoundHalfEven(seconds);
    if (!std::isfinite(rounded) || std::fabs(rounded) > 9.0e15) {
        return "0 h, 0 min, 0 sek";
    }
    const auto total = static_cast<std::int64_t>(rounded);
    const std::int64_t hours = total / 3600;
    const std::int64_t minutes = (total % 3600) / 60;
    const std::int64_t secs = total % 60;
    return std::to_string(hours) + " h, " + std::to_string(minutes) + " min, " +
           std::to_string(secs) + " sek";
}

std::optional<std::string> TimeLeftText(std::int16_t elapsedSeconds, std::int16_t currentLine,
                                        std::int16_t height) {
    if (currentLine == 0) {
        return std::nullopt;
    }
    const double perLine = static_cast<double>(elapsedSeconds) / static_cast<double>(currentLine);
    const double remaining = perLine * (static_cast<double>(height) - currentLine);
    return FormatTimeLeft(remaining);
}

std::int16_t NextElapsedSeconds(std::int16_t elapsedSeconds) {
    if (elapsedSeconds >= 32767) {
        return elapsedSeconds;
    }
    return static_cast<std::int16_t>(elapsedSeconds + 1);
}

} // namespace glimmora
