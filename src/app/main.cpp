// Ravlin (타비로): a typing tutor for Korean, English and Japanese keyboards.

#include "app/Folders.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/XWaylandFallback.h"
#include "gl/GLARBFunctions.h"
#include "platform/FontSubstitutions.h"
#include "platform/HangulKeyboardList.h"
#include "platform/XdgFolders.h"
#include "shell/GameSoundList.h"
#include "shell/MenuForm.h"

#include <cstdio>
#include <memory>
#include <QMessageBox>

namespace {

// Owns the process-wide sound list: GameSounds points at it from start-up
// until the process ends, and is cleared before the list closes the library.
class TGameSoundsScope {
public:
    explicit TGameSoundsScope(const QString& programFolder)
        : FList(std::make_unique<TGameSoundList>(programFolder)) {
        GameSounds = FList.get();
    }
    ~TGameSoundsScope() { GameSounds = nullptr; }
    TGameSoundsScope(const TGameSoundsScope&) = delete;
    TGameSoundsScope& operator=(const TGameSoundsScope&) = delete;

private:
    std::unique_ptr<TGameSoundList> FList;
};

// Closes every window still open (practice or game windows free themselves
// when closed) and lets them go, so that nothing holds the sound device when
// the sound list closes it.
void CloseRemainingWindows() {
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char** argv) {
    // Library and runtime initialisation. On Wayland the 3D views need a
    // compatibility-profile context; without one the program restarts on
    // XWayland before anything else is set up.
    const TXWaylandFallback fallback(argc, argv);
    TRavlinApplication app(argc, argv);
    if (!fallback.RestartIfNeeded())
        return 1;
    InstallFontSubstitutions();

    // The sound list comes first, before any window: it opens the sound
    // device and loads the effects from the program folder. Without a device
    // the program simply stays silent.
    TGameSoundsScope sounds(QCoreApplication::applicationDirPath());

    // Multisample support and the GL entry points the 3D panels rely on.
    if (!Load_GLARB_Functions())
        return 1;

    // The per-user settings folder must exist before any window can save.
    if (!InitSettingsDir(XdgDataHome())) {
        const QString message =
            QStringLiteral("설정 폴더를 만들 수 없습니다.\n%1").arg(SettingsDir());
        std::fprintf(stderr, "%s\n", qPrintable(message));
        QMessageBox::critical(nullptr, QStringLiteral("타비로"), message);
        return 1;
    }
    SetAppDir(QCoreApplication::applicationDirPath());
    QApplication::setWindowIcon(TRavlinApplication::ProgramIcon(AppDir()));
    // The Hangul keyboards generated from the layout tables (3-2011, 3-2012)
    // join libhangul's own before any composer selects one.
    THangulKeyboardList::RegisterGenerated(AppDir());

    // The main menu is the only window created at start; every other window
    // is opened from it on demand. A menu that cannot be built (a damaged
    // model or picture) is reported instead of ending the process silently.
    int result = 0;
    try {
        TMenuForm menu;
        menu.show();
        result = app.exec();
    } catch (const ERavlinError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
        ShowErrorMessage(nullptr, error.Message());
        result = 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        ShowErrorMessage(nullptr, QString::fromLocal8Bit(error.what()));
        result = 1;
    }

    // Closing the sound library is the last step, after every window is gone.
    CloseRemainingWindows();
    return result;
}
