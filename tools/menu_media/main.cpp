// Writes the main menu's model "Models/RvMenu.obj", its material library
// and every picture its materials use into "Models/maps/".
//
// Usage: menu_media <AppDir>

#include "MenuModel.h"
#include "MenuTextures.h"

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

// Opaque pictures are stored without alpha; the others keep theirs.
bool WritePicture(const QString& path, const QImage& image, bool alpha) {
    const QImage stored =
        image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return stored.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    // Text is painted into some pictures, which needs the GUI font system.
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: menu_media <AppDir>\n");
        return 2;
    }
    const QDir appDir(QString::fromLocal8Bit(argv[1]));
    const QString models = appDir.filePath(QStringLiteral("Models"));
    const QString maps = QDir(models).filePath(QStringLiteral("maps"));
    if (!QDir().mkpath(maps)) {
        std::fprintf(stderr, "menu_media: cannot create %s\n", qPrintable(maps));
        return 1;
    }

    bool ok = WriteText(QDir(models).filePath(QStringLiteral("RvMenu.obj")),
                        WriteObj(BuildMenuModel(), "RvMenu.mtl"));
    ok = WriteText(QDir(models).filePath(QStringLiteral("RvMenu.mtl")), MenuMaterials()) && ok;

    struct TPicture {
        const char* name;
        QImage image;
        bool alpha;
    };
    const TPicture pictures[] = {
        {"KeyboardBtn1.png", KeyboardPicture(0), false},
        {"KeyboardBtn2.png", KeyboardPicture(1), false},
        {"KeyboardBtn3.png", KeyboardPicture(2), false},
        {"SentenceBtn1.png", SentencePicture(0), false},
        {"SentenceBtn2.png", SentencePicture(1), false},
        {"ClockGameBtn1.png", ClockPicture(0), false},
        {"ClockGameBtn2.png", ClockPicture(1), false},
        {"Earth_Land.png", EarthLandPicture(), false},
        {"Earth_Clouds.png", EarthCloudsPicture(), false},
        {"AboutSign.png", AboutSignPicture(), false},
        {"HelpSign.png", HelpSignPicture(), false},
        {"click_image.png", BannerPicture(), true},
        {"dark_cloud.png", DarkCloudPicture(), false},
        {"rain1.png", RainPicture(0), true},
        {"rain2.png", RainPicture(1), true},
        {"ThunderImage.png", ThunderPicture(), true},
    };
    for (const TPicture& picture : pictures) {
        const QString path = QDir(maps).filePath(QString::fromLatin1(picture.name));
        if (!WritePicture(path, picture.image, picture.alpha)) {
            std::fprintf(stderr, "menu_media: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
