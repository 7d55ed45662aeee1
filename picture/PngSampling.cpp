// PNG pictures read through libpng row by row: every row must be inflated,
// but only the sampled pixels of the sampled rows are kept, or every pixel
// is added into the area samples. libpng is set up as Qt's PNG reader sets
// it up, and the kept pixels go into a one-row image of the very format and
// colour table Qt's reader would have made, so composing them over white
// gives the colours of the whole decode.

#include <QImage>
#include <QImageIOHandler>
#include <QPainter>

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "QtReaders.h"
#include "SampledDecoding.h"

namespace glimmora {

namespace {

struct PngInput {
    const PictureFile* file = nullptr;
    qint64 at = 0;
    bool readingEnd = false;
};

extern "C" void ReadPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    const qint64 left = input->file->Size() - input->at;
    if (input->readingEnd && left < 4 && length == 4) {
        // Qt's reader lets a file end without the last chunk's CRC.
        static const png_byte kEndCrc[4] = {0xae, 0x42, 0x60, 0x82};
        std::memcpy(data, kEndCrc, 4);
        input->at = input->file->Size();
        return;
    }
    const auto wanted = static_cast<qint64>(length);
    if (input->file->ReadAt(input->at, reinterpret_cast<char*>(data), wanted) != wanted) {
        png_error(png, "Read Error");
    }
    input->at += wanted;
}

struct PngErrorText {
    std::jmp_buf jump;
    char message[200];
};

extern "C" void LeaveOnPngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<PngErrorText*>(png_get_error_ptr(png));
    std::strncpy(error->message, message, sizeof error->message - 1);
    std::longjmp(error->jump, 1);
}

extern "C" void IgnorePngWarning(png_structp, png_const_charp) {}

class PngSampler final : public SampledDecoder::Work {
public:
    PngSampler(const PictureFile& file, std::shared_ptr<SampledPicture> lattice)
        : file_(file), lattice_(std::move(lattice)), width_(lattice_->Width()),
          height_(lattice_->Height()), stepX_(lattice_->StepX()), stepY_(lattice_->StepY()),
          columns_(lattice_->Columns()) {
        input_.file = &file;
        rows = lattice_->Rows();
    }
    // Every pixel, in the stored orientation, into across x down samples.
    PngSampler(const PictureFile& file, int across, int down)
        : file_(file), across_(across), down_(down) {
        input_.file = &file;
        const bool turned = (file.Transformation() & QImageIOHandler::TransformationRotate90) != 0;
        width_ = turned ? file.Height() : file.Width();
        height_ = turned ? file.Width() : file.Height();
        columns_ = width_;
        rows = height_;
    }
    ~PngSampler() override {
        if (png_ != nullptr) {
            png_destroy_read_struct(&png_, &info_, nullptr);
        }
    }
    PngSampler(const PngSampler&) = delete;
    PngSampler& operator=(const PngSampler&) = delete;

    enum class Start { Ready, NotFollowed, Failed };

    Start Begin() {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error_, LeaveOnPngError,
                                      IgnorePngWarning);
        if (png_ == nullptr) {
            return Start::NotFollowed;
        }
        info_ = png_create_info_struct(png_);
        if (info_ == nullptr) {
            return Start::NotFollowed;
        }
        if (setjmp(error_.jump) != 0) {
            Fail();
            return Start::Failed;
        }
        const Start start = BeginUnguarded();
        if (start == Start::Ready) {
            // The image the kept pixels of a row go into, with the format
            // and colour table of the whole decode.
            rowImage_ = QImage(columns_, 1, format_);
            if (rowImage_.isNull()) {
                throw std::bad_alloc();
            }
            if (!table_.isEmpty()) {
                rowImage_.setColorTable(table_);
            }
        }
        return start;
    }

    bool Advance(DecodeClock::time_point deadline) override {
        if (setjmp(error_.jump) != 0) {
            Fail();
            return true;
        }
        return DecodeRows(deadline);
    }

    // Once ended: the area samples, or why not.
    AreaSamplesResult AreaResult() {
        if (result.failure != PictureFailure::None) {
            return {nullptr, result.error, result.failure};
        }
        return {std::make_shared<const PixelBuffer>(sampler_->Finish()), {}, PictureFailure::None};
    }

