#pragma once

// Inside the picture reading: what reading through Qt's image readers takes.

#include <QIODevice>
#include <QImage>
#include <QImageReader>

#include <memory>

#include "PictureFile.h"
#include "core/Colour.h"

namespace glimmora {

// A reader over the file's bytes, of the format the probe found.
class BytesReader {
public:
    explicit BytesReader(const PictureFile& file) : device_(file.Device()) {
        reader_.setDevice(device_.get());
        reader_.setFormat(file.Format());
        reader_.setAutoTransform(true); // EXIF orientation
    }
    QImageReader& operator*() { return reader_; }
    QImageReader* operator->() { return &reader_; }

private:
    std::unique_ptr<QIODevice> device_;
    QImageReader reader_;
};

// Transparent parts read as white: the picture composed over white, as
// RGB32. Null when memory runs out.
QImage ComposedOverWhite(const QImage& decoded);

// A pixel of Qt's as 0x00BBGGRR.
Colour ColourOf(QRgb argb);

} // namespace glimmora
