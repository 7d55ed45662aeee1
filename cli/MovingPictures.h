#pragma once

// The converter's work on the frames of an animated picture: one frame
// chosen, every frame's art in one HTML document or one GIF.

#include <cstddef>
#include <memory>
#include <string>

#include "ConvertOptions.h"
#include "core/ConversionJob.h"
#include "output/Documents.h"

namespace glimmora {

class PictureFile;
class PictureFrames;

// The engine's art of the pixels, in pieces, as the documents take it.
void WriteEngineArt(ConversionInputs inputs, const PixelSource& pixels, const ByteSink& art);

// The times the frames play again after the first: --loop's count less
// one (-1 for ever for 0), else the file's.
int RepeatsFor(const ConvertRequest& request, const PictureFrames& frames);

// Reads past count frames. False, with why in error, when a frame cannot be
// read or the picture has no more than count: "anim.gif has 4 frames;
// there is no frame 9."
bool SkipFrames(PictureFrames& frames, int count, std::string& error);
// Frame number (from 1) composed as it is shown; null with why in error.
std::shared_ptr<const PixelSource> FrameNumbered(const PictureFile& file, int number,
                                                 std::string& error);

// Every frame left into one animated HTML
// document of format, each frame's art as the document's art, at the
// frames' played delays. False, with why in error, when a frame cannot be
// read; the sink then holds a part of the document.
bool WriteAnimatedHtml(PictureFrames& frames, OutputFormat format, const DocumentStyle& style,
                       const ConversionInputs& inputs, int repeats, const ByteSink& sink,
                       std::size_t& questionMarks, std::string& error);

// The same (only the next frame when oneFrame) into an animated GIF: each
// frame's cell art as a terminal shows it, with the file's delays. Needs
// the fonts of a QGuiApplication.
bool WriteArtGif(PictureFrames& frames, const std::function<CellGrid(const PixelSource&)>& cellsOf,
                 int repeats, bool oneFrame, const ByteSink& sink, std::string& error);

} // namespace glimmora
