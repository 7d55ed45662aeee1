#include "CellArt.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "CellSigns.h"
#include "ConversionJob.h"

namespace glimmora {

namespace {

constexpr int kSamples = kCellSamplesAcross * kCellSamplesDown;

int Red(Colour colour) {
    return colour & 0xFF;
}
int Green(Colour colour) {
    return (colour >> 8) & 0xFF;
}
int Blue(Colour colour) {
    return (colour >> 16) & 0xFF;
}
Colour Rgb(int red, int green, int blue) {
    return red | (green << 8) | (blue << 16);
}
int ToByte(double value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
}

// sRGB byte to linear light, 0..1, and back.
const std::array<double, 256>& LinearOfByte() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            values[static_cast<std::size_t>(i)] =
                v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table;
}
int ByteOfLinearByFormula(double linear) {
    const double v = linear <= 0.0031308 ? linear * 12.92
                                         : 1.055 * std::pow(std::max(linear, 0.0), 1 / 2.4) - 0.055;
    return ToByte(v * 255.0);
}
// The same by table, for every sample of every frame: the least linear
// value that gives each byte from 1 on, found once by bisection on the
// formula itself, so the bytes are the formula's to the last bit; and the
// byte at the start of each of 8192 equal steps, from which those values
// are counted on (the bytes lie at least 1/3300 apart).
int ByteOfLinear(double linear) {
    constexpr int kSteps = 8192;
    struct Table {
        std::array<double, 256> firstOf{}; // firstOf[255]: past every byte
        std::array<std::uint8_t, kSteps> byteAt{};
    };
    static const Table table = [] {
        Table made;
        for (int byte = 1; byte < 256; ++byte) {
            double low = 0.0;  // gives less than byte
            double high = 1.0; // gives byte or more
            while (true) {
                const double middle = low + (high - low) / 2;
                if (middle <= low || middle >= high) {
                    break;
                }
                (ByteOfLinearByFormula(middle) >= byte ? high : low) = middle;
            }
            made.firstOf[static_cast<std::size_t>(byte - 1)] = high;
        }
        made.firstOf[255] = 2.0;
        for (int step = 0; step < kSteps; ++step) {
            made.byteAt[static_cast<std::size_t>(step)] = static_cast<std::uint8_t>(
                ByteOfLinearByFormula(static_cast<double>(step) / kSteps));
        }
        return made;
    }();
    if (!(linear > 0.0) || linear >= 1.0) {
        return ByteOfLinearByFormula(linear);
    }
    int byte = table.byteAt[static_cast<std::size_t>(linear * kSteps)];
    while (linear >= table.firstOf[static_cast<std::size_t>(byte)]) {
        ++byte;
    }
    return byte;
}

struct Lab {
    double l = 0;
    double a = 0;
    double b = 0;
};

double LabF(double t) {
    constexpr double kEpsilon = 216.0 / 24389.0;
    constexpr double kKappa = 24389.0 / 27.0;
    return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16) / 116;
}

// CIELAB under D65.
Lab LabOf(Colour colour) {
    const auto& linear = LinearOfByte();
    const double r = linear[static_cast<std::size_t>(Red(colour))];
    const double g = linear[static_cast<std::size_t>(Green(colour))];
    const double b = linear[static_cast<std::size_t>(Blue(colour))];
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const double fx = LabF(x);
    const double fy = LabF(y);
    const double fz = LabF(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double LabDistance2(const Lab& p, const Lab& q) {
    return (p.l - q.l) * (p.l - q.l) + (p.a - q.a) * (p.a - q.a) + (p.b - q.b) * (p.b - q.b);
}

constexpr std::array<Colour, 16> kSixteen{
    0x000000, 0x0000CD, 0x00CD00, 0x00CDCD, 0xEE0000, 0xCD00CD, 0xCDCD00, 0xE5E5E5,
    0x7F7F7F, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF5C5C, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

const std::array<Lab, 256>& PaletteLab() {
    static const std::array<Lab, 256> table = [] {
        std::array<Lab, 256> values{};
        for (int i = 0; i < 256; ++i) {
            values[static_cast<std::size_t>(i)] = LabOf(PaletteColour(i));
        }
        return values;
    }();
    return table;
}

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
                    covers(x, y) ? 1.0F : 0.0F;
            }
        }
        candidates.push_back(MakeCandidate(sign, cover));
    };
    switch (symbols) {
    case CellSymbols::Blocks:
        add(U' ', [](int, int) { return false; });
        add(U'\u2580', [](int, int y) { return y < 4; });
        add(U'\u2584', [](int, int y) { return y >= 4; });
        add(U'\u2588', [](int, int) { return true; });
        break;
    case CellSymbols::Quadrants:
        // Bits: upper left 1, upper right 2, lower left 4, lower right 8.
        for (int bits = 0; bits < 16; ++bits) {
            add(kQuadrantSigns[static_cast<std::size_t>(bits)], [bits](int x, int y) {
                const int bit = (y < 4 ? 1 : 4) << (x < 2 ? 0 : 1);
                return (bits & bit) != 0;
            });
        }
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
            cell.sign = rampSigns_[static_cast<std::size_t>(box)];
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
    std::vector<char32_t> letters_;
    std::size_t letterIndex_ = 0;
    std::vector<Candidate> candidates_;
    std::unordered_map<Colour, int> nearest_;
};

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

