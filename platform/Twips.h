#pragma once

#include <QRect>

#include <cmath>

namespace glimmora {

// Window layouts are given in twips, 15 to a pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

inline int Twips(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline QRect TwipsRect(double left, double top, double width, double height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

} // namespace glimmora
