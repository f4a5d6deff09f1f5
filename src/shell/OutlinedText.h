#pragma once

#include "app/Colors.h"

#include <QString>

class QPainter;

// Writes `text` at (x, y) (top-left of the first character cell) in outlined
// letters: every character gets an outline `thickness` pixels wide in
// `outlineColor` and is filled with a vertical gradient running from
// `gradTopColor` at the top of its cell to the painter's pen colour (the font
// colour) at the bottom. Each character takes its own advance plus
// 2 × thickness, so outlines of neighbouring letters never overlap the fill.
// The painter's font is used; its pen and brush are left as they were.
// Returns the x just after the last character.
int DrawOutlinedText(QPainter& canvas, int x, int y, int thickness, TColor gradTopColor,
                     TColor outlineColor, const QString& text);
