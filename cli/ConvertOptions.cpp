#include "ConvertOptions.h"

// The option table and the formats' names and extensions; --help, the
// manual page and the parser all read the table.

namespace glimmora {

namespace {

constexpr std::string_view kBetweenBands = "the signs of the bands in between";

constexpr std::array<OptionInfo, 32> kOptions = {{
    {OptionId::Output, "-o", "--output", "FILE",
     "write the document to FILE (\"-\": standard output), replacing it once all of it is "
     "written; a folder (one that exists, a name ending in \"/\", or any name when several "
     "pictures are given) is made if missing and gets each picture's document"},
    {OptionId::Format, "-f", "--format", "FORMAT",
     "clean, rtf, html, html-color, text: the art as UTF-8 text with LF line ends, gif: "
     "the cell art as a GIF picture, a frame for each of the picture's (80 columns unless "
     "--columns, --rows or -s say), or png: a picture of the art as --art shows it; without "
     "it, -o's extension decides (.txt clean, .rtf rtf, .html or .htm html, .gif gif, .png "
     "png), else rtf (in a terminal: coloured text)"},
    {OptionId::Art, "", "--art", "FORMAT",
     "png: the art the picture shows, drawn as a reader sees it: clean or rtf (black signs on "
     "white, in the font), html or html-color (as a browser shows the page), or text (a "
     "terminal's cells in DejaVu Sans Mono, coloured with --color); default: text with "
     "--color, html-color with --word, else rtf"},
    {OptionId::Scale, "-s", "--scale", "WxH",
     "picture pixels per sign across and per line down, whole numbers 1 to 32767; proposed "
     "from the picture's size and the format when not given"},
    {OptionId::Columns, "", "--columns", "N",
     "at most N signs a line: the smallest step across that gives it, and twice that step "
     "down unless -s gives the step down; text drawn in cells: at most N columns"},
    {OptionId::Rows, "", "--rows", "N",
     "text drawn in cells: at most N lines; with --columns too, the largest art inside both "
     "(in a terminal, without -s, --columns or --rows, the art fits the terminal's columns and "
     "its lines less one)"},
    {OptionId::Chars, "", "--chars", "TEXT",
     "nine characters, darkest first, one for each of the nine brightness bands; with the "
     "single band options below, the later option wins"},
    {OptionId::RampBox, "", "--black", "TEXT", "the signs of the darkest band", {}, 0},
    {OptionId::RampBox, "", "--color2", "TEXT", kBetweenBands, "--color2 TEXT ... --color8 TEXT",
     1},
    {OptionId::RampBox, "", "--color3", "TEXT", {}, {}, 2},
    {OptionId::RampBox, "", "--color4", "TEXT", {}, {}, 3},
    {OptionId::RampBox, "", "--color5", "TEXT", {}, {}, 4},
    {OptionId::RampBox, "", "--color6", "TEXT", {}, {}, 5},
    {OptionId::RampBox, "", "--color7", "TEXT", {}, {}, 6},
    {OptionId::RampBox, "", "--color8", "TEXT", {}, {}, 7},
    {OptionId::RampBox,
     "",
     "--white",
     "TEXT",
     "the signs of the lightest band (defaults: 9 = u e ;; :: ,, .. and two blanks; for "
     "clean and text: 9 = u e ; : , . and one blank)",
     {},
     8},
    {OptionId::Invert, "", "--invert", "",
     "reverse the nine bands' signs; text drawn in cells: the art of the picture's negative"},
    {OptionId::Colour, "", "--color", "",
     "text: each sign in the 24-bit colour of its pixel (implies -f text when -f is not "
     "given)"},
    {OptionId::Colours, "", "--colors", "MODE",
     "none, 16, 256 or full: draws the text in cells in so many colours; without it none "
     "when NO_COLOR is set or TERM is dumb, full when COLORTERM is truecolor or 24bit, 256 when "
     "TERM ends in 256color, else 16 (full with --color)"},
    {OptionId::Symbols, "", "--symbols", "MODE",
     "ascii (the nine bands), blocks (two pixels a cell), quadrants (2 x 2), braille (2 x 4 "
     "dots), shapes (the ASCII sign whose shape fits the cell best) or mosaic (every block "
     "sign: quadrants, halves and eighths): the signs of text drawn in cells"},
    {OptionId::Fill, "", "--fill", "",
     "text drawn in cells: each cell gets a background colour too, chosen with its sign and "
     "ink to look most like its part of the picture"},
    {OptionId::Word, "", "--word", "TEXT",
     "html-color, and text with --color: the word whose letters build the picture"},
    {OptionId::FontFace, "", "--font-face", "TEXT",
     "rtf, html and png: the font (default Arial; Tahoma for html-color; DejaVu Sans Mono for "
     "png of text)"},
    {OptionId::FontSize, "", "--font-size", "TEXT",
     "rtf, html and png: the size in points (default 5; 8 for html-color; 10 for png of text); "
     "a picture is drawn at 96 dots per inch"},
    {OptionId::Background, "", "--background", "COLOUR",
     "RRGGBB, dark (000000) or light (FFFFFF). html: the page's colour (default FFFFFF for "
     "html, 000000 for html-color). Text: the terminal's, so that light signs go on a dark "
     "background and dark on a light one (default: asked of the terminal, else read from "
     "COLORFGBG, else dark). png: the picture's (as for html and text; a png of clean or rtf "
     "is black on white unless given)"},
    {OptionId::Frame, "", "--frame", "N",
     "convert frame N of an animated picture (counting from 1), composed as it is shown, "
     "instead of the first or all of them"},
    {OptionId::Loop, "", "--loop", "N",
     "play the frames N times in all, 0 for ever, instead of as the file says (terminal, "
     "--animate and gif)"},
    {OptionId::Animate, "", "--animate", "",
     "html and html-color: every frame's art in one document, shown in turn at the file's "
     "pace by CSS animation; a browser without it shows the first"},
    {OptionId::Help, "-h", "--help", "", "show this help and exit"},
    {OptionId::Version, "", "--version", "", "show the version and exit"},
}};

} // namespace

std::optional<OutputFormat> DocumentFormatOf(ConvertFormat format) {
    switch (format) {
    case ConvertFormat::Clean:
        return OutputFormat::CleanText;
    case ConvertFormat::Rtf:
        return OutputFormat::Rtf;
    case ConvertFormat::Html:
        return OutputFormat::HtmlText;
    case ConvertFormat::HtmlColor:
        return OutputFormat::HtmlColoredText;
    case ConvertFormat::Text:
    case ConvertFormat::Gif:
    case ConvertFormat::Png:
        break;
    }
    return std::nullopt;
}

std::string ExtensionOf(ConvertFormat format) {
    switch (format) {
    case ConvertFormat::Rtf:
        return ".rtf";
    case ConvertFormat::Html:
    case ConvertFormat::HtmlColor:
        return ".html";
    case ConvertFormat::Gif:
        return ".gif";
    case ConvertFormat::Png:
        return ".png";
    case ConvertFormat::Clean:
    case ConvertFormat::Text:
        break;
    }
    return ".txt";
}

std::span<const OptionInfo> ConvertOptionTable() {
    return kOptions;
}

} // namespace glimmora
