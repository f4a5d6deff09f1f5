// Writes the libhangul keyboard definitions of the Sebeolsik layouts that
// libhangul does not know into the program folder given as the argument.

#include "platform/HangulKeyboardXml.h"

#include <cstdio>
#include <exception>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: hangul_keyboards <program folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    try {
        for (int layout : THangulKeyboardXml::GeneratedLayouts()) {
            const QString path = folder.filePath(THangulKeyboardXml::FileName(layout));
            QDir().mkpath(QFileInfo(path).absolutePath());
            QSaveFile file(path);
            const QByteArray xml =
                THangulKeyboardXml::Build(layout, THangulKeyboardXml::KeyboardId(layout));
            if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() ||
                !file.commit()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
