#pragma once

#include <QImage>
#include <QString>

#include <memory>

#include "core/PixelSource.h"

namespace glimmora {

// A decoded picture: the image the preview draws and the pixel surface the
// conversion reads, one decode serving both.
class PictureSurface final : public PixelSource {
public:
    // image must be Format_RGB32 (opaque, already composed over white).
    explicit PictureSurface(QImage image);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const { return image_; }
    Colour GetPixel(std::int32_t x, std::int32_t y) const override;

private:
    QImage image_;
};

struct PictureLoadResult {
    std::shared_ptr<const PictureSurface> picture; // null on failure
    QString error;                                 // why, on failure
};

// Decodes a picture file: EXIF orientation applied, the first frame of an
// animation, transparency composed over white. Refuses files that cannot be
// decoded and pictures wider or taller than 32767 pixels.
PictureLoadResult LoadPictureFile(const QString& path);

} // namespace glimmora
