// The history window as a learner sees it after some practice: the curve in
// the chart and the keyboard shaded per key, read back from the X server.

#include "history/HistoryDatabase.h"
#include "history/HistoryForm.h"
#include "history/HistoryKeyboardView.h"
#include "ScreenCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QChartView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// Four weeks of sentence practice on 두벌식: speed rising, ㅢ and ㄲ often
// wrong and slow, the rest mostly right.
void FillHistory(const QString& path, qint64 now) {
    THistoryDatabase db(path);
    const qint64 day = 24LL * 60 * 60 * 1000;
    const QString jamo = QStringLiteral("ㅂㅈㄷㄱㅅㅁㄴㅇㄹㅎㅗㅓㅏㅣㅋㅌㅊㅍㅠㅜㅡ");
    for (int i = 0; i < 28; ++i) {
        THistorySession s;
        s.Activity = haSentence;
        s.Ended = now - (27 - i) * day;
        s.Started = s.Ended - 300000;
        s.Source = QStringLiteral("애국가.txt");
        s.Pages = 3;
        s.Speed = 120 + i * 6 + (i % 3) * 9;
        s.Accuracy = 0.86 + i * 0.004;
        THistoryKeyFacts facts;
        for (int k = 0; k < jamo.size(); ++k)
            facts.push_back({hfJamo, QString(jamo[k]), -1, 1, (k + i) % 17 == 0, 240 + k * 6});
        for (int k = 0; k < 3; ++k) {
            facts.push_back({hfJamo, QStringLiteral("ㅢ"), -1, 2, k != 2, 900});
            facts.push_back({hfJamo, QStringLiteral("ㄲ"), -1, 1, k == 0, 700});
        }
        db.RecordSession(s, facts);
    }
}

} // namespace

TEST(OnScreen, HistoryWindowShowsTheCurveAndTheShadedKeyboard) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    const qint64 now = 1'800'000'000'000LL;
    FillHistory(path, now);

    THistoryForm form(nullptr, haSentence, 1, path, [now] { return now; });
    form.move(40, 40);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(600);

    ASSERT_EQ(form.SessionsShown().size(), 28u);
    ASSERT_GE(form.WeakList->topLevelItemCount(), 2);
    EXPECT_EQ(form.WeakList->topLevelItem(0)->text(0), "ㅢ");
    EXPECT_EQ(form.WeakList->topLevelItem(1)->text(0), "ㄲ");

    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull());
    screen.save(QStringLiteral("/tmp/ravlin-history-onscreen.png"));
    const QRect window = FindWindowOnScreen(QStringLiteral("기록"));
    ASSERT_TRUE(window.isValid());

    // The chart: the speed line is drawn in blue over a light plot area.
    const QRect chart(form.ChartView->mapToGlobal(QPoint(0, 0)), form.ChartView->size());
    int blue = 0;
    for (int y = chart.top(); y < chart.bottom(); y += 2)
        for (int x = chart.left(); x < chart.right(); x += 2) {
            const QColor c = screen.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 90 && c.green() < 140)
                ++blue;
        }
    EXPECT_GT(blue, 80) << "no speed curve on screen";

    // The keyboard: ㅂ (Q key) is green, and the key of ㄲ (shifted R) is
    // shaded towards red; control keys are grey.
    const THistoryKeyboardView& view = *form.KeyboardView;
    auto keyColour = [&](int index) {
        const QRect r = view.KeyRect(index);
        const QRect onScreen(view.mapToGlobal(r.topLeft()) + QPoint(r.width() - 14, 4),
                             QSize(10, 8));
        const TRegionStats st = StatsOf(screen, onScreen);
        return QColor(int(st.MeanRed), int(st.MeanGreen), int(st.MeanBlue));
    };
    int qKey = -1, rKey = -1;
    for (int i = 0; i < kKeyCount; ++i) {
        if (PhysicalKey(i).Key == 'Q')
            qKey = i;
        if (PhysicalKey(i).Key == 'R')
            rKey = i;
    }
    ASSERT_GE(qKey, 0);
    ASSERT_GE(rKey, 0);
    const QColor good = keyColour(qKey);
    const QColor weak = keyColour(rKey);
    EXPECT_GT(good.green(), good.red()) << good.name().toStdString();
    EXPECT_GT(weak.red(), weak.green()) << weak.name().toStdString();
    EXPECT_GT(weak.red() - weak.green(), good.red() - good.green() + 40);
}
