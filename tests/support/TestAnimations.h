#pragma once

// Small animated GIFs the suites make with the program's own GIF writer:
// frames of hand-chosen palette indices, rectangles, disposal and
// transparency.

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "output/GifWriter.h"

namespace glimmora::testing {

inline constexpr std::uint32_t kRed = 0xFF0000;
inline constexpr std::uint32_t kGreen = 0x00FF00;
inline constexpr std::uint32_t kBlue = 0x0000FF;
inline constexpr std::uint32_t kBlack = 0x000000;

// A frame of a w x h rectangle at (x, y) in the palette red, green, blue,
// black (indices 0 to 3).
inline GifFrame AnimationFrame(int x, int y, int w, int h, std::vector<std::uint8_t> indices,
                               GifDisposal disposal, int delayCentiseconds,
                               int transparentIndex = -1) {
    GifFrame frame;
    frame.left = x;
    frame.top = y;
    frame.width = w;
    frame.height = h;
    frame.indices = std::move(indices);
    frame.palette = {kRed, kGreen, kBlue, kBlack};
    frame.transparentIndex = transparentIndex;
    frame.disposal = disposal;
    frame.delayCentiseconds = delayCentiseconds;
    return frame;
}

inline QByteArray MakeGif(int width, int height, std::optional<int> repeats,
                          const std::vector<GifFrame>& frames) {
    QByteArray bytes;
    GifWriter writer(width, height, repeats, [&bytes](std::string_view piece) {
        bytes.append(piece.data(), static_cast<qsizetype>(piece.size()));
    });
    for (const GifFrame& frame : frames) {
        writer.Add(frame);
    }
    writer.Finish();
    return bytes;
}

// Four frames on 2 x 2 that use every disposal: red all over (kept), blue
// top left for 0 ms (then back to the background, which a frame with a
// transparent colour makes transparent), green bottom right (then back to
// what was before it), a transparent pixel bottom left.
inline QByteArray DisposalAnimation(std::optional<int> repeats = 0) {
    return MakeGif(2, 2, repeats,
                   {AnimationFrame(0, 0, 2, 2, {0, 0, 0, 0}, GifDisposal::Keep, 5),
                    AnimationFrame(0, 0, 1, 1, {2}, GifDisposal::ToBackground, 0, 3),
                    AnimationFrame(1, 1, 1, 1, {1}, GifDisposal::ToPrevious, 12),
                    AnimationFrame(0, 1, 1, 1, {3}, GifDisposal::Keep, 30, 3)});
}

} // namespace glimmora::testing
