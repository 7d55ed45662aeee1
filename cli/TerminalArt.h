#pragma once

// Text drawn in cells for a terminal: how the terminal looks (its colours
// and background, from the environment or asked of it), and the samples the
// cells read from a picture.

#include <optional>
#include <string>

#include "core/CellArt.h"

namespace glimmora {

class PictureFile;

// The colours a terminal shows, by the usual conventions: NO_COLOR set and
// not empty, or TERM=dumb: none; COLORTERM truecolor or 24bit: full; TERM
// ending in 256color: 256; else 16.
ColourDepth DepthFromEnvironment();

// The background COLORFGBG names ("15;0", "default;0" or "15;default;0":
// the last number is the background's palette colour); none when it names
// none.
std::optional<Colour> BackgroundFromColorFgBg(const char* value);

// Asks the terminal on inFd and outFd (one terminal) for its background
// colour (OSC 11), waiting at most wait milliseconds for the answer; none
// when they are not one terminal or it does not answer. The terminal is
// put back as it was, also when a signal ends the program meanwhile, and
// its answers are read, never left to show.
std::optional<Colour> AskTerminalBackground(int inFd, int outFd, int wait);

// Lines of the terminal on fd; else the LINES variable; else 24.
int TerminalRows(int fd);

// The samples a cell art of this size reads (MakeCellArt): each the mean
// colour of every pixel of its part of the picture. Memory stays with the
// art's size, not the picture's (DecodeAreaSamples). Null, with why in
// error, when the picture cannot be decoded.
std::optional<PixelBuffer> CellSamples(const PictureFile& picture, CellArtSize size,
                                       std::string& error);

// The same samples from a picture held whole, as a frame of an animation
// is: a still of the same pixels gives the same samples.
PixelBuffer CellSamplesOf(const PixelSource& picture, int width, int height, CellArtSize size);

} // namespace glimmora
