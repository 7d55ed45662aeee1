#include "AreaDecode.h"

#include <QImageIOHandler>

#include <new>

#include "PictureMessages.h"
#include "SampledDecoding.h"
#include "WholeDecode.h"

namespace glimmora {

namespace {

// Samples taken in the file's stored orientation, made upright as Qt's
// readers make a picture upright: mirrored and flipped first, then turned a
// quarter clockwise.
PixelBuffer Upright(const PixelBuffer& stored, int transformation) {
    if (transformation == QImageIOHandler::TransformationNone) {
        return stored;
    }
    const bool mirror = (transformation & QImageIOHandler::TransformationMirror) != 0;
    const bool flip = (transformation & QImageIOHandler::TransformationFlip) != 0;
    const bool turn = (transformation & QImageIOHandler::TransformationRotate90) != 0;
    const int width = stored.Width();
    const int height = stored.Height();
    PixelBuffer upright(turn ? height : width, turn ? width : height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour colour =
                stored.GetPixel(mirror ? width - 1 - x : x, flip ? height - 1 - y : y);
            if (turn) {
                upright.SetPixel(height - 1 - y, x, colour);
            } else {
                upright.SetPixel(x, y, colour);
            }
        }
    }
    return upright;
}

// Any picture: decoded whole by Qt's readers, then every pixel added up.
AreaSamplesResult WholeAreaSamples(const PictureFile& file, int across, int down,
                                   std::size_t budget) {
    const PictureLoadResult whole = DecodeWhole(file, budget);
    if (!whole.picture) {
        return {nullptr, whole.error, whole.failure};
    }
    const QImage& image = whole.picture->Image();
    AreaSampler sampler(image.width(), image.height(), across, down);
    for (int y = 0; y < image.height(); ++y) {
        sampler.AddRow(y, image.constScanLine(y), kRgb32Layout);
    }
    return {std::make_shared<const PixelBuffer>(sampler.Finish()), {}, PictureFailure::None};
}

} // namespace

AreaSamplesResult DecodeAreaSamples(const PictureFile& file, int across, int down,
                                    std::size_t budget) {
    if (across < 1 || down < 1) {
        return {nullptr,
                QStringLiteral("The samples %1 x %2 are not whole numbers of at least 1.")
                    .arg(across)
                    .arg(down),
                PictureFailure::Unreadable};
    }
    // The samples, and the sums of every row of them an interlaced picture
    // keeps: three doubles a sample.
    const std::uint64_t bytes = static_cast<std::uint64_t>(across) * down * (sizeof(Colour) + 24);
    if (bytes > budget) {
        return {nullptr,
                QStringLiteral("%1 seen as %2 x %3 samples would take %4 MiB, more than the %5 "
                               "MiB a picture may take.")
                    .arg(file.ShownName())
                    .arg(across)
                    .arg(down)
                    .arg(MiB(static_cast<double>(bytes)), MiB(static_cast<double>(budget))),
                PictureFailure::OverBudget};
    }
    try {
        const int transformation = file.Transformation();
        const bool turned = (transformation & QImageIOHandler::TransformationRotate90) != 0;
        const int storedAcross = turned ? down : across;
        const int storedDown = turned ? across : down;
        std::optional<AreaSamplesResult> direct;
        if (file.Format() == "jpeg") {
            direct = JpegAreaSamples(file, storedAcross, storedDown, budget);
        } else if (file.Format() == "png") {
            direct = PngAreaSamples(file, storedAcross, storedDown);
        }
        if (!direct) {
            return WholeAreaSamples(file, across, down, budget);
        }
        if (direct->samples) {
            direct->samples =
                std::make_shared<const PixelBuffer>(Upright(*direct->samples, transformation));
        }
        return *direct;
    } catch (const std::bad_alloc&) {
        return {nullptr, OutOfMemoryMessage(file), PictureFailure::OutOfMemory};
    }
}

} // namespace glimmora
