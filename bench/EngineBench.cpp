#include "EngineBench.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "core/ConversionJob.h"
#include "core/PixelSource.h"

namespace glimmora {

namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;

// A picture whose neighbouring pixels nearly never share a colour, so no
// cache of the last colour helps: every grey band and many codes occur.
PixelBuffer MakePicture() {
    PixelBuffer picture(kWidth, kHeight);
    std::uint32_t state = 0x9E3779B9u;
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            picture.SetPixel(x, y, static_cast<Colour>(state & 0xFFFFFF));
        }
    }
    return picture;
}

struct Timing {
    double seconds = 0.0;
    std::int64_t cells = 0;
    std::size_t bytes = 0;
};

Timing TimeConversion(const PixelBuffer& picture, bool coloured) {
    ConversionInputs inputs;
    inputs.widthText = std::to_string(picture.Width());
    inputs.heightText = std::to_string(picture.Height());
    inputs.scaleWidthText = std::string(1, '1');
    inputs.scaleHeightText = std::string(1, '1');
    inputs.coloured = coloured;
    inputs.word = std::string("Glimmora");

    const auto start = std::chrono::steady_clock::now();
    ConversionEngine engine(std::move(inputs), &picture);
    Timing timing;
    while (engine.Step() != StepResult::Finished) {
        ++timing.cells;
    }
    ++timing.cells;
    const auto stop = std::chrono::steady_clock::now();
    timing.seconds = std::chrono::duration<double>(stop - start).count();
    timing.bytes = engine.ArtText().size();
    return timing;
}

void Report(const char* mode, const Timing& timing) {
    const double rate = static_cast<double>(timing.cells) / timing.seconds / 1e6;
    std::printf("engine %s mode: %.1f Mcells/s (%lld cells, %.1f MB of art text, %.2f s)\n", mode,
                rate, static_cast<long long>(timing.cells), static_cast<double>(timing.bytes) / 1e6,
                timing.seconds);
    std::fflush(stdout);
}

} // namespace

// The fastest of a few runs: the machine may be busy with other work.
Timing BestOf(int runs, const PixelBuffer& picture, bool coloured) {
    Timing best = TimeConversion(picture, coloured);
    for (int run = 1; run < runs; ++run) {
        const Timing timing = TimeConversion(picture, coloured);
        if (timing.seconds < best.seconds) {
            best = timing;
        }
    }
    return best;
}

void RunEngineBenchmark() {
    std::printf("engine picture: %d x %d pixels of varied colours, scale 1 x 1, best of 3\n",
                kWidth, kHeight);
    const PixelBuffer picture = MakePicture();
    Report("sign", BestOf(3, picture, false));
    Report("coloured", BestOf(3, picture, true));
}

} // namespace glimmora
