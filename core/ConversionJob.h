#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "PixelSource.h"

namespace glimmora {

// The inputs of one conversion, copied from the wizard's controls when the
// conversion starts. Texts are UTF-8 and read exactly as the controls hold
// them; the numbers are read by ReadWholeNumber.
struct ConversionInputs {
    std::string widthText;       // txtWidth
    std::string heightText;      // txtHeight
    std::string scaleWidthText;  // txtScaleWidth
    std::string scaleHeightText; // txtScaleHeight
    bool coloured = false;       // optHtmlCldTxt chosen
    // txtBlack, txtColor2 .. txtColor8, txtWhite: darkest first.
    std::array<std::string, 9> ramp{"9", "=", "u", "e", ";;", "::", ",,", "..", "  "};
    std::string word; // txtWord
};

// The sign-ramp box (0 = txtBlack .. 8 = txtWhite) whose band holds a grey
// colour as GrayScale returns it.
int RampIndexForGrey(Colour grey);

// What one engine step did.
enum class StepResult {
    Cell,     // appended one cell; the line goes on
    LineEnd,  // appended a cell and ended its line; the conversion goes on
    Finished, // appended the last cell and line end; the art text is complete
};

// Converts a picture into the art text one cell per step. The caller drives
// the steps (the wizard from its timer, the command-line tool in a loop).
//
// When the art text cannot grow because memory ran out, Step() throws
// std::bad_alloc; the engine is then of no further use and the caller drops
// it (nothing half-made may pass for finished art).
//
// Art text: every line of cells is followed by one CR (13), the last line
// too, with no LF. In coloured mode a cell is <font color="#RRGGBB">L</font>
// with the letters of the word running on across lines. The word's letters
// are its UTF-8 characters (code points); a byte that starts no valid
// character counts as a letter of its own. A letter &, < or > is written as
// the entity &amp;, &lt; or &gt;, so the cell is sound HTML.
//
// The cell in column i of line j samples the pixel (scale width x i,
// scale height x j). A width that reads as 0 or less gives lines of one cell,
// a height that reads as 0 or less gives one line. A scale below 1 never lets
// a line or the picture end; callers refuse such scales (IsUsableStep).
// Counters that would pass their maximum keep their value.
class ConversionEngine {
public:
    // The picture must outlive the engine. A null picture reads as invalid
    // colour everywhere.
    ConversionEngine(ConversionInputs inputs, const PixelSource* picture);

    // Hands the art text to sink piece by piece, in order, as it is made,
    // instead of keeping it: ArtText() then stays empty. For a caller that
    // writes the art out as it goes and never needs all of it at once. Set
    // it before the first step.
    using ArtSink = std::function<void(std::string_view)>;
    void SetArtSink(ArtSink sink);

    // Converts exactly one cell. Calling it after the finish does nothing and
    // returns Finished.
    StepResult Step();

    bool IsFinished() const { return finished_; }

    // The values read from the inputs' texts.
    std::int16_t Width() const { return width_; }
    std::int16_t Height() const { return height_; }
    std::int16_t ScaleWidth() const { return scaleWidth_; }
    std::int16_t ScaleHeight() const { return scaleHeight_; }

    // Working state.
    std::int32_t CellColumn() const { return cellColumn_; }
    std::int32_t CellRow() const { return cellRow_; }
    std::int16_t CurrentLine() const { return currentLine_; }
    std::int16_t LetterIndex() const { return letterIndex_; }

    // The art text produced so far; the whole art text once finished.
    const std::string& ArtText() const;
    // Hands the art text over, leaving the engine's copy empty.
    std::string TakeArtText();

    // Lines the art text will have, and cells per line: for reserving and
    // for showing the size. 0 when the scale (below 1) never ends them.
    std::int64_t ExpectedLines() const;
    std::int64_t ExpectedCellsPerLine() const;

private:
    // Cells are first written into a small fixed buffer with copies of fixed
    // size (no call, no size-dependent branching per cell) and go into art_
    // a few kilobytes at a time; every read of the art text takes them in.
    static constexpr std::size_t kPendingFlushAt = 4096;
    static constexpr std::size_t kSlotSize = 16;     // ramp texts up to this long
    static constexpr std::size_t kLetterSlot = 8;    // one UTF-8 character or "&amp;"
    static constexpr std::size_t kPendingSlack = 64; // one cell and a line end

    void AppendSignCell(Colour colour);
    void AppendColouredCell(Colour colour);
    void FlushPending() const;
    void Emit(std::string_view text) const;
    void ReserveArtText();

    ConversionInputs inputs_;
    const PixelSource* picture_;
    std::int16_t width_ = 0;
    std::int16_t height_ = 0;
    std::int16_t scaleWidth_ = 0;
    std::int16_t scaleHeight_ = 0;
    std::int32_t cellColumn_ = 0;
    std::int32_t cellRow_ = 0;
    std::int16_t currentLine_ = 0;
    std::int16_t letterIndex_ = 0;
    bool finished_ = false;
    mutable std::string art_;
    ArtSink sink_;
    mutable std::size_t pendingSize_ = 0;
    mutable std::array<char, kPendingFlushAt + kPendingSlack> pending_{};

    // Sign mode: the ramp box of every grey level; each box's text padded
    // into a slot; the last colour seen with its box (neighbouring pixels
    // often share a colour).
    std::array<std::uint8_t, 256> rampOfLevel_{};
    std::array<std::array<char, kSlotSize>, 9> rampSlots_{};
    std::array<std::uint32_t, 9> rampSizes_{};
    Colour lastColour_ = 0;
    std::uint8_t lastRamp_ = 0;
    // Coloured mode: the word's letters padded into slots (only the first
    // 32767 matter; LetterIndex cannot go further), their sizes in bytes,
    // the word's length in letters, and the last colour's code.
    std::vector<std::array<char, kLetterSlot>> letterSlots_;
    std::vector<std::uint8_t> letterSizes_;
    std::int64_t wordLength_ = 0;
    std::array<char, 8> lastCode_{'0', '0', '0', '0', '0', '0', 0, 0};
};

} // namespace glimmora
