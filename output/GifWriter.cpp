#include "GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace glimmora {

struct GifWriter::State {
    ByteSink sink;
    GifFileType* gif = nullptr;
    // What the sink threw inside giflib's call, thrown again once giflib
    // has returned: an exception may not cross its C frames.
    std::exception_ptr thrown;
    int width = 0;
    int height = 0;

    ~State() {
        if (gif != nullptr) {
            int error = 0;
            EGifCloseFile(gif, &error);
        }
    }

    // After a giflib call: what the sink threw, or giflib's own failure.
    void Check(int status, const char* what) {
        if (thrown) {
            std::rethrow_exception(std::exchange(thrown, nullptr));
        }
        if (status == GIF_ERROR) {
            const char* reason = GifErrorString(gif != nullptr ? gif->Error : 0);
            throw std::runtime_error(std::string(what) + ": " +
                                     (reason != nullptr ? reason : "unknown error"));
        }
    }
};

namespace {

int WriteToSink(GifFileType* gif, const GifByteType* bytes, int size) {
    auto* state = static_cast<GifWriter::State*>(gif->UserData);
    if (state->thrown) {
        return 0;
    }
    try {
        state->sink(
            std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)));
        return size;
    } catch (...) {
        state->thrown = std::current_exception();
        return 0;
    }
}

// giflib's palette of the colours, padded to a power of two as GIF needs.
struct ColourMap {
    ColorMapObject* map = nullptr;
    explicit ColourMap(const std::vector<std::uint32_t>& palette) {
        int size = 2;
        while (size < static_cast<int>(palette.size())) {
            size *= 2;
        }
        map = GifMakeMapObject(size, nullptr);
        if (map == nullptr) {
            throw std::bad_alloc();
        }
        for (int i = 0; i < size; ++i) {
            const std::uint32_t rgb = i < static_cast<int>(palette.size()) ? palette[i] : 0;
            map->Colors[i] = {static_cast<GifByteType>(rgb >> 16),
                              static_cast<GifByteType>(rgb >> 8), static_cast<GifByteType>(rgb)};
        }
    }
    ~ColourMap() { GifFreeMapObject(map); }
    ColourMap(const ColourMap&) = delete;
    ColourMap& operator=(const ColourMap&) = delete;
};

} // namespace

GifWriter::GifWriter(int width, int height, std::optional<int> repeats, ByteSink sink)
    : state_(std::make_unique<State>()) {
    if (width < 1 || height < 1 || width > 65535 || height > 65535) {
        throw std::runtime_error("A GIF is 1 to 65535 pixels a side; this one would be " +
                                 std::to_string(width) + " x " + std::to_string(height) + ".");
    }
    state_->sink = std::move(sink);
    state_->width = width;
    state_->height = height;
    int error = 0;
    state_->gif = EGifOpen(state_.get(), WriteToSink, &error);
    if (state_->gif == nullptr) {
        throw std::bad_alloc();
    }
    EGifSetGifVersion(state_->gif, true);
    state_->Check(EGifPutScreenDesc(state_->gif, width, height, 8, 0, nullptr), "GIF header");
    if (repeats) {
        // The loop block browsers read: "NETSCAPE2.0", then the count.
        const int count = std::clamp(*repeats, 0, 65535);
        const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const GifByteType loop[] = {1, static_cast<GifByteType>(count & 0xFF),
                                    static_cast<GifByteType>(count >> 8)};
        state_->Check(EGifPutExtensionLeader(state_->gif, APPLICATION_EXT_FUNC_CODE), "GIF loop");
        state_->Check(EGifPutExtensionBlock(state_->gif, sizeof application, application),
                      "GIF loop");
        state_->Check(EGifPutExtensionBlock(state_->gif, sizeof loop, loop), "GIF loop");
        state_->Check(EGifPutExtensionTrailer(state_->gif), "GIF loop");
    }
}

GifWriter::~GifWriter() = default;

