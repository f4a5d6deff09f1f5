#pragma once

// A small keyboard model for the drill tests, written into a temporary
// program folder: one box per physical key named as the drill expects
// ("key_65", "key_lshift_16", ...) with its key-cap cell mapped, eight
// finger boxes, the problem shell, the cloud and lightning planes, and the
// pictures the drill loads (clouds, bolt, explosion sheet, a key-cap
// picture). Everything is generated here.

#include "app/KeyboardLayouts.h"
#include "TestSupport.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

namespace keyboard_test {

// Geometry of the generated keyboard, in model units.
constexpr float kPitch = 18;      // one key unit
constexpr float kLeft = -135;     // left edge of every row
constexpr float kTopRowY = 10;    // centre y of row 1
constexpr float kKeyTop = 4;      // key caps span z 0 .. 4
constexpr int kCapTextureW = 900; // 15 key units of 60 pixels
constexpr int kCapTextureH = 240;

struct TBox {
    float x0, y0, z0, x1, y1, z1;
};

// Writes an axis-aligned box as one OBJ object with one part; faces are
// wound clockwise seen from outside, with outward normals. The top face
// (+z) carries the texture cell u0..u1, v0..v1; the other faces its centre.
class TObjWriter {
public:
    void Box(const QString& object, const QString& material, const TBox& b, float u0 = 0,
             float v0 = 0, float u1 = 0, float v1 = 0) {
        FObj += "# object " + object.toUtf8() + "\n";
        const int base = FVertices;
        const float xs[2] = {b.x0, b.x1}, ys[2] = {b.y0, b.y1}, zs[2] = {b.z0, b.z1};
        for (int i = 0; i < 8; ++i) {
            FObj += QByteArray("v ") + QByteArray::number(xs[i & 1]) + " " +
                    QByteArray::number(ys[(i >> 1) & 1]) + " " +
                    QByteArray::number(zs[(i >> 2) & 1]) + "\n";
        }
        FVertices += 8;
        const float uc = (u0 + u1) / 2, vc = (v0 + v1) / 2;
        const float uvs[5][2] = {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}, {uc, vc}};
        for (const auto& uv : uvs)
            FObj += "vt " + QByteArray::number(uv[0]) + " " + QByteArray::number(uv[1]) + " 0\n";
        const int tbase = FTexCoords;
        FTexCoords += 5;
        const char* normals[6] = {"0 0 1", "0 0 -1", "1 0 0", "-1 0 0", "0 1 0", "0 -1 0"};
        for (const char* n : normals)
            FObj += QByteArray("vn ") + n + "\n";
        const int nbase = FNormals;
        FNormals += 6;
        FObj += "usemtl " + material.toUtf8() + "\n";
        // Corner index = x + 2y + 4z; each face listed clockwise from outside.
        const int faces[6][4] = {{4, 6, 7, 5}, {0, 1, 3, 2}, {1, 5, 7, 3},
                                 {0, 2, 6, 4}, {2, 3, 7, 6}, {0, 4, 5, 1}};
        for (int f = 0; f < 6; ++f) {
            FObj += "f";
            for (int k = 0; k < 4; ++k) {
                const int t = f == 0 ? tbase + 1 + k : tbase + 5;
                FObj += " " + QByteArray::number(base + 1 + faces[f][k]) + "/" +
                        QByteArray::number(t) + "/" + QByteArray::number(nbase + 1 + f);
            }
            FObj += "\n";
        }
    }
    QByteArray Text() const { return "mtllib keyboard.mtl\n" + FObj; }

private:
    QByteArray FObj;
    int FVertices = 0;
    int FTexCoords = 0;
    int FNormals = 0;
};

// Where physical key `index` lies in the model.
inline TBox KeyBox(int index) {
    const TPhysicalKey& key = PhysicalKey(index);
    float x = kLeft;
    for (int i = 0; i < index; ++i)
        if (PhysicalKey(i).Row == key.Row)
            x += PhysicalKey(i).Width * kPitch;
    const float y = kTopRowY - (key.Row - 1) * kPitch;
    return {x + 1, y - kPitch / 2 + 1, 0, x + key.Width * kPitch - 1, y + kPitch / 2 - 1, kKeyTop};
}

