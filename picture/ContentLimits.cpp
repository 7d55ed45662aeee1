#include "ContentLimits.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <vector>

#include "PictureFile.h"
#include "PictureMessages.h"

namespace glimmora {

namespace {

// A file's bytes one at a time, read a piece at a time.
class ByteWalker {
public:
    explicit ByteWalker(const PictureFile& file) : file_(file) {}

    // The byte at offset at, or -1 past the end (or where it cannot be read).
    int At(qint64 at) {
        if (at < start_ || at >= start_ + size_) {
            start_ = at;
            size_ = std::max<qint64>(file_.ReadAt(at, buffer_.data(), kPiece), 0);
            if (size_ == 0) {
                return -1;
            }
        }
        return static_cast<unsigned char>(buffer_[static_cast<std::size_t>(at - start_)]);
    }

    // The offset of the next 0xFF byte from at on, or -1.
    qint64 NextFF(qint64 at) {
        for (;;) {
            if (At(at) < 0) {
                return -1;
            }
            const char* from = buffer_.data() + (at - start_);
            const auto* found = static_cast<const char*>(
                std::memchr(from, 0xFF, static_cast<std::size_t>(start_ + size_ - at)));
            if (found != nullptr) {
                return at + (found - from);
            }
            at = start_ + size_;
        }
    }

private:
    static constexpr qint64 kPiece = 64 * 1024;
    const PictureFile& file_;
    std::array<char, kPiece> buffer_{};
    qint64 start_ = 0;
    qint64 size_ = 0;
};

constexpr int kSos = 0xDA;
constexpr int kEoi = 0xD9;

bool IsProgressiveFrame(int marker) {
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

bool IsFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

int CountJpegScans(const PictureFile& file, int limit) {
    ByteWalker bytes(file);
    if (bytes.At(0) != 0xFF || bytes.At(1) != 0xD8) {
        return 0;
    }
    bool progressive = false;
    int scans = 0;
    qint64 at = 2;
    for (;;) {
        // A marker: 0xFF, any number of fill bytes 0xFF, then its code.
        if (bytes.At(at) != 0xFF) {
            return scans; // damaged: the decoder will say so
        }
        int marker = 0xFF;
        while (marker == 0xFF) {
            marker = bytes.At(++at);
        }
        ++at;
        if (marker < 0 || marker == kEoi) {
            return scans;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // no length follows
        }
        const int high = bytes.At(at);
        const int low = bytes.At(at + 1);
        if (high < 0 || low < 0) {
            return scans;
        }
        const qint64 length = high * 256 + low;
        if (IsFrame(marker)) {
            progressive = IsProgressiveFrame(marker);
        }
        at += length;
        if (marker != kSos) {
            continue;
        }
        if (++scans > limit || !progressive) {
            return scans;
        }
        // The compressed data: a 0xFF in it is followed by 0 (a stuffed
        // byte) or a restart marker; anything else begins the next marker.
        for (;;) {
            at = bytes.NextFF(at);
            if (at < 0) {
                return scans;
            }
            const int next = bytes.At(at + 1);
            if (next == 0 || (next >= 0xD0 && next <= 0xD7)) {
                at += 2;
                continue;
            }
            if (next == 0xFF) {
                ++at; // fill before a marker
                continue;
            }
            break;
        }
    }
}

std::optional<std::uint64_t> InflatedSize(const PictureFile& file, std::uint64_t limit) {
    z_stream stream{};
    // 16 + the largest window: gzip data only.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return std::nullopt;
    }
    std::vector<unsigned char> in(64 * 1024);
    std::vector<unsigned char> out(256 * 1024);
    std::uint64_t inflated = 0;
    qint64 offset = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END && inflated <= limit) {
        if (stream.avail_in == 0) {
            const qint64 got = file.ReadAt(offset, reinterpret_cast<char*>(in.data()),
                                           static_cast<qint64>(in.size()));
            if (got <= 0) {
                break; // cut short: what is there is counted
            }
            offset += got;
            stream.next_in = in.data();
            stream.avail_in = static_cast<uInt>(got);
        }
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        status = inflate(&stream, Z_NO_FLUSH);
        inflated += out.size() - stream.avail_out;
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            inflateEnd(&stream);
            return inflated > 0 ? std::optional<std::uint64_t>(inflated) : std::nullopt;
        }
    }
    inflateEnd(&stream);
    return inflated;
}

std::optional<QString> BeyondContentLimits(const PictureFile& file, const QByteArray& format) {
    if (format == "jpeg") {
        if (CountJpegScans(file, kMostJpegScans) > kMostJpegScans) {
            return QStringLiteral("%1 is a JPEG picture of more than %2 scans; it is refused, as "
                                  "decoding so many would take minutes.")
                .arg(file.ShownName())
                .arg(kMostJpegScans);
        }
        return std::nullopt;
    }
    // The text of compressed SVG is held inflated while it is read.
    char start[2] = {};
    const bool gzip = file.ReadAt(0, start, 2) == 2 && start[0] == '\x1F' && start[1] == '\x8B';
    if (gzip) {
        const std::optional<std::uint64_t> size = InflatedSize(file, kPictureMemoryBudget);
        if (size && *size > kPictureMemoryBudget) {
            return QStringLiteral("%1 is compressed and inflates to more than the %2 MiB a "
                                  "picture may take.")
                .arg(file.ShownName(), MiB(static_cast<double>(kPictureMemoryBudget)));
        }
    }
    return std::nullopt;
}

std::optional<QString> BeyondDrawingLimits(const PictureFile& file, const QByteArray& format) {
    if ((format == "svg" || format == "svgz") &&
        static_cast<std::uint64_t>(file.Size()) > kPictureMemoryBudget) {
        return QStringLiteral("%1 is %2 MiB long, more than the %3 MiB a picture may take.")
            .arg(file.ShownName(), MiB(static_cast<double>(file.Size())),
                 MiB(static_cast<double>(kPictureMemoryBudget)));
    }
    return std::nullopt;
}

} // namespace glimmora