private:
    // Qt's PNG reader's choice of transforms and image format, followed
    // case by case. No object with a destructor may live in the functions
    // below while libpng is called: an error leaves them by longjmp.
    Start BeginUnguarded() {
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
        png_set_option(png_, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
        png_set_read_fn(png_, &input_, ReadPngBytes);
        png_read_info(png_, info_);
        png_uint_32 width = 0;
        png_uint_32 height = 0;
        int depth = 0;
        int colourType = 0;
        int interlace = 0;
        png_get_IHDR(png_, info_, &width, &height, &depth, &colourType, &interlace, nullptr,
                     nullptr);
        // Interlaced rows come in seven passes, and an orientation would
        // need other rows than the file's: the lattice takes neither. The
        // area samples take pixels in any order and turn afterwards; an
        // interlaced picture then keeps the sums of every row of samples.
        interlaced_ = interlace != PNG_INTERLACE_NONE;
        if ((lattice_ && (interlaced_ || file_.Transformation() != 0)) ||
            static_cast<int>(width) != width_ || static_cast<int>(height) != height_) {
            return Start::NotFollowed;
        }
        const bool hasTrns = png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
        png_bytep transAlpha = nullptr;
        png_color_16p transColour = nullptr;
        int transCount = 0;
        png_colorp palette = nullptr;
        int paletteSize = 0;
        if (colourType == PNG_COLOR_TYPE_GRAY) {
            if (depth == 1 && png_get_channels(png_, info_) == 1) {
                png_set_invert_mono(png_);
                png_read_update_info(png_, info_);
                format_ = QImage::Format_Mono;
                table_ = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
                if (png_get_tRNS(png_, info_, &transAlpha, &transCount, &transColour) &&
                    transColour != nullptr) {
                    if (transColour->gray == 0) {
                        table_[1] = qRgba(0, 0, 0, 0);
                    } else if (transColour->gray == 1) {
                        table_[0] = qRgba(255, 255, 255, 0);
                    }
                }
            } else if (depth == 16 && png_get_channels(png_, info_) == 1 && !hasTrns) {
                format_ = QImage::Format_Grayscale16;
                png_read_update_info(png_, info_);
                png_set_swap(png_);
            } else if (depth == 16) {
                if (!hasTrns) {
                    png_set_filler(png_, 0xffff, PNG_FILLER_AFTER);
                } else {
                    png_set_expand(png_);
                }
                png_set_gray_to_rgb(png_);
                format_ = hasTrns ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
                png_read_update_info(png_, info_);
                png_set_swap(png_);
            } else if (depth == 8 && !hasTrns) {
                png_set_expand(png_);
                format_ = QImage::Format_Grayscale8;
                png_read_update_info(png_, info_);
            } else {
                if (depth < 8) {
                    png_set_packing(png_);
                }
                const int colours = depth < 8 ? 1 << depth : 256;
                png_read_update_info(png_, info_);
                format_ = QImage::Format_Indexed8;
                table_.resize(colours);
                for (int i = 0; i < colours; ++i) {
                    const int c = i * 255 / (colours - 1);
                    table_[i] = qRgba(c, c, c, 0xff);
                }
                if (png_get_tRNS(png_, info_, &transAlpha, &transCount, &transColour) &&
                    transColour != nullptr && transColour->gray < colours) {
                    table_[transColour->gray] = 0;
                }
            }
        } else if (colourType == PNG_COLOR_TYPE_PALETTE &&
                   png_get_PLTE(png_, info_, &palette, &paletteSize) && paletteSize <= 256) {
            if (depth != 1) {
                png_set_packing(png_);
            }
            png_read_update_info(png_, info_);
            png_get_IHDR(png_, info_, &width, &height, &depth, &colourType, nullptr, nullptr,
                         nullptr);
            format_ = depth == 1 ? QImage::Format_Mono : QImage::Format_Indexed8;
            png_get_PLTE(png_, info_, &palette, &paletteSize);
            // A one-bit image has two colours whatever the palette holds.
            table_.resize(format_ == QImage::Format_Mono ? 2 : paletteSize);
            paletteColours_ = table_.size();
            int i = 0;
            if (png_get_tRNS(png_, info_, &transAlpha, &transCount, &transColour) &&
                transAlpha != nullptr) {
                for (; i < transCount && i < table_.size(); ++i) {
                    table_[i] =
                        qRgba(palette[i].red, palette[i].green, palette[i].blue, transAlpha[i]);
                }
            }
            for (; i < paletteSize && i < table_.size(); ++i) {
                table_[i] = qRgba(palette[i].red, palette[i].green, palette[i].blue, 0xff);
            }
            sanitiseIndices_ = format_ == QImage::Format_Indexed8;
        } else if (depth == 16 && !(colourType & PNG_COLOR_MASK_PALETTE)) {
            format_ = QImage::Format_RGBA64;
            if (!(colourType & PNG_COLOR_MASK_ALPHA) && !hasTrns) {
                png_set_filler(png_, 0xffff, PNG_FILLER_AFTER);
                format_ = QImage::Format_RGBX64;
            } else if (!(colourType & PNG_COLOR_MASK_ALPHA)) {
                // Qt's reader lays three samples a pixel into room for four
                // here, and reads what was never written: no decode can
                // match it but its own.
                return Start::NotFollowed;
            }
            if (!(colourType & PNG_COLOR_MASK_COLOR)) {
                png_set_gray_to_rgb(png_);
            }
            png_read_update_info(png_, info_);
            png_set_swap(png_);
        } else if (colourType == PNG_COLOR_TYPE_PALETTE) {
            return Start::NotFollowed; // a palette without its colours
        } else {
            if (depth == 16) {
                png_set_strip_16(png_);
            }
            png_set_expand(png_);
            if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
                png_set_gray_to_rgb(png_);
            }
            format_ = QImage::Format_ARGB32;
            if (!(colourType & PNG_COLOR_MASK_ALPHA) && !hasTrns) {
                png_set_filler(png_, 0xff, PNG_FILLER_AFTER);
                format_ = QImage::Format_RGB32;
            }
            png_set_bgr(png_);
            png_read_update_info(png_, info_);
        }
        rowBytes_ = png_get_rowbytes(png_, info_);
        // Qt's image rows hold at least what libpng writes into them.
        const qsizetype imageRowBytes =
            (static_cast<qsizetype>(width_) * QImage::toPixelFormat(format_).bitsPerPixel() + 7) /
            8;
        if (static_cast<qsizetype>(rowBytes_) > imageRowBytes + 8) {
            return Start::NotFollowed;
        }
        return Start::Ready;
    }

    bool DecodeRows(DecodeClock::time_point deadline) {
        if (row_.empty()) {
            row_.resize(rowBytes_ + 8);
            if (!lattice_) {
                sampler_ =
                    std::make_unique<AreaSampler>(width_, height_, across_, down_, 1, !interlaced_);
            }
        }
        do {
            // An interlaced picture's seven passes end with the last
            // pass, its rows counted within each pass.
            const int pass = png_get_current_pass_number(png_);
            if (interlaced_ ? pass >= 7 : sourceRow_ == height_) {
                input_.readingEnd = true;
                png_read_end(png_, nullptr);
                if (lattice_) {
                    result.picture = std::move(lattice_);
                }
                return true;
            }
            const int y = interlaced_ ? static_cast<int>(PNG_ROW_FROM_PASS_ROW(
                                            png_get_current_row_number(png_), pass))
                                      : sourceRow_;
            png_read_row(png_, row_.data(), nullptr);
            if (sampler_) {
                const int first = interlaced_ ? PNG_PASS_START_COL(pass) : 0;
                const int step = interlaced_ ? PNG_PASS_COL_OFFSET(pass) : 1;
                KeepRow(1, (width_ - first + step - 1) / step);
                sampler_->AddRow(y, opaque_.constScanLine(0), kRgb32Layout, first, step);
                ++rowsDone;
            } else if (sourceRow_ % stepY_ == 0) {
                KeepRow(stepX_, columns_);
                const auto* line = reinterpret_cast<const QRgb*>(opaque_.constScanLine(0));
                for (int i = 0; i < columns_; ++i) {
                    lattice_->SetPoint(i, sourceRow_ / stepY_, ColourOf(line[i]));
                }
                ++rowsDone;
            }
            ++sourceRow_;
        } while (DecodeClock::now() < deadline);
        return false;
    }

    // Composes over white, into opaque_, the pixels 0, stepX, ... of the row
    // read: columns of them.
    void KeepRow(int stepX, int columns) {
        uchar* out = rowImage_.scanLine(0);
        if (stepX == 1) {
            const auto bits =
                static_cast<std::size_t>(QImage::toPixelFormat(format_).bitsPerPixel());
            std::memcpy(out, row_.data(), (static_cast<std::size_t>(columns) * bits + 7) / 8);
        } else if (format_ == QImage::Format_Mono) {
            std::memset(out, 0, static_cast<std::size_t>(rowImage_.bytesPerLine()));
            for (int i = 0; i < columns; ++i) {
                const int x = i * stepX;
                if ((row_[static_cast<std::size_t>(x >> 3)] >> (7 - (x & 7))) & 1) {
                    out[i >> 3] = static_cast<uchar>(out[i >> 3] | (0x80 >> (i & 7)));
                }
            }
        } else {
            const std::size_t size =
                static_cast<std::size_t>(QImage::toPixelFormat(format_).bitsPerPixel() / 8);
            for (int i = 0; i < columns; ++i) {
                std::memcpy(out + static_cast<std::size_t>(i) * size,
                            row_.data() + static_cast<std::size_t>(i) * stepX * size, size);
            }
        }
        if (sanitiseIndices_) {
            // Qt's reader reads an index beyond the palette as 0.
            for (int i = 0; i < columns; ++i) {
                if (out[i] >= paletteColours_) {
                    out[i] = 0;
                }
            }
        }
        ComposeRow();
    }

    void ComposeRow() {
        if (rowImage_.hasAlphaChannel()) {
            if (opaque_.isNull()) {
                opaque_ = QImage(rowImage_.size(), QImage::Format_RGB32);
                if (opaque_.isNull()) {
                    throw std::bad_alloc();
                }
            }
            opaque_.fill(Qt::white);
            QPainter painter(&opaque_);
            painter.drawImage(0, 0, rowImage_);
        } else {
            opaque_ = rowImage_.convertToFormat(QImage::Format_RGB32);
            if (opaque_.isNull()) {
                throw std::bad_alloc();
            }
        }
    }

    void Fail() {
        const QString message = QString::fromLatin1(error_.message);
        if (message.contains(QStringLiteral("out of memory"), Qt::CaseInsensitive)) {
            result.failure = PictureFailure::OutOfMemory;
            result.error = OutOfMemoryMessage(file_);
            return;
        }
        result.failure = PictureFailure::Unreadable;
        result.error = UnreadableMessage(file_, message);
    }

    const PictureFile& file_;
    std::shared_ptr<SampledPicture> lattice_; // or the area samples:
    int across_ = 0;
    int down_ = 0;
    std::unique_ptr<AreaSampler> sampler_;
    // The picture as stored, and the pixels kept of a row.
    int width_ = 0;
    int height_ = 0;
    int stepX_ = 1;
    int stepY_ = 1;
    int columns_ = 0;
    bool interlaced_ = false;
    PngInput input_;
    PngErrorText error_{};
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    QImage::Format format_ = QImage::Format_Invalid;
    QList<QRgb> table_;
    int paletteColours_ = 0;
    bool sanitiseIndices_ = false;
    std::size_t rowBytes_ = 0;
    std::vector<png_byte> row_;
    int sourceRow_ = 0;
    QImage rowImage_;
    QImage opaque_;
};

} // namespace

std::unique_ptr<SampledDecoder::Work>
PngWork(const PictureFile& file, const std::shared_ptr<SampledPicture>& lattice, std::size_t) {
    auto sampler = std::make_unique<PngSampler>(file, lattice);
    switch (sampler->Begin()) {
    case PngSampler::Start::Ready:
        return sampler;
    case PngSampler::Start::NotFollowed:
        return nullptr;
    case PngSampler::Start::Failed:
        break;
    }
    return FailedWork(sampler->result.failure, sampler->result.error);
}

std::optional<AreaSamplesResult> PngAreaSamples(const PictureFile& file, int across, int down) {
    PngSampler sampler(file, across, down);
    switch (sampler.Begin()) {
    case PngSampler::Start::Ready:
        break;
    case PngSampler::Start::NotFollowed:
        return std::nullopt;
    case PngSampler::Start::Failed:
        return AreaSamplesResult{nullptr, sampler.result.error, sampler.result.failure};
    }
    while (!sampler.Advance(DecodeClock::time_point::max())) {
    }
    return sampler.AreaResult();
}

} // namespace glimmora
