#include "ConvertOptions.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace glimmora {

namespace {

constexpr int kLargestStep = 32767;

constexpr std::string_view kSynopsis = "[options] PICTURE...";
constexpr std::string_view kSummary =
    "Turns pictures into ASCII art: the clean text, RTF and HTML documents of the wizard's "
    "Save, byte for byte, or UTF-8 text for terminals and other programs.";
// Said in --help and in the manual page's description.
constexpr std::array<std::string_view, 4> kDescription = {
    "A PICTURE of \"-\" is read from standard input. The document of one picture goes to "
    "standard output unless -o names a file. With several pictures each document is written "
    "beside its picture, or into the folder -o names, named after the picture with the format's "
    "extension (photo.jpg gives photo.rtf); a picture that fails does not stop the others.",
    "When standard output is a terminal and neither -f nor -o is given, the art is written as "
    "text drawn in cells: fitted to the terminal unless -s, --columns or --rows is given, "
    "positive on its background and in as many colours as it shows. Text to a pipe or file is "
    "drawn in cells too when --colors, --symbols, --fill or --rows is given; otherwise pipes "
    "and files get the wizard's defaults.",
    "A file is replaced only once the whole document is written: a failure, or Ctrl-C and "
    "the like, leaves it as it was; its attributes and access lists are kept. A link is "
    "followed and kept; a device, a pipe or /dev/stdout is written into. An option the "
    "format does not use is said to be ignored.",
    "An animated GIF or WebP (or MNG) plays in a terminal, each frame drawn over the last at "
    "the file's pace, until its last loop ends or q or Ctrl-C stops it; anything else gets one "
    "frame, the first unless --frame says. --animate puts every frame in an HTML document, and "
    "a GIF written (-f gif or -o NAME.gif) has every frame of the art with the file's delays "
    "and loops.",
};
constexpr std::string_view kExitStatus =
    "Exit status: 0 when every document was written, 1 when a picture cannot be read or a "
    "document cannot be written (the other pictures are still converted), 2 when the "
    "arguments are wrong.";
constexpr std::array<std::string_view, 12> kExamples = {
    "glimmora-convert photo.jpg",
    "glimmora-convert --fill photo.jpg",
    "glimmora-convert --fill --symbols shapes --colors 256 photo.jpg",
    "glimmora-convert --fill --symbols blocks --rows 30 photo.jpg",
    "glimmora-convert --symbols quadrants --background light photo.jpg",
    "NO_COLOR=1 glimmora-convert --symbols braille photo.jpg",
    "glimmora-convert photo.jpg -o photo.rtf",
    "glimmora-convert -f html-color --word GLIMMORA -o art/ *.png",
    "glimmora-convert -f text --columns 80 --invert photo.jpg > photo.txt",
    "glimmora-convert - -f clean -o - < photo.png",
    "glimmora-convert --loop 2 animation.gif",
    "glimmora-convert animation.gif --animate -f html-color -o animation.html",
};

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
     "dots) or shapes (the ASCII sign whose shape fits the cell best): the signs of text drawn "
     "in cells"},
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

std::optional<ConvertFormat> FormatNamed(std::string_view name) {
    if (name == "clean") {
        return ConvertFormat::Clean;
    }
    if (name == "rtf") {
        return ConvertFormat::Rtf;
    }
    if (name == "html") {
        return ConvertFormat::Html;
    }
    if (name == "html-color") {
        return ConvertFormat::HtmlColor;
    }
    if (name == "text") {
        return ConvertFormat::Text;
    }
    if (name == "gif") {
        return ConvertFormat::Gif;
    }
    if (name == "png") {
        return ConvertFormat::Png;
    }
    return std::nullopt;
}

// The value a name stands for in a table of names.
template <typename Value, std::size_t Count>
std::optional<Value> Named(std::string_view name,
                           const std::array<std::pair<std::string_view, Value>, Count>& names) {
    for (const auto& [known, value] : names) {
        if (name == known) {
            return value;
        }
    }
    return std::nullopt;
}