Colour PaletteColour(int index) {
    if (index < 16) {
        return kSixteen[static_cast<std::size_t>(std::max(index, 0))];
    }
    if (index < 232) {
        constexpr std::array<int, 6> kLevels{0, 95, 135, 175, 215, 255};
        const int i = index - 16;
        return Rgb(kLevels[static_cast<std::size_t>(i / 36)],
                   kLevels[static_cast<std::size_t>((i / 6) % 6)],
                   kLevels[static_cast<std::size_t>(i % 6)]);
    }
    const int level = 8 + 10 * (std::min(index, 255) - 232);
    return Rgb(level, level, level);
}

int NearestPaletteIndex(Colour colour, ColourDepth depth) {
    const Lab lab = LabOf(colour);
    const auto& palette = PaletteLab();
    const int first = depth == ColourDepth::Sixteen ? 0 : 16;
    const int end = depth == ColourDepth::Sixteen ? 16 : 256;
    int best = first;
    double bestDistance = std::numeric_limits<double>::max();
    for (int i = first; i < end; ++i) {
        const double distance = LabDistance2(lab, palette[static_cast<std::size_t>(i)]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool IsDarkBackground(Colour background) {
    return LabOf(background).l < 50;
}

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

PixelBuffer AreaAverage(const PixelSource& picture, int pictureWidth, int pictureHeight, int width,
                        int height) {
    PixelBuffer out(width, height);
    if (out.Width() == 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return out;
    }
    // The source pixels [first, end) of each area along one axis.
    auto span = [](int i, int size, int count) {
        const auto s = static_cast<std::int64_t>(size);
        auto first = static_cast<int>(i * s / count);
        auto end = static_cast<int>((i + 1) * s / count);
        if (end <= first) {
            first = static_cast<int>((2 * i + 1) * s / (2 * count));
            end = first + 1;
        }
        return std::pair<int, int>{first, end};
    };
    const auto& linear = LinearOfByte();
    std::vector<std::pair<int, int>> across(static_cast<std::size_t>(width));
    for (int i = 0; i < width; ++i) {
        across[static_cast<std::size_t>(i)] = span(i, pictureWidth, width);
    }
    for (int j = 0; j < height; ++j) {
        const auto [top, bottom] = span(j, pictureHeight, height);
        for (int i = 0; i < width; ++i) {
            const auto [left, right] = across[static_cast<std::size_t>(i)];
            double r = 0;
            double g = 0;
            double b = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = left; x < right; ++x) {
                    Colour colour = picture.GetPixel(x, y);
                    if (colour == kInvalidColour) {
                        colour = 0xFFFFFF;
                    }
                    r += linear[static_cast<std::size_t>(Red(colour))];
                    g += linear[static_cast<std::size_t>(Green(colour))];
                    b += linear[static_cast<std::size_t>(Blue(colour))];
                }
            }
            const double count = static_cast<double>(bottom - top) * (right - left);
            out.SetPixel(
                i, j,
                Rgb(ByteOfLinear(r / count), ByteOfLinear(g / count), ByteOfLinear(b / count)));
        }
    }
    return out;
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
