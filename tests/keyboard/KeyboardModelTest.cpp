// The keyboard practice media as the program ships them: the model parses
// with the program's loader and carries every object the drill looks for,
// each key's texture coordinates select its own cell of the key-cap
// picture, the fingers rest on their keys, and the pictures are there.

#include "app/KeyboardLayouts.h"
#include "app/KeyLabel.h"
#include "app/MediaPath.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"
#include "ImageTestSupport.h"
#include "TestSupport.h"

#include <algorithm>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <map>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTest>

namespace {

const QString kModel = QStringLiteral("models\\Ravlin_Key_Layout_English.obj");
constexpr int kPictureWidth = 1024, kPictureHeight = 256;

// The object name of physical key `index`.
QString KeyName(int index) {
    if (index == kLeftShiftIndex)
        return QStringLiteral("key_lshift_16");
    if (index == kRightShiftIndex)
        return QStringLiteral("key_rshift_16");
    return QStringLiteral("key_%1").arg(PhysicalKey(index).Key);
}

// The cell of each key in the key-cap picture, in pixels: 60 high, 60 x
// Width wide, laid left to right in Col order from x = 0 in each row.
std::vector<QRect> Cells() {
    std::vector<QRect> cells;
    int x = 0;
    for (int i = 0; i < kKeyCount; ++i) {
        const TPhysicalKey& key = PhysicalKey(i);
        if (key.Col == 1)
            x = 0;
        const int width = int(60 * key.Width);
        cells.emplace_back(x, (key.Row - 1) * 60, width, 60);
        x += width;
    }
    return cells;
}

struct TBounds {
    float MinU = 1e9f, MaxU = -1e9f, MinV = 1e9f, MaxV = -1e9f;
};

TBounds UVBounds(const T3DModel& model) {
    TBounds b;
    for (int i = 0; i < model.TextureList.Count(); ++i) {
        const TGLArrayf3 t = model.TextureList.Item(i);
        b.MinU = std::min(b.MinU, t.x);
        b.MaxU = std::max(b.MaxU, t.x);
        b.MinV = std::min(b.MinV, t.y);
        b.MaxV = std::max(b.MaxV, t.y);
    }
    return b;
}

class KeyboardModel : public testing::Test {
protected:
    void SetUp() override {
        const QString path = MediaPath(kModel);
        ASSERT_TRUE(QFileInfo(path).isFile()) << qPrintable(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        FLoader.ParseObjData(file.readAll(), QFileInfo(path).absolutePath() + QLatin1Char('/'));
    }
    TObjLoader FLoader;
};

} // namespace

TEST_F(KeyboardModel, EveryKeyIsAnObjectWhoseUVsSelectItsOwnCell) {
    // The plain Shift name does not exist: the two Shift keys are told apart.
    EXPECT_EQ(FLoader.FindNamedModel(QStringLiteral("key_16")), nullptr);
    const std::vector<QRect> cells = Cells();
    ASSERT_EQ(cells.size(), size_t(kKeyCount));
    for (int i = 0; i < kKeyCount; ++i) {
        SCOPED_TRACE(KeyName(i).toStdString());
        // Found by name in any letter case, as the drill looks them up.
        const T3DModel* model = FLoader.FindNamedModel(KeyName(i).toUpper());
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->MaterialName, QStringLiteral("KeyCap_Material"));
        ASSERT_GT(model->TextureList.Count(), 0);
        // Texture row 0 is the bottom of the picture.
        const TBounds uv = UVBounds(*model);
        const QRect& cell = cells[size_t(i)];
        const double left = uv.MinU * kPictureWidth, right = uv.MaxU * kPictureWidth;
        const double top = (1 - uv.MaxV) * kPictureHeight, bottom = (1 - uv.MinV) * kPictureHeight;
        EXPECT_GE(left, cell.left() - 0.01);
        EXPECT_LE(right, cell.left() + cell.width() + 0.01);
        EXPECT_GE(top, cell.top() - 0.01);
        EXPECT_LE(bottom, cell.top() + cell.height() + 0.01);
        // ... and spread over nearly all of it.
        EXPECT_GT(right - left, cell.width() - 4);
        EXPECT_GT(bottom - top, cell.height() - 4);
        // The key's width on the keyboard follows its table width.
        const T3DModel* letter = FLoader.FindNamedModel(QStringLiteral("key_65"));
        ASSERT_NE(letter, nullptr);
        EXPECT_NEAR(model->Width() - letter->Width(), (PhysicalKey(i).Width - 1) * 16, 0.05);
    }
    // Keys sit in their rows and columns: Q left of W, W above S, the left
    // Shift left of Z, the rows running down.
    auto centre = [&](const char* name) {
        const T3DModel* m = FLoader.FindNamedModel(QString::fromLatin1(name));
        return m ? QPointF(m->CenterX(), m->CenterY()) : QPointF(1e9, 1e9);
    };
    EXPECT_LT(centre("key_81").x(), centre("key_87").x());
    EXPECT_GT(centre("key_87").y(), centre("key_83").y());
    EXPECT_LT(centre("key_lshift_16").x(), centre("key_90").x());
    EXPECT_GT(centre("key_rshift_16").x(), centre("key_191").x());
    EXPECT_GT(centre("key_49").y(), centre("key_81").y());
    EXPECT_GT(centre("key_65").y(), centre("key_90").y());
}

