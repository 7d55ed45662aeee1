#pragma once

#include <QString>

#include <memory>

#include "PictureFile.h"
#include "WholeDecode.h"

namespace glimmora {

class BytesReader;

// The frames of a picture, one at a time, as Qt's image readers give them:
// each one the whole picture as it stands once that frame is drawn over
// what the ones before it left (their disposal and transparency as the
// file says), upright, then composed over white like a still. A picture
// that is not animated has one frame. Memory holds the frame and the
// reader's own composition, never the frames before it.
class PictureFrames {
public:
    // The file must outlive the frames.
    explicit PictureFrames(const PictureFile& file);
    ~PictureFrames();
    PictureFrames(const PictureFrames&) = delete;
    PictureFrames& operator=(const PictureFrames&) = delete;

    // The next frame, or null after the last one or when it cannot be read
    // (Failed then says why). Throws std::bad_alloc when memory runs out.
    std::shared_ptr<const PictureSurface> Next();
    // How long the frame Next gave last stays, in milliseconds, as the file
    // says (0 where it says nothing).
    int Delay() const { return delay_; }
    // Back to the first frame, to play them again.
    void Rewind();
    const PictureFile& File() const { return file_; }
    // Frames given since the start or the last Rewind.
    int Read() const { return read_; }
    // The times the frames are played again after the first: -1 for ever.
    int Repeats() const;
    // The frames the file holds, as its reader counts them without
    // decoding them; 0 where it cannot tell.
    int Count() const;
    // Why the last Next gave nothing although frames were left; empty at
    // the end of the frames.
    const QString& Failed() const { return failed_; }

    // True when the file holds more than one frame (or the reader cannot
    // tell how many it holds before reading them).
    static bool Animated(const PictureFile& file);

    // A delay as players show it: under 20 ms is 100 ms, as browsers do.
    static int PlayedDelay(int delay) { return delay < 20 ? 100 : delay; }

private:
    const PictureFile& file_;
    std::unique_ptr<BytesReader> reader_;
    int delay_ = 0;
    int read_ = 0;
    mutable int count_ = -1; // not asked yet; the same after Rewind
    bool ended_ = false;
    QString failed_;
};

} // namespace glimmora
