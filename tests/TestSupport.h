#pragma once

#include "app/Folders.h"

#include <QString>
#include <QTemporaryDir>

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
