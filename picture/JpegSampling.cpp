// JPEG pictures read through libjpeg-turbo directly: the rows no sample
// falls on are skipped, and of the rows read only the sampled pixels are
// kept. The decoder runs with the settings Qt's JPEG reader gives it (the
// accurate integer IDCT, smooth chroma upsampling), so every pixel read is
// the one the whole decode gives.

#include <QImageIOHandler>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared
#include <memory>
#include <vector>

#include <jpeglib.h>

// After jpeglib.h, which it needs.
#include <jerror.h>

#include "JpegExif.h"
#include "SampledDecoding.h"

namespace glimmora {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager; // first, so the library's pointer is ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void LeaveOnJpegError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (a damaged or cut-off stream the library makes the best of) are
// not shown, as Qt's reader only logs them.
extern "C" void IgnoreJpegMessage(j_common_ptr) {}

// The picture's bytes handed to libjpeg a piece at a time, so a streamed
// file is never held whole. Like libjpeg's own memory source, a stream that
// ends early is ended with an EOI marker (and a warning).
struct JpegSource {
    jpeg_source_mgr manager; // first, so the library's pointer is ours
    const PictureFile* file;
    qint64 offset;
    JOCTET buffer[65536];
};

extern "C" void StartJpegSource(j_decompress_ptr) {}

extern "C" boolean FillJpegSource(j_decompress_ptr info) {
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    const qint64 got = source->file->ReadAt(source->offset, reinterpret_cast<char*>(source->buffer),
                                            sizeof source->buffer);
    if (got <= 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        source->manager.next_input_byte = source->buffer;
        source->manager.bytes_in_buffer = 2;
        return TRUE;
    }
    source->offset += got;
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = static_cast<std::size_t>(got);
    return TRUE;
}

extern "C" void SkipJpegSource(j_decompress_ptr info, long count) {
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    if (count <= 0) {
        return;
    }
    const auto skip = static_cast<std::size_t>(count);
    if (skip <= source->manager.bytes_in_buffer) {
        source->manager.next_input_byte += skip;
        source->manager.bytes_in_buffer -= skip;
        return;
    }
    source->offset += static_cast<qint64>(skip - source->manager.bytes_in_buffer);
    source->manager.bytes_in_buffer = 0;
}

extern "C" void EndJpegSource(j_decompress_ptr) {}

// Sets info up to read file from its start; source must outlive the reading.
void ReadFrom(j_decompress_ptr info, JpegSource& source, const PictureFile& file) {
    source.manager.init_source = StartJpegSource;
    source.manager.fill_input_buffer = FillJpegSource;
    source.manager.skip_input_data = SkipJpegSource;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = EndJpegSource;
    source.manager.next_input_byte = nullptr;
    source.manager.bytes_in_buffer = 0;
    source.file = &file;
    source.offset = 0;
    info->src = &source.manager;
}

// A decompressor reading a file, with errors that leave by longjmp to
// errors.jump and warnings that are counted, not shown.
struct JpegDecompress {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    std::unique_ptr<JpegSource> source = std::make_unique<JpegSource>();
    JpegDecompress() {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = LeaveOnJpegError;
        errors.manager.output_message = IgnoreJpegMessage;
        errors.message[0] = '\0';
        jpeg_create_decompress(&info);
    }
    ~JpegDecompress() { jpeg_destroy_decompress(&info); }
    JpegDecompress(const JpegDecompress&) = delete;
    JpegDecompress& operator=(const JpegDecompress&) = delete;

    // Why the decode failed, once an error has left by longjmp.
    void Failure(const PictureFile& file, PictureFailure* failure, QString* error) const {
        switch (errors.manager.msg_code) {
        case JERR_OUT_OF_MEMORY:
            *failure = PictureFailure::OutOfMemory;
            *error = OutOfMemoryMessage(file);
            return;
        case JERR_NO_BACKING_STORE:
            // More than max_memory_to_use, which holds the budget.
            *failure = PictureFailure::OverBudget;
            *error = QStringLiteral("%1 is %2 x %3 pixels; decoding it would take more "
                                    "than the memory a picture may take.")
                         .arg(file.ShownName())
                         .arg(file.Width())
                         .arg(file.Height());
            return;
        default:
            *failure = PictureFailure::Unreadable;
            *error = UnreadableMessage(file, QString::fromLocal8Bit(errors.message));
        }
    }

