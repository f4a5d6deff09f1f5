// Writes the application icon: the hicolor theme's PNG sizes and scalable
// SVG named after the application id, and the window icons in the program
// folder.
//
// usage: app_icons <program folder> <icon theme folder> <application id> <size>...

#include "AppIcon.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

namespace {

bool SavePng(const QImage& image, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool SaveFile(const QByteArray& bytes, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: app_icons <program folder> <icon theme folder> <application id> "
                     "<size>...\n");
        return 2;
    }
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    const QString themeFolder = QString::fromLocal8Bit(argv[2]);
    const QString id = QString::fromLocal8Bit(argv[3]);

    bool ok = true;
    for (int i = 4; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "bad icon size %s\n", argv[i]);
            return 2;
        }
        ok &= SavePng(TAppIcon::Render(size),
                      QStringLiteral("%1/%2x%2/apps/%3.png").arg(themeFolder).arg(size).arg(id));
    }
    ok &= SaveFile(TAppIcon::Svg(), QStringLiteral("%1/scalable/apps/%2.svg").arg(themeFolder, id));
    for (int size : {16, 32, 64})
        ok &= SavePng(TAppIcon::Render(size),
                      QStringLiteral("%1/Images/ravlin_icon_%2.png").arg(programFolder).arg(size));
    return ok ? 0 : 1;
}
