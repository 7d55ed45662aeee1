#include "CellArt.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "CellColours.h"
#include "CellSigns.h"
#include "ConversionJob.h"

namespace glimmora {

namespace {

constexpr int kSamples = kCellSamplesAcross * kCellSamplesDown;

// One colour channel each: red, green, blue as sRGB 0..255.
struct Rgbf {
    double r = 0;
    double g = 0;
    double b = 0;
};

Rgbf ToRgbf(Colour colour) {
    return {static_cast<double>(Red(colour)), static_cast<double>(Green(colour)),
            static_cast<double>(Blue(colour))};
}
Colour ToColour(const Rgbf& c) {
    return Rgb(ToByte(c.r), ToByte(c.g), ToByte(c.b));
}
double Dot(const Rgbf& p, const Rgbf& q) {
    return p.r * q.r + p.g * q.g + p.b * q.b;
}

// One candidate sign and the part of each sample its ink covers, 0..1, with
// the sums the least-squares fits need.
struct Candidate {
    char32_t sign = U' ';
    std::array<float, kSamples> cover{};
    double sumCover = 0;  // sum c
    double sumCover2 = 0; // sum c^2
};

Candidate MakeCandidate(char32_t sign, const std::array<float, kSamples>& cover) {
    Candidate candidate{sign, cover, 0, 0};
    for (const float c : cover) {
        candidate.sumCover += c;
        candidate.sumCover2 += static_cast<double>(c) * c;
    }
    return candidate;
}

// Sample (x, y) of a cell, 0..3 across and 0..7 down, is index y * 4 + x.
std::vector<Candidate> PatternCandidates(CellSymbols symbols) {
    std::vector<Candidate> candidates;
    auto add = [&candidates](char32_t sign, auto covers) {
        std::array<float, kSamples> cover{};
        for (int y = 0; y < kCellSamplesDown; ++y) {
            for (int x = 0; x < kCellSamplesAcross; ++x) {
                cover[static_cast<std::size_t>(y * kCellSamplesAcross + x)] =
                    static_cast<float>(covers(x, y));
            }
        }
        candidates.push_back(MakeCandidate(sign, cover));
    };
    const auto addQuadrants = [&add] {
        // Bits: upper left 1, upper right 2, lower left 4, lower right 8.
        for (int bits = 0; bits < 16; ++bits) {
            add(kQuadrantSigns[static_cast<std::size_t>(bits)], [bits](int x, int y) {
                const int bit = (y < 4 ? 1 : 4) << (x < 2 ? 0 : 1);
                return (bits & bit) != 0;
            });
        }
    };
    switch (symbols) {
    case CellSymbols::Blocks:
        add(U' ', [](int, int) { return false; });
        add(U'\u2580', [](int, int y) { return y < 4; });
        add(U'\u2584', [](int, int y) { return y >= 4; });
        add(U'\u2588', [](int, int) { return true; });
        break;
    case CellSymbols::Quadrants:
        addQuadrants();
        break;
    case CellSymbols::Mosaic:
        // The quadrants (the halves among them), then the eighths: rising
        // from the bottom (U+2581..2587), from the left (U+258F..2589), and
        // the top and right ones. A sample is four eighths wide, so a left
        // eighth may cover part of one.
        addQuadrants();
        for (int eighths = 1; eighths < 8; ++eighths) {
            if (eighths == 4) {
                continue;
            }
            add(static_cast<char32_t>(0x2580 + eighths),
                [eighths](int, int y) { return y >= kCellSamplesDown - eighths; });
            add(static_cast<char32_t>(0x2590 - eighths),
                [eighths](int x, int) { return std::clamp(eighths / 2.0 - x, 0.0, 1.0); });
        }
        add(U'\u2594', [](int, int y) { return y == 0; });
        add(U'\u2595', [](int x, int) { return x == kCellSamplesAcross - 1 ? 0.5 : 0.0; });
        break;
    case CellSymbols::Braille:
        // Dots 1-3 and 7 down the left, 4-6 and 8 down the right; each dot
        // stands for 2 x 2 samples.
        for (int bits = 0; bits < 256; ++bits) {
            add(static_cast<char32_t>(0x2800 + bits),
                [bits](int x, int y) { return (bits & BrailleDotBit(x / 2, y / 2)) != 0; });
        }
        break;
    default:
        break;
    }
    return candidates;
}

// The first character of a ramp box, decoded from UTF-8; a space when empty,
// U+FFFD where the bytes are not UTF-8.
char32_t FirstSign(std::string_view text, std::size_t& at) {
    if (at >= text.size()) {
        return U' ';
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    int length = lead < 0x80         ? 1
                 : (lead >> 5) == 6  ? 2
                 : (lead >> 4) == 14 ? 3
                 : (lead >> 3) == 30 ? 4
                                     : 0;
    if (length == 0 || at + static_cast<std::size_t>(length) > text.size()) {
        ++at;
        return U'\uFFFD';
    }
    char32_t sign = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((next >> 6) != 2) {
            ++at;
            return U'\uFFFD';
        }
        sign = (sign << 6) | (next & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return sign;
}

// Decides the cells of the art.
class CellMaker {
public:
    CellMaker(const CellArtOptions& options) : options_(options) {
        dark_ = IsDarkBackground(options.background);
        foreground_ = dark_ ? 0xFFFFFF : 0x000000;
        for (std::size_t i = 0; i < rampSigns_.size(); ++i) {
            std::size_t at = 0;
            rampSigns_[i] = FirstSign(options.ramp[i], at);
        }
        for (std::size_t at = 0; at < options.word.size();) {
            letters_.push_back(FirstSign(options.word, at));
        }
        // The bands by the ink their signs really carry, densest first, so
        // that a brighter cell never gets a sparser sign on a dark terminal
        // (the documents' ramp has "=" lighter than "u" and "e").
        std::array<double, 9> ink{};
        for (std::size_t i = 0; i < ink.size(); ++i) {
            for (const float c : SignCover(rampSigns_[i], i)) {
                ink[i] += c;
            }
        }
        std::array<std::size_t, 9> order{0, 1, 2, 3, 4, 5, 6, 7, 8};
        std::stable_sort(order.begin(), order.end(),
                         [&ink](std::size_t a, std::size_t b) { return ink[a] > ink[b]; });
        for (std::size_t i = 0; i < order.size(); ++i) {
            bandSigns_[i] = rampSigns_[order[i]];
        }
        const bool colours = options.depth != ColourDepth::None;
        switch (options.symbols) {
        case CellSymbols::Ascii:
            if (options.fill && colours && letters_.empty()) {
                for (std::size_t i = 0; i < rampSigns_.size(); ++i) {
                    candidates_.push_back(
                        MakeCandidate(rampSigns_[i], SignCover(rampSigns_[i], i)));
                }
            }
            break;
        case CellSymbols::Shapes:
            for (char32_t sign = 32; sign < 127; ++sign) {
                if (const auto* cover = GlyphCover(sign)) {
                    candidates_.push_back(MakeCandidate(sign, *cover));
                }
            }
            break;
        default:
            candidates_ = PatternCandidates(options.symbols);
            break;
        }
    }

    bool UsesCandidates() const { return !candidates_.empty(); }
    Colour Foreground() const { return foreground_; }

    Cell Decide(const std::array<Rgbf, kSamples>& samples) {
        if (!UsesCandidates()) {
            return ByBrightness(samples);
        }
        if (options_.depth == ColourDepth::None) {
            return ByShapeAlone(samples);
        }
        return options_.fill ? ByShapeAndColours(samples) : ByShapeOverBackground(samples);
    }

private:
    // A ramp box's ink: the glyph's own when the table has it, else an even
    // grey as dense as the box is dark.
    static std::array<float, kSamples> SignCover(char32_t sign, std::size_t box) {
        if (const auto* cover = GlyphCover(sign)) {
            return *cover;
        }
        std::array<float, kSamples> cover{};
        cover.fill(static_cast<float>(8 - box) / 16.0F);
        return cover;
    }

    CellColour Shown(Colour colour) {
        switch (options_.depth) {
        case ColourDepth::None:
            return {};
        case ColourDepth::Full:
            return {colour, CellColour::kDirect};
        default:
            break;
        }
        const auto found = nearest_.find(colour);
        int index = 0;
        if (found != nearest_.end()) {
            index = found->second;
        } else {
            index = NearestPaletteIndex(colour, options_.depth);
            nearest_.emplace(colour, index);
        }
        return {PaletteColour(index), static_cast<std::int16_t>(index)};
    }

    Cell ByBrightness(const std::array<Rgbf, kSamples>& samples) {
        Rgbf mean;
        for (const Rgbf& p : samples) {
            mean.r += p.r;
            mean.g += p.g;
            mean.b += p.b;
        }
        mean = {mean.r / kSamples, mean.g / kSamples, mean.b / kSamples};
        const Colour colour = ToColour(mean);
        Cell cell;
        if (!letters_.empty()) {
            cell.sign = letters_[letterIndex_];
            letterIndex_ = (letterIndex_ + 1) % letters_.size();
        } else {
            // The nine bands, the densest sign on the brightest cells where
            // the terminal is dark.
            int box = RampIndexForGrey(GrayScale(colour));
            if (dark_) {
                box = 8 - box;
            }
            cell.sign = bandSigns_[static_cast<std::size_t>(box)];
        }
        cell.foreground = Shown(colour);
        return cell;
    }

    // No colours: the sign whose ink in the terminal's foreground over its
    // background looks most like the cell, by lightness.
    Cell ByShapeAlone(const std::array<Rgbf, kSamples>& samples) {
        const double background = GreyOf(ToRgbf(options_.background));
        const double ink = GreyOf(ToRgbf(foreground_)) - background;
        std::array<double, kSamples> q{};
        for (std::size_t k = 0; k < q.size(); ++k) {
            q[k] = GreyOf(samples[k]) - background;
        }
        const Candidate* best = &candidates_.front();
        double bestError = std::numeric_limits<double>::max();
        for (const Candidate& candidate : candidates_) {
            double sum = 0;
            for (std::size_t k = 0; k < q.size(); ++k) {
                sum += candidate.cover[k] * q[k];
            }
            const double error = -2 * ink * sum + ink * ink * candidate.sumCover2;
            if (error < bestError) {
                bestError = error;
                best = &candidate;
            }
        }
        Cell cell;
        cell.sign = best->sign;
        return cell;
    }

    // Colours on the terminal's background: the sign and the one ink colour
    // that together come nearest the cell.
    Cell ByShapeOverBackground(const std::array<Rgbf, kSamples>& samples) {
        const Rgbf background = ToRgbf(options_.background);
        std::array<Rgbf, kSamples> q{};
        for (std::size_t k = 0; k < q.size(); ++k) {
            q[k] = {samples[k].r - background.r, samples[k].g - background.g,
                    samples[k].b - background.b};
        }
        const Candidate* best = &candidates_.front();
        double bestGain = 0;
        Rgbf bestInk;
        for (const Candidate& candidate : candidates_) {
            if (candidate.sumCover2 <= 0) {
                continue;
            }
            Rgbf sum;
            for (std::size_t k = 0; k < q.size(); ++k) {
                const double c = candidate.cover[k];
                sum.r += c * q[k].r;
                sum.g += c * q[k].g;
                sum.b += c * q[k].b;
            }
            // The error falls by |sum|^2 / sum c^2 from the bare background.
            const double gain = Dot(sum, sum) / candidate.sumCover2;
            if (gain > bestGain) {
                bestGain = gain;
                best = &candidate;
                bestInk = {background.r + sum.r / candidate.sumCover2,
                           background.g + sum.g / candidate.sumCover2,
                           background.b + sum.b / candidate.sumCover2};
            }
        }
        Cell cell;
        cell.sign = best->sign;
        if (bestGain > 0) {
            cell.foreground = Shown(ToColour(bestInk));
        }
        return cell;
    }

    // The sign, ink and background that together come nearest the cell:
    // for each sign the two colours by least squares.
    Cell ByShapeAndColours(const std::array<Rgbf, kSamples>& samples) {
        Rgbf total;
        double total2 = 0;
        for (const Rgbf& p : samples) {
            total.r += p.r;
            total.g += p.g;
            total.b += p.b;
            total2 += Dot(p, p);
        }
        const Rgbf mean{total.r / kSamples, total.g / kSamples, total.b / kSamples};
        // The plain cell in its mean colour is the one to beat.
        double bestError = total2 - Dot(total, mean);
        const Candidate* best = nullptr;
        Rgbf bestInk = mean;
        Rgbf bestPaper = mean;
        for (const Candidate& candidate : candidates_) {
            // p = paper (1 - c) + ink c: normal equations
            // [a b; b d] [paper; ink] = [total - sumc; sumc].
            const double d = candidate.sumCover2;
            const double b = candidate.sumCover - d;
            const double a = kSamples - 2 * candidate.sumCover + d;
            const double det = a * d - b * b;
            if (det < 1e-9) {
                continue;
            }
            Rgbf sum;
            for (std::size_t k = 0; k < samples.size(); ++k) {
                const double c = candidate.cover[k];
                sum.r += c * samples[k].r;
                sum.g += c * samples[k].g;
                sum.b += c * samples[k].b;
            }
            const Rgbf rest{total.r - sum.r, total.g - sum.g, total.b - sum.b};
            const Rgbf paper{(d * rest.r - b * sum.r) / det, (d * rest.g - b * sum.g) / det,
                             (d * rest.b - b * sum.b) / det};
            const Rgbf ink{(a * sum.r - b * rest.r) / det, (a * sum.g - b * rest.g) / det,
                           (a * sum.b - b * rest.b) / det};
            const double error = total2 - Dot(paper, rest) - Dot(ink, sum);
            if (error < bestError - 1e-6) {
                bestError = error;
                best = &candidate;
                bestInk = ink;
                bestPaper = paper;
            }
        }
        Cell cell;
        cell.background = Shown(ToColour(bestPaper));
        if (best != nullptr) {
            cell.sign = best->sign;
            cell.foreground = Shown(ToColour(bestInk));
        }
        return cell;
    }

    static double GreyOf(const Rgbf& p) { return 0.2126 * p.r + 0.7152 * p.g + 0.0722 * p.b; }

    const CellArtOptions& options_;
    bool dark_ = true;
    Colour foreground_ = 0xFFFFFF;
    std::array<char32_t, 9> rampSigns_{};
    std::array<char32_t, 9> bandSigns_{};
    std::vector<char32_t> letters_;
    std::size_t letterIndex_ = 0;
    std::vector<Candidate> candidates_;
    std::unordered_map<Colour, int> nearest_;
};

} // namespace

CellGrid MakeCellArt(const PixelSource& samples, int columns, int rows,
                     const CellArtOptions& options) {
    CellGrid grid;
    grid.columns = std::max(columns, 0);
    grid.rows = std::max(rows, 0);
    grid.depth = options.depth;
    grid.terminalBackground = options.background;
    CellMaker maker(options);
    grid.terminalForeground = maker.Foreground();
    grid.cells.reserve(static_cast<std::size_t>(grid.columns) *
                       static_cast<std::size_t>(grid.rows));
    std::array<Rgbf, kSamples> cell{};
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            for (int y = 0; y < kCellSamplesDown; ++y) {
                for (int x = 0; x < kCellSamplesAcross; ++x) {
                    Colour colour = samples.GetPixel(column * kCellSamplesAcross + x,
                                                     row * kCellSamplesDown + y);
                    if (colour == kInvalidColour) {
                        colour = 0xFFFFFF;
                    }
                    if (options.invert) {
                        colour ^= 0xFFFFFF;
                    }
                    cell[static_cast<std::size_t>(y * kCellSamplesAcross + x)] = ToRgbf(colour);
                }
            }
            grid.cells.push_back(maker.Decide(cell));
        }
    }
    return grid;
}

CellArtSize FitCellArt(int pictureWidth, int pictureHeight, int maxColumns, int maxRows) {
    const double width = std::max(pictureWidth, 1);
    const double height = std::max(pictureHeight, 1);
    if (maxColumns <= 0 && maxRows <= 0) {
        maxColumns = pictureWidth;
    }
    CellArtSize size;
    const auto rowsFor = [&](int columns) {
        return static_cast<int>(std::lround(columns * height / (2 * width)));
    };
    if (maxColumns > 0 && (maxRows <= 0 || rowsFor(maxColumns) <= maxRows)) {
        size.columns = maxColumns;
        size.rows = rowsFor(maxColumns);
    } else {
        size.rows = maxRows;
        size.columns = static_cast<int>(std::lround(maxRows * 2 * width / height));
        if (maxColumns > 0) {
            size.columns = std::min(size.columns, maxColumns);
        }
    }
    size.columns = std::max(size.columns, 1);
    size.rows = std::max(size.rows, 1);
    return size;
}

} // namespace glimmora
