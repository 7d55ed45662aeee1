#include "SampledDecoder.h"

#include <new>

#include "PictureMessages.h"
#include "SampledDecoding.h"

namespace glimmora {

namespace {

class EndedWork final : public SampledDecoder::Work {
public:
    bool Advance(DecodeClock::time_point) override { return true; }
};

} // namespace

std::unique_ptr<SampledDecoder::Work> FailedWork(PictureFailure failure, QString error) {
    auto work = std::make_unique<EndedWork>();
    work->result.failure = failure;
    work->result.error = std::move(error);
    return work;
}

SampledDecoder::SampledDecoder(const PictureFile& file, int stepX, int stepY, std::size_t budget) {
    if (stepX < 1 || stepY < 1) {
        work_ = FailedWork(PictureFailure::Unreadable,
                           QStringLiteral("The steps %1 x %2 are not whole numbers of at least 1.")
                               .arg(stepX)
                               .arg(stepY));
        return;
    }
    const std::uint64_t bytes = SampledPicture::BytesFor(file.Width(), file.Height(), stepX, stepY);
    if (bytes > budget) {
        work_ = FailedWork(
            PictureFailure::OverBudget,
            QStringLiteral("%1 is %2 x %3 pixels; at steps of %4 x %5 its samples would take "
                           "%6 MiB, more than the %7 MiB a picture may take.")
                .arg(file.ShownName())
                .arg(file.Width())
                .arg(file.Height())
                .arg(stepX)
                .arg(stepY)
                .arg(MiB(static_cast<double>(bytes)), MiB(static_cast<double>(budget))));
        return;
    }
    try {
        auto lattice = std::make_shared<SampledPicture>(file.Width(), file.Height(), stepX, stepY);
        if (file.Format() == "jpeg") {
            work_ = JpegWork(file, lattice, budget);
        } else if (file.Format() == "png") {
            work_ = PngWork(file, lattice, budget);
        }
        if (!work_) {
            work_ = WholeWorkFor(file, std::move(lattice), budget);
        }
    } catch (const std::bad_alloc&) {
        work_ = FailedWork(PictureFailure::OutOfMemory, OutOfMemoryMessage(file));
    }
}

SampledDecoder::~SampledDecoder() = default;

bool SampledDecoder::Advance(std::chrono::milliseconds slice) {
    if (work_->result.failure != PictureFailure::None || work_->result.picture) {
        return true;
    }
    try {
        return work_->Advance(DecodeClock::now() + slice);
    } catch (const std::bad_alloc&) {
        work_->result = SampledPictureResult{};
        work_->result.failure = PictureFailure::OutOfMemory;
        work_->result.error = QStringLiteral("There is not enough memory to decode the picture.");
        return true;
    }
}

int SampledDecoder::RowsDone() const {
    return work_->rowsDone;
}

int SampledDecoder::Rows() const {
    return work_->rows;
}

SampledPictureResult SampledDecoder::Result() const {
    return work_->result;
}

SampledPictureResult DecodeSampled(const PictureFile& file, int stepX, int stepY,
                                   std::size_t budget) {
    SampledDecoder decoder(file, stepX, stepY, budget);
    while (!decoder.Advance(std::chrono::hours(1))) {
    }
    return decoder.Result();
}

} // namespace glimmora
