#pragma once

#include <array>
#include <cstdint>
#include <QString>

// The built-in keyboard data: one table of the 53 physical keys of a standard
// keyboard and nine layouts that say what each of those keys shows.

// Drill group of a key. The order is the order of the setup dialog's check
// boxes and of the bits of TKeyGroupSet.
enum TKeyGroup {
    kgNone,
    kgStandard,  // home row
    kgLeftUp,    // left hand, upper row
    kgLeftDown,  // left hand, lower row
    kgRightUp,   // right hand, upper row
    kgRightDown, // right hand, lower row
    kgCenter,    // between the hands, reached by an index finger
    kgNumber,    // digits
    kgSymbol,    // punctuation
    kgTopMost,   // top row of the Sebeolsik and kana layouts
    kgRemnant,   // remaining keys (none in the built-in tables)
    kgControl,   // Backspace, Tab, Caps Lock, Enter, Shift: never drilled
};
constexpr int kKeyGroupCount = kgControl + 1;

// A set of key groups.
class TKeyGroupSet {
public:
    constexpr TKeyGroupSet() = default;
    constexpr TKeyGroupSet(std::initializer_list<TKeyGroup> groups) {
        for (TKeyGroup g : groups)
            Include(g);
    }
    constexpr bool Contains(TKeyGroup g) const { return (FBits >> g) & 1u; }
    constexpr void Include(TKeyGroup g) { FBits |= std::uint16_t(1u << g); }
    constexpr void Exclude(TKeyGroup g) { FBits &= std::uint16_t(~(1u << g)); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool operator==(const TKeyGroupSet&) const = default;

private:
    std::uint16_t FBits = 0;
};

// The finger that strikes a key; 1 is the thumb, 5 the little finger.
enum TFingerPos {
    fpUnknown,
    fpLeft1,
    fpLeft2,
    fpLeft3,
    fpLeft4,
    fpLeft5,
    fpRight1,
    fpRight2,
    fpRight3,
    fpRight4,
    fpRight5,
};

// True for the fingers of the right hand.
constexpr bool IsRightHand(TFingerPos finger) {
    return finger >= fpRight1 && finger <= fpRight5;
}

// One key of a layout. Both arrays are indexed by shift state (0 unshifted,
// 1 shifted). A DisplayChar of a single space means the key has no character
// in that state; a carriage return (U+000D) splits a label into two lines.
struct TKeyInfo {
    TKeyGroup KeyGroup = kgNone;
    QString DisplayChar[2];
    bool IsJongSung[2] = {false, false}; // the character is a final consonant
};

constexpr int kKeyCount = 53;
using TEnglishKeyboardLayout = std::array<TKeyInfo, kKeyCount>;

// One physical key: its place, width in key units and virtual-key code. The
// key models of the keyboard scene are named "key_" + Key in decimal.
struct TPhysicalKey {
    std::uint16_t Row; // 1 (digits) to 4 (bottom letters)
    std::uint16_t Col; // from 1 at the left
    float Width;       // 1.0 = a letter key
    std::uint16_t Key; // virtual-key code
    TFingerPos Finger;
};

constexpr int kLayoutCount = 9;
constexpr int kLeftShiftIndex = 41;
constexpr int kRightShiftIndex = 52;
constexpr std::uint16_t VK_SHIFT = 0x10;

// The physical key at `index` (0 to 52).
const TPhysicalKey& PhysicalKey(int index);

// The layout at `index` (0 to 8), in the order of LayoutCaption(). Throws
// std::out_of_range for any other index.
const TEnglishKeyboardLayout& KeyboardLayout(int index);

// Copies layout `index` into `layout`. An index outside 0 to 8 keeps whatever
// layout was there before and returns false.
bool AssignKeyboardLayout(int index, TEnglishKeyboardLayout& layout);

// The caption of a layout as the setup dialog lists it ("영어 QWERTY", ...).
QString LayoutCaption(int index);

// The Shift key to hold for a shifted character: the one on the other hand.
int ShiftKeyIndexFor(int keyIndex);
