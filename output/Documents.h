#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Format.h"

namespace glimmora {

// What the writers take from page 3 as recorded on page 4. Texts are UTF-8
// and go into the documents as typed.
struct DocumentStyle {
    std::string backgroundColorCode = "000000"; // BackgroundColorCode
    std::string fontSizeText;                   // FontSizeText
    std::string fontFaceText;                   // FontFaceText
};

// The documents, as UTF-8 text, without the CR LF that the save adds.
std::string ComposeCleanText(std::string_view artText);
std::string ComposeRtf(std::string_view artText, const DocumentStyle& style);
std::string ComposeHtml(std::string_view artText, const DocumentStyle& style, bool coloured);
std::string ComposeDocument(OutputFormat format, std::string_view artText,
                            const DocumentStyle& style);

// The save dialog's filter ("*.html", "*.rtf", "*.txt") and the extension
// the file gets (".html", ".rtf", ".txt").
std::string FilterFor(OutputFormat format);
std::string ExtensionFor(OutputFormat format);

// The name the save dialog proposes for a picture file title: the last four
// characters dropped (titles shorter than four are kept whole), then every
// "." made "_". photo.jpg gives photo, my.photo.jpeg gives my_photo_.
std::string ProposedFileName(std::string_view imageFileTitle);

// The chosen path with the extension added, unless it already ends with it
// (compared without regard to letter case).
std::string WithExtension(std::string_view chosenPath, std::string_view extension);

// UTF-8 text as Windows-1252 bytes, one byte a character; a character that
// Windows-1252 cannot hold becomes "?".
std::string ToWindows1252(std::string_view utf8);

// The exact bytes a save appends for a document: Windows-1252, then CR LF.
std::string SaveBytes(OutputFormat format, std::string_view artText, const DocumentStyle& style);

// Appends bytes to the file at path (UTF-8), creating it when it does not
// exist. Nothing on success; on failure, one sentence that says why, e.g.
// "The folder does not exist." and nothing is written.
std::optional<std::string> AppendToFile(const std::string& path, std::string_view bytes);

} // namespace glimmora
