#include "platform/InputComposer.h"

#include "app/Folders.h"
#include "app/SettingsRecords.h"
#include "app/SettingsStore.h"
#include "platform/HangulKeyboardList.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

// A composer whose events are written into a log: S start, U:c update
// (U:0 for an empty one), C:c commit, E end, D:c direct character, L mode
// change.
struct TComposerLog {
    TInputComposer composer;
    QStringList log;

    TComposerLog() {
        composer.OnCompositionStart = [this](TInputComposer*) { log << QStringLiteral("S"); };
        composer.OnCompositionUpdate = [this](TInputComposer*, QChar c) {
            log << (c.isNull() ? QStringLiteral("U:0") : QStringLiteral("U:") + c);
        };
        composer.OnCompositionCommit = [this](TInputComposer*, QChar c) {
            log << QStringLiteral("C:") + c;
        };
        composer.OnCompositionEnd = [this](TInputComposer*) { log << QStringLiteral("E"); };
        composer.OnDirectChar = [this](TInputComposer*, QChar c) {
            log << QStringLiteral("D:") + c;
        };
        composer.OnTypingLangChanged = [this](TInputComposer*) { log << QStringLiteral("L"); };
    }

    // Presses the keys of `keys` as synthesized events (no scan code);
    // returns which ones the composer consumed ("1"/"0" per key).
    QString Type(const char* keys) {
        QString consumed;
        for (const char* p = keys; *p; ++p) {
            QKeyEvent event(QEvent::KeyPress, QTest::asciiToKey(*p), Qt::NoModifier,
                            QString(QLatin1Char(*p)));
            consumed += composer.HandleKeyPress(&event) ? u'1' : u'0';
        }
        return consumed;
    }

    bool Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0,
               const QString& text = {}, bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text, autoRepeat);
        return composer.HandleKeyPress(&event);
    }

    void Ime(const QString& preedit, const QString& commit = {}) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        composer.HandleInputMethodEvent(&event);
    }

    QString Log() {
        const QString text = log.join(u' ');
        log.clear();
        return text;
    }
};

} // namespace

TEST(InputComposer, BuiltInComposerFollowsTheEventOrder) {
    TComposerLog c;
    c.composer.SetTypingLang(tlNative);
    EXPECT_EQ(c.Log(), QStringLiteral("L"));
    EXPECT_EQ(c.Type("gks"), QStringLiteral("111"));
    EXPECT_TRUE(c.composer.IsComposing());
    EXPECT_EQ(c.composer.ComposingChar(), u'한');
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅎ U:하 U:한"));
    // A space is not Hangul: the syllable is committed and the space left to
    // the widget.
    EXPECT_EQ(c.Type(" "), QStringLiteral("0"));
    EXPECT_EQ(c.Log(), QStringLiteral("C:한 E"));
    EXPECT_FALSE(c.composer.IsComposing());
    // Digits on Dubeolsik likewise.
    c.Type("ekfr1");
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄷ U:다 U:달 U:닭 C:닭 E"));
}

TEST(InputComposer, FinalConsonantMovesOnToTheNextSyllable) {
    TComposerLog c;
    c.composer.SetTypingLang(tlNative);
    c.Log();
    c.Type("gksk");
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅎ U:하 U:한 U:하 C:하 U:나"));
    c.composer.Commit();
    EXPECT_EQ(c.Log(), QStringLiteral("C:나 E"));
    c.composer.Commit(); // nothing pending
    EXPECT_EQ(c.Log(), QString());
}

TEST(InputComposer, BackspaceTakesJamoBack) {
    TComposerLog c;
    c.composer.SetTypingLang(tlNative);
    c.Type("rkr");
    c.Log();
    EXPECT_TRUE(c.Press(Qt::Key_Backspace));
    EXPECT_EQ(c.Log(), QStringLiteral("U:가"));
    EXPECT_TRUE(c.Press(Qt::Key_Backspace));
    EXPECT_TRUE(c.Press(Qt::Key_Backspace));
    EXPECT_EQ(c.Log(), QStringLiteral("U:ㄱ U:0 E"));
    // Without a composition Backspace belongs to the widget.
    EXPECT_FALSE(c.Press(Qt::Key_Backspace));
    EXPECT_EQ(c.Log(), QString());
}

