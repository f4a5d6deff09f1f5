// Paints the About box's 32 × 32 picture: a keyboard key cap bearing the
// syllable 타, the first of the program's name.

#include <cstdio>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: about_media <program folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/Images");
    QDir().mkpath(folder);

    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);

    // The key's skirt, then its lighter top face.
    QLinearGradient skirt(0, 0, 0, 32);
    skirt.setColorAt(0, QColor(70, 110, 200));
    skirt.setColorAt(1, QColor(25, 45, 120));
    p.setPen(QPen(QColor(15, 25, 70), 1));
    p.setBrush(skirt);
    p.drawRoundedRect(QRectF(1.5, 2.5, 29, 28), 5, 5);
    QLinearGradient top(0, 4, 0, 24);
    top.setColorAt(0, QColor(170, 205, 255));
    top.setColorAt(1, QColor(95, 140, 230));
    p.setPen(QPen(QColor(40, 70, 160), 0.8));
    p.setBrush(top);
    p.drawRoundedRect(QRectF(5, 4.5, 22, 20), 4, 4);

    QFont font(QStringLiteral("NanumGothic"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(5, 4, 22, 21), Qt::AlignCenter, QStringLiteral("타"));
    p.setPen(QColor(10, 30, 110));
    p.drawText(QRectF(4, 3, 22, 21), Qt::AlignCenter, QStringLiteral("타"));
    p.end();

    const QString path = folder + QStringLiteral("/ravlin_about.png");
    if (!icon.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
