#pragma once

#include <array>
#include <QChar>
#include <QString>
#include <QStringList>

// The built-in kana input of the JIS kana layouts (the keyboard layouts
// "일어 히라가나" and "일어 가타카나"): every key gives its kana at once, as
// the layout table shows it, in the script chosen (hiragana or katakana).
//
// A kana that can take a voicing mark (か, は, う, ...) waits as the pending
// kana until the next key: the voiced-mark key (゛) or the semi-voiced one
// (゜) then combines with it into one character (か + ゛ -> が, は + ゜ -> ぱ),
// which waits in turn until the next key makes it final. Any other key makes
// the pending kana final first. Kana that take no mark, small kana and
// punctuation are final at once. A mark that has nothing to combine with is
// typed as it is (゛, ゜).
//
// Results are read as from libhangul: after each call CommitString() holds
// what became final and PreeditString() the pending kana, if any. The input
// composer turns them into its composition events, so a voiced kana costs the
// two keystrokes that built it and a plain kana one.
//
// Keys are addressed by the ASCII character they give on a US keyboard, Shift
// included ('a' is the A key, 'A' Shift+A). Shift gives a key's small kana or
// bracket where the layout has one; the shifted keys the layout leaves empty
// give the punctuation of the JIS kana arrangement (Shift+, 、 Shift+. 。
// Shift+/ ・ Shift+- ー) or else the unshifted kana, as on a kana keyboard.
class TKanaInput {
public:
    enum TKanaScript { ksHiragana, ksKatakana };

    // The kana layouts among the keyboard layout indices: 7 and 8.
    static bool IsKanaLayout(int languageIndex);
    // The script of a kana layout (hiragana for any other index).
    static TKanaScript ScriptOfLayout(int languageIndex);
    // A script-switching key: the JIS keys ひらがな, カタカナ and
    // カタカナ/ひらがな (which flips), and F6 (hiragana) and F7 (katakana) as
    // on Japanese input methods. False for other keys.
    static bool ScriptForKey(int qtKey, TKanaScript current, TKanaScript& script);

    // The keyboard layout the built-in composer should use for a practice
    // text: a text with kana in it takes the stored layout when that is a
    // kana one and hiragana otherwise; any other text takes the stored layout
    // unless that is a kana one (Dubeolsik then).
    static int LayoutForText(const QStringList& lines, int storedLayout);

    explicit TKanaInput(TKanaScript script = ksHiragana);

    TKanaScript Script() const { return FScript; }
    // Switching makes the pending kana final (in the commit string).
    void SetScript(TKanaScript script);

    // Processes one key. False when no key gives `ascii`; the pending kana
    // then stays as it is and the commit string is empty.
    bool Process(int ascii);
    // Takes the last key of the pending kana back (が becomes か, か goes);
    // false when none was pending.
    bool Backspace();
    // Makes the pending kana final and returns it (empty when none).
    QString Flush();
    // Drops everything without committing it.
    void Reset();

    QString CommitString() const { return FCommit; }
    QString PreeditString() const { return FPending.isNull() ? QString() : QString(FPending); }
    bool IsEmpty() const { return FPending.isNull(); }

    // The character the key of `ascii` gives in the current script, 0 when
    // none does. The voicing-mark keys give ゛ and ゜.
    QChar CharacterOfKey(int ascii) const;

    // `kana` with the mark ゛ or ゜ as one character, 0 when they do not
    // combine (the kana takes no such mark, or already has one).
    static QChar Combine(QChar kana, QChar mark);
    // Whether a kana being composed can still become `expected`: it is the
    // same character or one of its voiced forms.
    static bool CanBecome(QChar composing, QChar expected);
    // Hiragana, katakana and the kana voicing marks.
    static bool IsKana(QChar c);

private:
    using TKeyMap = std::array<QChar, 128>;
    static const TKeyMap& KeyMap(TKanaScript script);

    TKanaScript FScript;
    QChar FPending;
    QString FCommit;
};
