#include "PngWriter.h"

#include <zlib.h>

#include <array>
#include <deque>
#include <future>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

namespace glimmora {

namespace {

// Raw rows gathered before a piece is compressed, and pieces compressed at
// once (the one being gathered aside).
constexpr std::size_t kPieceBytes = 1024 * 1024;
constexpr std::size_t kPiecesInFlight = 2;

struct Compressed {
    std::vector<std::uint8_t> bytes;
    uLong adler = 0;
    std::size_t rawSize = 0;
};

// One piece as raw deflate blocks that the next piece can follow: ended by a
// sync flush, or by the final block for the last piece.
Compressed Compress(const std::vector<std::uint8_t>& raw, bool last) {
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK) {
        throw std::bad_alloc();
    }
    Compressed piece;
    piece.rawSize = raw.size();
    piece.adler = adler32_z(adler32_z(0, nullptr, 0), raw.data(), raw.size());
    try {
        piece.bytes.resize(deflateBound(&stream, raw.size()) + 64);
    } catch (...) {
        deflateEnd(&stream);
        throw;
    }
    stream.next_in = const_cast<Bytef*>(raw.data());
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = piece.bytes.data();
    stream.avail_out = static_cast<uInt>(piece.bytes.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
    piece.bytes.resize(stream.total_out);
    deflateEnd(&stream);
    if (!done) {
        throw std::bad_alloc();
    }
    return piece;
}

void PutBigEndian(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

std::string_view AsChars(const std::uint8_t* bytes, std::size_t size) {
    return {reinterpret_cast<const char*>(bytes), size};
}

} // namespace

struct PngWriter::State {
    ByteSink sink;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t rowsGiven = 0;
    std::size_t rowBytes = 0; // the filter byte and the row
    std::vector<std::uint8_t> gathering;
    std::deque<std::future<Compressed>> inFlight;
    uLong adler = 1;
    bool headerOfStreamWritten = false;

    // A chunk: length, type, data, CRC of type and data.
    void WriteChunk(const char (&type)[5], const std::uint8_t* data, std::size_t size) {
        std::array<std::uint8_t, 8> head{};
        PutBigEndian(head.data(), static_cast<std::uint32_t>(size));
        std::copy(type, type + 4, head.begin() + 4);
        uLong crc = crc32_z(crc32_z(0, nullptr, 0), head.data() + 4, 4);
        if (size > 0) {
            crc = crc32_z(crc, data, size);
        }
        std::array<std::uint8_t, 4> tail{};
        PutBigEndian(tail.data(), static_cast<std::uint32_t>(crc));
        sink(AsChars(head.data(), head.size()));
        if (size > 0) {
            sink(AsChars(data, size));
        }
        sink(AsChars(tail.data(), tail.size()));
    }

    void WriteOldest() {
        Compressed piece = inFlight.front().get();
        inFlight.pop_front();
        adler = adler32_combine(adler, piece.adler, static_cast<z_off_t>(piece.rawSize));
        if (!headerOfStreamWritten) {
            // zlib's header: deflate with a 32 KB window, fastest level.
            piece.bytes.insert(piece.bytes.begin(), {0x78, 0x01});
            headerOfStreamWritten = true;
        }
        WriteChunk("IDAT", piece.bytes.data(), piece.bytes.size());
    }

    void Send(bool last) {
        while (inFlight.size() >= kPiecesInFlight) {
            WriteOldest();
        }
        inFlight.push_back(std::async(std::launch::async, [raw = std::move(gathering), last] {
            return Compress(raw, last);
        }));
        gathering = {};
        gathering.reserve(kPieceBytes + rowBytes);
    }
};

PngWriter::PngWriter(std::uint32_t width, std::uint32_t height, ByteSink sink)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.sink = std::move(sink);
    state.width = width;
    state.height = height;
    state.rowBytes = 1 + 3 * static_cast<std::size_t>(width);
    state.gathering.reserve(kPieceBytes + state.rowBytes);

    static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P',  'N',  'G',
                                                               '\r', '\n', 0x1A, '\n'};
    state.sink(AsChars(kSignature.data(), kSignature.size()));
    // Width, height, 8 bits, RGB, deflate, adaptive filters, no interlace.
    std::array<std::uint8_t, 13> header{};
    PutBigEndian(header.data(), width);
    PutBigEndian(header.data() + 4, height);
    header[8] = 8;
    header[9] = 2;
    state.WriteChunk("IHDR", header.data(), header.size());
    // 96 dots per inch (3780 a metre), the size the art is drawn for.
    std::array<std::uint8_t, 9> physical{};
    PutBigEndian(physical.data(), 3780);
    PutBigEndian(physical.data() + 4, 3780);
    physical[8] = 1;
    state.WriteChunk("pHYs", physical.data(), physical.size());
}

PngWriter::~PngWriter() = default;

void PngWriter::WriteRow(const std::uint8_t* rgb) {
    State& state = *state_;
    std::vector<std::uint8_t>& out = state.gathering;
    const std::size_t at = out.size();
    out.resize(at + state.rowBytes);
    // The Sub filter: each byte less the same colour's byte to its left.
    std::uint8_t* row = out.data() + at;
    row[0] = 1;
    const std::size_t bytes = state.rowBytes - 1;
    for (std::size_t i = 0; i < 3 && i < bytes; ++i) {
        row[1 + i] = rgb[i];
    }
    for (std::size_t i = 3; i < bytes; ++i) {
        row[1 + i] = static_cast<std::uint8_t>(rgb[i] - rgb[i - 3]);
    }
    ++state.rowsGiven;
    const bool last = state.rowsGiven == state.height;
    if (last || out.size() >= kPieceBytes) {
        state.Send(last);
    }
}

void PngWriter::Finish() {
    State& state = *state_;
    while (!state.inFlight.empty()) {
        state.WriteOldest();
    }
    std::array<std::uint8_t, 4> adler{};
    PutBigEndian(adler.data(), static_cast<std::uint32_t>(state.adler));
    state.WriteChunk("IDAT", adler.data(), adler.size());
    state.WriteChunk("IEND", nullptr, 0);
}

} // namespace glimmora