TEST_F(KeyboardModel, HasTheFingersTheShellAndThePlanesWithTheirMaterials) {
    const char* const fingers[] = {"Finger_Left2",  "Finger_Left3",  "Finger_Left4",
                                   "Finger_Left5",  "Finger_Right2", "Finger_Right3",
                                   "Finger_Right4", "Finger_Right5"};
    const char* const homes[] = {"key_70", "key_68", "key_83", "key_65",
                                 "key_74", "key_75", "key_76", "key_186"};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(fingers[i]);
        const T3DModel* finger = FLoader.FindNamedModel(QString::fromLatin1(fingers[i]).toLower());
        ASSERT_NE(finger, nullptr);
        // The scene sets a finger on its key by the centre of its bounds:
        // that centre is the fingertip pad, the lowest point drawn, so the
        // finger rests on the key top and rises from there.
        float lowest = 1e9f;
        TGLArrayf3 pad{};
        for (int v = 0; v < finger->VertexList.Count(); ++v) {
            const TGLArrayf3 p = finger->VertexList.Item(v);
            if (p.z < lowest) {
                lowest = p.z;
                pad = p;
            }
        }
        EXPECT_NEAR(lowest, finger->CenterZ(), 0.05);
        EXPECT_NEAR(pad.x, finger->CenterX(), 1.0);
        EXPECT_NEAR(pad.y, finger->CenterY(), 1.0);
        // A finger is longer than wide, narrower than its key pitch, and
        // reaches back towards the learner (down the keyboard).
        float minY = 1e9f, maxY = -1e9f, minX = 1e9f, maxX = -1e9f;
        for (int v = 0; v < finger->VertexList.Count(); ++v) {
            const TGLArrayf3 p = finger->VertexList.Item(v);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
        }
        EXPECT_GT(pad.y - minY, 2.5 * (maxY - pad.y));
        EXPECT_LT(maxX - minX, 20);
        EXPECT_GT(maxY - minY, 25);
        EXPECT_NE(FLoader.FindNamedModel(QString::fromLatin1(homes[i])), nullptr);
    }
    const T3DModel* shell = FLoader.FindNamedModel(QStringLiteral("problemshell"));
    ASSERT_NE(shell, nullptr);
    // Above the keys, in front of the sky.
    EXPECT_GT(shell->MinPos.y, FLoader.FindNamedModel(QStringLiteral("key_49"))->MaxPos.y);
    EXPECT_GT(shell->Width(), 20);
    const T3DModel* back = FLoader.FindNamedModel(QStringLiteral("BackPlane"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->MaterialName, QStringLiteral("BackMat"));
    EXPECT_GT(back->MaxPos.x, 0);
    EXPECT_GT(back->MaxPos.y, 0);
    const T3DModel* bolt = FLoader.FindNamedModel(QStringLiteral("ThunderPlane"));
    ASSERT_NE(bolt, nullptr);
    EXPECT_EQ(bolt->MaterialName, QStringLiteral("ThunderMat"));

    // The material library: the key caps' picture is one the setup lists,
    // the sky's and the bolt's files exist.
    const TMaterialItem* keyCap = FLoader.FindMaterial(QStringLiteral("KeyCap_Material"));
    ASSERT_NE(keyCap, nullptr);
    EXPECT_TRUE(QFileInfo(keyCap->map_kd).fileName().startsWith(QStringLiteral("[key]")));
    EXPECT_TRUE(QFileInfo(MediaPath(keyCap->map_kd)).isFile());
    for (const char* file : {"models\\maps\\dark_cloud.png", "models\\maps\\white_cloud.png",
                             "models\\maps\\ThunderImage.png"})
        EXPECT_TRUE(QFileInfo(MediaPath(QString::fromLatin1(file))).isFile()) << file;
    EXPECT_TRUE(
        QFileInfo(MediaPath(FLoader.FindMaterial(QStringLiteral("BackMat"))->map_kd)).isFile());
}