void GifWriter::Add(const GifFrame& frame) {
    if (frame.palette.empty() || frame.palette.size() > 256 || frame.width < 1 ||
        frame.height < 1 || frame.left < 0 || frame.top < 0 ||
        frame.left + frame.width > state_->width || frame.top + frame.height > state_->height ||
        frame.indices.size() != static_cast<std::size_t>(frame.width) * frame.height) {
        throw std::runtime_error("A GIF frame does not fit its picture.");
    }
    GraphicsControlBlock control{};
    control.DisposalMode = static_cast<int>(frame.disposal);
    control.UserInputFlag = false;
    control.DelayTime = std::clamp(frame.delayCentiseconds, 0, 65535);
    control.TransparentColor =
        frame.transparentIndex < 0 ? NO_TRANSPARENT_COLOR : frame.transparentIndex;
    GifByteType extension[4];
    const std::size_t size = EGifGCBToExtension(&control, extension);
    state_->Check(
        EGifPutExtension(state_->gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(size), extension),
        "GIF frame");
    const ColourMap colours(frame.palette);
    state_->Check(EGifPutImageDesc(state_->gif, frame.left, frame.top, frame.width, frame.height,
                                   false, colours.map),
                  "GIF frame");
    // giflib takes the rows as writable memory but does not change them.
    auto* row = const_cast<GifPixelType*>(frame.indices.data());
    for (int y = 0; y < frame.height; ++y, row += frame.width) {
        state_->Check(EGifPutLine(state_->gif, row, frame.width), "GIF frame");
    }
}

void GifWriter::Finish() {
    int error = 0;
    const int status = EGifCloseFile(std::exchange(state_->gif, nullptr), &error);
    if (state_->thrown) {
        std::rethrow_exception(std::exchange(state_->thrown, nullptr));
    }
    if (status == GIF_ERROR) {
        const char* reason = GifErrorString(error);
        throw std::runtime_error(std::string("GIF end: ") +
                                 (reason != nullptr ? reason : "unknown error"));
    }
}

IndexedPicture Palettize(std::span<const std::uint32_t> pixels) {
    IndexedPicture indexed;
    indexed.indices.resize(pixels.size());
    // The exact colours while there are no more than 256.
    std::unordered_map<std::uint32_t, std::uint8_t> exact;
    bool fits = true;
    std::uint32_t last = 0;
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t rgb = pixels[i] & 0xFFFFFF;
        if (i > 0 && rgb == last) {
            indexed.indices[i] = lastIndex;
            continue;
        }
        auto found = exact.find(rgb);
        if (found == exact.end()) {
            if (exact.size() == 256) {
                fits = false;
                break;
            }
            found = exact.emplace(rgb, static_cast<std::uint8_t>(exact.size())).first;
            indexed.palette.push_back(rgb);
        }
        last = rgb;
        lastIndex = found->second;
        indexed.indices[i] = lastIndex;
    }
    if (fits) {
        if (indexed.palette.empty()) {
            indexed.palette.push_back(0);
        }
        return indexed;
    }

    // More: giflib's median cut chooses 256 for this picture.
    const std::size_t count = pixels.size();
    std::vector<GifByteType> red(count);
    std::vector<GifByteType> green(count);
    std::vector<GifByteType> blue(count);
    for (std::size_t i = 0; i < count; ++i) {
        red[i] = static_cast<GifByteType>(pixels[i] >> 16);
        green[i] = static_cast<GifByteType>(pixels[i] >> 8);
        blue[i] = static_cast<GifByteType>(pixels[i]);
    }
    int size = 256;
    GifColorType colours[256];
    // The median cut counts the pixels in one row of up to 2^32.
    if (GifQuantizeBuffer(static_cast<unsigned>(count), 1, &size, red.data(), green.data(),
                          blue.data(), indexed.indices.data(), colours) == GIF_ERROR) {
        throw std::bad_alloc();
    }
    indexed.palette.clear();
    for (int i = 0; i < size; ++i) {
        indexed.palette.push_back((std::uint32_t{colours[i].Red} << 16) |
                                  (std::uint32_t{colours[i].Green} << 8) | colours[i].Blue);
    }
    return indexed;
}

} // namespace glimmora
