#include "platform/XdgFolders.h"

#include <QDir>
#include <QtGlobal>

QString XdgDataHome() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_DATA_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::homePath() + QStringLiteral("/.local/share");
}
