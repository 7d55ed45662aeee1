#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

#include "PictureFile.h"
#include "SampledPicture.h"

namespace glimmora {

// Decodes what the art of the picture reads at steps stepX across and stepY
// down (both at least 1). The points hold the same colours as the whole
// decode (LoadPictureFile) at the same places.
SampledPictureResult DecodeSampled(const PictureFile& file, int stepX, int stepY,
                                   std::size_t budget = kPictureMemoryBudget);

// The same decode in slices, for a caller that must keep its window
// responsive: each Advance decodes for about the given time and says
// whether the decode has ended. A format that only Qt's readers decode is
// decoded whole on a thread of its own meanwhile, so calls may pass without
// a row until it is done, and dropping the decoder waits for it. The file
// must outlive the decoder.
class SampledDecoder {
public:
    SampledDecoder(const PictureFile& file, int stepX, int stepY,
                   std::size_t budget = kPictureMemoryBudget);
    ~SampledDecoder();
    SampledDecoder(const SampledDecoder&) = delete;
    SampledDecoder& operator=(const SampledDecoder&) = delete;

    // True once the decode has ended, well or not.
    bool Advance(std::chrono::milliseconds slice);
    // The rows of points decoded so far, out of file's Rows().
    int RowsDone() const;
    int Rows() const;
    // Once ended: the picture or why not.
    SampledPictureResult Result() const;

    class Work; // the decoder of one format

private:
    std::unique_ptr<Work> work_;
};

} // namespace glimmora
