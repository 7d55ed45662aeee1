#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "core/Format.h"
#include "output/Documents.h"

class QWidget;

namespace glimmora {

class Platform;

// What a save needs from the finished conversion. The art is not copied:
// it must stay as it is until SaveArt returns.
struct SaveInputs {
    OutputFormat format = OutputFormat::Rtf;
    std::string_view artText; // ArtBuffer
    DocumentStyle style;
    std::string imageFileTitle;
};

// "The folder does not exist." read on after a colon: "the folder does not
// exist."
QString AsContinuation(const std::string& sentence);

// Page 6's Save: asks for a file name (proposed from the picture's title)
// and appends the document to that file, composed as it is written. The
// dialog also offers the art as a PNG picture (SaveArtPicture). When
// the file (its name with the extension) exists, asks first whether to add
// the art to its end, No the default. A cancelled dialog or a No writes
// nothing; a failed write is reported in a critical message titled "Save"
// and leaves the file as it was.
void SaveArt(Platform& platform, QWidget* parent, const SaveInputs& inputs);

// Page 6's Print: the art text on the default printer for clean text and
// RTF; nothing for the two HTML formats. Without a usable printer, a
// critical message titled "Print" over parent says so.
void PrintArt(Platform& platform, OutputFormat format, const std::string& artText,
              QWidget* parent = nullptr);

// Page 6's Copy: the art text on the clipboard as plain text, unchanged.
void CopyArt(Platform& platform, const std::string& artText);

} // namespace glimmora
