#include "AreaSampler.h"

#include <algorithm>
#include <bit>

#include "CellColours.h"

namespace glimmora {

// Lengths are counted in whole units so that no edge is rounded: across
// the picture a unit is 1/across of a pixel, so a sample is width units
// wide and a pixel across units; down the picture likewise with down and
// height. Each sample then gathers width x height units of area.

AreaSampler::AreaSampler(int width, int height, int across, int down, int pixelSize,
                         bool rowsInOrder)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), across_(std::max(across, 1)),
      down_(std::max(down, 1)), pixelSize_(std::max(pixelSize, 1)), rowsInOrder_(rowsInOrder),
      decodedWidth_(static_cast<int>((width_ + pixelSize_ - 1) / pixelSize_)),
      decodedHeight_(static_cast<int>((height_ + pixelSize_ - 1) / pixelSize_)),
      row_(static_cast<std::size_t>(across_) * 3),
      sums_(rowsInOrder ? 1 : static_cast<std::size_t>(down_), row_),
      reached_(static_cast<std::size_t>(down_)), samples_(across_, down_) {
    const std::int64_t unitsAcross = across_;
    firstPiece_.reserve(static_cast<std::size_t>(decodedWidth_) + 1);
    std::int64_t i = 0;
    std::int64_t sampleEnd = width_; // the right edge of sample i
    for (std::int64_t x = 0; x < decodedWidth_; ++x) {
        firstPiece_.push_back(pieces_.size());
        std::int64_t left = x * pixelSize_ * unitsAcross;
        const std::int64_t right = std::min((x + 1) * pixelSize_, width_) * unitsAcross;
        while (left < right) {
            const std::int64_t end = std::min(right, sampleEnd);
            pieces_.push_back({static_cast<std::size_t>(i) * 3, static_cast<double>(end - left)});
            left = end;
            if (end == sampleEnd) {
                ++i;
                sampleEnd += width_;
            }
        }
    }
    firstPiece_.push_back(pieces_.size());
}

void AreaSampler::AddRow(int y, const std::uint8_t* pixels, PixelLayout layout, int first,
                         int step) {
    if (y < 0 || y >= decodedHeight_ || first < 0 || step < 1) {
        return;
    }
    const auto& linear = LinearOfByte();
    // Every sample has pieces of a whole row; of a row read in steps (an
    // interlaced picture's) some may have none.
    if (first != 0 || step != 1) {
        std::fill(row_.begin(), row_.end(), 0.0);
    }
    // The pieces come sample after sample, left to right: each sample's
    // sums are added up here and kept once its last piece is in.
    std::size_t sample = 0;
    double sumR = 0;
    double sumG = 0;
    double sumB = 0;
    const auto keep = [&] {
        row_[sample] = sumR;
        row_[sample + 1] = sumG;
        row_[sample + 2] = sumB;
    };
    for (int x = first; x < decodedWidth_; x += step, pixels += layout.bytes) {
        const double r = linear[pixels[layout.red]];
        const double g = linear[pixels[layout.green]];
        const double b = linear[pixels[layout.blue]];
        const auto end = firstPiece_[static_cast<std::size_t>(x) + 1];
        for (auto k = firstPiece_[static_cast<std::size_t>(x)]; k < end; ++k) {
            const Piece& piece = pieces_[k];
            if (piece.sample != sample) {
                keep();
                sample = piece.sample;
                sumR = sumG = sumB = 0;
            }
            sumR += piece.part * r;
            sumG += piece.part * g;
            sumB += piece.part * b;
        }
    }
    keep();

    const std::int64_t down = down_;
    std::int64_t top = y * pixelSize_ * down;
    const std::int64_t bottom = std::min((y + 1) * pixelSize_, height_) * down;
    auto j = static_cast<int>(top / height_);
    while (top < bottom) {
        const std::int64_t rowEnd = (j + 1) * height_;
        const std::int64_t end = std::min(bottom, rowEnd);
        const auto part = static_cast<double>(end - top);
        std::vector<double>& sums = sums_[rowsInOrder_ ? 0 : static_cast<std::size_t>(j)];
        for (std::size_t k = 0; k < sums.size(); ++k) {
            sums[k] += part * row_[k];
        }
        reached_[static_cast<std::size_t>(j)] = true;
        if (end == rowEnd && rowsInOrder_) {
            MakeRow(j, sums);
        }
        top = end;
        if (end == rowEnd) {
            ++j;
        }
    }
}

void AreaSampler::MakeRow(int j, std::vector<double>& sums) {
    const double area = static_cast<double>(width_) * static_cast<double>(height_);
    const LinearBytes& bytes = LinearBytesTable();
    for (int i = 0; i < across_; ++i) {
        const double* sum = &sums[static_cast<std::size_t>(i) * 3];
        samples_.SetPixel(
            i, j, Rgb(bytes.Of(sum[0] / area), bytes.Of(sum[1] / area), bytes.Of(sum[2] / area)));
    }
    std::fill(sums.begin(), sums.end(), 0.0);
    reached_[static_cast<std::size_t>(j)] = false;
}

PixelBuffer AreaSampler::Finish() {
    for (int j = 0; j < down_; ++j) {
        if (reached_[static_cast<std::size_t>(j)]) {
            MakeRow(j, sums_[rowsInOrder_ ? 0 : static_cast<std::size_t>(j)]);
        }
    }
    return std::move(samples_);
}

PixelBuffer AreaAverage(const PixelSource& picture, int pictureWidth, int pictureHeight, int width,
                        int height) {
    if (width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return PixelBuffer(width, height);
    }
    AreaSampler sampler(pictureWidth, pictureHeight, width, height);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(pictureWidth) * 3);
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth; ++x) {
            Colour colour = picture.GetPixel(x, y);
            if (colour == kInvalidColour) {
                colour = 0xFFFFFF;
            }
            std::uint8_t* pixel = &row[static_cast<std::size_t>(x) * 3];
            pixel[0] = static_cast<std::uint8_t>(Red(colour));
            pixel[1] = static_cast<std::uint8_t>(Green(colour));
            pixel[2] = static_cast<std::uint8_t>(Blue(colour));
        }
        sampler.AddRow(y, row.data(), kRgbBytes);
    }
    return sampler.Finish();
}

PixelBuffer AreaAverage(const ArgbRows& picture, int pictureWidth, int pictureHeight, int width,
                        int height) {
    if (width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return PixelBuffer(width, height);
    }
    // The words' bytes as they lie in memory, a pixel every across words.
    constexpr bool kLittle = std::endian::native == std::endian::little;
    const PixelLayout layout{static_cast<int>(sizeof(std::uint32_t)) * picture.across,
                             kLittle ? 2 : 1, kLittle ? 1 : 2, kLittle ? 0 : 3};
    AreaSampler sampler(pictureWidth, pictureHeight, width, height);
    for (int y = 0; y < pictureHeight; ++y) {
        sampler.AddRow(y, reinterpret_cast<const std::uint8_t*>(picture.row(y)), layout);
    }
    return sampler.Finish();
}

} // namespace glimmora
