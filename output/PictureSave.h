#pragma once

#include <QString>

#include "output/Outlets.h"

class QWidget;

namespace glimmora {

class Platform;

// The type page 6's Save offers beside the document's own.
inline constexpr char kPictureSaveFilter[] = "PNG picture (*.png)";

// Page 6's Save when the PNG picture was chosen: the art as the renderer
// draws it (ArtPicture), written to the chosen name with ".png" added
// unless it ends so. An existing file is replaced, after asking, No the
// default; the picture is written beside it and renamed over it once
// whole, so a failure leaves it as it was (a device or a pipe is written
// into). A failure or a picture that cannot be made is reported in a
// critical message titled "Save".
void SaveArtPicture(Platform& platform, QWidget* parent, const SaveInputs& inputs,
                    const QString& chosenPath);

} // namespace glimmora
