#pragma once

#include <cstdint>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <vector>

// Noise, blur and mask helpers for painting the menu's textures.

// Smooth value noise on a lattice that wraps after `period` cells in x and
// y, so pictures made of it tile without a seam.
class TNoise {
public:
    TNoise(int periodX, int periodY, std::uint32_t seed);
    // x, y in lattice cells; the result lies in [0, 1].
    double Value(double x, double y) const;
    // Fractal sum of `octaves` layers, each twice as fine and `gain` as
    // strong; the result lies roughly in [0, 1].
    double Fractal(double x, double y, int octaves, double gain = 0.5) const;

private:
    double At(int x, int y) const;
    int FPeriodX, FPeriodY;
    std::vector<double> FValues;
};

// Smooth value noise in space (no period), for patterns painted onto a
// sphere without seams or pinched poles.
class TNoise3 {
public:
    explicit TNoise3(std::uint32_t seed)
        : FSeed(seed) {}
    // In [0, 1].
    double Value(double x, double y, double z) const;
    double Fractal(double x, double y, double z, int octaves, double gain = 0.5) const;

private:
    double Hash(int x, int y, int z) const;
    std::uint32_t FSeed;
};

// Deterministic pseudo-random numbers for placing details.
class TRandom {
public:
    explicit TRandom(std::uint32_t seed)
        : FState(seed * 2654435761u + 12345u) {}
    std::uint32_t Next();
    // Uniform in [0, 1).
    double Unit() { return double(Next() % 1000000u) / 1000000.0; }
    double Range(double a, double b) { return a + (b - a) * Unit(); }

private:
    std::uint32_t FState;
};

// Gaussian-like blur (three box passes) of a premultiplied ARGB image.
QImage Blurred(const QImage& image, int radius);

// A soft shadow of `path` filled in `color`, blurred by `radius`, as a
// picture of `size` to be drawn under the shape.
QImage SoftShadow(const QSize& size, const QPainterPath& path, QColor color, int radius);

// For pictures whose pixels end up either opaque or fully transparent:
// makes every pixel with alpha of at least `threshold` opaque and every
// other one transparent, and gives the transparent ones the colour of the
// nearest opaque pixel, so texture filtering never mixes in a stray colour at
// the edges.
QImage HardenAlpha(const QImage& image, int threshold = 128);

// A picture of w x h filled with `fill` (premultiplied ARGB).
QImage Canvas(int w, int h, QColor fill);

// Sets every pixel of an ARGB32 picture from f(x, y) -> QColor. The colours
// must be opaque (premultiplied pictures take them as they are).
template <typename F> void PerPixel(QImage& image, F f) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = f(x, y).rgba();
    }
}

// The colour made brighter (factor > 1) or darker, alpha kept.
QColor Shade(const QColor& c, double factor);

// Colour between a and b (t from 0 to 1).
QColor Mix(const QColor& a, const QColor& b, double t);

double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double x);
