#pragma once

#include <memory>
#include <optional>
#include <string>

#include "OutputTarget.h"
#include "core/PixelSource.h"

namespace glimmora {

class PictureSurface;

// A picture the converter reads: first opened and measured, then decoded
// for the steps the conversion takes. Every picture the converter reads
// comes through here.
class PictureInput {
public:
    struct Opened;
    // Reads a picture file (the system's bytes; "-" is standard input). A
    // file that is not a regular one (a device, a pipe) is refused at once,
    // before anything is read from it.
    static Opened Open(const std::string& systemPath);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The file the picture came from, to tell it from the output.
    const std::optional<FileIdentity>& Identity() const { return identity_; }

    // The pixels a conversion at these steps reads; null with why in error
    // (one sentence) when they cannot be had.
    std::shared_ptr<const PixelSource> Decode(int stepAcross, int stepDown, std::string& error);

private:
    int width_ = 0;
    int height_ = 0;
    std::optional<FileIdentity> identity_;
    std::shared_ptr<const PictureSurface> surface_;
};

struct PictureInput::Opened {
    std::optional<PictureInput> picture;
    std::string error; // on failure: one sentence naming the picture
};

// How messages name a picture: its name, or "standard input" for "-".
std::string ShownPictureName(const std::string& systemPath);

} // namespace glimmora
