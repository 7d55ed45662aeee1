#include "PictureInput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "Messages.h"
#include "picture/Picture.h"

namespace glimmora {

namespace {

// The picture layer speaks QString; the converter's messages are the
// system's bytes. A name goes over as Latin-1, one character a byte, and
// the sentence comes back the same way, so a name that is not UTF-8 is
// shown as it is (the sentences around it are ASCII).
QString ToShown(const std::string& systemPath) {
    return QString::fromLatin1(ShownPictureName(systemPath));
}
std::string FromShown(const QString& sentence) {
    return sentence.toLatin1().toStdString();
}

// While it lives, whatever is written to the process's error stream goes
// nowhere. Qt's PNG reader leaves libpng's own complaint about a damaged
// file ("libpng error: ...") to go there, beside Qt's message system; the
// converter says it in one line of its own.
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

// Reads all of standard input into bytes; false, with why in error, when
// it cannot be read or is longer than a picture may be (an endless source
// is refused before it takes the memory). It comes in pieces that are never
// moved, joined once at the end: memory holds the input and one piece more,
// never a second copy of all of it.
bool ReadStandardInput(QByteArray& bytes, std::string& error) try {
    constexpr std::size_t kPiece = std::size_t{16} << 20;
    struct Piece {
        std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(kPiece);
        std::size_t size = 0;
    };
    std::vector<Piece> pieces;
    std::uint64_t total = 0;
    for (;;) {
        if (pieces.empty() || pieces.back().size == kPiece) {
            pieces.emplace_back();
        }
        Piece& piece = pieces.back();
        const ssize_t got =
            ::read(STDIN_FILENO, piece.bytes.get() + piece.size, kPiece - piece.size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "Standard input cannot be read: " + ReasonFor(errno) + ".";
            return false;
        }
        if (got == 0) {
            break;
        }
        piece.size += static_cast<std::size_t>(got);
        total += static_cast<std::uint64_t>(got);
        if (total > kPictureMemoryBudget) {
            error = "Standard input is longer than the " +
                    std::to_string(kPictureMemoryBudget / (1024 * 1024)) +
                    " MiB a picture may take.";
            return false;
        }
    }
    bytes = QByteArray(static_cast<qsizetype>(total), Qt::Uninitialized);
    char* at = bytes.data();
    for (Piece& piece : pieces) {
        std::memcpy(at, piece.bytes.get(), piece.size);
        at += piece.size;
        piece.bytes.reset();
    }
    return true;
} catch (const std::bad_alloc&) {
    error = "There is not enough memory to read standard input.";
    return false;
}

} // namespace

std::string ShownPictureName(const std::string& systemPath) {
    return systemPath == "-" ? std::string("standard input") : ShownName(systemPath);
}

OpenedPicture OpenPicture(const std::string& systemPath) {
    OpenedPicture opened;
    PictureFileResult result;
    if (systemPath == "-") {
        QByteArray bytes;
        if (!ReadStandardInput(bytes, opened.error)) {
            return opened;
        }
        const SilencedErrorStream silence;
        result = PictureFile::FromBytes(std::move(bytes), ToShown(systemPath));
    } else {
        const SilencedErrorStream silence;
        // Decoded right after it is opened, before any output is written:
        // read as it is decoded, so memory never holds the file.
        result = PictureFile::OpenStreamed(systemPath, ToShown(systemPath));
    }
    opened.file = result.file;
    if (!opened.file) {
        opened.error = FromShown(result.error);
    }
    return opened;
}

namespace {

// The converter's sentence for a decode's failure.
std::string DecodeFailure(const PictureFile& file, PictureFailure failure, const QString& error) {
    if (failure == PictureFailure::OutOfMemory) {
        return "Not enough memory to convert " + FromShown(file.ShownName()) +
               "; a larger scale needs less.";
    }
    return FromShown(error);
}

} // namespace

std::shared_ptr<const PixelSource> DecodePicture(const PictureFile& file, int stepAcross,
                                                 int stepDown, std::string& error) {
    SampledPictureResult result;
    {
        const SilencedErrorStream silence;
        result = DecodeSampled(file, stepAcross, stepDown);
    }
    if (!result.picture) {
        error = DecodeFailure(file, result.failure, result.error);
    }
    return result.picture;
}

std::shared_ptr<const PixelBuffer> DecodeAreas(const PictureFile& file, int across, int down,
                                               std::string& error) {
    AreaSamplesResult result;
    {
        const SilencedErrorStream silence;
        result = DecodeAreaSamples(file, across, down);
    }
    if (!result.samples) {
        error = DecodeFailure(file, result.failure, result.error);
    }
    return result.samples;
}

} // namespace glimmora
