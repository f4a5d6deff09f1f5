#pragma once

#include <QString>

class QPainter;
class QRect;

// Horizontal placement of a key-cap label (measured against the rectangle's
// height: key caps are square).
enum TKeyLabelHorz { klhLeftHalf = 0, klhWhole = 1, klhRightHalf = 2 };
// Vertical placement.
enum TKeyLabelVert { klvUpperHalf = 3, klvWhole = 4, klvLowerHalf = 5 };

// Draws a key-cap label with the painter's font and pen. A carriage return
// splits it into two lines, the second drawn below the first; `shifted`
// moves the label 5 pixels down.
void DrawKeyLabel(QPainter& painter, const QRect& rect, int horzMode, bool shifted,
                  const QString& text, int vertMode);
