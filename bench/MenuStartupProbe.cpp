// Starts the program the way main() does (application, sound list, GL probe,
// settings folder, main menu with its update check) and reports when the
// menu's first frame has been presented, then quits. bench_menu_startup
// runs it as a child process and times it from the start of the process.
//
// With --screenshot FILE it instead drives the menu's animation and saves
// one frame of the scene:
//   --ticks N      animation ticks (200 ms each) to run first
//   --clear        fair weather once the weather turns (after 99 ticks)
//   --hover X,Y    pointer at this fraction of the window (hint and sound)
//   --size WxH     window size

#include "app/Folders.h"
#include "app/RavlinApplication.h"
#include "gl/GLARBFunctions.h"
#include "gl/GLPanel.h"
#include "gl/ThreadTimer.h"
#include "platform/FontSubstitutions.h"
#include "platform/XdgFolders.h"
#include "shell/GameSoundList.h"
#include "shell/MenuForm.h"

#include <cstdio>
#include <memory>
#include <QCursor>
#include <QTest>
#include <QTimer>

int main(int argc, char** argv) {
    TRavlinApplication app(argc, argv);
    InstallFontSubstitutions();
    const QString appDir = QStringLiteral(RAVLIN_BENCH_APP_DIR);
    auto sounds = std::make_unique<TGameSoundList>(appDir);
    GameSounds = sounds.get();
    if (!Load_GLARB_Functions())
        return 1;
    if (!InitSettingsDir(XdgDataHome()))
        return 1;
    SetAppDir(appDir);

    QString screenshot;
    int ticks = 0;
    bool clear = false;
    QPointF hover(-1, -1);
    QSize size(1467, 897);
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size())
            screenshot = args[++i];
        else if (args[i] == QLatin1String("--ticks") && i + 1 < args.size())
            ticks = args[++i].toInt();
        else if (args[i] == QLatin1String("--clear"))
            clear = true;
        else if (args[i] == QLatin1String("--hover") && i + 1 < args.size()) {
            const QStringList xy = args[++i].split(QLatin1Char(','));
            hover = QPointF(xy.value(0).toDouble(), xy.value(1).toDouble());
        } else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        }
    }

    TMenuServices services;
    // Nothing listens there: the update check fails at once, without a name
    // lookup leaving the machine.
    services.UpdatePageUrl = QStringLiteral("http://127.0.0.1:1/update.html");
    if (clear)
        services.Random = [](int n) { return n > 1 ? 1 : 0; };
    int result = 0;
    {
        TMenuForm menu(services);
        menu.resize(size);
        bool first = true;
        QObject::connect(menu.MenuPanel, &QOpenGLWidget::frameSwapped, &menu, [&] {
            if (!first)
                return;
            first = false;
            std::printf("FIRST_FRAME\n");
            std::fflush(stdout);
            if (screenshot.isEmpty())
                QTimer::singleShot(0, &app, &QCoreApplication::quit);
        });
        menu.show();
        if (!screenshot.isEmpty()) {
            menu.activateWindow();
            if (!QTest::qWaitForWindowActive(&menu))
                std::fprintf(stderr, "menu did not become active\n");
            menu.AniTimer->SetEnabled(false);
            if (hover.x() >= 0)
                QCursor::setPos(menu.MenuPanel->mapToGlobal(
                    QPoint(int(hover.x() * menu.width()), int(hover.y() * menu.height()))));
            QTest::qWait(50);
            for (int i = 0; i < ticks; ++i)
                menu.AniTimerTimer(menu.AniTimer);
            menu.MenuPanel->DrawScene();
            if (!menu.MenuPanel->grabFramebuffer().save(screenshot))
                result = 1;
        } else {
            result = app.exec();
        }
    }
    GameSounds = nullptr;
    return result;
}
