#include "ConvertOptions.h"

// --help and the manual page, both written from the option table.

#include <initializer_list>

namespace glimmora {

namespace {

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
constexpr std::array<std::string_view, 13> kExamples = {
    "glimmora-convert photo.jpg",
    "glimmora-convert --fill photo.jpg",
    "glimmora-convert --fill --symbols shapes --colors 256 photo.jpg",
    "glimmora-convert --fill --symbols blocks --rows 30 photo.jpg",
    "glimmora-convert --symbols quadrants --background light photo.jpg",
    "glimmora-convert --fill --symbols mosaic photo.jpg",
    "NO_COLOR=1 glimmora-convert --symbols braille photo.jpg",
    "glimmora-convert photo.jpg -o photo.rtf",
    "glimmora-convert -f html-color --word GLIMMORA -o art/ *.png",
    "glimmora-convert -f text --columns 80 --invert photo.jpg > photo.txt",
    "glimmora-convert - -f clean -o - < photo.png",
    "glimmora-convert --loop 2 animation.gif",
    "glimmora-convert animation.gif --animate -f html-color -o animation.html",
};

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
    for (const OptionInfo& option : ConvertOptionTable()) {
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
    for (const OptionInfo& option : ConvertOptionTable()) {
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
