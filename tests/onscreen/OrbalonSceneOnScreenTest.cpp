// The Orbalon game's model and pictures drawn on a GL panel the way the game
// lays its scene out (turning sky plane behind, the Earth at the centre with
// its see-through clouds, moons, a burst of particles), captured from the X
// server and checked for what a player must see.

#include "app/MediaPath.h"
#include "games/SaveMeGameSetUpForm.h"
#include "gl/BitmapRoutines.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"
#include "gl/TextureItem.h"
#include "ImageTestSupport.h"
#include "ScreenCapture.h"
#include "TestSupport.h"

#include <cmath>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

namespace {

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(20);
}

void AboutCentre(const T3DModel& m, float angle, float x, float y, float z) {
    glTranslatef(m.CenterX(), m.CenterY(), m.CenterZ());
    glRotatef(angle, x, y, z);
    glTranslatef(-m.CenterX(), -m.CenterY(), -m.CenterZ());
}

// Where a scene point is drawn, in panel pixels: camera at z = 50 looking at
// the origin with a 55 degree vertical field of view, scene scaled by the
// panel's scale.
QPoint OnPanel(const TGLPanel& panel, float x, float y, float z) {
    const double s = panel.Scale();
    const double f = 1 / std::tan(55.0 / 2 * M_PI / 180);
    const double w = panel.width(), h = panel.height();
    const double nx = x * s * f / (w / h) / (50 - z * s), ny = y * s * f / (50 - z * s);
    return {int(std::lround((nx + 1) / 2 * w)), int(std::lround((1 - ny) / 2 * h))};
}

struct TMoon {
    float x, y, z;
};

class OrbalonScene {
public:
    OrbalonScene() {
        Panel = std::make_unique<TGLPanel>();
        Panel->setWindowTitle(QStringLiteral("Orbalon scene"));
        Panel->SetClearColor(RGBColor(166, 202, 240));
        Panel->SetAntiAliasQuality(aaqNone);
        Panel->move(0, 0);
        Panel->resize(960, 600);
        Loader.OnGetTextureFileName = [this](TTextureItem* item, QString& fileName) {
            if (item->MaterialName == QLatin1String("back_mat"))
                fileName = MediaPath(QStringLiteral("models\\maps\\") + Sky);
        };
        Loader.OnTextureLoaded = [](TTextureItem* item, QImage& bitmap) {
            if (item->MaterialName == QLatin1String("Cloud_Mat"))
                SetAlphaChannel(bitmap, true, RGBColor(1, 146, 201), false, 0.4f, 0.7f, 0.05f);
        };
        Loader.OnGetMaterialProperty = [this](TObjLoader*, const QString& name,
                                              TMaterialItem* material) {
            if (name.startsWith(QLatin1String("Explosion_"), Qt::CaseInsensitive)) {
                // Every particle its own yellow-to-red shade, mostly see-through.
                material->Diffuse.R = 1;
                material->Diffuse.G = float((100 - FRandom.bounded(100)) / 400.0 + 0.05);
                material->Diffuse.B = float((100 - FRandom.bounded(100)) / 400.0 + 0.05);
                material->Tr = 0.75f;
            }
        };
        Panel->OnDrawScene = [this](TGLPanel* panel) { Draw(*panel); };
        Panel->SetCurrentGLContext();
        Loaded = Loader.LoadFromFile(MediaPath(QStringLiteral("models\\SaveMeGame.obj")));
    }

    void ShowSky(const QString& sky) {
        Sky = sky;
        Panel->SetCurrentGLContext();
        Loader.ReloadMaterial(QStringLiteral("back_mat"), QString());
        Panel->DrawScene();
    }

