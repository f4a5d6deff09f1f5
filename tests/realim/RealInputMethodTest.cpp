// Korean typed through a real desktop input method (ibus with ibus-hangul,
// or fcitx5 with fcitx5-hangul). tests/realim/run_real_im.sh starts the X
// server, the D-Bus session and the input method, and runs this program with
// QT_IM_MODULE pointing Qt at that method; the keys are sent with xdotool, so
// they travel the way a learner's keys do: X server, Qt, the input method
// over D-Bus, and back to the widget as input-method events.

#include "app/SettingsStore.h"
#include "games/GameForm.h"
#include "games/ScoreForm.h"
#include "platform/InputComposer.h"
#include "shell/BorderLabel.h"
#include "TestSupport.h"
#include "typing/SentenceForm.h"
#include "typing/SentencePractice.h"

#include <cstdio>
#include <deque>
#include <gtest/gtest.h>
#include <ostream>
#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

namespace {

// Sends X key presses to the focused window, `delayMs` apart, while this
// program's event loop keeps running (the method's answers arrive over
// D-Bus while the keys are still being sent). False when xdotool failed.
bool SendKeys(const QStringList& keys, int delayMs = 60) {
    QProcess xdotool;
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"),
                          QString::number(delayMs)};
    arguments += keys;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    if (!xdotool.waitForStarted(5000))
        return false;
    const bool finished =
        QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 20000);
    return finished && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

// Keys that switch the method to Hangul in a freshly focused box, from the
// driver script (none when the method starts in Hangul).
QStringList SwitchKeys() {
    const QString keys = qEnvironmentVariable("RAVLIN_IM_SWITCH_KEYS");
    return keys.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Makes `window` the active window and `box` the focused widget, and gives
// the method the moment it needs to attach an input context to it.
bool FocusBox(QWidget* window, QWidget* box) {
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window, 5000))
        return false;
    box->setFocus(Qt::OtherFocusReason);
    QTest::qWait(400);
    if (!SwitchKeys().isEmpty() && !SendKeys(SwitchKeys()))
        return false;
    QTest::qWait(200);
    return box->hasFocus();
}

std::vector<int> HitCountsOf(const TSentence& line) {
    std::vector<int> counts;
    for (qsizetype i = 0; i < line.typed.size(); ++i)
        counts.push_back(line.hitCounts.at(i).unicode());
    return counts;
}

// A practice page typed on a Dubeolsik keyboard: its text, the X key names
// that type it, and the keystrokes each character costs.
struct TPage {
    const char* Name;
    QString Text;
    QString Keys;
    std::vector<int> Counts;
};

const TPage kPages[] = {
    {"HangulHangul",
     QStringLiteral("한글 한글"),
     QStringLiteral("g k s r m f space g k s r m f"),
     {3, 3, 1, 3, 3}},
    // The ㄴ of 한 moves on to 나; 닭 has a double final.
    {"HanaDak", QStringLiteral("하나 닭"), QStringLiteral("g k s k space e k f r"), {2, 2, 1, 4}},
    // A tense initial is one key with Shift, which never counts.
    {"Kkeut", QStringLiteral("끝"), QStringLiteral("R m x"), {3}},
};

// One page in sentence practice, from a text file named `fileName`. The file
// holds the page and one more word, so that the space after the page's last
// syllable (which finishes it, as on any page) stays on the line.
struct TPracticePage {
    TScopedSettingsDir Settings;
    QTemporaryDir Root;
    TScopedAppDir App{Root.path()};
    QPointer<TSentenceForm> Form;

