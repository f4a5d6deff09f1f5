#include "KeyboardTextures.h"

#include "../menu_media/Imaging.h"
#include "KeyboardModel.h"

#include <algorithm>
#include <cmath>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int W = kKeyCapPictureWidth, H = kKeyCapPictureHeight;

// Light maple: long grain running across the keys with growth rings that
// waver, fine pores and a warm satin finish.
QImage WoodPicture() {
    QImage image(W, H, QImage::Format_RGB32);
    const TNoise waver(8, 4, 31), rings(16, 8, 32), pores(256, 64, 33), figure(32, 8, 34);
    const QColor pale(226, 196, 150), mid(203, 160, 106), late(168, 120, 72);
    PerPixel(image, [&](int x, int y) {
        const double s = double(x) / W, t = double(y) / H;
        // Rings: bands across the height, bent by slow noise.
        const double bend = (waver.Fractal(s * 8, t * 4, 3) - 0.5) * 2.2;
        const double ring = t * 10 + bend + 0.35 * std::sin(s * 9 + t * 3);
        const double phase = ring - std::floor(ring);
        // Late wood is a narrow dark band at the end of each ring.
        const double lateWood = SmoothStep(0.72, 0.9, phase) * (1 - SmoothStep(0.93, 1.0, phase));
        QColor c = Mix(pale, mid, 0.35 + 0.4 * rings.Fractal(s * 16, t * 8, 2));
        c = Mix(c, late, 0.75 * lateWood);
        // Pores: short dark dashes along the grain.
        const double pore = pores.Value(s * 256, t * 64 * 4);
        if (pore > 0.86)
            c = Shade(c, 0.9);
        // Curly figure: a faint shimmer across the grain.
        const double shimmer = std::sin((s * 120 + figure.Fractal(s * 32, t * 8, 2) * 6));
        return Shade(c, 1.0 + 0.035 * shimmer);
    });
    return image;
}

// White Carrara marble: a soft cloudy ground with grey veins that branch and
// fade, and a few fine warm threads.
QImage MarblePicture() {
    QImage image(W, H, QImage::Format_RGB32);
    const TNoise3 warp(41), veins(42), cloud(43);
    const QColor ground(240, 239, 236), shade(214, 214, 216), vein(122, 126, 134),
        warm(186, 170, 150);
    PerPixel(image, [&](int x, int y) {
        const double s = x / 128.0, t = y / 128.0;
        const double w = warp.Fractal(s * 0.5, t * 0.5, 0.3, 3);
        // Veins: where a warped sine crosses zero, sharpened; a broad
        // shadow follows each main vein.
        const double v1 = std::abs(std::sin((s * 0.7 + t * 1.3 + w * 2.6) * 1.6));
        // Fine threads wander more and fade in and out along their way.
        const double v2 = std::abs(
            std::sin((s * 1.1 - t * 0.9 + veins.Fractal(s * 0.5, t * 0.5, 1.7, 4) * 6) * 1.3));
        const double present = SmoothStep(0.45, 0.7, cloud.Fractal(s * 0.9 + 7, t * 0.9, 5.0, 3));
        const double main = std::pow(1 - v1, 16);
        const double halo = std::pow(1 - v1, 4);
        const double fine = std::pow(1 - v2, 30) * present;
        QColor c =
            Mix(ground, shade, SmoothStep(0.35, 0.75, cloud.Fractal(s * 0.7, t * 0.7, 2.0, 4)));
        c = Mix(c, shade, 0.5 * halo);
        c = Mix(c, vein, 0.7 * main);
        c = Mix(c, warm, 0.45 * fine);
        return c;
    });
    return image;
}

// Brushed aluminium: fine streaks along x, a soft lengthwise sheen.
QImage BrushedMetalPicture() {
    QImage image(W, H, QImage::Format_RGB32);
    // Every row is its own streak, varying slowly along x; a coarser
    // noise adds longer bands.
    const TNoise rows(8, H, 51), streak(4, H / 4, 52);
    PerPixel(image, [&](int x, int y) {
        const double s = double(x) / W;
        const double fine = rows.Value(s * 8, y) - 0.5;
        const double along = streak.Fractal(s * 4, y / 4.0, 3) - 0.5;
        // A broad sheen across the picture, as from a strip light above.
        const double sheen = 0.5 + 0.5 * std::cos((double(y) / H - 0.35) * kPi * 1.6);
        const double level = 168 + 40 * sheen + 22 * fine + 28 * along;
        const int g = std::clamp(int(level), 0, 255);
        return QColor(std::clamp(g - 3, 0, 255), g, std::clamp(g + 6, 0, 255));
    });
    return image;
}