    void Draw(TGLPanel& panel) {
        // The same particles on every repaint, so a frame read back equals
        // the one on screen.
        FRandom.seed(7);
        const T3DModel* back = Loader.FindNamedModel(QStringLiteral("BackPlane"));
        if (!back)
            return;
        // The sky plane is stretched to the view's half diagonal at its
        // depth, so it covers the view however it turns.
        float maxX = 0, maxY = 0, minX = 0, minY = 0;
        panel.GetVisiblePos(back->MaxPos.z * panel.Scale(), maxX, maxY, minX, minY);
        const float k = std::hypot(maxX, maxY) / (back->MaxPos.x * panel.Scale()) * 1.02f;
        glPushMatrix();
        glRotatef(25, 0, 0, 1);
        glScalef(k, k, 1);
        Loader.DrawData_OLD(QStringLiteral("BackPlane"), nullptr);
        glPopMatrix();

        const T3DModel* land = Loader.FindNamedModel(QStringLiteral("LandSphere"));
        const T3DModel* clouds = Loader.FindNamedModel(QStringLiteral("CloudSphere"));
        glPushMatrix();
        glScalef(0.6f, 0.6f, 0.6f);
        glRotatef(20, 1, 0, 0);
        glPushMatrix();
        AboutCentre(*land, -15, 0, 1, 0);
        Loader.DrawData_OLD(QStringLiteral("LandSphere"), nullptr);
        glPopMatrix();
        glPushMatrix();
        AboutCentre(*clouds, 40, 0, 1, 0);
        Loader.DrawData_OLD(QStringLiteral("CloudSphere"), nullptr);
        glPopMatrix();
        glPopMatrix();

        for (const TMoon& moon : Moons) {
            glPushMatrix();
            glTranslatef(moon.x, moon.y, moon.z);
            glRotatef(moon.x * 3, 0, 1, 0);
            Loader.DrawData_OLD(QStringLiteral("PlanetSphere"), nullptr);
            glPopMatrix();
        }
        // A burst of size 5: 51 particles near a shell of radius 6.
        for (int i = 0; i < 51; ++i) {
            const int n = 5;
            const double a = (1.2 * FRandom.bounded(n) + 0.8) * (FRandom.bounded(2) ? 1 : -1);
            const double b = (1.2 * FRandom.bounded(n) + 0.8) * (FRandom.bounded(2) ? 1 : -1);
            const double c = std::sqrt(std::max(0.0, 1.44 * n * n - a * a - b * b)) *
                             (FRandom.bounded(2) ? 1 : -1);
            glPushMatrix();
            glTranslatef(float(Burst.x + a), float(Burst.y + b), float(Burst.z + c));
            Loader.DrawData_OLD(QString::fromLatin1(i % 2 ? "Explosion_red" : "Explosion_orange"),
                                nullptr);
            glPopMatrix();
        }
    }

    std::unique_ptr<TGLPanel> Panel;
    TObjLoader Loader;
    bool Loaded = false;
    QString Sky = QStringLiteral("galaxy1.png");
    std::vector<TMoon> Moons = {{-95, 40, 20}, {90, -45, 40}, {70, 55, 0}};
    TMoon Burst = {-80, -50, 10};

private:
    QRandomGenerator FRandom{7};
};

// The frame as the window system shows it: the colour channels as drawn,
// whatever alpha the see-through clouds left in the frame buffer.
QImage AsShown(const QImage& frame) {
    QImage image = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

bool IsSkyBlue(QRgb p) {
    return std::abs(qRed(p) - 166) < 6 && std::abs(qGreen(p) - 202) < 6 &&
           std::abs(qBlue(p) - 240) < 6;
}

} // namespace

