#include "app/KeyLabel.h"

#include <cstdlib>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>

void DrawKeyLabel(QPainter& painter, const QRect& rect, int horzMode, bool shifted,
                  const QString& text, int vertMode) {
    const QFontMetrics metrics = painter.fontMetrics();
    // The whole text is measured, line break included, as one run.
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();

    const qsizetype breakAt = text.indexOf(QChar(0x0D));
    const QString line1 = breakAt < 0 ? text : text.left(breakAt);
    const QString line2 = breakAt < 0 ? QString() : text.mid(breakAt + 1);

    const int H = rect.height();
    const int half = H / 2;

    int y = rect.top();
    switch (vertMode) {
    case klvUpperHalf:
        y = rect.top() + std::abs(half - h) / 2;
        break;
    case klvWhole:
        y = rect.top() + (H - h) / 2;
        break;
    case klvLowerHalf:
        y = rect.top() + half + (half - h) / 2;
        break;
    default:
        break;
    }

    int x = rect.left();
    switch (horzMode) {
    case klhLeftHalf:
        x = line1.size() == 1 ? rect.left() + (half - w) / 2 : rect.left() + 5;
        break;
    case klhWhole:
        x = rect.left() + (H - w) / 2;
        break;
    case klhRightHalf:
        x = rect.left() + half + (half - w) / 2;
        break;
    default:
        break;
    }

    if (shifted)
        y += 5;

    // Positions are the top-left corners of the text; QPainter draws at the baseline.
    painter.drawText(x, y + metrics.ascent(), line1);
    if (breakAt >= 0)
        painter.drawText(x, y + h + 2 + metrics.ascent(), line2);
}
