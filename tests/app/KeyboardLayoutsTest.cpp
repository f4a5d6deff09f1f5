#include "app/KeyboardLayouts.h"

#include <gtest/gtest.h>
#include <set>

namespace {

const int kControlIndices[] = {13, 14, 28, 40, 41, 52};

bool IsControlIndex(int i) {
    return std::find(std::begin(kControlIndices), std::end(kControlIndices), i) !=
           std::end(kControlIndices);
}

QString Normal(int layout, int key) {
    return KeyboardLayout(layout)[size_t(key)].DisplayChar[0];
}
QString Shifted(int layout, int key) {
    return KeyboardLayout(layout)[size_t(key)].DisplayChar[1];
}

} // namespace

TEST(PhysicalKeys, TableShapeRowsColumnsAndBothShifts) {
    int perRow[5] = {};
    for (int i = 0; i < kKeyCount; ++i) {
        const TPhysicalKey& key = PhysicalKey(i);
        ASSERT_GE(key.Row, 1);
        ASSERT_LE(key.Row, 4);
        EXPECT_EQ(key.Col, ++perRow[key.Row]) << "key " << i; // columns run 1, 2, 3 ... per row
        EXPECT_NE(key.Finger, fpUnknown);
    }
    EXPECT_EQ(perRow[1], 14);
    EXPECT_EQ(perRow[2], 14);
    EXPECT_EQ(perRow[3], 13);
    EXPECT_EQ(perRow[4], 12);

    const TPhysicalKey& left = PhysicalKey(kLeftShiftIndex);
    const TPhysicalKey& right = PhysicalKey(kRightShiftIndex);
    EXPECT_EQ(left.Key, 0x10);
    EXPECT_EQ(right.Key, 0x10);
    EXPECT_FLOAT_EQ(left.Width, 2.2f);
    EXPECT_FLOAT_EQ(right.Width, 2.8f);
    EXPECT_EQ(left.Finger, fpLeft5);
    EXPECT_EQ(right.Finger, fpRight5);

    // Apart from the two Shift keys every key code is unique.
    std::set<int> codes;
    for (int i = 0; i < kKeyCount; ++i)
        codes.insert(PhysicalKey(i).Key);
    EXPECT_EQ(codes.size(), size_t(kKeyCount - 1));

    EXPECT_FLOAT_EQ(PhysicalKey(13).Width, 2.0f);
    EXPECT_FLOAT_EQ(PhysicalKey(28).Width, 1.75f);
    EXPECT_FLOAT_EQ(PhysicalKey(40).Width, 2.25f);
    EXPECT_EQ(PhysicalKey(27).Key, 0xDC);
    EXPECT_EQ(PhysicalKey(38).Finger, fpRight5);
    EXPECT_THROW(PhysicalKey(53), std::out_of_range);
}

TEST(KeyboardLayouts, EveryLayoutHasTheSameControlKeysAndFullCharacterKeys) {
    for (int layout = 0; layout < kLayoutCount; ++layout) {
        const TEnglishKeyboardLayout& keys = KeyboardLayout(layout);
        int characterKeys = 0;
        for (int i = 0; i < kKeyCount; ++i) {
            const TKeyInfo& key = keys[size_t(i)];
            if (IsControlIndex(i)) {
                EXPECT_EQ(key.KeyGroup, kgControl) << layout << ":" << i;
                EXPECT_EQ(key.DisplayChar[1], QString(" "));
                EXPECT_FALSE(key.IsJongSung[0] || key.IsJongSung[1]);
            } else {
                ++characterKeys;
                EXPECT_NE(key.KeyGroup, kgControl);
                EXPECT_NE(key.KeyGroup, kgNone);
                EXPECT_FALSE(key.DisplayChar[0].isEmpty());
                EXPECT_FALSE(key.DisplayChar[1].isEmpty());
                EXPECT_NE(key.DisplayChar[0], QString(" ")) << layout << ":" << i;
                // Each entry fits 12 bytes of code page 949: at most 6 wide characters.
                EXPECT_LE(key.DisplayChar[0].size(), 6);
            }
        }
        EXPECT_EQ(characterKeys, 47);
        EXPECT_EQ(keys[13].DisplayChar[0],
                  layout == 0 ? QString("Back\rspace") : QString("Back\rSpace"));
        EXPECT_TRUE(keys[13].DisplayChar[0].contains(QChar(0x0D)));
        EXPECT_EQ(keys[28].DisplayChar[0], QString("Caps\rLock"));
        EXPECT_EQ(keys[41].DisplayChar[0], QString("Shift"));
        EXPECT_EQ(keys[52].DisplayChar[0], QString("Shift"));
    }
    EXPECT_EQ(LayoutCaption(0), QStringLiteral("영어 QWERTY"));
    EXPECT_EQ(LayoutCaption(3), QStringLiteral("한글 세벌식 순아래(No Shift)"));
    EXPECT_EQ(LayoutCaption(8), QStringLiteral("일어 가타카나"));
}

