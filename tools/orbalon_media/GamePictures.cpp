#include "GamePictures.h"

#include "Imaging.h"
#include "Mesh.h"

#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void Smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QImage Transparent(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QImage StopSheet(int F) {
    QImage sheet = Transparent(2 * F, 2 * F);
    QPainter painter(&sheet);
    Smooth(painter);
    // The glow rises and falls over the four frames and loops smoothly.
    const double pulse[4] = {0.35, 0.7, 1.0, 0.7};
    for (int i = 0; i < 4; ++i) {
        const QPointF c((i % 2 + 0.5) * F, (i / 2 + 0.5) * F);
        const double r = F * 0.36;
        QRadialGradient halo(c, F * 0.5);
        halo.setColorAt(0.6, QColor(255, 120, 40, int(160 * pulse[i])));
        halo.setColorAt(1, QColor(255, 80, 20, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(halo);
        painter.drawEllipse(c, F * 0.5, F * 0.5);
        // The button: a red disc with a darker rim and a glossy top.
        QRadialGradient body(c + QPointF(-r * 0.3, -r * 0.35), r * 1.5);
        body.setColorAt(0, QColor(255, 110, 80));
        body.setColorAt(0.6, QColor(205, 30, 25));
        body.setColorAt(1, QColor(120, 10, 10));
        painter.setPen(QPen(QColor(90, 5, 5), F * 0.03));
        painter.setBrush(body);
        painter.drawEllipse(c, r, r);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 235));
        const double barW = r * 0.26, barH = r * 0.95;
        painter.drawRoundedRect(QRectF(c.x() - r * 0.38, c.y() - barH / 2, barW, barH), 2, 2);
        painter.drawRoundedRect(QRectF(c.x() + r * 0.12, c.y() - barH / 2, barW, barH), 2, 2);
        QLinearGradient gloss(c.x(), c.y() - r, c.x(), c.y());
        gloss.setColorAt(0, QColor(255, 255, 255, 170));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setBrush(gloss);
        painter.drawEllipse(QRectF(c.x() - r * 0.72, c.y() - r * 0.92, r * 1.44, r * 0.9));
    }
    painter.end();
    return sheet;
}

QImage EarthLifeSheet(const QImage& globe, int F) {
    QImage sheet = Transparent(2 * F, 2 * F);
    QPainter painter(&sheet);
    Smooth(painter);
    for (int i = 0; i < 4; ++i) {
        const QPointF c((i % 2 + 0.5) * F, (i / 2 + 0.5) * F);
        // A small satellite light goes round a tilted orbit; a quarter turn
        // per frame makes the four frames loop without a jump.
        const double a = kPi / 4 + i * kPi / 2;
        const QPointF light(c.x() + std::cos(a) * F * 0.42, c.y() + std::sin(a) * F * 0.16);
        const bool behind = std::sin(a) < 0;
        auto drawLight = [&] {
            QRadialGradient spark(light, F * 0.16);
            spark.setColorAt(0, QColor(255, 255, 240, 255));
            spark.setColorAt(0.25, QColor(255, 235, 150, 230));
            spark.setColorAt(1, QColor(255, 200, 80, 0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(spark);
            painter.drawEllipse(light, F * 0.16, F * 0.16);
        };
        if (behind)
            drawLight();
        painter.drawImage(QRectF(c.x() - F * 0.4, c.y() - F * 0.4, F * 0.8, F * 0.8), globe);
        if (!behind)
            drawLight();
    }
    painter.end();
    return sheet;
}

QImage GlossyButtonPicture(QColor colour) {
    const int W = 128, H = 48;
    QImage image = Canvas(W, H, QColor(224, 224, 224));
    QPainter painter(&image);
    Smooth(painter);
    const QRectF body(2, 2, W - 4, H - 4);
    QLinearGradient fill(0, body.top(), 0, body.bottom());
    fill.setColorAt(0, Shade(colour, 1.25));
    fill.setColorAt(0.5, colour);
    fill.setColorAt(0.51, Shade(colour, 0.8));
    fill.setColorAt(1, Shade(colour, 1.05));
    painter.setPen(QPen(Shade(colour, 0.55), 1.5));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, H / 2.0 - 2, H / 2.0 - 2);
    QLinearGradient gloss(0, body.top(), 0, body.center().y());
    gloss.setColorAt(0, QColor(255, 255, 255, 200));
    gloss.setColorAt(1, QColor(255, 255, 255, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawRoundedRect(QRectF(8, 4, W - 16, H / 2.0 - 4), H / 4.0, H / 4.0);
    painter.end();
    return image;
}

QImage TopPanelPicture() {
    const int W = 1024, H = 64;
    const TNoise brushed(64, 4, 41);
    QImage image = Canvas(W, H, Qt::black);
    // Dark blue steel, brushed along the strip, brighter in its upper half.
    PerPixel(image, [&](int x, int y) {
        const double v = double(y) / H;
        const QColor top(0x2c, 0x36, 0x4e), middle(0x16, 0x1c, 0x2c), bottom(0x0b, 0x0e, 0x18);
        QColor c = v < 0.45 ? Mix(top, middle, v / 0.45) : Mix(middle, bottom, (v - 0.45) / 0.55);
        const double grain = brushed.Fractal(x / 16.0, y / 16.0, 3) - 0.5;
        return Shade(c, 1 + 0.12 * grain);
    });
    QPainter painter(&image);
    Smooth(painter);
    // A lit rim on top, a glowing blue seam at the bottom edge.
    painter.fillRect(QRectF(0, 0, W, 1.5), QColor(150, 170, 210, 180));
    QLinearGradient seam(0, H - 7, 0, H);
    seam.setColorAt(0, QColor(40, 140, 255, 0));
    seam.setColorAt(0.75, QColor(60, 170, 255, 220));
    seam.setColorAt(1, QColor(20, 80, 160, 255));
    painter.fillRect(QRectF(0, H - 7, W, 7), seam);
    // Rivets near both ends.
    for (const double x : {14.0, W - 14.0}) {
        for (const double y : {14.0, H - 20.0}) {
            QRadialGradient rivet(QPointF(x - 1, y - 1), 4);
            rivet.setColorAt(0, QColor(200, 210, 230));
            rivet.setColorAt(1, QColor(40, 48, 64));
            painter.setPen(Qt::NoPen);
            painter.setBrush(rivet);
            painter.drawEllipse(QPointF(x, y), 3.2, 3.2);
        }
    }
    painter.end();
    return image;
}
