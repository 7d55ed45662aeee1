#pragma once

// Inside the picture reading: the sentences its failures carry.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace glimmora {

class PictureFile;

// The picture size fields hold 16-bit numbers.
constexpr int kLargestSide = 32767;

// Bytes as whole MiB, rounded up.
QString MiB(double bytes);
// A picture wider or taller than the sides take.
QString TooLargeMessage(int width, int height);
// The system's reason, as it reads after a colon.
QString SystemReason(int error);

// Messages that more than one decoder gives.
QString UnreadableMessage(const PictureFile& file, const QString& reason);
QString OutOfMemoryMessage(const PictureFile& file);
QString WholeOverBudgetMessage(const PictureFile& file, std::uint64_t bytes, std::size_t budget);

} // namespace glimmora
