#include "ConvertOptions.h"

// Reading the arguments: each option's value checked as the table names it,
// then the pictures given checked together.

#include <algorithm>
#include <utility>

namespace glimmora {

namespace {

constexpr int kLargestStep = 32767;

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

constexpr std::array<std::pair<std::string_view, CellSymbols>, 6> kSymbolsNames{{
    {"ascii", CellSymbols::Ascii},
    {"blocks", CellSymbols::Blocks},
    {"quadrants", CellSymbols::Quadrants},
    {"braille", CellSymbols::Braille},
    {"shapes", CellSymbols::Shapes},
    {"mosaic", CellSymbols::Mosaic},
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
    for (const OptionInfo& option : ConvertOptionTable()) {
        if (name == option.longName || (!option.shortName.empty() && name == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

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
                                  "\"; use ascii, blocks, quadrants, braille, shapes or mosaic.");
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

} // namespace glimmora
