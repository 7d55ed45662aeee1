#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace glimmora {

class PictureFile;

// The most scans a JPEG picture may have. A photograph has one, or about
// ten when it is progressive; every scan of a progressive picture makes
// the decoder go over all of its coefficients again, so a small file of
// thousands of tiny scans would take minutes.
inline constexpr int kMostJpegScans = 500;

// The scans (SOS markers) of a JPEG file, counted by walking its markers
// and skipping the compressed data between them; counting stops past
// limit. A sequential picture is counted only to its first scan.
int CountJpegScans(const PictureFile& file, int limit);

// How many bytes the gzip data of a file inflates to, counted without
// holding them; counting stops past limit. Nothing where the data is not
// gzip or is damaged.
std::optional<std::uint64_t> InflatedSize(const PictureFile& file, std::uint64_t limit);

// What a picture's contents ask of a decoder that no picture needs, looked
// at before any reader is given them: a JPEG (format "jpeg") of more than
// kMostJpegScans scans, or gzip data (compressed SVG) that inflates to more
// than the memory a picture may take. Nothing when the contents are within
// the limits; otherwise one sentence naming the picture and saying why it
// is refused.
std::optional<QString> BeyondContentLimits(const PictureFile& file, const QByteArray& format);

// The same for a drawing once its format is known: SVG is held whole as its
// text while it is read, so its length counts against the memory a picture
// may take.
std::optional<QString> BeyondDrawingLimits(const PictureFile& file, const QByteArray& format);

} // namespace glimmora
