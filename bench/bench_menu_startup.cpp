// Time from the start of the program's process to the main menu's first
// frame on screen, offline: the update check fails at once (the probe asks a
// local port where nothing listens) and the menu starts without it.
// Each iteration starts menu_startup_probe, which goes through main()'s
// start-up, creates the menu and reports its first presented frame.
// Needs a display (xvfb-run); LIBGL_ALWAYS_SOFTWARE=1 measures Mesa's
// software renderer.

#include <benchmark/benchmark.h>
#include <chrono>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

namespace {

void BM_MenuFirstFrameFromProcessStart(benchmark::State& state) {
    const QString probe =
        QCoreApplication::applicationDirPath() + QStringLiteral("/menu_startup_probe");
    for (auto _ : state) {
        QProcess process;
        process.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer timer;
        timer.start();
        process.start(probe, {});
        if (!process.waitForStarted(10000)) {
            state.SkipWithError("menu_startup_probe did not start");
            return;
        }
        QByteArray output;
        while (!output.contains("FIRST_FRAME")) {
            if (!process.waitForReadyRead(20000)) {
                state.SkipWithError("no first frame");
                return;
            }
            output += process.readAllStandardOutput();
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        process.waitForFinished(10000);
    }
}
BENCHMARK(BM_MenuFirstFrameFromProcessStart)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);

} // namespace
