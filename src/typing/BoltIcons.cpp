#include "typing/BoltIcons.h"

#include <algorithm>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The bolt's outline in a unit square: a zig-zag from the top right down to
// a point at the bottom.
QPainterPath UnitBolt() {
    static const QPointF kPoints[] = {
        {0.56, 0.02}, {0.18, 0.56}, {0.45, 0.56}, {0.34, 0.98},
        {0.82, 0.40}, {0.55, 0.40}, {0.72, 0.02},
    };
    QPainterPath path;
    path.moveTo(kPoints[0]);
    for (const QPointF& p : kPoints)
        path.lineTo(p);
    path.closeSubpath();
    return path;
}

} // namespace

QPixmap DrawBoltIcon(TBoltIcon icon, int size) {
    if (size < 1)
        return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QTransform transform;
    QColor light, dark, edge;
    if (icon == biBlueBolt) {
        transform.scale(size, size);
        light = QColor(150, 210, 255);
        dark = QColor(20, 80, 220);
        edge = QColor(10, 30, 120);
    } else {
        // Smaller and lower: the bolt has struck.
        transform.translate(size * 0.1, size * 0.22);
        transform.scale(size * 0.8, size * 0.78);
        light = QColor(255, 220, 90);
        dark = QColor(230, 40, 20);
        edge = QColor(120, 10, 0);
    }
    const QPainterPath bolt = transform.map(UnitBolt());
    QLinearGradient gradient(bolt.boundingRect().topLeft(), bolt.boundingRect().bottomRight());
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    painter.setBrush(gradient);
    painter.setPen(QPen(edge, std::max(1.0, size / 20.0)));
    painter.drawPath(bolt);
    return pixmap;
}
