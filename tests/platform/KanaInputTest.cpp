#include "platform/KanaInput.h"

#include "app/SettingsRecords.h"
#include "app/SettingsStore.h"
#include "platform/InputComposer.h"
#include "TestSupport.h"
#include "typing/TypingModel.h"

#include <gtest/gtest.h>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

// A kana composer whose events are logged as in the Hangul composer's tests:
// S start, U:c update (U:0 empty), C:c commit, E end, D:c direct character.
// The events also drive a typing model, as in the practice control.
struct TKanaLog {
    TInputComposer composer;
    TTypingModel model{[] { return quint32(0); }};
    QStringList log;

    explicit TKanaLog(int layout = 7) {
        composer.SetKeyboardLayoutIndex(layout);
        composer.SetTypingLang(tlNative);
        model.SetSentenceCount(1);
        model.SetProblem(0, QStringLiteral("がかぱあゝゝゝゝゝゝゝゝゝゝゝ"));
        composer.OnCompositionStart = [this](TInputComposer*) {
            log << QStringLiteral("S");
            model.CompositionStart();
        };
        composer.OnCompositionUpdate = [this](TInputComposer*, QChar c) {
            log << (c.isNull() ? QStringLiteral("U:0") : QStringLiteral("U:") + c);
            model.CompositionUpdate(c);
        };
        composer.OnCompositionCommit = [this](TInputComposer*, QChar c) {
            log << QStringLiteral("C:") + c;
            model.CompositionCommit(c);
        };
        composer.OnCompositionEnd = [this](TInputComposer*) {
            log << QStringLiteral("E");
            model.CompositionEnd();
        };
        composer.OnDirectChar = [this](TInputComposer*, QChar c) {
            log << QStringLiteral("D:") + c;
            model.TypeChar(c);
        };
    }

    QString Type(const char* keys) {
        QString consumed;
        for (const char* p = keys; *p; ++p) {
            QKeyEvent event(QEvent::KeyPress, QTest::asciiToKey(*p), Qt::NoModifier,
                            QString(QLatin1Char(*p)));
            consumed += composer.HandleKeyPress(&event) ? u'1' : u'0';
        }
        return consumed;
    }
    bool Press(int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        return composer.HandleKeyPress(&event);
    }
    QString Log() {
        const QString text = log.join(u' ');
        log.clear();
        return text;
    }
};

QString Keys(const TKanaInput& input, const char* keys) {
    QString text;
    for (const char* p = keys; *p; ++p)
        text += input.CharacterOfKey(*p);
    return text;
}

} // namespace

// The keys give the layout tables' kana; Shift gives small kana, brackets and
// the JIS punctuation; a shifted key without a character of its own gives the
// plain kana.
TEST(KanaInput, KeysFollowTheLayoutTable) {
    const TKanaInput hiragana(TKanaInput::ksHiragana);
    EXPECT_EQ(Keys(hiragana, "`1234567890-="), QStringLiteral("ろぬふあうえおやゆよわほへ"));
    EXPECT_EQ(Keys(hiragana, "qwertyuiop[]\\"), QStringLiteral("たていすかんなにらせ゛゜む"));
    EXPECT_EQ(Keys(hiragana, "asdfghjkl;'"), QStringLiteral("ちとしはきくまのりれけ"));
    EXPECT_EQ(Keys(hiragana, "zxcvbnm,./"), QStringLiteral("つさそひこみもねるめ"));
    EXPECT_EQ(Keys(hiragana, "#$%^&*()EZ"), QStringLiteral("ぁぅぇぉゃゅょをぃっ"));
    EXPECT_EQ(Keys(hiragana, "{}<>?_"), QStringLiteral("「」、。・ー"));
    EXPECT_EQ(Keys(hiragana, "!QA+"), QStringLiteral("ぬたちへ"));
    const TKanaInput katakana(TKanaInput::ksKatakana);
    EXPECT_EQ(Keys(katakana, "3t[Z)_<"), QStringLiteral("アカ゛ッヲー、"));
    EXPECT_TRUE(hiragana.CharacterOfKey(' ').isNull());
    EXPECT_TRUE(hiragana.CharacterOfKey(0x7F).isNull());
}

