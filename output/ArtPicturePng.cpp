// The art picture drawn whole: into an image, or into a PNG written out as
// its rows are made.

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "ArtPicture.h"
#include "ArtPictureInternals.h"
#include "PngWriter.h"

namespace glimmora {

using detail::kDotsPerMeter;

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
