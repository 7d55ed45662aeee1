#include "Picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace glimmora {

namespace {

// The picture size fields hold 16-bit numbers.
constexpr int kLargestSide = 32767;
// Qt refuses pictures above 256 MiB by default; a 32767-pixel square at four
// bytes a pixel takes 4 GiB, which is more than a desktop program should
// take, so allow what fits in 1 GiB.
constexpr int kAllocationLimitMiB = 1024;

} // namespace

PictureSurface::PictureSurface(QImage image) : image_(std::move(image)) {}

Colour PictureSurface::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return kInvalidColour;
    }
    const QRgb argb = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    return static_cast<Colour>(qRed(argb) | (qGreen(argb) << 8) | (qBlue(argb) << 16));
}

PictureLoadResult LoadPictureFile(const QString& path) {
    PictureLoadResult result;
    if (path.isEmpty()) {
        result.error = QStringLiteral("No picture file was chosen.");
        return result;
    }
    if (QFileInfo(path).isDir()) {
        result.error = QStringLiteral("%1 is a folder, not a picture.").arg(path);
        return result;
    }
    QImageReader::setAllocationLimit(kAllocationLimitMiB);
    QImageReader reader(path);
    reader.setAutoTransform(true); // EXIF orientation
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kLargestSide || size.height() > kLargestSide)) {
        result.error = QStringLiteral("The picture is %1 x %2 pixels; Glimmora takes at most "
                                      "32767 pixels a side.")
                           .arg(size.width())
                           .arg(size.height());
        return result;
    }
    QImage decoded = reader.read(); // the first frame of an animation
    // Qt takes a name ending in @2x for a high-density picture and would
    // draw it at half size when composing it over white; every pixel of the
    // file is one pixel of the conversion.
    decoded.setDevicePixelRatio(1.0);
    if (decoded.isNull()) {
        result.error =
            QStringLiteral("%1 cannot be read as a picture: %2.").arg(path, reader.errorString());
        return result;
    }
    if (decoded.width() > kLargestSide || decoded.height() > kLargestSide) {
        result.error = QStringLiteral("The picture is %1 x %2 pixels; Glimmora takes at most "
                                      "32767 pixels a side.")
                           .arg(decoded.width())
                           .arg(decoded.height());
        return result;
    }
    QImage opaque;
    if (decoded.hasAlphaChannel()) {
        // Transparent parts read as white: compose the picture over white.
        opaque = QImage(decoded.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, decoded);
    } else {
        opaque = decoded.convertToFormat(QImage::Format_RGB32);
    }
    result.picture = std::make_shared<const PictureSurface>(std::move(opaque));
    return result;
}

} // namespace glimmora
