// Writes the Orbalon game's model "Models/SaveMeGame.obj" with its material
// library, the Earth, cloud and moon maps, the six backgrounds and the story
// picture into "Models/maps/", and the window's icons, label buttons and top
// strip into "Images/".
//
// Usage: orbalon_media <AppDir>

#include "EarthPictures.h"
#include "GamePictures.h"
#include "OrbalonModel.h"
#include "SpacePictures.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

namespace {

bool WriteText(const QString& path, const std::string& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.data(), qint64(text.size())) == qint64(text.size());
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orbalon_media <AppDir>\n");
        return 2;
    }
    const QDir appDir(QString::fromLocal8Bit(argv[1]));
    const QString models = appDir.filePath(QStringLiteral("Models"));
    const QString maps = QDir(models).filePath(QStringLiteral("maps"));
    const QString images = appDir.filePath(QStringLiteral("Images"));
    if (!QDir().mkpath(maps) || !QDir().mkpath(images)) {
        std::fprintf(stderr, "orbalon_media: cannot create the media folders\n");
        return 1;
    }

    bool ok = WriteText(QDir(models).filePath(QStringLiteral("SaveMeGame.obj")),
                        WriteObj(BuildGameModel(), "SaveMeGame.mtl",
                                 "Ravlin Orbalon game: background, Earth, clouds, moon, particles.",
                                 false));
    ok = WriteText(QDir(models).filePath(QStringLiteral("SaveMeGame.mtl")), GameMaterials()) && ok;

    const QImage land = EarthLandPicture(2048, 1024);
    const QImage clouds = EarthCloudsPicture(1024, 512);
    const QImage moon = MoonSurfacePicture(1024, 512);
    const QImage globe = GlobePicture(land, clouds, 52, 15);

    struct TPicture {
        QString path;
        QImage image;
        bool alpha;
        const char* format;
    };
    const TPicture pictures[] = {
        {QDir(maps).filePath("SaveMeGame_Land.png"), land, false, "PNG"},
        {QDir(maps).filePath("SaveMeGame_Clouds.png"), clouds, false, "PNG"},
        {QDir(maps).filePath("SaveMeGame_Moon.png"), moon, false, "PNG"},
        {QDir(maps).filePath("galaxy1.png"), GalaxyPicture(1, 1024), false, "PNG"},
        {QDir(maps).filePath("galaxy2.png"), GalaxyPicture(2, 1024), false, "PNG"},
        {QDir(maps).filePath("galaxy3.png"), GalaxyPicture(3, 1024), false, "PNG"},
        {QDir(maps).filePath("galaxy4.png"), GalaxyPicture(4, 1024), false, "PNG"},
        {QDir(maps).filePath("galaxy5.png"), GalaxyPicture(5, 1024), false, "PNG"},
        {QDir(maps).filePath("moon_collision.png"), StoryPicture(land, clouds, moon), false, "PNG"},
        {QDir(maps).filePath("moon_collision2.png"), SolarStormPicture(1024), false, "PNG"},
        {QDir(images).filePath("Stop.png"), StopSheet(64), true, "PNG"},
        {QDir(images).filePath("EarthLife.png"), EarthLifeSheet(globe, 64), true, "PNG"},
        {QDir(images).filePath("glossy_button_green.bmp"), GlossyButtonPicture(QColor(60, 190, 70)),
         false, "BMP"},
        {QDir(images).filePath("glossy_button_lightblue.bmp"),
         GlossyButtonPicture(QColor(90, 170, 240)), false, "BMP"},
        {QDir(images).filePath("SaveMeGame_top.png"), TopPanelPicture(), false, "PNG"},
    };
    for (const TPicture& picture : pictures) {
        const QImage stored = picture.image.convertToFormat(picture.alpha ? QImage::Format_ARGB32
                                                                          : QImage::Format_RGB32);
        const QImage written = qstrcmp(picture.format, "BMP") == 0
                                   ? stored.convertToFormat(QImage::Format_RGB888)
                                   : stored;
        if (!written.save(picture.path, picture.format)) {
            std::fprintf(stderr, "orbalon_media: cannot write %s\n", qPrintable(picture.path));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
