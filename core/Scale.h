#pragma once

#include <string>
#include <string_view>

#include "Format.h"

namespace glimmora {

struct ScaleProposal {
    std::string across; // txtScaleWidth
    std::string down;   // txtScaleHeight
};

// Proposes the sampling steps from the picture's pixel count (width text
// times height text, read as decimals) and the format. Up to 40000 pixels is
// the first band, up to 500000 the second, above that the third. When either
// text is not a number the first band is proposed.
ScaleProposal AutoScale(std::string_view widthText, std::string_view heightText,
                        OutputFormat format);

} // namespace glimmora
