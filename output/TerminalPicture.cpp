#include "TerminalPicture.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <vector>

namespace glimmora {

namespace {

constexpr std::uint32_t kDefaultForeground = 0xC0C0C0;
constexpr std::uint32_t kDefaultBackground = 0x000000;
constexpr int kPixelSize = 12;

// The 16 colours as xterm gives them.
constexpr std::array<std::uint32_t, 16> kSixteen = {
    0x000000, 0xCD0000, 0x00CD00, 0xCDCD00, 0x0000EE, 0xCD00CD, 0x00CDCD, 0xE5E5E5,
    0x7F7F7F, 0xFF0000, 0x00FF00, 0xFFFF00, 0x5C5CFF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// xterm's 256 colours: the 16, a 6 x 6 x 6 cube, 24 greys.
std::uint32_t Colour256(int index) {
    if (index < 16) {
        return kSixteen[static_cast<std::size_t>(std::max(0, index))];
    }
    if (index < 232) {
        const int cube = index - 16;
        const auto level = [](int step) { return step == 0 ? 0 : 55 + 40 * step; };
        return static_cast<std::uint32_t>((level(cube / 36) << 16) | (level(cube / 6 % 6) << 8) |
                                          level(cube % 6));
    }
    const int grey = 8 + 10 * (index - 232);
    return static_cast<std::uint32_t>((grey << 16) | (grey << 8) | grey);
}

struct Cell {
    std::string sign;
    std::uint32_t foreground;
    std::uint32_t background;
};

struct Pen {
    std::uint32_t foreground = kDefaultForeground;
    std::uint32_t background = kDefaultBackground;
    bool reverse = false;
};

// One SGR sequence's numbers applied to the pen.
void ApplySgr(const std::vector<int>& numbers, Pen& pen) {
    if (numbers.empty()) {
        pen = Pen();
        return;
    }
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const int n = numbers[i];
        if (n == 0) {
            pen = Pen();
        } else if (n == 7) {
            pen.reverse = true;
        } else if (n == 27) {
            pen.reverse = false;
        } else if (n == 38 || n == 48) {
            std::uint32_t colour = 0;
            if (i + 4 < numbers.size() && numbers[i + 1] == 2) {
                colour = static_cast<std::uint32_t>(((numbers[i + 2] & 0xFF) << 16) |
                                                    ((numbers[i + 3] & 0xFF) << 8) |
                                                    (numbers[i + 4] & 0xFF));
                i += 4;
            } else if (i + 2 < numbers.size() && numbers[i + 1] == 5) {
                colour = Colour256(numbers[i + 2] & 0xFF);
                i += 2;
            } else {
                return;
            }
            (n == 38 ? pen.foreground : pen.background) = colour;
        } else if (n == 39) {
            pen.foreground = kDefaultForeground;
        } else if (n == 49) {
            pen.background = kDefaultBackground;
        } else if (n >= 30 && n <= 37) {
            pen.foreground = kSixteen[static_cast<std::size_t>(n - 30)];
        } else if (n >= 90 && n <= 97) {
            pen.foreground = kSixteen[static_cast<std::size_t>(n - 90 + 8)];
        } else if (n >= 40 && n <= 47) {
            pen.background = kSixteen[static_cast<std::size_t>(n - 40)];
        } else if (n >= 100 && n <= 107) {
            pen.background = kSixteen[static_cast<std::size_t>(n - 100 + 8)];
        }
    }
}

// The text's cells, line by line.
std::vector<std::vector<Cell>> CellsOf(std::string_view text) {
    std::vector<std::vector<Cell>> lines(1);
    Pen pen;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == '\n') {
            lines.emplace_back();
            ++at;
            continue;
        }
        if (byte == 0x1B && at + 1 < text.size() && text[at + 1] == '[') {
            std::size_t end = at + 2;
            while (end < text.size() && (text[end] < 0x40 || text[end] > 0x7E)) {
                ++end;
            }
            if (end < text.size() && text[end] == 'm') {
                std::vector<int> numbers;
                int number = 0;
                bool any = false;
                for (std::size_t i = at + 2; i < end; ++i) {
                    if (text[i] >= '0' && text[i] <= '9') {
                        number = std::min(number * 10 + (text[i] - '0'), 65535);
                        any = true;
                    } else {
                        numbers.push_back(number);
                        number = 0;
                    }
                }
                if (any || !numbers.empty()) {
                    numbers.push_back(number);
                }
                ApplySgr(numbers, pen);
            }
            at = end + 1;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) {
            ++at;
            continue;
        }
        std::size_t size = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        size = std::min(size, text.size() - at);
        const std::uint32_t fg = pen.reverse ? pen.background : pen.foreground;
        const std::uint32_t bg = pen.reverse ? pen.foreground : pen.background;
        lines.back().push_back({std::string(text.substr(at, size)), fg, bg});
        at += size;
    }
    if (lines.size() > 1 && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
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

const QImage& TerminalPainter::Glyph(const std::string& sign) const {
    if (const auto found = glyphs_.find(sign); found != glyphs_.end()) {
        return found->second;
    }
    QImage drawn(cellWidth_, cellHeight_, QImage::Format_RGB32);
    drawn.fill(Qt::black);
    if (sign != " ") {
        QPainter painter(&drawn);
        painter.setFont(font_);
        painter.setPen(Qt::white);
        painter.drawText(0, ascent_,
                         QString::fromUtf8(sign.data(), static_cast<qsizetype>(sign.size())));
    }
    return glyphs_.emplace(sign, drawn.convertToFormat(QImage::Format_Grayscale8)).first->second;
}

QImage TerminalPainter::Paint(std::string_view text) const {
    const std::vector<std::vector<Cell>> lines = CellsOf(text);
    std::size_t columns = 1;
    for (const auto& line : lines) {
        columns = std::max(columns, line.size());
    }
    QImage picture(static_cast<int>(columns) * cellWidth_,
                   static_cast<int>(lines.size()) * cellHeight_, QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    picture.fill(QColor::fromRgb(kDefaultBackground));
    for (std::size_t row = 0; row < lines.size(); ++row) {
        for (std::size_t column = 0; column < lines[row].size(); ++column) {
            const Cell& cell = lines[row][column];
            const QImage& glyph = Glyph(cell.sign);
            for (int y = 0; y < cellHeight_; ++y) {
                const std::uint8_t* coverage = glyph.constScanLine(y);
                auto* out = reinterpret_cast<QRgb*>(
                                picture.scanLine(static_cast<int>(row) * cellHeight_ + y)) +
                            column * static_cast<std::size_t>(cellWidth_);
                for (int x = 0; x < cellWidth_; ++x) {
                    const int a = coverage[x];
                    const auto mix = [a](std::uint32_t fg, std::uint32_t bg, int shift) {
                        const int f = static_cast<int>((fg >> shift) & 0xFF);
                        const int b = static_cast<int>((bg >> shift) & 0xFF);
                        return static_cast<std::uint32_t>(b + ((f - b) * a + 127) / 255) << shift;
                    };
                    out[x] = 0xFF000000u | mix(cell.foreground, cell.background, 16) |
                             mix(cell.foreground, cell.background, 8) |
                             mix(cell.foreground, cell.background, 0);
                }
            }
        }
    }
    return picture;
}

} // namespace glimmora
