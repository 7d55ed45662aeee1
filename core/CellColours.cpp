#include "CellColours.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "CellArt.h"

namespace glimmora {

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

namespace {

int ByteOfLinearByFormula(double linear) {
    const double v = linear <= 0.0031308 ? linear * 12.92
                                         : 1.055 * std::pow(std::max(linear, 0.0), 1 / 2.4) - 0.055;
    return ToByte(v * 255.0);
}

} // namespace

const LinearBytes& LinearBytesTable() {
    static const LinearBytes table = [] {
        LinearBytes made;
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
        for (int step = 0; step < LinearBytes::kSteps; ++step) {
            made.byteAt[static_cast<std::size_t>(step)] = static_cast<std::uint8_t>(
                ByteOfLinearByFormula(static_cast<double>(step) / LinearBytes::kSteps));
        }
        return made;
    }();
    return table;
}

namespace {

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

} // namespace glimmora
