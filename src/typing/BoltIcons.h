#pragma once

#include <QPixmap>

// The two images of the sentence practice control's blinking caret: a
// lightning bolt. They are drawn in code at the size the control's font
// needs, so they stay sharp at every font size and need no image files.
enum TBoltIcon {
    biBlueBolt,     // blink phase 1: an upright blue bolt
    biBlueBoltDown, // blink phase 0: a red bolt struck down
};

// The icon `icon` as a square pixmap `size` pixels wide, transparent around
// the bolt. An empty pixmap for sizes below 1.
QPixmap DrawBoltIcon(TBoltIcon icon, int size);
