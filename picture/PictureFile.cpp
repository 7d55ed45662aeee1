#include "PictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ContentLimits.h"
#include "PictureMessages.h"
#include "QtReaders.h"
#include "SampledDecoding.h"

namespace glimmora {

namespace {

// JPEG and PNG by their signatures. Asking Qt which reader takes the
// contents loads every image reader plugin with its libraries, which costs
// a short conversion more time and memory than its decode.
QByteArray SignatureFormat(const PictureFile& file) {
    char start[8] = {};
    const qint64 got = file.ReadAt(0, start, sizeof start);
    const QByteArray bytes(start, static_cast<qsizetype>(std::max<qint64>(got, 0)));
    if (bytes.startsWith(QByteArrayLiteral("\xFF\xD8\xFF"))) {
        return QByteArrayLiteral("jpeg");
    }
    if (bytes.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1A\n"))) {
        return QByteArrayLiteral("png");
    }
    return {};
}

} // namespace

PictureFile::PictureFile(Private, QByteArray bytes, QString shownName)
    : bytes_(std::move(bytes)), shownName_(std::move(shownName)) {}

PictureFile::OpenFile::~OpenFile() {
#ifdef Q_OS_UNIX
    if (fd >= 0) {
        ::close(fd);
    }
#endif
}

qint64 PictureFile::Size() const {
    return file_ ? file_->size : bytes_.size();
}

qint64 PictureFile::ReadAt(qint64 offset, char* data, qint64 size) const {
    if (offset < 0 || size < 0) {
        return -1;
    }
    if (!file_) {
        const qint64 got = std::clamp<qint64>(bytes_.size() - offset, 0, size);
        std::memcpy(data, bytes_.constData() + offset, static_cast<std::size_t>(got));
        return got;
    }
#ifdef Q_OS_UNIX
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(file_->fd, data + done, static_cast<std::size_t>(size - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return done > 0 ? done : -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
#else
    return -1;
#endif
}

namespace {

// The bytes of a streamed file as a device, read through PictureFile.
class StreamedDevice final : public QIODevice {
public:
    explicit StreamedDevice(const PictureFile& file) : file_(file) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return file_.Size(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        return file_.ReadAt(pos(), data, maxSize);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const PictureFile& file_;
};

} // namespace

std::unique_ptr<QIODevice> PictureFile::Device() const {
    if (file_) {
        return std::make_unique<StreamedDevice>(*this);
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes_);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

PictureFileResult PictureFile::Open(const std::string& systemPath, const QString& shownName) {
    return OpenFileNamed(systemPath, shownName, false);
}

PictureFileResult PictureFile::OpenStreamed(const std::string& systemPath,
                                            const QString& shownName) {
    return OpenFileNamed(systemPath, shownName, true);
}

PictureFileResult PictureFile::OpenFileNamed(const std::string& systemPath,
                                             const QString& shownName, bool streamed) {
    PictureFileResult result;
    result.failure = PictureFailure::Unreadable;
    if (systemPath.empty()) {
        result.error = QStringLiteral("No picture file was chosen.");
        return result;
    }
    const auto cannotRead = [&](int error) {
        result.error = QStringLiteral("%1 cannot be read: %2.").arg(shownName, SystemReason(error));
        return result;
    };
    const auto notRegular = [&](bool folder) {
        result.error = folder ? QStringLiteral("%1 is a folder, not a picture.").arg(shownName)
                              : QStringLiteral("%1 is not a regular file, so it is not read as "
                                               "a picture.")
                                    .arg(shownName);
        return result;
    };
    QByteArray bytes;
#ifdef Q_OS_UNIX
    // Looked at before it is opened: opening a FIFO or a device could wait
    // for a writer or do something to the device.
    struct stat status {};
    if (::stat(systemPath.c_str(), &status) != 0) {
        return cannotRead(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return notRegular(S_ISDIR(status.st_mode));
    }
    const int fd = ::open(systemPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return cannotRead(errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // Replaced by something else between the look and the opening.
    if (::fstat(fd, &status) != 0) {
        return cannotRead(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return notRegular(S_ISDIR(status.st_mode));
    }
    if (streamed) {
        auto open = std::make_shared<OpenFile>();
        open->fd = ::dup(fd);
        open->size = static_cast<qint64>(status.st_size);
        if (open->fd < 0) {
            return cannotRead(errno);
        }
        auto file = std::make_shared<PictureFile>(Private{}, QByteArray(), shownName);
        file->file_ = std::move(open);
        return Probe(std::move(file));
    }
    if (static_cast<std::uint64_t>(status.st_size) > kPictureMemoryBudget) {
        result.failure = PictureFailure::OverBudget;
        result.error = QStringLiteral("%1 is %2 MiB long, more than the %3 MiB a picture may take.")
                           .arg(shownName, MiB(static_cast<double>(status.st_size)),
                                MiB(static_cast<double>(kPictureMemoryBudget)));
        return result;
    }
    try {
        // Read straight into the bytes; a file that grows while it is read
        // is read to its end all the same.
        qsizetype size = 0;
        bytes.resize(std::max<qsizetype>(static_cast<qsizetype>(status.st_size), 1) + 1);
        for (;;) {
            if (size == bytes.size()) {
                if (static_cast<std::uint64_t>(size) > kPictureMemoryBudget) {
                    result.failure = PictureFailure::OverBudget;
                    result.error =
                        QStringLiteral("%1 is longer than the %2 MiB a picture may take.")
                            .arg(shownName, MiB(static_cast<double>(kPictureMemoryBudget)));
                    return result;
                }
                bytes.resize(size * 2);
            }
            const ssize_t got =
                ::read(fd, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return cannotRead(errno);
            }
            if (got == 0) {
                break;
            }
            size += got;
        }
        bytes.truncate(size);
    } catch (const std::bad_alloc&) {
        result.failure = PictureFailure::OutOfMemory;
        result.error = QStringLiteral("There is not enough memory to read %1.").arg(shownName);
        return result;
    }
#else
    const QString path = QFile::decodeName(QByteArray::fromStdString(systemPath));
    if (QFileInfo(path).isDir()) {
        return notRegular(true);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1 cannot be read: %2.").arg(shownName, file.errorString());
        return result;
    }
    bytes = file.readAll();
#endif
    return FromBytes(std::move(bytes), shownName);
}

PictureFileResult PictureFile::FromBytes(QByteArray bytes, const QString& shownName) {
    return Probe(std::make_shared<PictureFile>(Private{}, std::move(bytes), shownName));
}

PictureFileResult PictureFile::Probe(std::shared_ptr<PictureFile> file) {
    PictureFileResult result;
    // The format the contents say, whatever the name says; one that only
    // the name's extension tells (TGA has no signature) as Qt takes it from
    // a named file.
    file->format_ = SignatureFormat(*file);
    // Before any reader is given the contents (asking Qt which reader takes
    // them may already inflate compressed SVG).
    if (std::optional<QString> refused = BeyondContentLimits(*file, file->format_)) {
        result.failure = PictureFailure::OverBudget;
        result.error = std::move(*refused);
        return result;
    }
    if (file->format_.isEmpty()) {
        const std::unique_ptr<QIODevice> contents = file->Device();
        file->format_ = QImageReader::imageFormat(contents.get());
    }
    if (file->format_.isEmpty()) {
        file->format_ = QFileInfo(file->shownName_).suffix().toLower().toLatin1();
    }
    if (std::optional<QString> refused = BeyondDrawingLimits(*file, file->format_)) {
        result.failure = PictureFailure::OverBudget;
        result.error = std::move(*refused);
        return result;
    }
    // JPEG and PNG headers are read without Qt's readers, whose plugins
    // would be loaded for nothing when only the samples are decoded.
    if (file->format_ == "jpeg") {
        JpegHeader header;
        if (ReadJpegHeader(*file, &header) && header.width > 0 && header.height > 0) {
            file->transformation_ = header.transformation;
            const bool turned = header.transformation & QImageIOHandler::TransformationRotate90;
            return Sized(std::move(file), turned ? header.height : header.width,
                         turned ? header.width : header.height);
        }
    } else if (file->format_ == "png") {
        // Qt's PNG reader reads no orientation.
        uchar start[24] = {};
        if (file->ReadAt(0, reinterpret_cast<char*>(start), sizeof start) == sizeof start &&
            std::memcmp(start + 12, "IHDR", 4) == 0) {
            const quint32 width = qFromBigEndian<quint32>(start + 16);
            const quint32 height = qFromBigEndian<quint32>(start + 20);
            if (width > 0 && height > 0 && width <= 0x7FFFFFFFu && height <= 0x7FFFFFFFu) {
                return Sized(std::move(file), static_cast<int>(width), static_cast<int>(height));
            }
        }
    }
    BytesReader reader(*file);
    if (!reader->canRead()) {
        result.failure = PictureFailure::Unreadable;
        // Qt's reader says "Unknown error" for contents no reader takes.
        const bool noFormat = reader->error() == QImageReader::UnknownError ||
                              reader->error() == QImageReader::UnsupportedFormatError;
        result.error = UnreadableMessage(
            *file, file->Size() == 0 ? QStringLiteral("it is empty, not a picture")
                   : noFormat ? QStringLiteral("it is not a picture of a format Glimmora reads")
                              : reader->errorString());
        return result;
    }
    file->transformation_ = static_cast<int>(reader->transformation());
    QSize size = reader->size();
    if (size.isValid() && (file->transformation_ & QImageIOHandler::TransformationRotate90)) {
        size.transpose();
    }
    if (!size.isValid()) {
        // The header does not tell: the size is the decoded picture's.
        QImageReader::setAllocationLimit(static_cast<int>(kPictureMemoryBudget / (1024 * 1024)));
        QImage decoded;
        try {
            // Some readers (ICNS) allocate what a length in the file claims.
            decoded = reader->read();
        } catch (const std::bad_alloc&) {
            result.failure = PictureFailure::OutOfMemory;
            result.error = OutOfMemoryMessage(*file);
            return result;
        }
        if (decoded.isNull()) {
            result.failure = PictureFailure::Unreadable;
            result.error = UnreadableMessage(*file, reader->errorString());
            return result;
        }
        size = decoded.size();
    }
    return Sized(std::move(file), size.width(), size.height());
}

PictureFileResult PictureFile::Sized(std::shared_ptr<PictureFile> file, int width, int height) {
    PictureFileResult result;
    if (width > kLargestSide || height > kLargestSide) {
        result.failure = PictureFailure::TooLarge;
        result.error = TooLargeMessage(width, height);
        return result;
    }
    if (width <= 0 || height <= 0) {
        result.failure = PictureFailure::Unreadable;
        result.error = UnreadableMessage(*file, QStringLiteral("it has no pixels"));
        return result;
    }
    file->width_ = width;
    file->height_ = height;
    result.file = std::move(file);
    return result;
}

} // namespace glimmora
