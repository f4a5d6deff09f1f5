// The Orbalon game's generated model and pictures, read back the way the game
// reads them: the objects and materials it asks for by name, spheres facing
// outwards under the panel's counter-clockwise front faces, textures that
// exist, the cloud map keyed for the see-through hook, the icon sheets of
// 2 x 2 frames.

#include "app/MediaPath.h"
#include "gl/BitmapRoutines.h"
#include "gl/ObjLoader.h"
#include "ImageTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SaveMeGameMedia : public testing::Test {
protected:
    void SetUp() override {
        const QString path = MediaPath(QStringLiteral("models\\SaveMeGame.obj"));
        const QByteArray data = ReadAll(path);
        ASSERT_FALSE(data.isEmpty()) << path.toStdString();
        FLoader.ParseObjData(data, QFileInfo(path).absolutePath() + QLatin1Char('/'));
    }

    const T3DModel* Model(const char* name) const {
        return FLoader.FindNamedModel(QString::fromLatin1(name));
    }

    // The largest distance of a part's vertices from its centre, and whether
    // every triangle turns its front (counter-clockwise) away from the centre.
    static void SphereShape(const T3DModel& m, double& radius, bool& outward) {
        radius = 0;
        outward = true;
        const TGLArrayf3 c{m.CenterX(), m.CenterY(), m.CenterZ()};
        const int n = m.VertexList.Count();
        for (int i = 0; i + 2 < n; i += 3) {
            const TGLArrayf3 a = m.VertexList.Item(i), b = m.VertexList.Item(i + 1),
                             d = m.VertexList.Item(i + 2);
            for (const TGLArrayf3& p : {a, b, d})
                radius = std::max(radius, double(std::hypot(p.x - c.x, p.y - c.y, p.z - c.z)));
            const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
            const double vx = d.x - a.x, vy = d.y - a.y, vz = d.z - a.z;
            const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
            const double area = std::sqrt(nx * nx + ny * ny + nz * nz);
            if (area < 1e-6)
                continue; // the slivers at the poles
            const double mx = (a.x + b.x + d.x) / 3 - c.x, my = (a.y + b.y + d.y) / 3 - c.y,
                         mz = (a.z + b.z + d.z) / 3 - c.z;
            if (nx * mx + ny * my + nz * mz <= 0)
                outward = false;
        }
    }

    TObjLoader FLoader;
};

} // namespace

TEST_F(SaveMeGameMedia, TheGameFindsEveryObjectWithItsMaterialAndTexture) {
    struct TExpected {
        const char* Object;
        const char* Material; // nullptr: any
        bool Textured;
    };
    const TExpected expected[] = {
        {"BackPlane", "back_mat", true},    {"LandSphere", nullptr, true},
        {"CloudSphere", "Cloud_Mat", true}, {"PlanetSphere", nullptr, true},
        {"Explosion_red", nullptr, false},  {"Explosion_orange", nullptr, false},
    };
    for (const TExpected& e : expected) {
        SCOPED_TRACE(e.Object);
        const T3DModel* model = Model(e.Object);
        ASSERT_NE(model, nullptr);
        EXPECT_GT(model->VertexList.Count(), 0);
        EXPECT_EQ(model->NormalList.Count(), model->VertexList.Count());
        if (e.Material) {
            EXPECT_EQ(model->MaterialName, QString::fromLatin1(e.Material));
        }
        const TMaterialItem* material = FLoader.FindMaterial(model->MaterialName);
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(material->HasTexture(), e.Textured);
        if (e.Textured) {
            EXPECT_TRUE(QFileInfo(material->map_kd).isFile()) << material->map_kd.toStdString();
            EXPECT_EQ(model->TextureList.Count(), model->VertexList.Count());
        }
    }
    // The particles are coloured by the game: plain, partly see-through.
    EXPECT_GT(FLoader.FindMaterial(Model("Explosion_red")->MaterialName)->Tr, 0.0f);
}

TEST_F(SaveMeGameMedia, SpheresAreCentredFaceOutwardsAndHaveTheirSizes) {
    struct TSphere {
        const char* Object;
        double Radius;
    };
    for (const TSphere& s :
         {TSphere{"LandSphere", 50}, TSphere{"CloudSphere", 51.5}, TSphere{"PlanetSphere", 6},
          TSphere{"Explosion_red", 1.2}, TSphere{"Explosion_orange", 1.2}}) {
        SCOPED_TRACE(s.Object);
        const T3DModel* model = Model(s.Object);
        ASSERT_NE(model, nullptr);
        EXPECT_NEAR(model->CenterX(), 0, 1e-3);
        EXPECT_NEAR(model->CenterY(), 0, 1e-3);
        EXPECT_NEAR(model->CenterZ(), 0, 1e-3);
        double radius = 0;
        bool outward = false;
        SphereShape(*model, radius, outward);
        EXPECT_NEAR(radius, s.Radius, s.Radius * 0.01);
        EXPECT_TRUE(outward) << "a front face looks inwards: the sphere shows its inside";
    }
    // The clouds lie just above the land.
    EXPECT_GT(Model("CloudSphere")->Width(), Model("LandSphere")->Width());
    // Moons meet at a distance of 12: they must not overlap before that.
    EXPECT_LE(Model("PlanetSphere")->Width(), 12.0f);
}

