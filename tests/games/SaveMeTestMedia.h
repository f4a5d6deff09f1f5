#pragma once

// A small stand-in for the Orbalon game's media, written into a folder that
// becomes AppDir for a test: "models/SaveMeGame.obj" with its library and
// the objects the game draws, the background and story pictures, and the
// two icon sheets. Shapes are coarse but real (spheres, a plane, particles)
// and each picture is plainly recognisable in a capture.

#include <cmath>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <string>

namespace savemetest {

// Appends a sphere as an object of its own; front faces wound
// counter-clockwise seen from outside.
inline void AddSphere(std::string& text, int& base, const char* name, const char* material,
                      float radius, int stacks, int slices) {
    char line[160];
    std::snprintf(line, sizeof line, "# object %s\n", name);
    text += line;
    for (int s = 0; s <= stacks; ++s)
        for (int l = 0; l <= slices; ++l) {
            const double phi = M_PI * s / stacks, theta = 2 * M_PI * l / slices;
            const double x = std::sin(phi) * std::cos(theta), y = std::cos(phi),
                         z = std::sin(phi) * std::sin(theta);
            std::snprintf(line, sizeof line, "v %.4f %.4f %.4f\nvn %.4f %.4f %.4f\n", radius * x,
                          radius * y, radius * z, x, y, z);
            text += line;
            std::snprintf(line, sizeof line, "vt %.4f %.4f 0\n", double(l) / slices,
                          1 - double(s) / stacks);
            text += line;
        }
    std::snprintf(line, sizeof line, "usemtl %s\n", material);
    text += line;
    for (int s = 0; s < stacks; ++s)
        for (int l = 0; l < slices; ++l) {
            const int a = base + s * (slices + 1) + l + 1, b = a + 1, c = a + slices + 1, d = c + 1;
            std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d, c,
                          c, c);
            text += line;
            std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, d,
                          d, d);
            text += line;
        }
    base += (stacks + 1) * (slices + 1);
}

inline void AddBackPlane(std::string& text, int& base) {
    text += "# object BackPlane\n";
    // At -100, not at the panel's visible depth of -85: the scene sizes the
    // plane for the depth it lies at.
    text += "v -100 -100 -100\nv -100 100 -100\nv 100 100 -100\nv 100 -100 -100\n";
    text += "vn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\n";
    text += "vt 0 0 0\nvt 0 1 0\nvt 1 1 0\nvt 1 0 0\n";
    text += "usemtl back_mat\n";
    char line[160];
    const int a = base + 1, b = base + 2, c = base + 3, d = base + 4;
    std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c, b, b, b);
    text += line;
    std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d, c, c, c);
    text += line;
    base += 4;
}

inline QImage Picture(int w, int h, const QColor& back,
                      const std::function<void(QPainter&)>& paint = {}) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(back);
    if (paint) {
        QPainter p(&image);
        paint(p);
    }
    return image;
}

// A 2 x 2 sheet whose four frames are discs of a colour at four sizes.
inline QImage Sheet(const QColor& colour) {
    QImage image(128, 128, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    for (int f = 0; f < 4; ++f) {
        const int r = 20 + 3 * f;
        p.drawEllipse(QPoint(32 + 64 * (f % 2), 32 + 64 * (f / 2)), r, r);
    }
    return image;
}

// Writes the media below `root`.
inline void WriteMedia(const QString& root) {
    QDir(root).mkpath(QStringLiteral("models/maps"));
    QDir(root).mkpath(QStringLiteral("Images"));
    const QString maps = root + QStringLiteral("/models/maps/");
    // Five distinct dark skies and the collision picture.
    const QColor skies[] = {QColor(20, 10, 60), QColor(10, 30, 50), QColor(40, 10, 40),
                            QColor(5, 5, 25), QColor(30, 20, 10)};
    for (int i = 0; i < 5; ++i) {
        Picture(256, 256, skies[i], [i](QPainter& p) {
            p.setPen(Qt::white);
            for (int k = 0; k < 300; ++k)
                p.drawPoint((k * 53 + i * 17) % 256, (k * 97 + i * 29) % 256);
        }).save(maps + QStringLiteral("galaxy%1.png").arg(i + 1));
    }
    Picture(256, 256, QColor(60, 20, 20)).save(maps + QStringLiteral("moon_collision2.png"));
    Picture(400, 300, QColor(30, 30, 80), [](QPainter& p) {
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(QPoint(300, 80), 40, 40);
        p.setBrush(QColor(40, 90, 200));
        p.drawEllipse(QPoint(120, 200), 70, 70);
    }).save(maps + QStringLiteral("moon_collision.png"));
    Picture(256, 128, QColor(20, 60, 170), [](QPainter& p) {
        p.setBrush(QColor(40, 150, 50));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(60, 60), 30, 40);
        p.drawEllipse(QPoint(170, 50), 45, 30);
    }).save(maps + QStringLiteral("earth.png"));
    Picture(256, 128, QColor(1, 146, 201), [](QPainter& p) {
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(80, 40), 40, 12);
        p.drawEllipse(QPoint(190, 90), 50, 14);
    }).save(maps + QStringLiteral("clouds.png"));
    Picture(128, 64, QColor(150, 150, 150), [](QPainter& p) {
        p.setBrush(QColor(100, 100, 100));
        p.drawEllipse(QPoint(40, 30), 10, 10);
        p.drawEllipse(QPoint(90, 20), 7, 7);
    }).save(maps + QStringLiteral("moon.png"));
    Sheet(QColor(230, 60, 60)).save(root + QStringLiteral("/Images/Stop.png"));
    Sheet(QColor(60, 120, 230)).save(root + QStringLiteral("/Images/EarthLife.png"));

    QFile mtl(root + QStringLiteral("/models/SaveMeGame.mtl"));
    if (mtl.open(QIODevice::WriteOnly)) {
        mtl.write("newmtl back_mat\nKa 1 1 1\nKd 1 1 1\nKs 0 0 0\nmap_Kd maps/galaxy1.png\n"
                  "newmtl land_mat\nKa 0.6 0.6 0.6\nKd 1 1 1\nKs 0.3 0.3 0.3\nmap_Kd "
                  "maps/earth.png\n"
                  "newmtl Cloud_Mat\nKa 1 1 1\nKd 1 1 1\nKs 0 0 0\nmap_Kd maps/clouds.png\n"
                  "newmtl moon_mat\nKa 0.6 0.6 0.6\nKd 1 1 1\nKs 0.2 0.2 0.2\nmap_Kd "
                  "maps/moon.png\n"
                  "newmtl red_mat\nKa 1 0.2 0\nKd 1 0.2 0\nKs 0 0 0\n"
                  "newmtl orange_mat\nKa 1 0.6 0\nKd 1 0.6 0\nKs 0 0 0\n");
    }
    std::string text = "mtllib SaveMeGame.mtl\n";
    int base = 0;
    AddBackPlane(text, base);
    AddSphere(text, base, "LandSphere", "land_mat", 50, 12, 18);
    AddSphere(text, base, "CloudSphere", "Cloud_Mat", 52, 12, 18);
    AddSphere(text, base, "PlanetSphere", "moon_mat", 6, 8, 12);
    AddSphere(text, base, "Explosion_red", "red_mat", 0.8f, 3, 4);
    AddSphere(text, base, "Explosion_orange", "orange_mat", 0.8f, 3, 4);
    QFile obj(root + QStringLiteral("/models/SaveMeGame.obj"));
    if (obj.open(QIODevice::WriteOnly))
        obj.write(text.c_str());
}

} // namespace savemetest
