#pragma once

#include <QByteArray>
#include <QString>

class QImage;

// The decoder for a picture file: "jpeg" for ".jpg" and ".jpeg", "gif" for
// ".gif" (letter case ignored), empty for anything else, which the general
// image reader then recognises by content (BMP, PNG, ...). Pass it to
// QImageReader wherever a picture is loaded.
QByteArray ImageFormatForFileName(const QString& fileName);

// Loads a picture scaled to fit a square of `size` pixels, keeping its aspect
// ratio: a wide picture becomes `size` wide and trunc(size / ratio) high, a
// tall one `size` high and trunc(size * ratio) wide; the picture is drawn
// stretched over the whole result. Does nothing when `bitmap` is null or the
// name empty. Throws ERavlinError when the file cannot be decoded.
void LoadImageThumbnail(const QString& fileName, QImage* bitmap, int size);
