#include "platform/VirtualKeys.h"

#include "app/KeyboardLayouts.h"

#include <gtest/gtest.h>
#include <QKeyEvent>

namespace {

// XKB keycodes (evdev + 8) of the physical keys in table order, as a
// US keyboard reports them through X11 or Wayland.
constexpr quint32 kXkbKeycodes[kKeyCount] = {
    49, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
    27, 28, 29, 30, 31, 32, 33, 34, 35, 51, 66, 38, 39, 40, 41, 42, 43, 44,
    45, 46, 47, 48, 36, 50, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62,
};

} // namespace

TEST(VirtualKeys, AllFiftyThreeScanCodesMapOntoTheirKeys) {
    for (int i = 0; i < kKeyCount; ++i) {
        EXPECT_EQ(PhysicalKeyIndexFromScanCode(kXkbKeycodes[i]), i);
        EXPECT_EQ(VirtualKeyFromScanCode(kXkbKeycodes[i]), PhysicalKey(i).Key) << i;
    }
    // Both Shift keys report 0x10 and stay apart by index.
    EXPECT_EQ(VirtualKeyFromScanCode(50), 0x10);
    EXPECT_EQ(VirtualKeyFromScanCode(62), 0x10);
    EXPECT_EQ(PhysicalKeyIndexFromScanCode(50), kLeftShiftIndex);
    EXPECT_EQ(PhysicalKeyIndexFromScanCode(62), kRightShiftIndex);
    // Space is known, other keys are not.
    EXPECT_EQ(VirtualKeyFromScanCode(65), 0x20);
    EXPECT_EQ(VirtualKeyFromScanCode(67), 0); // F1
    EXPECT_EQ(VirtualKeyFromScanCode(0), 0);
    EXPECT_EQ(PhysicalKeyIndexFromScanCode(3), -1);
}

TEST(VirtualKeys, EventsUseTheScanCodeWhateverTheActiveLayout) {
    // A French AZERTY desktop reports Qt::Key_A for the key in Q's place.
    const QKeyEvent azertyA(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 24, 0, 0, "a");
    EXPECT_EQ(VirtualKeyOf(azertyA), 0x51);
    EXPECT_EQ(PhysicalKeyIndexOf(azertyA), 15);

    const QKeyEvent rightShift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 62, 0, 0);
    EXPECT_EQ(VirtualKeyOf(rightShift), 0x10);
    EXPECT_EQ(PhysicalKeyIndexOf(rightShift), kRightShiftIndex);
}

TEST(VirtualKeys, SynthesizedEventsFallBackToTheQtKey) {
    const QKeyEvent letter(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, "g");
    EXPECT_EQ(VirtualKeyOf(letter), 0x47);
    const QKeyEvent exclam(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, "!");
    EXPECT_EQ(VirtualKeyOf(exclam), 0x31);
    EXPECT_EQ(PhysicalKeyIndexOf(exclam), 1);
    const QKeyEvent question(QEvent::KeyPress, Qt::Key_Question, Qt::ShiftModifier, "?");
    EXPECT_EQ(PhysicalKeyIndexOf(question), 51);
    const QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(PhysicalKeyIndexOf(shift), kLeftShiftIndex);
    const QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(VirtualKeyOf(f5), 0);
    EXPECT_EQ(PhysicalKeyIndexOf(f5), -1);
}
