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

    // A key press as the X server reports it: XKB keycode and keysym.
    bool PressX(int key, quint32 keycode, quint32 keysym,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, keycode, keysym, 0, text);
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
    c.composer.SetKoreanText(true);
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
    // The desktop method composing Hangul switches the built-in composer
    // off (L): one composer at a time.
    EXPECT_EQ(c.Log(), QStringLiteral("L S U:ㅎ U:하 U:한"));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
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
    // A pre-edit that vanishes without a commit empties the composition
    // (once the next key shows that no commit follows).
    c.Ime(QStringLiteral("ㄱ"));
    c.Ime(QString());
    // A desktop pre-edit arriving during a built-in one (the built-in
    // composer turned on again) takes over after a commit, and switches the
    // built-in composer off again.
    c.composer.SetDesktopInputMethodActive(false);
    c.composer.SetTypingLang(tlNative);
    c.Type("r");
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ L U:0 E S U:ㄱ"));
    c.Ime(QStringLiteral("ㄴ"));
    EXPECT_EQ(c.Log(), QStringLiteral("C:ㄱ E L S U:ㄴ"));
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

namespace {

// XKB keycodes (evdev + 8) and X keysyms of the keys below.
constexpr quint32 kRightAltKeycode = 108, kRightCtrlKeycode = 105, kHangulKeycode = 130;
constexpr quint32 kQKeycode = 24, kSpaceKeycode = 65;
constexpr quint32 kXkAltR = 0xffea, kXkIsoLevel3Shift = 0xfe03, kXkModeSwitch = 0xff7e,
                  kXkMultiKey = 0xff20, kXkHangul = 0xff31, kXkHangulHanja = 0xff34;

} // namespace

TEST(InputComposer, RightAltTogglesOnlyWhereTheLayoutGivesItNoThirdLevel) {
    TComposerLog c;
    // US layout: the right Alt key is Alt_R, the toggle of Korean keyboards.
    EXPECT_TRUE(c.PressX(Qt::Key_Alt, kRightAltKeycode, kXkAltR, Qt::AltModifier));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_TRUE(c.PressX(Qt::Key_Alt, kRightAltKeycode, kXkAltR, Qt::AltModifier));
    EXPECT_EQ(c.Log(), QStringLiteral("L L"));

    // German or French layout: the same key is AltGr (ISO_Level3_Shift), and
    // AltGr+Q types "@" in Latin mode.
    EXPECT_FALSE(c.PressX(Qt::Key_AltGr, kRightAltKeycode, kXkIsoLevel3Shift));
    EXPECT_FALSE(
        c.PressX(Qt::Key_At, kQKeycode, '@', Qt::GroupSwitchModifier, QStringLiteral("@")));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    // The keysym alone tells, whatever Qt calls the key; so does Qt's name.
    EXPECT_FALSE(c.PressX(Qt::Key_Alt, kRightAltKeycode, kXkIsoLevel3Shift));
    EXPECT_FALSE(c.PressX(Qt::Key_AltGr, kRightAltKeycode, 0));
    // Mode_switch and a Compose key on right Alt keep their function too.
    EXPECT_FALSE(c.PressX(Qt::Key_Mode_switch, kRightAltKeycode, kXkModeSwitch));
    EXPECT_FALSE(c.PressX(Qt::Key_Multi_key, kRightAltKeycode, kXkMultiKey));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    EXPECT_EQ(c.Log(), QString());

    // Korean layouts put Hangul and Hanja on right Alt and right Ctrl: those
    // keysyms toggle on any key.
    EXPECT_TRUE(c.PressX(Qt::Key_Hangul, kRightAltKeycode, kXkHangul));
    EXPECT_TRUE(c.PressX(Qt::Key_Hangul_Hanja, kRightCtrlKeycode, kXkHangulHanja));
    EXPECT_TRUE(c.PressX(Qt::Key_Hangul, kHangulKeycode, kXkHangul));
    // The Hangul key toggles even where the layout gives it no symbol.
    EXPECT_TRUE(c.PressX(0, kHangulKeycode, 0));
    EXPECT_EQ(c.Log(), QStringLiteral("L L L L"));
    // In Hangul mode AltGr still commits nothing and changes nothing.
    c.composer.SetTypingLang(tlNative);
    c.Log();
    EXPECT_FALSE(c.PressX(Qt::Key_AltGr, kRightAltKeycode, kXkIsoLevel3Shift));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_EQ(c.Log(), QString());
}

TEST(InputComposer, ShiftSpaceTogglesOnlyInAKoreanText) {
    TComposerLog c;
    EXPECT_FALSE(c.composer.KoreanText());
    // An English or Japanese text: Shift+Space is a space.
    EXPECT_FALSE(c.PressX(Qt::Key_Space, kSpaceKeycode, ' ', Qt::ShiftModifier, " "));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    // Even when the learner switched to Hangul by the Hangul key: the
    // syllable is finished and the space left to the widget.
    c.composer.SetTypingLang(tlNative);
    c.Type("r");
    c.Log();
    EXPECT_FALSE(c.PressX(Qt::Key_Space, kSpaceKeycode, ' ', Qt::ShiftModifier, " "));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_EQ(c.Log(), QStringLiteral("C:ㄱ E"));

    // A Korean text: Shift+Space toggles both ways, Ctrl+Shift+Space not.
    c.composer.SetKoreanText(true);
    EXPECT_TRUE(c.PressX(Qt::Key_Space, kSpaceKeycode, ' ', Qt::ShiftModifier, " "));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    EXPECT_TRUE(c.PressX(Qt::Key_Space, kSpaceKeycode, ' ', Qt::ShiftModifier, " "));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
    EXPECT_FALSE(
        c.PressX(Qt::Key_Space, kSpaceKeycode, ' ', Qt::ShiftModifier | Qt::ControlModifier, " "));
    EXPECT_EQ(c.Log(), QStringLiteral("L L"));
}