TEST(KeyboardPictures, KeyCapsAndTheExplosionSheetAreThere) {
    const QDir maps(MediaPath(QStringLiteral("models\\maps\\")));
    QStringList keyCaps;
    for (const QString& name : maps.entryList(QDir::Files))
        if (name.startsWith(QStringLiteral("[key]"), Qt::CaseInsensitive))
            keyCaps << name;
    EXPECT_GE(keyCaps.size(), 4);
    for (const QString& name : keyCaps) {
        SCOPED_TRACE(name.toStdString());
        const QImage picture(maps.filePath(name));
        EXPECT_EQ(picture.size(), QSize(kPictureWidth, kPictureHeight));
        // A material, not a flat fill: the picture varies.
        const QRgb first = picture.pixel(0, 0);
        EXPECT_GT(CountPixels(picture, [first](QRgb p) { return p != first; }),
                  picture.width() * picture.height() / 2);
    }

    // Five frames across, four down, on a transparent ground; the frames
    // the drill shows (every second one) each hold a burst.
    const QImage sheet(MediaPath(QStringLiteral("Images\\explosion.png")));
    ASSERT_FALSE(sheet.isNull());
    ASSERT_TRUE(sheet.hasAlphaChannel());
    ASSERT_EQ(sheet.width() % 5, 0);
    ASSERT_EQ(sheet.height() % 4, 0);
    const int w = sheet.width() / 5, h = sheet.height() / 4;
    for (int cell = 2; cell <= 10; cell += 2) {
        SCOPED_TRACE(cell);
        const QRect r((cell % 5) * w, (cell / 5) * h, w, h);
        EXPECT_EQ(qAlpha(sheet.pixel(r.topLeft())), 0);
        const int visible = CountPixels(sheet, r, [](QRgb p) { return qAlpha(p) > 100; });
        EXPECT_GT(visible, w * h / 12);
        // Fire: a fair share of warm, bright pixels.
        const int fiery = CountPixels(sheet, r, [](QRgb p) {
            return qAlpha(p) > 100 && qRed(p) > 150 && qRed(p) > qBlue(p) + 60;
        });
        // Fire in the early frames; the last ones are smoke.
        if (cell <= 6) {
            EXPECT_GT(fiery, visible / 4);
        }
    }
}

namespace {

// Draws the model as the drill's scene does (camera, sky stretched over the
// view, fingers set on their home keys by their centres, clockwise front
// faces) and records where each key's top centre lands on the screen.
class TKeyboardProbe {
public:
    TGLPanel Panel;
    TObjLoader Loader;
    std::map<QString, QPointF> KeyTops;
    bool Flat = false; // no lighting: textures show their own colours
    bool Fingers = true;

    TKeyboardProbe() {
        Panel.resize(1290, 721);
        Panel.SetScale(0.275f);
        Panel.SetRotX(-15);
        Panel.SetClearColor(16437419);
        Panel.OnDrawScene = [this](TGLPanel*) { Draw(); };
        Loader.OnGetMaterialProperty = [](TObjLoader*, const QString& name, TMaterialItem* m) {
            if (name.startsWith(QStringLiteral("Finger_"), Qt::CaseInsensitive)) {
                m->Specular = {true, 0.5f, 1.0f, 0.7f, 0.7f};
                m->Tr = 0.65f;
                const bool lifted =
                    name.compare(QStringLiteral("Finger_Left2"), Qt::CaseInsensitive) == 0;
                m->Diffuse = TObjLoader::ColorToLight(lifted ? 12541 : 2744319, 1.0f);
            } else if (name.startsWith(QStringLiteral("ProblemShell"), Qt::CaseInsensitive)) {
                m->Specular = {true, 1, 1, 1, 1};
                m->Tr = 0.5f;
                m->Diffuse = TObjLoader::ColorToLight(12180735, 0.45f);
            } else if (m->Name == QLatin1String("KeyCap_Material")) {
                m->Specular = {true, 0, 0, 0, 0};
            }
        };
    }

    void Show() {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
        Panel.SetCurrentGLContext();
        ASSERT_TRUE(Loader.LoadFromFile(MediaPath(kModel)));
    }

