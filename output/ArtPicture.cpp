#include "ArtPicture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

#include "PngWriter.h"
#include "core/CellArt.h"

namespace glimmora {

namespace {

constexpr int kDotsPerMeter = 3780; // 96 dots per inch
constexpr double kPixelsPerPoint = 96.0 / 72.0;
// A band holds about this much, and never more rows than this.
constexpr std::int64_t kBandBytes = 2 * 1024 * 1024;
constexpr std::int64_t kMostBandRows = 512;
constexpr char32_t kReplacement = 0xFFFD;
constexpr int kTabStop = 8;

// One character of art and its colours.
struct Sign {
    char32_t code = 0;
    Rgb ink = 0;
    Rgb paper = 0;
    bool hasPaper = false;
};

// Calls onCharacter(code) for every character of UTF-8 bytes, and U+FFFD for each
// byte that starts no valid character.
template <typename Emit> void DecodeUtf8(std::string_view bytes, Emit&& onCharacter) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            onCharacter(static_cast<char32_t>(lead));
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        bool valid = length > 0 && i + length <= bytes.size();
        char32_t code = lead & (0x7F >> length);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && !(length == 3 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) &&
                !(length == 4 && (code < 0x10000 || code > 0x10FFFF));
        if (valid) {
            onCharacter(code);
            i += length;
        } else {
            onCharacter(kReplacement);
            ++i;
        }
    }
}

// A colour of the terminal palette, as RGB.
Rgb PaletteRgb(int index) {
    return RgbOfColour(PaletteColour(std::clamp(index, 0, 255)));
}

// The colours a terminal carries from one SGR sequence to the next, across
// lines too.
struct TerminalColours {
    std::optional<Rgb> fg;
    std::optional<Rgb> bg;
    bool reverse = false;

    void Apply(std::string_view parameters) {
        std::vector<int> values;
        std::size_t at = 0;
        while (at <= parameters.size()) {
            std::size_t end = parameters.find_first_of(";:", at);
            if (end == std::string_view::npos) {
                end = parameters.size();
            }
            int value = 0;
            std::from_chars(parameters.data() + at, parameters.data() + end, value);
            values.push_back(value);
            at = end + 1;
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int p = values[i];
            if (p == 0) {
                *this = TerminalColours();
            } else if (p == 7 || p == 27) {
                reverse = p == 7;
            } else if (p >= 30 && p <= 37) {
                fg = PaletteRgb(p - 30);
            } else if (p >= 90 && p <= 97) {
                fg = PaletteRgb(p - 90 + 8);
            } else if (p == 39) {
                fg.reset();
            } else if (p >= 40 && p <= 47) {
                bg = PaletteRgb(p - 40);
            } else if (p >= 100 && p <= 107) {
                bg = PaletteRgb(p - 100 + 8);
            } else if (p == 49) {
                bg.reset();
            } else if ((p == 38 || p == 48) && i + 1 < values.size()) {
                std::optional<Rgb> colour;
                if (values[i + 1] == 5 && i + 2 < values.size()) {
                    colour = PaletteRgb(values[i + 2]);
                    i += 2;
                } else if (values[i + 1] == 2 && i + 4 < values.size()) {
                    const auto byte = [&](std::size_t k) {
                        return static_cast<Rgb>(std::clamp(values[i + k], 0, 255));
                    };
                    colour = byte(2) << 16 | byte(3) << 8 | byte(4);
                    i += 4;
                }
                (p == 38 ? fg : bg) = colour;
            }
        }
    }
};

// "&amp;", "&lt;", "&gt;", "&quot;" and "&#N;" as their characters.
std::string Unescaped(std::string_view letter) {
    if (letter.size() < 3 || letter.front() != '&' || letter.back() != ';') {
        return std::string(letter);
    }
    const std::string_view name = letter.substr(1, letter.size() - 2);
    if (name == "amp") {
        return "&";
    }
    if (name == "lt") {
        return "<";
    }
    if (name == "gt") {
        return ">";
    }
    if (name == "quot") {
        return "\"";
    }
    return std::string(letter);
}

