// Paints the pictures of the Clockwig game window: the clock-face background,
// the goblin's two frames and the lightning bolt (each as a picture on black
// with a mask of black on white), the two status-bar icons, the small heart
// beside the lives bar, and the score board's marker for a new entry.

#include <cstdio>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

namespace {

QString gAppDir;
bool gOk = true;

void Save(const QImage& image, const QString& name) {
    const QString path = gAppDir + QStringLiteral("/Images/") + name;
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        gOk = false;
    }
}

QImage Transparent(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Splits a drawing with alpha into the picture (on black) and the mask
// (black shape on white) that the window combines with AND and OR.
void SaveMasked(const QImage& art, const QString& name) {
    QImage picture(art.size(), QImage::Format_RGB32);
    QImage mask(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = art.pixel(x, y);
            const bool inside = qAlpha(c) >= 128;
            picture.setPixel(x, y, inside ? qRgb(qRed(c), qGreen(c), qBlue(c)) : qRgb(0, 0, 0));
            mask.setPixel(x, y, inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    Save(picture, name + QStringLiteral(".png"));
    Save(mask, name + QStringLiteral("_mask.png"));
}

// --- The window background -------------------------------------------------

// The clock's centre in window coordinates: the labels stand on a circle of
// radius 222 round it.
constexpr QPointF kCentre(281, 251);

void PaintGear(QPainter& p, QPointF centre, double radius, int teeth, double angle,
               const QColor& colour) {
    QPainterPath gear;
    const int points = teeth * 4;
    for (int i = 0; i < points; ++i) {
        const double a = angle + 2 * M_PI * i / points;
        const double r = (i % 4 < 2) ? radius : radius * 0.84;
        const QPointF pt(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    gear.addEllipse(centre, radius * 0.35, radius * 0.35);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(gear);
}

void PaintBackground() {
    QImage image(770, 550, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Night-blue backdrop with a soft glow behind the clock.
    QLinearGradient sky(0, 0, 0, 550);
    sky.setColorAt(0, QColor(28, 42, 86));
    sky.setColorAt(1, QColor(12, 18, 44));
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(kCentre, 330);
    glow.setColorAt(0, QColor(90, 110, 190, 150));
    glow.setColorAt(1, QColor(90, 110, 190, 0));
    p.fillRect(image.rect(), glow);

    // A few stars and dim gears in the corners.
    QRandomGenerator stars(20261208);
    for (int i = 0; i < 90; ++i) {
        const QPointF pt(stars.bounded(770), stars.bounded(550));
        if (QLineF(pt, kCentre).length() < 275)
            continue;
        const int a = 60 + stars.bounded(140);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 230, a));
        const double r = 0.6 + stars.bounded(10) / 10.0;
        p.drawEllipse(pt, r, r);
    }
    PaintGear(p, QPointF(30, 520), 70, 12, 0.1, QColor(60, 78, 130, 110));
    PaintGear(p, QPointF(520, 30), 46, 10, 0.3, QColor(60, 78, 130, 90));
    PaintGear(p, QPointF(20, 30), 38, 9, 0.0, QColor(60, 78, 130, 90));

    // The rim: brass ring with a dark edge.
    QRadialGradient brass(kCentre.x() - 80, kCentre.y() - 120, 380);
    brass.setColorAt(0, QColor(255, 232, 150));
    brass.setColorAt(0.5, QColor(205, 150, 55));
    brass.setColorAt(1, QColor(120, 75, 20));
    p.setPen(QPen(QColor(60, 35, 10), 3));
    p.setBrush(brass);
    p.drawEllipse(kCentre, 266, 266);

    // The dial: warm ivory, lighter in the middle.
    QRadialGradient dial(kCentre.x() - 40, kCentre.y() - 50, 300);
    dial.setColorAt(0, QColor(255, 252, 238));
    dial.setColorAt(0.7, QColor(246, 236, 206));
    dial.setColorAt(1, QColor(222, 204, 160));
    p.setPen(QPen(QColor(120, 80, 30), 2));
    p.setBrush(dial);
    p.drawEllipse(kCentre, 252, 252);

    // A pale band under the ring of word labels.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 180, 130, 120), 36));
    p.drawEllipse(kCentre, 222, 222);

    // Minute and hour marks inside the band.
    for (int m = 0; m < 60; ++m) {
        const double a = 2 * M_PI * m / 60.0;
        const bool hour = m % 5 == 0;
        const double r1 = hour ? 160 : 172;
        const double r2 = 184;
        p.setPen(QPen(hour ? QColor(90, 60, 30) : QColor(150, 120, 80), hour ? 5 : 2, Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(QPointF(kCentre.x() + r1 * std::cos(a), kCentre.y() + r1 * std::sin(a)),
                   QPointF(kCentre.x() + r2 * std::cos(a), kCentre.y() + r2 * std::sin(a)));
    }
    p.setPen(QPen(QColor(150, 110, 60), 1.5));
    p.drawEllipse(kCentre, 190, 190);
    p.drawEllipse(kCentre, 154, 154);

    // Faint gearwork showing through the dial.
    PaintGear(p, kCentre + QPointF(-62, 58), 46, 12, 0.2, QColor(200, 170, 110, 70));
    PaintGear(p, kCentre + QPointF(66, -60), 38, 10, 0.0, QColor(200, 170, 110, 70));
    PaintGear(p, kCentre + QPointF(70, 70), 28, 8, 0.4, QColor(200, 170, 110, 60));

    // The hands at ten past ten, behind the goblin in the middle.
    auto hand = [&](double minutes, double length, double width, const QColor& colour) {
        const double a = 2 * M_PI * minutes / 60.0 - M_PI / 2;
        const QPointF tip(kCentre.x() + length * std::cos(a), kCentre.y() + length * std::sin(a));
        const QPointF back(kCentre.x() - 18 * std::cos(a), kCentre.y() - 18 * std::sin(a));
        const QPointF side(-width * std::sin(a), width * std::cos(a));
        QPolygonF shape;
        shape << back + side << tip << back - side;
        p.setPen(QPen(QColor(40, 25, 10), 1.5));
        p.setBrush(colour);
        p.drawPolygon(shape);
    };
    hand(50, 110, 7, QColor(70, 45, 20));
    hand(10, 140, 5, QColor(90, 60, 25));
    p.setBrush(QColor(180, 130, 40));
    p.drawEllipse(kCentre, 9, 9);

    // The maker's name on the dial, under the goblin.
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(15);
    font.setItalic(true);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(130, 90, 40));
    p.drawText(QRectF(kCentre.x() - 80, kCentre.y() + 62, 160, 20), Qt::AlignCenter,
               QStringLiteral("Clockwig"));

    // The history column: a parchment board in a wooden frame.
    const QRectF board(556, 6, 172, 500);
    QLinearGradient wood(board.topLeft(), board.topRight());
    wood.setColorAt(0, QColor(120, 70, 30));
    wood.setColorAt(0.5, QColor(160, 100, 45));
    wood.setColorAt(1, QColor(110, 62, 25));
    p.setPen(QPen(QColor(50, 28, 10), 2));
    p.setBrush(wood);
    p.drawRoundedRect(board, 12, 12);
    QLinearGradient parchment(0, board.top(), 0, board.bottom());
    parchment.setColorAt(0, QColor(255, 248, 222));
    parchment.setColorAt(1, QColor(240, 226, 186));
    p.setPen(QPen(QColor(120, 80, 40), 1));
    p.setBrush(parchment);
    p.drawRoundedRect(board.adjusted(7, 7, -7, -7), 8, 8);
    // Ruled lines for the fourteen history entries.
    p.setPen(QPen(QColor(200, 180, 140), 1));
    for (int k = 0; k < 14; ++k) {
        const double y = 52 + k * 19 + 17.5;
        p.drawLine(QPointF(board.left() + 12, y), QPointF(board.right() - 12, y));
    }
    // Separators round the score and lives area.
    p.setPen(QPen(QColor(160, 120, 70), 2));
    p.drawLine(QPointF(board.left() + 12, 326), QPointF(board.right() - 12, 326));
    p.drawLine(QPointF(board.left() + 12, 414), QPointF(board.right() - 12, 414));
    p.end();
    Save(image, QStringLiteral("clockwig_back.png"));
}

// --- The goblin (깨비) ------------------------------------------------------

// One frame of the goblin, 70 × 84: club raised (frame 1) or swung down
// (frame 2), mouth and feet changing with it.
QImage PaintGoblin(bool clubUp) {
    QImage art = Transparent(70, 84);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(30, 15, 10), 1.6);
    const QColor skin(220, 70, 50);
    const QColor skinDark(170, 40, 30);
    // The goblin hops: a little higher while the club is up. He stands a
    // little left of the middle to leave room for the swing.
    p.translate(-4, clubUp ? -2 : 0);

    // Feet and legs.
    p.setPen(outline);
    p.setBrush(skin);
    const double step = clubUp ? 0 : 3;
    p.drawRoundedRect(QRectF(22 - step, 66, 9, 13), 3, 3);
    p.drawRoundedRect(QRectF(39 + step, 66, 9, 13), 3, 3);
    p.setBrush(skinDark);
    p.drawEllipse(QRectF(18 - step, 76, 15, 7));
    p.drawEllipse(QRectF(37 + step, 76, 15, 7));

    // Body with the tiger-skin loincloth.
    p.setBrush(skin);
    p.drawEllipse(QRectF(19, 42, 32, 30));
    QPainterPath cloth;
    cloth.moveTo(19, 58);
    cloth.lineTo(51, 58);
    cloth.lineTo(49, 70);
    cloth.lineTo(43, 67);
    cloth.lineTo(37, 71);
    cloth.lineTo(31, 67);
    cloth.lineTo(25, 71);
    cloth.lineTo(21, 68);
    cloth.closeSubpath();
    p.setBrush(QColor(250, 190, 40));
    p.drawPath(cloth);
    p.setPen(QPen(QColor(40, 20, 10), 2));
    for (int x : {25, 32, 39, 46})
        p.drawLine(QPointF(x, 59), QPointF(x + 2, 65));

    // The left arm resting on the hip.
    p.setPen(outline);
    p.setBrush(skin);
    p.drawEllipse(QRectF(12, 48, 10, 14));

    // Head, wild hair and the horn.
    QPainterPath hair;
    hair.moveTo(14, 24);
    for (int i = 0; i <= 8; ++i) {
        const double a = M_PI + M_PI * i / 8.0;
        const double r = (i % 2) ? 23 : 18;
        hair.lineTo(35 + r * std::cos(a), 26 + r * std::sin(a));
    }
    hair.lineTo(56, 24);
    hair.closeSubpath();
    p.setBrush(QColor(40, 30, 40));
    p.drawPath(hair);
    QPainterPath horn;
    horn.moveTo(30, 8);
    horn.quadTo(35, -4, 40, 8);
    horn.closeSubpath();
    p.setBrush(QColor(245, 225, 160));
    p.drawPath(horn);
    p.setBrush(skin);
    p.drawEllipse(QRectF(16, 10, 38, 36));
    // Ears.
    p.drawEllipse(QRectF(11, 23, 8, 10));
    p.drawEllipse(QRectF(51, 23, 8, 10));

    // The club in the right hand: a knobbly wooden bat.
    p.save();
    p.translate(52, 54);
    p.rotate(clubUp ? 14 : 36);
    QPainterPath club;
    club.moveTo(-2.5, 0);
    club.lineTo(-6, -29);
    club.quadTo(0, -37, 6, -29);
    club.lineTo(2.5, 0);
    club.closeSubpath();
    p.setBrush(QColor(150, 95, 40));
    p.drawPath(club);
    p.setBrush(QColor(230, 220, 190));
    p.setPen(QPen(QColor(60, 40, 20), 1));
    for (const QPointF& stud :
         {QPointF(-3, -26), QPointF(3, -22), QPointF(-2, -17), QPointF(2.5, -30), QPointF(0, -12)})
        p.drawEllipse(stud, 1.6, 1.6);
    p.restore();
    p.setPen(outline);
    p.setBrush(skin);
    p.drawEllipse(QRectF(47, 48, 11, 11));

    // Big round eyes with a mischievous look.
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(22, 19, 11, 11));
    p.drawEllipse(QRectF(37, 19, 11, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    const double look = clubUp ? 2 : -1;
    p.drawEllipse(QPointF(27.5 + look, 25), 2.6, 2.6);
    p.drawEllipse(QPointF(42.5 + look, 25), 2.6, 2.6);
    p.setPen(QPen(QColor(30, 15, 10), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21, 17), QPointF(32, clubUp ? 19 : 16));
    p.drawLine(QPointF(38, clubUp ? 19 : 16), QPointF(49, 17));

    // Nose and the grin with two fangs.
    p.setPen(outline);
    p.setBrush(skinDark);
    p.drawEllipse(QRectF(32, 29, 6, 5));
    QPainterPath mouth;
    if (clubUp) {
        mouth.moveTo(24, 35);
        mouth.quadTo(35, 46, 46, 35);
        mouth.quadTo(35, 39, 24, 35);
    } else {
        mouth.moveTo(25, 36);
        mouth.quadTo(35, 42, 45, 36);
        mouth.quadTo(35, 38, 25, 36);
    }
    p.setBrush(QColor(110, 20, 20));
    p.drawPath(mouth);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(30, 15, 10), 0.8));
    QPolygonF fangL, fangR;
    fangL << QPointF(27, 35.6) << QPointF(29, 35.9) << QPointF(28, 39);
    fangR << QPointF(41, 35.9) << QPointF(43, 35.6) << QPointF(42, 39);
    p.drawPolygon(fangL);
    p.drawPolygon(fangR);
    p.end();
    return art;
}

// --- The lightning bolt -----------------------------------------------------

QImage PaintThunder() {
    QImage art = Transparent(50, 70);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF bolt;
    bolt << QPointF(30, 1) << QPointF(8, 36) << QPointF(22, 36) << QPointF(12, 69)
         << QPointF(43, 26) << QPointF(28, 26) << QPointF(41, 1);
    QLinearGradient fill(0, 0, 0, 70);
    fill.setColorAt(0, QColor(255, 255, 210));
    fill.setColorAt(0.6, QColor(255, 230, 60));
    fill.setColorAt(1, QColor(255, 170, 20));
    p.setPen(QPen(QColor(200, 90, 10), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(bolt);
    p.end();
    return art;
}

// --- Small icons ------------------------------------------------------------

// The goblin's face in 16 × 16: dozing when nothing happens, grinning while
// a trick runs.
QImage PaintFaceIcon(bool grinning) {
    QImage icon = Transparent(16, 16);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 20, 10), 1));
    p.setBrush(QColor(245, 225, 160));
    QPolygonF horn;
    horn << QPointF(6.5, 3.5) << QPointF(8, 0.3) << QPointF(9.5, 3.5);
    p.drawPolygon(horn);
    p.setBrush(grinning ? QColor(225, 70, 50) : QColor(120, 150, 210));
    p.drawEllipse(QRectF(1.5, 3, 13, 12.5));
    p.setPen(QPen(QColor(20, 20, 20), 1.2, Qt::SolidLine, Qt::RoundCap));
    if (grinning) {
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(20, 20, 20), 0.8));
        p.drawEllipse(QRectF(4, 6, 3, 3));
        p.drawEllipse(QRectF(9, 6, 3, 3));
        p.setBrush(QColor(110, 20, 20));
        QPainterPath mouth;
        mouth.moveTo(4, 10.5);
        mouth.quadTo(8, 15.5, 12, 10.5);
        mouth.closeSubpath();
        p.drawPath(mouth);
    } else {
        p.drawLine(QPointF(4.2, 8), QPointF(6.8, 8));
        p.drawLine(QPointF(9.2, 8), QPointF(11.8, 8));
        p.drawLine(QPointF(6.5, 12), QPointF(9.5, 12));
    }
    p.end();
    return icon;
}

