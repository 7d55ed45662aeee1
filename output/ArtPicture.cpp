#include "ArtPicture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ArtPictureInternals.h"

namespace glimmora {

namespace {

using detail::kDotsPerMeter;
using detail::kPixelsPerPoint;
using detail::Sign;
using detail::SignReplay;
using detail::SignsOfCells;
using detail::SignsOfText;

// A band holds about this much, and never more rows than this.
constexpr std::int64_t kBandBytes = 2 * 1024 * 1024;
constexpr std::int64_t kMostBandRows = 512;

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

} // namespace glimmora
