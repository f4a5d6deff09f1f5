#include "shell/OutlinedText.h"

#include <algorithm>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

// The eight positions at which the character is stamped to build its
// outline: the corners and edge midpoints of a 2t × 2t square.
void StampOutline(QPainter& p, const QString& ch, int t, int ascent) {
    const int offsets[8][2] = {{0, 0},     {2 * t, 0}, {0, 2 * t}, {2 * t, 2 * t},
                               {2 * t, t}, {t, 0},     {t, 2 * t}, {0, t}};
    for (const auto& o : offsets)
        p.drawText(o[0], o[1] + ascent, ch);
}

int Channel(QRgb c, int shift) {
    return (int(c) >> shift) & 0xFF;
}

} // namespace

int DrawOutlinedText(QPainter& canvas, int x, int y, int thickness, TColor gradTopColor,
                     TColor outlineColor, const QString& text) {
    const int t = std::max(0, thickness);
    const QFont font = canvas.font();
    const QFontMetrics fm(font);
    const QColor fontColor = canvas.pen().color();
    const QColor top = ToQColor(gradTopColor);
    const QColor outline = ToQColor(outlineColor);

    canvas.save();
    // Walk by code point so that a surrogate pair is drawn as one character.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len;

        const int w = fm.horizontalAdvance(ch);
        const int h = fm.height();
        const int cellW = w + 2 * t;
        const int cellH = h + 2 * t;
        if (w <= 0 || cellH <= 0) {
            x += cellW;
            continue;
        }

        // Outline: the character stamped at the eight offsets.
        QImage outlineImg(cellW, cellH, QImage::Format_ARGB32_Premultiplied);
        outlineImg.fill(Qt::transparent);
        {
            QPainter p(&outlineImg);
            p.setFont(font);
            p.setPen(outline);
            StampOutline(p, ch, t, fm.ascent());
        }

        // Fill: the gradient, row by row, cut out by the character at (t, t).
        QImage fillImg(cellW, cellH, QImage::Format_ARGB32_Premultiplied);
        {
            const QRgb a = top.rgb();
            const QRgb b = fontColor.rgb();
            for (int r = 0; r < cellH; ++r) {
                auto mix = [&](int shift) {
                    return Channel(a, shift) + r * (Channel(b, shift) - Channel(a, shift)) / cellH;
                };
                const QRgb row = qRgb(mix(16), mix(8), mix(0));
                QRgb* line = reinterpret_cast<QRgb*>(fillImg.scanLine(r));
                std::fill(line, line + cellW, row);
            }
            QImage glyph(cellW, cellH, QImage::Format_ARGB32_Premultiplied);
            glyph.fill(Qt::transparent);
            {
                QPainter p(&glyph);
                p.setFont(font);
                p.setPen(Qt::black);
                p.drawText(t, t + fm.ascent(), ch);
            }
            QPainter p(&fillImg);
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, glyph);
        }

        canvas.drawImage(x, y, outlineImg);
        canvas.drawImage(x, y, fillImg);
        x += cellW;
    }
    canvas.restore();
    return x;
}