    // What a stream in several scans holds whole as coefficients, two bytes
    // each, until its last scan has come; 0 for one scan. After the header.
    std::uint64_t HeldCoefficients() {
        std::uint64_t held = 0;
        if (jpeg_has_multiple_scans(&info)) {
            for (int c = 0; c < info.num_components; ++c) {
                const jpeg_component_info& component = info.comp_info[c];
                held += static_cast<std::uint64_t>(component.width_in_blocks) *
                        component.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
            }
        }
        return held;
    }
};

class JpegSampler final : public SampledDecoder::Work {
public:
    JpegSampler(const PictureFile& file, std::shared_ptr<SampledPicture> lattice)
        : file_(file), lattice_(std::move(lattice)) {
        rows = lattice_->Rows();
        const int transformation = file.Transformation();
        mirror_ = (transformation & QImageIOHandler::TransformationMirror) != 0;
        flip_ = (transformation & QImageIOHandler::TransformationFlip) != 0;
    }
    JpegSampler(const JpegSampler&) = delete;
    JpegSampler& operator=(const JpegSampler&) = delete;

    enum class Start { Ready, NotFollowed, Failed };

    // Reads the header and starts the decode. NotFollowed for a picture
    // this decoder does not read as Qt does (CMYK, a size that differs).
    Start Begin(std::size_t budget) {
        if (setjmp(jpeg_.errors.jump) != 0) {
            Fail();
            return Start::Failed;
        }
        return BeginUnguarded(budget);
    }

    bool Advance(DecodeClock::time_point deadline) override {
        if (!whole_) {
            if (setjmp(jpeg_.errors.jump) != 0) {
                Fail();
                return true;
            }
            if (!DecodeRows(deadline)) {
                return false;
            }
            if (!damaged_) {
                return true;
            }
            // The library made the best of damaged data, and it may make it
            // differently when rows are skipped than when all are read: the
            // points come from the whole decode, as Qt's reader gives it.
            // The rows counted so far stay counted: the count never goes back.
            whole_ = WholeWorkFor(file_, lattice_, budget_);
        }
        const bool ended = whole_->Advance(deadline);
        if (ended) {
            result = whole_->result;
            if (result.failure == PictureFailure::OverBudget) {
                // Too large to decode whole, the damaged picture converts
                // from what the library made of it: the samples, which the
                // whole decode never reached.
                result = SampledPictureResult{};
                result.picture = std::move(lattice_);
            }
        }
        return ended;
    }

private:
    // No object with a destructor may live in the functions below: an error
    // leaves them by longjmp.
    Start BeginUnguarded(std::size_t budget) {
        budget_ = budget;
        ReadFrom(&jpeg_.info, *jpeg_.source, file_);
        jpeg_read_header(&jpeg_.info, TRUE);
        if (jpeg_.info.out_color_space != JCS_RGB && jpeg_.info.out_color_space != JCS_GRAYSCALE) {
            return Start::NotFollowed;
        }
        // The size as stored, before the orientation turns it upright.
        if (static_cast<int>(jpeg_.info.image_width) != lattice_->Width() ||
            static_cast<int>(jpeg_.info.image_height) != lattice_->Height()) {
            return Start::NotFollowed;
        }
        jpeg_.info.dct_method = JDCT_ISLOW;
        jpeg_.info.do_fancy_upsampling = TRUE;
        // A stream in several scans is held whole as coefficients, two
        // bytes each, until its last scan has come.
        const std::uint64_t lattice = SampledPicture::BytesFor(
            lattice_->Width(), lattice_->Height(), lattice_->StepX(), lattice_->StepY());
        const std::uint64_t held = lattice + jpeg_.HeldCoefficients();
        if (held > budget) {
            // Nothing of the library is called while the message lives.
            result.failure = PictureFailure::OverBudget;
            result.error = WholeOverBudgetMessage(file_, held, budget);
            return Start::Failed;
        }
        jpeg_.info.mem->max_memory_to_use = static_cast<long>(budget - lattice);
        jpeg_start_decompress(&jpeg_.info);
        warningsAtStart_ = jpeg_.errors.manager.num_warnings;
        components_ = jpeg_.info.output_components;
        row_.resize(static_cast<std::size_t>(jpeg_.info.output_width) * components_);
        return Start::Ready;
    }

