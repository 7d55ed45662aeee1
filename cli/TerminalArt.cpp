#include "TerminalArt.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "PictureInput.h"
#include "picture/PictureFile.h"

namespace glimmora {

namespace {

constexpr int kDefaultRows = 24;
// Decoded points a sample reads across and down, at most.
constexpr int kPointsPerSample = 2;

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

// The lattice of decoded points seen as a picture of its own, a point a
// pixel.
class LatticeView final : public PixelSource {
public:
    LatticeView(const PixelSource& points, int stepX, int stepY)
        : points_(points), stepX_(stepX), stepY_(stepY) {}
    Colour GetPixel(std::int32_t x, std::int32_t y) const override {
        return points_.GetPixel(x * stepX_, y * stepY_);
    }

private:
    const PixelSource& points_;
    int stepX_;
    int stepY_;
};

// The points of the picture the samples are made of: a few to a sample.
struct Lattice {
    int stepX = 1;
    int stepY = 1;
};
Lattice LatticeFor(int width, int height, CellArtSize size) {
    return {std::max(1, width / (size.columns * kCellSamplesAcross * kPointsPerSample)),
            std::max(1, height / (size.rows * kCellSamplesDown * kPointsPerSample))};
}

} // namespace

ColourDepth DepthFromEnvironment() {
    const std::string_view term = Variable("TERM");
    if (!Variable("NO_COLOR").empty() || term == "dumb") {
        return ColourDepth::None;
    }
    const std::string_view colorTerm = Variable("COLORTERM");
    if (colorTerm == "truecolor" || colorTerm == "24bit") {
        return ColourDepth::Full;
    }
    if (term.ends_with("256color")) {
        return ColourDepth::TwoFiftySix;
    }
    return ColourDepth::Sixteen;
}

std::optional<Colour> BackgroundFromColorFgBg(const char* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    const std::string_view text(value);
    const std::string_view last = text.substr(text.find_last_of(';') + 1);
    if (text.find(';') == std::string_view::npos || last.empty() || last.size() > 2 ||
        !std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int index = std::atoi(std::string(last).c_str());
    if (index > 15) {
        return std::nullopt;
    }
    return PaletteColour(index);
}

int TerminalRows(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_row > 0) {
        return size.ws_row;
    }
    const std::string lines(Variable("LINES"));
    char* end = nullptr;
    const long value = std::strtol(lines.c_str(), &end, 10);
    if (!lines.empty() && *end == '\0' && value > 0 && value <= 32767) {
        return static_cast<int>(value);
    }
    return kDefaultRows;
}

std::optional<PixelBuffer> CellSamples(const PictureFile& picture, CellArtSize size,
                                       std::string& error) {
    const int width = picture.Width();
    const int height = picture.Height();
    const Lattice lattice = LatticeFor(width, height, size);
    const std::shared_ptr<const PixelSource> points =
        DecodePicture(picture, lattice.stepX, lattice.stepY, error);
    if (!points) {
        return std::nullopt;
    }
    return CellSamplesOf(*points, width, height, size);
}

PixelBuffer CellSamplesOf(const PixelSource& picture, int width, int height, CellArtSize size) {
    const Lattice lattice = LatticeFor(width, height, size);
    const LatticeView view(picture, lattice.stepX, lattice.stepY);
    return AreaAverage(view, (width + lattice.stepX - 1) / lattice.stepX,
                       (height + lattice.stepY - 1) / lattice.stepY,
                       size.columns * kCellSamplesAcross, size.rows * kCellSamplesDown);
}

} // namespace glimmora
