#include "PictureArt.h"

#include <utility>

#include "TerminalText.h"

namespace glimmora {

ConvertFormat PictureArtOf(const ConvertRequest& request) {
    if (request.art) {
        return *request.art;
    }
    if (request.colour) {
        return ConvertFormat::Text;
    }
    return request.word.empty() ? ConvertFormat::Rtf : ConvertFormat::HtmlColor;
}

ArtPictureJob::ArtPictureJob(const PictureLook& look, ArtReplay replay)
    : picture_(look), replay_(std::move(replay)) {
    size_ = picture_.Measure(replay_);
}

ArtPictureJob::ArtPictureJob(const PictureLook& look, const CellGrid& grid)
    : picture_(look), grid_(&grid) {
    size_ = picture_.Measure(grid);
}

namespace {

// --font-size for terminal art, or its default.
std::optional<double> TerminalPoints(const ConvertRequest& request, std::string& why) {
    return request.fontSize ? ReadPicturePoints(*request.fontSize, why)
                            : std::optional<double>(kTerminalPoints);
}

} // namespace

std::unique_ptr<ArtPictureJob> ArtPictureJob::MeasureCells(const ConvertRequest& request,
                                                           const CellGrid& grid, std::string& why) {
    const std::optional<double> points = TerminalPoints(request, why);
    if (!points) {
        return nullptr;
    }
    PictureLook look = CellArtLook(grid, *points);
    look.face = request.fontFace.value_or(look.face);
    auto job = std::make_unique<ArtPictureJob>(look, grid);
    if (std::optional<std::string> refusal = PictureSizeRefusal(job->size_)) {
        why = *refusal;
        return nullptr;
    }
    return job;
}

std::unique_ptr<ArtPictureJob> ArtPictureJob::Measure(const ConvertRequest& request,
                                                      std::optional<OutputFormat> document,
                                                      const DocumentStyle& style, bool colour,
                                                      const ConversionInputs& inputs,
                                                      const PixelSource& pixels, std::string& why) {
    std::optional<PictureLook> look;
    ArtReplay replay;
    if (document) {
        look = DocumentPictureLook(*document, style, why);
        // Clean text and RTF have no background of their own: white unless
        // one is asked for.
        const bool plain = document == OutputFormat::CleanText || document == OutputFormat::Rtf;
        if (look && plain && request.backgroundColorCode) {
            look->background = RgbOfCode(*request.backgroundColorCode);
        }
        replay = [inputs, &pixels](const ByteSink& art) {
            ConversionEngine engine(inputs, &pixels);
            engine.SetArtSink([&art](std::string_view piece) { art(piece); });
            while (engine.Step() != StepResult::Finished) {
            }
        };
    } else {
        // Terminal text: the document's defaults do not apply.
        double points = kTerminalPoints;
        if (request.fontSize) {
            const std::optional<double> read = ReadPicturePoints(*request.fontSize, why);
            if (!read) {
                return nullptr;
            }
            points = *read;
        }
        look =
            TerminalPictureLook(points, RgbOfCode(request.backgroundColorCode.value_or("000000")));
        if (request.fontFace) {
            look->face = *request.fontFace;
        }
        replay = [inputs, &pixels, colour](const ByteSink& art) {
            WriteArtText(inputs, pixels, colour, art);
        };
    }
    if (!look) {
        return nullptr;
    }
    auto job = std::make_unique<ArtPictureJob>(*look, std::move(replay));
    if (std::optional<std::string> refusal = PictureSizeRefusal(job->size_)) {
        why = *refusal;
        return nullptr;
    }
    return job;
}

void ArtPictureJob::Draw(const ByteSink& sink, const std::function<void()>& eachRow) {
    if (grid_ != nullptr) {
        WriteMeasuredPng(picture_, *grid_, sink, eachRow);
    } else {
        WriteMeasuredPng(picture_, replay_, sink, eachRow);
    }
}

} // namespace glimmora
