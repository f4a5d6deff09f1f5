#include "app/MediaPath.h"

#include "app/Folders.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Finds the entry of `folder` whose name equals `component` without regard to
// case. Returns an empty string when there is none.
QString FindEntryIgnoringCase(const QString& folder, const QString& component) {
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString ResolveBelow(const QString& root, const QString& relative) {
    const bool wantsFolder = relative.endsWith(QLatin1Char('/'));
    const QStringList components = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString path = root; // always ends in '/'
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components[i];
        QString next = path + component;
        if (!QFileInfo::exists(next)) {
            const QString match = FindEntryIgnoringCase(path, component);
            if (match.isEmpty()) {
                // No such entry: keep the rest as spelled.
                path += components.mid(i).join(QLatin1Char('/'));
                return wantsFolder ? path + QLatin1Char('/') : path;
            }
            next = path + match;
        }
        path = next;
        if (i + 1 < components.size() || wantsFolder)
            path += QLatin1Char('/');
    }
    return path;
}

} // namespace

QString MediaPath(const QString& name) {
    if (QDir::isAbsolutePath(name) && QFileInfo::exists(name))
        return name;

    QString normalized = name;
    normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));

    if (QDir::isAbsolutePath(normalized)) {
        if (!normalized.startsWith(AppDir()))
            return normalized;
        return ResolveBelow(AppDir(), normalized.mid(AppDir().size()));
    }
    return ResolveBelow(AppDir(), normalized);
}

QString PathIgnoringCase(const QString& folder, const QString& name) {
    QString normalized = name;
    normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return ResolveBelow(WithTrailingSeparator(folder), normalized);
}
