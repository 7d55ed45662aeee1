#pragma once

#include <cstdint>
#include <vector>

#include "Colour.h"

namespace glimmora {

// The picture as the conversion sees it: one pixel read at a time.
class PixelSource {
public:
    virtual ~PixelSource() = default;
    // The colour at (x, y), 0x00BBGGRR, or kInvalidColour outside the picture.
    virtual Colour GetPixel(std::int32_t x, std::int32_t y) const = 0;
};

// A picture held as plain pixels in memory, row by row.
class PixelBuffer final : public PixelSource {
public:
    PixelBuffer() = default;
    PixelBuffer(std::int32_t width, std::int32_t height, Colour fill = 0xFFFFFF);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    void SetPixel(std::int32_t x, std::int32_t y, Colour colour);
    Colour GetPixel(std::int32_t x, std::int32_t y) const override;

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<Colour> pixels_;
};

} // namespace glimmora
