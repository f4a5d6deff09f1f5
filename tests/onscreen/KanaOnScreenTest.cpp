// The sentence practice screen typing a Japanese text with the built-in kana
// input, as the X server shows it.

#include "app/SettingsStore.h"
#include "ModalAnswerer.h"
#include "ScreenCapture.h"
#include "TestSupport.h"
#include "typing/SentenceForm.h"
#include "typing/SentencePractice.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

TEST(OnScreen, KanaBeingComposedReachesTheScreen) {
    TScopedSettingsDir settings;
    QTemporaryDir root;
    TScopedAppDir app(root.path());
    TModalAnswerer answerer;
    QDir(root.path()).mkpath(QStringLiteral("Text"));
    const QString path = root.filePath(QStringLiteral("Text/(일본어) えき.txt"));
    ASSERT_TRUE(WriteFileBytes(path, QStringLiteral("えきまえのカフェで、ごごに。").toUtf8()));
    LoadSentenceSetup();
    SentenceSetup.FontSize = 20;
    SentenceSetup.UseSound = false;

    QPointer<TSentenceForm> form = new TSentenceForm(nullptr);
    form->SetWorkArea(QRect(0, 0, 1400, 900));
    form->StartExercise(1, path);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    TSentencePractice* practice = form->SenEx;
    practice->SetTypingLang(tlNative);
    // え き ま え の, then カ waiting for a possible mark.
    QTest::keyClicks(practice, "5gj5k");
    QTest::keyClick(practice, Qt::Key_F7);
    QTest::keyClicks(practice, "t");
    ASSERT_EQ(practice->Model().Sentence(0)->typed, QStringLiteral("えきまえの"));
    ASSERT_EQ(practice->Model().ComposingChar(), u'カ');

    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 800)
        QTest::qWait(20);
    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    const QRect onScreen(practice->mapToGlobal(QPoint(0, 0)), practice->size());
    const QImage shown = screen.copy(onScreen);
    const QImage drawn = practice->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), drawn.size());
    // The lines reach the screen as drawn (the caret may blink in between:
    // it stays within one grid cell's average).
    EXPECT_LT(LargestCellDifference(shown, drawn, 6), 12.0);
    EXPECT_GT(StatsOf(shown, shown.rect()).LumaDeviation, 5.0);

    // The waiting カ sits after the typed text in inverse video: a cell
    // filled with the dark font colour.
    const TSentence& line = *practice->Model().Sentence(0);
    const int h = practice->CharHeight();
    const int typedY = practice->TextOffsetY() + 2 + h + practice->LineSpace();
    const int x = 2 + practice->fontMetrics().horizontalAdvance(line.typed);
    const TRegionStats cell = StatsOf(shown, QRect(x + 1, typedY + 1, h / 2, h - 2));
    EXPECT_LT(cell.MeanRed + cell.MeanGreen + cell.MeanBlue, 3 * 110.0);
    form->close();
}
