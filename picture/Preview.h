#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>

#include "PictureFile.h"
#include "SampledPicture.h"

namespace glimmora {

// A small upright picture composed over white, for the preview: about
// fitIn or smaller, keeping the picture's proportions, never larger than
// the picture. A null image when the picture cannot be decoded.
QImage PreviewImage(const PictureFile& file, QSize fitIn);

// The same from samples, for a picture too large to decode at once: the
// steps of a SampledDecoder whose samples are enough for a preview that
// fits in fitIn (about two samples a preview pixel), and the preview they
// give.
QSize PreviewSteps(const PictureFile& file, QSize fitIn);
QImage PreviewFromSamples(const SampledPicture& samples, QSize fitIn);

// Pictures up to this many pixels decode in about a frame's time (16 ms)
// or less, so a window may decode them at once; larger ones in slices.
inline constexpr std::int64_t kDecodeAtOncePixels = 2'000'000;

} // namespace glimmora
