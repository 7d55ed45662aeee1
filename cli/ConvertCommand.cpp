#include "ConvertCommand.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "Messages.h"
#include "MovingPictures.h"
#include "OutputTarget.h"
#include "PictureArt.h"
#include "PictureInput.h"
#include "TerminalArt.h"
#include "TerminalPlayer.h"
#include "TerminalText.h"
#include "core/ConversionJob.h"
#include "core/Scale.h"
#include "output/Documents.h"
#include "picture/Picture.h"
#include "picture/PictureFrames.h"

namespace glimmora {

namespace {

constexpr int kLargestStep = 32767;

void Print(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

// One line on the error stream, prefixed with the program's name. Names and
// option values in it are shown as file names are: no control character
// reaches the terminal.
int Fail(std::FILE* err, int code, const std::string& message) {
    Print(err, "glimmora-convert: " + ShownName(message) + "\n");
    std::fflush(err);
    return code;
}

// --help and --version: a text that cannot be written is a failure too.
int Answer(std::FILE* out, std::FILE* err, std::string_view text, std::string_view what) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (written && std::fflush(out) == 0) {
        return kExitDone;
    }
    const int error = errno != 0 ? errno : EIO;
    return Fail(err, kExitFailed,
                "The " + std::string(what) + " cannot be written: " + ReasonFor(error) + ".");
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// photo.jpg gives photo.rtf: the picture's name without its extension, then
// the format's.
std::string DocumentNameFor(const std::string& picture, ConvertFormat format) {
    std::string name = NameOf(picture);
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name + ExtensionOf(format);
}

// The document beside its picture, in the picture's folder.
std::string BesidePicture(const std::string& picture, ConvertFormat format) {
    const std::size_t slash = picture.find_last_of('/');
    const std::string name = DocumentNameFor(picture, format);
    return slash == std::string::npos ? name : picture.substr(0, slash + 1) + name;
}

// The format an output file's extension asks for, if any.
std::optional<ConvertFormat> FormatOfName(const std::string& path) {
    const std::string name = NameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return std::nullopt;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (extension == "txt") {
        return ConvertFormat::Clean;
    }
    if (extension == "rtf") {
        return ConvertFormat::Rtf;
    }
    if (extension == "html" || extension == "htm") {
        return ConvertFormat::Html;
    }
    if (extension == "gif") {
        return ConvertFormat::Gif;
    }
    if (extension == "png") {
        return ConvertFormat::Png;
    }
    return std::nullopt;
}

// One picture and where its document goes.
struct Job {
    std::string picture;
    std::optional<std::string> document; // none: the output stream
};

// The whole run once the arguments are read: the format, the steps and the
// looks shared by every picture.
struct Plan {
    ConvertFormat format = ConvertFormat::Rtf;
    ConvertFormat art = ConvertFormat::Rtf; // the art of the document or picture
    std::optional<int> columns;
    bool colour = false;
    bool play = false; // an animation plays on the terminal
    std::vector<Job> jobs;
    std::optional<std::string> folder; // made when the first document is written
    // Text drawn in cells: the most columns and lines (0: no limit; both 0:
    // the steps decide), and how the terminal looks.
    bool cellArt = false;
    int maxColumns = 0;
    int maxRows = 0;
    CellArtOptions look;
};

std::string_view FormatName(ConvertFormat format) {
    switch (format) {
    case ConvertFormat::Clean:
        return "clean";
    case ConvertFormat::Rtf:
        return "rtf";
    case ConvertFormat::Html:
        return "html";
    case ConvertFormat::HtmlColor:
        return "html-color";
    case ConvertFormat::Gif:
        return "gif";
    case ConvertFormat::Png:
        return "png";
    case ConvertFormat::Text:
        break;
    }
    return "text";
}

// The options given that the format does not use: each is said on the
// error stream as ignored, and the document is written without it. A
// picture of any art uses the font and the background.
std::vector<std::string> IgnoredOptions(const ConvertRequest& request, ConvertFormat format,
                                        bool picture) {
    const bool text = format == ConvertFormat::Text;
    const bool gif = format == ConvertFormat::Gif; // the cell art as a picture
    const bool html =
        format == ConvertFormat::Html || format == ConvertFormat::HtmlColor || picture;
    const bool styled = html || format == ConvertFormat::Rtf;
    std::vector<std::string> ignored;
    if (request.colour && !text) {
        ignored.emplace_back("--color");
    }
    if (!request.word.empty() && format != ConvertFormat::HtmlColor && !(text && request.colour) &&
        !gif) {
        ignored.emplace_back("--word");
    }
    if (request.fontFace && !styled) {
        ignored.emplace_back("--font-face");
    }
    if (request.fontSize && !styled) {
        ignored.emplace_back("--font-size");
    }
    if (request.backgroundColorCode && !html && !text && !gif) {
        ignored.emplace_back("--background");
    }
    // Text drawn in cells.
    const std::array<std::pair<bool, const char*>, 4> cellOptions{{
        {request.colourDepth.has_value(), "--colors"},
        {request.symbols.has_value(), "--symbols"},
        {request.fill, "--fill"},
        {request.rows.has_value(), "--rows"},
    }};
    for (const auto& [given, name] : cellOptions) {
        if (given && !text && !gif) {
            ignored.emplace_back(name);
        }
    }
    return ignored;
}

// A file's identity where it is a regular file: a terminal or a pipe may be
// standard input and output at once, and two documents may go to one device.
std::optional<FileIdentity> RegularOnly(const std::optional<FileIdentity>& identity) {
    return identity && identity->regular ? identity : std::nullopt;
}

// Decides where each document goes and in which format. Nothing on
// success; otherwise a usage error.
std::optional<std::string> MakePlan(const ConvertRequest& request, bool outIsTerminal,
                                    int terminalColumns, int terminalRows, int outFd, Plan& plan) {
    const bool several = request.pictures.size() > 1;
    const std::optional<std::string>& output = request.outputPath;
    const bool toStream = !output || *output == "-";
    bool toFolder = false;
    if (output && !toStream) {
        const bool isFolder = IsFolder(*output);
        if (several && !isFolder && IdentityOfPath(*output)) {
            return "With several pictures -o must be a folder; " + ShownName(*output) +
                   " is a file.";
        }
        toFolder = several || isFolder || output->ends_with('/');
    }

    // Art for a terminal: text as wide as the terminal, in colour unless a
    // format was asked for.
    const bool toTerminal = toStream && !several && outIsTerminal;
    bool colourForTerminal = false;
    if (request.format) {
        plan.format = *request.format;
    } else if (output && !toStream && !toFolder && FormatOfName(*output)) {
        plan.format = *FormatOfName(*output);
    } else if (toTerminal && !output) {
        plan.format = ConvertFormat::Text;
        colourForTerminal = true;
    } else if (request.colour) {
        plan.format = ConvertFormat::Text;
    }
    plan.art = plan.format == ConvertFormat::Png ? PictureArtOf(request) : plan.format;
    plan.colour = (request.colour && plan.art == ConvertFormat::Text) || colourForTerminal;
    if (request.art && plan.format != ConvertFormat::Png) {
        return std::string("--art is for -f png.");
    }
    if (plan.format == ConvertFormat::Png && toStream && outIsTerminal) {
        return std::string("A PNG picture is not written to a terminal; give -o a file name or "
                           "send standard output to a file or a program.");
    }
    plan.columns = request.columns;
    // In a terminal, or asked for, text is drawn in cells, fitted to the
    // terminal unless a size is given.
    const bool cellsAskedFor =
        request.colourDepth || request.symbols || request.fill || request.rows;
    plan.cellArt = plan.art == ConvertFormat::Text && (toTerminal || cellsAskedFor);
    if (plan.cellArt) {
        plan.maxColumns = request.columns.value_or(0);
        plan.maxRows = request.rows.value_or(0);
        if (toTerminal && !request.scaleAcross && !request.columns) {
            plan.maxColumns = terminalColumns;
            plan.maxRows = request.rows.value_or(std::max(terminalRows - 1, 1));
        }
    }
    if (toTerminal && plan.format == ConvertFormat::Text && !plan.columns && !request.scaleAcross) {
        plan.columns = terminalColumns;
    }
    if (plan.format == ConvertFormat::Gif) {
        // The cell art drawn as a picture: 80 columns unless a size is given.
        plan.maxColumns = request.columns.value_or(request.scaleAcross || request.rows ? 0 : 80);
        plan.maxRows = request.rows.value_or(0);
    }
    plan.play = plan.cellArt && toTerminal && !request.frame;
    if (request.animate && plan.format != ConvertFormat::Html &&
        plan.format != ConvertFormat::HtmlColor) {
        return std::string("--animate is for -f html and -f html-color.");
    }
    if (request.animate && request.frame) {
        return std::string("--animate shows every frame; it cannot go with --frame.");
    }
    if (plan.format == ConvertFormat::Gif && toStream && outIsTerminal) {
        return std::string("A GIF is not written to a terminal; give -o a file name.");
    }

    for (const std::string& picture : request.pictures) {
        Job job{picture, std::nullopt};
        if (toFolder) {
            if (picture == "-") {
                return std::string("Standard input has no name for a document in a folder; "
                                   "give -o a file name.");
            }
            job.document = Joined(*output, DocumentNameFor(picture, plan.format));
        } else if (several) {
            job.document = BesidePicture(picture, plan.format);
        } else if (!toStream) {
            job.document = output;
        }
        plan.jobs.push_back(std::move(job));
    }
    if (toFolder) {
        plan.folder = output;
    }

    // No document may be written over a picture of this run, nor two
    // documents over one another: the files they end up in are compared,
    // links followed.
    std::vector<std::optional<FileIdentity>> pictures;
    std::vector<std::string> finalNames;
    std::vector<std::optional<FileIdentity>> documents;
    for (const Job& job : plan.jobs) {
        pictures.push_back(RegularOnly(job.picture == "-" ? IdentityOfDescriptor(STDIN_FILENO)
                                                          : IdentityOfPath(job.picture)));
        finalNames.push_back(job.document ? FinalName(*job.document) : std::string());
        documents.push_back(RegularOnly(job.document ? IdentityOfPath(*job.document)
                                                     : IdentityOfDescriptor(outFd)));
    }
    for (std::size_t i = 0; i < plan.jobs.size(); ++i) {
        const std::optional<std::string>& document = plan.jobs[i].document;
        const std::string shownDocument =
            document ? ShownName(*document) : std::string("Standard output");
        for (std::size_t j = 0; j < plan.jobs.size(); ++j) {
            if (documents[i] && documents[i] == pictures[j]) {
                const std::string picture =
                    plan.jobs[j].picture == "-"
                        ? std::string("the file the picture is read from (standard input)")
                        : "the picture " + ShownName(plan.jobs[j].picture);
                return shownDocument + " is " + picture + "; it is not written over.";
            }
            if (document && j < i &&
                (finalNames[j] == finalNames[i] ||
                 (documents[i] && documents[i] == documents[j]))) {
                return ShownName(plan.jobs[j].picture) + " and " + ShownName(plan.jobs[i].picture) +
                       " would both be written to " + shownDocument + ".";
            }
        }
    }
    return std::nullopt;
}

// The steps across and down for a picture.
ScaleProposal StepsFor(const ConvertRequest& request, const Plan& plan, int width, int height) {
    if (plan.columns) {
        const int across = std::clamp((width + *plan.columns - 1) / *plan.columns, 1, kLargestStep);
        return {std::to_string(across),
                request.scaleDown.value_or(std::to_string(std::min(2 * across, kLargestStep)))};
    }
    if (request.scaleAcross && request.scaleDown) {
        return {*request.scaleAcross, *request.scaleDown};
    }
    // Text cells are taller than wide, as in the RTF and standard HTML.
    const OutputFormat proposedFor = DocumentFormatOf(plan.art).value_or(OutputFormat::Rtf);
    return AutoScale(std::to_string(width), std::to_string(height), proposedFor);
}

// Where a job's document goes: its file, or the output stream. Null, with
// the failure said, when the file cannot be opened.
std::unique_ptr<OutputTarget> TargetFor(const Job& job, std::FILE* out, std::FILE* err) {
    if (!job.document) {
        return std::make_unique<OutputTarget>(out);
    }
    std::string reason;
    std::unique_ptr<OutputTarget> target = OutputTarget::Open(*job.document, reason);
    if (!target) {
        Fail(err, kExitFailed, ShownName(*job.document) + " cannot be written: " + reason + ".");
    }
    return target;
}

// The columns and lines of a picture's cell art.
CellArtSize CellSizeFor(const ConvertRequest& request, const Plan& plan, int width, int height) {
    if (plan.maxColumns > 0 || plan.maxRows > 0) {
        return FitCellArt(width, height, plan.maxColumns, plan.maxRows);
    }
    const ScaleProposal steps = StepsFor(request, plan, width, height);
    const int across = std::stoi(steps.across);
    const int down = std::stoi(steps.down);
    return {(width + across - 1) / across, (height + down - 1) / down};
}

CellArtOptions CellOptionsFor(const ConvertRequest& request, const Plan& plan) {
    CellArtOptions options = plan.look;
    const StyleDefaults defaults = StyleDefaultsFor(OutputFormat::CleanText);
    for (std::size_t i = 0; i < options.ramp.size(); ++i) {
        options.ramp[i] = request.ramp[i].value_or(defaults.ramp[i]);
    }
    options.word = request.word;
    return options;
}

// Text drawn in cells, of the picture or of one of its frames. Returns the
// exit code.
int DrawCells(const ConvertRequest& request, const Plan& plan, const PictureFile& picture,
              const PixelSource* frame, const Job& job, std::FILE* out, std::FILE* err) {
    const int width = picture.Width();
    const int height = picture.Height();
    const CellArtSize size = CellSizeFor(request, plan, width, height);
    std::string error;
    const std::optional<PixelBuffer> samples =
        frame ? CellSamplesOf(*frame, width, height, size) : CellSamples(picture, size, error);
    if (!samples) {
        return Fail(err, kExitFailed, error);
    }
    const CellGrid grid =
        MakeCellArt(*samples, size.columns, size.rows, CellOptionsFor(request, plan));
    // A picture is measured before anything is written.
    std::unique_ptr<ArtPictureJob> pictureJob;
    if (plan.format == ConvertFormat::Png) {
        pictureJob = ArtPictureJob::MeasureCells(request, grid, error);
        if (!pictureJob) {
            return Fail(err, kExitFailed,
                        (job.document ? ShownName(*job.document) : "standard output") + ": " +
                            error);
        }
    }
    const std::unique_ptr<OutputTarget> target = TargetFor(job, out, err);
    if (!target) {
        return kExitFailed;
    }
    const ByteSink sink = [&target](std::string_view piece) { target->Write(piece); };
    if (pictureJob) {
        pictureJob->Draw(sink, [&target] { target->StopIfInterrupted(); });
    } else {
        WriteCellArt(grid, sink);
    }
    if (const std::optional<std::string> reason = target->Finish()) {
        const std::string shown =
            job.document ? ShownName(*job.document) : std::string("standard output");
        return Fail(err, kExitFailed, shown + " cannot be written: " + *reason + ".");
    }
    return kExitDone;
}

// How a terminal looks to the art: its colours and background, as asked for,
// else as the environment says.
CellArtOptions TerminalLook(const ConvertRequest& request, int outFd) {
    CellArtOptions look;
    look.symbols = request.symbols.value_or(CellSymbols::Ascii);
    look.fill = request.fill;
    look.invert = request.invert;
    look.depth =
        request.colourDepth.value_or(request.colour ? ColourDepth::Full : DepthFromEnvironment());
    if (request.backgroundColorCode) {
        look.background = static_cast<Colour>(std::stol(*request.backgroundColorCode, nullptr, 16));
        // RRGGBB as written; the colour is held red lowest.
        look.background = ((look.background & 0xFF) << 16) | (look.background & 0xFF00) |
                          ((look.background >> 16) & 0xFF);
        return look;
    }
    // A picture read from standard input leaves no terminal there to ask.
    constexpr int kAnswerWait = 100; // milliseconds
    std::optional<Colour> background;
    if (std::find(request.pictures.begin(), request.pictures.end(), "-") ==
        request.pictures.end()) {
        background = AskTerminalBackground(STDIN_FILENO, outFd, kAnswerWait);
    }
    if (!background) {
        background = BackgroundFromColorFgBg(std::getenv("COLORFGBG"));
    }
    look.background = background.value_or(look.background);
    return look;
}

// What the engine needs for a picture of this size at these steps.
ConversionInputs InputsFor(const ConvertRequest& request, std::optional<OutputFormat> document,
                           int width, int height, const ScaleProposal& steps) {
    const StyleDefaults defaults = StyleDefaultsFor(document.value_or(OutputFormat::CleanText));
    ConversionInputs inputs;
    inputs.widthText = std::to_string(width);
    inputs.heightText = std::to_string(height);
    inputs.scaleWidthText = steps.across;
    inputs.scaleHeightText = steps.down;
    inputs.coloured = document == OutputFormat::HtmlColoredText;
    for (std::size_t i = 0; i < inputs.ramp.size(); ++i) {
        inputs.ramp[i] = request.ramp[i].value_or(defaults.ramp[i]);
    }
    if (request.invert) {
        std::reverse(inputs.ramp.begin(), inputs.ramp.end());
    }
    inputs.word = request.word;
    return inputs;
}

DocumentStyle StyleFor(const ConvertRequest& request, OutputFormat document) {
    const StyleDefaults defaults = StyleDefaultsFor(document);
    DocumentStyle style;
    style.backgroundColorCode = request.backgroundColorCode.value_or(defaults.backgroundColorCode);
    style.fontFaceText = request.fontFace.value_or(defaults.fontFace);
    style.fontSizeText = request.fontSize.value_or(defaults.fontSize);
    return style;
}

// Converts one picture into its document. Returns the exit code.
int ConvertOne(const ConvertRequest& request, const Plan& plan, const Job& job, std::FILE* out,
               std::FILE* err) {
    const std::string shownPicture = ShownPictureName(job.picture);
    const std::string shownDocument =
        job.document ? ShownName(*job.document) : std::string("standard output");
    try {
        const OpenedPicture opened = OpenPicture(job.picture);
        if (!opened.file) {
            return Fail(err, kExitFailed, opened.error);
        }
        const PictureFile& picture = *opened.file;
        const int width = picture.Width();
        const int height = picture.Height();
        std::string error;

        // The cell art of a frame, for the player and the GIF.
        const CellArtSize size = CellSizeFor(request, plan, width, height);
        const CellArtOptions options = CellOptionsFor(request, plan);
        const auto cellsOf = [&](const PixelSource& frame) {
            return MakeCellArt(CellSamplesOf(frame, width, height, size), size.columns, size.rows,
                               options);
        };
        if (plan.play && PictureFrames::Animated(picture)) {
            PictureFrames frames(picture);
            const Playback playback{
                frames,
                [&cellsOf](const PixelSource& frame) { return CellArtText(cellsOf(frame)); },
                RepeatsFor(request, frames)};
            std::fflush(out);
            if (!PlayInTerminal(playback, ::fileno(out), STDIN_FILENO, error)) {
                return Fail(err, kExitFailed, error);
            }
            return kExitDone;
        }

        // Every frame, or the one asked for.
        std::unique_ptr<PictureFrames> frames;
        std::shared_ptr<const PixelSource> pixels;
        const ScaleProposal steps = StepsFor(request, plan, width, height);
        if ((request.animate && plan.format != ConvertFormat::Png) ||
            plan.format == ConvertFormat::Gif) {
            frames = std::make_unique<PictureFrames>(picture);
            if (request.frame && !SkipFrames(*frames, *request.frame - 1, error)) {
                return Fail(err, kExitFailed, error);
            }
        } else if (request.frame) {
            pixels = FrameNumbered(picture, *request.frame, error);
        } else if (plan.cellArt) {
            return DrawCells(request, plan, picture, nullptr, job, out, err);
        } else {
            pixels = DecodePicture(picture, std::stoi(steps.across), std::stoi(steps.down), error);
        }
        if (!frames && !pixels) {
            return Fail(err, kExitFailed, error);
        }
        if (plan.cellArt) {
            return DrawCells(request, plan, picture, pixels.get(), job, out, err);
        }

        const std::optional<OutputFormat> document = DocumentFormatOf(plan.art);
        const ConversionInputs inputs = InputsFor(request, document, width, height, steps);

        // A picture is measured before anything is written, and refused
        // when it cannot be made.
        std::unique_ptr<ArtPictureJob> pictureJob;
        if (plan.format == ConvertFormat::Png) {
            std::string refusal;
            pictureJob = ArtPictureJob::Measure(
                request, document, document ? StyleFor(request, *document) : DocumentStyle(),
                plan.colour, inputs, *pixels, refusal);
            if (!pictureJob) {
                return Fail(err, kExitFailed, shownDocument + ": " + refusal);
            }
        }

        std::unique_ptr<OutputTarget> target;
        if (plan.folder) {
            if (const int error = MakeFolders(*plan.folder); error != 0) {
                return Fail(err, kExitFailed,
                            "The folder " + ShownName(*plan.folder) +
                                " cannot be made: " + ReasonFor(error) + ".");
            }
        }
        if (job.document) {
            std::string reason;
            target = OutputTarget::Open(*job.document, reason);
            if (!target) {
                return Fail(err, kExitFailed,
                            shownDocument + " cannot be written: " + reason + ".");
            }
        } else {
            target = std::make_unique<OutputTarget>(out);
        }

        const ByteSink sink = [&target](std::string_view piece) { target->Write(piece); };
        std::size_t questionMarks = 0;
        bool written = true;
        // Every frame takes a while: Ctrl-C meanwhile puts the file back.
        const ByteSink framesSink = [&target](std::string_view piece) {
            target->Write(piece);
            target->StopIfInterrupted();
        };
        if (pictureJob) {
            pictureJob->Draw(sink, [&target] { target->StopIfInterrupted(); });
        } else if (frames && document) {
            written =
                WriteAnimatedHtml(*frames, *document, StyleFor(request, *document), inputs,
                                  RepeatsFor(request, *frames), framesSink, questionMarks, error);
        } else if (frames) {
            written = WriteArtGif(*frames, cellsOf, RepeatsFor(request, *frames),
                                  request.frame.has_value(), framesSink, error);
        } else if (document) {
            // The document is written as the art is made: neither the whole
            // art nor the whole document is ever held.
            DocumentWriter writer(*document, StyleFor(request, *document), sink);
            ConversionEngine engine(inputs, pixels.get());
            engine.SetArtSink([&writer](std::string_view piece) { writer.WriteArt(piece); });
            while (engine.Step() != StepResult::Finished) {
                target->StopIfInterrupted();
            }
            writer.Finish();
            questionMarks = writer.QuestionMarks();
        } else {
            WriteArtText(inputs, *pixels, plan.colour, sink);
        }
        if (!written) {
            return Fail(err, kExitFailed, error); // the target is left as it was
        }

        if (const std::optional<std::string> reason = target->Finish()) {
            return Fail(err, kExitFailed, shownDocument + " cannot be written: " + *reason + ".");
        }
        if (questionMarks > 0) {
            Fail(err, kExitDone,
                 shownDocument + ": " + std::to_string(questionMarks) +
                     (questionMarks == 1 ? " character" : " characters") +
                     " that Windows-1252 cannot hold written as \"?\".");
        }
        return kExitDone;
    } catch (const std::bad_alloc&) {
        // Whatever was begun is undone as the stack unwinds.
        return Fail(err, kExitFailed,
                    "Not enough memory to convert " + shownPicture +
                        "; a larger scale needs less.");
    }
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

bool NeedsFonts(const std::vector<std::string>& args) {
    const ParsedArguments parsed = ParseConvertArguments(args);
    const ConvertRequest& request = parsed.request;
    return parsed.action == ParsedArguments::Action::Convert &&
           (request.format
                ? *request.format == ConvertFormat::Gif || *request.format == ConvertFormat::Png
                : request.outputPath && (FormatOfName(*request.outputPath) == ConvertFormat::Gif ||
                                         FormatOfName(*request.outputPath) == ConvertFormat::Png));
}

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    try {
        const ParsedArguments parsed = ParseConvertArguments(args);
        switch (parsed.action) {
        case ParsedArguments::Action::Help:
            return Answer(out, err, ConvertUsageText(), "help");
        case ParsedArguments::Action::Version:
            return Answer(out, err, std::string(kConvertVersionText) + "\n", "version");
        case ParsedArguments::Action::UsageError:
            return Fail(err, kExitUsage, parsed.error);
        case ParsedArguments::Action::Convert:
            break;
        }
        const ConvertRequest& request = parsed.request;
        const int outFd = ::fileno(out);
        const bool outIsTerminal = outFd >= 0 && ::isatty(outFd) == 1;
        Plan plan;
        if (const std::optional<std::string> error =
                MakePlan(request, outIsTerminal, outIsTerminal ? TerminalColumns(outFd) : 0,
                         outIsTerminal ? TerminalRows(outFd) : 0, outFd, plan)) {
            return Fail(err, kExitUsage, *error);
        }
        if (plan.format == ConvertFormat::Gif || plan.format == ConvertFormat::Png) {
            // A picture is no terminal: full colour on black unless asked.
            plan.look = TerminalLook(request, -1);
            plan.look.depth = request.colourDepth.value_or(ColourDepth::Full);
            if (!request.backgroundColorCode) {
                plan.look.background = 0x000000;
            }
        } else if (plan.cellArt) {
            plan.look = TerminalLook(request, outFd);
        }
        for (const std::string& option :
             IgnoredOptions(request, plan.art, plan.format == ConvertFormat::Png)) {
            Fail(err, kExitDone,
                 option + " is not used by -f " + std::string(FormatName(plan.format)) +
                     "; it is ignored.");
        }
        if (plan.format == ConvertFormat::HtmlColor && request.word.empty()) {
            // The document is still written, as the wizard would write it.
            Fail(err, kExitDone,
                 "Without --word the cells of -f html-color have no letters; the document "
                 "shows only empty cells.");
        }
        int status = kExitDone;
        for (const Job& job : plan.jobs) {
            if (ConvertOne(request, plan, job, out, err) != kExitDone) {
                status = kExitFailed;
            }
        }
        return status;
    } catch (const std::bad_alloc&) {
        std::fputs("glimmora-convert: Not enough memory.\n", err);
        return kExitFailed;
    }
}

} // namespace glimmora
