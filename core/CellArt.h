#pragma once

// Terminal cell art: the picture as a grid of terminal cells, each a sign in
// a foreground colour over a background colour, and the bytes a terminal
// reads to show it.
//
// The contract, for every drawing of the art (the terminal text, a picture
// of the art, an animation):
//
//   samples   the picture as seen by the cells: a PixelSource of exactly
//             columns * kCellSamplesAcross by rows * kCellSamplesDown
//             samples, each the mean colour of the area it covers (a box
//             filter; AreaSampler makes them row by row as a picture is
//             decoded, AreaAverage from any picture held whole).
//   MakeCellArt(samples, columns, rows, options)
//             decides every cell: its sign, and its colours as the terminal
//             will show them (palette colours already chosen for the depth).
//   WriteCellArt(grid, sink)
//             the grid as UTF-8 terminal text: SGR colour codes only where a
//             visible colour changes, one reset at the end of a line that
//             has colours on, LF line ends.
//
// A drawing that is not a terminal reads the grid alone: cell (c, r) shows
// its sign in foreground over background, both as plain RGB; a cell without
// a background colour of its own shows the terminal's (options.background).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "AreaSampler.h"
#include "Colour.h"
#include "PixelSource.h"

namespace glimmora {

// The signs a cell may take.
enum class CellSymbols {
    Ascii,     // the nine ramp boxes (or the word's letters), by brightness
    Blocks,    // space, upper half, lower half, full block: two pixels a cell
    Quadrants, // the sixteen 2 x 2 block patterns
    Braille,   // the 2 x 4 braille dots
    Shapes,    // any printable ASCII sign, by its glyph's shape
    Mosaic,    // every block sign: quadrants, halves and eighths
};

// How many colours the terminal is sent.
enum class ColourDepth {
    None,        // no colour codes at all: the terminal's own colours
    Sixteen,     // SGR 30-37, 90-97 (40-47, 100-107)
    TwoFiftySix, // SGR 38;5;N (48;5;N), the 6 x 6 x 6 cube and the greys
    Full,        // SGR 38;2;R;G;B (48;2;R;G;B)
};

// Samples a cell reads across and down, whatever its symbols.
inline constexpr int kCellSamplesAcross = 4;
inline constexpr int kCellSamplesDown = 8;

struct CellArtOptions {
    CellSymbols symbols = CellSymbols::Ascii;
    // Each cell gets a background colour too; sign and both colours are
    // chosen together. Without colours there is nothing to fill with.
    bool fill = false;
    ColourDepth depth = ColourDepth::Full;
    // The terminal's own background, as it shows it. Light signs on a dark
    // background and dark on a light one: the art is positive on both.
    Colour background = 0x000000;
    // Flips light and dark after that: the art of a negative.
    bool invert = false;
    // The ascii ramp, darkest first (txtBlack .. txtWhite); each box gives
    // its first character. A word, when not empty, gives the signs instead,
    // its letters running on across lines; the cells' brightness is then
    // shown by colour alone.
    std::array<std::string, 9> ramp{"9", "=", "u", "e", ";", ":", ",", ".", " "};
    std::string word;
};

// A colour a cell is drawn in: an RGB value as the terminal shows it, and
// how it is asked for.
struct CellColour {
    static constexpr std::int16_t kTerminal = -1; // the terminal's own; no code
    static constexpr std::int16_t kDirect = -2;   // 24-bit: the RGB value itself
    Colour rgb = 0;
    // kTerminal, kDirect, or the palette index 0..255.
    std::int16_t code = kTerminal;
    bool operator==(const CellColour&) const = default;
};

struct Cell {
    char32_t sign = U' ';
    CellColour foreground;
    CellColour background;
    bool HasBackground() const { return background.code != CellColour::kTerminal; }
    bool operator==(const Cell&) const = default;
};

struct CellGrid {
    int columns = 0;
    int rows = 0;
    ColourDepth depth = ColourDepth::Full;
    Colour terminalBackground = 0x000000;
    Colour terminalForeground = 0xFFFFFF;
    std::vector<Cell> cells; // row by row
    const Cell& At(int column, int row) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(column)];
    }
};

// The cells of the art. samples must hold columns * kCellSamplesAcross by
// rows * kCellSamplesDown samples; a sample read as the invalid colour
// counts as white. Throws std::bad_alloc when memory runs out.
CellGrid MakeCellArt(const PixelSource& samples, int columns, int rows,
                     const CellArtOptions& options);

// The grid as terminal text, handed to sink a line or more at a time.
void WriteCellArt(const CellGrid& grid, const std::function<void(std::string_view)>& sink);
std::string CellArtText(const CellGrid& grid);

// The largest art of cells twice as tall as wide that keeps the picture's
// shape and fits inside maxColumns x maxRows (a limit of 0 or less is no
// limit): columns and rows, each at least 1.
struct CellArtSize {
    int columns = 1;
    int rows = 1;
};
CellArtSize FitCellArt(int pictureWidth, int pictureHeight, int maxColumns, int maxRows);

// The terminal palette: the xterm colours of the sixteen, then the cube and
// the greys. The index of the palette colour nearest to colour in CIELAB,
// among the first sixteen (Sixteen) or among 16..255 (TwoFiftySix; the
// sixteen vary too much between terminals to be counted on there).
Colour PaletteColour(int index);
int NearestPaletteIndex(Colour colour, ColourDepth depth);

// Whether a background looks dark: its CIELAB lightness below 50.
bool IsDarkBackground(Colour background);

} // namespace glimmora
