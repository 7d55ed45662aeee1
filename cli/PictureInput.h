#pragma once

#include <memory>
#include <string>

#include "core/PixelSource.h"

namespace glimmora {

class PictureFile;

// A picture file read for the converter: its bytes and size, nothing
// decoded yet; or why it cannot be read, one sentence naming it.
struct OpenedPicture {
    std::shared_ptr<const PictureFile> file;
    std::string error;
};

// Reads the picture named by systemPath (the system's bytes; "-" is
// standard input). A file that is not a regular one (a device, a pipe) is
// refused at once, before anything is read from it.
OpenedPicture OpenPicture(const std::string& systemPath);

// The pixels a conversion at these steps reads, and nothing more; null,
// with why in error, when they cannot be had (damaged, over the memory
// budget, no memory).
std::shared_ptr<const PixelSource> DecodePicture(const PictureFile& file, int stepAcross,
                                                 int stepDown, std::string& error);

// The picture seen as across x down samples, each the mean colour of every
// pixel of its area; null, with why in error, when they cannot be had.
std::shared_ptr<const PixelBuffer> DecodeAreas(const PictureFile& file, int across, int down,
                                               std::string& error);

// How messages name a picture: its name, or "standard input" for "-".
std::string ShownPictureName(const std::string& systemPath);

} // namespace glimmora
