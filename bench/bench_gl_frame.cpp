// Frame time of a scene of 200 textured models (lit, textured spheres of 384
// triangles each, drawn one by one by name as the screens do) on a
// 1280 x 720 panel, with the multisampled frame buffer the panel normally
// gets and with a plain one. Needs a display (xvfb-run) and reports what the
// renderer is (Mesa's software renderer on the test machines).

#include "app/Colors.h"
#include "gl/GLARBFunctions.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <GL/gl.h>
#include <memory>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWindow>
#include <string>

namespace {

constexpr int kModels = 200;
constexpr int kSlices = 16;
constexpr int kStacks = 12;

// Writes the model, its library and its texture; returns the OBJ path.
QString WriteScene(const QTemporaryDir& dir) {
    QImage texture(256, 256, QImage::Format_RGB32);
    {
        QPainter painter(&texture);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                painter.fillRect(x * 32, y * 32, 32, 32,
                                 (x + y) % 2 ? QColor(230, 120, 40) : QColor(40, 120, 230));
    }
    texture.save(dir.filePath("checker.png"));
    QFile mtl(dir.filePath("scene.mtl"));
    if (!mtl.open(QIODevice::WriteOnly))
        std::abort();
    mtl.write("newmtl Checker\nKa 0.5\nKd 1 1 1\nKs 0.3 0.3 0.3\nmap_Kd checker.png\n");
    mtl.close();

    std::string text = "mtllib scene.mtl\n";
    char line[128];
    int base = 0;
    for (int m = 0; m < kModels; ++m) {
        std::snprintf(line, sizeof line, "# object Model%03d\n", m);
        text += line;
        for (int s = 0; s <= kStacks; ++s)
            for (int l = 0; l <= kSlices; ++l) {
                const double phi = M_PI * s / kStacks, theta = 2 * M_PI * l / kSlices;
                const double x = std::sin(phi) * std::cos(theta), y = std::cos(phi),
                             z = std::sin(phi) * std::sin(theta);
                std::snprintf(line, sizeof line, "v %.4f %.4f %.4f\nvn %.4f %.4f %.4f\n", 2 * x,
                              2 * y, 2 * z, x, y, z);
                text += line;
                std::snprintf(line, sizeof line, "vt %.4f %.4f 0\n", double(l) / kSlices,
                              1 - double(s) / kStacks);
                text += line;
            }
        text += "usemtl Checker\n";
        for (int s = 0; s < kStacks; ++s)
            for (int l = 0; l < kSlices; ++l) {
                const int a = base + s * (kSlices + 1) + l + 1, b = a + 1, c = a + kSlices + 1,
                          d = c + 1;
                std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c,
                              d, d, d);
                text += line;
                std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d,
                              b, b, b);
                text += line;
            }
        base += (kStacks + 1) * (kSlices + 1);
    }
    QFile obj(dir.filePath("scene.obj"));
    if (!obj.open(QIODevice::WriteOnly))
        std::abort();
    obj.write(text.data(), qint64(text.size()));
    return obj.fileName();
}

struct TScene {
    QTemporaryDir dir;
    std::unique_ptr<TGLPanel> panel;
    std::unique_ptr<TObjLoader> loader;
    QStringList names;
};

std::unique_ptr<TScene> MakeScene(bool multisampled) {
    auto scene = std::make_unique<TScene>();
    ProbeGLARBFunctions();
    const int offered = GLARBFunctions().MaxSamples;
    const bool software = GLARBFunctions().SoftwareRenderer;
    if (!multisampled)
        GLARBFunctions().MaxSamples = 0;
    else
        GLARBFunctions().SoftwareRenderer = false; // measure what it would cost
    scene->panel = std::make_unique<TGLPanel>();
    GLARBFunctions().MaxSamples = offered;
    GLARBFunctions().SoftwareRenderer = software;
    scene->panel->resize(1280, 720);
    scene->panel->show();
    QElapsedTimer waited;
    waited.start();
    while (!(scene->panel->windowHandle() && scene->panel->windowHandle()->isExposed())) {
        if (waited.elapsed() > 10000)
            std::abort();
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    scene->panel->SetCurrentGLContext();
    scene->loader = std::make_unique<TObjLoader>();
    if (!scene->loader->LoadFromFile(WriteScene(scene->dir)))
        std::abort();
    for (int m = 0; m < kModels; ++m)
        scene->names << QStringLiteral("Model%1").arg(m, 3, 10, QLatin1Char('0'));

    TScene* s = scene.get();
    s->panel->OnDrawScene = [s](TGLPanel* panel) {
        panel->SetGLModes(false);
        glFrontFace(GL_CW);
        // 20 x 10 models spread over the visible plane z = 0.
        const float spanX = panel->MaxVisibleX() - panel->MinVisibleX();
        const float spanY = panel->MaxVisibleY() - panel->MinVisibleY();
        for (int m = 0; m < kModels; ++m) {
            glPushMatrix();
            glLoadIdentity();
            glTranslatef(panel->MinVisibleX() + spanX * (float(m % 20) + 0.5f) / 20,
                         panel->MinVisibleY() + spanY * (float(m / 20) + 0.5f) / 10, 0);
            glRotatef(float(m * 17), 0.3f, 1, 0.2f);
            glScalef(1.1f, 1.1f, 1.1f);
            s->loader->DrawData_OLD(s->names[m], nullptr);
            glPopMatrix();
        }
    };
    // The scene must really show its models: count pixels that are not sky.
    const QImage frame = s->panel->grabFramebuffer();
    const QRgb sky = ToQColor(s->panel->ClearColor()).rgb();
    int drawn = 0;
    for (int y = 0; y < frame.height(); y += 4)
        for (int x = 0; x < frame.width(); x += 4)
            drawn += frame.pixel(x, y) != sky;
    if (drawn < frame.width() * frame.height() / 16 / 10)
        std::abort();
    return scene;
}

void RunFrames(benchmark::State& state, TScene& scene) {
    TGLPanel* panel = scene.panel.get();
    state.SetLabel(QStringLiteral("%1, %2 samples")
                       .arg(panel->GetGLVersion())
                       .arg(panel->FrameSamples())
                       .toStdString());
    for (auto _ : state) {
        panel->DrawScene();
        // Compose the frame as the window system would (including the
        // multisample resolve), then wait for the renderer.
        panel->repaint();
        panel->SetCurrentGLContext();
        glFinish();
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Frame200TexturedModels_Multisampled(benchmark::State& state) {
    // Kept until the process ends: panels cannot outlive the application
    // object, which main() destroys before static objects.
    static TScene* const scene = MakeScene(true).release();
    RunFrames(state, *scene);
}
BENCHMARK(BM_Frame200TexturedModels_Multisampled)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3)
    ->UseRealTime();

void BM_Frame200TexturedModels_NoMultisampling(benchmark::State& state) {
    static TScene* const scene = MakeScene(false).release();
    RunFrames(state, *scene);
}
BENCHMARK(BM_Frame200TexturedModels_NoMultisampling)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3)
    ->UseRealTime();

} // namespace
