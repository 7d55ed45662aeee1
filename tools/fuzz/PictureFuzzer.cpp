// libFuzzer target: arbitrary bytes as a picture file, through reading, the
// decode of the samples the art reads, the conversion and every document.
// Besides the sanitizers' own checks it stops on a broken promise:
// - the samples hold the whole decode's colours at their points, decoded in
//   one go or in slices;
// - the engine finishes within the cells the picture has;
// - a document written in pieces has the bytes of one written whole;
// - an RTF document's braces balance, so word processors open it.
//
// The first bytes of an input choose the format, the steps and a text used
// as the word, a ramp box and the font face and size; the rest is the
// picture. Run it with `make fuzz` (see the README).

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "core/AreaSampler.h"
#include "core/ConversionJob.h"
#include "output/Documents.h"
#include "picture/Picture.h"

namespace {

using glimmora::ConversionEngine;
using glimmora::ConversionInputs;
using glimmora::DocumentStyle;
using glimmora::DocumentWriter;
using glimmora::OutputFormat;
using glimmora::PixelSource;

// A promise the program broke: say which and stop here, so that libFuzzer
// keeps the input.
void Require(bool promise, const char* what) {
    if (!promise) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Small limits keep one input well under a second.
constexpr int kMaxCells = 48;                         // across and down
constexpr std::int64_t kMaxPixels = 4 * 1024 * 1024;  // of any picture decoded
constexpr std::int64_t kMaxWholeCompared = 512 * 512; // pictures also decoded whole
constexpr std::size_t kBudget = 64 * 1024 * 1024;     // instead of the program's 1 GiB

struct Choices {
    OutputFormat format = OutputFormat::CleanText;
    int stepFactorX = 1;
    int stepFactorY = 1;
    std::string text;    // the word, the darkest ramp box, the face and size
    std::size_t cut = 0; // where the art is cut into pieces for the writer
};

// Takes the choices from the front of the input; returns the picture bytes.
QByteArray TakeChoices(const std::uint8_t* data, std::size_t size, Choices& choices) {
    if (size < 5) {
        return {};
    }
    choices.format = static_cast<OutputFormat>(data[0] & 3);
    choices.stepFactorX = 1 + (data[1] & 3);
    choices.stepFactorY = 1 + (data[2] & 3);
    choices.cut = data[3];
    const std::size_t textSize = std::min<std::size_t>(data[4] & 15, size - 5);
    choices.text.assign(reinterpret_cast<const char*>(data + 5), textSize);
    const std::size_t used = 5 + textSize;
    return QByteArray(reinterpret_cast<const char*>(data + used),
                      static_cast<qsizetype>(size - used));
}

// The step that leaves at most kMaxCells cells along a side, times factor.
int StepFor(int side, int factor) {
    return std::max(1, (side + kMaxCells - 1) / kMaxCells) * factor;
}

std::string Art(const ConversionInputs& inputs, const PixelSource& picture, int width, int height) {
    ConversionEngine engine(inputs, &picture);
    // One step a cell: the cells across (with the line end) times the lines.
    const std::int64_t cells = (std::int64_t{width} / engine.ScaleWidth() + 2) *
                               (std::int64_t{height} / engine.ScaleHeight() + 2);
    for (std::int64_t step = 0; step < cells && !engine.IsFinished(); ++step) {
        engine.Step();
    }
    Require(engine.IsFinished(), "the engine finishes within the picture's cells");
    return engine.TakeArtText();
}

// Whether the braces of an RTF document balance, escapes skipped.
bool BracesBalance(std::string_view rtf) {
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

void CheckDocuments(const Choices& choices, std::string_view art) {
    const DocumentStyle style{"FFFFFF", choices.text, choices.text};
    std::string whole;
    glimmora::WriteSaveBytes(choices.format, art, style,
                             [&whole](std::string_view bytes) { whole.append(bytes); });
    std::string pieces;
    DocumentWriter writer(choices.format, style,
                          [&pieces](std::string_view bytes) { pieces.append(bytes); });
    // Cut the art anywhere, inside a character too.
    const std::size_t cut = std::min(art.size(), choices.cut);
    writer.WriteArt(art.substr(0, cut));
    writer.WriteArt({});
    writer.WriteArt(art.substr(cut));
    writer.Finish();
    Require(pieces == whole, "a document written in pieces is the document written whole");
    if (choices.format == OutputFormat::Rtf) {
        Require(BracesBalance(whole), "the braces of an RTF document balance");
    }
}

void Run(const Choices& choices, const QByteArray& bytes) {
    const glimmora::PictureFileResult opened =
        glimmora::PictureFile::FromBytes(bytes, QStringLiteral("fuzz"));
    if (!opened.file) {
        return;
    }
    const glimmora::PictureFile& file = *opened.file;
    const int width = file.Width();
    const int height = file.Height();
    Require(width > 0 && height > 0 && width <= 32767 && height <= 32767,
            "an opened picture has a size");
    if (std::int64_t{width} * height > kMaxPixels) {
        return;
    }
    const int stepX = StepFor(width, choices.stepFactorX);
    const int stepY = StepFor(height, choices.stepFactorY);
    // The cell art's samples, every pixel counted: as many as asked.
    const int across = (width + stepX - 1) / stepX;
    const int down = (height + stepY - 1) / stepY;
    const glimmora::AreaSamplesResult areas =
        glimmora::DecodeAreaSamples(file, across, down, kBudget);
    Require(areas.samples ? areas.samples->Width() == across && areas.samples->Height() == down
                          : !areas.error.isEmpty(),
            "area samples are as many as asked, or say why not");
    const glimmora::SampledPictureResult sampled =
        glimmora::DecodeSampled(file, stepX, stepY, kBudget);
    if (!sampled.picture) {
        Require(!sampled.error.isEmpty(), "a refused decode says why");
        return;
    }

    // The wizard decodes in slices between which its window runs: slices of
    // no time at all give the same points.
    glimmora::SampledDecoder sliced(file, stepX, stepY, kBudget);
    // A picture that only Qt's readers decode is decoded beside the caller,
    // so slices pass without rows while it runs; a decode that never ends
    // is caught by the fuzzer's own time limit.
    int rowsDone = 0;
    while (!sliced.Advance(std::chrono::milliseconds(0))) {
        Require(sliced.RowsDone() >= rowsDone, "a sliced decode never goes back");
        rowsDone = sliced.RowsDone();
        Require(sliced.RowsDone() <= sliced.Rows(), "a sliced decode counts its rows");
    }
    const glimmora::SampledPictureResult slicedResult = sliced.Result();
    Require(slicedResult.picture != nullptr, "a sliced decode gives what a whole one gives");
    for (int y = 0; y < height; y += stepY) {
        for (int x = 0; x < width; x += stepX) {
            Require(slicedResult.picture->GetPixel(x, y) == sampled.picture->GetPixel(x, y),
                    "a sliced decode gives the same points");
        }
    }
    const QImage preview = glimmora::PreviewImage(file, QSize(64, 48));
    Require(preview.isNull() || (preview.width() <= width && preview.height() <= height),
            "the preview is never larger than the picture");

    ConversionInputs inputs;
    inputs.widthText = std::to_string(width);
    inputs.heightText = std::to_string(height);
    inputs.scaleWidthText = std::to_string(stepX);
    inputs.scaleHeightText = std::to_string(stepY);
    inputs.coloured = choices.format == OutputFormat::HtmlColoredText;
    inputs.ramp[0] = choices.text;
    inputs.word = choices.text.empty() ? std::string("W") : choices.text;
    const std::string art = Art(inputs, *sampled.picture, width, height);

    if (std::int64_t{width} * height <= kMaxWholeCompared) {
        const glimmora::PictureLoadResult whole = glimmora::DecodeWhole(file, kBudget);
        if (whole.picture) {
            for (int y = 0; y < height; y += stepY) {
                for (int x = 0; x < width; x += stepX) {
                    Require(sampled.picture->GetPixel(x, y) == whole.picture->GetPixel(x, y),
                            "the samples hold the whole decode's colours");
                }
            }
            Require(Art(inputs, *whole.picture, width, height) == art,
                    "the art of the samples is the art of the whole decode");
            // A PNG's rows are added up as read: the whole decode's pixels.
            if (file.Format() == "png" && areas.samples) {
                const glimmora::PixelBuffer expected =
                    glimmora::AreaAverage(*whole.picture, width, height, across, down);
                for (int y = 0; y < down; ++y) {
                    for (int x = 0; x < across; ++x) {
                        Require(areas.samples->GetPixel(x, y) == expected.GetPixel(x, y),
                                "a PNG's area samples are the whole decode's");
                    }
                }
            }
        }
    }
    CheckDocuments(choices, art);
}

void Quiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // The image readers warn about every damaged picture; only a fatal
    // message matters.
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Some readers (SVG) need the application's fonts; no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(Quiet);
    static std::unique_ptr<QGuiApplication> application =
        std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Choices choices;
    const QByteArray bytes = TakeChoices(data, size, choices);
    if (!bytes.isEmpty()) {
        Run(choices, bytes);
    }
    return 0;
}
