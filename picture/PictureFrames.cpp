#include "PictureFrames.h"

#include <new>

#include "QtReaders.h"

namespace glimmora {

PictureFrames::PictureFrames(const PictureFile& file)
    : file_(file), reader_(std::make_unique<BytesReader>(file)) {}

PictureFrames::~PictureFrames() = default;

void PictureFrames::Rewind() {
    reader_ = std::make_unique<BytesReader>(file_);
    delay_ = 0;
    read_ = 0;
    ended_ = false;
    failed_.clear();
}

bool PictureFrames::Animated(const PictureFile& file) {
    BytesReader reader(file);
    return reader->supportsAnimation() && reader->imageCount() != 1;
}

std::shared_ptr<const PictureSurface> PictureFrames::Next() {
    if (ended_) {
        return nullptr;
    }
    QImageReader& reader = **reader_;
    // A reader that cannot tell its frames apart has just the one.
    if (read_ > 0 && !reader.supportsAnimation()) {
        ended_ = true;
        return nullptr;
    }
    QImage frame = reader.read();
    if (frame.isNull()) {
        ended_ = true;
        // Past the last frame the readers say so in their own words; a
        // frame that was there but could not be decoded is a failure.
        if (read_ == 0 || (reader.imageCount() > 0 && read_ < reader.imageCount())) {
            failed_ = QStringLiteral("The frame %1 of %2 cannot be read: %3.")
                          .arg(read_ + 1)
                          .arg(file_.ShownName(), reader.errorString());
        }
        return nullptr;
    }
    // Qt takes a name ending in @2x for a high-density picture; every pixel
    // of the file is one pixel of the art.
    frame.setDevicePixelRatio(1.0);
    delay_ = std::max(0, reader.nextImageDelay());
    ++read_;
    QImage opaque = ComposedOverWhite(frame);
    if (opaque.isNull()) {
        throw std::bad_alloc();
    }
    return std::make_shared<const PictureSurface>(std::move(opaque));
}

int PictureFrames::Repeats() const {
    QImageReader& reader = **reader_;
    return reader.supportsAnimation() ? std::max(-1, reader.loopCount()) : 0;
}

int PictureFrames::Count() const {
    if (count_ < 0) {
        QImageReader& reader = **reader_;
        count_ = reader.supportsAnimation() ? std::max(0, reader.imageCount()) : 1;
    }
    return count_;
}

} // namespace glimmora
