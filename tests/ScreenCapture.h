#pragma once

// The whole screen as the X server shows it (windows of other test
// programs on the same display included), for checks of what a learner
// really sees: composited windows, GL panels, dialogs over other windows.

#include <QImage>
#include <QProcess>
#include <QString>

// A null image when the capture tool fails.
inline QImage CaptureXScreen() {
    QProcess import;
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    if (!import.waitForFinished(20000) || import.exitCode() != 0)
        return {};
    return QImage::fromData(import.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}
