#pragma once

#include <string>
#include <utility>

#include "output/Documents.h"

namespace glimmora::testing {

// A document style from its three texts: background colour code, font size
// and font face.
inline DocumentStyle Style(std::string background, std::string size, std::string face) {
    DocumentStyle style;
    style.backgroundColorCode = std::move(background);
    style.fontSizeText = std::move(size);
    style.fontFaceText = std::move(face);
    return style;
}

} // namespace glimmora::testing