// Handmade paper: cream with fibres, a soft mottle and scattered flecks.
QImage PaperPicture() {
    QImage image(W, H, QImage::Format_RGB32);
    const TNoise mottle(16, 4, 61), grain(256, 64, 62);
    const QColor cream(244, 236, 216), darker(226, 214, 188);
    PerPixel(image, [&](int x, int y) {
        const double s = double(x) / W, t = double(y) / H;
        QColor c = Mix(cream, darker, 0.6 * mottle.Fractal(s * 16, t * 4, 4));
        return Shade(c, 1.0 + 0.05 * (grain.Value(s * 256, t * 64) - 0.5));
    });
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    TRandom random(63);
    // Fibres: short curved hairs in every direction.
    for (int i = 0; i < 900; ++i) {
        const QPointF a(random.Range(0, W), random.Range(0, H));
        const double angle = random.Range(0, 2 * kPi), length = random.Range(6, 22);
        const QPointF b = a + QPointF(std::cos(angle), std::sin(angle)) * length;
        const QPointF c = (a + b) / 2 + QPointF(random.Range(-4, 4), random.Range(-4, 4));
        QPainterPath hair(a);
        hair.quadTo(c, b);
        const int tone = int(random.Range(150, 205));
        painter.setPen(QPen(QColor(tone, tone - 12, tone - 34, 60), random.Range(0.5, 1.0)));
        painter.drawPath(hair);
    }
    // Flecks of bark and dye.
    for (int i = 0; i < 140; ++i) {
        const QPointF p(random.Range(0, W), random.Range(0, H));
        const bool bark = random.Unit() < 0.7;
        painter.setPen(Qt::NoPen);
        painter.setBrush(bark ? QColor(120, 92, 60, 110) : QColor(190, 120, 110, 80));
        const double r = random.Range(0.6, 1.6);
        painter.drawEllipse(p, r * random.Range(1, 2.2), r);
    }
    return image;
}

} // namespace

std::vector<TKeyCapPicture> KeyCapPictures() {
    return {{QStringLiteral("[key] brushed metal.png"), BrushedMetalPicture()},
            {QStringLiteral("[key] marble.png"), MarblePicture()},
            {QStringLiteral("[key] paper.png"), PaperPicture()},
            {QStringLiteral("[key] wood.png"), WoodPicture()}};
}

QImage CasePicture() {
    const int w = kCasePictureWidth, h = kCasePictureHeight;
    QImage image(w, h, QImage::Format_RGB32);
    const TNoise speckle(512, 256, 71), cloud(8, 4, 72);
    const QColor graphite(52, 55, 61), light(64, 67, 74);
    PerPixel(image, [&](int x, int y) {
        const double s = double(x) / w, t = double(y) / h;
        QColor c = Mix(graphite, light, cloud.Fractal(s * 8, t * 4, 3));
        // A fine sand-blasted grain.
        return Shade(c, 1.0 + 0.09 * (speckle.Value(s * 512, t * 256) - 0.5));
    });

    // Paint in model units: x to the right, y up, over the case area.
    const TCaseArea area = CaseArea();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0, h);
    painter.scale(w / (area.Right - area.Left), -h / (area.Top - area.Bottom));
    painter.translate(-area.Left, -area.Bottom);
    // Text is written upright: flip y back around each baseline.
    auto text = [&](const QString& s, const QFont& font, QPointF at, const QColor& colour,
                    bool centred) {
        const QFontMetricsF metrics(font);
        painter.save();
        painter.translate(at);
        painter.scale(1, -1);
        QPainterPath path;
        const double x = centred ? -metrics.horizontalAdvance(s) / 2 : 0;
        path.addText(QPointF(x, 0), font, s);
        painter.fillPath(path, colour);
        painter.restore();
    };
    QFont brand(QStringLiteral("DejaVu Sans"));
    brand.setPixelSize(100);
    brand.setWeight(QFont::Bold);
    brand.setLetterSpacing(QFont::PercentageSpacing, 108);
    const QFont name = brand;
    QFont small = brand;
    {
        // Font sizes are whole pixels: the lettering is set large and the
        // painter scaled down to model units.
        const double scale = 0.055;
        painter.save();
        painter.translate(NamePlateX(), NamePlateY() - 2.6);
        painter.scale(scale, scale);
        text(QStringLiteral("Ravlin"), name, {0, 0}, QColor(196, 200, 208), false);
        const double advance = QFontMetricsF(name).horizontalAdvance(QStringLiteral("Ravlin"));
        QFont hangul(QStringLiteral("NanumGothic"));
        hangul.setPixelSize(58);
        hangul.setWeight(QFont::Bold);
        text(QStringLiteral("타비로"), hangul, {advance + 40, 0}, QColor(150, 158, 170), false);
        painter.restore();
    }
    for (const TLampPlace& lamp : LampPlaces()) {
        painter.save();
        painter.translate(lamp.X, lamp.Y - 4.2);
        painter.scale(0.03, 0.03);
        small.setPixelSize(80);
        small.setWeight(QFont::DemiBold);
        text(QString::fromLatin1(lamp.Label), small, {0, 0}, QColor(150, 156, 166), true);
        painter.restore();
    }
    return image;
}

