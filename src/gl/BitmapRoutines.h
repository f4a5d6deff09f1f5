#pragma once

#include "app/Colors.h"

#include <QImage>

// Pixel routines the screens use on texture images inside their texture
// callbacks. "32-bit bitmaps" are QImage::Format_ARGB32 images, which lie in
// memory as blue, green, red, alpha per pixel (Format_RGB32 is accepted and
// turned into Format_ARGB32, its alpha bytes being 255).

// Sets the alpha of every pixel of a 32-bit bitmap (other bitmaps are left
// unchanged):
//  - each pixel gets alpha (1 - Transparency) * 255, except that with
//    KeepClear already fully transparent pixels stay so;
//  - unless KeyColor is clNone, pixels whose blue, green and red each differ
//    from the key colour by at most (1 - Tolerance) of full scale get alpha
//    (1 - KeyTransparency) * 255 (Tolerance 1: exact match only);
//  - with SwapRB the first and third byte of each pixel are exchanged.
void SetAlphaChannel(QImage& bitmap, bool KeepClear, TColor KeyColor, bool SwapRB, float Tolerance,
                     float KeyTransparency, float Transparency);

// Mixes every pixel of a 24- or 32-bit bitmap towards Color by Percent
// (0 to 100, larger values count as 100): channel = (channel * (100 - P) +
// colour * P) / 100 in integers. Alpha is untouched; other bitmaps are left
// unchanged.
void BlendBitmapColor(QImage& bitmap, TColor Color, int Percent);

// Bytes a pixel of the bitmap takes: 1 for 1- and 8-bit, 2 for 16-bit, 3 for
// 24-bit and 4 for 32-bit formats. Throws ERavlinError("Unknown
// Pixel-Format.") for any other.
int BytesPerPixel(const QImage& bitmap);
