#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/PixelSource.h"

namespace glimmora {

// How a picture reaches the conversion:
//
//   PictureFile::Open (or FromBytes)   the file's bytes, read once, and its
//                                      size; nothing decoded yet
//   DecodeSampled(file, stepX, stepY)  only the pixels the art reads: a
//                                      SampledPicture answering GetPixel at
//                                      (stepX * i, stepY * j)
//   PreviewImage(file, box)            a small picture for the preview
//
// Every picture is seen upright (EXIF orientation applied), as its first
// frame, with transparency composed over white, exactly as a whole decode by
// Qt's image readers followed by that composition gives it; LoadPictureFile
// is that whole decode.

// Why a picture cannot be used. Every failure also carries a sentence that
// names the picture and says why.
enum class PictureFailure {
    None,
    Unreadable,  // missing, not a regular file, not allowed, damaged, not a picture
    TooLarge,    // wider or taller than 32767 pixels
    OverBudget,  // the decode would hold more memory than the budget allows
    OutOfMemory, // the system gave no memory
};

// The most memory a decode may hold for one picture: the samples, or the
// whole picture where a format must be decoded whole.
inline constexpr std::size_t kPictureMemoryBudget = std::size_t{1024} * 1024 * 1024;

class PictureFile;

struct PictureFileResult {
    std::shared_ptr<const PictureFile> file; // null on failure
    QString error;                           // why, on failure
    PictureFailure failure = PictureFailure::None;
};

// A picture file's bytes, read once: removing or replacing the file later
// changes nothing. Opening reads the header only, for the size; a picture
// whose header cannot be read is refused, one whose data is damaged is only
// found out when it is decoded.
class PictureFile {
public:
    // Reads the file named by systemPath, the name in the system's own bytes
    // (not decoded as UTF-8); shownName names it in messages. A folder and
    // anything that is not a regular file (a FIFO, a device) is refused at
    // once, without waiting for data. A failure gives the system's reason
    // ("permission denied", "no such file or directory").
    static PictureFileResult Open(const std::string& systemPath, const QString& shownName);
    // The same for bytes already read, as from standard input.
    static PictureFileResult FromBytes(QByteArray bytes, const QString& shownName);
    // The same checks, but the file stays open and is read as it is decoded
    // instead of being held: for a caller that decodes it once, right away
    // (the converter), so that memory never holds the file. Changing the
    // file before the decode ends changes what is decoded.
    static PictureFileResult OpenStreamed(const std::string& systemPath, const QString& shownName);

    // The upright size in pixels, at most 32767 a side.
    int Width() const { return width_; }
    int Height() const { return height_; }
    const QString& ShownName() const { return shownName_; }
    // The file's length, and up to size of its bytes from offset on: fewer
    // at its end, -1 when the system cannot read them.
    qint64 Size() const;
    qint64 ReadAt(qint64 offset, char* data, qint64 size) const;
    // The bytes as a device of their own, at their start.
    std::unique_ptr<QIODevice> Device() const;
    // The format as Qt's image readers name it ("jpeg", "png", ...).
    const QByteArray& Format() const { return format_; }
    // The turn or mirror that makes the stored pixels upright, as Qt's
    // QImageIOHandler::Transformations.
    int Transformation() const { return transformation_; }

    // Public for make_shared; use Open or FromBytes.
    struct Private {};
    PictureFile(Private, QByteArray bytes, QString shownName);

private:
    struct OpenFile {
        int fd = -1;
        qint64 size = 0;
        ~OpenFile();
    };
    static PictureFileResult OpenFileNamed(const std::string& systemPath, const QString& shownName,
                                           bool streamed);
    static PictureFileResult Probe(std::shared_ptr<PictureFile> file);
    static PictureFileResult Sized(std::shared_ptr<PictureFile> file, int width, int height);

    QByteArray bytes_;
    std::shared_ptr<const OpenFile> file_; // instead of the bytes, streamed
    QString shownName_;
    QByteArray format_;
    int transformation_ = 0;
    int width_ = 0;
    int height_ = 0;
};

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

// Decodes what the art of the picture reads at steps stepX across and stepY
// down (both at least 1). The points hold the same colours as the whole
// decode (LoadPictureFile) at the same places.
SampledPictureResult DecodeSampled(const PictureFile& file, int stepX, int stepY,
                                   std::size_t budget = kPictureMemoryBudget);

// The same decode in slices, for a caller that must keep its window
// responsive: each Advance decodes for about the given time and says
// whether the decode has ended. A format that only Qt's readers decode is
// decoded whole on a thread of its own meanwhile, so calls may pass without
// a row until it is done, and dropping the decoder waits for it. The file
// must outlive the decoder.
class SampledDecoder {
public:
    SampledDecoder(const PictureFile& file, int stepX, int stepY,
                   std::size_t budget = kPictureMemoryBudget);
    ~SampledDecoder();
    SampledDecoder(const SampledDecoder&) = delete;
    SampledDecoder& operator=(const SampledDecoder&) = delete;

    // True once the decode has ended, well or not.
    bool Advance(std::chrono::milliseconds slice);
    // The rows of points decoded so far, out of file's Rows().
    int RowsDone() const;
    int Rows() const;
    // Once ended: the picture or why not.
    SampledPictureResult Result() const;

    class Work; // the decoder of one format

private:
    std::unique_ptr<Work> work_;
};

// A small upright picture composed over white, for the preview: about
// fitIn or smaller, keeping the picture's proportions, never larger than
// the picture. A null image when the picture cannot be decoded.
QImage PreviewImage(const PictureFile& file, QSize fitIn);

// The same from samples, for a picture too large to decode at once: the
// steps of a SampledDecoder whose samples are enough for a preview that
// fits in fitIn (about two samples a preview pixel), and the preview they
// give.
QSize PreviewSteps(const PictureFile& file, QSize fitIn);
QImage PreviewFromSamples(const SampledPicture& samples, QSize fitIn);

// Pictures up to this many pixels decode in about a frame's time (16 ms)
// or less, so a window may decode them at once; larger ones in slices.
inline constexpr std::int64_t kDecodeAtOncePixels = 2'000'000;

// --- The whole decode -------------------------------------------------------

// A picture decoded whole by Qt's image readers.
class PictureSurface final : public PixelSource {
public:
    // image must be Format_RGB32 (opaque, already composed over white).
    explicit PictureSurface(QImage image);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const { return image_; }
    Colour GetPixel(std::int32_t x, std::int32_t y) const override;

private:
    QImage image_;
};

struct PictureLoadResult {
    std::shared_ptr<const PictureSurface> picture; // null on failure
    QString error;                                 // why, on failure
    PictureFailure failure = PictureFailure::None;
};

// Decodes a picture file whole: EXIF orientation applied, the first frame
// of an animation, transparency composed over white. Refuses files that
// cannot be decoded and pictures wider or taller than 32767 pixels.
PictureLoadResult LoadPictureFile(const QString& path);
// The same for a file already read.
PictureLoadResult DecodeWhole(const PictureFile& file, std::size_t budget = kPictureMemoryBudget);

} // namespace glimmora
