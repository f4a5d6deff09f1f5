#include "MenuTextures.h"

#include "Imaging.h"
#include "MenuLayout.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

namespace {

constexpr double kPi = 3.14159265358979323846;

QFont MakeFont(const char* family, double pixelSize, int weight = QFont::Bold) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(int(std::lround(pixelSize)));
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void Smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline) {
    QPainterPath path;
    path.addText(baseline, font, text);
    return path;
}

// Text centred on `centre` (horizontally on its advance, vertically on its
// cap height).
QPainterPath CentredTextPath(const QString& text, const QFont& font, QPointF centre) {
    const QFontMetricsF metrics(font);
    const double w = metrics.horizontalAdvance(text);
    const double capHeight = metrics.capHeight() > 0 ? metrics.capHeight() : metrics.ascent() * 0.7;
    return TextPath(text, font, {centre.x() - w / 2, centre.y() + capHeight / 2});
}

} // namespace

// ---------------------------------------------------------------- keyboard

QImage KeyboardPicture(int frame) {
    const int W = 1024, H = 392;
    const double sx = W / (2 * kKeyboardHalfWidth), sz = H / (2 * kKeyboardHalfDepth);
    auto X = [&](double x) { return (x + kKeyboardHalfWidth) * sx; };
    auto Y = [&](double z) { return (z + kKeyboardHalfDepth) * sz; };

    // The plate: dark brushed metal, lighter towards the back.
    QImage image = Canvas(W, H, Qt::black);
    const TNoise brushed(256, 12, 11);
    const QColor back(0x4a, 0x54, 0x68), front(0x2a, 0x30, 0x3d);
    PerPixel(image, [&](int x, int y) {
        const double grain = brushed.Fractal(x / 4.0, y / 3.0, 3) - 0.5;
        return Shade(Mix(back, front, double(y) / H), 1 + 0.10 * grain);
    });

    QPainter painter(&image);
    Smooth(painter);
    // Bevel: a light band round the plate's edge and a dark line inside it.
    const QRectF plate(0, 0, W, H);
    painter.setPen(QPen(QColor(0x8d, 0x98, 0xad), sz * 0.5));
    painter.drawRoundedRect(plate.adjusted(sz * 0.25, sz * 0.25, -sz * 0.25, -sz * 0.25), sz * 0.6,
                            sz * 0.6);
    painter.setPen(QPen(QColor(0x1b, 0x1f, 0x27), 2));
    painter.drawRoundedRect(plate.adjusted(sz * 0.62, sz * 0.62, -sz * 0.62, -sz * 0.62), sz * 0.5,
                            sz * 0.5);

    // The well the keys sit in.
    const QRectF field(X(-7.5 * kKeyUnit) - 6, Y(-2.5 * kKeyUnit) - 6, 15 * kKeyUnit * sx + 12,
                       5 * kKeyUnit * sz + 12);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x16, 0x19, 0x20));
    painter.drawRoundedRect(field, 10, 10);
    {
        // Inner shadow along the well's back edge.
        QLinearGradient shade(0, field.top(), 0, field.top() + 24);
        shade.setColorAt(0, QColor(0, 0, 0, 150));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setBrush(shade);
        painter.drawRoundedRect(field, 10, 10);
    }

    const std::vector<TKeyCap> keys = KeyboardKeys();
    const QString lit = QString::fromLatin1(LitKey(frame));
    auto keyRect = [&](const TKeyCap& key, double inset) {
        const double w = key.width * kKeyUnit - 0.34 - 2 * inset;
        const double d = kKeyUnit - 0.34 - 2 * inset;
        return QRectF(X(key.x - w / 2), Y(key.z - d / 2), w * sx, d * sz);
    };

    // Shadows of the caps on the plate, and the glow round the lit key.
    QPainterPath shadows;
    for (const TKeyCap& key : keys)
        shadows.addRoundedRect(keyRect(key, 0).translated(0, sz * 0.22), 5, 5);
    painter.drawImage(0, 0, SoftShadow(image.size(), shadows, QColor(0, 0, 0, 170), 8));
    for (const TKeyCap& key : keys) {
        if (key.label != lit)
            continue;
        QPainterPath glow;
        glow.addRoundedRect(keyRect(key, -0.35), 8, 8);
        painter.drawImage(0, 0, SoftShadow(image.size(), glow, QColor(255, 170, 40, 235), 22));
    }

    const QFont latin = MakeFont("DejaVu Sans", 17, QFont::Bold);
    const QFont hangul = MakeFont("NanumGothic", 17, QFont::Bold);
    const QFont small = MakeFont("DejaVu Sans", 11, QFont::Bold);
    const QFont smallHangul = MakeFont("NanumGothic", 12, QFont::Bold);
    for (const TKeyCap& key : keys) {
        const bool isLit = key.label == lit;
        QColor top(0xfb, 0xf8, 0xf0), label(0x2c, 0x32, 0x40);
        if (key.kind == TKeyKind::Modifier)
            top = QColor(0xc3, 0xcb, 0xd8);
        if (isLit) {
            top = QColor(0xff, 0xc8, 0x3a);
            label = QColor(0x5a, 0x2a, 0x00);
        }
        const QRectF outer = keyRect(key, 0);
        const QRectF inner = keyRect(key, 0.36);
        // Skirt: the sloping sides, darker towards the front.
        QLinearGradient skirt(0, outer.top(), 0, outer.bottom());
        skirt.setColorAt(0, Shade(top, 0.86));
        skirt.setColorAt(1, Shade(top, 0.64));
        painter.setPen(Qt::NoPen);
        painter.setBrush(skirt);
        painter.drawRoundedRect(outer, 5, 5);
        // Top: slightly dished, lighter at the back.
        QLinearGradient face(0, inner.top(), 0, inner.bottom());
        face.setColorAt(0, Shade(top, 1.04));
        face.setColorAt(1, Shade(top, 0.93));
        painter.setBrush(face);
        painter.drawRoundedRect(inner, 4, 4);
        painter.setPen(QPen(QColor(255, 255, 255, isLit ? 200 : 150), 1.5));
        painter.drawLine(inner.topLeft() + QPointF(4, 1), inner.topRight() + QPointF(-4, 1));

        painter.setPen(label);
        if (key.kind == TKeyKind::Letter) {
            painter.setFont(latin);
            painter.drawText(inner.adjusted(4, 1, -3, -2), Qt::AlignLeft | Qt::AlignTop, key.label);
            if (!key.hangul.isEmpty()) {
                painter.setPen(isLit ? label : QColor(0xb8, 0x2e, 0x2a));
                painter.setFont(hangul);
                painter.drawText(inner.adjusted(3, 2, -4, 0), Qt::AlignRight | Qt::AlignBottom,
                                 key.hangul);
            }
        } else if (!key.label.isEmpty()) {
            const bool korean = key.label.at(0).unicode() >= 0x1100;
            painter.setFont(korean ? smallHangul : small);
            painter.drawText(inner.adjusted(5, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             key.label);
        }
    }

    // Indicator lights in the back margin: the Korean-input light is on.
    const double ledZ = -8.55;
    for (int i = 0; i < 3; ++i) {
        const QPointF c(X(17.5 + i * 2.2), Y(ledZ));
        const bool on = i == 1;
        if (on) {
            QPainterPath halo;
            halo.addEllipse(c, 9, 9);
            painter.drawImage(0, 0, SoftShadow(image.size(), halo, QColor(90, 255, 120, 220), 10));
        }
        QRadialGradient led(c - QPointF(1.5, 1.5), 6);
        led.setColorAt(0, on ? QColor(0xe8, 0xff, 0xe8) : QColor(0x6a, 0x74, 0x6a));
        led.setColorAt(1, on ? QColor(0x2e, 0xd0, 0x4a) : QColor(0x2a, 0x30, 0x2c));
        painter.setPen(QPen(QColor(0x15, 0x18, 0x1e), 1.2));
        painter.setBrush(led);
        painter.drawEllipse(c, 5.5, 5.5);
    }
    painter.setFont(MakeFont("NanumSquareRound", 16, QFont::Bold));
    painter.setPen(QColor(0xc9, 0xd2, 0xe3));
    painter.drawText(QPointF(X(-22.4), Y(ledZ) + 6), QStringLiteral("RAVLIN  타비로"));
    painter.end();
    return image;
}

