#pragma once

#include <QApplication>
#include <QIcon>

class QWidget;

// The application object. Its event dispatch is the last stop for an
// ERavlinError (or any other exception) that escapes an event handler: the
// message is shown in a message box and the program goes on, with the window
// that raised it left as it was.
class TRavlinApplication : public QApplication {
    Q_OBJECT
public:
    // The desktop's name for the program: its desktop entry is
    // kDesktopId + ".desktop" and its icon in the icon theme is kDesktopId.
    static constexpr const char* kDesktopId = "io.github.ravlin.Ravlin";

    TRavlinApplication(int& argc, char** argv);

    // The window icon: the icon theme's (an installed program, possibly
    // restyled by the user's theme), else the pictures in the program folder
    // (a build tree or an unpacked copy that the theme does not know).
    static QIcon ProgramIcon(const QString& programFolder);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error message the way the program shows all errors: a modal box
// with a stop icon and an OK button.
void ShowErrorMessage(QWidget* parent, const QString& message);