// Reads one line of art (without its line end) into signs.
class LineReader {
public:
    explicit LineReader(const PictureLook& look) : look_(&look) {}

    void Read(std::string_view line, std::vector<Sign>& signs) {
        signs.clear();
        switch (look_->kind) {
        case ArtKind::Signs:
            DecodeUtf8(line, [&](char32_t code) { signs.push_back({code, look_->ink, 0, false}); });
            break;
        case ArtKind::ColouredLetters:
            ReadColoured(line, signs);
            break;
        case ArtKind::TerminalText:
            ReadTerminal(line, signs);
            break;
        }
    }

private:
    void ReadColoured(std::string_view line, std::vector<Sign>& signs) const {
        constexpr std::string_view kOpen = "<font color=\"#";
        constexpr std::string_view kMiddle = "\">";
        constexpr std::string_view kClose = "</font>";
        std::size_t at = 0;
        while ((at = line.find(kOpen, at)) != std::string_view::npos) {
            const std::size_t codeAt = at + kOpen.size();
            const std::size_t letterAt = codeAt + 6 + kMiddle.size();
            const std::size_t end = line.find(kClose, codeAt);
            if (end == std::string_view::npos || letterAt > end) {
                break;
            }
            const Rgb ink = RgbOfCode(line.substr(codeAt, 6));
            DecodeUtf8(Unescaped(line.substr(letterAt, end - letterAt)), [&](char32_t code) {
                signs.push_back({code, ink, 0, false});
            });
            at = end + kClose.size();
        }
    }

    void ReadTerminal(std::string_view line, std::vector<Sign>& signs) {
        std::size_t at = 0;
        while (at < line.size()) {
            if (line[at] == '\x1b') {
                if (at + 1 < line.size() && line[at + 1] == '[') {
                    std::size_t end = at + 2;
                    while (end < line.size() && !(line[end] >= 0x40 && line[end] <= 0x7E)) {
                        ++end;
                    }
                    if (end < line.size() && line[end] == 'm') {
                        colours_.Apply(line.substr(at + 2, end - at - 2));
                    }
                    at = end + 1;
                } else {
                    at += 2;
                }
                continue;
            }
            const std::size_t next = std::min(line.find('\x1b', at), line.size());
            DecodeUtf8(line.substr(at, next - at), [&](char32_t code) {
                if (code == '\t') {
                    do {
                        signs.push_back({' ', 0, 0, false});
                    } while (signs.size() % kTabStop != 0);
                } else if (code >= 0x20 && code != 0x7F) {
                    signs.push_back(TerminalSign(code));
                }
            });
            at = next;
        }
    }

    Sign TerminalSign(char32_t code) const {
        Sign sign{code, colours_.fg.value_or(look_->ink), colours_.bg.value_or(0),
                  colours_.bg.has_value()};
        if (colours_.reverse) {
            sign.ink = colours_.bg.value_or(look_->background);
            sign.paper = colours_.fg.value_or(look_->ink);
            sign.hasPaper = true;
        }
        return sign;
    }

    const PictureLook* look_;
    TerminalColours colours_;
};

// Hands on whole lines of art text arriving in pieces; a line ends at a CR,
// an LF or a CR LF. A last line without an end counts when it is not empty.
class LineSplitter {
public:
    explicit LineSplitter(std::function<void(std::string_view)> onLine)
        : onLine_(std::move(onLine)) {}

    void Take(std::string_view piece) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const char c = piece[i];
            if (c != '\r' && c != '\n') {
                continue;
            }
            const bool secondHalf = c == '\n' && afterCr_ && i == start;
            afterCr_ = c == '\r';
            if (secondHalf) {
                start = i + 1;
                continue;
            }
            if (held_.empty()) {
                onLine_(piece.substr(start, i - start));
            } else {
                held_.append(piece.substr(start, i - start));
                onLine_(held_);
                held_.clear();
            }
            start = i + 1;
        }
        if (start < piece.size()) {
            afterCr_ = false;
            held_.append(piece.substr(start));
        }
    }
    void Finish() {
        if (!held_.empty()) {
            onLine_(held_);
            held_.clear();
        }
    }

