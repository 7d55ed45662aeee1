#include "ConversionJob.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "GreyLevel.h"
#include "Numbers.h"

namespace glimmora {

namespace {

constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int16_t kMaxInt16 = std::numeric_limits<std::int16_t>::max();

constexpr char kCellOpen[] = "<font color=\"#";
constexpr std::size_t kCellOpenSize = sizeof kCellOpen - 1;
constexpr char kCellMiddle[] = "\">";
constexpr std::size_t kCellMiddleSize = sizeof kCellMiddle - 1;
constexpr char kCellClose[] = "</font>";
constexpr std::size_t kCellCloseSize = sizeof kCellClose - 1;
constexpr std::size_t kColouredCellFrame = kCellOpenSize + 6 + kCellMiddleSize + kCellCloseSize;

// Reserving is only a speed-up; a picture whose art text would be larger
// than this grows its text as it goes.
constexpr double kMaxReserve = 4.0 * 1024 * 1024 * 1024;

// Upper bounds of the brightness bands as packed greys, darkest first; the
// last band reaches up to and including FFFFFF.
constexpr Colour kBandBelow[8] = {0x1E1E1E, 0x2D2D2D, 0x373741, 0x464646,
                                  0x5F5F5F, 0x757575, 0x949494, 0xC3C3C3};

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Bytes of the UTF-8 character that starts at text[at]; 1 for a byte that
// starts no valid character.
std::uint32_t CharacterSize(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t size = 1;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    }
    if (size == 1 || at + size > text.size()) {
        return 1;
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < low || second > high) {
        return 1;
    }
    for (std::size_t i = 2; i < size; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) {
            return 1;
        }
    }
    return static_cast<std::uint32_t>(size);
}

// A letter as the cell writes it: the characters that HTML reads as markup
// as their entities.
std::string_view LetterInCell(std::string_view letter) {
    if (letter == "&") {
        return "&amp;";
    }
    if (letter == "<") {
        return "&lt;";
    }
    if (letter == ">") {
        return "&gt;";
    }
    return letter;
}

// A sample point outside the 16-bit range cannot be formed; the read then
// uses 0. Only scales below 1 get there.
std::int32_t SamplePoint(std::int64_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > kMaxInt16) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

int RampIndexForGrey(Colour grey) {
    if (grey < 0 || grey > 0xFFFFFF) {
        return 0;
    }
    int index = 0;
    while (index < 8 && grey >= kBandBelow[index]) {
        ++index;
    }
    return index;
}

ConversionEngine::ConversionEngine(ConversionInputs inputs, const PixelSource* picture)
    : inputs_(std::move(inputs)), picture_(picture) {
    width_ = ReadWholeNumber(inputs_.widthText);
    height_ = ReadWholeNumber(inputs_.heightText);
    scaleWidth_ = ReadWholeNumber(inputs_.scaleWidthText);
    scaleHeight_ = ReadWholeNumber(inputs_.scaleHeightText);

    for (int level = 0; level < 256; ++level) {
        rampOfLevel_[static_cast<std::size_t>(level)] =
            static_cast<std::uint8_t>(RampIndexForGrey(level * 0x010101));
    }
    for (std::size_t box = 0; box < inputs_.ramp.size(); ++box) {
        const std::string& text = inputs_.ramp[box];
        rampSizes_[box] = static_cast<std::uint32_t>(text.size());
        if (text.size() <= kSlotSize) {
            std::memcpy(rampSlots_[box].data(), text.data(), text.size());
        }
    }
    lastColour_ = 0;
    lastRamp_ = rampOfLevel_[static_cast<std::size_t>(detail::GreyLevelOf(lastColour_))];
    ColorToHexInto(lastColour_, lastCode_.data());

    const std::string& word = inputs_.word;
    for (std::size_t at = 0; at < word.size();) {
        const std::uint32_t size = CharacterSize(word, at);
        if (letterSlots_.size() < static_cast<std::size_t>(kMaxInt16)) {
            // Escaped once here, so a cell costs the same whatever its letter.
            const std::string_view letter = LetterInCell(std::string_view(word).substr(at, size));
            std::array<char, kLetterSlot> slot{};
            std::memcpy(slot.data(), letter.data(), letter.size());
            letterSlots_.push_back(slot);
            letterSizes_.push_back(static_cast<std::uint8_t>(letter.size()));
        }
        ++wordLength_;
        at += size;
    }

    ReserveArtText();
}

std::int64_t ConversionEngine::ExpectedLines() const {
    if (scaleHeight_ < 1) {
        return 0;
    }
    if (height_ <= 0) {
        return 1;
    }
    return (height_ + scaleHeight_ - 1) / scaleHeight_;
}

std::int64_t ConversionEngine::ExpectedCellsPerLine() const {
    if (scaleWidth_ < 1) {
        return 0;
    }
    if (width_ <= 0) {
        return 1;
    }
    return (width_ + scaleWidth_ - 1) / scaleWidth_;
}

