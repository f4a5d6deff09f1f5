// The sentence practice screen as the X server shows it: the accuracy badges
// above the speed bars.

#include "app/SettingsStore.h"
#include "ImageTestSupport.h"
#include "ModalAnswerer.h"
#include "ScreenCapture.h"
#include "shell/BorderLabel.h"
#include "TestSupport.h"
#include "typing/SentenceForm.h"
#include "typing/SentencePractice.h"
#include "typing/VelmarMeter.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>

TEST(OnScreen, SentencePracticeShowsPageAndAverageAccuracyAboveTheBars) {
    TScopedSettingsDir settings;
    QTemporaryDir root;
    TScopedAppDir app(root.path());
    ASSERT_TRUE(WriteFileBytes(root.filePath("Text/acc.txt"), "abcde\nfghij\nklmno\n"));
    TModalAnswerer answerer;
    LoadSentenceSetup();
    SentenceSetup.UseSound = false;

    quint32 now = 100000;
    QPointer<TSentenceForm> form = new TSentenceForm(nullptr, [&now] { return now; });
    form->SetWorkArea(QRect(0, 0, 1600, 1000));
    form->StartExercise(1, root.filePath("Text/acc.txt"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->activateWindow();
    // One wrong letter of five ends the first page at 80 %.
    for (char c : QByteArray("abxde")) {
        QTest::keyClick(form->SenEx, c);
        now += 200;
    }
    QTest::keyClick(form->SenEx, Qt::Key_Return);
    ASSERT_EQ(form->AccuracyLabel->Caption(), QStringLiteral("정확도 80.0%"));

    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QTest::qWait(20);
    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    const QImage meter =
        screen.copy(QRect(form->SpeedMeter->mapToGlobal(QPoint(0, 0)), form->SpeedMeter->size()));

    auto near = [](QRgb p, QColor c) {
        return std::abs(qRed(p) - c.red()) < 40 && std::abs(qGreen(p) - c.green()) < 40 &&
               std::abs(qBlue(p) - c.blue()) < 40;
    };
    // Each badge: a white rounded box framed in its bar's colour, with dark
    // writing inside, above the bars.
    for (TBorderLabel* badge : {form->AccuracyLabel, form->AvgAccuracyLabel}) {
        const QRect box = badge->geometry();
        EXPECT_LE(box.bottom(), form->SpeedMeter->MarginTop());
        const QColor frame = ToQColor(badge->BorderColor());
        EXPECT_GT(CountPixels(meter, box, [&](QRgb p) { return near(p, frame); }), 2 * box.width())
            << badge->Caption().toStdString();
        const QRect inside = box.adjusted(6, 6, -6, -6);
        EXPECT_GT(CountPixels(meter, inside, [](QRgb p) { return qGray(p) > 245; }),
                  inside.width() * inside.height() / 2);
        EXPECT_GT(CountPixels(meter, inside, [](QRgb p) { return qGray(p) < 90; }), 40);
    }
    // The bars are still drawn below them.
    const QRect bars(0, form->SpeedMeter->MarginTop() + 2, meter.width(),
                     meter.height() - form->SpeedMeter->MarginTop() - 2);
    EXPECT_GT(StatsOf(meter, bars).LumaDeviation, 10.0);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
