#pragma once

#include <QFont>
#include <QImage>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace glimmora {

// Terminal text as a terminal shows it: lines of UTF-8 cells, LF ended,
// coloured by SGR sequences (24-bit, 256 and 16 colours, reverse, reset;
// other sequences are passed over), each cell one column of DejaVu Sans
// Mono in its foreground colour on its background, light grey on black
// where no colour is given. Glyphs are drawn once and kept.
class TerminalPainter {
public:
    TerminalPainter();

    // The picture of the text, Format_RGB32; a null image when memory runs
    // out. Needs the fonts of a QGuiApplication.
    QImage Paint(std::string_view text) const;

    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }

private:
    const QImage& Glyph(const std::string& sign) const;

    QFont font_;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int ascent_ = 0;
    // Each sign's coverage, one byte a pixel of its cell.
    mutable std::unordered_map<std::string, QImage> glyphs_;
};

} // namespace glimmora
