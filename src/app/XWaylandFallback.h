#pragma once

#include <QString>
#include <QStringList>

class QSurfaceFormat;

// Every 3D view draws with the fixed-function pipeline (display lists,
// selection-mode picking), which needs an OpenGL compatibility-profile
// context. A Wayland session gives one through EGL where the driver offers
// desktop OpenGL; where it does not (OpenGL ES only, a core profile, no EGL
// at all), the program restarts itself on XWayland, whose GLX gives the
// classic context, and says why on standard error.
//
// The order at start-up: the application object is created, then
// TXWaylandFallback::RestartIfNeeded runs before any window or sound device
// exists, so the restart loses nothing.
class TXWaylandFallback {
public:
    // Keeps the command line as it was before QApplication took its own
    // options out of it (the restart passes the same arguments on).
    TXWaylandFallback(int argc, char** argv);

    // Why `actual` (the format a context was created with) cannot draw the
    // program's scenes; empty when it can. OpenGL ES never can; desktop
    // OpenGL can below 3.2 (before profiles existed) or with the
    // compatibility profile.
    static QString FormatProblem(const QSurfaceFormat& actual, bool isOpenGLES);

    // Creates a context with the format the 3D panels ask for on the current
    // platform and reports FormatProblem for it, or that none could be made.
    static QString CompatibilityContextProblem();

    // The line printed when the program restarts on XWayland.
    static QString RestartMessage(const QString& problem);
    // The message shown when the program cannot restart (no X display).
    static QString NoXWaylandMessage(const QString& problem);

    // The arguments for the restart: the original ones without any
    // "-platform <name>" (the restart is always on xcb).
    QStringList RestartArguments() const;

    // On the Wayland platform, checks the context; when it cannot draw the
    // scenes, restarts the process on xcb (does not return) or, without an
    // X display to restart on, shows why and returns false. True when the
    // program can go on as it is.
    bool RestartIfNeeded() const;

    // Set in the environment of the restarted process, so that it never
    // restarts again (a second failure is reported instead).
    static constexpr const char* kRestartedVariable = "RAVLIN_XWAYLAND_RESTART";

private:
    QStringList FArguments;
};