TEST(InputComposer, ADesktopInputMethodKeepsItsOwnToggleKeys) {
    TComposerLog c;
    c.composer.SetKoreanText(true);
    // Dead keys of a Latin layout arrive as input-method events too; they
    // are no Korean input method.
    c.Ime(QStringLiteral("´"));
    c.Ime(QString(), QStringLiteral("é"));
    EXPECT_FALSE(c.composer.DesktopInputMethodActive());
    EXPECT_TRUE(c.PressX(Qt::Key_Hangul, kHangulKeycode, kXkHangul));
    EXPECT_TRUE(c.PressX(Qt::Key_Hangul, kHangulKeycode, kXkHangul));
    c.Log();

    // ibus-hangul composing: the sequence it sends for 하.
    c.Ime(QStringLiteral("ㅎ"));
    c.Ime(QStringLiteral("하"));
    c.Ime(QString());
    c.Ime(QString(), QStringLiteral("하"));
    EXPECT_TRUE(c.composer.DesktopInputMethodActive());
    c.Log();
    // Whatever of its switch keys reaches the widget is not switched again.
    EXPECT_FALSE(c.PressX(Qt::Key_Hangul, kHangulKeycode, kXkHangul));
    EXPECT_FALSE(c.PressX(Qt::Key_Space, kSpaceKeycode, ' ', Qt::ShiftModifier, " "));
    EXPECT_FALSE(c.PressX(Qt::Key_Alt, kRightAltKeycode, kXkAltR, Qt::AltModifier));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    EXPECT_FALSE(c.Log().contains(u'L'));

    // Said otherwise, the keys are the built-in composer's again.
    c.composer.SetDesktopInputMethodActive(false);
    EXPECT_TRUE(c.PressX(Qt::Key_Hangul, kHangulKeycode, kXkHangul));
    EXPECT_EQ(c.composer.TypingLang(), tlNative);
}

TEST(InputComposer, DesktopMethodsEventOrdersGiveTheSameEvents) {
    // 한 then 그: fcitx5 commits and shows the next pre-edit in one event.
    TComposerLog fcitx;
    fcitx.Ime(QStringLiteral("한"));
    fcitx.Ime(QStringLiteral("ㄱ"), QStringLiteral("한"));
    fcitx.Ime(QString(), QStringLiteral("ㄱ"));
    EXPECT_EQ(fcitx.Log(), QStringLiteral("S U:한 C:한 U:ㄱ C:ㄱ E"));

    // ibus clears the pre-edit, then commits in a second event, then shows
    // the next pre-edit.
    TComposerLog ibus;
    ibus.Ime(QStringLiteral("한"));
    ibus.Ime(QString());
    EXPECT_TRUE(ibus.composer.IsComposing()); // a commit may still come
    EXPECT_EQ(ibus.Log(), QStringLiteral("S U:한"));
    ibus.Ime(QString(), QStringLiteral("한"));
    ibus.Ime(QStringLiteral("ㄱ"));
    ibus.Ime(QString());
    ibus.Ime(QString(), QStringLiteral("ㄱ"));
    EXPECT_EQ(ibus.Log(), QStringLiteral("C:한 E S U:ㄱ C:ㄱ E"));
    // A final consonant moving on (한 + ㅏ -> 하 나) in the ibus order.
    ibus.Ime(QStringLiteral("한"));
    ibus.Ime(QString());
    ibus.Ime(QString(), QStringLiteral("하"));
    ibus.Ime(QStringLiteral("나"));
    EXPECT_EQ(ibus.Log(), QStringLiteral("S U:한 U:하 C:하 E S U:나"));

    // Commit and an empty pre-edit in one event.
    ibus.Ime(QString(), QStringLiteral("나"));
    EXPECT_EQ(ibus.Log(), QStringLiteral("C:나 E"));
    EXPECT_FALSE(ibus.composer.IsComposing());
}

TEST(InputComposer, AClearedPreeditWithoutACommitEndsTheComposition) {
    TComposerLog c;
    // The next pre-edit comes without a commit: the old one was dropped.
    c.Ime(QStringLiteral("ㄱ"));
    c.Ime(QString());
    c.Ime(QStringLiteral("ㄴ"));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄱ U:0 E S U:ㄴ"));
    // Two empty events in a row.
    c.Ime(QString());
    c.Ime(QString());
    EXPECT_EQ(c.Log(), QStringLiteral("U:0 E"));
    // Focus loss: Commit() asks the desktop method, which has nothing left.
    c.Ime(QStringLiteral("ㄷ"));
    c.Ime(QString());
    c.composer.Commit();
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄷ U:0 E"));
    // A key arriving after the cleared pre-edit ends it before the key.
    c.Ime(QStringLiteral("ㄹ"));
    c.Ime(QString());
    EXPECT_FALSE(c.Press(Qt::Key_Space, Qt::NoModifier, 0, QStringLiteral(" ")));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㄹ U:0 E"));
    // The last jamo taken back and nothing else: it ends after a moment.
    c.Ime(QStringLiteral("ㅁ"));
    c.Ime(QString());
    EXPECT_EQ(c.Log(), QStringLiteral("S U:ㅁ"));
    QTest::qWait(400);
    EXPECT_EQ(c.Log(), QStringLiteral("U:0 E"));
    EXPECT_FALSE(c.composer.IsComposing());
    // A commit much later is a character of its own.
    c.Ime(QString(), QStringLiteral("ㅁ"));
    EXPECT_EQ(c.Log(), QStringLiteral("D:ㅁ"));
}
