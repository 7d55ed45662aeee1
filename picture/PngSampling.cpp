// PNG pictures read through libpng row by row: every row must be inflated,
// but only the sampled pixels of the sampled rows are kept. libpng is set
// up as Qt's PNG reader sets it up, and the kept pixels go into a one-row
// image of the very format and colour table Qt's reader would have made, so
// composing them over white gives the colours of the whole decode.

#include <QImage>
#include <QImageIOHandler>
#include <QPainter>

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

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
        : file_(file), lattice_(std::move(lattice)) {
        input_.file = &file;
        rows = lattice_->Rows();
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
            rowImage_ = QImage(lattice_->Columns(), 1, format_);
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
        // Interlaced rows come in seven passes; an orientation would need
        // other rows than the file's.
        if (interlace != PNG_INTERLACE_NONE || file_.Transformation() != 0 ||
            static_cast<int>(width) != lattice_->Width() ||
            static_cast<int>(height) != lattice_->Height()) {
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
        const qsizetype imageRowBytes = (static_cast<qsizetype>(lattice_->Width()) *
                                             QImage::toPixelFormat(format_).bitsPerPixel() +
                                         7) /
                                        8;
        if (static_cast<qsizetype>(rowBytes_) > imageRowBytes + 8) {
            return Start::NotFollowed;
        }
        return Start::Ready;
    }

    bool DecodeRows(DecodeClock::time_point deadline) {
        if (row_.empty()) {
            row_.resize(rowBytes_ + 8);
        }
        const int height = lattice_->Height();
        const int stepY = lattice_->StepY();
        do {
            if (sourceRow_ == height) {
                input_.readingEnd = true;
                png_read_end(png_, nullptr);
                result.picture = std::move(lattice_);
                return true;
            }
            png_read_row(png_, row_.data(), nullptr);
            if (sourceRow_ % stepY == 0) {
                KeepRow(sourceRow_ / stepY);
                ++rowsDone;
            }
            ++sourceRow_;
        } while (DecodeClock::now() < deadline);
        return false;
    }

    void KeepRow(int j) {
        const int stepX = lattice_->StepX();
        const int columns = lattice_->Columns();
        uchar* out = rowImage_.scanLine(0);
        if (format_ == QImage::Format_Mono) {
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
            if (sanitiseIndices_) {
                // Qt's reader reads an index beyond the palette as 0.
                for (int i = 0; i < columns; ++i) {
                    if (out[i] >= paletteColours_) {
                        out[i] = 0;
                    }
                }
            }
        }
        ComposeRow(j);
    }

    void ComposeRow(int j) {
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
        const auto* line = reinterpret_cast<const QRgb*>(opaque_.constScanLine(0));
        for (int i = 0; i < lattice_->Columns(); ++i) {
            const QRgb argb = line[i];
            lattice_->SetPoint(
                i, j, static_cast<Colour>(qRed(argb) | (qGreen(argb) << 8) | (qBlue(argb) << 16)));
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
    std::shared_ptr<SampledPicture> lattice_;
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

} // namespace glimmora