    bool DecodeRows(DecodeClock::time_point deadline) {
        const int width = lattice_->Width();
        const int height = lattice_->Height();
        JSAMPROW row = row_.data();
        do {
            if (rowsDone == rows) {
                // The rest of the stream is read as the whole decode reads
                // it, so damage after the last sample fails both alike.
                const JDIMENSION last = jpeg_.info.output_height - 1;
                if (jpeg_.info.output_scanline < last) {
                    jpeg_skip_scanlines(&jpeg_.info, last - jpeg_.info.output_scanline);
                }
                if (jpeg_.info.output_scanline < jpeg_.info.output_height) {
                    jpeg_read_scanlines(&jpeg_.info, &row, 1);
                }
                jpeg_finish_decompress(&jpeg_.info);
                damaged_ = jpeg_.errors.manager.num_warnings > warningsAtStart_;
                if (!damaged_) {
                    result.picture = std::move(lattice_);
                }
                return true;
            }
            // Upside down the sampled rows come from the bottom up; the file
            // is read from the top down all the same.
            const int j = flip_ ? rows - 1 - rowsDone : rowsDone;
            const int y = j * lattice_->StepY();
            const auto sourceRow = static_cast<JDIMENSION>(flip_ ? height - 1 - y : y);
            if (sourceRow > jpeg_.info.output_scanline) {
                jpeg_skip_scanlines(&jpeg_.info, sourceRow - jpeg_.info.output_scanline);
            }
            jpeg_read_scanlines(&jpeg_.info, &row, 1);
            for (int i = 0; i < lattice_->Columns(); ++i) {
                const int x = i * lattice_->StepX();
                const std::size_t at =
                    static_cast<std::size_t>(mirror_ ? width - 1 - x : x) * components_;
                Colour colour;
                if (components_ == 1) {
                    colour = static_cast<Colour>(row_[at] * 0x010101);
                } else {
                    colour =
                        static_cast<Colour>(row_[at] | (row_[at + 1] << 8) | (row_[at + 2] << 16));
                }
                lattice_->SetPoint(i, j, colour);
            }
            ++rowsDone;
        } while (DecodeClock::now() < deadline);
        return false;
    }

    void Fail() { jpeg_.Failure(file_, &result.failure, &result.error); }

    const PictureFile& file_;
    std::shared_ptr<SampledPicture> lattice_;
    JpegDecompress jpeg_;
    std::vector<JSAMPLE> row_;
    std::size_t components_ = 3;
    bool mirror_ = false;
    bool flip_ = false;
    std::size_t budget_ = 0;
    long warningsAtStart_ = 0; // the header's warnings
    bool damaged_ = false;     // warnings while decoding: see Advance
    std::unique_ptr<SampledDecoder::Work> whole_;
};

// A JPEG added up into area samples: decoded by libjpeg-turbo's DCT scaling
// at the largest of 1/8, 1/4 and 1/2 at which every sample still covers a
// decoded pixel or more each way, each decoded pixel then being the mean of
// its block, and every decoded pixel added into the samples it falls in.
class JpegAreaReader {
public:
    JpegAreaReader(const PictureFile& file, int across, int down)
        : file_(file), across_(across), down_(down) {}

    enum class Outcome { Done, NotFollowed, Failed };

    Outcome Read(std::size_t budget) {
        if (setjmp(jpeg_.errors.jump) != 0) {
            jpeg_.Failure(file_, &result.failure, &result.error);
            return Outcome::Failed;
        }
        return ReadUnguarded(budget);
    }

    AreaSamplesResult result;

private:
    // The block a decoded pixel stands for, pixels a side.
    static int BlockFor(int width, int height, int across, int down) {
        for (const int block : {8, 4, 2}) {
            if (width / block >= across && height / block >= down) {
                return block;
            }
        }
        return 1;
    }