TEST(InputComposer, KeysTheComposerLeavesToTheWidget) {
    TComposerLog c;
    // Latin mode: nothing is composed.
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    EXPECT_EQ(c.Type("gks"), QStringLiteral("000"));
    EXPECT_EQ(c.Log(), QString());

    c.composer.SetTypingLang(tlNative);
    c.Log();
    c.Type("r");
    // Shift alone keeps the composition; a shifted letter composes.
    EXPECT_FALSE(c.Press(Qt::Key_Shift, Qt::ShiftModifier));
    EXPECT_TRUE(c.Press(Qt::Key_O, Qt::ShiftModifier, 0, QStringLiteral("O")));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ U:걔"));
    // A Ctrl shortcut or a function key commits and is not consumed.
    EXPECT_FALSE(c.Press(Qt::Key_C, Qt::ControlModifier, 0, QStringLiteral("\x03")));
    EXPECT_EQ(c.Log(), QStringLiteral("C:걔 E"));
    c.Type("r");
    EXPECT_FALSE(c.Press(Qt::Key_F5));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ C:ㄱ E"));
}

TEST(InputComposer, ToggleKeysSwitchTheTypingLanguage) {
    TComposerLog c;
    EXPECT_TRUE(c.Press(Qt::Key_Hangul));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_EQ(c.Log(), QStringLiteral("L"));
    // Toggling while composing commits first.
    c.Type("r");
    EXPECT_TRUE(c.Press(Qt::Key_Space, Qt::ShiftModifier, 0, QStringLiteral(" ")));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ C:ㄱ E L"));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    // The right Alt key by its scan code (evdev 100 + 8), whatever Qt calls it.
    EXPECT_TRUE(c.Press(Qt::Key_Alt, Qt::AltModifier, 108));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    // Auto-repeat does not flicker the mode; the left Alt is no toggle.
    EXPECT_TRUE(c.Press(Qt::Key_Alt, Qt::AltModifier, 108, {}, true));
    EXPECT_FALSE(c.Press(Qt::Key_Alt, Qt::AltModifier, 64));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_EQ(c.Log(), QStringLiteral("L"));
    // Writing the same or an unknown value changes nothing.
    c.composer.SetTypingLang(tlNative);
    c.composer.SetTypingLang(TTypingLang(7));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_EQ(c.Log(), QString());
}

TEST(InputComposer, PhysicalKeyCountsWhateverTheDesktopLayout) {
    TComposerLog c;
    c.composer.SetTypingLang(tlNative);
    c.Log();
    // A French AZERTY desktop reports Qt::Key_A and "a" for the key in Q's
    // place (XKB keycode 24); Dubeolsik puts ㅂ there, ㅃ with Shift.
    EXPECT_TRUE(c.Press(Qt::Key_A, Qt::NoModifier, 24, QStringLiteral("a")));
    EXPECT_TRUE(c.Press(Qt::Key_A, Qt::ShiftModifier, 24, QStringLiteral("A")));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅂ C:ㅂ U:ㅃ"));
    // Caps Lock does not turn ㅂ into ㅃ: only Shift counts for real keys.
    c.composer.Commit();
    c.Log();
    EXPECT_TRUE(c.Press(Qt::Key_Q, Qt::NoModifier, 24, QStringLiteral("Q")));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅂ"));
    // Keys outside the physical table (keypad digits) commit and pass.
    EXPECT_FALSE(c.Press(Qt::Key_1, Qt::KeypadModifier, 87, QStringLiteral("1")));
    EXPECT_EQ(c.Log(), QStringLiteral("C:ㅂ E"));
}