private:
    std::function<void(std::string_view)> onLine_;
    std::string held_;
    bool afterCr_ = false;
};

// The alpha of one glyph drawn at a quarter-pixel offset: left and top are
// its place from the pen position (x rounded down, the baseline).
struct GlyphMask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;
};

// The face at its size on a 96-dpi device: advances, heights and glyph masks.
class Face {
public:
    explicit Face(const PictureLook& look) : device_(1, 1, QImage::Format_ARGB32_Premultiplied) {
        device_.setDotsPerMeterX(kDotsPerMeter);
        device_.setDotsPerMeterY(kDotsPerMeter);
        font_.setFamily(QString::fromStdString(look.face));
        font_.setPointSizeF(look.points);
        font_.setKerning(false);
        const QFontMetricsF metrics(font_, &device_);
        ascent_ = metrics.ascent();
        descent_ = metrics.descent();
        lineSpacing_ = metrics.lineSpacing();
        ceilAscent_ = static_cast<int>(std::ceil(ascent_));
        pad_ = static_cast<int>(std::ceil(look.points * kPixelsPerPoint / 2)) + 2;
        for (std::size_t c = 0; c < ascii_.size(); ++c) {
            ascii_[c] = metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
        }
    }

    double Ascent() const { return ascent_; }
    double Descent() const { return descent_; }
    double LineSpacing() const { return lineSpacing_; }
    int CeilAscent() const { return ceilAscent_; }
    // How far a glyph may reach above and below its baseline.
    int ReachUp() const { return pad_ + ceilAscent_; }
    int ReachDown() const { return pad_ + static_cast<int>(std::ceil(descent_)) + 2; }

    double Advance(char32_t code) {
        if (code < ascii_.size()) {
            return ascii_[code];
        }
        const auto found = other_.find(code);
        if (found != other_.end()) {
            return found->second;
        }
        const double advance = QFontMetricsF(font_, &device_).horizontalAdvance(Text(code));
        other_.emplace(code, advance);
        return advance;
    }

    // Masks stay where they are for the face's life.
    const GlyphMask& Mask(char32_t code, int quarter) {
        const std::uint64_t key = static_cast<std::uint64_t>(code) << 2 | quarter;
        const auto found = masks_.find(key);
        if (found != masks_.end()) {
            return found->second;
        }
        return masks_.emplace(key, Draw(code, quarter)).first->second;
    }

private:
    static QString Text(char32_t code) { return QString::fromUcs4(&code, 1); }

    GlyphMask Draw(char32_t code, int quarter) {
        const int width = static_cast<int>(std::ceil(Advance(code))) + 2 * pad_ + 1;
        const int height = static_cast<int>(std::ceil(ascent_ + descent_)) + 2 * pad_ + 2;
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(kDotsPerMeter);
        image.setDotsPerMeterY(kDotsPerMeter);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setFont(font_);
            painter.setPen(Qt::white);
            painter.drawText(QPointF(pad_ + quarter / 4.0, pad_ + ceilAscent_), Text(code));
        }
        int left = width;
        int right = -1;
        int top = height;
        int bottom = -1;
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                if (qAlpha(row[x]) != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        GlyphMask mask;
        if (right < 0) {
            return mask;
        }
        mask.left = left - pad_;
        mask.top = top - pad_ - ceilAscent_;
        mask.width = right - left + 1;
        mask.height = bottom - top + 1;
        mask.alpha.reserve(static_cast<std::size_t>(mask.width) * mask.height);
        for (int y = top; y <= bottom; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = left; x <= right; ++x) {
                mask.alpha.push_back(static_cast<std::uint8_t>(qAlpha(row[x])));
            }
        }
        return mask;
    }

    QImage device_;
    QFont font_;
    double ascent_ = 0;
    double descent_ = 0;
    double lineSpacing_ = 0;
    int ceilAscent_ = 0;
    int pad_ = 0;
    std::array<double, 128> ascii_{};
    std::unordered_map<char32_t, double> other_;
    std::unordered_map<std::uint64_t, GlyphMask> masks_;
};

