#include "ConvertCommand.h"

#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <string_view>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include "core/ConversionJob.h"
#include "core/Scale.h"
#include "output/Documents.h"
#include "platform/Picture.h"

namespace glimmora {

namespace {

constexpr int kLargestStep = 32767;

// The ramp options, in the order of the boxes on page 3.
constexpr std::array<std::string_view, 9> kRampOptions = {
    "--black",  "--color2", "--color3", "--color4", "--color5",
    "--color6", "--color7", "--color8", "--white",
};

std::optional<OutputFormat> FormatNamed(std::string_view name) {
    if (name == "clean") {
        return OutputFormat::CleanText;
    }
    if (name == "rtf") {
        return OutputFormat::Rtf;
    }
    if (name == "html") {
        return OutputFormat::HtmlText;
    }
    if (name == "html-color") {
        return OutputFormat::HtmlColoredText;
    }
    return std::nullopt;
}

// A step as the scale option takes it: digits only, 1 to 32767.
std::optional<std::string> ReadStep(std::string_view text) {
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const long value = std::stol(std::string(text));
    if (value < 1 || value > kLargestStep) {
        return std::nullopt;
    }
    return std::to_string(value);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

ParsedArguments UsageError(std::string message) {
    ParsedArguments parsed;
    parsed.action = ParsedArguments::Action::UsageError;
    parsed.error = std::move(message);
    return parsed;
}

void Print(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

// One line on the error stream, prefixed with the program's name.
int Fail(std::FILE* err, int code, const std::string& message) {
    Print(err, "glimmora-convert: " + message + "\n");
    std::fflush(err);
    return code;
}

// While it lives, whatever is written to the process's error stream goes
// nowhere. The PNG decoder prints its own complaint about a damaged file
// there, beside Qt's message system; the converter says it in one line of
// its own.
class SilencedErrorStream {
public:
    SilencedErrorStream() {
#ifdef Q_OS_UNIX
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) {
            ::dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            ::close(null);
        }
#endif
    }
    ~SilencedErrorStream() {
#ifdef Q_OS_UNIX
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
#endif
    }
    SilencedErrorStream(const SilencedErrorStream&) = delete;
    SilencedErrorStream& operator=(const SilencedErrorStream&) = delete;

private:
    int saved_ = -1;
};

PictureLoadResult LoadQuietly(const std::string& path) {
    const SilencedErrorStream silence;
    return LoadPictureFile(QString::fromStdString(path));
}

} // namespace

StyleDefaults StyleDefaultsFor(OutputFormat format) {
    // The values page 3 starts with; ShowStep3 then writes the format's own.
    StyleDefaults defaults{
        {"9", "=", "u", "e", ";;", "::", ",,", "..", "  "}, "Tahoma", "8", "000000"};
    switch (format) {
    case OutputFormat::HtmlColoredText:
        defaults.fontSize = "8";
        defaults.fontFace = "Tahoma";
        defaults.backgroundColorCode = "000000";
        break;
    case OutputFormat::HtmlText:
        defaults.fontSize = "5";
        defaults.fontFace = "Arial";
        defaults.backgroundColorCode = "FFFFFF";
        break;
    case OutputFormat::Rtf:
        defaults.fontSize = "5";
        defaults.fontFace = "Arial";
        break;
    case OutputFormat::CleanText:
        // Built whole and moved in: GCC 12 warns falsely (-Wrestrict) about
        // assigning these one-letter literals once this function is inlined.
        defaults.ramp[4] = std::string(";");
        defaults.ramp[5] = std::string(":");
        defaults.ramp[6] = std::string(",");
        defaults.ramp[7] = std::string(".");
        defaults.ramp[8] = std::string(" ");
        break;
    }
    return defaults;
}

ParsedArguments ParseConvertArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    ConvertRequest& request = parsed.request;
    bool havePicture = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (havePicture) {
                return UsageError("Only one picture can be converted at a time; \"" + arg +
                                  "\" is a second one.");
            }
            request.picturePath = arg;
            havePicture = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.action = ParsedArguments::Action::Help;
            return parsed;
        }
        if (arg == "--version") {
            parsed.action = ParsedArguments::Action::Version;
            return parsed;
        }

