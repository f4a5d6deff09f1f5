#include "app/RavlinApplication.h"

#include "app/RavlinError.h"

#include <QMessageBox>
#include <QWidget>

TRavlinApplication::TRavlinApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Ravlin"));
    setApplicationDisplayName(QStringLiteral("타비로"));
    setApplicationVersion(QStringLiteral("3.6"));
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
