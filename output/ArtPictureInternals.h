#pragma once

// What the files of the art picture share: the signs art text is read into,
// and the device the picture is drawn for.

#include <cstdint>
#include <functional>
#include <vector>

#include "ArtPicture.h"
#include "core/CellArt.h"

namespace glimmora::detail {

constexpr int kDotsPerMeter = 3780; // 96 dots per inch
constexpr double kPixelsPerPoint = 96.0 / 72.0;

// One character of art and its colours.
struct Sign {
    char32_t code = 0;
    Rgb ink = 0;
    Rgb paper = 0;
    bool hasPaper = false;
};

// Hands every line of art, as signs, to the function given.
using SignReplay = std::function<void(const std::function<void(const std::vector<Sign>&)>&)>;

// The lines of art text as signs.
SignReplay SignsOfText(const ArtReplay& art, const PictureLook& look);

// The rows of a cell grid as signs, in the colours the grid gives.
SignReplay SignsOfCells(const CellGrid& grid);

} // namespace glimmora::detail