constexpr std::array<std::pair<std::string_view, ColourDepth>, 4> kDepthNames{{
    {"none", ColourDepth::None},
    {"16", ColourDepth::Sixteen},
    {"256", ColourDepth::TwoFiftySix},
    {"full", ColourDepth::Full},
}};

constexpr std::array<std::pair<std::string_view, CellSymbols>, 5> kSymbolsNames{{
    {"ascii", CellSymbols::Ascii},
    {"blocks", CellSymbols::Blocks},
    {"quadrants", CellSymbols::Quadrants},
    {"braille", CellSymbols::Braille},
    {"shapes", CellSymbols::Shapes},
}};

// A step as the scale option takes it: digits only, 1 to 32767.
std::optional<int> ReadStep(std::string_view text) {
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const long value = std::stol(std::string(text));
    if (value < 1 || value > kLargestStep) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// A count as --loop takes it: digits only, 0 to 32767.
std::optional<int> ReadCount(std::string_view text) {
    return text == "0" ? std::optional<int>(0) : ReadStep(text);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The characters of a text as the engine counts a word's letters: UTF-8
// characters, a byte that starts none being a character of its own.
std::vector<std::string> Characters(std::string_view text) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t size = lead >= 0xF0 && lead <= 0xF4   ? 4
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                                                          : 1;
        if (at + size > text.size()) {
            size = 1;
        }
        for (std::size_t i = 1; i < size; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
                size = 1;
            }
        }
        characters.emplace_back(text.substr(at, size));
        at += size;
    }
    return characters;
}

ParsedArguments UsageError(std::string message) {
    ParsedArguments parsed;
    parsed.action = ParsedArguments::Action::UsageError;
    parsed.error = std::move(message);
    return parsed;
}

