#pragma once

#include <array>
#include <cstddef>
#include <functional>
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

// Receives a document's bytes piece by piece, in order; a piece lives only
// for the call.
using ByteSink = std::function<void(std::string_view bytes)>;

// Writes the exact bytes a save appends for a document, Windows-1252 (HTML:
// ASCII) and CR LF at the end, to a sink as they are composed, without holding the whole
// document: the art comes in pieces (WriteArt, any number of calls; a piece
// may end inside a character) and Finish writes the end. The head goes out
// before the first piece; output reaches the sink in pieces of up to
// kPieceSize bytes, or straight from the art where a long stretch of it is
// written unchanged.
//
// The documents:
// - Clean text: the art unchanged.
// - RTF: the header with the font face and the size in whole half-points,
//   then the art with every CR written as "\par" and that CR, then CR LF and
//   "}". In the art and the face "\", "{" and "}" are escaped with a
//   backslash, and ";" is left out of the face (it would end the font entry).
//   A character Windows-1252 cannot hold is written "\uN?", N the signed
//   16-bit value of each of its UTF-16 units.
// - HTML: thirteen lines around the art, whose CRs become "<BR>". In
//   standard text "&", "<" and ">" become entities, then blanks "&nbsp;";
//   coloured art comes with its letters escaped by the engine and its cells'
//   tags are written as they are. In the face attribute the double quote
//   too becomes an entity; the size text in the style line leaves out
//   ; { } < > " and & (they would end the declaration). Every character
//   above U+007F is written "&#N;", N its code point, so the page is plain
//   ASCII and reads alike whatever character set a browser guesses.
// Clean text writes "?" for a character Windows-1252 cannot hold, every
// format for bytes that are not UTF-8.
class DocumentWriter {
public:
    static constexpr std::size_t kPieceSize = 64 * 1024;

    DocumentWriter(OutputFormat format, const DocumentStyle& style, ByteSink sink);

    void WriteArt(std::string_view piece);
    // Writes bytes as they are, between pieces of art that end whole
    // characters: the markup of a document that holds several arts.
    void WriteMarkup(std::string_view bytes);
    // Writes the end of the document and the CR LF; call it once, last.
    void Finish();

    // Characters written as "?" because the document cannot hold them, or
    // because their bytes were not UTF-8.
    std::size_t QuestionMarks() const { return questionMarks_; }

    struct TextRule;

private:
    void Write(std::string_view text, const TextRule& rule);
    void WriteFixed(std::string_view bytes);
    void WriteCharacter(std::optional<char32_t> character, const TextRule& rule);
    void Flush();

    OutputFormat format_;
    ByteSink sink_;
    std::string out_;
    const TextRule* artRule_;
    // The start of a character that the last piece of art cut off.
    std::array<char, 4> carry_{};
    std::size_t carrySize_ = 0;
    std::size_t questionMarks_ = 0;
};

// The whole document at once; returns DocumentWriter::QuestionMarks.
std::size_t WriteSaveBytes(OutputFormat format, std::string_view artText,
                           const DocumentStyle& style, const ByteSink& sink);

// The exact bytes a save appends for a document: Windows-1252, then CR LF.
std::string SaveBytes(OutputFormat format, std::string_view artText, const DocumentStyle& style);

// Appends bytes to the file at path (UTF-8), creating it when it does not
// exist. Nothing on success; on failure, one sentence that says why, e.g.
// "The folder does not exist." and the file is left as it was (a new file
// removed, an existing one cut back to its old length).
std::optional<std::string> AppendToFile(const std::string& path, std::string_view bytes);

// The same for bytes that write hands to the sink it is given, piece by
// piece. When write throws, the file is left as it was and the exception
// goes on.
std::optional<std::string> AppendToFile(const std::string& path,
                                        const std::function<void(const ByteSink&)>& write);

} // namespace glimmora
