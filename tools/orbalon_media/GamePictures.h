#pragma once

#include <QColor>
#include <QImage>

// The small pictures of the Orbalon window.

// The pause item: a glossy round button with a pause sign whose glow pulses,
// 2 x 2 frames of `frame` pixels on a transparent background.
QImage StopSheet(int frame);

// A life: the Earth with a small light circling it, 2 x 2 frames; `globe`
// is the Earth drawn to fit one frame.
QImage EarthLifeSheet(const QImage& globe, int frame);

// A glossy pill-shaped button in `colour` on the label key grey
// RGB(224, 224, 224).
QImage GlossyButtonPicture(QColor colour);

// The strip behind the level, the score and the answer box: a dark
// instrument panel with a lit edge, stretched across the window.
QImage TopPanelPicture();
