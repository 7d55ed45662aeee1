#include "CellSigns.h"

namespace glimmora {

namespace {

// Printable ASCII, ' ' to '~'.
constexpr std::array<GlyphCoverage, 95> kGlyphShapes{{
#include "GlyphShapes.inc"
}};

} // namespace

const GlyphCoverage* GlyphCover(char32_t sign) {
    if (sign < 32 || sign > 126) {
        return nullptr;
    }
    return &kGlyphShapes[sign - 32];
}

} // namespace glimmora
