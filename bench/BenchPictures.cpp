#include "BenchPictures.h"

namespace glimmora {

QImage PhotoLikePicture(int width, int height, std::uint32_t seed, int grain,
                        const std::function<Tone(double fx, double fy)>& tone) {
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t state = seed;
    const std::uint32_t spread = static_cast<std::uint32_t>(2 * grain + 1);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state % spread) - grain;
            const Tone t = tone(static_cast<double>(x) / width, static_cast<double>(y) / height);
            line[x] = qRgb(qBound(0, t.red + noise, 255), qBound(0, t.green + noise, 255),
                           qBound(0, t.blue + noise, 255));
        }
    }
    return image;
}

} // namespace glimmora
