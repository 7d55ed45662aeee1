#include "MovingPictures.h"

#include <QImage>

#include <new>
#include <utility>
#include <vector>

#include "output/AnimatedHtml.h"
#include "output/ArtPicture.h"
#include "output/GifWriter.h"
#include "picture/PictureFrames.h"

namespace glimmora {

namespace {

// The picture layer speaks QString; its sentences name the picture in
// Latin-1, one character a byte of the system's name.
std::string FromShown(const QString& sentence) {
    return sentence.toLatin1().toStdString();
}

// The next frame, or null with why in error.
std::shared_ptr<const PictureSurface> NextFrame(PictureFrames& frames, const PictureFile& file,
                                                int wanted, std::string& error) {
    std::shared_ptr<const PictureSurface> frame = frames.Next();
    if (!frame) {
        if (!frames.Failed().isEmpty()) {
            error = FromShown(frames.Failed());
        } else {
            const int count = frames.Read();
            error = FromShown(file.ShownName()) + " has " + std::to_string(count) +
                    (count == 1 ? " frame" : " frames") + "; there is no frame " +
                    std::to_string(wanted) + ".";
        }
    }
    return frame;
}

} // namespace

void WriteEngineArt(ConversionInputs inputs, const PixelSource& pixels, const ByteSink& art) {
    ConversionEngine engine(std::move(inputs), &pixels);
    engine.SetArtSink(art);
    while (engine.Step() != StepResult::Finished) {
    }
}

int RepeatsFor(const ConvertRequest& request, const PictureFrames& frames) {
    if (request.loop) {
        return *request.loop == 0 ? -1 : *request.loop - 1;
    }
    return frames.Repeats();
}

bool SkipFrames(PictureFrames& frames, int count, std::string& error) {
    for (int i = 0; i < count; ++i) {
        if (!frames.Next()) {
            // Asked for the frame after the last: count them all.
            while (frames.Failed().isEmpty() && frames.Next()) {
            }
            return NextFrame(frames, frames.File(), count + 1, error) != nullptr;
        }
    }
    return true;
}

std::shared_ptr<const PixelSource> FrameNumbered(const PictureFile& file, int number,
                                                 std::string& error) {
    PictureFrames frames(file);
    if (!SkipFrames(frames, number - 1, error)) {
        return nullptr;
    }
    return NextFrame(frames, file, number, error);
}

bool WriteAnimatedHtml(PictureFrames& frames, OutputFormat format, const DocumentStyle& style,
                       const ConversionInputs& inputs, int repeats, const ByteSink& sink,
                       std::size_t& questionMarks, std::string& error) {
    AnimatedHtmlWriter writer(format, style, sink);
    const int first = frames.Read() + 1;
    while (const std::shared_ptr<const PictureSurface> frame =
               NextFrame(frames, frames.File(), frames.Read() + 1, error)) {
        writer.BeginFrame();
        WriteEngineArt(inputs, *frame,
                       [&writer](std::string_view piece) { writer.WriteArt(piece); });
        writer.EndFrame(PictureFrames::PlayedDelay(frames.Delay()));
    }
    if (frames.Read() < first || !frames.Failed().isEmpty()) {
        return false;
    }
    error.clear();
    writer.Finish(repeats);
    questionMarks = writer.QuestionMarks();
    return true;
}

bool WriteArtGif(PictureFrames& frames, const std::function<CellGrid(const PixelSource&)>& cellsOf,
                 int repeats, bool oneFrame, const ByteSink& sink, std::string& error) {
    std::unique_ptr<GifWriter> writer;
    const int first = frames.Read() + 1;
    while (const std::shared_ptr<const PictureSurface> frame =
               NextFrame(frames, frames.File(), frames.Read() + 1, error)) {
        // Drawn by the renderer of the art's PNG pictures, as a terminal
        // shows the cells.
        const QImage picture = CellArtImage(cellsOf(*frame)).convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) {
            throw std::bad_alloc();
        }
        if (!writer) {
            try {
                writer = std::make_unique<GifWriter>(
                    picture.width(), picture.height(),
                    repeats == 0 ? std::optional<int>() : std::optional<int>(std::max(0, repeats)),
                    sink);
            } catch (const std::runtime_error& refused) {
                error = refused.what();
                return false;
            }
        }
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(picture.constBits());
        IndexedPicture indexed = Palettize(std::span<const std::uint32_t>(
            pixels, static_cast<std::size_t>(picture.width()) * picture.height()));
        GifFrame gifFrame;
        gifFrame.width = picture.width();
        gifFrame.height = picture.height();
        gifFrame.indices = std::move(indexed.indices);
        gifFrame.palette = std::move(indexed.palette);
        gifFrame.disposal = GifDisposal::Keep;
        gifFrame.delayCentiseconds = (frames.Delay() + 5) / 10;
        writer->Add(gifFrame);
        if (oneFrame) {
            break;
        }
    }
    if (frames.Read() < first || !frames.Failed().isEmpty()) {
        return false;
    }
    error.clear();
    writer->Finish();
    return true;
}

} // namespace glimmora
