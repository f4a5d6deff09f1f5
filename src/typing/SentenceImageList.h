#pragma once

#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <vector>

class QPainter;
class QRect;
class QColor;

// The background pictures of sentence practice: the pictures of the
// "BackImage" setting that are in use and can be decoded, shown one at a time
// and tiled behind the speed meter and the practice lines.
class TSentenceImageList {
public:
    // Reads the "|"-separated entries of `backImage` (a flag character, '1'
    // in use, then the path) and decodes the pictures in use. Entries that are
    // empty, not in use or cannot be decoded are dropped. When none is left,
    // the list holds the fallback picture as "default image".
    void Load(const QString& backImage, const QImage& fallback);

    // Moves to the next picture, after the last back to the first.
    void Next();

    // Covers `rect` with copies of the current picture anchored at the
    // painter's origin, shifted left by `offset` pixels (so a picture can run
    // on from one control into the next); without a picture the rectangle is
    // filled with `windowColor`.
    void Paint(QPainter& painter, const QRect& rect, int offset, const QColor& windowColor) const;

    int Count() const { return int(FNames.size()); }
    const QString& Names(int index) const { return FNames.at(index); }
    const QImage& Bitmaps(int index) const { return FBitmaps.at(std::size_t(index)); }
    int CurrIndex() const { return FCurrIndex; }
    void SetCurrIndex(int index) { FCurrIndex = index; }

private:
    QStringList FNames;
    std::vector<QImage> FBitmaps;
    std::vector<QPixmap> FTiles; // the same pictures, ready for tiled drawing
    int FCurrIndex = 0;
};
