#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "PictureFile.h"
#include "core/PixelSource.h"

namespace glimmora {

// A picture decoded whole by Qt's image readers.
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
    PictureFailure failure = PictureFailure::None;
};

// Decodes a picture file whole: EXIF orientation applied, the first frame
// of an animation, transparency composed over white. Refuses files that
// cannot be decoded and pictures wider or taller than 32767 pixels.
PictureLoadResult LoadPictureFile(const QString& path);
// The same for a file already read.
PictureLoadResult DecodeWhole(const PictureFile& file, std::size_t budget = kPictureMemoryBudget);

} // namespace glimmora
