// OBJ parsing throughput on a generated model of about one million
// triangles (a textured, lit grid: "v", "vt", "vn" and "f v/vt/vn" lines in
// the exporter's form), read by the model loader and, on the same file, by
// tinyobjloader.

#include "gl/ObjLoader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#ifdef RAVLIN_HAVE_TINYOBJLOADER
#include <tiny_obj_loader.h>
#endif

namespace {

constexpr int kGrid = 709; // 2 x 708 x 708 = 1,002,528 triangles

struct TGeneratedModel {
    QTemporaryDir dir;
    QString path;
    qint64 bytes = 0;
    int triangles = 0;
};

const TGeneratedModel& Model() {
    static const std::unique_ptr<TGeneratedModel> model = [] {
        auto generated = std::make_unique<TGeneratedModel>();
        generated->path = generated->dir.filePath("grid.obj");
        std::string text;
        text.reserve(std::size_t(90) * kGrid * kGrid);
        char line[160];
        text += "# object Grid01\n";
        for (int y = 0; y < kGrid; ++y)
            for (int x = 0; x < kGrid; ++x) {
                const float h = float((x * 7 + y * 13) % 17) * 0.01f;
                std::snprintf(line, sizeof line, "v %.4f %.4f %.4f\n", x * 0.1, y * 0.1, h);
                text += line;
            }
        for (int y = 0; y < kGrid; ++y)
            for (int x = 0; x < kGrid; ++x) {
                std::snprintf(line, sizeof line, "vt %.4f %.4f 0.0000\n", double(x) / kGrid,
                              double(y) / kGrid);
                text += line;
            }
        for (int y = 0; y < kGrid; ++y)
            for (int x = 0; x < kGrid; ++x) {
                std::snprintf(line, sizeof line, "vn %.4f %.4f %.4f\n", 0.01 * (x % 3),
                              0.01 * (y % 5), 0.9998);
                text += line;
            }
        text += "g Grid01\nusemtl GridMat\n";
        int triangles = 0;
        for (int y = 0; y + 1 < kGrid; ++y)
            for (int x = 0; x + 1 < kGrid; ++x) {
                const int a = y * kGrid + x + 1, b = a + 1, c = a + kGrid, d = c + 1;
                std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b,
                              d, d, d);
                text += line;
                std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d,
                              c, c, c);
                text += line;
                triangles += 2;
            }
        QFile file(generated->path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(text.data(), qint64(text.size()));
        generated->bytes = qint64(text.size());
        generated->triangles = triangles;
        return generated;
    }();
    return *model;
}

void BM_ObjLoader(benchmark::State& state) {
    const TGeneratedModel& model = Model();
    for (auto _ : state) {
        TObjLoader loader;
        if (!loader.LoadFromFile(model.path))
            state.SkipWithError("model not loaded");
        benchmark::DoNotOptimize(loader.modelList.Items(0)->VertexList.Floats());
        if (loader.modelList.Items(0)->VertexIndexList.Count() != model.triangles)
            state.SkipWithError("wrong triangle count");
    }
    state.SetBytesProcessed(state.iterations() * model.bytes);
    state.counters["triangles"] = model.triangles;
}
BENCHMARK(BM_ObjLoader)->Unit(benchmark::kMillisecond)->MinTime(3);

#ifdef RAVLIN_HAVE_TINYOBJLOADER
void BM_TinyObjLoader(benchmark::State& state) {
    const TGeneratedModel& model = Model();
    const std::string path = model.path.toStdString();
    for (auto _ : state) {
        tinyobj::ObjReader reader;
        tinyobj::ObjReaderConfig config;
        config.triangulate = false;
        if (!reader.ParseFromFile(path, config))
            state.SkipWithError("model not loaded");
        benchmark::DoNotOptimize(reader.GetAttrib().vertices.data());
        if (reader.GetShapes().at(0).mesh.num_face_vertices.size() != std::size_t(model.triangles))
            state.SkipWithError("wrong triangle count");
    }
    state.SetBytesProcessed(state.iterations() * model.bytes);
    state.counters["triangles"] = model.triangles;
}
BENCHMARK(BM_TinyObjLoader)->Unit(benchmark::kMillisecond)->MinTime(3);
#endif

} // namespace
