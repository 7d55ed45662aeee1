#pragma once

namespace glimmora {

// Moving pictures: a 1080p, 25 fps, 200-frame GIF played by the converter
// on a 200 x 60 pseudo-terminal while another thread keeps a core busy
// (frames shown a second, peak memory), then written as animated HTML and
// as a GIF of the art (time, peak memory), each against the converter's
// floor. Needs a QCoreApplication.
void RunAnimationBenchmark();

} // namespace glimmora
