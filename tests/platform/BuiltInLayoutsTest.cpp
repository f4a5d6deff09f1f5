// Every layout the keyboard practice teaches can be typed in sentence
// practice with the built-in composer alone: the six Hangul layouts and the
// two kana layouts, with the keystroke counts the typing model stores.

#include "app/Folders.h"
#include "app/KeyboardLayouts.h"
#include "platform/HangulKeyboardList.h"
#include "platform/InputComposer.h"
#include "platform/KanaInput.h"
#include "platform/VirtualKeys.h"
#include "typing/SentenceText.h"
#include "typing/TypingModel.h"

#include <gtest/gtest.h>
#include <map>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <utility>

namespace {

// The practice control's wiring: composer events become typing-model events,
// keys the composer leaves are typed directly.
struct TTypist {
    TTypingModel model{[] { return quint32(1000); }};
    TInputComposer composer;

    TTypist(int layout, const QString& problem) {
        composer.SetKeyboardLayoutIndex(layout);
        composer.SetTypingLang(tlNative);
        model.SetSentenceCount(1);
        model.SetProblem(0, problem);
        composer.OnCompositionStart = [this](TInputComposer*) { model.CompositionStart(); };
        composer.OnCompositionUpdate = [this](TInputComposer*, QChar c) {
            model.CompositionUpdate(c);
        };
        composer.OnCompositionCommit = [this](TInputComposer*, QChar c) {
            model.CompositionCommit(c);
        };
        composer.OnCompositionEnd = [this](TInputComposer*) { model.CompositionEnd(); };
        composer.OnDirectChar = [this](TInputComposer*, QChar c) { model.TypeChar(c); };
    }

    // A key as the US character it gives (synthesized, no scan code).
    void Press(char ascii) {
        QKeyEvent event(QEvent::KeyPress, QTest::asciiToKey(ascii), Qt::NoModifier,
                        QString(QLatin1Char(ascii)));
        if (!composer.HandleKeyPress(&event))
            model.TypeChar(QLatin1Char(ascii));
    }
    void PressKey(int qtKey) {
        QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        EXPECT_TRUE(composer.HandleKeyPress(&event));
    }

    QString Typed() const { return model.Sentence(0)->typed; }
    QList<int> HitCounts() const {
        QList<int> counts;
        for (QChar c : model.Sentence(0)->hitCounts.left(Typed().size()))
            counts << c.unicode();
        return counts;
    }
};

// ---- Hangul -----------------------------------------------------------------

const QString kCompatibilityFinals =
    QStringLiteral("ㄱㄲㄳㄴㄵㄶㄷㄹㄺㄻㄼㄽㄾㄿㅀㅁㅂㅄㅅㅆㅇㅈㅊㅋㅌㅍㅎ");

// Which US character types a jamo in a role ('I' initial, 'V' vowel, 'F'
// final) on a Hangul layout, read from the layout table. Dubeolsik types
// finals with the initials' keys.
class THangulKeys {
public:
    explicit THangulKeys(int layout) {
        const TEnglishKeyboardLayout& table = KeyboardLayout(layout);
        for (int shift = 0; shift < 2; ++shift) {
            for (int i = 0; i < kKeyCount; ++i) {
                const TKeyInfo& key = table[size_t(i)];
                const QString& text = key.DisplayChar[shift];
                if (key.KeyGroup == kgControl || text.size() != 1 || text == QStringLiteral(" "))
                    continue;
                QString parts;
                if (!TTypingModel::DecomposeJamo(text[0], parts))
                    continue;
                const bool vowel = parts[0] == u'.' && parts[1] != u'.';
                const char role = vowel ? 'V' : (key.IsJongSung[shift] ? 'F' : 'I');
                const char ascii = UsCharOfVirtualKey(PhysicalKey(i).Key, shift == 1);
                FKeys.emplace(std::pair(text[0], role), ascii);
                if (layout == 1 && role == 'I')
                    FKeys.emplace(std::pair(text[0], 'F'), ascii);
            }
        }
    }

    // Appends the keys of `jamo` in `role` to `keys`, built from its parts
    // when the layout has no key of its own for it; false when it cannot be
    // typed.
    bool Append(QChar jamo, char role, QString parts, std::string& keys) const {
        if (auto it = FKeys.find(std::pair(jamo, role)); it != FKeys.end()) {
            keys += it->second;
            return true;
        }
        parts.remove(u'.');
        if (parts.size() == 1 && role == 'I') {
            // Double initials (ㄲ ㄸ ㅃ ㅆ ㅉ) are their single one struck twice.
            static const QString doubles = QStringLiteral("ㄲㄱㄸㄷㅃㅂㅆㅅㅉㅈ");
            const qsizetype d = doubles.indexOf(jamo);
            return d >= 0 && d % 2 == 0 && Append(doubles[d + 1], role, {}, keys) &&
                   Append(doubles[d + 1], role, {}, keys);
        }
        if (parts.size() != 2)
            return false;
        return Append(parts[0], role, {}, keys) && Append(parts[1], role, {}, keys);
    }

    // The keys of one syllable, initial, vowel and final in turn.
    bool SyllableKeys(QChar syllable, std::string& keys) const {
        QString parts;
        if (!TTypingModel::DecomposeJamo(syllable, parts))
            return false;
        const int index = syllable.unicode() - 0xAC00;
        const QChar vowel(0x314F + (index % 588) / 28);
        const int final = index % 28;
        if (!Append(parts[0], 'I', parts.left(1), keys) ||
            !Append(vowel, 'V', parts.mid(1, 2), keys))
            return false;
        return final == 0 || Append(kCompatibilityFinals[final - 1], 'F', parts.mid(3, 2), keys);
    }

private:
    std::map<std::pair<QChar, char>, char> FKeys;
};

} // namespace