TEST_F(SaveMeGameMedia, BackPlaneIsASquareBehindEverythingFacingTheViewer) {
    const T3DModel* plane = Model("BackPlane");
    ASSERT_NE(plane, nullptr);
    EXPECT_FLOAT_EQ(plane->MaxPos.x, 100);
    EXPECT_FLOAT_EQ(plane->MinPos.x, -100);
    EXPECT_FLOAT_EQ(plane->Width(), plane->Height());
    EXPECT_FLOAT_EQ(plane->Depth(), 0);
    // Behind the Earth and every burst round it.
    EXPECT_LT(plane->MaxPos.z, -50 * 0.6f - 36);
    ASSERT_GE(plane->VertexList.Count(), 3);
    const TGLArrayf3 a = plane->VertexList.Item(0), b = plane->VertexList.Item(1),
                     c = plane->VertexList.Item(2);
    const double nz = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_GT(nz, 0) << "the plane turns its back to the viewer and is culled";
}

TEST(SaveMeGamePictures, CloudMapIsMostlyKeyColourAroundWhiteClouds) {
    QImage clouds(MediaPath(QStringLiteral("models\\maps\\SaveMeGame_Clouds.png")));
    ASSERT_FALSE(clouds.isNull());
    clouds = clouds.convertToFormat(QImage::Format_ARGB32);
    const int total = clouds.width() * clouds.height();
    const int key = CountPixels(clouds, [](QRgb p) {
        return std::abs(qRed(p) - 1) < 8 && std::abs(qGreen(p) - 146) < 8 &&
               std::abs(qBlue(p) - 201) < 8;
    });
    const int white = CountPixels(clouds, [](QRgb p) { return qGray(p) > 190; });
    EXPECT_GT(key, total / 2);
    EXPECT_GT(white, total / 8);
    EXPECT_LT(white, total / 2);
    // Through the game's hook the key becomes 70 % and the clouds 5 %
    // see-through.
    SetAlphaChannel(clouds, true, RGBColor(1, 146, 201), false, 0.4f, 0.7f, 0.05f);
    const int clear =
        CountPixels(clouds, [](QRgb p) { return qAlpha(p) >= 70 && qAlpha(p) <= 80; });
    const int solid =
        CountPixels(clouds, [](QRgb p) { return qAlpha(p) >= 238 && qAlpha(p) <= 246; });
    EXPECT_GT(clear, total / 2);
    EXPECT_GT(solid, total / 10);
}

TEST(SaveMeGamePictures, IconSheetsHoldFourDistinctFramesOnClearGround) {
    for (const char* name : {"Images\\Stop.png", "Images\\EarthLife.png"}) {
        SCOPED_TRACE(name);
        QImage sheet(MediaPath(QString::fromLatin1(name)));
        ASSERT_FALSE(sheet.isNull());
        ASSERT_TRUE(sheet.hasAlphaChannel());
        sheet = sheet.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(sheet.width() % 2, 0);
        ASSERT_EQ(sheet.height() % 2, 0);
        const int fw = sheet.width() / 2, fh = sheet.height() / 2;
        QList<QImage> frames;
        for (int i = 0; i < 4; ++i) {
            const QImage frame = sheet.copy((i % 2) * fw, (i / 2) * fh, fw, fh);
            // A drawn figure in the middle, nothing in the corners.
            EXPECT_GT(CountPixels(frame, [](QRgb p) { return qAlpha(p) > 200; }), fw * fh / 5);
            EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 0);
            EXPECT_EQ(qAlpha(frame.pixel(fw - 1, fh - 1)), 0);
            frames << frame;
        }
        // The frames animate: neighbours differ.
        for (int i = 0; i < 4; ++i)
            EXPECT_NE(frames[i], frames[(i + 1) % 4]);
    }
}

TEST(SaveMeGamePictures, SixBackgroundsAreDistinctSkiesAndTheButtonsAreBitmaps) {
    QList<QImage> skies;
    for (const char* name : {"galaxy1.png", "galaxy2.png", "galaxy3.png", "galaxy4.png",
                             "galaxy5.png", "moon_collision2.png"}) {
        SCOPED_TRACE(name);
        const QImage sky(MediaPath(QStringLiteral("models\\maps\\") + QString::fromLatin1(name)));
        ASSERT_FALSE(sky.isNull());
        EXPECT_EQ(sky.width(), sky.height()) << "the turning plane is square";
        // A night sky: mostly dark, with stars.
        const QImage small = sky.scaled(128, 128, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_GT(CountPixels(small, [](QRgb p) { return qGray(p) < 90; }), 128 * 128 / 4);
        EXPECT_GT(CountPixels(sky, [](QRgb p) { return qGray(p) > 200; }), 200);
        skies << small.convertToFormat(QImage::Format_RGB32);
    }
    for (int i = 0; i < skies.size(); ++i)
        for (int j = i + 1; j < skies.size(); ++j) {
            double sum = 0;
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 128; ++x) {
                    const QRgb a = skies[i].pixel(x, y), b = skies[j].pixel(x, y);
                    sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                           std::abs(qBlue(a) - qBlue(b));
                }
            EXPECT_GT(sum / (128 * 128 * 3), 8.0) << i << " and " << j << " look alike";
        }
    for (const char* name :
         {"images\\glossy_button_green.bmp", "images\\glossy_button_lightblue.bmp"}) {
        const QString path = MediaPath(QString::fromLatin1(name));
        EXPECT_TRUE(ReadAll(path).startsWith("BM")) << name;
        EXPECT_FALSE(QImage(path).isNull()) << name;
    }
    EXPECT_FALSE(QImage(MediaPath(QStringLiteral("models\\maps\\moon_collision.png"))).isNull());
    EXPECT_FALSE(QImage(MediaPath(QStringLiteral("Images\\SaveMeGame_top.png"))).isNull());
}
