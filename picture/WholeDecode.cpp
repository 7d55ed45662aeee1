#include "WholeDecode.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <future>
#include <limits>
#include <new>
#include <system_error>

#include "PictureMessages.h"
#include "QtReaders.h"
#include "SampledDecoding.h"

namespace glimmora {

namespace {

// The whole decode, then the points of the lattice taken from it.
class WholeWork final : public SampledDecoder::Work {
public:
    WholeWork(const PictureFile& file, std::shared_ptr<SampledPicture> lattice, std::size_t budget)
        : file_(file), lattice_(std::move(lattice)), budget_(budget) {
        rows = lattice_->Rows();
    }

    bool Advance(DecodeClock::time_point deadline) override {
        if (!surface_) {
            // Qt's readers decode in one call, however long it takes: it
            // runs beside the caller, who waits for it a slice at a time.
            if (!whole_.valid()) {
                try {
                    whole_ = std::async(std::launch::async,
                                        [this] { return DecodeWhole(file_, budget_); });
                } catch (const std::system_error&) {
                    std::promise<PictureLoadResult> here;
                    here.set_value(DecodeWhole(file_, budget_));
                    whole_ = here.get_future();
                }
            }
            if (whole_.wait_until(deadline) != std::future_status::ready) {
                return false;
            }
            PictureLoadResult whole = whole_.get();
            if (!whole.picture) {
                result.error = whole.error;
                result.failure = whole.failure;
                return true;
            }
            if (whole.picture->Width() != lattice_->Width() ||
                whole.picture->Height() != lattice_->Height()) {
                result.error = UnreadableMessage(
                    file_, QStringLiteral("its size changes between its header and its data"));
                result.failure = PictureFailure::Unreadable;
                return true;
            }
            surface_ = std::move(whole.picture);
        }
        const QImage& image = surface_->Image();
        do {
            if (rowsDone == rows) {
                break;
            }
            const int y = rowsDone * lattice_->StepY();
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int i = 0; i < lattice_->Columns(); ++i) {
                lattice_->SetPoint(i, rowsDone, ColourOf(line[i * lattice_->StepX()]));
            }
            ++rowsDone;
        } while (DecodeClock::now() < deadline);
        if (rowsDone < rows) {
            return false;
        }
        surface_.reset();
        result.picture = std::move(lattice_);
        return true;
    }

private:
    const PictureFile& file_;
    std::shared_ptr<SampledPicture> lattice_;
    std::size_t budget_;
    // Waited for when the work is dropped: the decode reads file_.
    std::future<PictureLoadResult> whole_;
    std::shared_ptr<const PictureSurface> surface_;
};

} // namespace

std::unique_ptr<SampledDecoder::Work>
WholeWorkFor(const PictureFile& file, std::shared_ptr<SampledPicture> lattice, std::size_t budget) {
    return std::make_unique<WholeWork>(file, std::move(lattice), budget);
}

PictureSurface::PictureSurface(QImage image) : image_(std::move(image)) {}

Colour PictureSurface::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return kInvalidColour;
    }
    return ColourOf(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

PictureLoadResult LoadPictureFile(const QString& path) {
    PictureLoadResult result;
    if (path.isEmpty()) {
        result.failure = PictureFailure::Unreadable;
        result.error = QStringLiteral("No picture file was chosen.");
        return result;
    }
    const PictureFileResult opened = PictureFile::Open(QFile::encodeName(path).toStdString(), path);
    if (!opened.file) {
        result.failure = opened.failure;
        result.error = opened.error;
        return result;
    }
    return DecodeWhole(*opened.file);
}

PictureLoadResult DecodeWhole(const PictureFile& file, std::size_t budget) {
    PictureLoadResult result;
    BytesReader reader(file);
    // What the decoded picture takes, and the composed copy beside it.
    const QImage::Format format = reader->imageFormat();
    const int depth = format == QImage::Format_Invalid
                          ? 64
                          : static_cast<int>(QImage::toPixelFormat(format).bitsPerPixel());
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(file.Width()) * static_cast<std::uint64_t>(file.Height());
    const std::uint64_t decodedBytes = pixels * static_cast<std::uint64_t>(depth) / 8;
    const std::uint64_t bytes = decodedBytes + pixels * 4;
    if (bytes > budget) {
        result.failure = PictureFailure::OverBudget;
        result.error = WholeOverBudgetMessage(file, bytes, budget);
        return result;
    }
    QImageReader::setAllocationLimit(static_cast<int>(
        std::min<std::uint64_t>(budget / (1024 * 1024) + 1, std::numeric_limits<int>::max())));
    // A damaged picture may end before its last row, and some readers (BMP)
    // then leave the rows they never reached as the memory held them: the
    // art would show leftovers of memory, different at every run. Read into
    // a white picture of the stored size and the reader's format, which the
    // reader fills in place, so that such rows are white. (A top-down BMP
    // tells the reader a negative height; the file's size holds.)
    QImage decoded;
    try {
        QSize stored(file.Width(), file.Height());
        if (file.Transformation() & QImageIOHandler::TransformationRotate90) {
            stored.transpose();
        }
        if (format != QImage::Format_Invalid) {
            decoded = QImage(stored, format);
            decoded.fill(Qt::white);
        }
        if (!reader->read(&decoded)) { // the first frame of an animation
            decoded = QImage();
        }
    } catch (const std::bad_alloc&) {
        result.failure = PictureFailure::OutOfMemory;
        result.error = OutOfMemoryMessage(file);
        return result;
    }
    // Qt takes a name ending in @2x for a high-density picture and would
    // draw it at half size when composing it over white; every pixel of the
    // file is one pixel of the conversion.
    decoded.setDevicePixelRatio(1.0);
    if (decoded.isNull()) {
        result.failure = PictureFailure::Unreadable;
        result.error = UnreadableMessage(file, reader->errorString());
        return result;
    }
    if (decoded.width() > kLargestSide || decoded.height() > kLargestSide) {
        result.failure = PictureFailure::TooLarge;
        result.error = TooLargeMessage(decoded.width(), decoded.height());
        return result;
    }
    QImage opaque = ComposedOverWhite(decoded);
    if (opaque.isNull()) {
        result.failure = PictureFailure::OutOfMemory;
        result.error = OutOfMemoryMessage(file);
        return result;
    }
    result.picture = std::make_shared<const PictureSurface>(std::move(opaque));
    return result;
}

} // namespace glimmora
