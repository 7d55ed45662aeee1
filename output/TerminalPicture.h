#pragma once

#include <QFont>
#include <QImage>

#include <unordered_map>

#include "core/CellArt.h"

namespace glimmora {

// Cell art as a terminal shows it: each cell one column of DejaVu Sans
// Mono, its sign in its foreground colour over its background (the
// terminal's where it has none of its own). Glyphs are drawn once and
// kept.
class TerminalPainter {
public:
    TerminalPainter();

    // The picture of the cells, Format_RGB32; a null image when memory runs
    // out. Needs the fonts of a QGuiApplication.
    QImage Paint(const CellGrid& grid) const;

    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }

private:
    const QImage& Glyph(char32_t sign) const;

    QFont font_;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int ascent_ = 0;
    // Each sign's coverage, one byte a pixel of its cell.
    mutable std::unordered_map<char32_t, QImage> glyphs_;
};

} // namespace glimmora
