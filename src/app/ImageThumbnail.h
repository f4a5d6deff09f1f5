#pragma once

#include <QString>

class QImage;

// Loads a picture scaled to fit a square of `size` pixels, keeping its aspect
// ratio: a wide picture becomes `size` wide and trunc(size / ratio) high, a
// tall one `size` high and trunc(size * ratio) wide; the picture is drawn
// stretched over the whole result. Does nothing when `bitmap` is null or the
// name empty. Throws ERavlinError when the file cannot be decoded.
void LoadImageThumbnail(const QString& fileName, QImage* bitmap, int size);
