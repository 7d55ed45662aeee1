#pragma once

// Inside the picture decoding: what the decoders of the formats share.

#include <QtGlobal>

#include <chrono>
#include <memory>
#include <optional>

#include "AreaDecode.h"
#include "PictureFile.h"
#include "PictureMessages.h"
#include "SampledDecoder.h"
#include "SampledPicture.h"
#include "core/AreaSampler.h"

namespace glimmora {

using DecodeClock = std::chrono::steady_clock;

// The decoder of one format, filling a lattice a slice at a time.
class SampledDecoder::Work {
public:
    virtual ~Work() = default;
    // Decodes until the deadline has passed; true once the decode has
    // ended. The direct decoders decode at least one row a call; the whole
    // decode by Qt's readers runs beside the caller and may let calls pass
    // without a row until it is done.
    virtual bool Advance(DecodeClock::time_point deadline) = 0;

    int rowsDone = 0;
    int rows = 0;
    SampledPictureResult result; // set once ended
};

// A work that has ended before it began.
std::unique_ptr<SampledDecoder::Work> FailedWork(PictureFailure failure, QString error);
// The whole decode, then the points of lattice taken from it.
std::unique_ptr<SampledDecoder::Work>
WholeWorkFor(const PictureFile& file, std::shared_ptr<SampledPicture> lattice, std::size_t budget);

// The header of a JPEG as Qt's reader sees it: the stored size and the
// orientation (QImageIOHandler::Transformations) its EXIF block gives.
// False when libjpeg cannot read the header.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int transformation = 0;
};
bool ReadJpegHeader(const PictureFile& file, JpegHeader* header);

// The decoders of the formats read directly, filling lattice. Null when the
// picture must go to the whole decode instead (a quarter turn, a colour model
// or a layout they do not follow); a failed work when it cannot be decoded
// within budget.
std::unique_ptr<SampledDecoder::Work> JpegWork(const PictureFile& file,
                                               const std::shared_ptr<SampledPicture>& lattice,
                                               std::size_t budget);
std::unique_ptr<SampledDecoder::Work> PngWork(const PictureFile& file,
                                              const std::shared_ptr<SampledPicture>& lattice,
                                              std::size_t budget);

// The area samples of a JPEG or PNG read directly, in the file's stored
// orientation (across x down counted as stored, the turn not yet made).
// None when the picture must be decoded whole instead.
std::optional<AreaSamplesResult> JpegAreaSamples(const PictureFile& file, int across, int down,
                                                 std::size_t budget);
std::optional<AreaSamplesResult> PngAreaSamples(const PictureFile& file, int across, int down);

// How a row of a Format_RGB32 image lies in memory.
inline constexpr PixelLayout kRgb32Layout =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PixelLayout{4, 2, 1, 0} : PixelLayout{4, 1, 2, 3};

} // namespace glimmora
