#include "PictureInput.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Messages.h"
#include "platform/Picture.h"

namespace glimmora {

namespace {

// While it lives, whatever is written to the process's error stream goes
// nowhere. The PNG decoder prints its own complaint about a damaged file
// there, beside Qt's message system; the converter says it in one line of
// its own.
class SilencedErrorStream {
public:
    SilencedErrorStream() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) {
            ::dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            ::close(null);
        }
    }
    ~SilencedErrorStream() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    SilencedErrorStream(const SilencedErrorStream&) = delete;
    SilencedErrorStream& operator=(const SilencedErrorStream&) = delete;

private:
    int saved_ = -1;
};

// All the bytes of fd; false with errno on failure.
bool ReadAll(int fd, QByteArray& bytes) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(buffer, got);
    }
}

} // namespace

std::string ShownPictureName(const std::string& systemPath) {
    return systemPath == "-" ? std::string("standard input") : ShownName(systemPath);
}

PictureInput::Opened PictureInput::Open(const std::string& systemPath) {
    Opened opened;
    const std::string shown = ShownPictureName(systemPath);
    QByteArray bytes;
    std::optional<FileIdentity> identity;
    if (systemPath == "-") {
        struct stat status {};
        if (::fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode)) {
            identity = FileIdentity{status.st_dev, status.st_ino};
        }
        if (!ReadAll(STDIN_FILENO, bytes)) {
            opened.error = shown + " cannot be read: " + ReasonFor(errno) + ".";
            return opened;
        }
    } else {
        // Not blocking: opening a pipe with no writer would wait for one.
        const int fd = ::open(systemPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            opened.error = shown + " cannot be read: " + ReasonFor(errno) + ".";
            return opened;
        }
        struct stat status {};
        const bool known = ::fstat(fd, &status) == 0;
        if (known && S_ISDIR(status.st_mode)) {
            ::close(fd);
            opened.error = shown + " is a folder, not a picture.";
            return opened;
        }
        if (known && !S_ISREG(status.st_mode)) {
            ::close(fd);
            opened.error = shown + " is not a regular file (a device or a pipe), not a picture.";
            return opened;
        }
        identity = FileIdentity{status.st_dev, status.st_ino};
        const bool read = known && ReadAll(fd, bytes);
        const int error = errno;
        ::close(fd);
        if (!read) {
            opened.error = shown + " cannot be read: " + ReasonFor(error) + ".";
            return opened;
        }
    }

    // The decoder reads a named file: the bytes go into one of its own, with
    // the picture's suffix for the types that are known by it alone.
    const QString suffix = QFileInfo(QString::fromUtf8(systemPath)).suffix();
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/glimmora-convert-XXXXXX") +
                        (suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) {
        opened.error = shown + " cannot be read: " + copy.errorString().toStdString() + ".";
        return opened;
    }
    bytes = QByteArray();
    PictureLoadResult loaded;
    {
        const SilencedErrorStream silence;
        loaded = LoadPictureFile(copy.fileName());
    }
    if (!loaded.picture) {
        std::string error = loaded.error.toStdString();
        const std::string copyName = copy.fileName().toStdString();
        if (const std::size_t at = error.find(copyName); at != std::string::npos) {
            error.replace(at, copyName.size(), shown);
        }
        opened.error = error;
        return opened;
    }
    if (loaded.picture->Width() <= 0 || loaded.picture->Height() <= 0) {
        // Decoded, but the pixels could not be held.
        opened.error = "Not enough memory to read " + shown + ".";
        return opened;
    }
    PictureInput picture;
    picture.width_ = loaded.picture->Width();
    picture.height_ = loaded.picture->Height();
    picture.identity_ = identity;
    picture.surface_ = loaded.picture;
    opened.picture = std::move(picture);
    return opened;
}

std::shared_ptr<const PixelSource> PictureInput::Decode(int, int, std::string&) {
    return surface_;
}

} // namespace glimmora