// Hands every line of art, as signs, to the function given.
using SignReplay = std::function<void(const std::function<void(const std::vector<Sign>&)>&)>;

// The lines of art text as signs.
SignReplay SignsOfText(const ArtReplay& art, const PictureLook& look) {
    return [&art, &look](const std::function<void(const std::vector<Sign>&)>& onLine) {
        LineReader reader(look);
        std::vector<Sign> signs;
        LineSplitter splitter([&](std::string_view line) {
            reader.Read(line, signs);
            onLine(signs);
        });
        art([&splitter](std::string_view piece) { splitter.Take(piece); });
        splitter.Finish();
    };
}

// The rows of a cell grid as signs, in the colours the grid gives.
SignReplay SignsOfCells(const CellGrid& grid) {
    return [&grid](const std::function<void(const std::vector<Sign>&)>& onLine) {
        std::vector<Sign> signs(static_cast<std::size_t>(std::max(grid.columns, 0)));
        for (int row = 0; row < grid.rows; ++row) {
            for (int column = 0; column < grid.columns; ++column) {
                const Cell& cell = grid.At(column, row);
                signs[static_cast<std::size_t>(column)] = {
                    cell.sign, RgbOfColour(cell.foreground.rgb), RgbOfColour(cell.background.rgb),
                    cell.HasBackground()};
            }
            onLine(signs);
        }
    };
}

// A glyph in its place, and a cell's background.
struct Placed {
    std::int64_t x;
    const GlyphMask* mask;
    Rgb ink;
};
struct Paper {
    std::int64_t left;
    std::int64_t right;
    Rgb colour;
};

// One line laid out: rows top..bottom are its own (a cell's background fills
// them); its glyphs may reach from reachTop to reachBottom.
struct LaidLine {
    std::int64_t top = 0;
    std::int64_t bottom = 0;
    std::int64_t baseline = 0;
    std::int64_t reachTop = 0;
    std::int64_t reachBottom = 0;
    std::vector<Placed> glyphs;
    std::vector<Paper> papers;
};

void Blend(std::uint8_t* out, Rgb ink, unsigned alpha) {
    const unsigned inks[3] = {ink >> 16 & 0xFF, ink >> 8 & 0xFF, ink & 0xFF};
    for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<std::uint8_t>((inks[c] * alpha + out[c] * (255 - alpha) + 127) / 255);
    }
}

void Put(std::uint8_t* out, Rgb ink) {
    out[0] = static_cast<std::uint8_t>(ink >> 16);
    out[1] = static_cast<std::uint8_t>(ink >> 8);
    out[2] = static_cast<std::uint8_t>(ink);
}

} // namespace

struct ArtPicture::State {
    explicit State(const PictureLook& pictureLook) : look(pictureLook), face(look) {
        switch (look.setting) {
        case LineSetting::Viewer:
            pitch = std::max(1.0, std::ceil(face.LineSpacing()));
            break;
        case LineSetting::Browser:
            pitch = look.points * kPixelsPerPoint;
            break;
        case LineSetting::Terminal:
            pitch = std::max(1.0, std::ceil(face.Ascent() + face.Descent()));
            cellWidth = std::max<std::int64_t>(1, std::llround(face.Advance('M')));
            break;
        }
    }

    std::int64_t LineTop(std::int64_t line) const {
        return static_cast<std::int64_t>(std::floor(static_cast<double>(line) * pitch));
    }
    std::int64_t Baseline(std::int64_t line) const {
        if (look.setting == LineSetting::Browser) {
            // Lines closer than the face's height: the glyphs are centred on
            // the line, as CSS centres them.
            const double halfLeading = (pitch - (face.Ascent() + face.Descent())) / 2;
            return std::llround(static_cast<double>(line) * pitch + halfLeading + face.Ascent());
        }
        return LineTop(line) + face.CeilAscent();
    }

    // The line's width in pixels, unrounded.
    double Width(const std::vector<Sign>& signs) {
        if (look.setting == LineSetting::Terminal) {
            return static_cast<double>(signs.size()) * static_cast<double>(cellWidth);
        }
        double width = 0;
        for (const Sign& sign : signs) {
            width += face.Advance(sign.code);
        }
        return width;
    }

