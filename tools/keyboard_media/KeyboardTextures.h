#pragma once

#include <QImage>
#include <QString>
#include <vector>

// The pictures of the keyboard practice: key-cap materials, the case and the
// explosion.

// A key-cap material picture, 1024 x 256, without labels (the drill paints
// the characters of the chosen layout onto it).
struct TKeyCapPicture {
    QString FileName; // "[key] wood.png", ...
    QImage Image;
};
std::vector<TKeyCapPicture> KeyCapPictures();

// The case's top: graphite with a fine grain, the name plate and the lamp
// labels, laid out over the case area of the model.
QImage CasePicture();

// A burst in 5 x 4 frames of 128 x 128 pixels, left to right and top down:
// a white flash swells into a fireball, breaks up into flames and ends as
// drifting smoke, on a transparent background.
QImage ExplosionSheet();
