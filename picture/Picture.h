#pragma once

// How a picture reaches the conversion:
//
//   PictureFile::Open (or FromBytes)   the file's bytes, read once, and its
//                                      size; nothing decoded yet
//   DecodeSampled(file, stepX, stepY)  only the pixels the art reads: a
//                                      SampledPicture answering GetPixel at
//                                      (stepX * i, stepY * j)
//   DecodeAreaSamples(file, across, down)
//                                      the mean colour of every pixel of
//                                      each of across x down areas, for the
//                                      cell art
//   PreviewImage(file, box)            a small picture for the preview
//
// Every picture is seen upright (EXIF orientation applied), as its first
// frame, with transparency composed over white, exactly as a whole decode by
// Qt's image readers followed by that composition gives it; LoadPictureFile
// is that whole decode.
//
// Each stage has its header; this one gathers them for the callers.

#include "AreaDecode.h"     // IWYU pragma: export
#include "PictureFile.h"    // IWYU pragma: export
#include "Preview.h"        // IWYU pragma: export
#include "SampledDecoder.h" // IWYU pragma: export
#include "SampledPicture.h" // IWYU pragma: export
#include "WholeDecode.h"    // IWYU pragma: export