    void Lay(std::int64_t index, const std::vector<Sign>& signs, LaidLine& line) {
        line.top = LineTop(index);
        line.bottom = LineTop(index + 1);
        line.baseline = Baseline(index);
        line.reachTop = std::min(line.top, line.baseline - face.ReachUp());
        line.reachBottom = std::max(line.bottom, line.baseline + face.ReachDown());
        line.glyphs.clear();
        line.papers.clear();
        double x = 0;
        for (std::size_t i = 0; i < signs.size(); ++i) {
            const Sign& sign = signs[i];
            if (look.setting == LineSetting::Terminal) {
                const std::int64_t left = static_cast<std::int64_t>(i) * cellWidth;
                if (sign.hasPaper) {
                    line.papers.push_back({left, left + cellWidth, sign.paper});
                }
                line.glyphs.push_back({left, &face.Mask(sign.code, 0), sign.ink});
                continue;
            }
            const std::int64_t quarters = std::llround(x * 4);
            line.glyphs.push_back(
                {quarters >> 2, &face.Mask(sign.code, static_cast<int>(quarters & 3)), sign.ink});
            x += face.Advance(sign.code);
        }
    }

    // Draws the band from bandTop and hands on its rows.
    void DrawBand(const RowSink& rows) {
        const std::int64_t width = size.width;
        const std::int64_t bandEnd = bandTop + bandRows;
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        for (std::int64_t x = 0; x < width; ++x) {
            Put(band.data() + x * 3, look.background);
        }
        for (std::int64_t y = 1; y < bandRows; ++y) {
            std::memcpy(band.data() + y * rowBytes, band.data(), rowBytes);
        }
        for (const LaidLine& line : pending) {
            const std::int64_t from = std::max(line.top, bandTop);
            const std::int64_t to = std::min(line.bottom, bandEnd);
            for (const Paper& paper : line.papers) {
                const std::int64_t left = std::clamp<std::int64_t>(paper.left, 0, width);
                const std::int64_t right = std::clamp<std::int64_t>(paper.right, 0, width);
                for (std::int64_t y = from; y < to; ++y) {
                    std::uint8_t* row = band.data() + (y - bandTop) * rowBytes;
                    for (std::int64_t x = left; x < right; ++x) {
                        Put(row + x * 3, paper.colour);
                    }
                }
            }
        }
        for (const LaidLine& line : pending) {
            if (line.reachTop >= bandEnd || line.reachBottom <= bandTop) {
                continue;
            }
            for (const Placed& glyph : line.glyphs) {
                DrawGlyph(glyph, line.baseline, width, rowBytes);
            }
        }
        const std::int64_t shown = std::min(bandRows, size.height - bandTop);
        for (std::int64_t y = 0; y < shown; ++y) {
            rows(band.data() + y * rowBytes);
        }
        bandTop = bandEnd;
        while (!pending.empty() && pending.front().reachBottom <= bandTop) {
            pending.pop_front();
        }
    }

    void DrawGlyph(const Placed& glyph, std::int64_t baseline, std::int64_t width,
                   std::size_t rowBytes) {
        const GlyphMask& mask = *glyph.mask;
        const std::int64_t maskTop = baseline + mask.top;
        const std::int64_t maskLeft = glyph.x + mask.left;
        const std::int64_t fromY = std::max(maskTop, bandTop);
        const std::int64_t toY = std::min(maskTop + mask.height, bandTop + bandRows);
        const std::int64_t fromX = std::max<std::int64_t>(maskLeft, 0);
        const std::int64_t toX = std::min(maskLeft + mask.width, width);
        for (std::int64_t y = fromY; y < toY; ++y) {
            const std::uint8_t* alpha =
                mask.alpha.data() + (y - maskTop) * mask.width + (fromX - maskLeft);
            std::uint8_t* out = band.data() + (y - bandTop) * rowBytes + fromX * 3;
            for (std::int64_t x = fromX; x < toX; ++x, ++alpha, out += 3) {
                if (*alpha == 255) {
                    Put(out, glyph.ink);
                } else if (*alpha != 0) {
                    Blend(out, glyph.ink, *alpha);
                }
            }
        }
    }

