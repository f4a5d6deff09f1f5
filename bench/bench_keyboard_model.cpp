// The keyboard practice model as shipped: parsing its OBJ/MTL text, and the
// whole load the drill window does on opening (parse plus the key-cap, case,
// sky and bolt textures in their plain and tinted variants).

#include "app/MediaPath.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"

#include <benchmark/benchmark.h>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kModel = QStringLiteral("models\\Ravlin_Key_Layout_English.obj");

void BM_KeyboardModelParse(benchmark::State& state) {
    const QString path = MediaPath(kModel);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("the keyboard model is missing");
        return;
    }
    const QByteArray data = file.readAll();
    const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    for (auto _ : state) {
        TObjLoader loader;
        loader.ParseObjData(data, folder);
        benchmark::DoNotOptimize(loader.modelList.Count());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_KeyboardModelParse)->Unit(benchmark::kMillisecond);

void BM_KeyboardModelLoadWithTextures(benchmark::State& state) {
    TGLPanel panel;
    panel.resize(640, 360);
    panel.SetCurrentGLContext();
    for (auto _ : state) {
        TObjLoader loader;
        loader.MaterialSuffixList = {QStringLiteral("Selected"), QStringLiteral("Focused")};
        panel.SetCurrentGLContext();
        if (!loader.LoadFromFile(MediaPath(kModel))) {
            state.SkipWithError("the keyboard model is missing");
            return;
        }
        benchmark::DoNotOptimize(loader.textureList.Count());
    }
}
BENCHMARK(BM_KeyboardModelLoadWithTextures)->Unit(benchmark::kMillisecond);

} // namespace
