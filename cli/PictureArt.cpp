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
    WriteMeasuredPng(picture_, replay_, sink, eachRow);
}

} // namespace glimmora