TEST(KeyboardLayouts, SpotValuesFromEveryTable) {
    // 0: English
    EXPECT_EQ(Normal(0, 0), QString("`"));
    EXPECT_EQ(Shifted(0, 27), QString("|"));
    EXPECT_EQ(Shifted(0, 15), QString(" "));             // letters have no shifted character
    EXPECT_EQ(KeyboardLayout(0)[33].KeyGroup, kgCenter); // G
    EXPECT_EQ(KeyboardLayout(0)[48].KeyGroup, kgCenter); // M
    EXPECT_EQ(KeyboardLayout(0)[7].KeyGroup, kgNumber);
    // 1: Dubeolsik
    EXPECT_EQ(Normal(1, 15), QStringLiteral("ㅂ"));
    EXPECT_EQ(Shifted(1, 15), QStringLiteral("ㅃ"));
    EXPECT_EQ(Normal(1, 42), QStringLiteral("ㅋ"));
    EXPECT_EQ(Normal(1, 49), QString(","));
    EXPECT_EQ(Shifted(1, 39), QString("\""));
    // 2: 3-90
    EXPECT_EQ(Shifted(2, 1), QStringLiteral("ㅈ"));
    EXPECT_TRUE(KeyboardLayout(2)[1].IsJongSung[0] && KeyboardLayout(2)[1].IsJongSung[1]);
    EXPECT_EQ(Shifted(2, 30), QStringLiteral("ㄶ"));
    EXPECT_EQ(KeyboardLayout(2)[51].KeyGroup, kgRightDown);
    // 3: no Shift
    EXPECT_EQ(Normal(3, 26), QStringLiteral("ㅍ"));
    EXPECT_EQ(Shifted(3, 42), QString("-"));
    EXPECT_TRUE(KeyboardLayout(3)[51].IsJongSung[0]);
    // 4: 3-91
    EXPECT_EQ(Shifted(4, 0), QStringLiteral("※"));
    EXPECT_EQ(Shifted(4, 7), QString("\""));
    EXPECT_EQ(Shifted(4, 8), QString("\""));
    EXPECT_EQ(Shifted(4, 19), QStringLiteral("ㄽ"));
    EXPECT_TRUE(KeyboardLayout(4)[19].IsJongSung[1]);
    // 5: 3-2011
    EXPECT_EQ(Normal(5, 0), QString(";"));
    EXPECT_EQ(Normal(5, 18), QStringLiteral("ㅓ"));
    EXPECT_EQ(Shifted(5, 33), QString("!"));
    // 6: 3-2012
    EXPECT_TRUE(KeyboardLayout(6)[1].IsJongSung[0]);
    EXPECT_FALSE(KeyboardLayout(6)[1].IsJongSung[1]);
    EXPECT_EQ(Shifted(6, 45), QStringLiteral("ㄲ"));
    // 7, 8: kana
    EXPECT_EQ(Normal(7, 0), QStringLiteral("ろ"));
    EXPECT_EQ(Shifted(7, 10), QStringLiteral("を"));
    EXPECT_EQ(Normal(7, 26), QStringLiteral("°"));
    EXPECT_EQ(Shifted(7, 25), QStringLiteral("「"));
    EXPECT_EQ(KeyboardLayout(7)[27].KeyGroup, kgRightUp);
    EXPECT_EQ(Normal(8, 0), QStringLiteral("ロ"));
    EXPECT_EQ(Shifted(8, 42), QStringLiteral("ッ"));
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(KeyboardLayout(8)[size_t(i)].KeyGroup, kgTopMost);
}

TEST(KeyboardLayouts, NoShiftLayoutPutsFinalConsonantsOnMinusAndEquals) {
    const TEnglishKeyboardLayout& layout = KeyboardLayout(3);
    EXPECT_EQ(layout[11].DisplayChar[0], QStringLiteral("ㅈ"));
    EXPECT_EQ(layout[12].DisplayChar[0], QStringLiteral("ㅊ"));
    EXPECT_TRUE(layout[11].IsJongSung[0]);
    EXPECT_TRUE(layout[12].IsJongSung[0]);
    EXPECT_FALSE(layout[11].IsJongSung[1]);
}

TEST(KeyboardLayouts, ShiftedCharactersAskForTheOtherHandsShift) {
    // "ㅃ" on Q (struck by the left little finger) needs the right Shift.
    EXPECT_EQ(ShiftKeyIndexFor(15), kRightShiftIndex);
    EXPECT_EQ(PhysicalKey(ShiftKeyIndexFor(15)).Finger, fpRight5);
    // "?" on / (right hand) needs the left Shift.
    EXPECT_EQ(ShiftKeyIndexFor(51), kLeftShiftIndex);
    EXPECT_TRUE(IsRightHand(fpRight1));
    EXPECT_FALSE(IsRightHand(fpLeft5));
    EXPECT_FALSE(IsRightHand(fpUnknown));
}

TEST(KeyboardLayouts, OutOfRangeIndexKeepsThePreviousLayout) {
    TEnglishKeyboardLayout current = KeyboardLayout(1);
    EXPECT_FALSE(AssignKeyboardLayout(9, current));
    EXPECT_FALSE(AssignKeyboardLayout(-1, current));
    EXPECT_EQ(current[15].DisplayChar[0], QStringLiteral("ㅂ"));
    EXPECT_TRUE(AssignKeyboardLayout(7, current));
    EXPECT_EQ(current[15].DisplayChar[0], QStringLiteral("た"));
    EXPECT_THROW(KeyboardLayout(9), std::out_of_range);
}

TEST(KeyGroupSet, IncludeExcludeContains) {
    TKeyGroupSet set{kgStandard, kgNumber};
    EXPECT_TRUE(set.Contains(kgStandard));
    EXPECT_FALSE(set.Contains(kgControl));
    set.Include(kgControl);
    set.Exclude(kgStandard);
    EXPECT_TRUE(set.Contains(kgControl));
    EXPECT_FALSE(set.Contains(kgStandard));
    EXPECT_FALSE(set.Empty());
    EXPECT_TRUE(TKeyGroupSet{}.Empty());
}
