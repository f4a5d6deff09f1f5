#include "typing/BuiltInBackground.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr int kSize = 128;

// Blurs a square field horizontally or vertically with a box that wraps
// around the edges, so the result still tiles.
std::vector<float> BoxBlur(const std::vector<float>& field, int radius, bool horizontal) {
    std::vector<float> out(field.size());
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                const int sx = horizontal ? (x + k + kSize) % kSize : x;
                const int sy = horizontal ? y : (y + k + kSize) % kSize;
                sum += field[std::size_t(sy * kSize + sx)];
            }
            out[std::size_t(y * kSize + x)] = sum / float(2 * radius + 1);
        }
    }
    return out;
}

} // namespace

QImage BuiltInBackgroundPicture() {
    std::vector<float> noise(kSize * kSize);
    std::uint32_t state = 0x9E3779B9u;
    for (float& v : noise) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        v = float(state % 1024u) / 1023.0f;
    }
    // Paper fibres run mostly one way: blur more along x than along y.
    std::vector<float> fibres = BoxBlur(BoxBlur(noise, 6, true), 1, false);
    std::vector<float> clouds = BoxBlur(BoxBlur(noise, 10, true), 10, false);

    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSize; ++x) {
            const std::size_t i = std::size_t(y * kSize + x);
            // Both fields hover around 0.5; stretch their small swings.
            const float shade = (fibres[i] - 0.5f) * 40.0f + (clouds[i] - 0.5f) * 90.0f;
            line[x] = qRgb(qBound(0, int(246 + shade), 255), qBound(0, int(240 + shade), 255),
                           qBound(0, int(226 + shade * 1.2f), 255));
        }
    }
    return image;
}