TEST(OnScreen, OrbalonEarthMoonsAndSkiesReachTheScreen) {
    OrbalonScene scene;
    ASSERT_TRUE(scene.Loaded);
    scene.Panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(scene.Panel.get()));
    Settle(800);
    const QString out = qEnvironmentVariable("RAVLIN_SHOT_DIR");

    const QString skies[] = {"galaxy1.png", "galaxy2.png", "galaxy3.png",
                             "galaxy4.png", "galaxy5.png", "moon_collision2.png"};
    QList<QImage> corners;
    for (const QString& sky : skies) {
        SCOPED_TRACE(sky.toStdString());
        scene.ShowSky(sky);
        Settle(400);
        const QImage screen = CaptureScreen();
        ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
        const QRect rect(scene.Panel->mapToGlobal(QPoint(0, 0)), scene.Panel->size());
        const QImage shown = screen.copy(rect);
        if (!out.isEmpty())
            shown.save(out + QStringLiteral("/orbalon_scene_") + sky);
        const QImage drawn = AsShown(scene.Panel->grabFramebuffer());
        if (!out.isEmpty())
            drawn.save(out + QStringLiteral("/orbalon_drawn_") + sky);
        ASSERT_EQ(shown.size(), drawn.size());
        EXPECT_LT(LargestCellDifference(shown, drawn, 8), 12.0);

        // The sky covers the whole view, corners included.
        EXPECT_EQ(CountPixels(shown, IsSkyBlue), 0);

        // The Earth: sea, land and clouds inside its disc.
        const QPoint centre = OnPanel(*scene.Panel, 0, 0, 0);
        const QRect earth(centre - QPoint(60, 60), QSize(120, 120));
        const int area = earth.width() * earth.height();
        const int sea = CountPixels(shown, earth, [](QRgb p) {
            return qBlue(p) > qRed(p) + 30 && qBlue(p) > qGreen(p) && qBlue(p) > 60;
        });
        const int landPixels = CountPixels(shown, earth, [](QRgb p) {
            return qGreen(p) > qBlue(p) + 10 || (qRed(p) > qBlue(p) + 30 && qGreen(p) > 60);
        });
        const int cloud = CountPixels(shown, earth, [](QRgb p) {
            return qRed(p) > 170 && qGreen(p) > 170 && qBlue(p) > 170;
        });
        EXPECT_GT(sea, area / 5);
        EXPECT_GT(landPixels, area / 20);
        EXPECT_GT(cloud, area / 50);

        // The moons: grey, and lit (not black) on their upper left.
        for (const TMoon& moon : scene.Moons) {
            const QPoint p = OnPanel(*scene.Panel, moon.x, moon.y, moon.z);
            const QRect disc(p - QPoint(8, 8), QSize(16, 16));
            const int grey = CountPixels(shown, disc, [](QRgb c) {
                return std::abs(qRed(c) - qBlue(c)) < 30 && qGray(c) > 50;
            });
            EXPECT_GT(grey, 16 * 16 / 2) << moon.x << ", " << moon.y;
        }
        // The burst: warm, bright particles.
        const QPoint b = OnPanel(*scene.Panel, scene.Burst.x, scene.Burst.y, scene.Burst.z);
        const QRect burst(b - QPoint(25, 25), QSize(50, 50));
        EXPECT_GT(CountPixels(shown, burst,
                              [](QRgb c) { return qRed(c) > 150 && qRed(c) > qBlue(c) + 60; }),
                  40);

        corners << shown.copy(0, 0, 200, 150);
    }
    // Each sky looks different from the one before.
    for (int i = 1; i < corners.size(); ++i)
        EXPECT_GT(LargestCellDifference(corners[i - 1], corners[i], 4), 6.0) << i;
}

// The setup dialog as the X server shows it: what it drew, the word files
// listed, the font sample on its button.
TEST(OnScreen, OrbalonSetupDialogReachesTheScreen) {
    TScopedSettingsDir settings;
    TSaveMeGameSetUpForm setup;
    setup.move(40, 40);
    setup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup));
    Settle(600);

    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull());
    const QImage shown = screen.copy(QRect(setup.mapToGlobal(QPoint(0, 0)), setup.size()));
    const QString out = qEnvironmentVariable("RAVLIN_SHOT_DIR");
    if (!out.isEmpty())
        shown.save(out + QStringLiteral("/orbalon_setup_xwd.png"));
    const QImage drawn = setup.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), drawn.size());
    EXPECT_GT(StatsOf(shown, shown.rect()).LumaDeviation, 10.0);
    EXPECT_LT(LargestCellDifference(shown, drawn, 6), 12.0);
    // The shipped word files are listed and the first is selected on show.
    EXPECT_GE(setup.lvText->count(), 3);
    EXPECT_EQ(setup.lvText->selectedItems().size(), 1);
    const QRect button(setup.FontBtn->mapTo(&setup, QPoint(0, 0)), setup.FontBtn->size());
    EXPECT_GT(CountPixels(shown, button, [](QRgb p) { return qGray(p) < 70; }), 300);
}
