// The practice history's two costs a learner could notice: recording the
// end of a full sentence page (15 lines of Hangul, every character with its
// jamo facts, one transaction), and opening the history window on a
// database of 10,000 sessions (queries, chart series, keyboard shading and
// the weakest-key list, up to the window's first paint).

#include "history/HistoryDatabase.h"
#include "history/HistoryForm.h"
#include "history/HistoryRecorder.h"
#include "typing/TypingModel.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

namespace {

constexpr int kLineCount = 15;
const QString kLine =
    QStringLiteral("동해 물과 백두산이 마르고 닳도록 하느님이 보우하사 우리나라 만세");

// A page of 15 lines typed through, every tenth character wrong.
void TypePage(TTypingModel& model, quint32& now) {
    model.SetSentenceCount(kLineCount);
    for (int l = 0; l < kLineCount; ++l)
        model.SetProblem(l, kLine);
    for (int l = 0; l < kLineCount; ++l) {
        TSentence* line = model.Sentence(l);
        for (qsizetype i = 0; i < kLine.size(); ++i) {
            now += 180;
            line->AppendChar(i % 10 == 9 ? QChar(u'가') : kLine[i], 3, now);
        }
    }
}

void BM_RecordSentencePage(benchmark::State& state) {
    QTemporaryDir dir;
    THistoryRecorder recorder(dir.filePath(QStringLiteral("history.sqlite")));
    quint32 now = 0;
    TTypingModel model([&] { return now; });
    TypePage(model, now);
    recorder.RecordSentencePage(model, QStringLiteral("애국가.txt")); // opens the file
    for (auto _ : state)
        benchmark::DoNotOptimize(recorder.RecordSentencePage(model, QStringLiteral("애국가.txt")));
    state.counters["facts"] = double(kLineCount * kLine.size());
}
BENCHMARK(BM_RecordSentencePage)->Unit(benchmark::kMillisecond);

void BM_OpenHistoryWindow10000Sessions(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    const qint64 end = 1'800'000'000'000LL;
    {
        THistoryDatabase db(path);
        const QString jamo =
            QStringLiteral("ㅂㅈㄷㄱㅅㅛㅕㅑㅐㅔㅁㄴㅇㄹㅎㅗㅓㅏㅣㅋㅌㅊㅍㅠㅜㅡㅢㄲ");
        for (int i = 0; i < 10000; ++i) {
            THistorySession s;
            s.Activity = haSentence;
            s.Ended = end - qint64(10000 - i) * 3600 * 1000;
            s.Started = s.Ended - 300000;
            s.Source = QStringLiteral("text%1.txt").arg(i % 12);
            s.Pages = 3;
            s.Speed = 150 + i % 97;
            s.Accuracy = 0.9;
            THistoryKeyFacts facts;
            for (int k = 0; k < jamo.size(); ++k)
                facts.push_back({hfJamo, QString(jamo[k]), -1, 1, (k + i) % 9 == 0, 250 + k});
            db.RecordSession(s, facts);
        }
    }
    for (auto _ : state) {
        THistoryForm form(nullptr, haSentence, 1, path, [end] { return end; });
        form.resize(980, 720);
        QPixmap frame = form.grab(); // lays out and paints once
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_OpenHistoryWindow10000Sessions)->Unit(benchmark::kMillisecond);

} // namespace
