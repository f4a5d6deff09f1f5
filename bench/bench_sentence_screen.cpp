// Sentence practice screen: loading and wrapping a practice text of 1 MB,
// and composing one frame of the speed meter at 300 x 700 pixels.
//
//   BM_LoadAndWrapText/0   a 1 MB text of ordinary lines (Korean and English)
//   BM_LoadAndWrapText/1   the same megabyte as one single line (every display
//                          line is cut out of it)
//   BM_MeterFrame/0        a still frame (meter inactive)
//   BM_MeterFrame/1        an animated frame (bars moving, drop blocks bobbing)
// Both meter frames blend the bars at 0.7 over the tiled wood picture, as the
// practice screen does.

#include "app/MediaPath.h"
#include "typing/SentenceImageList.h"
#include "typing/SentenceText.h"
#include "typing/VelmarMeter.h"

#include <benchmark/benchmark.h>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

namespace {

QString WriteMegabyteText(const QTemporaryDir& dir, bool oneLine) {
    const QString korean =
        QStringLiteral("동해 물과 백두산이 마르고 닳도록 하느님이 보우하사 우리나라 만세.");
    const QString english =
        QStringLiteral("The quick brown fox jumps over the lazy dog while the keys click on.");
    QByteArray bytes;
    for (int i = 0; bytes.size() < 1024 * 1024; ++i) {
        bytes += (i % 2 == 0 ? korean : english).toUtf8();
        bytes += oneLine ? " " : "\n";
    }
    const QString path = dir.filePath(oneLine ? "one-line.txt" : "lines.txt");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

void BM_LoadAndWrapText(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteMegabyteText(dir, state.range(0) == 1);
    TSentenceText text;
    // A 22-point bold face on a 1920-pixel screen: W is about 15 pixels.
    for (auto _ : state) {
        text.Load(path, 15, 1920 - 230);
        benchmark::DoNotOptimize(text.Lines().size());
    }
    state.counters["display_lines"] = double(text.Lines().size());
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_LoadAndWrapText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MeterFrame(benchmark::State& state) {
    TSentenceImageList images;
    images.Load(QStringLiteral("1") + MediaPath(QStringLiteral("Images/best_wood.jpg")), QImage());

    TVelmarMeter meter;
    meter.resize(300, 700);
    QFont font(QStringLiteral("굴림체"));
    font.setPixelSize(16);
    font.setBold(true);
    meter.setFont(font);
    meter.SetMarginLeft(0);
    meter.SetMarginRight(20);
    meter.SetMarginbotton(1);
    meter.SetShowAxis(false);
    meter.SetSortWhenAdd(false);
    meter.SetMaxBlockCount(800);
    meter.SetBlockDepth(3);
    meter.SetDrawBlockDivider(true);
    meter.SetDrawGradientChunkIn3D(true);
    meter.SetBlockOrangeColor(1040697);
    meter.SetBlockRedColor(3947775);
    meter.SetBlockBlueColor(15836942);
    meter.SetColor(clWindow);
    meter.SetUseBackGroundImage(true);
    meter.SetBlendAlpha(0.7);
    meter.OnPaintBackGroundImage = [&images](TVelmarMeter*, QImage& image, bool&) {
        QPainter painter(&image);
        images.Paint(painter, image.rect(), 0, Qt::white);
    };
    TVelmarSeries* best = meter.AddSeries(QStringLiteral("MaxBar"), QStringLiteral("최고"));
    TVelmarSeries* average = meter.AddSeries(QStringLiteral("AvgBar"), QStringLiteral("평균"));
    TVelmarSeries* current = meter.AddSeries(QStringLiteral("CurrBar"), QStringLiteral("현재"));
    best->SetRedValue(612);
    average->SetOrangeValue(455);
    current->SetBlueValue(380);
    meter.PrintImage();

    const bool animated = state.range(0) == 1;
    meter.SetActive(animated); // no events are processed here: the timer never ticks
    int frame = 0;
    for (auto _ : state) {
        if (animated)
            current->SetBlueValue(++frame % 2 == 0 ? 100 : 700); // keeps the bar moving
        benchmark::DoNotOptimize(meter.PrintImage().constBits());
    }
    meter.SetActive(false);
}
BENCHMARK(BM_MeterFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
