#pragma once

#include <QString>

#include <string>

#include "core/Format.h"
#include "output/Documents.h"

class QWidget;

namespace glimmora {

class Platform;

// What a save needs from the finished conversion.
struct SaveInputs {
    OutputFormat format = OutputFormat::Rtf;
    std::string artText; // ArtBuffer
    DocumentStyle style;
    std::string imageFileTitle;
};

// Page 6's Save: composes the document, asks for a file name (proposed from
// the picture's title) and appends the document to that file. A cancelled
// dialog writes nothing; a failed write is reported in a critical message
// titled "Save".
void SaveArt(Platform& platform, QWidget* parent, const SaveInputs& inputs);

// Page 6's Print: the art text on the default printer for clean text and
// RTF; nothing for the two HTML formats.
void PrintArt(Platform& platform, OutputFormat format, const std::string& artText);

// Page 6's Copy: the art text on the clipboard as plain text, unchanged.
void CopyArt(Platform& platform, const std::string& artText);

} // namespace glimmora
