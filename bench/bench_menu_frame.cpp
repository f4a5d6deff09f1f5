// Frame and picking time of the main menu scene at the size the menu opens
// with (1467 x 897), in rain (the heaviest weather: sky, six objects, three
// rain sheets and up to three lightning bolts) and in fair weather, and one
// picking pass as the timer runs every 400 ms, and a frame with a hint
// callout shown. Needs a display (xvfb-run);
// LIBGL_ALWAYS_SOFTWARE=1 measures Mesa's software renderer.

#include "gl/GLPanel.h"
#include "gl/ThreadTimer.h"
#include "shell/MenuForm.h"

#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <memory>
#include <QApplication>
#include <QCursor>
#include <QTest>

namespace {

std::unique_ptr<TMenuForm> ShownMenu(bool rainy) {
    TMenuServices services;
    // Nothing listens there: the check fails at once.
    services.UpdatePageUrl = QStringLiteral("http://127.0.0.1:1/update.html");
    services.PlaySound = [](TMenuSound) {};
    // The weather turns after 99 ticks; 1 keeps it fair, 0 rainy.
    services.Random = [rainy](int n) { return n > 1 && !rainy ? 1 : 0; };
    auto menu = std::make_unique<TMenuForm>(services);
    menu->show();
    if (!QTest::qWaitForWindowExposed(menu.get()))
        std::abort();
    menu->activateWindow();
    if (!QTest::qWaitForWindowActive(menu.get()))
        std::abort();
    menu->AniTimer->SetEnabled(false);
    for (int i = 0; i < 100; ++i)
        menu->AniTimerTimer(menu->AniTimer);
    if (menu->IsRainy() != rainy)
        std::abort();
    return menu;
}

void RunFrames(benchmark::State& state, bool rainy) {
    const auto menu = ShownMenu(rainy);
    TGLPanel* panel = menu->MenuPanel;
    state.SetLabel(QStringLiteral("%1, %2 samples, %3x%4")
                       .arg(panel->GetGLVersion())
                       .arg(panel->FrameSamples())
                       .arg(panel->width())
                       .arg(panel->height())
                       .toStdString());
    for (auto _ : state) {
        panel->DrawScene();
        // Compose the frame as the window system would, then wait for the
        // renderer.
        panel->repaint();
        panel->SetCurrentGLContext();
        glFinish();
    }
}

void BM_MenuFrameRain(benchmark::State& state) {
    RunFrames(state, true);
}
BENCHMARK(BM_MenuFrameRain)->Unit(benchmark::kMillisecond);

void BM_MenuFrameFair(benchmark::State& state) {
    RunFrames(state, false);
}
BENCHMARK(BM_MenuFrameFair)->Unit(benchmark::kMillisecond);

void BM_MenuPickUnderPointer(benchmark::State& state) {
    const auto menu = ShownMenu(true);
    // Over the clock, in the column of objects.
    QCursor::setPos(
        menu->MenuPanel->mapToGlobal(QPoint(menu->width() * 93 / 100, menu->height() * 44 / 100)));
    QTest::qWait(20);
    QString picked;
    for (auto _ : state) {
        picked = menu->DrawMenuScene(true);
        menu->MenuPanel->SetCurrentGLContext();
        glFinish();
    }
    state.SetLabel(picked.isEmpty() ? "nothing picked" : picked.toStdString());
}
BENCHMARK(BM_MenuPickUnderPointer)->Unit(benchmark::kMillisecond);

// A fair-weather frame with the clock's hint shown: the callout is placed
// on the clock's outline (about ten thousand vertices) every frame.
void BM_MenuFrameWithHint(benchmark::State& state) {
    const auto menu = ShownMenu(false);
    QCursor::setPos(
        menu->MenuPanel->mapToGlobal(QPoint(menu->width() * 93 / 100, menu->height() * 44 / 100)));
    QTest::qWait(20);
    menu->AniTimerTimer(menu->AniTimer);
    menu->AniTimerTimer(menu->AniTimer);
    TGLPanel* panel = menu->MenuPanel;
    for (auto _ : state) {
        panel->DrawScene();
        panel->repaint();
        panel->SetCurrentGLContext();
        glFinish();
    }
    state.SetLabel(menu->HintObjectName().isEmpty() ? "no hint"
                                                    : menu->HintObjectName().toStdString());
}
BENCHMARK(BM_MenuFrameWithHint)->Unit(benchmark::kMillisecond);

} // namespace
