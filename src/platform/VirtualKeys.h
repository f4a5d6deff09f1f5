#pragma once

#include <QtGlobal>

class QKeyEvent;

// Keys are judged by their physical position, whatever layout the desktop
// has active. The X server and Wayland compositors report the XKB keycode of
// a key (the kernel's evdev code + 8) as the native scan code; these
// functions map it onto the virtual-key codes of the physical key table.

constexpr int kXkbKeycodeOffset = 8;

// The virtual-key code of a native scan code, 0 when the key is not one of the
// physical table's keys or the space bar. Both Shift keys give 0x10.
int VirtualKeyFromScanCode(quint32 nativeScanCode);

// The physical key index (0 to 52) of a native scan code, -1 for other keys.
// This tells the left Shift (41) from the right Shift (52).
int PhysicalKeyIndexFromScanCode(quint32 nativeScanCode);

// The virtual-key code of a Qt key as the US layout places it: the fallback
// for synthesized events, which carry no scan code. Shifted symbols map onto
// their key ('!' to the key of '1').
int VirtualKeyFromQtKey(int qtKey);

// The ASCII character a virtual key gives on a US keyboard, unshifted or with
// Shift; 0 for keys without one (control keys, the space bar). The input
// composers and the Hangul keyboard definitions address keys this way.
char UsCharOfVirtualKey(int vk, bool shifted);

// The virtual-key code of a key event: from its scan code when it has one,
// otherwise from its Qt key.
int VirtualKeyOf(const QKeyEvent& event);

// The physical key index of a key event (-1 when none); a synthesized Shift
// without a scan code counts as the left Shift.
int PhysicalKeyIndexOf(const QKeyEvent& event);
