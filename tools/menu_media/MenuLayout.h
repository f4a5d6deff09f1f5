#pragma once

#include <QString>
#include <vector>

// Shared measures of the menu model and its textures (model units; the
// scene shows about 146 of them from the top of the window to the bottom at
// the objects' depth).

// The objects float at this depth: the plane the menu aligns them against.
constexpr double kObjectZ = 26.7;

// Vertical centres of the six floating objects, top to bottom.
constexpr double kKeyboardY = 56.0;
constexpr double kSentenceY = 35.5;
constexpr double kClockY = 9.0;
constexpr double kEarthY = -15.5;
constexpr double kAboutY = -37.5;
constexpr double kHelpY = -58.5;

// The keyboard, before it is tilted towards the viewer: x to the right,
// y up out of the top plate, z towards the front edge (the space bar).
constexpr double kKeyUnit = 3.0;
constexpr double kKeyboardHalfWidth = 25.0;
constexpr double kKeyboardHalfDepth = 9.6;
constexpr double kKeyboardHalfHeight = 1.1;
constexpr double kKeyboardTilt = 52.0;
// The keyboard is built at this size and then scaled down as a whole. It
// floats further back than the others: turning, its long ends swing
// towards the viewer, and at this depth they stay inside the window.
constexpr double kKeyboardScale = 0.9;
constexpr double kKeyboardZ = 12.0;

enum class TKeyKind { Letter, Modifier, Space };

struct TKeyCap {
    double x = 0;     // centre
    double z = 0;     // centre
    double width = 0; // in key units
    QString label;    // printed on the key
    QString hangul;   // the Dubeolsik jamo, if any
    TKeyKind kind = TKeyKind::Letter;
};

// The 61 keys of a Korean 60 % keyboard with their positions.
std::vector<TKeyCap> KeyboardKeys();

// Keys lit in the three button images (typing "한": ㅎ, ㅏ, ㄴ).
inline const char* LitKey(int frame) {
    static const char* const keys[] = {"G", "K", "S"};
    return keys[frame % 3];
}