const OptionInfo* OptionNamed(std::string_view name) {
    for (const OptionInfo& option : kOptions) {
        if (name == option.longName || (!option.shortName.empty() && name == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

// Words filled into lines of at most width columns, each after indent blanks.
std::string Filled(std::string_view text, std::size_t indent, std::size_t width,
                   std::size_t firstColumn) {
    std::string out;
    std::size_t column = firstColumn;
    bool lineHasWords = false;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (lineHasWords && column + 1 + word.size() > width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
            lineHasWords = false;
        }
        if (lineHasWords) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineHasWords = true;
    }
    return out + '\n';
}

std::string ShownNames(const OptionInfo& option) {
    if (!option.shownAs.empty()) {
        return std::string(option.shownAs);
    }
    std::string names = std::string(option.longName);
    if (!option.valueName.empty()) {
        names += ' ';
        names += option.valueName;
    }
    return names;
}

// Text for roff: backslashes and hyphens as roff writes them, and no line
// that roff would take for a request.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

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

ParsedArguments ParseConvertArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    ConvertRequest& request = parsed.request;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            request.pictures.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        // "--name value", "--name=value" or "-x value".
        std::string name = arg;
        std::optional<std::string> value;
        if (arg.starts_with("--")) {
            if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
            }
        }
        const OptionInfo* option = OptionNamed(name);
        if (option == nullptr) {
            return UsageError("Unknown option \"" + arg + "\" (see --help).");
        }
        if (option->valueName.empty()) {
            if (value) {
                return UsageError("The option " + name + " takes no value.");
            }
        } else if (!value) {
            if (i + 1 >= args.size()) {
                return UsageError("The option " + name + " needs a value (see --help).");
            }
            value = args[++i];
        }

        switch (option->id) {
        case OptionId::Help:
            parsed.action = ParsedArguments::Action::Help;
            return parsed;
        case OptionId::Version:
            parsed.action = ParsedArguments::Action::Version;
            return parsed;
        case OptionId::Output:
            if (value->empty()) {
                return UsageError("The output file name is empty.");
            }
            request.outputPath = *value;
            break;
        case OptionId::Format:
            request.format = FormatNamed(*value);
            if (!request.format) {
                return UsageError("Unknown format \"" + *value +
                                  "\"; use clean, rtf, html, html-color, text, gif or png.");
            }
            break;
        case OptionId::Art:
            request.art = FormatNamed(*value);
            if (!request.art || *request.art == ConvertFormat::Png) {
                return UsageError("Unknown art \"" + *value +
                                  "\"; use clean, rtf, html, html-color or text.");
            }
            break;
        case OptionId::Scale: {
            const std::size_t x = value->find_first_of("xX");
            std::optional<int> across;
            std::optional<int> down;
            if (x != std::string::npos) {
                across = ReadStep(std::string_view(*value).substr(0, x));
                down = ReadStep(std::string_view(*value).substr(x + 1));
            }
            if (!across || !down) {
                return UsageError("The scale \"" + *value +
                                  "\" is not two whole numbers from 1 to 32767 like 2x4.");
            }
            request.scaleAcross = std::to_string(*across);
            request.scaleDown = std::to_string(*down);
            break;
        }
        case OptionId::Columns:
            request.columns = ReadStep(*value);
            if (!request.columns) {
                return UsageError("The columns \"" + *value +
                                  "\" are not a whole number from 1 to 32767.");
            }
            break;
        case OptionId::Chars: {
            const std::vector<std::string> characters = Characters(*value);
            if (characters.size() != request.ramp.size()) {
                return UsageError("--chars takes exactly nine characters, darkest first; \"" +
                                  *value + "\" has " + std::to_string(characters.size()) + ".");
            }
            std::copy(characters.begin(), characters.end(), request.ramp.begin());
            break;
        }
        case OptionId::RampBox:
            request.ramp[static_cast<std::size_t>(option->rampBox)] = *value;
            break;
        case OptionId::Invert:
            request.invert = true;
            break;
        case OptionId::Colour:
            request.colour = true;
            break;
        case OptionId::Word:
            request.word = *value;
            break;
        case OptionId::FontFace:
            request.fontFace = *value;
            break;
        case OptionId::FontSize:
            request.fontSize = *value;
            break;
        case OptionId::Rows:
            request.rows = ReadStep(*value);
            if (!request.rows) {
                return UsageError("The rows \"" + *value +
                                  "\" are not a whole number from 1 to 32767.");
            }
            break;
        case OptionId::Colours:
            request.colourDepth = Named(*value, kDepthNames);
            if (!request.colourDepth) {
                return UsageError("Unknown colors \"" + *value + "\"; use none, 16, 256 or full.");
            }
            break;
        case OptionId::Symbols:
            request.symbols = Named(*value, kSymbolsNames);
            if (!request.symbols) {
                return UsageError("Unknown symbols \"" + *value +
                                  "\"; use ascii, blocks, quadrants, braille or shapes.");
            }
            break;
        case OptionId::Fill:
            request.fill = true;
            break;
        case OptionId::Background: {
            if (*value == "dark" || *value == "light") {
                request.backgroundColorCode = *value == "dark" ? "000000" : "FFFFFF";
                break;
            }
            if (value->size() != 6 || !std::all_of(value->begin(), value->end(), IsHexDigit)) {
                return UsageError("The background \"" + *value +
                                  "\" is not dark, light or six hexadecimal digits like FFFFFF.");
            }
            std::string code = *value;
            std::transform(code.begin(), code.end(), code.begin(), Upper);
            request.backgroundColorCode = code;
            break;
        }
        case OptionId::Frame:
            request.frame = ReadStep(*value);
            if (!request.frame) {
                return UsageError("The frame \"" + *value +
                                  "\" is not a whole number from 1 to 32767.");
            }
            break;
        case OptionId::Loop:
            request.loop = ReadCount(*value);
            if (!request.loop) {
                return UsageError("The loop count \"" + *value +
                                  "\" is not a whole number from 0 to 32767.");
            }
            break;
        case OptionId::Animate:
            request.animate = true;
            break;
        }
    }

    if (request.pictures.empty()) {
        return UsageError("No picture given (see --help).");
    }
    if (std::any_of(request.pictures.begin(), request.pictures.end(),
                    [](const std::string& picture) { return picture.empty(); })) {
        return UsageError("A picture file name is empty.");
    }
    if (request.pictures.size() > 1) {
        if (std::find(request.pictures.begin(), request.pictures.end(), "-") !=
            request.pictures.end()) {
            return UsageError("Standard input (\"-\") can only be converted on its own.");
        }
        if (request.outputPath == "-") {
            return UsageError("With several pictures -o must be a folder, not standard output.");
        }
    }
    return parsed;
}