// ------------------------------------------------------------------- page

namespace {

void PaintPaper(QImage& image, QRect area, std::uint32_t seed) {
    const TNoise fibre(24, 30, seed);
    const TNoise blotch(6, 8, seed + 7);
    const QColor paper(0xfb, 0xf8, 0xf0);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const double s = double(x - area.left()) / area.width();
            const double t = double(y - area.top()) / area.height();
            const double grain = fibre.Fractal(s * 24 * 3, t * 30 * 3, 3) - 0.5;
            const double cloud = blotch.Fractal(s * 6, t * 8, 3) - 0.5;
            const double edge = std::min({s, 1 - s, t, 1 - t});
            const double vignette = 1 - 0.07 * (1 - SmoothStep(0, 0.12, edge));
            line[x] = Shade(paper, vignette * (1 + 0.035 * grain + 0.03 * cloud)).rgba();
        }
    }
}

const char* const kPracticeLines[] = {
    "바람이 부는 언덕 위에 작은 집이 있었습니다.",  "아이들은 매일 아침 그 집 앞을 지나갔지요.",
    "The quick brown fox jumps over the lazy dog.", "천천히, 그러나 정확하게 치는 것이 먼저입니다.",
    "한 글자 한 글자에 마음을 담아 봅니다.",
};

} // namespace

