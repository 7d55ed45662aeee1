#pragma once

// Inside the cell art: the signs a cell may take and the ink of each.

#include <array>
#include <cstddef>

#include "CellArt.h"

namespace glimmora {

// The 2 x 2 block signs by their bits: upper left 1, upper right 2, lower
// left 4, lower right 8.
inline constexpr std::array<char32_t, 16> kQuadrantSigns{
    U' ',      U'\u2598', U'\u259D', U'\u2580', U'\u2596', U'\u258C', U'\u259E', U'\u259B',
    U'\u2597', U'\u259A', U'\u2590', U'\u259C', U'\u2584', U'\u2599', U'\u259F', U'\u2588',
};

// The bit of the braille dot in column 0..1, row 0..3 (U+2800 plus the bits).
constexpr int BrailleDotBit(int column, int row) {
    return row == 3 ? (column == 0 ? 0x40 : 0x80) : (1 << (row + 3 * column));
}

// The part of each of a cell's samples (row by row, kCellSamplesAcross a
// row) that a printable ASCII sign's ink covers in the monospace face the
// table was made from; null for any other sign, or where no table was made.
using GlyphCoverage = std::array<float, kCellSamplesAcross * kCellSamplesDown>;
const GlyphCoverage* GlyphCover(char32_t sign);

} // namespace glimmora
