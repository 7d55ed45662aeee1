#include "AnimatedHtml.h"

#include <cstdint>
#include <initializer_list>
#include <numeric>
#include <string_view>

namespace glimmora {

namespace {

// A share of the whole as a CSS percentage, to a thousandth, without
// trailing zeros: 12.5%. (Built by appending: GCC 12 warns falsely,
// -Wrestrict, about literal + string here.)
std::string Percent(std::int64_t part, std::int64_t whole) {
    const std::int64_t thousandths = whole > 0 ? (part * 100000 + whole / 2) / whole : 0;
    std::string text = std::to_string(thousandths / 1000);
    if (const std::int64_t fraction = thousandths % 1000; fraction != 0) {
        std::string digits = std::to_string(fraction + 1000).substr(1);
        while (digits.ends_with('0')) {
            digits.pop_back();
        }
        text.push_back('.');
        text.append(digits);
    }
    text.push_back('%');
    return text;
}

} // namespace

AnimatedHtmlWriter::AnimatedHtmlWriter(OutputFormat format, const DocumentStyle& style,
                                       ByteSink sink)
    : writer_(format, style, std::move(sink)) {
    writer_.WriteMarkup("<div class=\"frames\">");
}

void AnimatedHtmlWriter::BeginFrame() {
    std::string tag = "<div style=\"animation-name:frame";
    tag.append(std::to_string(delays_.size() + 1));
    tag.append("\">");
    writer_.WriteMarkup(tag);
}

void AnimatedHtmlWriter::EndFrame(int delayMilliseconds) {
    writer_.WriteMarkup("</div>");
    delays_.push_back(delayMilliseconds);
}

void AnimatedHtmlWriter::Finish(int repeats) {
    writer_.WriteMarkup("</div>");
    writer_.WriteMarkup(FrameAnimationStyle(delays_, repeats));
    writer_.Finish();
}

std::string FrameAnimationStyle(const std::vector<int>& delays, int repeats) {
    const std::int64_t total = std::accumulate(delays.begin(), delays.end(), std::int64_t{0});
    // Every frame in the same grid cell, all but the first hidden; each
    // one's own keyframes show it for its share of the whole. Once the
    // last loop ends the last frame stays.
    std::string style;
    const auto add = [&style](std::initializer_list<std::string_view> pieces) {
        for (const std::string_view piece : pieces) {
            style.append(piece);
        }
    };
    add({"<STYLE TYPE=\"text/css\">\r\n"
         ".frames {display:inline-grid}\r\n"
         ".frames > div {grid-area:1/1; animation-duration:",
         std::to_string(total),
         "ms; animation-timing-function:step-end; animation-iteration-count:",
         repeats < 0 ? std::string("infinite") : std::to_string(repeats + 1),
         "; animation-fill-mode:forwards}\r\n"
         ".frames > div + div {visibility:hidden}\r\n"});
    std::int64_t start = 0;
    for (std::size_t i = 0; i < delays.size(); ++i) {
        const std::int64_t end = start + delays[i];
        const bool last = i + 1 == delays.size();
        add({"@keyframes frame", std::to_string(i + 1), " {"});
        if (start > 0) {
            add({"0% {visibility:hidden} "});
        }
        add({Percent(start, total), " {visibility:visible}"});
        if (!last) {
            add({" ", Percent(end, total), " {visibility:hidden}"});
            if (end < total) {
                add({" 100% {visibility:hidden}"});
            }
        } else if (start < total) {
            add({" 100% {visibility:visible}"});
        }
        add({"}\r\n"});
        start = end;
    }
    add({"</STYLE>"});
    return style;
}

} // namespace glimmora