    void Draw() {
        glFrontFace(GL_CW);
        if (Flat)
            glDisable(GL_LIGHTING);
        float maxX, maxY, minX, minY;
        Panel.GetVisiblePos(-30, maxX, maxY, minX, minY);
        if (const T3DModel* sky = Loader.FindNamedModel(QStringLiteral("BackPlane"))) {
            glPushMatrix();
            glLoadIdentity();
            glScalef((maxX + 16) / sky->MaxPos.x, (maxY + 16) / sky->MaxPos.y, Panel.Scale());
            Loader.DrawData_OLD(QStringLiteral("BackPlane"), nullptr);
            glPopMatrix();
        }
        QStringList drawn;
        for (int i = 0; i < Loader.modelList.Count(); ++i) {
            const QString name = Loader.modelList.Items(i)->ObjectName;
            if (drawn.contains(name))
                continue;
            drawn << name;
            if (name == QLatin1String("BackPlane") || name == QLatin1String("ThunderPlane"))
                continue;
            if (name.startsWith(QStringLiteral("Finger_"))) {
                if (Fingers)
                    DrawFinger(name);
                continue;
            }
            if (name == QLatin1String("ProblemShell")) {
                glPushMatrix();
                glLoadIdentity();
                glScalef(Panel.Scale(), Panel.Scale(), Panel.Scale());
                Loader.DrawData_OLD(name, nullptr);
                glPopMatrix();
                continue;
            }
            Loader.DrawData_OLD(name, nullptr);
            if (name.startsWith(QStringLiteral("key_"))) {
                const T3DModel* key = Loader.FindNamedModel(name);
                KeyTops[name] = Project(key->CenterX(), key->CenterY(), key->MaxPos.z);
            }
        }
    }

    void DrawFinger(const QString& name) {
        static const std::map<QString, QString> homes = {
            {"Finger_Left5", "key_65"},  {"Finger_Left4", "key_83"},  {"Finger_Left3", "key_68"},
            {"Finger_Left2", "key_70"},  {"Finger_Right2", "key_74"}, {"Finger_Right3", "key_75"},
            {"Finger_Right4", "key_76"}, {"Finger_Right5", "key_186"}};
        const T3DModel* finger = Loader.FindNamedModel(name);
        const auto home = homes.find(name);
        const T3DModel* key = home == homes.end() ? nullptr : Loader.FindNamedModel(home->second);
        if (!finger || !key)
            return;
        glPushMatrix();
        glTranslatef(-finger->CenterX(), -finger->CenterY(), -finger->CenterZ());
        // The index finger of the left hand is lifted as for its problem.
        if (name == QLatin1String("Finger_Left2"))
            glTranslatef(0, -10 / 3.0f, 10);
        glTranslatef(key->CenterX(), key->CenterY(), key->CenterZ() + key->Depth() / 2);
        Loader.DrawData_OLD(name, nullptr);
        glPopMatrix();
    }

    // Window position (top-left origin) of a model point under the current matrices.
    static QPointF Project(double x, double y, double z) {
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx, wy, wz;
        gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
        return {wx, viewport[3] - wy};
    }
};

// The panel's frame as the window shows it: colours as drawn, the alpha the
// blending left in the frame buffer ignored.
QImage Opaque(QImage frame) {
    frame.reinterpretAsFormat(QImage::Format_RGB32);
    return frame;
}

QColor CellColour(int index) {
    return QColor(30 + (index % 8) * 30, 30 + (index / 8) * 30, 220);
}

} // namespace

// Each key cell painted its own colour: every key must show its own colour
// at the centre of its top, which fails for a cell shifted, swapped or
// flipped anywhere on the keyboard.
TEST(KeyboardModelOnScreen, EachKeyTopShowsItsOwnCell) {
    TKeyboardProbe probe;
    probe.Flat = true;
    probe.Fingers = false;
    const std::vector<QRect> cells = Cells();
    probe.Loader.OnTextureLoaded = [&](TTextureItem* item, QImage& bitmap) {
        if (item->MaterialName != QLatin1String("KeyCap_Material"))
            return;
        ASSERT_EQ(bitmap.size(), QSize(kPictureWidth, kPictureHeight));
        QPainter painter(&bitmap);
        for (int i = 0; i < kKeyCount; ++i)
            painter.fillRect(cells[size_t(i)], CellColour(i));
    };
    probe.Show();
    const QImage frame = Opaque(probe.Panel.grabFramebuffer());
    ASSERT_EQ(probe.KeyTops.size(), size_t(kKeyCount));
    for (int i = 0; i < kKeyCount; ++i) {
        SCOPED_TRACE(KeyName(i).toStdString());
        const QPointF at = probe.KeyTops[KeyName(i)];
        ASSERT_TRUE(frame.rect().contains(at.toPoint()));
        const QColor seen = frame.pixelColor(at.toPoint());
        const QColor wanted = CellColour(i);
        EXPECT_NEAR(seen.red(), wanted.red(), 12);
        EXPECT_NEAR(seen.green(), wanted.green(), 12);
        EXPECT_NEAR(seen.blue(), wanted.blue(), 12);
    }
}