TEST(KanaInput, VoicingMarksCombineWithTheKanaBefore) {
    EXPECT_EQ(TKanaInput::Combine(u'か', u'゛'), u'が');
    EXPECT_EQ(TKanaInput::Combine(u'は', u'゜'), u'ぱ');
    EXPECT_EQ(TKanaInput::Combine(u'ウ', u'゛'), u'ヴ');
    EXPECT_TRUE(TKanaInput::Combine(u'か', u'゜').isNull());
    EXPECT_TRUE(TKanaInput::Combine(u'あ', u'゛').isNull());
    EXPECT_TRUE(TKanaInput::Combine(u'が', u'゛').isNull());
    EXPECT_TRUE(TKanaInput::Combine(u'ば', u'゜').isNull());
    EXPECT_TRUE(TKanaInput::Combine(u'A', u'゛').isNull());
    EXPECT_TRUE(TKanaInput::CanBecome(u'か', u'が'));
    EXPECT_TRUE(TKanaInput::CanBecome(u'は', u'ぱ'));
    EXPECT_TRUE(TKanaInput::CanBecome(u'か', u'か'));
    EXPECT_FALSE(TKanaInput::CanBecome(u'か', u'さ'));
    EXPECT_FALSE(TKanaInput::CanBecome(u'が', u'か'));
}

// か waits for a possible mark, as a composition; が is its second step and
// costs two keystrokes, か alone one; あ takes no mark and is typed at once.
TEST(KanaInput, VoicedKanaAreCompositionsOfTwoKeystrokes) {
    TKanaLog c;
    EXPECT_EQ(c.Type("t["), QStringLiteral("11"));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:か U:が"));
    EXPECT_EQ(c.composer.ComposingChar(), u'が');
    EXPECT_EQ(c.Type("t"), QStringLiteral("1"));
    EXPECT_EQ(c.Log(), QStringLiteral("C:が U:か"));
    EXPECT_EQ(c.Type("f]"), QStringLiteral("11"));
    EXPECT_EQ(c.Log(), QStringLiteral("C:か U:は U:ぱ"));
    EXPECT_EQ(c.Type("3"), QStringLiteral("1"));
    EXPECT_EQ(c.Log(), QStringLiteral("C:ぱ D:あ E"));
    EXPECT_FALSE(c.composer.IsComposing());
    EXPECT_EQ(c.model.Sentence(0)->typed, QStringLiteral("がかぱあ"));
    EXPECT_EQ(c.model.Sentence(0)->hitCounts.left(4), QStringLiteral("\u0002\u0001\u0002\u0001"));

    // A mark with nothing to combine with is typed as it is, also after a
    // kana that already carries one.
    EXPECT_EQ(c.Type("3["), QStringLiteral("11"));
    EXPECT_EQ(c.Log(), QStringLiteral("D:あ D:゛"));
    c.Type("t[[");
    EXPECT_EQ(c.Log(), QStringLiteral("S U:か U:が C:が D:゛ E"));
}

TEST(KanaInput, BackspaceAndOtherKeysEndTheComposition) {
    TKanaLog c;
    c.Type("t[");
    // Backspace takes the mark back, then the waiting kana; with none it is
    // the widget's. The keystrokes taken back are not counted.
    EXPECT_TRUE(c.Press(Qt::Key_Backspace));
    EXPECT_EQ(c.model.CurrCharHitCount(), 1);
    EXPECT_TRUE(c.Press(Qt::Key_Backspace));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:か U:が U:か U:0 E"));
    EXPECT_FALSE(c.Press(Qt::Key_Backspace));
    // Space, Enter and keys without a kana commit and are left to the widget.
    c.Type("t");
    EXPECT_EQ(c.Type(" "), QStringLiteral("0"));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:か C:か E"));
    c.Type("t");
    EXPECT_FALSE(c.Press(Qt::Key_Return));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:か C:か E"));
    // In Latin input the keys pass untouched.
    c.composer.SetTypingLang(tlEng);
    EXPECT_EQ(c.Type("t["), QStringLiteral("00"));
    EXPECT_EQ(c.Log(), QString());
}

