#include "TerminalPicture.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace glimmora {

namespace {

constexpr int kPixelSize = 12;

// A colour held red lowest as Qt's 0xAARRGGBB.
QRgb ToQt(Colour colour) {
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

} // namespace

TerminalPainter::TerminalPainter() : font_(QStringLiteral("DejaVu Sans Mono")) {
    font_.setPixelSize(kPixelSize);
    font_.setStyleHint(QFont::Monospace);
    const QFontMetrics metrics(font_);
    cellWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    cellHeight_ = std::max(1, metrics.height());
    ascent_ = metrics.ascent();
}

const QImage& TerminalPainter::Glyph(char32_t sign) const {
    if (const auto found = glyphs_.find(sign); found != glyphs_.end()) {
        return found->second;
    }
    QImage drawn(cellWidth_, cellHeight_, QImage::Format_RGB32);
    drawn.fill(Qt::black);
    if (sign != U' ') {
        QPainter painter(&drawn);
        painter.setFont(font_);
        painter.setPen(Qt::white);
        const auto character = static_cast<char32_t>(sign);
        painter.drawText(0, ascent_, QString::fromUcs4(&character, 1));
    }
    return glyphs_.emplace(sign, drawn.convertToFormat(QImage::Format_Grayscale8)).first->second;
}

QImage TerminalPainter::Paint(const CellGrid& grid) const {
    QImage picture(std::max(1, grid.columns) * cellWidth_, std::max(1, grid.rows) * cellHeight_,
                   QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    picture.fill(ToQt(grid.terminalBackground));
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            const Cell& cell = grid.At(column, row);
            const QRgb fg =
                ToQt(cell.foreground.code == CellColour::kTerminal ? grid.terminalForeground
                                                                   : cell.foreground.rgb);
            const QRgb bg =
                ToQt(cell.HasBackground() ? cell.background.rgb : grid.terminalBackground);
            const QImage& glyph = Glyph(cell.sign);
            for (int y = 0; y < cellHeight_; ++y) {
                const std::uint8_t* coverage = glyph.constScanLine(y);
                auto* out = reinterpret_cast<QRgb*>(picture.scanLine(row * cellHeight_ + y)) +
                            column * cellWidth_;
                for (int x = 0; x < cellWidth_; ++x) {
                    const int a = coverage[x];
                    const auto mix = [a](int f, int b) { return b + ((f - b) * a + 127) / 255; };
                    out[x] = qRgb(mix(qRed(fg), qRed(bg)), mix(qGreen(fg), qGreen(bg)),
                                  mix(qBlue(fg), qBlue(bg)));
                }
            }
        }
    }
    return picture;
}

} // namespace glimmora
