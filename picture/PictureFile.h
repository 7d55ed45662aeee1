#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace glimmora {

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

} // namespace glimmora
