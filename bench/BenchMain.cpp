// main() of every benchmark program: a QApplication for the benchmarks that
// paint or draw with OpenGL, and the build's program folder with its media.

#include "app/Folders.h"
#include "platform/FontSubstitutions.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());

    QApplication app(argc, argv);
    InstallFontSubstitutions();
    SetAppDir(QStringLiteral(RAVLIN_BENCH_APP_DIR));
    InitSettingsDir(dataHome.path());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
