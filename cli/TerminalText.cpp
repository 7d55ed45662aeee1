#include "TerminalText.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace glimmora {

namespace {

constexpr int kDefaultColumns = 80;

// Hands on what the picture gives the engine, remembering each colour: the
// engine reads exactly one pixel a cell.
class ColourTap final : public PixelSource {
public:
    explicit ColourTap(const PixelSource& picture) : picture_(picture) {}
    Colour GetPixel(std::int32_t x, std::int32_t y) const override {
        const Colour colour = picture_.GetPixel(x, y);
        colours_.push_back(colour);
        return colour;
    }
    std::vector<Colour>& Colours() { return colours_; }

private:
    const PixelSource& picture_;
    mutable std::vector<Colour> colours_;
};

// Collects the text and hands it on in pieces of a useful size.
class TextOut {
public:
    explicit TextOut(const ByteSink& sink) : sink_(sink) {}
    std::string& Text() { return text_; }
    void MaybeFlush() {
        if (text_.size() >= DocumentWriter::kPieceSize) {
            Flush();
        }
    }
    void Flush() {
        if (!text_.empty()) {
            sink_(text_);
            text_.clear();
        }
    }

private:
    const ByteSink& sink_;
    std::string text_;
};

// The letter of a coloured cell as written, back to the letter: the engine
// writes &, < and > as their entities.
std::string_view Unescaped(std::string_view letter) {
    if (letter == "&amp;") {
        return "&";
    }
    if (letter == "&lt;") {
        return "<";
    }
    if (letter == "&gt;") {
        return ">";
    }
    return letter;
}

void AppendNumber(std::string& text, int value) {
    text += std::to_string(value);
}

// One line of coloured cells: <font color="#RRGGBB">L</font> each, then CR.
void WriteColouredLine(std::string_view line, const std::vector<Colour>& colours,
                       const ConversionInputs& inputs, std::string& text) {
    constexpr std::string_view kOpen = "<font color=\"#";
    constexpr std::string_view kMiddle = "\">";
    constexpr std::string_view kClose = "</font>";
    std::size_t at = 0;
    for (const Colour colour : colours) {
        std::string_view letter;
        const std::size_t start = at + kOpen.size() + 6 + kMiddle.size();
        const std::size_t end = line.find(kClose, start);
        if (end != std::string_view::npos) {
            letter = Unescaped(line.substr(start, end - start));
            at = end + kClose.size();
        }
        text += "\x1b[38;2;";
        AppendNumber(text, colour & 0xFF);
        text += ';';
        AppendNumber(text, (colour >> 8) & 0xFF);
        text += ';';
        AppendNumber(text, (colour >> 16) & 0xFF);
        text += 'm';
        if (inputs.word.empty()) {
            text += inputs.ramp[static_cast<std::size_t>(RampIndexForGrey(GrayScale(colour)))];
        } else {
            text += letter;
        }
    }
    text += "\x1b[0m\n";
}

} // namespace

void WriteArtText(ConversionInputs inputs, const PixelSource& picture, bool colour,
                  const ByteSink& sink) {
    TextOut out(sink);
    if (!colour) {
        inputs.coloured = false;
        ConversionEngine engine(std::move(inputs), &picture);
        engine.SetArtSink([&out](std::string_view piece) {
            std::string& text = out.Text();
            const std::size_t from = text.size();
            text += piece;
            std::replace(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), '\r', '\n');
            out.MaybeFlush();
        });
        while (engine.Step() != StepResult::Finished) {
        }
        out.Flush();
        return;
    }

    // The coloured engine gives the letters; the tap gives each cell's colour.
    inputs.coloured = true;
    const ConversionInputs kept = inputs;
    ColourTap tap(picture);
    ConversionEngine engine(std::move(inputs), &tap);
    std::string line;
    engine.SetArtSink([&line](std::string_view piece) { line += piece; });
    StepResult result = StepResult::Cell;
    while (result != StepResult::Finished) {
        result = engine.Step();
        if (result == StepResult::Cell) {
            continue;
        }
        engine.ArtText(); // hands the line's cells to the sink
        WriteColouredLine(line, tap.Colours(), kept, out.Text());
        line.clear();
        tap.Colours().clear();
        out.MaybeFlush();
    }
    out.Flush();
}

int TerminalColumns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    if (const char* columns = std::getenv("COLUMNS")) {
        char* end = nullptr;
        const long value = std::strtol(columns, &end, 10);
        if (end != columns && *end == '\0' && value > 0 && value <= 32767) {
            return static_cast<int>(value);
        }
    }
    return kDefaultColumns;
}

} // namespace glimmora
