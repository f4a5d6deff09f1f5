#pragma once

#include "app/Folders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// The whole content of a file; empty when it cannot be read.
inline QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a file whole, creating its folder when missing. False on failure.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Points SettingsDir at a fresh, empty folder for the lifetime of the object
// and back at the previous one afterwards, so each test starts from a fresh
// user profile.
class TScopedSettingsDir {
public:
    TScopedSettingsDir()
        : FPrevious(SettingsDir()) {
        InitSettingsDir(FDataHome.path());
    }
    ~TScopedSettingsDir() {
        // Restore the data home the previous folder was made from.
        QString previousHome = FPrevious;
        previousHome.chop(int(QStringLiteral("Ravlin/").size()));
        InitSettingsDir(previousHome);
    }
    TScopedSettingsDir(const TScopedSettingsDir&) = delete;
    TScopedSettingsDir& operator=(const TScopedSettingsDir&) = delete;

    QString DataHome() const { return FDataHome.path(); }

private:
    QString FPrevious;
    QTemporaryDir FDataHome;
};

// Points AppDir at another folder for the lifetime of the object.
class TScopedAppDir {
public:
    explicit TScopedAppDir(const QString& folder)
        : FPrevious(AppDir()) {
        SetAppDir(folder);
    }
    ~TScopedAppDir() { SetAppDir(FPrevious); }
    TScopedAppDir(const TScopedAppDir&) = delete;
    TScopedAppDir& operator=(const TScopedAppDir&) = delete;

private:
    QString FPrevious;
};
