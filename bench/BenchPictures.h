#pragma once

#include <QImage>

#include <cstdint>
#include <functional>

namespace glimmora {

// The colour of one place of a picture before the grain is added, each part
// whole but not yet held to 0..255.
struct Tone {
    int red;
    int green;
    int blue;
};

// Something like a photograph: soft tones from `tone` (given the place as
// fractions fx, fy of the width and height) with a grain of noise of up to
// `grain` either way, drawn from a fixed `seed` so every run makes the same
// picture. Saved as JPEG it is as costly to decode as a camera's.
QImage PhotoLikePicture(int width, int height, std::uint32_t seed, int grain,
                        const std::function<Tone(double fx, double fy)>& tone);

} // namespace glimmora
