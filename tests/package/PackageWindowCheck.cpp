// Waits for a top-level window to appear on the X server and to show a drawn
// scene, the way a learner would see it: the screen is read back with xwd,
// not the program's own frame buffer. Used by the package check, which
// starts the packaged program in a separate process.
//
// usage: package_window_check <title prefix> <capture.png> <timeout ms>
// Exit status 0 when the window shows a scene, 1 when it never appeared or
// stayed blank or black, 2 for wrong arguments.

#include "ScreenCapture.h"

#include <cstdio>
#include <QElapsedTimer>
#include <QThread>

namespace {

// A drawn menu: varied, not black, and the sky in the window's left part a
// blue-grey.
bool LooksDrawn(const QImage& shown) {
    const TRegionStats whole = StatsOf(shown, shown.rect());
    const TRegionStats sky = StatsOf(shown, QRect(shown.width() / 10, shown.height() / 2,
                                                  shown.width() / 4, shown.height() / 3));
    return whole.LumaDeviation > 10 && whole.BlackShare < 0.05 && sky.MeanBlue >= sky.MeanRed &&
           sky.MeanBlue > 40;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: package_window_check <title prefix> <capture.png> "
                             "<timeout ms>\n");
        return 2;
    }
    const QString title = QString::fromLocal8Bit(argv[1]);
    const QString capturePath = QString::fromLocal8Bit(argv[2]);
    const int timeoutMs = QString::fromLocal8Bit(argv[3]).toInt();

    QRect window;
    QImage shown;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QThread::msleep(250);
        window = FindWindowOnScreen(title);
        if (!window.isValid())
            continue;
        shown = CaptureScreen().copy(window);
        if (!shown.isNull() && LooksDrawn(shown))
            break;
    }
    if (!window.isValid()) {
        std::fprintf(stderr, "no window titled \"%s...\" appeared\n", argv[1]);
        return 1;
    }
    if (!shown.isNull())
        shown.save(capturePath, "PNG");
    const TRegionStats stats = StatsOf(shown, shown.rect());
    std::printf("window %dx%d+%d+%d: luma deviation %.1f, black share %.3f\n", window.width(),
                window.height(), window.x(), window.y(), stats.LumaDeviation, stats.BlackShare);
    if (shown.isNull() || !LooksDrawn(shown)) {
        std::fprintf(stderr, "the window is blank or black on screen (capture: %s)\n", argv[2]);
        return 1;
    }
    return 0;
}
