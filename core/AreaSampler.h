#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "PixelSource.h"

namespace glimmora {

// How a row's pixels lie in memory: bytes from one pixel to the next, and
// where the red, green and blue bytes lie among them.
struct PixelLayout {
    int bytes = 3;
    int red = 0;
    int green = 1;
    int blue = 2;
};
inline constexpr PixelLayout kRgbBytes{3, 0, 1, 2};
inline constexpr PixelLayout kGreyBytes{1, 0, 0, 0};

// A box filter: a picture of width x height pixels seen as across x down
// equal areas, each sample the mean colour, in linear light, of every
// pixel it covers. A pixel on an area's edge counts for the part of it
// inside, so samples may straddle pixels at any size, larger or smaller.
//
// The pixels come a row at a time, possibly decoded at 1/pixelSize (each
// decoded pixel standing for a block of pixelSize x pixelSize, the last
// ones cut at the picture's edge). When the rows come in order, one row of
// sums is kept and each row of samples is made as soon as its last pixel
// has come: memory follows the samples across, not the picture. When they
// do not (an interlaced picture), a row of sums is kept for every row of
// samples.
class AreaSampler {
public:
    // Throws std::bad_alloc when the sums cannot be held.
    AreaSampler(int width, int height, int across, int down, int pixelSize = 1,
                bool rowsInOrder = true);

    // Decoded pixels across and down.
    int DecodedWidth() const { return decodedWidth_; }
    int DecodedHeight() const { return decodedHeight_; }

    // Adds decoded row y: its pixels first, first + step, ... in that order,
    // one after the other in pixels. Rows in order come top down.
    void AddRow(int y, const std::uint8_t* pixels, PixelLayout layout, int first = 0, int step = 1);

    // The samples, across x down. Rows of samples no pixel reached are
    // white; a row some pixels did not reach counts them as black.
    PixelBuffer Finish();

private:
    void MakeRow(int j, std::vector<double>& sums);

    std::int64_t width_;
    std::int64_t height_;
    int across_;
    int down_;
    std::int64_t pixelSize_;
    bool rowsInOrder_;
    int decodedWidth_;
    int decodedHeight_;
    // Where each decoded pixel of a row falls: the samples it adds to and
    // the part of it inside each, the same for every row; pixel x's are
    // pieces_[firstPiece_[x]] up to those of x + 1.
    struct Piece {
        std::size_t sample = 0; // the sample's first sum in row_
        double part = 0;
    };
    std::vector<std::size_t> firstPiece_;
    std::vector<Piece> pieces_;
    std::vector<double> row_;               // a row's sums into each sample, r g b
    std::vector<std::vector<double>> sums_; // one row of sums, or every row's
    std::vector<bool> reached_;             // rows of samples some pixel reached
    PixelBuffer samples_;
};

// The same filter over a picture held whole.
PixelBuffer AreaAverage(const PixelSource& picture, int pictureWidth, int pictureHeight, int width,
                        int height);

// A picture held in memory as rows of 32-bit pixels 0xAARRGGBB (the alpha
// byte is not read): row(y) points at the first pixel of row y, and the
// pixels of a row lie across words apart.
struct ArgbRows {
    std::function<const std::uint32_t*(int y)> row;
    int across = 1;
};
// The same areas read straight from the rows: the same samples as through
// a PixelSource of the same pixels, many times faster.
PixelBuffer AreaAverage(const ArgbRows& picture, int pictureWidth, int pictureHeight, int width,
                        int height);

} // namespace glimmora