        // Every other option takes a value: "--name value" or "--name=value".
        std::string name = arg;
        std::optional<std::string> value;
        if (arg.starts_with("--")) {
            if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
            }
        }
        const auto ramp = std::find(kRampOptions.begin(), kRampOptions.end(), name);
        const bool known = name == "-o" || name == "--output" || name == "-f" ||
                           name == "--format" || name == "-s" || name == "--scale" ||
                           name == "--word" || name == "--font-face" || name == "--font-size" ||
                           name == "--background" || ramp != kRampOptions.end();
        if (!known) {
            return UsageError("Unknown option \"" + arg + "\" (see --help).");
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return UsageError("The option " + name + " needs a value (see --help).");
            }
            value = args[++i];
        }

        if (name == "-o" || name == "--output") {
            if (value->empty()) {
                return UsageError("The output file name is empty.");
            }
            request.outputPath = *value;
        } else if (name == "-f" || name == "--format") {
            const std::optional<OutputFormat> format = FormatNamed(*value);
            if (!format) {
                return UsageError("Unknown format \"" + *value +
                                  "\"; use clean, rtf, html or html-color.");
            }
            request.format = *format;
        } else if (name == "-s" || name == "--scale") {
            const std::size_t x = value->find_first_of("xX");
            std::optional<std::string> across;
            std::optional<std::string> down;
            if (x != std::string::npos) {
                across = ReadStep(std::string_view(*value).substr(0, x));
                down = ReadStep(std::string_view(*value).substr(x + 1));
            }
            if (!across || !down) {
                return UsageError("The scale \"" + *value +
                                  "\" is not two whole numbers from 1 to 32767 like 2x4.");
            }
            request.scaleAcross = across;
            request.scaleDown = down;
        } else if (name == "--word") {
            request.word = *value;
        } else if (name == "--font-face") {
            request.fontFace = *value;
        } else if (name == "--font-size") {
            request.fontSize = *value;
        } else if (name == "--background") {
            if (value->size() != 6 || !std::all_of(value->begin(), value->end(), IsHexDigit)) {
                return UsageError("The background \"" + *value +
                                  "\" is not six hexadecimal digits like FFFFFF.");
            }
            std::string code = *value;
            std::transform(code.begin(), code.end(), code.begin(), Upper);
            request.backgroundColorCode = code;
        } else {
            request.ramp[static_cast<std::size_t>(ramp - kRampOptions.begin())] = *value;
        }
    }
    if (!havePicture) {
        return UsageError("No picture given (see --help).");
    }
    if (request.picturePath.empty()) {
        return UsageError("The picture file name is empty.");
    }
    return parsed;
}

