#pragma once

#include <QString>
#include <vector>

// Shared measures of the menu model and its textures, in model units.
//
// The menu looks at the model from z = kCameraZ with a 55 degree vertical
// field of view and moves every object sideways until its right side lies
// 5 units inside the right edge of the view at depth kObjectZ; it never
// moves objects up, down or in depth. An object set further back therefore
// comes to rest further left: the six objects stand in two staggered
// columns, the near one at the right edge and the far one beside it, which
// lets each of them be about twice as tall as a single stack of six would
// allow. Sizes and heights below are as seen at depth kObjectZ, where the
// view is about 146 units from top to bottom (and 260 across at 16:9).

// The plane the menu aligns objects against, and the camera.
constexpr double kObjectZ = 26.7;
constexpr double kCameraZ = 50 / 0.3;

// Where an object floats: the height of its centre and its size factor as
// seen at depth kObjectZ, and how many times further from the camera than
// that plane it stands (1: on it).
struct TSlot {
    double y;
    double scale;
    double depth;
};

// Top to bottom. The near column (keyboard, clock, About) stands a little
// behind the alignment plane, so that the long ends of a turning object stay
// inside the window; the far column (page, Earth, help) stands far enough
// back to clear the near column.
constexpr TSlot kKeyboardSlot{46.5, 1.25, 1.27};
constexpr TSlot kSentenceSlot{21.0, 1.45, 1.80};
constexpr TSlot kClockSlot{4.0, 1.45, 1.08};
constexpr TSlot kEarthSlot{-16.0, 1.90, 1.80};
constexpr TSlot kAboutSlot{-35.0, 1.45, 1.10};
constexpr TSlot kHelpSlot{-53.0, 1.55, 1.80};

// The signs, before they are scaled into their slots.
constexpr double kAboutHalfWidth = 9.5;
constexpr double kAboutHalfHeight = 5.4;
constexpr double kHelpHalfSize = 6.6;

// The keyboard, before it is tilted towards the viewer: x to the right,
// y up out of the top plate, z towards the front edge (the space bar).
constexpr double kKeyUnit = 3.0;
constexpr double kKeyboardHalfWidth = 25.0;
constexpr double kKeyboardHalfDepth = 9.6;
constexpr double kKeyboardHalfHeight = 1.1;
constexpr double kKeyboardTilt = 52.0;

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
