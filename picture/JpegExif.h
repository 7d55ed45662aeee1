#pragma once

// The orientation a JPEG's EXIF block gives, read as Qt's JPEG reader reads
// it, for the decoders that read JPEG through libjpeg-turbo themselves.

#include <QByteArray>
#include <QImageIOHandler>

namespace glimmora {

// The APP1 markers' data one after the other: 1 to 8, 0 when there is no
// Orientation entry, -1 when the block is damaged.
int ExifOrientation(const QByteArray& exif);

// Qt's transformation for an EXIF orientation; none for 0, -1 or any other.
QImageIOHandler::Transformations TransformationOf(int orientation);

} // namespace glimmora
