#pragma once

// What the file-reading fuzz targets share: a Qt application object (image
// plug-ins, code page conversions and the settings folder need one) and a
// scratch folder where each input is written as the file the reader opens.

#include <cstddef>
#include <cstdint>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>

namespace fuzz {

// Created on the first call and kept for the life of the process: libFuzzer
// never returns from its loop, and nothing of the inputs outlives a run.
inline QTemporaryDir& ScratchDir() {
    static QTemporaryDir dir;
    return dir;
}

inline void StartApplication() {
    static int argc = 1;
    static char name[] = "ravlin-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", ScratchDir().filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", ScratchDir().filePath(QStringLiteral("data")).toUtf8());
    static QGuiApplication app(argc, argv);
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Writes `bytes` as `fileName` in the scratch folder; returns its path.
inline QString WriteInput(const QString& fileName, const QByteArray& bytes) {
    const QString path = ScratchDir().filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        abort();
    return path;
}

} // namespace fuzz