QImage SentencePicture(int frame) {
    const int W = 1024, H = 640, half = W / 2;
    QImage image = Canvas(W, H, Qt::white);
    PaintPaper(image, QRect(0, 0, half, H), 21);
    PaintPaper(image, QRect(half, 0, half, H), 22);

    QPainter painter(&image);
    Smooth(painter);
    const QColor navy(0x22, 0x34, 0x5e), ink(0x3a, 0x3f, 0x4a), typed(0x1d, 0x5c, 0xc4);

    // Back: the lines show faintly through the paper, mirrored.
    painter.save();
    painter.translate(W, 0);
    painter.scale(-1, 1);
    painter.setPen(QColor(0x80, 0x78, 0x68, 40));
    painter.setFont(MakeFont("NanumGothic", 25, QFont::Normal));
    for (int i = 0; i < 5; ++i)
        painter.drawText(QPointF(40, 176 + i * 86), QString::fromUtf8(kPracticeLines[i]));
    painter.restore();

    // Front: title, rule and the practice lines with what was typed.
    painter.setFont(MakeFont("NanumSquare", 44, QFont::Bold));
    painter.setPen(navy);
    painter.drawText(QPointF(40, 82), QStringLiteral("문장연습"));
    painter.setFont(MakeFont("NanumSquareRound", 20, QFont::Bold));
    painter.setPen(QColor(0x7d, 0x88, 0xa0));
    painter.drawText(QRectF(0, 50, half - 36, 40), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("1 / 12쪽"));
    painter.fillRect(QRectF(40, 100, half - 80, 3), QColor(0x9c, 0xb3, 0xdd));

    const QFont text = MakeFont("NanumGothic", 25, QFont::Normal);
    const QFont typedFont = MakeFont("NanumGothic", 25, QFont::Bold);
    const int current = 3;
    const int typedCount = frame == 0 ? 17 : 18;
    for (int i = 0; i < 5; ++i) {
        const double y = 150 + i * 86;
        const QString line = QString::fromUtf8(kPracticeLines[i]);
        painter.setFont(text);
        painter.setPen(ink);
        painter.drawText(QPointF(40, y), line);
        if (i > current)
            continue;
        // The typed line under the problem.
        painter.fillRect(QRectF(34, y + 10, half - 68, 36), QColor(0xe6, 0xef, 0xfc));
        const QString done = i < current ? line : line.left(typedCount);
        painter.setFont(typedFont);
        const QFontMetricsF metrics(typedFont);
        double x = 40;
        for (int k = 0; k < done.size(); ++k) {
            const QString ch = done.mid(k, 1);
            // One slip on the second line, marked as the practice marks it.
            painter.setPen(i == 1 && k == 9 ? QColor(0xe0, 0x2a, 0x2a) : typed);
            painter.drawText(QPointF(x, y + 37), ch);
            x += metrics.horizontalAdvance(ch);
        }
        if (i == current) {
            painter.fillRect(QRectF(x + 2, y + 14, 3, 29), QColor(0x10, 0x20, 0x40));
        }
    }

    // A small speed meter at the foot of the page.
    const double meterY = 578;
    const struct {
        const char* label;
        QColor colour;
        double value;
    } bars[] = {{"현재", QColor(0x2f, 0x7b, 0xe8), frame == 0 ? 0.62 : 0.66},
                {"평균", QColor(0x2f, 0xb4, 0x5a), 0.55},
                {"최고", QColor(0xe5, 0x48, 0x3b), 0.78}};
    painter.setFont(MakeFont("NanumGothic", 15, QFont::Bold));
    for (int i = 0; i < 3; ++i) {
        const double y = meterY + i * 18;
        painter.setPen(QColor(0x55, 0x5d, 0x6e));
        painter.drawText(QPointF(40, y + 12), QString::fromUtf8(bars[i].label));
        const QRectF track(86, y + 1, 270, 12);
        painter.fillRect(track, QColor(0xe3, 0xe6, 0xec));
        QLinearGradient g(0, track.top(), 0, track.bottom());
        g.setColorAt(0, bars[i].colour.lighter(125));
        g.setColorAt(1, bars[i].colour);
        painter.fillRect(
            QRectF(track.left(), track.top(), track.width() * bars[i].value, track.height()), g);
    }
    painter.setFont(MakeFont("NanumSquare", 34, QFont::Bold));
    painter.setPen(navy);
    painter.drawText(QRectF(360, 570, half - 380, 56), Qt::AlignRight | Qt::AlignVCenter,
                     frame == 0 ? QStringLiteral("352") : QStringLiteral("361"));
    painter.setFont(MakeFont("NanumGothic", 15, QFont::Bold));
    painter.drawText(QRectF(360, 604, half - 380, 30), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("타/분"));
    painter.end();
    return image;
}

// ------------------------------------------------------------------ clock

namespace {

constexpr double kClockPixelsPerUnit = 256.0 / 9.0;

// Direction of a clock position (minutes 0 to 60) in picture coordinates.
QPointF ClockDirection(double minutes) {
    const double a = (90 - minutes * 6) * kPi / 180;
    return {std::cos(a), -std::sin(a)};
}

QPainterPath HandPath(double fromR, double toR, double width, double minutes) {
    const QPointF c(256, 256);
    const QPointF d = ClockDirection(minutes);
    const QPointF n(-d.y(), d.x());
    QPainterPath path;
    path.moveTo(c + d * fromR + n * width / 2);
    path.lineTo(c + d * toR + n * width / 2);
    path.lineTo(c + d * toR - n * width / 2);
    path.lineTo(c + d * fromR - n * width / 2);
    path.closeSubpath();
    return path;
}

} // namespace

