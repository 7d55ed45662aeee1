#pragma once

namespace glimmora {

// The four outputs offered on page 2 of the wizard.
enum class OutputFormat {
    CleanText,       // optClnTxt
    Rtf,             // optRtf
    HtmlText,        // optHtmlTxt
    HtmlColoredText, // optHtmlCldTxt
};

} // namespace glimmora
