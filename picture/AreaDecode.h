#pragma once

#include <QString>

#include <cstddef>
#include <memory>

#include "PictureFile.h"
#include "core/PixelSource.h"

namespace glimmora {

struct AreaSamplesResult {
    std::shared_ptr<const PixelBuffer> samples; // null on failure
    QString error;                              // why, on failure
    PictureFailure failure = PictureFailure::None;
};

// The picture, upright, seen as across x down equal areas: each sample the
// mean colour, in linear light, of every pixel its area covers (a box
// filter, AreaSampler), as the cell art reads it. Memory follows the
// samples, not the picture: a JPEG is decoded at 1/2, 1/4 or 1/8 of its
// size where a sample covers that many pixels each way (each decoded pixel
// then the mean of its block, in the file's own sRGB), a PNG is added up row
// by row as it is read; other pictures are decoded whole first, within
// budget.
AreaSamplesResult DecodeAreaSamples(const PictureFile& file, int across, int down,
                                    std::size_t budget = kPictureMemoryBudget);

} // namespace glimmora