// The look: English labels on the wood picture, lit, with fingers on the
// home row, the shell and the sky. Home keys show dark ink, the fingers
// cover their keys in their colour, the keyboard fills most of the width.
TEST(KeyboardModelOnScreen, LooksLikeAKeyboardWithFingersOnTheHomeRow) {
    TKeyboardProbe probe;
    const TEnglishKeyboardLayout& english = KeyboardLayout(0);
    const std::vector<QRect> cells = Cells();
    probe.Loader.OnGetTextureFileName = [](TTextureItem* item, QString& fileName) {
        if (item->MaterialName == QLatin1String("KeyCap_Material"))
            fileName = MediaPath(QStringLiteral("models\\maps\\[key] wood.png"));
    };
    probe.Loader.OnTextureLoaded = [&](TTextureItem* item, QImage& bitmap) {
        if (item->MaterialName != QLatin1String("KeyCap_Material"))
            return;
        QPainter painter(&bitmap);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(21);
        font.setBold(true);
        for (int i = 0; i < kKeyCount; ++i) {
            const QRect cell(cells[size_t(i)].left(), cells[size_t(i)].top(), 60, 60);
            const TKeyInfo& info = english[size_t(i)];
            const bool control = info.KeyGroup == kgControl;
            QFont f = font;
            if (control)
                f.setPixelSize(12);
            painter.setFont(f);
            painter.setPen(QColor(40, 28, 20));
            const QString upper = info.DisplayChar[1], lower = info.DisplayChar[0];
            if (upper == QLatin1String(" ")) {
                DrawKeyLabel(painter, cell, control ? 0 : 1, false, lower, control ? 3 : 4);
            } else {
                DrawKeyLabel(painter, cell, 1, false, upper, 3);
                DrawKeyLabel(painter, cell, 1, false, lower, 5);
            }
        }
    };
    probe.Show();
    const QImage frame = Opaque(probe.Panel.grabFramebuffer());
    if (const QByteArray dir = qgetenv("RAVLIN_RENDER_DIR"); !dir.isEmpty())
        frame.save(QString::fromLocal8Bit(dir) + QStringLiteral("/keyboard_model.png"));

    // Ink of the letters on keys without fingers (G and H sit between the hands).
    for (const char* name : {"key_71", "key_72", "key_81", "key_80"}) {
        SCOPED_TRACE(name);
        const QPoint at = probe.KeyTops[QString::fromLatin1(name)].toPoint();
        const int ink = CountPixels(frame, QRect(at - QPoint(12, 12), QSize(25, 25)),
                                    [](QRgb p) { return qRed(p) < 110 && qGreen(p) < 90; });
        EXPECT_GT(ink, 15);
    }
    // The fingers: yellow over seven home keys, red over the lifted F.
    for (const char* name :
         {"key_65", "key_83", "key_68", "key_74", "key_75", "key_76", "key_186"}) {
        SCOPED_TRACE(name);
        const QPoint at = probe.KeyTops[QString::fromLatin1(name)].toPoint();
        const int yellow = CountPixels(frame, QRect(at + QPoint(-7, 0), QSize(15, 15)), [](QRgb p) {
            return qRed(p) > 150 && qGreen(p) > 110 && qBlue(p) < qGreen(p) - 40;
        });
        EXPECT_GT(yellow, 80);
    }
    const QPoint f = probe.KeyTops[QStringLiteral("key_70")].toPoint();
    const int red = CountPixels(frame, QRect(f - QPoint(10, -4), QSize(21, 30)), [](QRgb p) {
        return qRed(p) > 150 && qGreen(p) < qRed(p) - 60 && qBlue(p) < 100;
    });
    EXPECT_GT(red, 60);
    // The keyboard spans most of the window and the sky shows round it.
    const QPointF leftmost = probe.KeyTops[QStringLiteral("key_192")];
    const QPointF rightmost = probe.KeyTops[QStringLiteral("key_8")];
    EXPECT_GT(rightmost.x() - leftmost.x(), frame.width() * 0.55);
    EXPECT_LT(rightmost.x() - leftmost.x(), frame.width() * 0.9);
    const QColor sky = frame.pixelColor(frame.width() / 2, 8);
    EXPECT_GT(sky.blue(), sky.red());
}
