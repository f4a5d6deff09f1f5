// The input mode indicator (가 / A) as the X server shows it: beside the
// typed line of sentence practice, with the notice how to get back to
// Hangul, and inside the Clockwig answer box.

#include "app/SettingsStore.h"
#include "games/GameForm.h"
#include "ImageTestSupport.h"
#include "ModalAnswerer.h"
#include "platform/InputModeBadge.h"
#include "ScreenCapture.h"
#include "TestSupport.h"
#include "typing/SentenceForm.h"
#include "typing/SentencePractice.h"
#include "typing/SentenceSetupForm.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(20);
}

bool Near(QRgb p, const QColor& c, int tolerance = 30) {
    return std::abs(qRed(p) - c.red()) < tolerance && std::abs(qGreen(p) - c.green()) < tolerance &&
           std::abs(qBlue(p) - c.blue()) < tolerance;
}

// A badge on screen: mostly its colour, with white writing inside.
void ExpectBadge(const QImage& screen, const QRect& onScreen, bool native, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(screen.rect().contains(onScreen));
    const QColor colour = TInputModeBadge::BackgroundColor(native);
    const QColor other = TInputModeBadge::BackgroundColor(!native);
    const int area = onScreen.width() * onScreen.height();
    EXPECT_GT(CountPixels(screen, onScreen, [&](QRgb p) { return Near(p, colour); }), area / 2);
    EXPECT_LT(CountPixels(screen, onScreen, [&](QRgb p) { return Near(p, other, 12); }), area / 20);
    EXPECT_GT(CountPixels(screen, onScreen, [](QRgb p) { return qGray(p) > 235; }), area / 20);
}

// The 한/영 key (QTest cannot click it: it has no ASCII text).
void PressHangulKey(QWidget* widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Hangul, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Hangul, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

void SaveShot(const QImage& image, const QString& name) {
    const QString dir = qEnvironmentVariable("RAVLIN_SHOT_DIR");
    if (!dir.isEmpty())
        image.save(dir + QLatin1Char('/') + name);
}

} // namespace

