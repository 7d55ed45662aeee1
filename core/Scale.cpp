#include "Scale.h"

#include <optional>

#include "Numbers.h"

namespace glimmora {

namespace {

struct Steps {
    const char* across;
    const char* down;
};

// Steps of the three bands (up to 40000 pixels, up to 500000, more).
struct FormatSteps {
    Steps band[3];
};

// Sign text for print and standard HTML is drawn in fonts taller than wide,
// so it steps twice as far down as across.
constexpr FormatSteps kTextSteps = {{{"1", "2"}, {"2", "4"}, {"4", "8"}}};
constexpr FormatSteps kCleanTextSteps = {{{"4", "4"}, {"6", "6"}, {"8", "8"}}};
constexpr FormatSteps kColouredSteps = {{{"1", "1"}, {"2", "2"}, {"4", "4"}}};

const FormatSteps& StepsOf(OutputFormat format) {
    switch (format) {
    case OutputFormat::Rtf:
    case OutputFormat::HtmlText:
        return kTextSteps;
    case OutputFormat::CleanText:
        return kCleanTextSteps;
    case OutputFormat::HtmlColoredText:
        break;
    }
    return kColouredSteps;
}

} // namespace

ScaleProposal AutoScale(std::string_view widthText, std::string_view heightText,
                        OutputFormat format) {
    const FormatSteps& steps = StepsOf(format);
    int band = 0;
    const std::optional<double> width = ReadDecimal(widthText);
    const std::optional<double> height = ReadDecimal(heightText);
    if (width && height) {
        const double pixels = *width * *height;
        if (pixels > 500000.0) {
            band = 2;
        } else if (pixels > 40000.0) {
            band = 1;
        }
        // A count below 0 (only a typed negative size gives one) fits no
        // band; it gets the first, like a size that is no number.
    }
    return {steps.band[band].across, steps.band[band].down};
}

} // namespace glimmora