    PictureSize Measure(const SignReplay& lines) {
        std::int64_t count = 0;
        double widest = 0;
        lines([&](const std::vector<Sign>& signs) {
            widest = std::max(widest, Width(signs));
            ++count;
        });
        const double height = look.setting == LineSetting::Browser
                                  ? std::ceil(static_cast<double>(count) * pitch - 1e-9)
                                  : static_cast<double>(count) * pitch;
        // Far past any side allowed, but still a number.
        constexpr double kMost = 1e15;
        size.width = std::max<std::int64_t>(
            1, static_cast<std::int64_t>(std::min(std::ceil(widest - 1e-9), kMost)));
        size.height = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::min(height, kMost)));
        return size;
    }

    void Draw(const SignReplay& lines, const RowSink& rows) {
        const std::int64_t rowBytes = size.width * 3;
        bandRows = std::clamp<std::int64_t>(kBandBytes / rowBytes, 1, kMostBandRows);
        band.assign(static_cast<std::size_t>(rowBytes * bandRows), 0);
        bandTop = 0;
        pending.clear();
        std::int64_t index = 0;
        lines([&](const std::vector<Sign>& signs) {
            LaidLine line;
            Lay(index++, signs, line);
            // Every band above this line's reach is complete.
            while (bandTop < size.height && line.reachTop >= bandTop + bandRows) {
                DrawBand(rows);
            }
            pending.push_back(std::move(line));
        });
        while (bandTop < size.height) {
            DrawBand(rows);
        }
        pending.clear();
        std::vector<std::uint8_t>().swap(band);
    }

    PictureLook look;
    Face face;
    double pitch = 1;
    std::int64_t cellWidth = 1;
    PictureSize size;

    std::vector<std::uint8_t> band;
    std::int64_t bandRows = 1;
    std::int64_t bandTop = 0;
    std::deque<LaidLine> pending;
};

Rgb RgbOfColour(Colour colour) {
    return static_cast<Rgb>(colour & 0xFF) << 16 | static_cast<Rgb>(colour & 0xFF00) |
           static_cast<Rgb>(colour >> 16 & 0xFF);
}

Rgb RgbOfCode(std::string_view code) {
    Rgb value = 0;
    if (code.size() != 6 ||
        std::from_chars(code.data(), code.data() + 6, value, 16).ptr != code.data() + 6) {
        return 0;
    }
    return value;
}

std::optional<double> ReadPicturePoints(const std::string& sizeText, std::string& why) {
    std::string_view text = sizeText;
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    double points = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), points);
    if (error != std::errc() || end != text.data() + text.size() ||
        !(points >= kSmallestPicturePoints && points <= kLargestPicturePoints)) {
        why = "The font size \"" + sizeText +
              "\" is not a number of points from 1 to 1000, which a picture needs.";
        return std::nullopt;
    }
    return points;
}

std::optional<PictureLook> DocumentPictureLook(OutputFormat format, const DocumentStyle& style,
                                               std::string& why) {
    const std::optional<double> points = ReadPicturePoints(style.fontSizeText, why);
    if (!points) {
        return std::nullopt;
    }
    PictureLook look;
    look.face = style.fontFaceText;
    look.points = *points;
    switch (format) {
    case OutputFormat::CleanText:
    case OutputFormat::Rtf:
        break;
    case OutputFormat::HtmlColoredText:
        look.kind = ArtKind::ColouredLetters;
        [[fallthrough]];
    case OutputFormat::HtmlText:
        look.setting = LineSetting::Browser;
        look.background =
            RgbOfCode(style.backgroundColorCode.empty() ? "000000" : style.backgroundColorCode);
        break;
    }
    return look;
}