QImage ClockPicture(int frame) {
    const int S = 512;
    const QPointF c(S / 2.0, S / 2.0);
    const double dialR = 7.2 * kClockPixelsPerUnit, rimR = 8.45 * kClockPixelsPerUnit;
    QImage image = Canvas(S, S, QColor(0xc4, 0x30, 0x2a));
    QPainter painter(&image);
    Smooth(painter);
    painter.setPen(Qt::NoPen);

    // Swatches for the parts drawn in one colour: red case, chrome bells,
    // dark hands and feet, gold hub.
    painter.fillRect(QRectF(0, 0, 70, 70), QColor(0xc4, 0x30, 0x2a));
    painter.fillRect(QRectF(S - 70, 0, 70, 70), QColor(0xe4, 0xe8, 0xee));
    painter.fillRect(QRectF(0, S - 70, 70, 70), QColor(0x25, 0x29, 0x33));
    painter.fillRect(QRectF(S - 70, S - 70, 70, 70), QColor(0xe8, 0xb0, 0x30));

    // The domed rim: lacquered red with a soft sheen towards the light.
    QRadialGradient rim(c, rimR);
    rim.setColorAt(dialR / rimR, QColor(0x8e, 0x1f, 0x18));
    rim.setColorAt((dialR / rimR + 1) / 2, QColor(0xe2, 0x4b, 0x3b));
    rim.setColorAt(1, QColor(0xb3, 0x2c, 0x24));
    painter.setBrush(rim);
    painter.drawEllipse(c, rimR + 4, rimR + 4);
    {
        QPainterPath sheen;
        sheen.addEllipse(c + QPointF(-70, -70), 150, 150);
        QPainterPath ring;
        ring.addEllipse(c, (dialR + rimR) / 2 + 9, (dialR + rimR) / 2 + 9);
        QPainterPath hole;
        hole.addEllipse(c, (dialR + rimR) / 2 - 9, (dialR + rimR) / 2 - 9);
        painter.drawImage(0, 0,
                          SoftShadow(image.size(), sheen.intersected(ring.subtracted(hole)),
                                     QColor(255, 230, 220, 150), 10));
    }
    // Gold bezel between rim and dial.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xf2, 0xc4, 0x4e), 6));
    painter.drawEllipse(c, dialR + 1, dialR + 1);
    painter.setPen(Qt::NoPen);

    // The dial.
    QRadialGradient dial(c - QPointF(30, 40), dialR * 1.1);
    dial.setColorAt(0, QColor(0xff, 0xfe, 0xf8));
    dial.setColorAt(1, QColor(0xee, 0xe6, 0xd2));
    painter.setBrush(dial);
    painter.drawEllipse(c, dialR - 2, dialR - 2);
    {
        // Shade under the bezel.
        QPainterPath band;
        band.addEllipse(c, dialR - 2, dialR - 2);
        QPainterPath inner;
        inner.addEllipse(c + QPointF(6, 9), dialR - 14, dialR - 14);
        QImage shade = SoftShadow(image.size(), band.subtracted(inner), QColor(60, 40, 20, 90), 10);
        painter.save();
        painter.setClipPath(band);
        painter.drawImage(0, 0, shade);
        painter.restore();
    }

    // Minute and hour marks, numerals.
    for (int m = 0; m < 60; ++m) {
        const bool hour = m % 5 == 0;
        const QPointF d = ClockDirection(m);
        painter.setPen(QPen(hour ? QColor(0x1e, 0x27, 0x3c) : QColor(0x5a, 0x60, 0x6e),
                            hour ? 6 : 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(c + d * (dialR - (hour ? 30 : 16)), c + d * (dialR - 9));
    }
    painter.setPen(Qt::NoPen);
    for (int h = 1; h <= 12; ++h) {
        const bool quarter = h % 3 == 0;
        const QFont font = MakeFont("DejaVu Sans", quarter ? 44 : 34, QFont::Bold);
        const QPointF at = c + ClockDirection(h * 5) * (dialR - 66);
        painter.setBrush(h == 12 ? QColor(0xc4, 0x30, 0x2a) : QColor(0x1c, 0x27, 0x42));
        painter.drawPath(CentredTextPath(QString::number(h), font, at));
    }
    painter.setBrush(QColor(0xc4, 0x30, 0x2a));
    painter.drawPath(CentredTextPath(QStringLiteral("CLOCKWIG"), MakeFont("DejaVu Sans", 20),
                                     c + QPointF(0, 78)));
    painter.setBrush(QColor(0x1c, 0x27, 0x42));
    painter.drawPath(CentredTextPath(QStringLiteral("클록윅"), MakeFont("NanumSquareRound", 24),
                                     c + QPointF(0, -72)));

    // Shadows of the raised hands (ten past ten) and the ticking second hand.
    const double unit = kClockPixelsPerUnit;
    QPainterPath hands;
    hands.addPath(HandPath(-0.8 * unit, 4.4 * unit, 0.75 * unit, 10 * 5 + 10.0 / 12 * 5));
    hands.addPath(HandPath(-0.8 * unit, 6.6 * unit, 0.5 * unit, 10));
    const double second = frame == 0 ? 20 : 21;
    QPainterPath secondHand = HandPath(-44, dialR - 22, 4, second);
    secondHand.addEllipse(c + ClockDirection(second) * -38, 11, 11);
    QPainterPath allShadows = hands;
    allShadows.addPath(secondHand);
    painter.drawImage(
        0, 0, SoftShadow(image.size(), allShadows.translated(7, 10), QColor(40, 25, 10, 110), 8));
    painter.setBrush(QColor(0xd6, 0x2a, 0x1e));
    painter.drawPath(secondHand);
    painter.setBrush(QColor(0xf2, 0xc4, 0x4e));
    painter.drawEllipse(c, 9, 9);
    painter.end();
    return image;
}

// ------------------------------------------------------------------ earth

namespace {

struct TSpherePoint {
    double x, y, z, latitude;
};

// The point of the sphere shown at a pixel of an equirectangular picture,
// in the sphere's own parametrisation (longitude 0 faces the viewer).
TSpherePoint SpherePointAt(int px, int py, int w, int h) {
    const double theta = (px + 0.5) / w * 2 * kPi;
    const double phi = kPi / 2 - (py + 0.5) / h * kPi;
    return {std::sin(theta) * std::cos(phi), std::sin(phi), std::cos(theta) * std::cos(phi),
            phi * 180 / kPi};
}

} // namespace

QImage EarthLandPicture() {
    const int W = 512, H = 256;
    const TNoise3 continents(101), warp(202), moisture(303), detail(404);
    std::vector<double> elevation(size_t(W) * size_t(H));
    for (int py = 0; py < H; ++py)
        for (int px = 0; px < W; ++px) {
            const TSpherePoint p = SpherePointAt(px, py, W, H);
            const double wx = warp.Fractal(p.x * 1.7, p.y * 1.7, p.z * 1.7, 3) - 0.5;
            const double wy = warp.Fractal(p.x * 1.7 + 9, p.y * 1.7, p.z * 1.7, 3) - 0.5;
            elevation[size_t(py * W + px)] =
                continents.Fractal(p.x * 1.5 + wx, p.y * 1.5 + wy, p.z * 1.5 - wx, 7, 0.52);
        }
    // Sea level where about a third of the surface (weighted by area) is land.
    std::vector<std::pair<double, double>> weighted;
    for (int py = 0; py < H; py += 2)
        for (int px = 0; px < W; px += 2)
            weighted.push_back({elevation[size_t(py * W + px)],
                                std::cos(SpherePointAt(px, py, W, H).latitude * kPi / 180)});
    std::sort(weighted.begin(), weighted.end());
    double total = 0;
    for (const auto& e : weighted)
        total += e.second;
    double sum = 0, sea = 0.5;
    for (const auto& e : weighted) {
        sum += e.second;
        if (sum >= total * 0.66) {
            sea = e.first;
            break;
        }
    }

    QImage image = Canvas(W, H, Qt::black);
    const QColor deep(0x0a, 0x2a, 0x5e), shallow(0x23, 0x7d, 0xb8), coast(0x4f, 0xa8, 0xc8);
    const QColor forest(0x2c, 0x63, 0x2a), grass(0x5d, 0x8f, 0x3a), desert(0xcf, 0xb2, 0x78);
    const QColor steppe(0xa3, 0x9a, 0x5c), tundra(0x8b, 0x8d, 0x73), rock(0x7a, 0x68, 0x54);
    const QColor snow(0xf2, 0xf5, 0xf8);
    PerPixel(image, [&](int px, int py) {
        const TSpherePoint p = SpherePointAt(px, py, W, H);
        const double e = elevation[size_t(py * W + px)];
        const double lat = std::abs(p.latitude);
        const double fine = detail.Fractal(p.x * 12, p.y * 12, p.z * 12, 3) - 0.5;
        QColor colour;
        if (e < sea) {
            const double depth = sea - e;
            colour = Mix(coast, shallow, SmoothStep(0, 0.006, depth));
            colour = Mix(colour, deep, SmoothStep(0.008, 0.07, depth));
            colour = Shade(colour, 1 + 0.05 * fine);
        } else {
            const double h = e - sea;
            const double wet = moisture.Fractal(p.x * 2.4, p.y * 2.4, p.z * 2.4, 4) + 0.15 * fine;
            // Deserts along the subtropics, forests near the equator and in
            // the wet mid latitudes, tundra towards the poles.
            const double dryBelt = SmoothStep(10, 20, lat) * (1 - SmoothStep(30, 40, lat));
            const double dryness = Clamp01(dryBelt * 0.75 + (0.5 - wet) * 2.6);
            colour = Mix(forest, grass, Clamp01(0.35 + (0.5 - wet) * 2.5));
            colour = Mix(colour, steppe, SmoothStep(0.35, 0.6, dryness));
            colour = Mix(colour, desert, SmoothStep(0.6, 0.85, dryness));
            colour = Mix(colour, tundra, SmoothStep(52, 64, lat + 8 * fine));
            colour = Mix(colour, rock, SmoothStep(0.09, 0.16, h + 0.03 * fine));
            colour = Mix(colour, snow, SmoothStep(0.17, 0.22, h + 0.02 * fine));
            colour = Shade(colour, 0.94 + 0.12 * fine + 0.6 * h);
        }
        // Ice caps over land and sea.
        const double ice =
            SmoothStep(68, 74, lat + 6 * detail.Fractal(p.x * 4, p.y * 4, p.z * 4, 3));
        return Mix(colour, snow, ice);
    });
    return image;
}

QImage EarthCloudsPicture() {
    const int W = 512, H = 256;
    const TNoise3 cloud(505), warp(606), streak(707);
    const QColor key(1, 146, 201), white(0xf6, 0xf8, 0xfb), grey(0xcf, 0xd8, 0xe4);
    QImage image = Canvas(W, H, key);
    PerPixel(image, [&](int px, int py) {
        const TSpherePoint p = SpherePointAt(px, py, W, H);
        const double lat = std::abs(p.latitude);
        // Swirls: the lattice is warped by another noise, stretched along
        // the latitudes as the winds drag the clouds.
        const double wx = warp.Fractal(p.x * 2, p.y * 2, p.z * 2, 3) - 0.5;
        const double wz = warp.Fractal(p.x * 2 + 5, p.y * 2, p.z * 2, 3) - 0.5;
        double density = cloud.Fractal(p.x * 2.6 + 1.2 * wx, p.y * 5.2, p.z * 2.6 + 1.2 * wz, 6);
        density += 0.12 * (streak.Fractal(p.x * 1.2, p.y * 9, p.z * 1.2, 3) - 0.5);
        // Wetter near the equator and in the storm belts, clearer in the
        // subtropics.
        density += 0.06 * (1 - SmoothStep(0, 12, lat));
        density += 0.05 * SmoothStep(40, 55, lat) * (1 - SmoothStep(62, 75, lat));
        density -= 0.06 * SmoothStep(15, 25, lat) * (1 - SmoothStep(30, 38, lat));
        const double cover = SmoothStep(0.5, 0.6, density);
        const QColor cloudColour = Mix(white, grey, SmoothStep(0.62, 0.78, density));
        return Mix(key, cloudColour, cover);
    });
    return image;
}

// ------------------------------------------------------------------ signs

QImage AboutSignPicture() {
    const int W = 512, H = 582, half = H / 2;
    QImage image = Canvas(W, H, QColor(0xe6, 0xb4, 0x22));
    QPainter painter(&image);
    Smooth(painter);

    // Upper half: the label on each side. A gold frame at the border (the
    // block's rounded edges show it) round a deep blue face.
    const QRectF area(0, 0, W, half);
    QLinearGradient frame(0, area.top(), 0, area.bottom());
    frame.setColorAt(0, QColor(0xf7, 0xd2, 0x5a));
    frame.setColorAt(1, QColor(0xc8, 0x92, 0x16));
    painter.fillRect(area, frame);
    const QRectF face = area.adjusted(14, 14, -14, -14);
    QLinearGradient blue(0, face.top(), 0, face.bottom());
    blue.setColorAt(0, QColor(0x2f, 0x64, 0xc4));
    blue.setColorAt(1, QColor(0x17, 0x33, 0x78));
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawRoundedRect(face, 12, 12);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 170), 3));
    painter.drawRoundedRect(face.adjusted(10, 10, -10, -10), 8, 8);

    // The "i" badge.
    const QPointF badge(area.left() + 100, area.center().y());
    QPainterPath disc;
    disc.addEllipse(badge, 62, 62);
    painter.drawImage(0, 0,
                      SoftShadow(image.size(), disc.translated(4, 6), QColor(0, 0, 30, 140), 8));
    QRadialGradient white(badge - QPointF(18, 20), 84);
    white.setColorAt(0, QColor(0xff, 0xff, 0xff));
    white.setColorAt(1, QColor(0xd6, 0xe2, 0xf5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(white);
    painter.drawPath(disc);
    painter.setBrush(QColor(0x1d, 0x45, 0x9a));
    painter.drawPath(
        CentredTextPath(QStringLiteral("i"), MakeFont("DejaVu Serif", 90), badge + QPointF(0, 2)));

    // Name of the sign.
    const QPainterPath about = TextPath(QStringLiteral("About"), MakeFont("NanumSquareRound", 80),
                                        {area.left() + 184, area.top() + 158});
    const QPainterPath name = TextPath(QStringLiteral("타비로"), MakeFont("NanumSquareRound", 56),
                                       {area.left() + 192, area.top() + 234});
    QPainterPath both = about;
    both.addPath(name);
    painter.drawImage(0, 0,
                      SoftShadow(image.size(), both.translated(3, 4), QColor(0, 0, 30, 170), 5));
    painter.setBrush(Qt::white);
    painter.drawPath(about);
    painter.setBrush(QColor(0xff, 0xd6, 0x4a));
    painter.drawPath(name);

    // Lower half: the top and bottom, plain gold like the frame.
    const QRectF cap(0, half, W, H - half);
    QRadialGradient gold(cap.center() - QPointF(80, 40), W * 0.7);
    gold.setColorAt(0, QColor(0xfb, 0xdc, 0x6a));
    gold.setColorAt(1, QColor(0xd0, 0x98, 0x1c));
    painter.fillRect(cap, gold);
    painter.end();
    return image;
}

QImage HelpSignPicture() {
    const int S = 512;
    const QPointF c(S / 2.0, S / 2.0);
    QImage image = Canvas(S, S, QColor(0xd9, 0xa4, 0x1c));
    QPainter painter(&image);
    Smooth(painter);
    painter.setPen(Qt::NoPen);
    // Gold frame at the picture's edge (the cube's rounded edges map there).
    QRadialGradient gold(c - QPointF(60, 60), 380);
    gold.setColorAt(0, QColor(0xfb, 0xdc, 0x6a));
    gold.setColorAt(1, QColor(0xc2, 0x8a, 0x12));
    painter.setBrush(gold);
    painter.drawRect(QRectF(0, 0, S, S));
    // Green face.
    const QRectF face(34, 34, S - 68, S - 68);
    QRadialGradient green(c - QPointF(60, 70), 330);
    green.setColorAt(0, QColor(0x3c, 0xc8, 0x7c));
    green.setColorAt(1, QColor(0x13, 0x78, 0x44));
    painter.setBrush(green);
    painter.drawRoundedRect(face, 46, 46);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 7));
    painter.drawRoundedRect(face.adjusted(20, 20, -20, -20), 30, 30);
    painter.setPen(Qt::NoPen);

    const QPainterPath mark = CentredTextPath(
        QStringLiteral("?"), MakeFont("NanumSquareRound", 270), c + QPointF(0, -34));
    const QPainterPath word = CentredTextPath(
        QStringLiteral("도움말"), MakeFont("NanumSquareRound", 64), c + QPointF(0, 140));
    QPainterPath both = mark;
    both.addPath(word);
    painter.drawImage(0, 0,
                      SoftShadow(image.size(), both.translated(5, 7), QColor(0, 40, 10, 170), 7));
    painter.setBrush(Qt::white);
    painter.drawPath(both);
    painter.end();
    return image;
}

