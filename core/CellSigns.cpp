#include "CellSigns.h"

namespace glimmora {

const GlyphCoverage* GlyphCover(char32_t) {
    return nullptr;
}

} // namespace glimmora
