#include "app/Folders.h"

#include <QDir>

namespace {
// Process-wide folder strings, written only during start-up.
QString gAppDir;
QString gSettingsDir;
} // namespace

const QString& AppDir() {
    return gAppDir;
}

const QString& SettingsDir() {
    return gSettingsDir;
}

QString WithTrailingSeparator(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

void SetAppDir(const QString& folder) {
    gAppDir = WithTrailingSeparator(folder);
}

bool InitSettingsDir(const QString& dataHome) {
    gSettingsDir = WithTrailingSeparator(dataHome) + QStringLiteral("Ravlin/");
    return QDir().mkpath(gSettingsDir);
}