std::string ConvertUsageText() {
    constexpr std::size_t kWidth = 79;
    constexpr std::size_t kHelpColumn = 25;
    std::string text = "Usage: glimmora-convert " + std::string(kSynopsis) + "\n";
    text += Filled(kSummary, 0, kWidth, 0);
    for (const std::string_view paragraph : kDescription) {
        text += '\n';
        text += Filled(paragraph, 0, kWidth, 0);
    }
    text += "\nOptions:\n";
    for (const OptionInfo& option : kOptions) {
        if (option.help.empty()) {
            continue;
        }
        std::string left = option.shortName.empty() ? std::string("      ")
                                                    : "  " + std::string(option.shortName) + ", ";
        left += ShownNames(option);
        if (left.size() + 1 >= kHelpColumn) {
            text += left + "\n" + std::string(kHelpColumn, ' ');
        } else {
            text += left + std::string(kHelpColumn - left.size(), ' ');
        }
        text += Filled(option.help, kHelpColumn, kWidth, kHelpColumn);
    }
    text += '\n';
    text += Filled(kExitStatus, 0, kWidth, 0);
    return text;
}

std::string ConvertManPage() {
    // Built by appending pieces: GCC 12 warns falsely (-Wrestrict) about
    // literal + string here.
    std::string page;
    const auto add = [&page](std::initializer_list<std::string_view> pieces) {
        for (const std::string_view piece : pieces) {
            page.append(piece);
        }
    };
    add({".TH GLIMMORA-CONVERT 1 \"\" \"", kConvertVersionText, "\" \"User Commands\"\n",
         ".SH NAME\nglimmora\\-convert \\- turn pictures into ASCII art\n",
         ".SH SYNOPSIS\n.B glimmora\\-convert\n", Roff(kSynopsis), "\n.SH DESCRIPTION\n",
         Roff(kSummary), "\n"});
    for (const std::string_view paragraph : kDescription) {
        add({".PP\n", Roff(paragraph), "\n"});
    }
    add({".SH OPTIONS\n"});
    for (const OptionInfo& option : kOptions) {
        if (option.help.empty()) {
            continue;
        }
        add({".TP\n"});
        if (!option.shortName.empty()) {
            add({"\\fB", Roff(option.shortName), "\\fR, "});
        }
        // The names in bold, the value names in italics.
        const std::string shown = ShownNames(option);
        std::string_view rest = shown;
        bool first = true;
        while (!rest.empty()) {
            const std::size_t space = rest.find(' ');
            const std::string_view word = rest.substr(0, space);
            rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
            add({first ? "" : " "});
            first = false;
            if (word.starts_with("--")) {
                add({"\\fB", Roff(word), "\\fR"});
            } else if (word == "...") {
                add({word});
            } else {
                add({"\\fI", Roff(word), "\\fR"});
            }
        }
        add({"\n", Roff(option.help), "\n"});
    }
    add({".SH \"EXIT STATUS\"\n", Roff(kExitStatus), "\n.SH EXAMPLES\n.nf\n"});
    for (const std::string_view example : kExamples) {
        add({Roff(example), "\n"});
    }
    add({".fi\n"});
    return page;
}

} // namespace glimmora
