// One keystroke through the sentence practice control on a full page of 15
// lines, 1920 pixels wide: the key event goes in, the typing model is
// updated and the changed region is painted and flushed to the window.
// Besides Google Benchmark's mean, the median and the 99th percentile of
// the single keystrokes are reported (counters median_us and p99_us).

#include "typing/SentencePractice.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <QApplication>
#include <QKeyEvent>
#include <vector>

namespace {

constexpr int kLineCount = 15;
constexpr int kWidth = 1920;

// A display line about as wide as the practice screen allows.
QString FillLine(const QString& pattern, const QFontMetrics& metrics, int limit) {
    QString line;
    for (int i = 0; metrics.horizontalAdvance(line) < limit; ++i)
        line += pattern[i % pattern.size()];
    line.chop(1);
    return line.trimmed();
}

struct TPage {
    TSentencePractice control;
    QString pattern;

    explicit TPage(const QString& text, TTypingLang lang)
        : pattern(text) {
        QFont font(QStringLiteral("굴림체"));
        font.setPixelSize(20);
        control.setFont(font);
        control.SetColor(clWhite);
        control.SetFontColor(clBlack);
        control.SetSentenceSpace(35);
        control.SetShiftXOfTypedProblem(0);
        control.SetShiftYOfTypedProblem(12);
        control.SetTextOffsetY(20);
        control.SetSentenceCount(kLineCount);
        control.setFocusPolicy(Qt::NoFocus); // no caret blink between samples
        control.resize(kWidth, control.TypedLineTop(kLineCount - 1) + control.CharHeight() + 10);
        control.show();
        Load();
        control.SetTypingLang(lang);
    }

    void Load() {
        const QFontMetrics metrics(control.font());
        for (int i = 0; i < kLineCount; ++i)
            control.SetProblem(i, FillLine(pattern, metrics, kWidth - 230));
        QCoreApplication::processEvents();
    }

    // True when the next keystrokes could end the page: the page is loaded
    // afresh outside the measurement.
    bool NearPageEnd() const {
        const TTypingModel& model = control.Model();
        const TSentence* line = model.CurrSentence();
        return model.CurrSentenceIndex() == kLineCount - 1 &&
               line->typed.size() + 8 >= line->problem.size();
    }
};

double KeystrokeMicroseconds(TSentencePractice& control, int key, const QString& text) {
    const auto start = std::chrono::steady_clock::now();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&control, &press);
    QCoreApplication::processEvents(); // paints the invalidated region
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(stop - start).count();
}

void Report(benchmark::State& state, std::vector<double>& samples) {
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples[samples.size() / 2];
    state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
}

// Plain typing of the problem text, every 12th character wrong.
void BM_SentenceKeystroke(benchmark::State& state) {
    TPage page(QStringLiteral("The quick brown fox jumps over the lazy dog. 다람쥐 헌 쳇바퀴에 "
                              "타고파. 0123456789 "),
               tlEng);
    std::vector<double> samples;
    int count = 0;
    for (auto _ : state) {
        if (page.NearPageEnd())
            page.Load();
        const TSentence& line = *page.control.Model().CurrSentence();
        QChar c =
            line.typed.size() < line.problem.size() ? line.problem[line.typed.size()] : QChar(u' ');
        if (++count % 12 == 0)
            c = u'#';
        const double us = KeystrokeMicroseconds(page.control, Qt::Key_unknown, QString(c));
        state.SetIterationTime(us / 1e6);
        samples.push_back(us);
    }
    Report(state, samples);
}
BENCHMARK(BM_SentenceKeystroke)->UseManualTime()->Iterations(5000);

// Hangul composed by the built-in composer: every key updates or commits
// the syllable being composed.
void BM_SentenceKeystrokeHangul(benchmark::State& state) {
    TPage page(QStringLiteral("안녕하세요 "), tlNative);
    const char* keys = "dkssudgktpdy ";
    std::vector<double> samples;
    int i = 0;
    for (auto _ : state) {
        if (page.NearPageEnd()) {
            page.control.Composer().Commit();
            page.Load();
            i = 0;
        }
        const char key = keys[i++ % 13];
        const double us = KeystrokeMicroseconds(
            page.control, key == ' ' ? int(Qt::Key_Space) : int(Qt::Key_A + (key - 'a')),
            QString(QLatin1Char(key)));
        state.SetIterationTime(us / 1e6);
        samples.push_back(us);
    }
    Report(state, samples);
}
BENCHMARK(BM_SentenceKeystrokeHangul)->UseManualTime()->Iterations(5000);

} // namespace
