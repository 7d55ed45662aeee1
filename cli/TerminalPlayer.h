#pragma once

#include <functional>
#include <string>

namespace glimmora {

class PictureFrames;
class PixelSource;

// What the player needs: the frames, how a frame becomes the terminal's
// text (lines each ending in LF), and the times played again after the
// first (-1 for ever).
struct Playback {
    PictureFrames& frames;
    std::function<std::string(const PixelSource&)> drawFrame;
    int repeats = 0;
};

// Plays an animation in place on the terminal outFd: the cursor hidden,
// each frame drawn over the last in one synchronized update (CSI ? 2026
// h/l; terminals that lack it ignore it) at the file's pace, a frame that
// cannot be drawn in time skipped. keysFd, when a terminal, is read for q
// without echo or waiting for Return. The end, q, Ctrl-C, SIGTERM and
// SIGHUP stop it with the last frame drawn left on screen, the colours
// reset, the cursor shown and the terminal's modes as they were; a signal
// then ends the process as it would have. Returns false, with why in error,
// when a frame cannot be read.
bool PlayInTerminal(const Playback& playback, int outFd, int keysFd, std::string& error);

} // namespace glimmora
