#include "Imaging.h"

#include <algorithm>
#include <cmath>
#include <QPainter>

TNoise::TNoise(int periodX, int periodY, std::uint32_t seed)
    : FPeriodX(periodX)
    , FPeriodY(periodY)
    , FValues(size_t(periodX) * size_t(periodY)) {
    TRandom random(seed);
    for (double& v : FValues)
        v = random.Unit();
}

double TNoise::At(int x, int y) const {
    x = ((x % FPeriodX) + FPeriodX) % FPeriodX;
    y = ((y % FPeriodY) + FPeriodY) % FPeriodY;
    return FValues[size_t(y) * size_t(FPeriodX) + size_t(x)];
}

double TNoise::Value(double x, double y) const {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double fx = fade(x - x0), fy = fade(y - y0);
    const double a = At(x0, y0), b = At(x0 + 1, y0), c = At(x0, y0 + 1), d = At(x0 + 1, y0 + 1);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double TNoise::Fractal(double x, double y, int octaves, double gain) const {
    double sum = 0, amplitude = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        // Each octave samples at a whole multiple of the base lattice, so the
        // period holds for all of them.
        sum += amplitude * Value(x * scale + i * 17.0 * FPeriodX, y * scale + i * 31.0 * FPeriodY);
        total += amplitude;
        amplitude *= gain;
        scale *= 2;
    }
    return sum / total;
}

double TNoise3::Hash(int x, int y, int z) const {
    std::uint32_t h = FSeed * 374761393u + std::uint32_t(x) * 668265263u +
                      std::uint32_t(y) * 2246822519u + std::uint32_t(z) * 3266489917u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFFFu) / double(0xFFFFFF);
}

double TNoise3::Value(double x, double y, double z) const {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y)), z0 = int(std::floor(z));
    auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double fx = fade(x - x0), fy = fade(y - y0), fz = fade(z - z0);
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    double layer[2];
    for (int k = 0; k < 2; ++k) {
        const double a = Hash(x0, y0, z0 + k), b = Hash(x0 + 1, y0, z0 + k);
        const double c = Hash(x0, y0 + 1, z0 + k), d = Hash(x0 + 1, y0 + 1, z0 + k);
        layer[k] = lerp(lerp(a, b, fx), lerp(c, d, fx), fy);
    }
    return lerp(layer[0], layer[1], fz);
}

double TNoise3::Fractal(double x, double y, double z, int octaves, double gain) const {
    double sum = 0, amplitude = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Value(x * scale + i * 7.1, y * scale - i * 3.7, z * scale + i * 5.3);
        total += amplitude;
        amplitude *= gain;
        scale *= 2.03;
    }
    return sum / total;
}

std::uint32_t TRandom::Next() {
    FState ^= FState << 13;
    FState ^= FState >> 17;
    FState ^= FState << 5;
    return FState;
}

namespace {

// One horizontal box pass over premultiplied ARGB32 pixels (edges clamp).
void BoxPass(const QImage& from, QImage& to, int radius, bool horizontal) {
    const int w = from.width(), h = from.height();
    const int lines = horizontal ? h : w, length = horizontal ? w : h;
    std::vector<int> sums(4);
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb {
            i = std::clamp(i, 0, length - 1);
            return horizontal ? reinterpret_cast<const QRgb*>(from.constScanLine(line))[i]
                              : reinterpret_cast<const QRgb*>(from.constScanLine(i))[line];
        };
        int a = 0, r = 0, g = 0, b = 0;
        for (int i = -radius; i <= radius; ++i) {
            const QRgb p = pixel(i);
            a += qAlpha(p), r += qRed(p), g += qGreen(p), b += qBlue(p);
        }
        const int n = 2 * radius + 1;
        for (int i = 0; i < length; ++i) {
            const QRgb value = qRgba(r / n, g / n, b / n, a / n);
            if (horizontal)
                reinterpret_cast<QRgb*>(to.scanLine(line))[i] = value;
            else
                reinterpret_cast<QRgb*>(to.scanLine(i))[line] = value;
            const QRgb out = pixel(i - radius), in = pixel(i + radius + 1);
            a += qAlpha(in) - qAlpha(out), r += qRed(in) - qRed(out);
            g += qGreen(in) - qGreen(out), b += qBlue(in) - qBlue(out);
        }
    }
}

} // namespace

QImage Blurred(const QImage& image, int radius) {
    QImage a = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0)
        return a;
    QImage b(a.size(), QImage::Format_ARGB32_Premultiplied);
    const int box = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(a, b, box, true);
        BoxPass(b, a, box, false);
    }
    return a;
}

QImage SoftShadow(const QSize& size, const QPainterPath& path, QColor color, int radius) {
    QImage shadow(size, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter painter(&shadow);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(path, color);
    }
    return Blurred(shadow, radius);
}

QImage HardenAlpha(const QImage& image, int threshold) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const int w = result.width(), h = result.height();
    std::vector<QRgb> colour(size_t(w) * size_t(h));
    std::vector<int> distance(size_t(w) * size_t(h), -1);
    std::vector<int> queue;
    queue.reserve(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            if (qAlpha(line[x]) >= threshold) {
                colour[i] = qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
                distance[i] = 0;
                queue.push_back(int(i));
            }
        }
    }
    // Breadth-first spread of the opaque colours into the transparent area.
    for (size_t head = 0; head < queue.size(); ++head) {
        const int i = queue[head];
        const int x = i % w, y = i / w;
        const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& n : neighbours) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h)
                continue;
            const size_t j = size_t(n[1]) * size_t(w) + size_t(n[0]);
            if (distance[j] >= 0)
                continue;
            distance[j] = distance[size_t(i)] + 1;
            colour[j] = colour[size_t(i)];
            queue.push_back(int(j));
        }
    }
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            const QRgb c = distance[i] >= 0 ? colour[i] : qRgb(0, 0, 0);
            const int alpha = distance[i] == 0 ? 255 : 0;
            line[x] = qRgba(qRed(c), qGreen(c), qBlue(c), alpha);
        }
    }
    return result;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = Clamp01(t);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double x) {
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

QImage Canvas(int w, int h, QColor fill) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QColor Shade(const QColor& c, double factor) {
    return QColor::fromRgbF(float(Clamp01(c.redF() * factor)), float(Clamp01(c.greenF() * factor)),
                            float(Clamp01(c.blueF() * factor)), c.alphaF());
}
