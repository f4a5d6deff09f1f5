#pragma once

#include <cstdint>
#include <QColor>

// Colours are stored as 32-bit 0x00BBGGRR values (red in the low byte), the
// form the settings file and the score board keep. A top byte of 0xFF names a
// system colour by the index in the low byte.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindowText = 0xFF000008; // system colour: text in windows
constexpr TColor clWindow = 0xFF000005;     // system colour: window background
constexpr TColor clNone = 0x1FFFFFFF;       // "no colour" where a colour key is optional

constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

// The channels of a concrete colour.
constexpr int RedOf(TColor color) {
    return int(color & 0xFF);
}
constexpr int GreenOf(TColor color) {
    return int((color >> 8) & 0xFF);
}
constexpr int BlueOf(TColor color) {
    return int((color >> 16) & 0xFF);
}

constexpr bool IsSystemColor(TColor color) {
    return (color >> 24) == 0xFF;
}

// Resolves system colours through the application palette.
QColor ToQColor(TColor color);

// The 0x00BBGGRR value of a concrete colour (alpha is dropped).
TColor FromQColor(const QColor& color);
