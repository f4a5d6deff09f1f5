#include "app/KeyboardLayouts.h"

#include <QStringList>
#include <stdexcept>

namespace {

// clang-format off
constexpr TPhysicalKey kPhysicalKeys[kKeyCount] = {
    // Row 1: digits
    {1, 1, 1.0f, 0xC0, fpLeft4},  {1, 2, 1.0f, 0x31, fpLeft4},  {1, 3, 1.0f, 0x32, fpLeft4},
    {1, 4, 1.0f, 0x33, fpLeft3},  {1, 5, 1.0f, 0x34, fpLeft3},  {1, 6, 1.0f, 0x35, fpLeft2},
    {1, 7, 1.0f, 0x36, fpLeft2},  {1, 8, 1.0f, 0x37, fpRight2}, {1, 9, 1.0f, 0x38, fpRight2},
    {1, 10, 1.0f, 0x39, fpRight3}, {1, 11, 1.0f, 0x30, fpRight3}, {1, 12, 1.0f, 0xBD, fpRight4},
    {1, 13, 1.0f, 0xBB, fpRight4}, {1, 14, 2.0f, 0x08, fpRight5},           // Backspace
    // Row 2: upper letters
    {2, 1, 1.5f, 0x09, fpLeft5},                                             // Tab
    {2, 2, 1.0f, 0x51, fpLeft5},  {2, 3, 1.0f, 0x57, fpLeft4},  {2, 4, 1.0f, 0x45, fpLeft3},
    {2, 5, 1.0f, 0x52, fpLeft2},  {2, 6, 1.0f, 0x54, fpLeft2},  {2, 7, 1.0f, 0x59, fpRight2},
    {2, 8, 1.0f, 0x55, fpRight2}, {2, 9, 1.0f, 0x49, fpRight3}, {2, 10, 1.0f, 0x4F, fpRight3},
    {2, 11, 1.0f, 0x50, fpRight4}, {2, 12, 1.0f, 0xDB, fpRight4}, {2, 13, 1.0f, 0xDD, fpRight5},
    {2, 14, 1.5f, 0xDC, fpRight5},
    // Row 3: home row
    {3, 1, 1.75f, 0x14, fpLeft5},                                            // Caps Lock
    {3, 2, 1.0f, 0x41, fpLeft5},  {3, 3, 1.0f, 0x53, fpLeft4},  {3, 4, 1.0f, 0x44, fpLeft3},
    {3, 5, 1.0f, 0x46, fpLeft2},  {3, 6, 1.0f, 0x47, fpLeft2},  {3, 7, 1.0f, 0x48, fpRight2},
    {3, 8, 1.0f, 0x4A, fpRight2}, {3, 9, 1.0f, 0x4B, fpRight3}, {3, 10, 1.0f, 0x4C, fpRight4},
    {3, 11, 1.0f, 0xBA, fpRight5}, {3, 12, 1.0f, 0xDE, fpRight5},
    {3, 13, 2.25f, 0x0D, fpRight5},                                          // Enter
    // Row 4: lower letters
    {4, 1, 2.2f, 0x10, fpLeft5},                                             // left Shift
    {4, 2, 1.0f, 0x5A, fpLeft5},  {4, 3, 1.0f, 0x58, fpLeft4},  {4, 4, 1.0f, 0x43, fpLeft3},
    {4, 5, 1.0f, 0x56, fpLeft2},  {4, 6, 1.0f, 0x42, fpLeft2},  {4, 7, 1.0f, 0x4E, fpRight2},
    {4, 8, 1.0f, 0x4D, fpRight2}, {4, 9, 1.0f, 0xBC, fpRight3}, {4, 10, 1.0f, 0xBE, fpRight4},
    {4, 11, 1.0f, 0xBF, fpRight5},
    {4, 12, 2.8f, 0x10, fpRight5},                                           // right Shift
};

// The character keys of one keyboard row of a layout, as space-separated
// tokens in key order (control keys left out): unshifted and shifted
// characters ("·" stands for the single space that means "none"), drill
// groups (S, LU, LD, RU, RD, C, N, Y, T) and final-consonant flags (two
// digits per key, unshifted then shifted; nullptr when the layout has none).
struct TLayoutRowText {
    const char* Normal;
    const char* Shifted;
    const char* Groups;
    const char* JongSung;
};

constexpr TLayoutRowText kLayoutRows[kLayoutCount][4] = {
    { // 0: English QWERTY
        {"` 1 2 3 4 5 6 7 8 9 0 - =", "~ ! @ # $ % ^ & * ( ) _ +",
         "Y N N N N N N N N N N Y Y", nullptr},
        {"Q W E R T Y U I O P [ ] \\", "· · · · · · · · · · { } |",
         "LU LU LU LU C C RU RU RU RU Y Y Y", nullptr},
        {"A S D F G H J K L ; '", "· · · · · · · · · : \"",
         "S S S S C C S S S Y Y", nullptr},
        {"Z X C V B N M , . /", "· · · · · · · < > ?",
         "LD LD LD LD C C C Y Y Y", nullptr},
    },
    { // 1: Hangul Dubeolsik
        {"` 1 2 3 4 5 6 7 8 9 0 - =", "~ ! @ # $ % ^ & * ( ) _ +",
         "Y N N N N N N N N N N Y Y", nullptr},
        {"ㅂ ㅈ ㄷ ㄱ ㅅ ㅛ ㅕ ㅑ ㅐ ㅔ [ ] \\", "ㅃ ㅉ ㄸ ㄲ ㅆ · · · · · { } |",
         "LU LU LU LU C C RU RU RU RU Y Y Y", nullptr},
        {"ㅁ ㄴ ㅇ ㄹ ㅎ ㅗ ㅓ ㅏ ㅣ ; '", "· · · · · · · · · : \"",
         "S S S S C C S S S Y Y", nullptr},
        {"ㅋ ㅌ ㅊ ㅍ ㅠ ㅜ ㅡ , . /", "· · · · · · · < > ?",
         "LD LD LD LD C C C Y Y Y", nullptr},
    },
    { // 2: Sebeolsik 3-90
        {"` ㅎ ㅆ ㅂ ㅛ ㅠ ㅑ ㅖ ㅢ ㅜ ㅋ - =", "~ ㅈ @ # $ % ^ & * ( ) _ +",
         "Y T T T T T C C T T T Y Y", "00 11 10 10 00 00 00 00 00 00 00 00 00"},
        {"ㅅ ㄹ ㅕ ㅐ ㅓ ㄹ ㄷ ㅁ ㅊ ㅍ [ ] \\", "ㅍ ㅌ ㅋ ㅒ ; < 7 8 9 > { } |",
         "LU LU LU LU C C RU RU RU RU Y Y Y", "11 11 01 00 00 00 00 00 00 00 00 00 00"},
        {"ㅇ ㄴ ㅣ ㅏ ㅡ ㄴ ㅇ ㄱ ㅈ ㅂ ㅌ", "ㄷ ㄶ ㄺ ㄲ / ' 4 5 6 : \"",
         "S S S S C C S S S S S", "11 11 01 01 00 00 00 00 00 00 00"},
        {"ㅁ ㄱ ㅔ ㅗ ㅜ ㅅ ㅎ , . ㅗ", "ㅊ ㅄ ㄻ ㅀ ! 0 1 2 3 ?",
         "LD LD LD LD C C RD Y Y RD", "11 11 01 01 00 00 00 00 00 00"},
    },
    { // 3: Sebeolsik without Shift
        {"` ㅎ ㅆ ㅂ ㅛ ㅠ ㅑ ㅖ ㅢ ㅋ ㅒ ㅈ ㅊ", "~ ! @ # $ % ^ & * ( ) _ +",
         "Y T T T T T C C T T T T T", "00 11 11 11 01 01 00 00 00 00 00 10 10"},
        {"ㅅ ㄹ ㅕ ㅐ ㅓ ㄹ ㄷ ㅁ ㅊ ㅍ ㅌ ㅍ ㅋ", "· · · · ; < 7 8 9 > { } |",
         "LU LU LU LU C C RU RU RU RU RU RU RU", "11 11 00 00 00 00 00 00 00 00 10 10 10"},
        {"ㅇ ㄴ ㅣ ㅏ ㅡ ㄴ ㅇ ㄱ ㅈ ㅂ ㅌ", "· [ ] · / ' 4 5 6 : \"",
         "S S S S C C S S S S S", "11 10 00 00 00 00 00 00 00 00 00"},
        {"ㅁ ㄱ ㅔ ㅗ ㅜ ㅅ ㅎ , . ㄷ", "- = \\ · ! 0 1 2 3 ?",
         "LD LD LD LD C C RD Y Y RD", "10 10 00 00 00 00 00 00 00 10"},
    },
    { // 4: Sebeolsik 3-91
        {"* ㅎ ㅆ ㅂ ㅛ ㅠ ㅑ ㅖ ㅢ ㅜ ㅋ ) >", "※ ㄲ ㄺ ㅈ ㄿ ㄾ = \" \" ' ~ ; +",
         "Y T T T T T C C T T T Y Y", "00 11 11 11 01 01 00 00 00 00 00 00 00"},
        {"ㅅ ㄹ ㅕ ㅐ ㅓ ㄹ ㄷ ㅁ ㅊ ㅍ ( < \\", "ㅍ ㅌ ㄵ ㅀ ㄽ 5 6 7 8 9 % / |",
         "LU LU LU LU C C RU RU RU RU Y Y Y", "11 11 01 01 01 00 00 00 00 00 00 00 00"},
        {"ㅇ ㄴ ㅣ ㅏ ㅡ ㄴ ㅇ ㄱ ㅈ ㅂ ㅌ", "ㄷ ㄶ ㄼ ㄻ ㅒ 0 1 2 3 4 .",
         "S S S S C C S S S S S", "11 11 01 01 00 00 00 00 00 00 00"},
        {"ㅁ ㄱ ㅔ ㅗ ㅜ ㅅ ㅎ , . ㅗ", "ㅊ ㅄ ㅋ ㄳ ? - \" , . !",
         "LD LD LD LD C C RD Y Y RD", "11 11 01 01 00 00 00 00 00 00"},
    },
    { // 5: Sebeolsik 3-2011
        {"; ㅎ ㅆ ㅂ ㅛ ㅠ ㅑ ㅖ ㅢ ㅜ ㅋ [ ]", "_ ㄲ ㄺ ㄵ $ # ^ & ~ ( ) * +",
         "Y T T T T T C C T T T Y Y", "00 11 11 11 00 00 00 00 00 00 00 00 00"},
        {"ㅅ ㄹ ㅕ ㅓ ㅐ ㄹ ㄷ ㅁ ㅊ ㅍ _ : =", "ㅍ ㅌ ㅈ ㅀ ㅒ 5 6 7 8 9 . / \\",
         "LU LU LU LU C C RU RU RU RU Y Y Y", "11 11 01 01 00 00 00 00 00 00 00 00 00"},
        {"ㅇ ㄴ ㅣ ㅏ ㅡ ㄴ ㅇ ㄱ ㅈ ㅂ ㅌ", "ㄷ ㄶ ㄼ ㄻ ! 0 1 2 3 4 %",
         "S S S S C C S S S S S", "11 11 01 01 00 00 00 00 00 00 00"},
        {"ㅁ ㄱ ㅔ ㅗ ㅜ ㅅ ㅎ , . ㅗ", "ㅊ ㅄ ㅋ ㄳ @ ' \" < > ?",
         "LD LD LD LD C C RD Y Y RD", "11 11 01 01 00 00 00 00 00 00"},
    },
    { // 6: Sebeolsik 3-2012
        {"` ㅎ ㅆ ㅂ ㅛ ㅠ ㅑ ㅖ ㅢ ㅜ ㅋ - =", "~ ! @ # $ % ^ & * ( ) _ +",
         "Y T T T T T C C T T T Y Y", "00 10 10 10 00 00 00 00 00 00 00 00 00"},
        {"ㅅ ㄹ ㅕ ㅓ ㅐ ㄹ ㄷ ㅁ ㅊ ㅍ [ ] \\", "ㅍ ㅌ ㅈ ㅀ ㅒ 5 6 7 8 9 { } |",
         "LU LU LU LU C C RU RU RU RU Y Y Y", "11 11 01 01 00 00 00 00 00 00 00 00 00"},
        {"ㅇ ㄴ ㅣ ㅏ ㅡ ㄴ ㅇ ㄱ ㅈ ㅂ ㅌ", "ㄷ ㄶ ㄺ ㄻ : 0 1 2 3 4 /",
         "S S S S C C S S S S S", "11 11 01 01 00 00 00 00 00 00 00"},
        {"ㅁ ㄱ ㅔ ㅗ ㅜ ㅅ ㅎ , . ㅗ", "ㅊ ㅄ ㅋ ㄲ ; ' \" < > ?",
         "LD LD LD LD C C RD Y Y RD", "11 11 01 01 00 00 00 00 00 00"},
    },
    { // 7: Japanese hiragana
        {"ろ ぬ ふ あ う え お や ゆ よ わ ほ へ", "· · · ぁ ぅ ぇ ぉ ゃ ゅ ょ を · ·",
         "T T T T T T T T T T T T T", nullptr},
        {"た て い す か ん な に ら せ ˝ ° む", "· · ぃ · · · · · · · 「 」 ·",
         "LU LU LU LU C C RU RU RU RU Y Y RU", nullptr},
        {"ち と し は き く ま の り れ け", "· · · · · · · · · · ·",
         "S S S S C C S S S S S", nullptr},
        {"つ さ そ ひ こ み も ね る め", "っ · · · · · · · · ·",
         "LD LD LD LD C C C RD RD RD", nullptr},
    },
    { // 8: Japanese katakana
        {"ロ ヌ フ ア ウ エ オ ヤ ユ ヨ ワ ホ ヘ", "· · · ァ ゥ ェ ォ ャ ュ ョ ヲ · ·",
         "T T T T T T T T T T T T T", nullptr},
        {"タ テ イ ス カ ン ナ ニ ラ セ ˝ ° ム", "· · ィ · · · · · · · 「 」 ·",
         "LU LU LU LU C C RU RU RU RU Y Y RU", nullptr},
        {"チ ト シ ハ キ ク マ ノ リ レ ケ", "· · · · · · · · · · ·",
         "S S S S C C S S S S S", nullptr},
        {"ツ サ ソ ヒ コ ミ モ ネ ル メ", "ッ · · · · · · · · ·",
         "LD LD LD LD C C C RD RD RD", nullptr},
    },
};
// clang-format on

constexpr const char* kLayoutCaptions[kLayoutCount] = {
    "영어 QWERTY",
    "한글 두벌식",
    "한글 세벌식 3-90",
    "한글 세벌식 순아래(No Shift)",
    "한글 세벌식 3-91(공병우 최종)",
    "한글 세벌식 3-2011",
    "한글 세벌식 3-2012",
    "일어 히라가나",
    "일어 가타카나",
};

// Where each keyboard row's character keys start and how many there are;
// the control keys sit between them.
struct TRowSpan {
    int First;
    int Count;
};
constexpr TRowSpan kCharacterRows[4] = {{0, 13}, {15, 13}, {29, 11}, {42, 10}};

TKeyGroup GroupFromCode(const QString& code) {
    static const struct {
        const char* Code;
        TKeyGroup Group;
    } kCodes[] = {{"S", kgStandard}, {"LU", kgLeftUp},    {"LD", kgLeftDown},
                  {"RU", kgRightUp}, {"RD", kgRightDown}, {"C", kgCenter},
                  {"N", kgNumber},   {"Y", kgSymbol},     {"T", kgTopMost}};
    for (const auto& entry : kCodes) {
        if (code == QLatin1String(entry.Code))
            return entry.Group;
    }
    throw std::logic_error("unknown key group code in a layout table");
}

QStringList Tokens(const char* row) {
    return QString::fromUtf8(row).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString CharacterFromToken(const QString& token) {
    return token == QStringLiteral("·") ? QStringLiteral(" ") : token;
}

TKeyInfo ControlKey(const char* label) {
    TKeyInfo info;
    info.KeyGroup = kgControl;
    info.DisplayChar[0] = QString::fromUtf8(label);
    info.DisplayChar[1] = QStringLiteral(" ");
    return info;
}

TEnglishKeyboardLayout BuildLayout(int index) {
    TEnglishKeyboardLayout layout;
    layout[13] = ControlKey(index == 0 ? "Back\rspace" : "Back\rSpace");
    layout[14] = ControlKey("Tab");
    layout[28] = ControlKey("Caps\rLock");
    layout[40] = ControlKey("Enter");
    layout[kLeftShiftIndex] = ControlKey("Shift");
    layout[kRightShiftIndex] = ControlKey("Shift");

    for (int row = 0; row < 4; ++row) {
        const TLayoutRowText& text = kLayoutRows[index][row];
        const QStringList normal = Tokens(text.Normal);
        const QStringList shifted = Tokens(text.Shifted);
        const QStringList groups = Tokens(text.Groups);
        const QStringList jong = text.JongSung ? Tokens(text.JongSung) : QStringList();
        const TRowSpan span = kCharacterRows[row];
        if (normal.size() != span.Count || shifted.size() != span.Count ||
            groups.size() != span.Count || (text.JongSung && jong.size() != span.Count))
            throw std::logic_error("layout table row of the wrong length");

        for (int i = 0; i < span.Count; ++i) {
            TKeyInfo& key = layout[size_t(span.First + i)];
            key.KeyGroup = GroupFromCode(groups[i]);
            key.DisplayChar[0] = CharacterFromToken(normal[i]);
            key.DisplayChar[1] = CharacterFromToken(shifted[i]);
            if (text.JongSung) {
                key.IsJongSung[0] = jong[i][0] == QLatin1Char('1');
                key.IsJongSung[1] = jong[i][1] == QLatin1Char('1');
            }
        }
    }
    return layout;
}

const std::array<TEnglishKeyboardLayout, kLayoutCount>& AllLayouts() {
    static const std::array<TEnglishKeyboardLayout, kLayoutCount> layouts = [] {
        std::array<TEnglishKeyboardLayout, kLayoutCount> built;
        for (int i = 0; i < kLayoutCount; ++i)
            built[size_t(i)] = BuildLayout(i);
        return built;
    }();
    return layouts;
}

} // namespace

const TPhysicalKey& PhysicalKey(int index) {
    if (index < 0 || index >= kKeyCount)
        throw std::out_of_range("physical key index");
    return kPhysicalKeys[index];
}

const TEnglishKeyboardLayout& KeyboardLayout(int index) {
    if (index < 0 || index >= kLayoutCount)
        throw std::out_of_range("keyboard layout index");
    return AllLayouts()[size_t(index)];
}

bool AssignKeyboardLayout(int index, TEnglishKeyboardLayout& layout) {
    if (index < 0 || index >= kLayoutCount)
        return false;
    layout = AllLayouts()[size_t(index)];
    return true;
}

QString LayoutCaption(int index) {
    if (index < 0 || index >= kLayoutCount)
        return {};
    return QString::fromUtf8(kLayoutCaptions[index]);
}

int ShiftKeyIndexFor(int keyIndex) {
    return IsRightHand(PhysicalKey(keyIndex).Finger) ? kLeftShiftIndex : kRightShiftIndex;
}
