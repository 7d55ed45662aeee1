#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Documents.h"

namespace glimmora {

// The HTML document of an animation: the document's head, then the art of
// every frame, each escaped as the document escapes its art, stacked in
// one place and shown in turn by CSS animation alone, then the document's
// end. Without CSS animation a browser shows the first frame. Frames are
// written as they come; only their delays are held.
class AnimatedHtmlWriter {
public:
    // format is HtmlText or HtmlColoredText.
    AnimatedHtmlWriter(OutputFormat format, const DocumentStyle& style, ByteSink sink);

    // One frame: its art in any number of pieces, then how long it stays.
    void BeginFrame();
    void WriteArt(std::string_view piece) { writer_.WriteArt(piece); }
    void EndFrame(int delayMilliseconds);
    // The timing, then the document's end. repeats: the times the frames are
    // played again after the first, -1 for ever. Call it once, last.
    void Finish(int repeats);

    std::size_t QuestionMarks() const { return writer_.QuestionMarks(); }

private:
    DocumentWriter writer_;
    std::vector<int> delays_;
};

// The style that shows the frames in turn, each delay in milliseconds.
std::string FrameAnimationStyle(const std::vector<int>& delays, int repeats);

} // namespace glimmora
