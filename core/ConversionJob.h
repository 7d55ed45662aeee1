#pragma once

#include <array>
#include <cstdint>
#include <string>

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
// Art text: every line of cells is followed by one CR (13), the last line
// too, with no LF. In coloured mode a cell is <font color="#RRGGBB">L</font>
// with the letters of the word running on across lines.
class ConversionEngine {
public:
    // The picture must outlive the engine. A null picture reads as invalid
    // colour everywhere.
    ConversionEngine(ConversionInputs inputs, const PixelSource* picture);

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
    const std::string& ArtText() const { return art_; }
    // Hands the art text over, leaving the engine's copy empty.
    std::string TakeArtText();

    // Lines the art text will have, and cells per line: for reserving.
    std::int64_t ExpectedLines() const;
    std::int64_t ExpectedCellsPerLine() const;

private:
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
    std::string art_;
};

} // namespace glimmora
