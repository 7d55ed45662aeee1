#include "ConvertBench.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "BenchPictures.h"
#include "core/ConversionJob.h"
#include "core/Scale.h"
#include "output/Documents.h"
#include "picture/Picture.h"

namespace glimmora {

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fastest of a few runs: the machine may be busy with other work.
double BestOf(int runs, const std::function<void()>& work) {
    double best = 0.0;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        work();
        const double seconds = SecondsSince(start);
        if (run == 0 || seconds < best) {
            best = seconds;
        }
    }
    return best;
}

// Soft gradients and round shapes with a grain of noise.
QImage MakePhotoLikePicture() {
    return PhotoLikePicture(kWidth, kHeight, 0x2545F491u, 12, [](double fx, double fy) {
        const double wave = std::sin(fx * 9.0 + std::cos(fy * 7.0) * 2.0);
        return Tone{static_cast<int>(128 + 90 * wave + 30 * fy),
                    static_cast<int>(200 * fx * (1.0 - fy) + 40), static_cast<int>(255 * fy * fy)};
    });
}

std::string Convert(const PictureSurface& picture, OutputFormat format, const std::string& across,
                    const std::string& down) {
    ConversionInputs inputs;
    inputs.widthText = std::to_string(picture.Width());
    inputs.heightText = std::to_string(picture.Height());
    inputs.scaleWidthText = across;
    inputs.scaleHeightText = down;
    inputs.coloured = format == OutputFormat::HtmlColoredText;
    inputs.word = "GLIMMORA";
    ConversionEngine engine(std::move(inputs), &picture);
    while (engine.Step() != StepResult::Finished) {
    }
    return engine.TakeArtText();
}

// What glimmora-convert does after the conversion: the document's bytes,
// then a file replaced with them.
std::size_t Write(OutputFormat format, const std::string& art, const QString& path) {
    const bool rtf = format == OutputFormat::Rtf;
    const DocumentStyle style{std::string("000000"), std::string(rtf ? "5" : "8"),
                              std::string(rtf ? "Arial" : "Tahoma")};
    const std::string bytes = SaveBytes(format, art, style);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        std::printf("convert: writing %s failed\n", qPrintable(path));
    }
    return bytes.size();
}

void BenchFormat(const PictureSurface& picture, OutputFormat format, const char* name,
                 const QString& folder, double decodeSeconds) {
    const std::string widthText = std::to_string(picture.Width());
    const std::string heightText = std::to_string(picture.Height());
    const ScaleProposal proposal = AutoScale(widthText, heightText, format);
    const QString path = folder + "/art" + QString::fromStdString(ExtensionFor(format));

    struct Scale {
        std::string across;
        std::string down;
        bool proposed;
    };
    for (const Scale& scale :
         {Scale{proposal.across, proposal.down, true}, Scale{"1", "1", false}}) {
        std::string art;
        const double convertSeconds =
            BestOf(kRuns, [&] { art = Convert(picture, format, scale.across, scale.down); });
        std::size_t bytes = 0;
        const double writeSeconds = BestOf(kRuns, [&] { bytes = Write(format, art, path); });
        const double together = convertSeconds + writeSeconds;
        std::printf("convert %-10s at %sx%s%s: converting %7.1f ms, writing %7.1f ms "
                    "(%.1f MB), together %7.1f ms = %.2f x decoding%s\n",
                    name, scale.across.c_str(), scale.down.c_str(),
                    scale.proposed ? " (proposed)" : "           ", convertSeconds * 1e3,
                    writeSeconds * 1e3, static_cast<double>(bytes) / 1e6, together * 1e3,
                    together / decodeSeconds,
                    scale.proposed
                        ? (together < decodeSeconds ? "  [target met]" : "  [TARGET MISSED]")
                        : "");
        std::fflush(stdout);
    }
}

} // namespace

void RunConvertBenchmark() {
    // Qt's JPEG reader and writer are plugins, found through the application
    // object.
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "glimmora-bench";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::printf("convert: no temporary folder\n");
        return;
    }
    const QString picturePath = folder.filePath("photo.jpg");
    if (!MakePhotoLikePicture().save(picturePath, "JPEG", 90)) {
        std::printf("convert: the JPEG could not be written\n");
        return;
    }

    std::shared_ptr<const PictureSurface> picture;
    const double decodeSeconds = BestOf(kRuns, [&] {
        PictureLoadResult loaded = LoadPictureFile(picturePath);
        if (!loaded.picture) {
            std::printf("convert: %s\n", qPrintable(loaded.error));
        }
        picture = std::move(loaded.picture);
    });
    if (!picture) {
        return;
    }
    std::printf("convert decoding a %dx%d JPEG (%.1f MB): %.1f ms\n", kWidth, kHeight,
                static_cast<double>(QFileInfo(picturePath).size()) / 1e6, decodeSeconds * 1e3);
    // What the converter decodes: only the pixels of the proposed scale.
    for (const OutputFormat format : {OutputFormat::Rtf, OutputFormat::HtmlColoredText}) {
        const ScaleProposal steps =
            AutoScale(std::to_string(kWidth), std::to_string(kHeight), format);
        bool decoded = false;
        const double sampledSeconds = BestOf(kRuns, [&] {
            const PictureFileResult opened = PictureFile::OpenStreamed(
                QFile::encodeName(picturePath).toStdString(), picturePath);
            decoded =
                opened.file &&
                DecodeSampled(*opened.file, std::stoi(steps.across), std::stoi(steps.down)).picture;
        });
        std::printf("convert decoding only the samples at %sx%s: %.1f ms%s\n", steps.across.c_str(),
                    steps.down.c_str(), sampledSeconds * 1e3, decoded ? "" : " (FAILED)");
    }
    std::fflush(stdout);

    BenchFormat(*picture, OutputFormat::Rtf, "rtf", folder.path(), decodeSeconds);
    BenchFormat(*picture, OutputFormat::HtmlColoredText, "html-color", folder.path(),
                decodeSeconds);
}

} // namespace glimmora
