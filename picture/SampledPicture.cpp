#include "SampledPicture.h"

namespace glimmora {

SampledPicture::SampledPicture(int width, int height, int stepX, int stepY)
    : width_(width), height_(height), stepX_(stepX), stepY_(stepY),
      columns_((width + stepX - 1) / stepX), rows_((height + stepY - 1) / stepY),
      rgb_(std::make_unique_for_overwrite<std::uint8_t[]>(BytesFor(width, height, stepX, stepY))) {}

std::uint64_t SampledPicture::BytesFor(int width, int height, int stepX, int stepY) {
    const std::uint64_t columns = (static_cast<std::uint64_t>(width) + stepX - 1) / stepX;
    const std::uint64_t rows = (static_cast<std::uint64_t>(height) + stepY - 1) / stepY;
    return columns * rows * 3;
}

Colour SampledPicture::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || x % stepX_ != 0 || y % stepY_ != 0) {
        return kInvalidColour;
    }
    const std::size_t at =
        (static_cast<std::size_t>(y / stepY_) * static_cast<std::size_t>(columns_) +
         static_cast<std::size_t>(x / stepX_)) *
        3;
    return static_cast<Colour>(rgb_[at] | (rgb_[at + 1] << 8) | (rgb_[at + 2] << 16));
}

void SampledPicture::SetPoint(int column, int row, Colour colour) {
    const std::size_t at = (static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                            static_cast<std::size_t>(column)) *
                           3;
    rgb_[at] = static_cast<std::uint8_t>(colour & 0xFF);
    rgb_[at + 1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    rgb_[at + 2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

} // namespace glimmora
