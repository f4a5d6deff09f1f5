// Checks of what the X server shows. Frames read back from a program's own
// frame buffer can be right while the window on screen stays black; these
// tests capture the screen the way a screenshot tool does and compare it
// with what the windows drew.

#include "app/Folders.h"
#include "gl/GLPanel.h"
#include "ScreenCapture.h"
#include "shell/AboutForm.h"
#include "shell/MenuForm.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A menu with nothing leaving the process: the update page is asked of a
// closed local port, and no lightning (a flash between capture and
// comparison would make the two frames differ for a good reason).
std::unique_ptr<TMenuForm> CreateQuietMenu(const QTemporaryDir& dir) {
    TMenuServices services;
    services.UpdatePageUrl = QStringLiteral("http://127.0.0.1:9/update.html");
    services.BannerFileName = dir.filePath(QStringLiteral("click_image.png"));
    services.AskYesNo = [](QWidget*, const QString&, const QString&) { return false; };
    services.OpenUrl = [](const QUrl&) {};
    services.ExecDialog = [](QDialog&) {};
    services.ShowHelpTopic = [](QWidget*, const QString&) {};
    services.PlaySound = [](TMenuSound) {};
    services.Random = [](int n) { return n > 1 ? 1 : 0; };
    return std::make_unique<TMenuForm>(services);
}

// Lets the window system map, paint and compose for a while.
void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(20);
}

QRect ScreenRectOf(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

// A drawn scene: varied, not black, not one flat colour.
void ExpectDrawnScene(const QImage& shown) {
    const TRegionStats stats = StatsOf(shown, shown.rect());
    EXPECT_GT(stats.LumaDeviation, 10.0) << "the window shows one flat colour";
    EXPECT_LT(stats.BlackShare, 0.05) << "the window is black on screen";
}

} // namespace

TEST(OnScreen, XwdDecodingReadsChannelsByTheirMasks) {
    // A 2 x 1 ZPixmap, 32 bits per pixel, least significant byte first.
    QByteArray bytes;
    auto word = [&bytes](quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(char((v >> shift) & 0xFF));
    };
    const quint32 header[25] = {100, 7,        2,      24,   2, 1,   0, 0, 32, 0, 32, 32, 8,
                                4,   0xFF0000, 0xFF00, 0xFF, 8, 256, 0, 2, 1,  0, 0,  0};
    for (quint32 v : header)
        word(v);
    const uchar pixels[8] = {0x30, 0x20, 0x10, 0, 0xFF, 0x00, 0x80, 0};
    bytes.append(reinterpret_cast<const char*>(pixels), 8);

    const QImage image = DecodeXwd(bytes);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0x102030u);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0x8000FFu);
    EXPECT_TRUE(DecodeXwd(bytes.left(100)).isNull()) << "pixels missing";
}

TEST(OnScreen, MenuSceneReachesTheScreen) {
    TScopedSettingsDir settings;
    QTemporaryDir dir;
    auto menu = CreateQuietMenu(dir);
    menu->move(0, 0);
    menu->resize(1200, 750);
    menu->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    Settle(1500);

    // Capture and read back with no event handling in between, so both are
    // the same frame (or, at worst, one animation step apart).
    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    const QImage drawn = menu->MenuPanel->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    const QImage shown = screen.copy(ScreenRectOf(*menu->MenuPanel));
    ASSERT_EQ(shown.size(), drawn.size());

    ExpectDrawnScene(shown);
    // Every part of the window, sky and objects alike, shows the colours the
    // scene drew there.
    EXPECT_LT(LargestCellDifference(shown, drawn, 8), 12.0);
}

TEST(OnScreen, DialogOverTheMenuReachesTheScreen) {
    TScopedSettingsDir settings;
    QTemporaryDir dir;
    auto menu = CreateQuietMenu(dir);
    menu->move(0, 0);
    menu->resize(1200, 750);
    menu->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));

    TAboutForm about(menu.get());
    about.show();
    about.move(menu->mapToGlobal(QPoint(100, 80)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    Settle(1000);

    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull());
    const QImage dialogShown = screen.copy(ScreenRectOf(about));
    const QImage dialogDrawn = about.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(dialogShown.size(), dialogDrawn.size());
    EXPECT_GT(StatsOf(dialogShown, dialogShown.rect()).LumaDeviation, 10.0);
    EXPECT_LT(LargestCellDifference(dialogShown, dialogDrawn, 6), 12.0);

    // The menu beside the dialog is still the scene, not a black window.
    const QRect menuRect = ScreenRectOf(*menu->MenuPanel);
    const QRect belowDialog(menuRect.left(), ScreenRectOf(about).bottom() + 1, menuRect.width(),
                            menuRect.bottom() - ScreenRectOf(about).bottom());
    if (belowDialog.height() > 20)
        ExpectDrawnScene(screen.copy(belowDialog));
    else
        ExpectDrawnScene(
            screen.copy(QRect(ScreenRectOf(about).right() + 1, menuRect.top(),
                              menuRect.right() - ScreenRectOf(about).right(), menuRect.height())));
}

TEST(OnScreen, ProgramStartsWithItsMenuOnScreen) {
    // The program itself, as a learner starts it: fresh user folders, no
    // network. Its menu must appear and show the scene.
    QTemporaryDir dataHome;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
    program.setProcessEnvironment(env);
    program.start(AppDir() + QStringLiteral("ravlin"), {});
    ASSERT_TRUE(program.waitForStarted(10000));

    QRect window;
    QImage shown;
    QElapsedTimer timer;
    timer.start();
    // Poll until the window is mapped and has been drawn (software
    // rendering under a loaded machine can take several seconds).
    while (timer.elapsed() < 40000 && program.state() == QProcess::Running) {
        QTest::qWait(250);
        window = FindWindowOnScreen(QStringLiteral("타비로 v3.6"));
        if (!window.isValid())
            continue;
        shown = CaptureScreen().copy(window);
        if (!shown.isNull() && StatsOf(shown, shown.rect()).LumaDeviation > 10)
            break;
    }
    program.kill();
    program.waitForFinished(5000);

    ASSERT_TRUE(window.isValid()) << "the menu window never appeared";
    ASSERT_FALSE(shown.isNull());
    ExpectDrawnScene(shown);
    // The sky fills the window's left part: a blue-grey, never black.
    const TRegionStats sky = StatsOf(shown, QRect(shown.width() / 10, shown.height() / 2,
                                                  shown.width() / 4, shown.height() / 3));
    EXPECT_GE(sky.MeanBlue, sky.MeanRed);
    EXPECT_GT(sky.MeanBlue, 40.0);
    EXPECT_LT(sky.BlackShare, 0.05);
}
