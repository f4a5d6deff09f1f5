// Ravlin (타비로): a typing tutor for Korean, English and Japanese keyboards.

#include "app/Folders.h"
#include "app/RavlinApplication.h"
#include "gl/GLARBFunctions.h"
#include "platform/FontSubstitutions.h"
#include "platform/XdgFolders.h"
#include "shell/GameSoundList.h"
#include "shell/MenuForm.h"

#include <cstdio>
#include <memory>
#include <QMessageBox>

int main(int argc, char** argv) {
    // Library and runtime initialisation.
    TRavlinApplication app(argc, argv);
    InstallFontSubstitutions();

    // The sound list comes first, before any window: it opens the sound
    // device and loads the effects from the program folder. Without a device
    // the program simply stays silent.
    auto sounds = std::make_unique<TGameSoundList>(QCoreApplication::applicationDirPath());
    GameSounds = sounds.get();

    // Multisample support and the GL entry points the 3D panels rely on.
    if (!Load_GLARB_Functions()) {
        GameSounds = nullptr;
        return 1;
    }

    // The per-user settings folder must exist before any window can save.
    if (!InitSettingsDir(XdgDataHome())) {
        const QString message =
            QStringLiteral("설정 폴더를 만들 수 없습니다.\n%1").arg(SettingsDir());
        std::fprintf(stderr, "%s\n", qPrintable(message));
        QMessageBox::critical(nullptr, QStringLiteral("타비로"), message);
        GameSounds = nullptr;
        return 1;
    }
    SetAppDir(QCoreApplication::applicationDirPath());

    // The main menu is the only window created at start; every other window
    // is opened from it on demand.
    int result = 0;
    {
        TMenuForm menu;
        menu.show();
        result = app.exec();
    }

    // Closing the sound library is the last step, after every window is gone.
    GameSounds = nullptr;
    sounds.reset();
    return result;
}
