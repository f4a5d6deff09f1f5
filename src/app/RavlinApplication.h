#pragma once

#include <QApplication>

class QWidget;

// The application object. Its event dispatch is the last stop for an
// ERavlinError (or any other exception) that escapes an event handler: the
// message is shown in a message box and the program goes on, with the window
// that raised it left as it was.
class TRavlinApplication : public QApplication {
    Q_OBJECT
public:
    TRavlinApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error message the way the program shows all errors: a modal box
// with a stop icon and an OK button.
void ShowErrorMessage(QWidget* parent, const QString& message);
