#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "PictureFile.h"
#include "core/PixelSource.h"

namespace glimmora {

// The pixels of a picture at the points of a lattice: (stepX * i, stepY * j)
// for every i, j with the point inside the picture, three bytes a point.
// Any other point reads as the invalid colour.
class SampledPicture final : public PixelSource {
public:
    // Throws std::bad_alloc when the points cannot be held.
    SampledPicture(int width, int height, int stepX, int stepY);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int StepX() const { return stepX_; }
    int StepY() const { return stepY_; }
    // Points across and down.
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    Colour GetPixel(std::int32_t x, std::int32_t y) const override;

    // For the decoders: the point (column, row) as 0x00BBGGRR.
    void SetPoint(int column, int row, Colour colour);
    // The bytes a lattice of this shape holds.
    static std::uint64_t BytesFor(int width, int height, int stepX, int stepY);

private:
    int width_;
    int height_;
    int stepX_;
    int stepY_;
    int columns_;
    int rows_;
    // Not cleared when made: every point is written by the decode, and
    // memory untouched until then costs nothing.
    std::unique_ptr<std::uint8_t[]> rgb_;
};

struct SampledPictureResult {
    std::shared_ptr<const SampledPicture> picture; // null on failure
    QString error;                                 // why, on failure
    PictureFailure failure = PictureFailure::None;
};

} // namespace glimmora
