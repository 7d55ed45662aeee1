#pragma once

// The converter's options: one table that the parser reads, and from which
// both `--help` and the manual page glimmora-convert(1) are written, so the
// three never disagree. Standard C++ only: the manual page is made at build
// time by a small program that links just this.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CellArt.h"
#include "core/Format.h"

namespace glimmora {

// What the converter writes: one of the wizard's four documents, the art
// as UTF-8 text with LF line ends for terminals and Linux tools, an
// animated GIF of the art, or a PNG picture of one of these.
enum class ConvertFormat { Clean, Rtf, Html, HtmlColor, Text, Gif, Png };

// The wizard's format of a document; none for Text and Gif.
std::optional<OutputFormat> DocumentFormatOf(ConvertFormat format);

// The extension a document written beside its picture gets (".txt" for
// clean and text, ".rtf", ".html", ".gif", ".png").
std::string ExtensionOf(ConvertFormat format);

// One run as its arguments ask for it. File names are the system's bytes,
// as given; nothing is decoded.
struct ConvertRequest {
    std::vector<std::string> pictures;     // "-" is standard input
    std::optional<std::string> outputPath; // "-" is standard output
    std::optional<ConvertFormat> format;   // none: -o's extension or the default
    std::optional<ConvertFormat> art;      // png: the art it shows (never Png)
    std::optional<std::string> scaleAcross;
    std::optional<std::string> scaleDown;
    std::optional<int> columns;
    std::optional<int> rows;
    std::array<std::optional<std::string>, 9> ramp; // none: the format's default
    bool invert = false;
    bool colour = false;
    std::string word;
    std::optional<std::string> fontFace;
    std::optional<std::string> fontSize;
    std::optional<std::string> backgroundColorCode; // six uppercase hex digits
    // Terminal text drawn in cells: none given keeps a pipe's text as the
    // nine bands of the clean text.
    std::optional<ColourDepth> colourDepth;
    std::optional<CellSymbols> symbols;
    bool fill = false;
    std::optional<int> frame; // counting from 1; none: the first, or all where they play
    std::optional<int> loop;  // times played; 0 for ever; none: as the file says
    bool animate = false;     // HTML: every frame, shown in turn
};

struct ParsedArguments {
    enum class Action { Convert, Help, Version, UsageError };
    Action action = Action::Convert;
    ConvertRequest request;
    std::string error; // for UsageError: one sentence
};

// Reads the arguments (without the program name).
ParsedArguments ParseConvertArguments(const std::vector<std::string>& args);

enum class OptionId {
    Output,
    Format,
    Art,
    Scale,
    Columns,
    Rows,
    Chars,
    RampBox,
    Invert,
    Colour,
    Colours,
    Symbols,
    Fill,
    Word,
    FontFace,
    FontSize,
    Background,
    Frame,
    Loop,
    Animate,
    Help,
    Version,
};

// One option as the table holds it.
struct OptionInfo {
    OptionId id;
    std::string_view shortName; // "-o", or empty
    std::string_view longName;  // "--output"
    std::string_view valueName; // "FILE"; empty for an option without a value
    // What it does, one paragraph. Empty for an option listed with the one
    // before it under shownAs (the ramp boxes between black and white).
    std::string_view help;
    std::string_view shownAs = {}; // the names as listed, when not the usual
    int rampBox = -1;              // RampBox: 0 (--black) .. 8 (--white)
};

std::span<const OptionInfo> ConvertOptionTable();

std::string ConvertUsageText();
// The manual page, glimmora-convert(1), in man's roff.
std::string ConvertManPage();
inline constexpr const char* kConvertVersionText = "glimmora-convert 2.0";

} // namespace glimmora