// ----------------------------------------------------------------- banner

QImage BannerPicture() {
    const int W = 768, H = 192;
    QImage image = Canvas(W, H, Qt::transparent);
    QPainter painter(&image);
    Smooth(painter);
    const QColor navy(0x14, 0x21, 0x3d);

    // Block letters: the outline stepped down and to the right gives them
    // depth; then the outline, the gradient fill and a light edge.
    auto block = [&](const QPainterPath& path, double stroke, int depth, const QBrush& fill) {
        QPainterPathStroker stroker;
        stroker.setWidth(stroke);
        stroker.setJoinStyle(Qt::RoundJoin);
        const QPainterPath outline = stroker.createStroke(path).united(path);
        painter.setPen(Qt::NoPen);
        for (int k = depth; k >= 1; --k) {
            painter.setBrush(Mix(navy, QColor(0x3a, 0x55, 0x8c), double(k) / depth));
            painter.drawPath(outline.translated(k * 0.8, k));
        }
        painter.setBrush(navy);
        painter.drawPath(outline);
        painter.setBrush(fill);
        painter.drawPath(path);
    };

    const QPainterPath title =
        TextPath(QStringLiteral("타비로"), MakeFont("NanumSquareRound", 146), {22, 150});
    QLinearGradient warm(0, 40, 0, 152);
    warm.setColorAt(0, QColor(0xff, 0xf1, 0x8a));
    warm.setColorAt(0.5, QColor(0xff, 0xc4, 0x30));
    warm.setColorAt(1, QColor(0xff, 0x86, 0x1c));
    block(title, 16, 8, warm);

    const double right = title.boundingRect().right() + 34;
    const QPainterPath latin =
        TextPath(QStringLiteral("Ravlin"), MakeFont("NanumSquareRound", 66), {right, 96});
    QLinearGradient cool(0, 48, 0, 98);
    cool.setColorAt(0, QColor(0xff, 0xff, 0xff));
    cool.setColorAt(1, QColor(0xc8, 0xe4, 0xff));
    block(latin, 11, 5, cool);
    const QPainterPath motto = TextPath(QStringLiteral("타자 연습 v3.6"),
                                        MakeFont("NanumSquareRound", 34), {right + 4, 150});
    block(motto, 8, 3, QColor(0xff, 0xff, 0xff));
    painter.end();
    return HardenAlpha(image, 128);
}