PictureLook TerminalPictureLook(double points, Rgb background) {
    PictureLook look;
    look.kind = ArtKind::TerminalText;
    look.setting = LineSetting::Terminal;
    look.face = "DejaVu Sans Mono";
    look.points = points;
    look.background = background;
    const Rgb lightness =
        (background >> 16 & 0xFF) * 30 + (background >> 8 & 0xFF) * 59 + (background & 0xFF) * 11;
    look.ink = lightness >= 128 * 100 ? 0x000000 : 0xFFFFFF;
    return look;
}

std::optional<std::string> PictureSizeRefusal(PictureSize size) {
    if (size.width <= kLargestPictureSide && size.height <= kLargestPictureSide) {
        return std::nullopt;
    }
    const bool wide = size.width > kLargestPictureSide;
    return "The picture would be " + std::to_string(size.width) + " x " +
           std::to_string(size.height) + " pixels, " + (wide ? "wider" : "taller") + " than the " +
           std::to_string(kLargestPictureSide) +
           " pixels most PNG readers take; a larger scale or a smaller font size makes it "
           "smaller.";
}

ArtPicture::ArtPicture(const PictureLook& look) : state_(std::make_unique<State>(look)) {}

ArtPicture::~ArtPicture() = default;

PictureSize ArtPicture::Measure(const ArtReplay& art) {
    return state_->Measure(SignsOfText(art, state_->look));
}

PictureSize ArtPicture::Measure(const CellGrid& grid) {
    return state_->Measure(SignsOfCells(grid));
}

PictureSize ArtPicture::Size() const {
    return state_->size;
}

void ArtPicture::Draw(const ArtReplay& art, const RowSink& rows) {
    state_->Draw(SignsOfText(art, state_->look), rows);
}

void ArtPicture::Draw(const CellGrid& grid, const RowSink& rows) {
    state_->Draw(SignsOfCells(grid), rows);
}

namespace {

// The picture drawn whole into an image, for art small enough to hold.
template <typename Art> QImage ImageOf(const PictureLook& look, const Art& art) {
    ArtPicture picture(look);
    const PictureSize size = picture.Measure(art);
    QImage image(static_cast<int>(size.width), static_cast<int>(size.height),
                 QImage::Format_RGB888);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    int y = 0;
    picture.Draw(art, [&](const std::uint8_t* rgb) {
        std::memcpy(image.scanLine(y++), rgb, static_cast<std::size_t>(size.width) * 3);
    });
    return image;
}

} // namespace

QImage ArtImage(const PictureLook& look, std::string_view artText) {
    return ImageOf(look, ArtReplay([artText](const ByteSink& sink) { sink(artText); }));
}

PictureLook CellArtLook(const CellGrid& grid, double points) {
    PictureLook look = TerminalPictureLook(points, RgbOfColour(grid.terminalBackground));
    look.ink = RgbOfColour(grid.terminalForeground);
    return look;
}

QImage CellArtImage(const CellGrid& grid, double points) {
    return ImageOf(CellArtLook(grid, points), grid);
}

namespace {

template <typename Art>
void WritePng(ArtPicture& picture, const Art& art, const ByteSink& out,
              const std::function<void()>& eachRow) {
    const PictureSize size = picture.Size();
    PngWriter png(static_cast<std::uint32_t>(size.width), static_cast<std::uint32_t>(size.height),
                  out);
    picture.Draw(art, [&](const std::uint8_t* rgb) {
        png.WriteRow(rgb);
        if (eachRow) {
            eachRow();
        }
    });
    png.Finish();
}

} // namespace

void WriteMeasuredPng(ArtPicture& picture, const ArtReplay& art, const ByteSink& out,
                      const std::function<void()>& eachRow) {
    WritePng(picture, art, out, eachRow);
}

void WriteMeasuredPng(ArtPicture& picture, const CellGrid& grid, const ByteSink& out,
                      const std::function<void()>& eachRow) {
    WritePng(picture, grid, out, eachRow);
}

std::optional<std::string> WriteArtPng(const PictureLook& look, const ArtReplay& art,
                                       const ByteSink& out) {
    ArtPicture picture(look);
    if (std::optional<std::string> refusal = PictureSizeRefusal(picture.Measure(art))) {
        return refusal;
    }
    WriteMeasuredPng(picture, art, out);
    return std::nullopt;
}

} // namespace glimmora