std::string ConvertUsageText() {
    return "Usage: glimmora-convert PICTURE [options]\n"
           "Turns a picture into ASCII art: a clean text, RTF or HTML document.\n"
           "\n"
           "Options:\n"
           "  -o, --output FILE      write the document to FILE, replacing it; without\n"
           "                         this option the document goes to standard output\n"
           "  -f, --format FORMAT    clean, rtf (the default), html or html-color\n"
           "  -s, --scale WxH        picture pixels per sign across and per line down,\n"
           "                         whole numbers 1 to 32767; proposed from the\n"
           "                         picture's size and the format when not given\n"
           "      --black TEXT       the signs of the darkest of nine brightness bands\n"
           "      --color2 TEXT ... --color8 TEXT\n"
           "                         the signs of the bands in between\n"
           "      --white TEXT       the signs of the lightest band\n"
           "                         (defaults: 9 = u e ;; :: ,, .. and two blanks;\n"
           "                         for clean: 9 = u e ; : , . and one blank)\n"
           "      --word TEXT        html-color: the word whose letters build the picture\n"
           "      --font-face TEXT   rtf and html: the font (default Arial; Tahoma for\n"
           "                         html-color)\n"
           "      --font-size TEXT   rtf and html: the size in points (default 5; 8 for\n"
           "                         html-color)\n"
           "      --background RRGGBB\n"
           "                         html: the background colour (default FFFFFF for\n"
           "                         html, 000000 for html-color)\n"
           "  -h, --help             show this help and exit\n"
           "      --version          show the version and exit\n"
           "\n"
           "Exit status: 0 when the document was written, 1 when the picture cannot be\n"
           "read or the document cannot be written, 2 when the arguments are wrong.\n";
}

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const ParsedArguments parsed = ParseConvertArguments(args);
    switch (parsed.action) {
    case ParsedArguments::Action::Help:
        Print(out, ConvertUsageText());
        return std::fflush(out) == 0 ? kExitDone : kExitFailed;
    case ParsedArguments::Action::Version:
        Print(out, std::string(kConvertVersionText) + "\n");
        return std::fflush(out) == 0 ? kExitDone : kExitFailed;
    case ParsedArguments::Action::UsageError:
        return Fail(err, kExitUsage, parsed.error);
    case ParsedArguments::Action::Convert:
        break;
    }
    const ConvertRequest& request = parsed.request;

    const PictureLoadResult loaded = LoadQuietly(request.picturePath);
    if (!loaded.picture) {
        return Fail(err, kExitFailed, loaded.error.toStdString());
    }
    const PictureSurface& picture = *loaded.picture;

    // Open the output before the conversion so a bad name is reported at
    // once; the file is only replaced when the whole document is written.
    std::optional<QSaveFile> file;
    if (request.outputPath) {
        file.emplace(QString::fromStdString(*request.outputPath));
        if (!file->open(QIODevice::WriteOnly)) {
            return Fail(err, kExitFailed,
                        *request.outputPath +
                            " cannot be written: " + file->errorString().toStdString() + ".");
        }
    }

    const StyleDefaults defaults = StyleDefaultsFor(request.format);
    ConversionInputs inputs;
    inputs.widthText = std::to_string(picture.Width());
    inputs.heightText = std::to_string(picture.Height());
    if (request.scaleAcross && request.scaleDown) {
        inputs.scaleWidthText = *request.scaleAcross;
        inputs.scaleHeightText = *request.scaleDown;
    } else {
        const ScaleProposal proposal =
            AutoScale(inputs.widthText, inputs.heightText, request.format);
        inputs.scaleWidthText = proposal.across;
        inputs.scaleHeightText = proposal.down;
    }
    inputs.coloured = request.format == OutputFormat::HtmlColoredText;
    for (std::size_t i = 0; i < inputs.ramp.size(); ++i) {
        inputs.ramp[i] = request.ramp[i].value_or(defaults.ramp[i]);
    }
    inputs.word = request.word;

    DocumentStyle style;
    style.backgroundColorCode = request.backgroundColorCode.value_or(defaults.backgroundColorCode);
    style.fontFaceText = request.fontFace.value_or(defaults.fontFace);
    style.fontSizeText = request.fontSize.value_or(defaults.fontSize);

    // The document is written as the art is made: neither the whole art nor
    // the whole document is ever held. A file is only replaced at the commit
    // once all of it is written.
    bool written = true;
    const ByteSink sink = [&](std::string_view piece) {
        if (!written) {
            return;
        }
        if (file) {
            const auto size = static_cast<qint64>(piece.size());
            written = file->write(piece.data(), size) == size;
        } else {
            written = std::fwrite(piece.data(), 1, piece.size(), out) == piece.size();
        }
    };
    DocumentWriter writer(request.format, style, sink);
    ConversionEngine engine(std::move(inputs), &picture);
    engine.SetArtSink([&writer](std::string_view piece) { writer.WriteArt(piece); });
    while (engine.Step() != StepResult::Finished) {
    }
    writer.Finish();

    if (file) {
        if (!written || !file->commit()) {
            return Fail(err, kExitFailed,
                        *request.outputPath +
                            " cannot be written: " + file->errorString().toStdString() + ".");
        }
        return kExitDone;
    }
    if (!written || std::fflush(out) != 0) {
        return Fail(err, kExitFailed, "The document cannot be written to standard output.");
    }
    return kExitDone;
}

} // namespace glimmora