// -------------------------------------------------------------- sky, rain

QImage DarkCloudPicture() {
    // As large as the fair-weather sky and spread the same way, over the
    // whole sky at once. Soft clouds stretch well: this size looks sharp on
    // common screens and keeps the texture at 7 MB.
    const int W = 1600, H = 1152;
    const TNoise shape(8, 6, 808), warpX(5, 4, 909), warpY(5, 4, 910), wisp(24, 72, 911);
    QImage image = Canvas(W, H, Qt::black);
    // Cloud density on a warped lattice.
    std::vector<double> d(size_t(W) * size_t(H)), broad(size_t(W) * size_t(H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double s = double(x) / W, t = double(y) / H;
            const double dx = warpX.Fractal(s * 5, t * 4, 3) - 0.5;
            const double dy = warpY.Fractal(s * 5, t * 4, 3) - 0.5;
            const double u = (s + 0.16 * dx) * 8, v = (t + 0.2 * dy) * 6;
            d[size_t(y * W + x)] = shape.Fractal(u, v, 5, 0.5);
            broad[size_t(y * W + x)] = shape.Fractal(u, v, 3, 0.5);
        }
    const QColor gap(0x22, 0x29, 0x36), body(0x43, 0x4e, 0x62), crest(0x9d, 0xa8, 0xb9);
    const QColor bruise(0x4d, 0x46, 0x62);
    PerPixel(image, [&](int x, int y) {
        const double v = d[size_t(y * W + x)];
        // Light from above: the upper flanks of the billows, found on the
        // broad shape, catch it; their undersides stay dark.
        const double above = broad[size_t(((y - H / 60 + H) % H) * W + x)];
        const double slope = broad[size_t(y * W + x)] - above;
        const double lit = std::clamp(slope * 5.0, -0.6, 1.0);
        const double streak = wisp.Fractal(double(x) / W * 24, double(y) / H * 72, 3) - 0.5;
        QColor colour = Mix(gap, body, SmoothStep(0.3, 0.58, v));
        colour = Mix(colour, bruise, 0.3 * SmoothStep(0.4, 0.6, v));
        colour = Mix(colour, crest, SmoothStep(0.5, 0.8, v) * Clamp01(0.35 + lit));
        return Shade(colour, 1 + 0.22 * lit + 0.05 * streak);
    });
    return image;
}

QImage RainPicture(int frame) {
    const int W = 256, H = 512;
    QImage image = Canvas(W, H, Qt::transparent);
    QPainter painter(&image);
    Smooth(painter);
    TRandom random(frame == 0 ? 1313 : 1717);
    const double slant = 0.2;
    for (int i = 0; i < 48; ++i) {
        const double x = random.Range(0, W), y = random.Range(0, H);
        const double length = random.Range(22, 58);
        const double width = random.Range(1.2, 2.0);
        painter.setPen(QPen(QColor(0xc4, 0xd2, 0xe6), width, Qt::SolidLine, Qt::RoundCap));
        // Drawn with its copies one picture away, so the sheet tiles.
        for (int ox = -1; ox <= 1; ++ox)
            for (int oy = -1; oy <= 1; ++oy) {
                const QPointF a(x + ox * W, y + oy * H);
                painter.drawLine(a, a + QPointF(-slant * length, length));
            }
    }
    painter.end();
    return HardenAlpha(image, 90);
}

QImage ThunderPicture() {
    const int W = 256, H = 1024;
    QImage image = Canvas(W, H, Qt::transparent);
    TRandom random(2024);

    // A jagged line between two points by repeated midpoint displacement.
    std::function<void(QPointF, QPointF, double, int, QPolygonF&)> jag =
        [&](QPointF a, QPointF b, double spread, int depth, QPolygonF& out) {
            if (depth == 0) {
                out << b;
                return;
            }
            const QPointF d = b - a;
            const QPointF n(-d.y(), d.x());
            const double len = std::hypot(d.x(), d.y());
            const QPointF mid =
                (a + b) / 2 + n / (len > 0 ? len : 1) * random.Range(-spread, spread);
            jag(a, mid, spread / 2, depth - 1, out);
            jag(mid, b, spread / 2, depth - 1, out);
        };
    QPolygonF trunk;
    trunk << QPointF(150, 0);
    jag({150, 0}, {112, H - 48}, 150, 7, trunk);

    std::vector<QPolygonF> branches;
    for (int i = 0; i < 4; ++i) {
        const int at = int(trunk.size() * (0.18 + 0.17 * i));
        const QPointF start = trunk[at];
        const double dir = i % 2 == 0 ? 1 : -1;
        const QPointF end = start + QPointF(dir * random.Range(40, 90), random.Range(120, 240));
        QPolygonF branch;
        branch << start;
        jag(start, {std::clamp(end.x(), 12.0, W - 12.0), end.y()}, 50, 5, branch);
        branches.push_back(branch);
    }

    QPainter painter(&image);
    Smooth(painter);
    auto stroke = [&](const QPolygonF& line, double width, const QColor& colour) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
    };
    // Bands from the outside in: deep violet, violet, pale blue, white core.
    const QColor halo(0x4a, 0x3c, 0xc8), outer(0x7c, 0x74, 0xf6), middle(0xc8, 0xcc, 0xff);
    const QColor core(0xff, 0xff, 0xff);
    const struct {
        double trunk, branch;
        QColor colour;
    } bands[] = {{26, 15, halo}, {18, 10, outer}, {10, 6, middle}, {4.5, 2.5, core}};
    for (const auto& band : bands) {
        for (const QPolygonF& b : branches)
            stroke(b, band.branch, band.colour);
        stroke(trunk, band.trunk, band.colour);
    }
    painter.end();
    return HardenAlpha(image, 110);
}
