#include "app/ImageThumbnail.h"

#include "app/RavlinError.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>

QByteArray ImageFormatForFileName(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return "jpeg";
    if (ext == QLatin1String("gif"))
        return "gif";
    return {};
}

void LoadImageThumbnail(const QString& fileName, QImage* bitmap, int size) {
    if (bitmap == nullptr || fileName.isEmpty())
        return;

    QImageReader reader(fileName, ImageFormatForFileName(fileName));
    const QImage picture = reader.read();
    if (picture.isNull() || picture.height() == 0)
        throw ERavlinError(QStringLiteral("그림 파일을 읽을 수 없습니다.\n%1\n%2")
                               .arg(fileName, reader.errorString()));

    const double ratio = double(picture.width()) / double(picture.height());
    const int width = ratio >= 1.0 ? size : int(size * ratio);
    const int height = ratio >= 1.0 ? int(size / ratio) : size;

    QImage thumbnail(qMax(width, 1), qMax(height, 1), QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(thumbnail.rect(), picture);
    painter.end();
    *bitmap = thumbnail;
}
