// The keyboard drill: one frame at 1280 x 720 without multisampling and with
// four samples, a frame of the fingers' opening flight (eight message fades
// per frame), a key press through judging to the drawn frame (p50/p99), and
// building one caption character's glyph list. The drill runs on the
// program's keyboard model when the build has it, otherwise on the model the
// tests generate. Needs a display (xvfb-run); LIBGL_ALWAYS_SOFTWARE=1
// measures Mesa's software renderer.

#include "gl/GLARBFunctions.h"
#include "gl/GLPanel.h"
#include "gl/GLTextureMessage.h"
#include "gl/ThreadTimer.h"
#include "keyboard/KeyboardForm.h"
#include "keyboard/KeyboardTestModel.h"
#include "keyboard/OutlineGlyphBuilder.h"
#include "KeyboardDrillScene.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <GL/gl.h>
#include <memory>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTest>
#include <vector>

namespace {

using bench::OpenDrill;
using bench::Present;

std::string Label(TGLPanel* panel) {
    return QStringLiteral("%1, %2 samples, %3x%4")
        .arg(panel->GetGLVersion())
        .arg(panel->FrameSamples())
        .arg(panel->width())
        .arg(panel->height())
        .toStdString();
}

void BM_KeyboardFrame(benchmark::State& state) {
    const auto drill = OpenDrill(int(state.range(0)));
    TGLPanel* panel = drill->Form->KeyboardPanel;
    state.SetLabel(Label(panel));
    for (auto _ : state) {
        panel->DrawScene();
        Present(panel);
    }
}
BENCHMARK(BM_KeyboardFrame)->Arg(0)->Arg(4)->ArgName("samples")->Unit(benchmark::kMillisecond);

// Frames of the fingers' flight: every finger fades and moves the message.
void BM_KeyboardFingerOpeningFrame(benchmark::State& state) {
    const auto drill = OpenDrill(int(state.range(0)));
    TKeyboardForm& form = *drill->Form;
    TGLPanel* panel = form.KeyboardPanel;
    state.SetLabel(Label(panel));
    int tick = 13;
    for (auto _ : state) {
        state.PauseTiming();
        TKeyboardExercise& ex = form.Exercise();
        ex.FStartAniFinished = true;
        ex.FStartFingerAniFinished = false;
        ex.FAniTick = tick;
        tick = tick >= 26 ? 13 : tick + 1;
        if (tick == 13)
            form.Message().Close();
        state.ResumeTiming();
        panel->DrawScene();
        Present(panel);
    }
    if (!form.Message().Visible() && tick != 13)
        state.SkipWithError("the finger message was not shown");
}
BENCHMARK(BM_KeyboardFingerOpeningFrame)->Arg(0)->ArgName("samples")->Unit(benchmark::kMillisecond);

// What one fade cost before fades moved to draw time: repainting and
// uploading the 40-point message texture.
void BM_MessageTextureRebuild(benchmark::State& state) {
    const auto drill = OpenDrill(0);
    TKeyboardForm& form = *drill->Form;
    form.Exercise().FStartFingerAniFinished = false;
    form.Exercise().FAniTick = 14;
    form.KeyboardPanel->DrawScene();
    TGLTextureMessage& message = form.Message();
    if (!message.Visible())
        std::abort();
    form.KeyboardPanel->SetCurrentGLContext();
    for (auto _ : state) {
        message.Refresh();
        glFinish();
    }
}
BENCHMARK(BM_MessageTextureRebuild)->Unit(benchmark::kMillisecond);

// A key press: the event is judged and the frame that shows it drawn and
// presented. Alternates a correct and a wrong key so both paths count.
void BM_KeyPressJudgedDrawn(benchmark::State& state) {
    const auto drill = OpenDrill(0);
    TKeyboardForm& form = *drill->Form;
    TGLPanel* panel = form.KeyboardPanel;
    state.SetLabel(Label(panel));
    std::vector<double> ms;
    ms.reserve(4096);
    int i = 0;
    for (auto _ : state) {
        const std::uint16_t want = form.SelKeyList().SelKey();
        // XKB keycode of the wanted key, or of Z (52) for a wrong one.
        quint32 scan = 52;
        if (i++ % 2 == 0) {
            for (quint32 code = 9; code < 100; ++code) {
                QKeyEvent probe(QEvent::KeyPress, 0, Qt::NoModifier, code, 0, 0);
                if (VirtualKeyOf(probe) == want) {
                    scan = code;
                    break;
                }
            }
        }
        const Qt::KeyboardModifiers mods =
            form.SelKeyList().SelShift() ? Qt::ShiftModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, 0, mods, scan, 0, 0);
        const auto start = std::chrono::steady_clock::now();
        QApplication::sendEvent(panel, &press);
        Present(panel);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        state.PauseTiming();
        QKeyEvent release(QEvent::KeyRelease, 0, mods, scan, 0, 0);
        QApplication::sendEvent(panel, &release);
        for (int t = 0; t < 6; ++t)
            form.ThreadTimerTimer();
        for (int f = 0; f < 6; ++f)
            panel->DrawScene();
        // Nothing drawn before the press may still be rendering.
        Present(panel);
        state.ResumeTiming();
    }
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        state.counters["p50_ms"] = ms[ms.size() / 2];
        state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    }
}
BENCHMARK(BM_KeyPressJudgedDrawn)->Unit(benchmark::kMillisecond)->Iterations(200);

// One caption character: outline, tessellation, extrusion and the display
// list, for a Hangul syllable, a jamo, a kana, a symbol and a Latin letter.
void BM_CaptionGlyphList(benchmark::State& state) {
    static const char* const kCharacters[] = {"뷁", "ㅂ", "の", "@", "A"};
    const auto drill = OpenDrill(0);
    TGLPanel* panel = drill->Form->KeyboardPanel;
    panel->SetCurrentGLContext();
    const QString character = QString::fromUtf8(kCharacters[state.range(0)]);
    state.SetLabel(character.toStdString());
    const QFont font = drill->Form->SelKeyList().GlyphFont();
    const GLuint list = glGenLists(1);
    for (auto _ : state) {
        TGlyphMetricsFloat metrics;
        TOutlineGlyphBuilder::BuildList(font, character, list, 0.5f, &metrics);
        benchmark::DoNotOptimize(metrics.gmfCellIncX);
    }
    glDeleteLists(list, 1);
}
BENCHMARK(BM_CaptionGlyphList)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

} // namespace