TEST(InputComposer, SebeolsikLayoutsFollowTheKeyboardSettings) {
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(0), QStringLiteral("2"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(1), QStringLiteral("2"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(2), QStringLiteral("39"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(3), QStringLiteral("3s"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(4), QStringLiteral("3f"));
    // 3-2011 and 3-2012 are the keyboards generated from the layout tables,
    // registered at start.
    THangulKeyboardList::RegisterGenerated(AppDir());
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(5), QStringLiteral("ravlin-3-2011"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(6), QStringLiteral("ravlin-3-2012"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(7), QStringLiteral("2"));
    EXPECT_EQ(TInputComposer::KeyboardIdForLayout(-1), QStringLiteral("2"));

    // The layout chosen in the keyboard setup is taken from the settings
    // file, whether or not the keyboard record was loaded in this session.
    TScopedSettingsDir settings;
    {
        TKeyboardSetupRec chosen;
        chosen.languageIndex = 4;
        TIniFile ini = OpenSettingsIni();
        WriteKeyboardSetup(ini, chosen);
        CloseSettingsIni(ini);
    }
    KeyboardSetup = {};
    {
        TComposerLog c;
        EXPECT_EQ(c.composer.KeyboardId(), QStringLiteral("3f"));
        c.composer.SetTypingLang(tlNative);
        c.Log();
        // k f s is ㄱ ㅏ ㄴ on Sebeolsik (ㅏ ㄹ ㄴ on Dubeolsik).
        c.Type("kfs");
        EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ U:가 U:간"));
        // Switching the layout commits the pending syllable.
        c.composer.SetKeyboardLayoutIndex(1);
        EXPECT_EQ(c.Log(), QStringLiteral("C:간 E"));
        EXPECT_EQ(c.composer.KeyboardId(), QStringLiteral("2"));
        c.Type("kfs");
        EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅏ C:ㅏ U:ㄹ C:ㄹ U:ㄴ"));
    }
}

TEST(InputComposer, DesktopInputMethodEventsBecomeTheSameEvents) {
    TComposerLog c;
    c.composer.SetTypingLang(tlNative);
    c.Log();
    c.Ime(QStringLiteral("ㅎ"));
    c.Ime(QStringLiteral("하"));
    c.Ime(QStringLiteral("하")); // repeated pre-edit: no new update
    c.Ime(QStringLiteral("한"));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅎ U:하 U:한"));
    // While the desktop input method composes, keys are its business.
    EXPECT_EQ(c.Type("k"), QStringLiteral("0"));
    // Commit and new pre-edit in one event.
    c.Ime(QStringLiteral("나"), QStringLiteral("하"));
    EXPECT_EQ(c.Log(), QStringLiteral("U:하 C:하 U:나"));
    c.Ime(QString(), QStringLiteral("나"));
    EXPECT_EQ(c.Log(), QStringLiteral("C:나 E"));
    // Text committed without a pre-edit is typed directly.
    c.Ime(QString(), QStringLiteral("ab"));
    EXPECT_EQ(c.Log(), QStringLiteral("D:a D:b"));
    // A pre-edit that vanishes without a commit empties the composition.
    c.Ime(QStringLiteral("ㄱ"));
    c.Ime(QString());
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ U:0 E"));
    // A desktop pre-edit arriving during a built-in one takes over after a commit.
    c.Type("r");
    c.Ime(QStringLiteral("ㄴ"));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ C:ㄱ E S U:ㄴ"));
    // Commit asks the desktop input method; without one the pre-edit is dropped.
    c.composer.Commit();
    EXPECT_FALSE(c.composer.IsComposing());
    EXPECT_EQ(c.Log().endsWith(QStringLiteral("E")), true);
}

TEST(InputComposer, LineEditTypesHangulWithoutADesktopInputMethod) {
    QLineEdit edit;
    TInputComposer composer;
    composer.Attach(&edit, true);
    composer.SetTypingLang(tlNative);
    QString commits;
    composer.OnCompositionCommit = [&](TInputComposer*, QChar c) { commits += c; };

    QTest::keyClicks(&edit, "gks rmf");
    // The syllable being composed is shown as pre-edit, not yet in the text.
    EXPECT_EQ(edit.text(), QStringLiteral("한 "));
    EXPECT_TRUE(composer.IsComposing());
    composer.Commit();
    EXPECT_EQ(edit.text(), QStringLiteral("한 글"));
    EXPECT_EQ(commits, QStringLiteral("한글"));

    // Backspace inside a composition takes a jamo back; outside it edits.
    QTest::keyClicks(&edit, "rk");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Return); // commits ㄱ, then the edit sees Return
    EXPECT_EQ(edit.text(), QStringLiteral("한 글ㄱ"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("한 글"));

    // A mouse press in the edit commits the pending syllable.
    QTest::keyClicks(&edit, "dk");
    QTest::mouseClick(&edit, Qt::LeftButton);
    EXPECT_FALSE(composer.IsComposing());
    EXPECT_TRUE(edit.text().contains(QStringLiteral("아")));

    // Latin mode types through; the desktop input method passes through.
    edit.clear();
    composer.SetTypingLang(tlEng);
    QTest::keyClicks(&edit, "gks");
    QInputMethodEvent desktop(QString(), {});
    desktop.setCommitString(QStringLiteral("가"));
    QCoreApplication::sendEvent(&edit, &desktop);
    EXPECT_EQ(edit.text(), QStringLiteral("gks가"));

    // Detached, the edit is on its own again.
    composer.SetTypingLang(tlNative);
    composer.Attach(nullptr, false);
    QTest::keyClicks(&edit, "r");
    EXPECT_EQ(edit.text(), QStringLiteral("gks가r"));
}
