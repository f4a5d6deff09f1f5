#pragma once

// Pixel queries for tests that check what was painted.

#include <functional>
#include <QImage>
#include <QRect>

// How many pixels of `rect` (clipped to the image) satisfy `test`.
inline int CountPixels(const QImage& image, const QRect& rect,
                       const std::function<bool(QRgb)>& test) {
    const QRect r = rect.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

inline int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test) {
    return CountPixels(image, image.rect(), test);
}

// The bounding box of the pixels of `rect` (clipped to the image) that
// satisfy `test`; an invalid rectangle when there are none.
inline QRect PixelBounds(const QImage& image, const QRect& rect,
                         const std::function<bool(QRgb)>& test) {
    const QRect r = rect.intersected(image.rect());
    QRect bounds;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (test(image.pixel(x, y)))
                bounds = bounds.united(QRect(x, y, 1, 1));
    return bounds;
}

// The bounding box of everything that differs from `background` (alpha ignored).
inline QRect InkBounds(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
    return PixelBounds(image, image.rect(),
                       [background](QRgb p) { return (p & 0xFFFFFF) != (background & 0xFFFFFF); });
}