inline QString KeyObjectName(int index) {
    if (index == kLeftShiftIndex)
        return QStringLiteral("key_lshift_16");
    if (index == kRightShiftIndex)
        return QStringLiteral("key_rshift_16");
    return QStringLiteral("key_") + QString::number(PhysicalKey(index).Key);
}

inline bool SavePicture(const QString& path, const QImage& image) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path);
}

// A program folder holding the generated model and pictures.
class TKeyboardTestFolder {
public:
    TKeyboardTestFolder() {
        TObjWriter obj;
        int capX = 0;
        for (int i = 0; i < kKeyCount; ++i) {
            const TPhysicalKey& key = PhysicalKey(i);
            if (key.Col == 1)
                capX = 0;
            const int w = int(60 * key.Width);
            const int top = (key.Row - 1) * 60;
            obj.Box(KeyObjectName(i), QStringLiteral("KeyCap_Material"), KeyBox(i),
                    float(capX) / kCapTextureW, 1 - float(top + 60) / kCapTextureH,
                    float(capX + w) / kCapTextureW, 1 - float(top) / kCapTextureH);
            capX += w;
        }
        const char* fingers[] = {"Finger_Left2",  "Finger_Left3",  "Finger_Left4",
                                 "Finger_Left5",  "Finger_Right2", "Finger_Right3",
                                 "Finger_Right4", "Finger_Right5"};
        float fx = -120;
        for (const char* finger : fingers) {
            obj.Box(QString::fromLatin1(finger), QStringLiteral("FingerMat"),
                    {fx, -90, 0, fx + 8, -76, 6});
            fx += 30;
        }
        obj.Box(QStringLiteral("ProblemShell"), QStringLiteral("ShellMat"),
                {-14, 41, 6, 14, 69, 12});
        obj.Box(QStringLiteral("BackPlane"), QStringLiteral("BackMat"),
                {-100, -100, -60, 100, 100, -59.5f}, 0, 0, 1, 1);
        obj.Box(QStringLiteral("ThunderPlane"), QStringLiteral("ThunderMat"),
                {-10, -20, 20, 10, 20, 20.5f}, 0, 0, 1, 1);
        WriteFileBytes(Path("models/Ravlin_Key_Layout_English.obj"), obj.Text());
        WriteFileBytes(Path("models/keyboard.mtl"),
                       "newmtl KeyCap_Material\n"
                       "Ka 0.3 0.3 0.3\nKd 1 1 1\nKs 0.2 0.2 0.2\n"
                       "map_Kd maps/keycap_default.png\n"
                       "newmtl FingerMat\nKa 0.3 0.3 0.3\nKd 1 0.9 0.2\n"
                       "newmtl ShellMat\nKa 0.3 0.3 0.3\nKd 1 0.8 0.7\n"
                       "newmtl BackMat\nKa 1 1 1\nKd 1 1 1\n"
                       "map_Kd maps/white_cloud.png\n"
                       "newmtl ThunderMat\nKa 1 1 1\nKd 1 1 1\n"
                       "map_Kd maps/ThunderImage.png\n");
        QImage cap(kCapTextureW, kCapTextureH, QImage::Format_RGB32);
        cap.fill(QColor(236, 232, 222));
        SavePicture(Path("models/maps/keycap_default.png"), cap);
        SavePicture(Path("models/maps/[key] plain.png"), cap);
        QImage cloud(64, 64, QImage::Format_ARGB32);
        cloud.fill(QColor(255, 255, 255, 160));
        SavePicture(Path("models/maps/white_cloud.png"), cloud);
        cloud.fill(QColor(60, 60, 70, 200));
        SavePicture(Path("models/maps/dark_cloud.png"), cloud);
        QImage bolt(32, 64, QImage::Format_ARGB32);
        bolt.fill(QColor(255, 255, 120, 255));
        SavePicture(Path("models/maps/ThunderImage.png"), bolt);
        QImage sheet(500, 400, QImage::Format_ARGB32);
        sheet.fill(QColor(255, 140, 0, 255));
        SavePicture(Path("Images/explosion.png"), sheet);
    }

    QString Dir() const { return FDir.path() + QLatin1Char('/'); }
    QString Path(const QString& name) const { return Dir() + name; }
    QString KeyCapPicture() const { return Path(QStringLiteral("models/maps/[key] plain.png")); }

private:
    QTemporaryDir FDir;
};

} // namespace keyboard_test
