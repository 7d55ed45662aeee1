#include "Preview.h"

#include <algorithm>

#include "QtReaders.h"

namespace glimmora {

QImage PreviewImage(const PictureFile& file, QSize fitIn) {
    BytesReader reader(file);
    QSize upright(file.Width(), file.Height());
    if (upright.width() > fitIn.width() || upright.height() > fitIn.height()) {
        upright = upright.scaled(fitIn, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        // The reader is asked for the size of the stored pixels, before
        // they are turned upright.
        QSize stored = upright;
        if (file.Transformation() & QImageIOHandler::TransformationRotate90) {
            stored.transpose();
        }
        reader->setScaledSize(stored);
    }
    QImage decoded = reader->read();
    if (decoded.isNull()) {
        return decoded;
    }
    decoded.setDevicePixelRatio(1.0);
    return ComposedOverWhite(decoded);
}

QSize PreviewSteps(const PictureFile& file, QSize fitIn) {
    const auto step = [](int side, int fit) { return std::max(1, side / std::max(1, 2 * fit)); };
    return {step(file.Width(), fitIn.width()), step(file.Height(), fitIn.height())};
}

QImage PreviewFromSamples(const SampledPicture& samples, QSize fitIn) {
    QImage points(samples.Columns(), samples.Rows(), QImage::Format_RGB32);
    if (points.isNull()) {
        return points;
    }
    for (int j = 0; j < samples.Rows(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(points.scanLine(j));
        for (int i = 0; i < samples.Columns(); ++i) {
            const Colour colour = samples.GetPixel(i * samples.StepX(), j * samples.StepY());
            line[i] = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        }
    }
    const QSize size =
        QSize(samples.Width(), samples.Height())
            .scaled(fitIn.boundedTo(QSize(samples.Width(), samples.Height())), Qt::KeepAspectRatio)
            .expandedTo(QSize(1, 1));
    return points.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace glimmora