TEST(KanaInput, ScriptKeysSwitchBetweenHiraganaAndKatakana) {
    TKanaLog c(8);
    ASSERT_NE(c.composer.KanaInput(), nullptr);
    EXPECT_EQ(c.composer.KanaInput()->Script(), TKanaInput::ksKatakana);
    c.Type("t");
    // Switching makes the waiting kana final in the script it was typed in.
    EXPECT_TRUE(c.Press(Qt::Key_F6));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:カ C:カ E"));
    c.Type("t");
    EXPECT_TRUE(c.Press(Qt::Key_Hiragana_Katakana));
    c.Type("t");
    EXPECT_TRUE(c.Press(Qt::Key_Hiragana));
    c.Type("t");
    EXPECT_TRUE(c.Press(Qt::Key_F7));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:か C:か E S U:カ C:カ E S U:か C:か E"));
    // The Hangul toggle key switches kana input off and on as it does Hangul.
    c.Log();
    EXPECT_TRUE(c.Press(Qt::Key_Hangul));
    EXPECT_EQ(c.composer.TypingLang(), tlEng);
    EXPECT_EQ(c.Type("t"), QStringLiteral("0"));
    EXPECT_TRUE(c.Press(Qt::Key_Hangul));
    EXPECT_EQ(c.Type("t"), QStringLiteral("1"));
    EXPECT_EQ(c.Log(), QStringLiteral("S U:カ"));
    // Only the kana layouts have a kana input.
    c.composer.SetKeyboardLayoutIndex(5);
    EXPECT_EQ(c.composer.KanaInput(), nullptr);
    EXPECT_FALSE(c.Press(Qt::Key_F7));
}

// While ShowWrongJohap is on, a waiting kana is judged against the expected
// character: か can still become が, not さ.
TEST(KanaInput, ComposingKanaIsJudgedAgainstItsVoicedForms) {
    TTypingModel model([] { return quint32(0); });
    model.SetSentenceCount(1);
    model.SetProblem(0, QStringLiteral("がさ"));
    model.SetCheckComposingChar(true);
    int errors = 0;
    model.OnTypingError = [&](TTypingModel*) { ++errors; };
    QString parts;
    model.CompositionStart();
    model.CompositionUpdate(u'か');
    EXPECT_TRUE(model.ComposingCharMatches(*model.Sentence(0), parts));
    model.CompositionUpdate(u'が');
    EXPECT_TRUE(model.ComposingCharMatches(*model.Sentence(0), parts));
    model.CompositionCommit(u'が');
    model.CompositionUpdate(u'か');
    EXPECT_FALSE(model.ComposingCharMatches(*model.Sentence(0), parts));
    EXPECT_EQ(errors, 0); // judged when committed
    model.CompositionCommit(u'か');
    EXPECT_EQ(errors, 1);
}

TEST(KanaInput, PracticeTextsChooseTheirScript) {
    const QStringList japanese{QStringLiteral("にちようびのごご、"), QStringLiteral("ユイ")};
    const QStringList korean{QStringLiteral("할머니의 부엌")};
    EXPECT_EQ(TKanaInput::LayoutForText(japanese, 4), 7);
    EXPECT_EQ(TKanaInput::LayoutForText(japanese, 8), 8);
    EXPECT_EQ(TKanaInput::LayoutForText(japanese, 7), 7);
    EXPECT_EQ(TKanaInput::LayoutForText(korean, 5), 5);
    EXPECT_EQ(TKanaInput::LayoutForText(korean, 8), 1);
    EXPECT_EQ(TKanaInput::LayoutForText(korean, 0), 0);
}

// A line edit shows the waiting kana as pre-edit and inserts the final text.
TEST(KanaInput, LineEditTypesKanaWithoutADesktopInputMethod) {
    QLineEdit edit;
    TInputComposer composer;
    composer.SetKeyboardLayoutIndex(7);
    composer.Attach(&edit, true);
    composer.SetTypingLang(tlNative);
    QTest::keyClicks(&edit, "t[f");
    EXPECT_EQ(edit.text(), QStringLiteral("が"));
    composer.Commit();
    EXPECT_EQ(edit.text(), QStringLiteral("がは"));
}

// Game answer boxes and name prompts type Korean: a composer made while the
// keyboard setup has a kana layout stored composes Dubeolsik.
TEST(KanaInput, NewComposersKeepHangulWhenTheSetupStoredKana) {
    TScopedSettingsDir settings;
    {
        TKeyboardSetupRec chosen;
        chosen.languageIndex = 7;
        TIniFile ini = OpenSettingsIni();
        WriteKeyboardSetup(ini, chosen);
        CloseSettingsIni(ini);
    }
    TInputComposer composer;
    EXPECT_EQ(composer.KanaInput(), nullptr);
    EXPECT_EQ(composer.KeyboardId(), QStringLiteral("2"));
}
