// The program on a Wayland compositor. tests/wayland/run_wayland.sh starts
// weston with its headless back end (pixman renderer, so that screenshots
// show what clients drew) in a runtime folder of its own, with XWayland when
// it is installed, and runs this program on Qt's Wayland platform. What
// reaches the compositor is read back with weston-screenshooter.

#include "app/Folders.h"
#include "app/XWaylandFallback.h"
#include "gl/GLPanel.h"
#include "ScreenCapture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QOpenGLContext>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

// The compositor's whole output as weston-screenshooter saves it; a null
// image when it could not take one.
QImage CompositorScreenshot() {
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0)
        return {};
    const QStringList shots =
        QDir(folder.path()).entryList({QStringLiteral("wayland-screenshot-*.png")}, QDir::Files);
    return shots.isEmpty()
               ? QImage()
               : QImage(folder.filePath(shots.first())).convertToFormat(QImage::Format_RGB32);
}

// Pixels within `tolerance` of `color` in every channel.
int CountColor(const QImage& image, QRgb color, int tolerance = 6) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(qRed(line[x]) - qRed(color)) <= tolerance &&
                std::abs(qGreen(line[x]) - qGreen(color)) <= tolerance &&
                std::abs(qBlue(line[x]) - qBlue(color)) <= tolerance)
                ++count;
    }
    return count;
}

// A square of side 2s centred on (cx, cy), facing the viewer.
void Square(float cx, float cy, float s) {
    glBegin(GL_QUADS);
    glVertex3f(cx - s, cy - s, 0);
    glVertex3f(cx + s, cy - s, 0);
    glVertex3f(cx + s, cy + s, 0);
    glVertex3f(cx - s, cy + s, 0);
    glEnd();
}

// Two flat squares, named 1 (left, magenta) and 2 (right, yellow), on the
// panel's clear colour, in a window of its own.
struct TSceneWindow {
    std::unique_ptr<QWidget> Window = std::make_unique<QWidget>();
    TGLPanel* Panel = nullptr;
    static constexpr QRgb kLeft = qRgb(230, 20, 200);
    static constexpr QRgb kRight = qRgb(250, 230, 10);
    static constexpr QRgb kClear = qRgb(30, 140, 90);

    TSceneWindow() {
        Window->resize(400, 300);
        Window->setWindowTitle(QStringLiteral("Wayland scene"));
        Panel = new TGLPanel(Window.get());
        Panel->setGeometry(0, 0, 400, 300);
        Panel->SetClearColor(RGBColor(qRed(kClear), qGreen(kClear), qBlue(kClear)));
        Panel->OnDrawScene = [](TGLPanel*) { Draw(); };
    }
    static void Draw() {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glLoadIdentity();
        glPushName(1);
        glColor3ub(qRed(kLeft), qGreen(kLeft), qBlue(kLeft));
        Square(-15, 0, 9);
        glLoadName(2);
        glColor3ub(qRed(kRight), qGreen(kRight), qBlue(kRight));
        Square(15, 0, 9);
        glPopName();
    }
    bool Show() {
        Window->show();
        return QTest::qWaitForWindowExposed(Window.get(), 5000);
    }
    // One picking pass with the pointer at `pos` (panel coordinates). There
    // is no pointer device on a headless compositor: the position is given
    // to Qt as a pointer motion over the window, as the compositor would.
    int PickAt(QPoint pos) {
        QTest::mouseMove(Window->windowHandle(), Panel->mapTo(Window.get(), pos));
        QTest::qWait(20);
        Panel->SetGLModes(true);
        Draw();
        const int picked = Panel->EndSelection();
        Panel->SetGLModes(false);
        return picked;
    }
};

// Skips the test when the compositor gives no OpenGL at all (no EGL for
// Wayland here); a context without the compatibility profile is a failure.
#define SKIP_WITHOUT_WAYLAND_GL()                                                                  \
    do {                                                                                           \
        const QString problem = TXWaylandFallback::CompatibilityContextProblem();                  \
        if (problem == QStringLiteral("no OpenGL context can be created"))                         \
            GTEST_SKIP() << "weston gives no OpenGL context here: " << qPrintable(problem);        \
    } while (false)

