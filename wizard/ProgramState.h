#pragma once

#include <string>

namespace glimmora {

// Values that outlive one wizard window: the finished art and what the
// writers read. Texts are UTF-8.
struct ProgramState {
    std::string ArtBuffer; // the art text after a conversion
    std::string BackgroundColorCode = "000000";
    std::string FontSizeText;
    std::string FontFaceText;
    std::string ImageFileTitle;
};

} // namespace glimmora
