#include "AppIcon.h"

#include <cmath>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace {

const QString kGlyph = QStringLiteral("타");

// Colours of the cap: the skirt (front and sides) darker, the top face
// lighter, both lit from above; a dark navy glyph with a white highlight.
const QColor kSkirtTop(58, 98, 196);
const QColor kSkirtBottom(20, 36, 104);
const QColor kSkirtLine(12, 22, 66);
const QColor kFaceTop(196, 222, 255);
const QColor kFaceBottom(112, 156, 236);
const QColor kFaceLine(38, 66, 150);
const QColor kGlyphColor(12, 28, 96);
const QColor kHighlight(255, 255, 255);

// The glyph drawn pixel by pixel for the 16 px icon, where an outline
// scaled down blurs into a smudge: 1 px strokes on whole pixels, ㅌ with its
// three bars and stem, ㅏ with its stem and stub (x, y, width, height).
struct TPixelRect {
    int X, Y, W, H;
};
constexpr TPixelRect kPixelGlyph16[] = {
    {3, 3, 5, 1},  // ㅌ top bar
    {3, 4, 1, 5},  // ㅌ stem
    {4, 6, 3, 1},  // ㅌ middle bar
    {3, 9, 5, 1},  // ㅌ bottom bar
    {10, 2, 1, 9}, // ㅏ stem
    {11, 6, 2, 1}, // ㅏ stub
};

// The glyph's outline in the bold Hangul face, scaled to fill `box` while
// keeping its proportions, centred.
QPainterPath GlyphPath(const QRectF& box) {
    QFont font(QStringLiteral("NanumSquare"));
    font.setStyleName(QStringLiteral("Bold"));
    font.setWeight(QFont::Bold);
    font.setPixelSize(200);
    QPainterPath path;
    path.addText(0, 0, font, kGlyph);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty())
        return {};
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform transform;
    transform.translate(box.center().x(), box.center().y());
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}

// Pen width that thickens the glyph's strokes, in picture units.
double GlyphWeight(const QRectF& glyphBox) {
    return glyphBox.height() * 0.05;
}

QString Number(double v) {
    return QString::number(std::round(v * 100) / 100, 'g', 8);
}

QString SvgColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// SVG path data of a painter path (move, line and cubic segments only,
// which is all glyph outlines contain after QPainterPath::addText).
QString SvgPathData(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x),
                          Number(end.y));
            i += 2;
        }
    }
    return d + QLatin1Char('Z');
}

QString SvgRoundedRect(const QRectF& r, double radius, const QString& fill, const QColor& line,
                       double lineWidth) {
    return QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                          "fill=\"%6\" stroke=\"%7\" stroke-width=\"%8\"/>\n")
        .arg(Number(r.x()), Number(r.y()), Number(r.width()), Number(r.height()), Number(radius),
             fill, SvgColor(line), Number(lineWidth));
}

QString SvgGradient(const QString& id, const QRectF& r, const QColor& top, const QColor& bottom) {
    return QStringLiteral("    <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" "
                          "y1=\"%2\" x2=\"0\" y2=\"%3\">\n"
                          "      <stop offset=\"0\" stop-color=\"%4\"/>\n"
                          "      <stop offset=\"1\" stop-color=\"%5\"/>\n"
                          "    </linearGradient>\n")
        .arg(id, Number(r.top()), Number(r.bottom()), SvgColor(top), SvgColor(bottom));
}

} // namespace