TEST(Wayland, RunsOnTheWaylandPlatformWithACompatibilityContext) {
    ASSERT_TRUE(QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        << qPrintable(QGuiApplication::platformName());
    SKIP_WITHOUT_WAYLAND_GL();
    EXPECT_EQ(TXWaylandFallback::CompatibilityContextProblem(), QString());

    TSceneWindow scene;
    ASSERT_TRUE(scene.Show());
    ASSERT_TRUE(scene.Panel->GLInitialized());
    const QOpenGLContext* context = scene.Panel->context();
    ASSERT_NE(context, nullptr);
    EXPECT_FALSE(context->isOpenGLES());
    EXPECT_EQ(TXWaylandFallback::FormatProblem(context->format(), context->isOpenGLES()), QString())
        << qPrintable(scene.Panel->GetGLVersion());
    std::printf("Wayland panel context: %s\n", qPrintable(scene.Panel->GetGLVersion()));
}

TEST(Wayland, PanelFrameReachesTheCompositorAndPickingHitsTheSquares) {
    SKIP_WITHOUT_WAYLAND_GL();
    const QImage before = CompositorScreenshot();
    ASSERT_FALSE(before.isNull()) << "weston-screenshooter took no screenshot";
    EXPECT_LT(CountColor(before, TSceneWindow::kLeft), 100);

    TSceneWindow scene;
    ASSERT_TRUE(scene.Show());
    scene.Panel->update();
    QImage shot;
    // The compositor shows the frame once the panel has drawn and committed.
    QElapsedTimer timer;
    timer.start();
    do {
        QTest::qWait(200);
        shot = CompositorScreenshot();
    } while (timer.elapsed() < 8000 &&
             (shot.isNull() || CountColor(shot, TSceneWindow::kLeft) < 5000));
    ASSERT_FALSE(shot.isNull());
    shot.save(QDir::temp().filePath(QStringLiteral("ravlin-wayland-scene.png")));
    // Each square is about 104 x 104 pixels; the clear colour fills the rest.
    EXPECT_GT(CountColor(shot, TSceneWindow::kLeft), 8000);
    EXPECT_GT(CountColor(shot, TSceneWindow::kRight), 8000);
    EXPECT_GT(CountColor(shot, TSceneWindow::kClear), 60000);

    EXPECT_EQ(scene.PickAt(QPoint(200 - 87, 150)), 1);
    EXPECT_EQ(scene.PickAt(QPoint(200 + 87, 150)), 2);
    EXPECT_EQ(scene.PickAt(QPoint(200, 150)), -1); // between the squares
    EXPECT_EQ(scene.PickAt(QPoint(10, 10)), -1);
}

// Starts the program from the build's program folder with `extra` added to
// this environment.
std::unique_ptr<QProcess> StartProgram(const QStringList& extra) {
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& assignment : extra) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals < 0)
            environment.remove(assignment);
        else
            environment.insert(assignment.left(equals), assignment.mid(equals + 1));
    }
    program->setProcessEnvironment(environment);
    program->start(WithTrailingSeparator(AppDir()) + QStringLiteral("ravlin"), {});
    return program;
}

void Stop(QProcess& program) {
    program.terminate();
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished(5000);
    }
}

// Waits until the screen differs from `before` in some cell (the menu with
// its scene has appeared) or 20 s passed; the last screenshot.
QImage ScreenAfterChange(const QImage& before, QProcess& program) {
    QImage shot;
    QElapsedTimer timer;
    timer.start();
    do {
        QTest::qWait(500);
        shot = CompositorScreenshot();
    } while (timer.elapsed() < 20000 && program.state() == QProcess::Running &&
             (shot.isNull() || shot.size() != before.size() ||
              LargestCellDifference(before, shot, 8) < 40));
    QTest::qWait(1000); // a few more frames of the scene
    return CompositorScreenshot();
}

TEST(Wayland, ProgramStartsNativelyAndDrawsItsMenu) {
    SKIP_WITHOUT_WAYLAND_GL();
    const QImage before = CompositorScreenshot();
    ASSERT_FALSE(before.isNull());
    // Without an X display a restart on XWayland would fail loudly.
    auto program =
        StartProgram({QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral("DISPLAY"),
                      QStringLiteral("SDL_AUDIODRIVER=dummy")});
    ASSERT_TRUE(program->waitForStarted(5000));
    const QImage shot = ScreenAfterChange(before, *program);
    ASSERT_EQ(program->state(), QProcess::Running) << program->readAllStandardError().constData();
    shot.save(QDir::temp().filePath(QStringLiteral("ravlin-wayland-menu.png")));
    Stop(*program);
    const QString errors = QString::fromUtf8(program->readAllStandardError());
    EXPECT_FALSE(errors.contains(QStringLiteral("XWayland"))) << qPrintable(errors);

    // The menu's scene covers most of the output: far from the empty desktop,
    // and neither black nor flat.
    EXPECT_GT(LargestCellDifference(before, shot, 8), 40);
    const TRegionStats stats = StatsOf(shot, QRect(100, 100, 800, 600));
    EXPECT_LT(stats.BlackShare, 0.2);
    EXPECT_GT(stats.LumaDeviation, 8);
}

TEST(Wayland, ProgramRestartsOnXWaylandWhenWaylandGivesNoContext) {
    const QString display = qEnvironmentVariable("RAVLIN_XWAYLAND_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "weston runs without XWayland here (the xwayland package is missing)";
    const QImage before = CompositorScreenshot();
    ASSERT_FALSE(before.isNull());
    // Qt's Wayland platform without its EGL buffer integration can make no
    // OpenGL context at all, as on a driver without EGL for Wayland.
    auto program = StartProgram({QStringLiteral("QT_QPA_PLATFORM=wayland"),
                                 QStringLiteral("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none"),
                                 QStringLiteral("DISPLAY=") + display,
                                 QStringLiteral("SDL_AUDIODRIVER=dummy")});
    ASSERT_TRUE(program->waitForStarted(5000));
    const QImage shot = ScreenAfterChange(before, *program);
    const bool running = program->state() == QProcess::Running;
    shot.save(QDir::temp().filePath(QStringLiteral("ravlin-xwayland-menu.png")));
    Stop(*program);
    const QString errors = QString::fromUtf8(program->readAllStandardError());
    ASSERT_TRUE(running) << qPrintable(errors);
    EXPECT_TRUE(errors.contains(QStringLiteral("restarting on XWayland"))) << qPrintable(errors);
    EXPECT_TRUE(errors.contains(QStringLiteral("XWayland로 다시 시작합니다")))
        << qPrintable(errors);
    EXPECT_GT(LargestCellDifference(before, shot, 8), 40);
    EXPECT_LT(StatsOf(shot, QRect(100, 150, 800, 600)).BlackShare, 0.2);
}

} // namespace
