// Writes the keyboard practice model "Models/Ravlin_Key_Layout_English.obj"
// with its material library, the key-cap pictures "[key] *.png" and the
// case picture in "Models/maps/", and the explosion sheet
// "Images/explosion.png". The cloud skies and the lightning bolt are the
// menu's pictures, shared through the same folder.
//
// Usage: keyboard_media <AppDir>

#include "KeyboardModel.h"
#include "KeyboardTextures.h"

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

bool WritePicture(const QString& path, const QImage& image, bool alpha) {
    const QImage stored =
        image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (stored.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "keyboard_media: cannot write %s\n", qPrintable(path));
    return false;
}

// The shared writer heads its file for the menu; this model says what it is.
std::string ModelText() {
    std::string text = WriteObj(BuildKeyboardModel(), "Ravlin_Key_Layout_English.mtl");
    const std::string::size_type end = text.find("mtllib");
    return "# Ravlin keyboard practice: 53 drilled keys, the bottom row and the case,\n"
           "# eight fingers, the problem shell, the sky and the lightning bolt.\n"
           "# Front faces are wound clockwise, as the scene draws them.\n" +
           text.substr(end == std::string::npos ? 0 : end);
}

} // namespace

int main(int argc, char** argv) {
    // Lettering is painted into the case picture, which needs the font system.
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: keyboard_media <AppDir>\n");
        return 2;
    }
    const QDir appDir(QString::fromLocal8Bit(argv[1]));
    const QString models = appDir.filePath(QStringLiteral("Models"));
    const QString maps = QDir(models).filePath(QStringLiteral("maps"));
    const QString images = appDir.filePath(QStringLiteral("Images"));
    if (!QDir().mkpath(maps) || !QDir().mkpath(images)) {
        std::fprintf(stderr, "keyboard_media: cannot create the media folders\n");
        return 1;
    }

    const std::vector<TKeyCapPicture> keyCaps = KeyCapPictures();
    bool ok = WriteText(QDir(models).filePath(QStringLiteral("Ravlin_Key_Layout_English.obj")),
                        ModelText());
    ok = WriteText(QDir(models).filePath(QStringLiteral("Ravlin_Key_Layout_English.mtl")),
                   KeyboardMaterials(keyCaps.front().FileName.toStdString())) &&
         ok;
    for (const TKeyCapPicture& picture : keyCaps)
        ok = WritePicture(QDir(maps).filePath(picture.FileName), picture.Image, false) && ok;
    ok = WritePicture(QDir(maps).filePath(QStringLiteral("keyboard_case.png")), CasePicture(),
                      false) &&
         ok;
    ok = WritePicture(QDir(images).filePath(QStringLiteral("explosion.png")), ExplosionSheet(),
                      true) &&
         ok;
    if (!ok)
        std::fprintf(stderr, "keyboard_media: some files could not be written\n");
    return ok ? 0 : 1;
}
