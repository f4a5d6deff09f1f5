// Reading the update page once it has arrived, on pages of the largest size
// the client accepts (2 MB): an ordinary page with a few fields in a lot of
// HTML, and the pages that cost most (start markers without an end, one
// field full of stray brackets, one full of tags). The check runs on the
// window thread before the menu shows, so none of them may take long.

#include "shell/RavlinUpdater.h"

#include <benchmark/benchmark.h>
#include <QString>

namespace {

constexpr int kPageChars = 2 * 1024 * 1024;

QString Filled(const QString& piece, const QString& head = {}, const QString& tail = {}) {
    const int count = int((kPageChars - head.size() - tail.size()) / piece.size());
    return head + piece.repeated(count) + tail;
}

void RunPage(benchmark::State& state, const QString& page) {
    for (auto _ : state) {
        const QStringList fields = TRavlinUpdater::ParseFields(page);
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(QChar)));
}

void BM_OrdinaryPage(benchmark::State& state) {
    const QString fields =
        QStringLiteral("@@@@@@<b>latest_version=3.7</b>######"
                       "@@@@@@click_image_src=http://maker.example/banner.png######"
                       "@@@@@@click_image_link=http://maker.example/news######");
    RunPage(state,
            Filled(QStringLiteral("<p class=\"post\">Lorem <i>ipsum</i> dolor sit amet.</p>\n"),
                   QStringLiteral("<html><body>") + fields, QStringLiteral("</body></html>")));
}
BENCHMARK(BM_OrdinaryPage)->Unit(benchmark::kMillisecond);

void BM_StartMarkersOnly(benchmark::State& state) {
    RunPage(state, Filled(QStringLiteral("@")));
}
BENCHMARK(BM_StartMarkersOnly)->Unit(benchmark::kMillisecond);

void BM_FieldOfStrayBrackets(benchmark::State& state) {
    RunPage(state, Filled(QStringLiteral(">"), QStringLiteral("@@@@@@"),
                          QStringLiteral("<latest_version=3.7######")));
}
BENCHMARK(BM_FieldOfStrayBrackets)->Unit(benchmark::kMillisecond);

void BM_FieldOfTags(benchmark::State& state) {
    RunPage(state, Filled(QStringLiteral("<b>"), QStringLiteral("@@@@@@latest_version=3.7"),
                          QStringLiteral("######")));
}
BENCHMARK(BM_FieldOfTags)->Unit(benchmark::kMillisecond);

} // namespace