TEST(OnScreen, SentencePracticeShowsTheInputModeAndTheSwitchBackNotice) {
    TScopedSettingsDir settings;
    QTemporaryDir root;
    TScopedAppDir app(root.path());
    ASSERT_TRUE(WriteFileBytes(root.filePath("Text/[한글] mode.txt"),
                               QStringLiteral("한글 한글\n하나 닭\n").toUtf8()));
    TModalAnswerer answerer;
    LoadSentenceSetup();
    SentenceSetup.UseSound = false;
    SentenceSetup.HangulInput = imcBuiltIn; // whatever the test machine has set up

    QPointer<TSentenceForm> form = new TSentenceForm(nullptr);
    form->SetWorkArea(QRect(0, 0, 1600, 1000));
    form->StartExercise(1, root.filePath("Text/[한글] mode.txt"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->activateWindow();
    TSentencePractice* practice = form->SenEx;
    ASSERT_EQ(practice->TypingLang(), tlNative);
    QTest::keyClicks(practice, "gks");
    Settle(400);
    QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    SaveShot(screen, QStringLiteral("input_mode_sentence_hangul.png"));
    const QRect badge(practice->mapToGlobal(practice->InputModeRect().topLeft()),
                      practice->InputModeRect().size());
    ExpectBadge(screen, badge, true, "가 beside the typed line");

    // The learner leaves Hangul and types on: the letter is held back, the
    // badge turns to A and the notice shows after the caret.
    PressHangulKey(practice);
    QTest::keyClicks(practice, "rmf");
    EXPECT_EQ(practice->Model().Sentence(0)->typed, QStringLiteral("한"));
    ASSERT_TRUE(practice->SwitchBackNotice().Visible());
    Settle(400);
    screen = CaptureScreen();
    SaveShot(screen, QStringLiteral("input_mode_sentence_notice.png"));
    ExpectBadge(screen, badge, false, "A beside the typed line");
    const QRect notice(practice->mapToGlobal(practice->NoticeRect().topLeft()),
                       practice->NoticeRect().size());
    const QRect inside = notice.adjusted(3, 3, -3, -3);
    EXPECT_GT(CountPixels(screen, inside, [](QRgb p) { return Near(p, QColor(0xff, 0xf1, 0xb8)); }),
              inside.width() * inside.height() / 2);
    EXPECT_GT(CountPixels(screen, inside, [](QRgb p) { return qGray(p) < 100; }), 60);
    // No red on the typed line: nothing wrong was typed.
    const QRect typed(practice->mapToGlobal(QPoint(0, practice->TypedLineTop(0))),
                      QSize(practice->CaretRect().left(), practice->CharHeight()));
    EXPECT_EQ(CountPixels(screen, typed,
                          [](QRgb p) { return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90; }),
              0);

    // Back to Hangul: the notice goes.
    PressHangulKey(practice);
    QTest::keyClicks(practice, "rmf");
    EXPECT_FALSE(practice->SwitchBackNotice().Visible());
    Settle(300);
    screen = CaptureScreen();
    EXPECT_LT(CountPixels(screen, inside, [](QRgb p) { return Near(p, QColor(0xff, 0xf1, 0xb8)); }),
              inside.width() * inside.height() / 10);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(OnScreen, ClockwigAnswerBoxShowsTheInputMode) {
    TScopedSettingsDir settings;
    QPointer<TGameForm> form = new TGameForm([](int n) { return n - 1; });
    form->SetLevel(1);
    form->SetLanguage(0);
    form->SetRotation(NoRotation);
    form->SetSoundOff(true);
    form->SetTimerInterval();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->GameTimer(ctShowClock)->stop();
    form->GameTimer(ctProblemClock)->stop();
    form->Composer()->SetDesktopInputMethodRequested(false);
    form->Composer()->SetTypingLang(tlNative);
    form->activateWindow();
    form->AnswerBox()->setFocus();
    QTest::keyClicks(form->AnswerBox(), "dn");
    Settle(400);
    TInputModeBadge* badge = form->InputModeBadge();
    ASSERT_NE(badge, nullptr);
    const QRect onScreen(badge->mapToGlobal(QPoint(0, 0)), badge->size());
    // Inside the box, at its right end.
    const QRect box(form->AnswerBox()->mapToGlobal(QPoint(0, 0)), form->AnswerBox()->size());
    EXPECT_TRUE(box.contains(onScreen));
    EXPECT_GT(onScreen.left(), box.center().x());
    QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    SaveShot(screen, QStringLiteral("input_mode_clockwig_hangul.png"));
    ExpectBadge(screen, onScreen, true, "가 in the answer box");
    EXPECT_EQ(form->Composer()->ComposingChar(), QChar(u'우'));

    form->Composer()->SetTypingLang(tlEng);
    Settle(300);
    screen = CaptureScreen();
    SaveShot(screen, QStringLiteral("input_mode_clockwig_latin.png"));
    ExpectBadge(screen, onScreen, false, "A in the answer box");
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(OnScreen, SentenceSetupShowsTheHangulInputChoice) {
    TScopedSettingsDir settings;
    QTemporaryDir root;
    TScopedAppDir app(root.path());
    ASSERT_TRUE(WriteFileBytes(root.filePath("Text/plain.txt"), "abc\n"));
    TModalAnswerer answerer;
    TSentenceSetupForm dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Settle(400);
    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    SaveShot(screen, QStringLiteral("sentence_setup_hangul_input.png"));
    QComboBox* choice = dialog.cbHangulInput;
    ASSERT_TRUE(choice->isVisible());
    EXPECT_EQ(choice->currentText(), QStringLiteral("자동"));
    const QRect onScreen(choice->mapToGlobal(QPoint(0, 0)), choice->size());
    const QRect window(dialog.mapToGlobal(QPoint(0, 0)), dialog.size());
    EXPECT_TRUE(window.contains(onScreen));
    // Its caption is written in it, and it does not lie over the buttons.
    EXPECT_GT(CountPixels(screen, onScreen.adjusted(4, 4, -20, -4),
                          [](QRgb p) { return qGray(p) < 110; }),
              20);
    EXPECT_FALSE(choice->geometry().intersects(dialog.btnStart->geometry()));
    EXPECT_FALSE(choice->geometry().intersects(dialog.chkUseSound->geometry()));
}