TAppIcon::TLayout TAppIcon::LayoutFor(int size) {
    TLayout l;
    if (size <= 24) {
        // Whole-pixel parts with one-pixel lines on pixel centres: the face
        // takes nearly all of the cap, the skirt shows as a dark rim that is
        // thicker at the bottom, and the glyph is as large as the face allows.
        const double s = size / 16.0;
        l.Skirt = QRectF(0.5, 0.5 * s, size - 1.0, size - 0.5 - 0.5 * s);
        l.SkirtRadius = 2.5 * s;
        l.SkirtLine = 1;
        l.Face = QRectF(1, 1, size - 2.0, size - 2.0 - std::round(3 * s));
        l.FaceRadius = 1.5 * s;
        l.FaceLine = 0;
        l.Glyph = l.Face.adjusted(0.6 * s, 0.6 * s, -0.6 * s, -0.6 * s);
        l.Highlight = false;
        return l;
    }
    const double u = size / 256.0;
    l.Skirt = QRectF(12 * u, 20 * u, 232 * u, 224 * u);
    l.SkirtRadius = 40 * u;
    l.SkirtLine = std::max(1.0, 6 * u);
    l.Face = QRectF(34 * u, 26 * u, 188 * u, 176 * u);
    l.FaceRadius = 30 * u;
    l.FaceLine = std::max(1.0, 4 * u);
    l.Glyph = l.Face.adjusted(22 * u, 20 * u, -22 * u, -20 * u);
    l.Highlight = size >= 48;
    return l;
}

QImage TAppIcon::Render(int size) {
    const TLayout l = LayoutFor(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient skirt(0, l.Skirt.top(), 0, l.Skirt.bottom());
    skirt.setColorAt(0, kSkirtTop);
    skirt.setColorAt(1, kSkirtBottom);
    p.setPen(QPen(kSkirtLine, l.SkirtLine));
    p.setBrush(skirt);
    p.drawRoundedRect(l.Skirt, l.SkirtRadius, l.SkirtRadius);

    QLinearGradient face(0, l.Face.top(), 0, l.Face.bottom());
    face.setColorAt(0, kFaceTop);
    face.setColorAt(1, kFaceBottom);
    if (l.FaceLine > 0)
        p.setPen(QPen(kFaceLine, l.FaceLine));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(l.Face, l.FaceRadius, l.FaceRadius);

    if (size == 16) {
        for (const TPixelRect& r : kPixelGlyph16)
            p.fillRect(QRect(r.X, r.Y, r.W, r.H), kGlyphColor);
        p.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    // The outline is drawn with a pen as well as filled, which makes the
    // strokes heavier than the font's own bold.
    const QPainterPath glyph = GlyphPath(l.Glyph);
    const double weight = GlyphWeight(l.Glyph);
    if (l.Highlight) {
        const double offset = size / 96.0;
        p.setPen(QPen(kHighlight, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kHighlight);
        p.drawPath(glyph.translated(offset, offset));
    }
    p.setPen(QPen(kGlyphColor, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kGlyphColor);
    p.drawPath(glyph);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray TAppIcon::Svg() {
    const int size = 256;
    const TLayout l = LayoutFor(size);
    const QPainterPath glyph = GlyphPath(l.Glyph);
    const double offset = size / 96.0;

    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" "
                          "height=\"256\" viewBox=\"0 0 256 256\">\n"
                          "  <title>Ravlin</title>\n"
                          "  <defs>\n");
    svg += SvgGradient(QStringLiteral("skirt"), l.Skirt, kSkirtTop, kSkirtBottom);
    svg += SvgGradient(QStringLiteral("face"), l.Face, kFaceTop, kFaceBottom);
    svg += QStringLiteral("  </defs>\n");
    svg += SvgRoundedRect(l.Skirt, l.SkirtRadius, QStringLiteral("url(#skirt)"), kSkirtLine,
                          l.SkirtLine);
    svg +=
        SvgRoundedRect(l.Face, l.FaceRadius, QStringLiteral("url(#face)"), kFaceLine, l.FaceLine);
    const QString glyphPath =
        QStringLiteral("  <path fill=\"%1\" stroke=\"%1\" stroke-width=\"%2\" "
                       "stroke-linejoin=\"round\" stroke-linecap=\"round\" d=\"%3\"/>\n");
    const QString weight = Number(GlyphWeight(l.Glyph));
    svg +=
        glyphPath.arg(SvgColor(kHighlight), weight, SvgPathData(glyph.translated(offset, offset)));
    svg += glyphPath.arg(SvgColor(kGlyphColor), weight, SvgPathData(glyph));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}