    // No object with a destructor may live here: an error leaves by longjmp.
    Outcome ReadUnguarded(std::size_t budget) {
        ReadFrom(&jpeg_.info, *jpeg_.source, file_);
        jpeg_read_header(&jpeg_.info, TRUE);
        if (jpeg_.info.out_color_space != JCS_RGB && jpeg_.info.out_color_space != JCS_GRAYSCALE) {
            return Outcome::NotFollowed;
        }
        // The size as stored, before the orientation turns it upright.
        const bool turned = (file_.Transformation() & QImageIOHandler::TransformationRotate90) != 0;
        const int width = turned ? file_.Height() : file_.Width();
        const int height = turned ? file_.Width() : file_.Height();
        if (static_cast<int>(jpeg_.info.image_width) != width ||
            static_cast<int>(jpeg_.info.image_height) != height) {
            return Outcome::NotFollowed;
        }
        const int block = BlockFor(width, height, across_, down_);
        jpeg_.info.scale_num = 1;
        jpeg_.info.scale_denom = static_cast<unsigned>(block);
        // Unscaled, the pixels are those of the whole decode.
        jpeg_.info.dct_method = JDCT_ISLOW;
        jpeg_.info.do_fancy_upsampling = TRUE;
        jpeg_calc_output_dimensions(&jpeg_.info);
        sampler_ = std::make_unique<AreaSampler>(width, height, across_, down_, block);
        if (static_cast<int>(jpeg_.info.output_width) != sampler_->DecodedWidth() ||
            static_cast<int>(jpeg_.info.output_height) != sampler_->DecodedHeight()) {
            return Outcome::NotFollowed;
        }
        const std::uint64_t held = jpeg_.HeldCoefficients();
        if (held > budget) {
            // Nothing of the library is called while the message lives.
            result.failure = PictureFailure::OverBudget;
            result.error = WholeOverBudgetMessage(file_, held, budget);
            return Outcome::Failed;
        }
        jpeg_.info.mem->max_memory_to_use = static_cast<long>(budget);
        jpeg_start_decompress(&jpeg_.info);
        const PixelLayout layout = jpeg_.info.output_components == 1 ? kGreyBytes : kRgbBytes;
        row_.resize(static_cast<std::size_t>(jpeg_.info.output_width) *
                    static_cast<std::size_t>(jpeg_.info.output_components));
        JSAMPROW row = row_.data();
        while (jpeg_.info.output_scanline < jpeg_.info.output_height) {
            const auto y = static_cast<int>(jpeg_.info.output_scanline);
            jpeg_read_scanlines(&jpeg_.info, &row, 1);
            sampler_->AddRow(y, row_.data(), layout);
        }
        jpeg_finish_decompress(&jpeg_.info);
        result.samples = std::make_shared<const PixelBuffer>(sampler_->Finish());
        return Outcome::Done;
    }

    const PictureFile& file_;
    int across_;
    int down_;
    JpegDecompress jpeg_;
    std::unique_ptr<AreaSampler> sampler_;
    std::vector<JSAMPLE> row_;
};

struct JpegHeaderReader {
    JpegDecompress jpeg;

    // No object with a destructor lives here: an error leaves by longjmp.
    bool Read(const PictureFile& file) {
        if (setjmp(jpeg.errors.jump) != 0) {
            return false;
        }
        ReadFrom(&jpeg.info, *jpeg.source, file);
        jpeg_save_markers(&jpeg.info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_read_header(&jpeg.info, TRUE);
        return true;
    }
};

} // namespace

bool ReadJpegHeader(const PictureFile& file, JpegHeader* header) {
    JpegHeaderReader reader;
    if (!reader.Read(file)) {
        return false;
    }
    QByteArray exif;
    for (jpeg_saved_marker_ptr marker = reader.jpeg.info.marker_list; marker != nullptr;
         marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1) {
            exif.append(reinterpret_cast<const char*>(marker->data),
                        static_cast<qsizetype>(marker->data_length));
        }
    }
    header->width = static_cast<int>(reader.jpeg.info.image_width);
    header->height = static_cast<int>(reader.jpeg.info.image_height);
    const int orientation = exif.isEmpty() ? 0 : ExifOrientation(exif);
    header->transformation = static_cast<int>(TransformationOf(orientation));
    return true;
}

std::unique_ptr<SampledDecoder::Work> JpegWork(const PictureFile& file,
                                               const std::shared_ptr<SampledPicture>& lattice,
                                               std::size_t budget) {
    // A quarter turn swaps rows and columns: the sampled pixels of a row of
    // the art would lie in every row of the file.
    if (file.Transformation() & QImageIOHandler::TransformationRotate90) {
        return nullptr;
    }
    auto sampler = std::make_unique<JpegSampler>(file, lattice);
    switch (sampler->Begin(budget)) {
    case JpegSampler::Start::Ready:
        return sampler;
    case JpegSampler::Start::NotFollowed:
        return nullptr;
    case JpegSampler::Start::Failed:
        break;
    }
    return FailedWork(sampler->result.failure, sampler->result.error);
}

std::optional<AreaSamplesResult> JpegAreaSamples(const PictureFile& file, int across, int down,
                                                 std::size_t budget) {
    JpegAreaReader reader(file, across, down);
    if (reader.Read(budget) == JpegAreaReader::Outcome::NotFollowed) {
        return std::nullopt;
    }
    return reader.result;
}

} // namespace glimmora