void ConversionEngine::ReserveArtText() {
    // Room for the longest possible text, so that the text is never moved
    // while it grows: a move of a large text would stall one step for many
    // milliseconds. Untouched room costs address space, not memory.
    double cellSize = 0.0;
    if (inputs_.coloured) {
        std::size_t longestLetter = 0;
        for (const std::uint8_t size : letterSizes_) {
            longestLetter = std::max<std::size_t>(longestLetter, size);
        }
        cellSize = static_cast<double>(kColouredCellFrame + longestLetter);
    } else {
        for (const std::string& cell : inputs_.ramp) {
            cellSize = std::max(cellSize, static_cast<double>(cell.size()));
        }
    }
    const double lines = static_cast<double>(ExpectedLines());
    const double cells = static_cast<double>(ExpectedCellsPerLine());
    double bytes = lines * (cells * cellSize + 1.0);
    if (bytes > kMaxReserve) {
        bytes = kMaxReserve;
    }
    try {
        art_.reserve(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        // Not reserved: the text grows step by step instead.
    } catch (const std::length_error&) {
    }
}

void ConversionEngine::SetArtSink(ArtSink sink) {
    sink_ = std::move(sink);
    if (sink_) {
        std::string().swap(art_); // the reserved room is not needed
    }
}

void ConversionEngine::Emit(std::string_view text) const {
    if (sink_) {
        sink_(text);
    } else {
        art_.append(text);
    }
}

void ConversionEngine::FlushPending() const {
    if (pendingSize_ != 0) {
        // Cleared first, so a sink or an append that throws leaves no
        // half-counted buffer behind.
        const std::size_t size = pendingSize_;
        pendingSize_ = 0;
        Emit(std::string_view(pending_.data(), size));
    }
}

const std::string& ConversionEngine::ArtText() const {
    FlushPending();
    return art_;
}

std::string ConversionEngine::TakeArtText() {
    FlushPending();
    std::string art = std::move(art_);
    art_.clear();
    return art;
}

void ConversionEngine::AppendSignCell(Colour colour) {
    if (colour != lastColour_) {
        lastColour_ = colour;
        lastRamp_ = rampOfLevel_[static_cast<std::size_t>(detail::GreyLevelOf(colour))];
    }
    const std::uint32_t size = rampSizes_[lastRamp_];
    if (size <= kSlotSize) {
        // The whole slot is copied; only size bytes of it count.
        std::memcpy(pending_.data() + pendingSize_, rampSlots_[lastRamp_].data(), kSlotSize);
        pendingSize_ += size;
    } else {
        FlushPending();
        Emit(inputs_.ramp[lastRamp_]);
    }
}

void ConversionEngine::AppendColouredCell(Colour colour) {
    if (letterIndex_ < kMaxInt16) {
        ++letterIndex_;
    }
    if (colour != lastColour_) {
        lastColour_ = colour;
        ColorToHexInto(colour, lastCode_.data());
    }
    char* out = pending_.data() + pendingSize_;
    std::memcpy(out, kCellOpen, kCellOpenSize);
    out += kCellOpenSize;
    std::memcpy(out, lastCode_.data(), lastCode_.size()); // 6 digits count
    out += 6;
    std::memcpy(out, kCellMiddle, kCellMiddleSize);
    out += kCellMiddleSize;
    const auto position = static_cast<std::size_t>(letterIndex_);
    if (position <= letterSlots_.size()) {
        std::memcpy(out, letterSlots_[position - 1].data(), kLetterSlot);
        out += letterSizes_[position - 1];
    }
    std::memcpy(out, kCellClose, kCellCloseSize);
    out += kCellCloseSize;
    pendingSize_ = static_cast<std::size_t>(out - pending_.data());
    if (letterIndex_ == wordLength_) {
        letterIndex_ = 0;
    }
}

StepResult ConversionEngine::Step() {
    if (finished_) {
        return StepResult::Finished;
    }
    const std::int64_t x = std::int64_t{scaleWidth_} * cellColumn_;
    const std::int64_t y = std::int64_t{scaleHeight_} * cellRow_;
    const Colour colour =
        picture_ == nullptr ? kInvalidColour : picture_->GetPixel(SamplePoint(x), SamplePoint(y));
    if (inputs_.coloured) {
        AppendColouredCell(colour);
    } else {
        AppendSignCell(colour);
    }

    StepResult result = StepResult::Cell;
    if (cellColumn_ < kMaxInt32) {
        ++cellColumn_;
    }
    if (std::int64_t{scaleWidth_} * cellColumn_ >= width_) {
        // Line end.
        pending_[pendingSize_++] = '\r';
        if (cellRow_ < kMaxInt32) {
            ++cellRow_;
        }
        const std::int64_t reached = std::int64_t{scaleHeight_} * cellRow_;
        if (reached >= std::numeric_limits<std::int16_t>::min() && reached <= kMaxInt16) {
            currentLine_ = static_cast<std::int16_t>(reached);
        }
        cellColumn_ = 0;
        // Whether the picture is done is only asked at a line end, so a
        // height of 0 or less still gives one whole line.
        result = StepResult::LineEnd;
        if (reached >= height_) {
            finished_ = true;
            letterIndex_ = 0;
            result = StepResult::Finished;
        }
    }
    if (pendingSize_ >= kPendingFlushAt || finished_) {
        FlushPending();
    }
    return result;
}

} // namespace glimmora
