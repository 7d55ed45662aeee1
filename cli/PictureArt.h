#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ConvertOptions.h"
#include "core/ConversionJob.h"
#include "output/ArtPicture.h"
#include "output/Documents.h"

namespace glimmora {

// The art a PNG shows when --art is not given: text with --color,
// html-color with --word, else rtf.
ConvertFormat PictureArtOf(const ConvertRequest& request);

// One picture of a picture's art, measured and ready to be drawn.
class ArtPictureJob {
public:
    // The art of a document (none: terminal text, in colour with colour),
    // converted once to measure it. Null when the picture cannot be made,
    // with why in one sentence: a size that is no size, a side too large.
    static std::unique_ptr<ArtPictureJob> Measure(const ConvertRequest& request,
                                                  std::optional<OutputFormat> document,
                                                  const DocumentStyle& style, bool colour,
                                                  const ConversionInputs& inputs,
                                                  const PixelSource& pixels, std::string& why);

    // The picture of cell art, drawn from its grid, which must outlive the
    // job: DejaVu Sans Mono (or --font-face) at --font-size or 10 points.
    static std::unique_ptr<ArtPictureJob> MeasureCells(const ConvertRequest& request,
                                                       const CellGrid& grid, std::string& why);

    // Converts the picture again and writes the PNG to sink as its rows
    // are drawn, calling eachRow after each. Throws std::bad_alloc when
    // memory runs out.
    void Draw(const ByteSink& sink, const std::function<void()>& eachRow);

    ArtPictureJob(const PictureLook& look, ArtReplay replay);
    ArtPictureJob(const PictureLook& look, const CellGrid& grid);

private:
    ArtPicture picture_;
    ArtReplay replay_;
    const CellGrid* grid_ = nullptr;
    PictureSize size_;
};

} // namespace glimmora
