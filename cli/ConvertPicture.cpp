#include "ConvertPicture.h"

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include "ConvertCommand.h"
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

} // namespace

// One line on the error stream, prefixed with the program's name. Names and
// option values in it are shown as file names are: no control character
// reaches the terminal.
int Fail(std::FILE* err, int code, const std::string& message) {
    Print(err, "glimmora-convert: " + ShownName(message) + "\n");
    std::fflush(err);
    return code;
}

namespace {

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

} // namespace

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

} // namespace glimmora