    TPracticePage(const TPage& page, const QString& fileName,
                  TInputMethodChoice hangulInput = imcAuto) {
        const QString path = Root.filePath(QStringLiteral("Text/") + fileName);
        EXPECT_TRUE(WriteFileBytes(path, (page.Text + QStringLiteral(" 끝")).toUtf8()));
        LoadSentenceSetup();
        SentenceSetup.FontSize = 12;
        SentenceSetup.UseSound = false;
        SentenceSetup.HangulInput = hangulInput;
        Form = new TSentenceForm(nullptr);
        Form->SetWorkArea(QRect(0, 0, 1024, 768));
        Form->StartExercise(1, path);
    }
    ~TPracticePage() {
        if (Form)
            Form->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const TSentence& Line() const { return *Form->SenEx->Model().Sentence(0); }
};

// Names the page in test output instead of dumping its bytes.
void PrintTo(const TPage& page, std::ostream* out) {
    *out << page.Name;
}

class TRealInputMethodPages : public testing::TestWithParam<TPage> {};

// Sentence practice of a text without "[한글]" in its name, so that only the
// desktop method composes: every syllable costs the keys that built it, as
// it does with the built-in composer (a "[한글]" text, the same keys sent to
// the practice control directly, past the desktop method).
TEST_P(TRealInputMethodPages, MethodCountsTheKeysAsTheBuiltInComposerDoes) {
    const TPage& page = GetParam();
    const QString expectedText = page.Text + QLatin1Char(' ');
    std::vector<int> expectedCounts = page.Counts;
    expectedCounts.push_back(1);
    const QStringList keys =
        page.Keys.split(QLatin1Char(' ')) + QStringList{QStringLiteral("space")};

    std::vector<int> builtIn;
    {
        // The learner's choice "내장 입력기": the desktop method is refused.
        TPracticePage practice(page, QStringLiteral("[한글] page.txt"), imcBuiltIn);
        ASSERT_FALSE(practice.Form->Closed());
        practice.Form->show(); // the input language is chosen when the page is shown
        ASSERT_EQ(practice.Form->SenEx->TypingLang(), tlNative);
        for (const QString& key : keys) {
            if (key == QLatin1String("space"))
                QTest::keyClick(practice.Form->SenEx, Qt::Key_Space);
            else
                QTest::keyClick(practice.Form->SenEx, key.at(0).toLatin1(),
                                key.at(0).isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
        EXPECT_EQ(practice.Line().typed, expectedText);
        builtIn = HitCountsOf(practice.Line());
        std::printf("built-in composer: %s\n", qPrintable(practice.Form->SenEx->HitCountReport()));
    }
    EXPECT_EQ(builtIn, expectedCounts);

    TPracticePage practice(page, QStringLiteral("page.txt"));
    ASSERT_FALSE(practice.Form->Closed());
    ASSERT_TRUE(FocusBox(practice.Form, practice.Form->SenEx));
    EXPECT_EQ(practice.Form->SenEx->TypingLang(), tlEng); // the built-in composer stays out
    ASSERT_TRUE(SendKeys(keys));
    (void)QTest::qWaitFor([&] { return practice.Line().typed == expectedText; }, 5000);
    // The stored counts, for the record of a run by hand.
    std::printf("%s: %s\n", qPrintable(qEnvironmentVariable("QT_IM_MODULE")),
                qPrintable(practice.Form->SenEx->HitCountReport()));
    EXPECT_EQ(practice.Line().typed, expectedText);
    EXPECT_EQ(HitCountsOf(practice.Line()), expectedCounts);
    EXPECT_EQ(HitCountsOf(practice.Line()), builtIn);
}

// A "[한글]" text under the method, with the choice left automatic: the
// built-in composer stays off (it used to switch on and compose whatever the
// method let through), the method composes, and the indicator shows Hangul.
TEST(RealInputMethod, AKoreanTextLeavesTheHangulToTheMethod) {
    const TPage& page = kPages[0];
    TPracticePage practice(page, QStringLiteral("[한글] page.txt"));
    ASSERT_FALSE(practice.Form->Closed());
    ASSERT_TRUE(FocusBox(practice.Form, practice.Form->SenEx));
    EXPECT_EQ(practice.Form->SenEx->TypingLang(), tlEng);
    const QStringList keys =
        page.Keys.split(QLatin1Char(' ')) + QStringList{QStringLiteral("space")};
    ASSERT_TRUE(SendKeys(keys));
    const QString expectedText = page.Text + QLatin1Char(' ');
    (void)QTest::qWaitFor([&] { return practice.Line().typed == expectedText; }, 5000);
    EXPECT_EQ(practice.Line().typed, expectedText);
    std::vector<int> expectedCounts = page.Counts;
    expectedCounts.push_back(1);
    EXPECT_EQ(HitCountsOf(practice.Line()), expectedCounts);
    EXPECT_EQ(practice.Form->SenEx->TypingLang(), tlEng);
    EXPECT_EQ(practice.Form->SenEx->Composer().InputModeLabel(), QStringLiteral("가"));
}

INSTANTIATE_TEST_SUITE_P(RealInputMethod, TRealInputMethodPages, testing::ValuesIn(kPages),
                         [](const testing::TestParamInfo<TPage>& info) {
                             return std::string(info.param.Name);
                         });

// The Clockwig answer box: a Korean word composed by the method and ended by
// Space fixes its label. The built-in composer is switched off so that only
// the method can have composed it.
TEST(RealInputMethod, ClockwigAnswerBoxTakesAWordComposedByTheMethod) {
    TScopedSettingsDir settings;
    std::deque<int> random;
    QPointer<TGameForm> form = new TGameForm([&](int n) {
        if (random.empty())
            return n - 1;
        const int v = random.front();
        random.pop_front();
        return v;
    });
    form->SetLevel(1);
    form->SetLanguage(0);
    form->SetRotation(NoRotation);
    form->SetSoundOff(true);
    form->SetTimerInterval();
    form->show();
    form->GameTimer(ctShowClock)->stop();
    form->GameTimer(ctProblemClock)->stop();
    form->Composer()->SetTypingLang(tlEng);

    random = {16, 3, 8}; // "우유" on label 9
    form->Game().ProblemClockTimer();
    ASSERT_EQ(form->WordLabel(9)->Caption(), QStringLiteral("우유"));
    ASSERT_TRUE(FocusBox(form, form->AnswerBox()));
    ASSERT_TRUE(SendKeys({QStringLiteral("d"), QStringLiteral("n"), QStringLiteral("d"),
                          QStringLiteral("b"), QStringLiteral("space")}));
    (void)QTest::qWaitFor([&] { return form->WordLabel(9)->Caption() == QStringLiteral("9"); },
                          5000);
    EXPECT_EQ(form->WordLabel(9)->Caption(), QStringLiteral("9"));
    EXPECT_EQ(form->Game().Score(), 1 + 2);
    EXPECT_TRUE(form->AnswerBox()->text().isEmpty());
    form->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The high-score name prompt: a Hangul name typed through the method and
// confirmed with Enter is the name given back.
TEST(RealInputMethod, ScoreNamePromptTakesAHangulName) {
    TScopedSettingsDir settings;
    TScoreForm board;
    bool typed = false;
    QString shownBeforeEnter;
    QTimer::singleShot(0, [&] {
        QInputDialog* prompt = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                return prompt != nullptr;
            },
            5000);
        if (!prompt)
            return;
        auto* edit = prompt->findChild<QLineEdit*>();
        if (edit && FocusBox(prompt, edit) &&
            SendKeys({QStringLiteral("g"), QStringLiteral("k"), QStringLiteral("s"),
                      QStringLiteral("r"), QStringLiteral("m"), QStringLiteral("f")})) {
            QTest::qWait(300);
            shownBeforeEnter = edit->text();
            typed = SendKeys({QStringLiteral("Return")});
        }
        // Whatever happened, the prompt must not stay open.
        QTest::qWait(500);
        if (QApplication::activeModalWidget() == prompt)
            prompt->reject();
    });
    const std::optional<QString> name = board.AskName();
    EXPECT_TRUE(typed);
    ASSERT_TRUE(name.has_value()) << "shown before Enter: " << qPrintable(shownBeforeEnter);
    EXPECT_EQ(*name, QStringLiteral("한글"));
}

} // namespace
