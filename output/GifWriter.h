#pragma once

// GIF pictures written with giflib: the frames of an animation, each in a
// palette of its own, with its delay, and the times the whole is played.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "Documents.h"

namespace glimmora {

// How a frame leaves the screen before the next one is drawn.
enum class GifDisposal : int { Unspecified = 0, Keep = 1, ToBackground = 2, ToPrevious = 3 };

// One frame as a GIF holds it: a rectangle of the screen in palette indices.
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;  // width * height, row by row
    std::vector<std::uint32_t> palette; // 0xRRGGBB, 1 to 256 colours
    int transparentIndex = -1;          // none when negative
    GifDisposal disposal = GifDisposal::Unspecified;
    int delayCentiseconds = 0;
};

// Writes a GIF to a sink frame by frame, holding none of the frames.
// repeats: none plays the frames once (no loop block is written), 0 plays
// them for ever, N plays them N more times after the first. Every call
// throws std::runtime_error when giflib refuses, std::bad_alloc when memory
// runs out; what the sink throws goes on.
class GifWriter {
public:
    GifWriter(int width, int height, std::optional<int> repeats, ByteSink sink);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    void Add(const GifFrame& frame);
    // Writes the trailer; call it once, last.
    void Finish();

    struct State;

private:
    std::unique_ptr<State> state_;
};

// The pixels of a picture (0xRRGGBB each) as palette indices: its exact
// colours when it has at most 256, else a palette chosen for this picture
// by median cut, each pixel given its nearest colour in it.
struct IndexedPicture {
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette;
};
IndexedPicture Palettize(std::span<const std::uint32_t> pixels);

} // namespace glimmora
