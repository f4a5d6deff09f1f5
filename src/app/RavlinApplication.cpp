#include "app/RavlinApplication.h"

#include "app/Folders.h"
#include "app/RavlinError.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

TRavlinApplication::TRavlinApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Ravlin"));
    setApplicationDisplayName(QStringLiteral("타비로"));
    setApplicationVersion(QStringLiteral("3.6"));
    // Lets the desktop match the windows with the installed desktop entry
    // (its name and icon in task bars and window lists).
    setDesktopFileName(QLatin1String(kDesktopId));
}

QIcon TRavlinApplication::ProgramIcon(const QString& programFolder) {
    const QIcon themed = QIcon::fromTheme(QLatin1String(kDesktopId));
    if (!themed.isNull())
        return themed;
    QIcon icon;
    for (int size : {16, 32, 64}) {
        const QString file = WithTrailingSeparator(programFolder) +
                             QStringLiteral("Images/ravlin_icon_%1.png").arg(size);
        if (QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

bool TRavlinApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const ERavlinError& error) {
        ShowErrorMessage(activeWindow(), error.Message());
    } catch (const std::exception& error) {
        ShowErrorMessage(activeWindow(), QString::fromLocal8Bit(error.what()));
    }
    return true;
}

void ShowErrorMessage(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, QStringLiteral("타비로"), message);
}
