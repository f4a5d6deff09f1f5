#include "typing/SentenceImageList.h"

#include "app/ImageThumbnail.h"
#include "app/MediaPath.h"

#include <QImageReader>
#include <QPainter>

namespace {

// Decodes a picture the way thumbnails are decoded: JPEG and GIF by their
// extension, anything else by content.
QImage LoadPicture(const QString& fileName) {
    QImageReader reader(fileName, ImageFormatForFileName(fileName));
    return reader.read();
}

} // namespace

void TSentenceImageList::Load(const QString& backImage, const QImage& fallback) {
    FNames.clear();
    FBitmaps.clear();
    FTiles.clear();

    const QStringList entries = backImage.split(QLatin1Char('|'));
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const QString& entry = entries[i];
        if (entry.isEmpty() || entry[0] == QLatin1Char('0'))
            continue;
        const QString path = entry.mid(1);
        QImage picture = path.isEmpty() ? QImage() : LoadPicture(MediaPath(path));
        if (picture.isNull())
            continue;
        FNames.prepend(entry);
        FBitmaps.insert(FBitmaps.begin(), picture);
    }
    if (FNames.isEmpty() && !fallback.isNull()) {
        FNames << QStringLiteral("default image");
        FBitmaps.push_back(fallback.copy());
    }
    for (const QImage& bitmap : FBitmaps)
        FTiles.push_back(QPixmap::fromImage(bitmap));
}

void TSentenceImageList::Next() {
    ++FCurrIndex;
    if (FCurrIndex >= Count())
        FCurrIndex = 0;
}

void TSentenceImageList::Paint(QPainter& painter, const QRect& rect, int offset,
                               const QColor& windowColor) const {
    if (FCurrIndex < 0 || FCurrIndex >= Count() || FTiles[std::size_t(FCurrIndex)].isNull()) {
        painter.fillRect(rect, windowColor);
        return;
    }
    const QPixmap& tile = FTiles[std::size_t(FCurrIndex)];
    const int w = tile.width();
    const int h = tile.height();
    const int sx = ((rect.left() + offset) % w + w) % w;
    const int sy = (rect.top() % h + h) % h;
    painter.drawTiledPixmap(rect, tile, QPoint(sx, sy));
}
