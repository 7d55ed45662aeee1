#include <string>

#include "CellArt.h"
#include "CellColours.h"

namespace glimmora {

namespace {

void AppendUtf8(std::string& text, char32_t sign) {
    if (sign < 0x80) {
        text += static_cast<char>(sign);
    } else if (sign < 0x800) {
        text += static_cast<char>(0xC0 | (sign >> 6));
        text += static_cast<char>(0x80 | (sign & 0x3F));
    } else if (sign < 0x10000) {
        text += static_cast<char>(0xE0 | (sign >> 12));
        text += static_cast<char>(0x80 | ((sign >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (sign & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (sign >> 18));
        text += static_cast<char>(0x80 | ((sign >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((sign >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (sign & 0x3F));
    }
}

// The SGR parameters that ask for a colour; foreground or background.
void AppendColourCode(std::string& text, const CellColour& colour, ColourDepth depth,
                      bool foreground) {
    if (!text.ends_with('[')) {
        text += ';';
    }
    const int base = foreground ? 30 : 40;
    if (colour.code == CellColour::kTerminal) {
        text += std::to_string(base + 9);
    } else if (colour.code == CellColour::kDirect) {
        text += std::to_string(base + 8) + ";2;" + std::to_string(Red(colour.rgb)) + ';' +
                std::to_string(Green(colour.rgb)) + ';' + std::to_string(Blue(colour.rgb));
    } else if (depth == ColourDepth::Sixteen || colour.code < 8 ||
               (colour.code < 16 && depth != ColourDepth::TwoFiftySix)) {
        text += std::to_string(colour.code < 8 ? base + colour.code : base + 60 + colour.code - 8);
    } else {
        text += std::to_string(base + 8) + ";5;" + std::to_string(colour.code);
    }
}

bool ShowsInk(char32_t sign) {
    return sign != U' ' && sign != U'\u2800';
}
bool ShowsPaper(char32_t sign) {
    return sign != U'\u2588';
}

} // namespace

void WriteCellArt(const CellGrid& grid, const std::function<void(std::string_view)>& sink) {
    constexpr std::size_t kPiece = 64 * 1024;
    std::string text;
    std::string code;
    for (int row = 0; row < grid.rows; ++row) {
        CellColour ink;
        CellColour paper;
        for (int column = 0; column < grid.columns; ++column) {
            const Cell& cell = grid.At(column, row);
            code = "\x1b[";
            if (ShowsInk(cell.sign) && cell.foreground != ink) {
                AppendColourCode(code, cell.foreground, grid.depth, true);
                ink = cell.foreground;
            }
            if (ShowsPaper(cell.sign) && cell.background != paper) {
                AppendColourCode(code, cell.background, grid.depth, false);
                paper = cell.background;
            }
            if (code.size() > 2) {
                text += code;
                text += 'm';
            }
            AppendUtf8(text, cell.sign);
        }
        if (ink.code != CellColour::kTerminal || paper.code != CellColour::kTerminal) {
            text += "\x1b[0m";
        }
        text += '\n';
        if (text.size() >= kPiece) {
            sink(text);
            text.clear();
        }
    }
    if (!text.empty()) {
        sink(text);
    }
}

std::string CellArtText(const CellGrid& grid) {
    std::string text;
    WriteCellArt(grid, [&text](std::string_view piece) { text += piece; });
    return text;
}

} // namespace glimmora
