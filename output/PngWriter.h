#pragma once

#include <cstdint>
#include <memory>

#include "output/Documents.h"

namespace glimmora {

// Writes an 8-bit RGB PNG to a sink a row at a time. Rows are gathered into
// pieces of a few megabytes, each compressed on a thread of its own while the
// caller makes the next rows, and written in order: memory holds a few pieces,
// never the picture. Compression favours speed (art pictures are large and
// mostly flat colour): the Sub filter and zlib's fastest run-length setting.
// Throws std::bad_alloc when memory runs out; whatever the sink throws goes
// on to the caller. The sink is only called on the caller's thread.
class PngWriter {
public:
    // Writes the header. Width and height from 1 to 2^31 - 1.
    PngWriter(std::uint32_t width, std::uint32_t height, ByteSink sink);
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // One row of width RGB triples; exactly height of them, top first.
    void WriteRow(const std::uint8_t* rgb);
    // Writes the rest of the picture, once all rows are given.
    void Finish();

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace glimmora
