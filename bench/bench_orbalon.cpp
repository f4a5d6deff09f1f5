// The Orbalon game: one frame of a busy level-8 scene (12 moons, four of
// them bursting, their word labels, the icons and a points message) on a
// 1280 x 720 game panel, without multisampling and with four samples; and
// one game tick with 12 moons on screen, rules only. Needs a display
// (xvfb-run). The scene uses the program's model when the build has it,
// otherwise the stand-in media the tests write.

#include "../tests/games/SaveMeTestMedia.h"
#include "app/Folders.h"
#include "app/MediaPath.h"
#include "app/SettingsRecords.h"
#include "games/SaveMeGameForm.h"
#include "gl/GLARBFunctions.h"
#include "gl/GLPanel.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <GL/gl.h>
#include <memory>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWindow>
#include <random>

namespace {

QStringList Words(int count) {
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << QStringLiteral("orbit%1").arg(i);
    return words;
}

std::function<int(int)> Seeded(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine](int n) { return std::uniform_int_distribution<int>(0, n - 1)(*engine); };
}

// Twelve moons after the fly-in; four shot and three steps into their
// bursts. Nothing moves between frames: the game's timer is not running.
void MakeBusy(TSaveMeGame& game, const std::function<void()>& repaint) {
    game.StartGame(QStringLiteral("/b/Text/[영어] bench.game"), 8, Words(200));
    game.EnterPressed(QString());
    for (int i = 0; i < 80 && game.EarthFlyInRunning(); ++i)
        repaint();
    // Twelve moons never fit the spawning area at once: each new one is set
    // on a spiral that spreads them over the depth, as flying does.
    for (int tries = 0; tries < 5000 && game.Enemies().size() < 12; ++tries) {
        if (!game.SpawnMoon())
            continue;
        const int n = int(game.Enemies().size());
        for (int i = 0; i < n; ++i) {
            TGameEnemy& moon = *game.Enemies().at(std::size_t(i));
            const float a = float(i) * 0.52f;
            const float r = 95.0f - float(i) * 5;
            moon.FPosition = {r * std::cos(a), 0.55f * r * std::sin(a), float(i) * 11 - 10};
            moon.LabelPosition = {moon.FPosition.x, moon.FPosition.y, moon.FPosition.z + 8};
        }
    }
    if (game.Enemies().size() < 12)
        std::abort();
    QStringList shots;
    for (int i = 0; i < 4; ++i)
        shots << game.Enemies().at(std::size_t(11 - i))->Word;
    for (const QString& word : shots)
        game.CheckAnswer(word);
    for (const auto& moon : game.Enemies()) {
        if (!moon->Flying()) {
            for (int step = 0; step < 3; ++step)
                game.Explode(moon.get(), etNone);
        }
    }
}

struct TBusyScene {
    QTemporaryDir Dir;
    std::unique_ptr<TSaveMeGameForm> Form;
};

TBusyScene* MakeScene(int samples) {
    auto* scene = new TBusyScene;
    if (!QFileInfo::exists(MediaPath(QStringLiteral("models\\SaveMeGame.obj")))) {
        savemetest::WriteMedia(scene->Dir.path());
        SetAppDir(scene->Dir.path() + QLatin1Char('/'));
    }
    SaveMeGameSetUp.FontName = QStringLiteral("궁서");
    SaveMeGameSetUp.FontSize = 28;
    SaveMeGameSetUp.FontBold = true;
    SaveMeGameSetUp.UseSound = false;
    SaveMeGameSetUp.UseBGM = false;

    ProbeGLARBFunctions();
    const int offered = GLARBFunctions().MaxSamples;
    const bool software = GLARBFunctions().SoftwareRenderer;
    GLARBFunctions().MaxSamples = samples;
    if (samples > 0)
        GLARBFunctions().SoftwareRenderer = false; // measure what it would cost
    scene->Form = std::make_unique<TSaveMeGameForm>(nullptr, Seeded(4), Seeded(9));
    GLARBFunctions().MaxSamples = offered;
    GLARBFunctions().SoftwareRenderer = software;

    TSaveMeGameForm& form = *scene->Form;
    form.setAttribute(Qt::WA_DeleteOnClose, false);
    form.SetTickInterval(1000000);
    form.show();
    form.resize(1280, 720 + form.TopPanel->height());
    QElapsedTimer waited;
    waited.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed() &&
             form.GamePanel->size() == QSize(1280, 720))) {
        if (waited.elapsed() > 10000)
            std::abort();
        form.resize(1280, 720 + form.TopPanel->height());
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    MakeBusy(form.Game(), [&] { form.GamePanel->DrawScene(); });
    return scene;
}