QImage PaintHeart() {
    QImage icon = Transparent(20, 18);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath heart;
    heart.moveTo(10, 16.5);
    heart.cubicTo(-3, 8, 3, -2, 10, 4.5);
    heart.cubicTo(17, -2, 23, 8, 10, 16.5);
    QRadialGradient fill(7, 6, 12);
    fill.setColorAt(0, QColor(255, 150, 150));
    fill.setColorAt(1, QColor(200, 20, 40));
    p.setPen(QPen(QColor(110, 0, 20), 1.2));
    p.setBrush(fill);
    p.drawPath(heart);
    p.end();
    return icon;
}

// A golden star: the new entry on the score board.
QImage PaintYouMarker() {
    QImage icon = Transparent(16, 16);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + M_PI * i / 5.0;
        const double r = (i % 2) ? 3.2 : 7.5;
        star << QPointF(8 + r * std::cos(a), 8.5 + r * std::sin(a));
    }
    QRadialGradient fill(7, 6, 8);
    fill.setColorAt(0, QColor(255, 250, 180));
    fill.setColorAt(1, QColor(240, 170, 0));
    p.setPen(QPen(QColor(30, 60, 200), 1.1));
    p.setBrush(fill);
    p.drawPolygon(star);
    p.end();
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: clockwig_media <program folder>\n");
        return 2;
    }
    gAppDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(gAppDir + QStringLiteral("/Images"));

    PaintBackground();
    SaveMasked(PaintGoblin(true), QStringLiteral("clockwig_goblin1"));
    SaveMasked(PaintGoblin(false), QStringLiteral("clockwig_goblin2"));
    SaveMasked(PaintThunder(), QStringLiteral("clockwig_thunder"));
    Save(PaintFaceIcon(false), QStringLiteral("clockwig_normal.png"));
    Save(PaintFaceIcon(true), QStringLiteral("clockwig_smile.png"));
    Save(PaintHeart(), QStringLiteral("clockwig_lives.png"));
    Save(PaintYouMarker(), QStringLiteral("score_you.png"));
    return gOk ? 0 : 1;
}
