// One composer at a time: which of the built-in composer and a desktop input
// method writes Hangul, and the input mode an answer box shows.
#include "platform/InputComposer.h"
#include "platform/InputModeBadge.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

bool Press(TInputComposer& composer, int key, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    return composer.HandleKeyPress(&event);
}

bool TypeLetter(TInputComposer& composer, char letter) {
    return Press(composer, QTest::asciiToKey(letter), QString(QLatin1Char(letter)));
}

void Ime(TInputComposer& composer, const QString& preedit, const QString& commit = {}) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    composer.HandleInputMethodEvent(&event);
}

// A composer as a machine without a desktop input method set up has it.
struct TComposer : TInputComposer {
    TComposer() { SetDesktopInputMethodRequested(false); }
};

} // namespace

TEST(InputMethodChoice, AutomaticUsesTheBuiltInComposerOnlyWithoutADesktopMethod) {
    {
        TComposer c;
        c.SetTypingLang(tlNative); // a "[한글]" text
        EXPECT_EQ(c.TypingLang(), tlNative);
        EXPECT_TRUE(TypeLetter(c, 'g'));
        EXPECT_EQ(c.InputModeLabel(), QStringLiteral("가"));
        EXPECT_TRUE(c.AcceptsDesktopInput());
    }
    {
        // A desktop method is set up: the program's request is ignored, so
        // the keys it lets through (it is in Latin mode) stay Latin.
        TComposer c;
        c.SetDesktopInputMethodRequested(true);
        c.SetTypingLang(tlNative);
        EXPECT_EQ(c.TypingLang(), tlEng);
        EXPECT_FALSE(TypeLetter(c, 'g'));
        EXPECT_EQ(c.InputModeLabel(), QStringLiteral("A"));
        // The Hangul key reaching the widget means no running method took
        // it: the learner turns the built-in composer on.
        EXPECT_TRUE(Press(c, Qt::Key_Hangul));
        EXPECT_EQ(c.TypingLang(), tlNative);
        EXPECT_TRUE(TypeLetter(c, 'g'));
    }
}

// The fault this fixes: a "[한글]" text switched the built-in composer on
// under a desktop method, and after the method left Hangul (ibus-hangul on
// Escape) the built-in composer silently composed, with no key to stop it.
TEST(InputMethodChoice, ADesktopMethodComposingSwitchesTheBuiltInComposerOff) {
    TComposer c;
    c.SetKoreanText(true);
    c.SetTypingLang(tlNative);
    QSignalSpy modes(&c, &TInputComposer::InputModeChanged);
    Ime(c, QStringLiteral("ㅎ"));
    EXPECT_TRUE(c.DesktopInputMethodActive());
    EXPECT_EQ(c.TypingLang(), tlEng);
    EXPECT_EQ(c.InputMode(), tlNative); // the method composes Hangul
    Ime(c, QStringLiteral("하"));
    Ime(c, QString());
    Ime(c, QString(), QStringLiteral("하"));
    EXPECT_EQ(c.InputModeLabel(), QStringLiteral("가"));
    // The method left Hangul: letters come through, and stay Latin.
    EXPECT_FALSE(TypeLetter(c, 'g'));
    EXPECT_FALSE(c.IsComposing());
    EXPECT_EQ(c.InputModeLabel(), QStringLiteral("A"));
    // Back in Hangul: the method's next pre-edit shows it.
    Ime(c, QStringLiteral("ㅎ"));
    EXPECT_EQ(c.InputModeLabel(), QStringLiteral("가"));
    // 가 (built-in on, then off, the method shows Hangul all along: no
    // change), A, 가.
    EXPECT_EQ(modes.count(), 2);
    // A program request cannot switch it back on.
    c.SetTypingLang(tlNative);
    EXPECT_EQ(c.TypingLang(), tlEng);
}

TEST(InputMethodChoice, SystemChoiceNeverComposesAndLeavesTheToggleKeys) {
    TComposer c;
    c.SetTypingLang(tlNative);
    c.SetInputMethodChoice(imcSystem);
    EXPECT_EQ(c.TypingLang(), tlEng); // choosing it switches ours off
    c.SetKoreanText(true);
    EXPECT_FALSE(Press(c, Qt::Key_Hangul));
    c.SetTypingLang(tlNative);
    EXPECT_EQ(c.TypingLang(), tlEng);
    EXPECT_FALSE(TypeLetter(c, 'g'));
    EXPECT_TRUE(c.AcceptsDesktopInput());
}

TEST(InputMethodChoice, BuiltInChoiceKeepsTheBuiltInComposerUnderADesktopMethod) {
    TComposer c;
    c.SetInputMethodChoice(imcBuiltIn);
    c.SetDesktopInputMethodRequested(true);
    c.SetDesktopInputMethodActive(true);
    EXPECT_FALSE(c.AcceptsDesktopInput());
    c.SetTypingLang(tlNative);
    EXPECT_EQ(c.TypingLang(), tlNative);
    // Its toggle keys are its own, whatever the desktop method did before.
    EXPECT_TRUE(Press(c, Qt::Key_Hangul));
    EXPECT_EQ(c.TypingLang(), tlEng);
    EXPECT_TRUE(Press(c, Qt::Key_Hangul));
    EXPECT_TRUE(TypeLetter(c, 'g'));
    EXPECT_EQ(c.ComposingChar(), QChar(u'ㅎ'));
    // An unknown stored value is automatic.
    c.SetInputMethodChoice(TInputMethodChoice(7));
    EXPECT_EQ(c.InputMethodChoice(), imcAuto);
    EXPECT_EQ(c.TypingLang(), tlEng);
}

TEST(InputMethodChoice, EnvironmentNamesAComposingModule) {
    const QByteArray savedModule = qgetenv("QT_IM_MODULE");
    const QByteArray savedModules = qgetenv("QT_IM_MODULES");
    qunsetenv("QT_IM_MODULES");
    qputenv("QT_IM_MODULE", "ibus");
    EXPECT_TRUE(TInputComposer::DesktopInputMethodInEnvironment());
    qputenv("QT_IM_MODULE", "compose");
    EXPECT_FALSE(TInputComposer::DesktopInputMethodInEnvironment());
    qputenv("QT_IM_MODULES", "compose;fcitx");
    EXPECT_TRUE(TInputComposer::DesktopInputMethodInEnvironment());
    qunsetenv("QT_IM_MODULE");
    qunsetenv("QT_IM_MODULES");
    EXPECT_FALSE(TInputComposer::DesktopInputMethodInEnvironment());
    if (!savedModule.isNull())
        qputenv("QT_IM_MODULE", savedModule);
    if (!savedModules.isNull())
        qputenv("QT_IM_MODULES", savedModules);
}

TEST(InputMethodChoice, BadgeInsideALineEditFollowsTheComposer) {
    QLineEdit edit;
    edit.resize(200, 30);
    edit.show();
    TComposer c;
    TInputModeBadge* badge = TInputModeBadge::AttachTo(&edit, &c);
    EXPECT_EQ(badge->Label(), QStringLiteral("A"));
    c.SetTypingLang(tlNative);
    EXPECT_EQ(badge->Label(), QStringLiteral("가"));
    c.SetKeyboardLayoutIndex(7); // hiragana
    EXPECT_EQ(badge->Label(), QStringLiteral("あ"));
    // At the right end of the box, the text kept clear of it.
    EXPECT_EQ(badge->geometry().right(), edit.width() - 4);
    EXPECT_GE(edit.textMargins().right(), badge->width());
    edit.resize(300, 30);
    EXPECT_EQ(badge->geometry().right(), edit.width() - 4);
}