// compose: the frame is also composed into the window, as the window
// system shows it; without, only the scene is drawn into the panel's frame.
void RunFrames(benchmark::State& state, TBusyScene& scene, bool compose = true) {
    TSaveMeGameForm& form = *scene.Form;
    TGLPanel* panel = form.GamePanel;
    for (auto _ : state) {
        panel->DrawScene();
        if (compose)
            panel->repaint();
        panel->SetCurrentGLContext();
        glFinish();
    }
    state.SetLabel(QStringLiteral("%1, %2 samples, %3 particles")
                       .arg(panel->GetGLVersion())
                       .arg(panel->FrameSamples())
                       .arg(form.LastParticleCount())
                       .toStdString());
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// Kept until the process ends: panels cannot outlive the application.
TBusyScene& PlainScene() {
    static TBusyScene* const scene = MakeScene(0);
    return *scene;
}

void BM_OrbalonBusyFrame_NoMultisampling(benchmark::State& state) {
    RunFrames(state, PlainScene());
}
BENCHMARK(BM_OrbalonBusyFrame_NoMultisampling)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3)
    ->UseRealTime();

void BM_OrbalonBusySceneOnly_NoMultisampling(benchmark::State& state) {
    RunFrames(state, PlainScene(), false);
}
BENCHMARK(BM_OrbalonBusySceneOnly_NoMultisampling)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3)
    ->UseRealTime();

void BM_OrbalonBusyFrame_Multisampled4x(benchmark::State& state) {
    static TBusyScene* const scene = MakeScene(4);
    RunFrames(state, *scene);
}
BENCHMARK(BM_OrbalonBusyFrame_Multisampled4x)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3)
    ->UseRealTime();

// A tick of the rules with 12 moons at level 8: movement, the view clamp,
// impacts and meetings, explosions, spawning checks. Moons that got through
// are replaced before the next tick (inside the timing, as a spawn costs no
// more than a tick's own); a game near the end of its level starts afresh.
void BM_OrbalonGameTick(benchmark::State& state) {
    std::unique_ptr<TSaveMeGame> game;
    unsigned seed = 1;
    auto fresh = [&] {
        game = std::make_unique<TSaveMeGame>(Seeded(seed++), [] { return QDate(2026, 1, 1); });
        game->OnRepaint = [](TSaveMeGame* g) { g->StepEarthFlyIn(); };
        game->StartGame(QStringLiteral("/b/Text/[영어] bench.game"), 8, Words(300));
        game->EnterPressed(QString());
        while (game->EarthFlyInRunning())
            game->StepEarthFlyIn();
    };
    fresh();
    std::size_t moons = 0;
    for (auto _ : state) {
        if (game->Ended() || game->ExplosionCount() > 120) {
            state.PauseTiming();
            fresh();
            state.ResumeTiming();
        }
        for (int tries = 0; tries < 20 && game->Enemies().size() < 12; ++tries)
            game->SpawnMoon();
        game->SetCollidedCount(0);
        moons += game->Enemies().size();
        game->Tick();
    }
    state.counters["moons"] = benchmark::Counter(double(moons), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OrbalonGameTick)->Unit(benchmark::kMicrosecond)->MinTime(1);

} // namespace