// One sentence with a double initial (꽃), a compound vowel (과), compound
// finals (앉, 읽) and shifted finals, typed on each Hangul layout: every
// syllable comes out whole and costs the keys struck for it (Shift aside).
TEST(BuiltInLayouts, EveryHangulLayoutTypesASentence) {
    THangulKeyboardList::RegisterGenerated(AppDir()); // as at program start
    const QString sentence = QStringLiteral("꽃밭에 앉아 책과 읽다");
    std::map<int, QList<int>> countsByLayout;
    for (int layout = 1; layout <= 6; ++layout) {
        SCOPED_TRACE(LayoutCaption(layout).toStdString());
        const THangulKeys keys(layout);
        TTypist typist(layout, sentence);
        ASSERT_EQ(typist.composer.KeyboardId(), TInputComposer::KeyboardIdForLayout(layout));

        QList<int> expected;
        bool usedShift = false;
        for (QChar c : sentence) {
            std::string struck = c == u' ' ? " " : "";
            if (c != u' ') {
                ASSERT_TRUE(keys.SyllableKeys(c, struck)) << QString(c).toStdString();
            }
            for (char k : struck) {
                typist.Press(k);
                usedShift |=
                    QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()_+{}|:\"<>?").contains(k);
            }
            expected << int(struck.size());
        }
        typist.composer.Commit();
        EXPECT_EQ(typist.Typed(), sentence);
        EXPECT_EQ(typist.HitCounts(), expected);
        // Dubeolsik and the Sebeolsik layouts with Shift reach shifted keys
        // (ㄲ, ㅊ, ㄺ, ...); the no-shift layout never needs Shift.
        EXPECT_EQ(usedShift, layout != 3);
        countsByLayout[layout] = typist.HitCounts();
    }
    // 앉 (position 4) and 읽 (position 10): Dubeolsik strikes both finals of
    // each; 3-90 has ㄺ on a key but not ㄵ; 3-91 has both.
    const auto counts = [&](int layout) {
        return std::pair(countsByLayout[layout][4], countsByLayout[layout][10]);
    };
    EXPECT_EQ(counts(1), std::pair(4, 4));
    EXPECT_EQ(counts(2), std::pair(4, 3));
    EXPECT_EQ(counts(4), std::pair(3, 3));
    // 꽃: Dubeolsik has ㄲ on Shift+R; Sebeolsik strikes the initial ㄱ twice.
    EXPECT_EQ(countsByLayout[1][0], 3);
    EXPECT_EQ(countsByLayout[5][0], 4);
}

namespace {

// Which US character gives a kana, in which script, read from the kana input.
struct TKanaKey {
    char Ascii = 0;
    TKanaInput::TKanaScript Script = TKanaInput::ksHiragana;
};

bool FindKanaKey(QChar kana, TKanaKey& found) {
    for (TKanaInput::TKanaScript script : {TKanaInput::ksHiragana, TKanaInput::ksKatakana}) {
        const TKanaInput input(script);
        for (char ascii = 0x21; ascii < 0x7F; ++ascii) {
            if (input.CharacterOfKey(ascii) == kana) {
                found = {ascii, script};
                return true;
            }
        }
    }
    return false;
}

} // namespace

// The first page of every Japanese practice text, typed with the kana input
// alone: hiragana and katakana (switched with F6 and F7, which cost nothing),
// small kana and punctuation with Shift, voiced kana with the mark keys. A
// plain kana costs one keystroke, a voiced one two.
TEST(BuiltInLayouts, JapaneseTextsTypeWithTheKanaInput) {
    const QStringList files = QDir(AppDir() + QStringLiteral("Text"))
                                  .entryList({QStringLiteral("(일본어)*.txt")}, QDir::Files);
    ASSERT_GE(files.size(), 2);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        TSentenceText text;
        text.Load(AppDir() + QStringLiteral("Text/") + file, 16, 1400);
        QStringList page;
        ASSERT_EQ(text.NextPage(4, page), TSentenceText::prShown);
        ASSERT_EQ(TKanaInput::LayoutForText(page, 1), 7);

        int voiced = 0;
        for (const QString& line : page) {
            TTypist typist(7, line);
            TKanaInput::TKanaScript script = TKanaInput::ksHiragana;
            QList<int> expected;
            for (QChar c : typist.model.Sentence(0)->problem) {
                TKanaKey key;
                char mark = 0;
                if (!FindKanaKey(c, key)) {
                    // A voiced kana: its plain kana, then ゛ ([) or ゜ (]).
                    const QString parts = QString(c).normalized(QString::NormalizationForm_D);
                    ASSERT_EQ(parts.size(), 2) << QString(c).toStdString();
                    ASSERT_TRUE(FindKanaKey(parts[0], key)) << QString(c).toStdString();
                    mark = parts[1] == QChar(0x3099) ? '[' : ']';
                    ++voiced;
                }
                // Punctuation is the same in both scripts: no switch for it.
                if (key.Script != script && TKanaInput::IsKana(c) &&
                    TKanaInput(script).CharacterOfKey(key.Ascii) != c) {
                    typist.PressKey(key.Script == TKanaInput::ksKatakana ? Qt::Key_F7 : Qt::Key_F6);
                    script = key.Script;
                }
                typist.Press(key.Ascii);
                if (mark)
                    typist.Press(mark);
                expected << (mark ? 2 : 1);
            }
            typist.composer.Commit();
            EXPECT_EQ(typist.Typed(), typist.model.Sentence(0)->problem);
            EXPECT_EQ(typist.HitCounts(), expected);
        }
        EXPECT_GT(voiced, 0);
    }
}