QImage ExplosionSheet() {
    const int cell = 128, columns = 5, rows = 4;
    QImage sheet(cell * columns, cell * rows, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    const TNoise3 turbulence(81), detail(82);
    TRandom random(83);
    // Sparks: straight streaks flying out, the same set in every frame.
    struct TSpark {
        double Angle, Speed, Width;
    };
    std::vector<TSpark> sparks;
    for (int i = 0; i < 26; ++i)
        sparks.push_back(
            {random.Range(0, 2 * kPi), random.Range(0.6, 1.0), random.Range(0.8, 1.8)});

    // The burst runs over the first twelve frames; the rest let the smoke
    // thin out.
    for (int frame = 0; frame < columns * rows; ++frame) {
        const double t = std::min(1.0, frame / 11.0);
        const double late = std::max(0.0, (frame - 11) / 8.0);
        const double radius = cell * 0.47 * (0.4 + 0.6 * (1 - std::pow(1 - t, 2.4)));
        QImage image(cell, cell, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const double c0 = cell / 2.0;
        PerPixel(image, [&](int x, int y) {
            const double dx = (x + 0.5 - c0), dy = (y + 0.5 - c0);
            const double r = std::sqrt(dx * dx + dy * dy) / radius;
            if (r > 1.35)
                return QColor(0, 0, 0, 0);
            const double nx = dx / 30.0, ny = dy / 30.0;
            // Billows: noise that swells outwards with time.
            const double n = turbulence.Fractal(nx - 0.0, ny, t * 1.8, 4);
            const double fine = detail.Fractal(nx * 2.5, ny * 2.5, t * 3.0, 3);
            const double edge = 1.0 - SmoothStep(0.55 + 0.35 * n, 1.05 + 0.25 * n, r);
            double density = edge * (0.55 + 0.9 * n) * (0.8 + 0.4 * fine);
            // The fire burns out from the middle: a hollow grows inside.
            density *= 1.0 - 0.65 * SmoothStep(0.45, 1.0, t) * (1 - SmoothStep(0.0, 0.75, r));
            density *= 1.0 - 0.9 * late;
            if (density <= 0.01)
                return QColor(0, 0, 0, 0);
            // Temperature: hottest early and in the middle, cooled by the
            // noise so flames and smoke tear apart.
            double heat =
                (1.15 - 1.05 * t) * (1.1 - 0.8 * r) + 0.5 * (n - 0.5) + 0.25 * (fine - 0.5);
            heat = std::clamp(heat, 0.0, 1.2);
            QColor colour;
            if (heat > 0.95)
                colour =
                    Mix(QColor(255, 236, 170), QColor(255, 255, 240), SmoothStep(0.95, 1.2, heat));
            else if (heat > 0.65)
                colour =
                    Mix(QColor(255, 150, 30), QColor(255, 236, 170), SmoothStep(0.65, 0.95, heat));
            else if (heat > 0.38)
                colour =
                    Mix(QColor(196, 52, 12), QColor(255, 150, 30), SmoothStep(0.38, 0.65, heat));
            else if (heat > 0.18)
                colour = Mix(QColor(84, 52, 40), QColor(196, 52, 12), SmoothStep(0.18, 0.38, heat));
            else
                colour = Mix(QColor(92, 90, 88), QColor(84, 52, 40), SmoothStep(0.0, 0.18, heat));
            // Smoke is thinner than fire.
            const double opacity = heat > 0.3 ? 1.0 : 0.55 + 1.5 * heat;
            colour.setAlphaF(float(Clamp01(density * 1.6 * opacity)));
            return colour;
        });
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        // The flash: a bright glow in the first frames.
        if (t < 0.4) {
            const double glow = 1 - t / 0.4;
            QRadialGradient flash(QPointF(c0, c0), radius * 1.3);
            flash.setColorAt(0, QColor(255, 255, 235, int(230 * glow)));
            flash.setColorAt(0.4, QColor(255, 220, 140, int(150 * glow)));
            flash.setColorAt(1, QColor(255, 160, 60, 0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(flash);
            painter.drawEllipse(QPointF(c0, c0), radius * 1.3, radius * 1.3);
        }
        // Sparks while the fire is young.
        if (t > 0.05 && t < 0.75) {
            const double fade = 1 - t / 0.75;
            for (const TSpark& spark : sparks) {
                const double far = cell * 0.5 * spark.Speed * std::min(1.0, t * 1.6);
                const double near = far * 0.72;
                const QPointF dir(std::cos(spark.Angle), std::sin(spark.Angle));
                QLinearGradient streak(QPointF(c0, c0) + dir * near, QPointF(c0, c0) + dir * far);
                streak.setColorAt(0, QColor(255, 200, 90, 0));
                streak.setColorAt(1, QColor(255, 245, 200, int(235 * fade)));
                painter.setPen(QPen(QBrush(streak), spark.Width, Qt::SolidLine, Qt::RoundCap));
                painter.drawLine(QPointF(c0, c0) + dir * near, QPointF(c0, c0) + dir * far);
            }
        }
        painter.end();
        QPainter sheetPainter(&sheet);
        sheetPainter.drawImage((frame % columns) * cell, (frame / columns) * cell, image);
    }
    return sheet;
}
