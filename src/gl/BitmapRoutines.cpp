#include "gl/BitmapRoutines.h"

#include "app/RavlinError.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Truncates (1 - transparency) * 255 into a byte; values outside 0..1 are
// held at the nearest end rather than wrapping around.
std::uint8_t AlphaOf(float transparency) {
    const double alpha = std::trunc((1.0 - double(transparency)) * 255.0);
    if (!(alpha >= 0))
        return 0;
    return std::uint8_t(std::min(alpha, 255.0));
}

} // namespace

void SetAlphaChannel(QImage& bitmap, bool KeepClear, TColor KeyColor, bool SwapRB, float Tolerance,
                     float KeyTransparency, float Transparency) {
    if (bitmap.format() == QImage::Format_RGB32)
        bitmap.convertTo(QImage::Format_ARGB32);
    if (bitmap.format() != QImage::Format_ARGB32)
        return;

    if (!(Tolerance >= 0) || Tolerance > 1)
        Tolerance = 1;
    const double limit = 1.0 - double(Tolerance);
    const std::uint8_t alphaAll = AlphaOf(Transparency);
    const std::uint8_t alphaKey = AlphaOf(KeyTransparency);
    const bool useKey = KeyColor != clNone;
    const int keyR = RedOf(KeyColor);
    const int keyG = GreenOf(KeyColor);
    const int keyB = BlueOf(KeyColor);
    auto near = [limit](int channel, int key) {
        return double(std::abs(channel - key)) / 255.0 <= limit;
    };

    // Row by row within the bitmap's own rows: no pixel outside it is read.
    const int width = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* pixel = bitmap.scanLine(y);
        for (int x = 0; x < width; ++x, pixel += 4) {
            if (pixel[3] != 0 || !KeepClear)
                pixel[3] = alphaAll;
            if (useKey && near(pixel[0], keyB) && near(pixel[1], keyG) && near(pixel[2], keyR))
                pixel[3] = alphaKey;
            if (SwapRB)
                std::swap(pixel[0], pixel[2]);
        }
    }
}

void BlendBitmapColor(QImage& bitmap, TColor Color, int Percent) {
    // Offsets of red, green and blue within a pixel, and the pixel size.
    int r = 0, g = 0, b = 0, size = 0;
    switch (bitmap.format()) {
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
        r = 2, g = 1, b = 0, size = 4;
        break;
    case QImage::Format_RGB888:
        r = 0, g = 1, b = 2, size = 3;
        break;
    case QImage::Format_BGR888:
        r = 2, g = 1, b = 0, size = 3;
        break;
    default:
        return;
    }
    const int percent = std::clamp(Percent, 0, 100);
    const int colour[3] = {RedOf(Color), GreenOf(Color), BlueOf(Color)};
    const int offsets[3] = {r, g, b};
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* pixel = bitmap.scanLine(y);
        for (int x = 0; x < bitmap.width(); ++x, pixel += size) {
            for (int c = 0; c < 3; ++c) {
                std::uint8_t& channel = pixel[offsets[c]];
                channel = std::uint8_t((channel * (100 - percent) + colour[c] * percent) / 100);
            }
        }
    }
}

int BytesPerPixel(const QImage& bitmap) {
    switch (bitmap.depth()) {
    case 1:
    case 8:
        return 1;
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        throw ERavlinError(QStringLiteral("Unknown Pixel-Format."));
    }
}
