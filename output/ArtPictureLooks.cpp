// The looks of pictures, their sizes and refusals, and the colours they are
// given in.

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "ArtPicture.h"

namespace glimmora {

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

PictureLook CellArtLook(const CellGrid& grid, double points) {
    PictureLook look = TerminalPictureLook(points, RgbOfColour(grid.terminalBackground));
    look.ink = RgbOfColour(grid.terminalForeground);
    return look;
}

} // namespace glimmora
