#include "platform/KanaInput.h"

#include "app/KeyboardLayouts.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <Qt>

namespace {

constexpr int kHiraganaLayout = 7;
constexpr int kKatakanaLayout = 8;

constexpr char16_t kVoicedMark = u'゛';           // U+309B
constexpr char16_t kSemiVoicedMark = u'゜';       // U+309C
constexpr char16_t kCombiningVoiced = 0x3099;     // combining form of ゛
constexpr char16_t kCombiningSemiVoiced = 0x309A; // combining form of ゜

// The key caps of the layout tables show the marks with look-alike glyphs.
constexpr char16_t kVoicedCap = u'˝';     // U+02DD
constexpr char16_t kSemiVoicedCap = u'°'; // U+00B0

// Shifted keys the layout tables leave empty that carry punctuation in the
// JIS kana arrangement, by the US character of the shifted key.
struct TPunctuation {
    char Ascii;
    char16_t Kana;
};
constexpr TPunctuation kPunctuation[] = {
    {'<', u'、'},
    {'>', u'。'},
    {'?', u'・'},
    {'_', u'ー'},
};

QChar FromCap(const QString& cap) {
    if (cap.size() != 1 || cap == QStringLiteral(" "))
        return {};
    if (cap[0] == kVoicedCap)
        return QChar(kVoicedMark);
    if (cap[0] == kSemiVoicedCap)
        return QChar(kSemiVoicedMark);
    return cap[0];
}

bool IsMark(QChar c) {
    return c == kVoicedMark || c == kSemiVoicedMark;
}

bool TakesAMark(QChar c) {
    return !TKanaInput::Combine(c, QChar(kVoicedMark)).isNull() ||
           !TKanaInput::Combine(c, QChar(kSemiVoicedMark)).isNull();
}

} // namespace

bool TKanaInput::IsKanaLayout(int languageIndex) {
    return languageIndex == kHiraganaLayout || languageIndex == kKatakanaLayout;
}

TKanaInput::TKanaScript TKanaInput::ScriptOfLayout(int languageIndex) {
    return languageIndex == kKatakanaLayout ? ksKatakana : ksHiragana;
}

bool TKanaInput::ScriptForKey(int qtKey, TKanaScript current, TKanaScript& script) {
    switch (qtKey) {
    case Qt::Key_Hiragana_Katakana:
        script = current == ksHiragana ? ksKatakana : ksHiragana;
        return true;
    case Qt::Key_Hiragana:
    case Qt::Key_F6:
        script = ksHiragana;
        return true;
    case Qt::Key_Katakana:
    case Qt::Key_F7:
        script = ksKatakana;
        return true;
    default:
        return false;
    }
}

int TKanaInput::LayoutForText(const QStringList& lines, int storedLayout) {
    constexpr int kDubeolsikLayout = 1;
    const bool hasKana = std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        return std::any_of(line.begin(), line.end(), [](QChar c) { return IsKana(c); });
    });
    if (hasKana)
        return IsKanaLayout(storedLayout) ? storedLayout : kHiraganaLayout;
    return IsKanaLayout(storedLayout) ? kDubeolsikLayout : storedLayout;
}

TKanaInput::TKanaInput(TKanaScript script)
    : FScript(script) {}

const TKanaInput::TKeyMap& TKanaInput::KeyMap(TKanaScript script) {
    static const std::array<TKeyMap, 2> maps = [] {
        std::array<TKeyMap, 2> built{};
        for (int s = 0; s < 2; ++s) {
            const TEnglishKeyboardLayout& layout =
                KeyboardLayout(s == ksKatakana ? kKatakanaLayout : kHiraganaLayout);
            for (int i = 0; i < kKeyCount; ++i) {
                const TKeyInfo& key = layout[size_t(i)];
                if (key.KeyGroup == kgControl)
                    continue;
                const int vk = PhysicalKey(i).Key;
                const char plain = UsCharOfVirtualKey(vk, false);
                const char shifted = UsCharOfVirtualKey(vk, true);
                const QChar unshifted = FromCap(key.DisplayChar[0]);
                built[size_t(s)][size_t(plain)] = unshifted;
                QChar withShift = FromCap(key.DisplayChar[1]);
                for (const TPunctuation& p : kPunctuation) {
                    if (withShift.isNull() && p.Ascii == shifted)
                        withShift = QChar(p.Kana);
                }
                built[size_t(s)][size_t(shifted)] = withShift.isNull() ? unshifted : withShift;
            }
        }
        return built;
    }();
    return maps[size_t(script)];
}

QChar TKanaInput::CharacterOfKey(int ascii) const {
    if (ascii <= 0x20 || ascii >= 0x7F)
        return {};
    return KeyMap(FScript)[size_t(ascii)];
}

void TKanaInput::SetScript(TKanaScript script) {
    FCommit = PreeditString();
    FPending = QChar();
    FScript = script;
}

bool TKanaInput::Process(int ascii) {
    FCommit.clear();
    const QChar c = CharacterOfKey(ascii);
    if (c.isNull())
        return false;
    if (IsMark(c)) {
        const QChar combined = FPending.isNull() ? QChar() : Combine(FPending, c);
        if (!combined.isNull()) {
            // Shown until the next key: it is the composition's second step.
            FPending = combined;
            return true;
        }
        FCommit = PreeditString() + c;
        FPending = QChar();
        return true;
    }
    FCommit = PreeditString();
    FPending = QChar();
    if (TakesAMark(c))
        FPending = c;
    else
        FCommit += c;
    return true;
}

bool TKanaInput::Backspace() {
    FCommit.clear();
    if (FPending.isNull())
        return false;
    // A voiced kana loses its mark first, as a Hangul syllable its last jamo.
    const QString parts = QString(FPending).normalized(QString::NormalizationForm_D);
    FPending = parts.size() == 2 ? parts[0] : QChar();
    return true;
}

QString TKanaInput::Flush() {
    FCommit.clear();
    const QString flushed = PreeditString();
    FPending = QChar();
    return flushed;
}

void TKanaInput::Reset() {
    FCommit.clear();
    FPending = QChar();
}

QChar TKanaInput::Combine(QChar kana, QChar mark) {
    if (!IsKana(kana) || IsMark(kana))
        return {};
    char16_t combining = 0;
    if (mark == kVoicedMark)
        combining = kCombiningVoiced;
    else if (mark == kSemiVoicedMark)
        combining = kCombiningSemiVoiced;
    else
        return {};
    // Unicode's canonical composition knows exactly which kana take which mark.
    const QString composed =
        (QString(kana) + QChar(combining)).normalized(QString::NormalizationForm_C);
    return composed.size() == 1 ? composed[0] : QChar();
}

bool TKanaInput::CanBecome(QChar composing, QChar expected) {
    if (composing == expected)
        return true;
    const QString parts = QString(expected).normalized(QString::NormalizationForm_D);
    return parts.size() == 2 && parts[0] == composing &&
           (parts[1] == kCombiningVoiced || parts[1] == kCombiningSemiVoiced);
}

bool TKanaInput::IsKana(QChar c) {
    const char16_t code = c.unicode();
    return code >= 0x3041 && code <= 0x30FF;
}
