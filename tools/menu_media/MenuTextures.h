#pragma once

#include <QImage>

// The menu's texture pictures. Pictures with a transparent background have
// hard alpha (every pixel opaque or fully transparent, transparent ones
// carrying the colour of their opaque neighbours), because the menu sets
// one alpha for all visible pixels of those materials.

// The keyboard seen from above, with key `litKey` lit (frames 0 to 2).
QImage KeyboardPicture(int frame);
// The page of practice text (front left, back right); the frames differ
// by one typed character and the caret.
QImage SentencePicture(int frame);
// The alarm clock's dial and rim with colour swatches at the corners; the
// second hand ticks between the two frames.
QImage ClockPicture(int frame);
// Land and sea of the Earth, equirectangular.
QImage EarthLandPicture();
// Clouds of the Earth on the key colour (red 1, green 146, blue 201) that
// the menu turns see-through.
QImage EarthCloudsPicture();
// The About sign: the label of its four sides in the upper half, its top
// and bottom in the lower half.
QImage AboutSignPicture();
// The face of the help cube, on all six sides.
QImage HelpSignPicture();
// The banner shown until the update check brings another: the program's
// name in outlined letters on a transparent background.
QImage BannerPicture();
// Storm clouds, one large picture spread over the whole sky like the
// fair-weather one.
QImage DarkCloudPicture();
// Rain streaks, tiling; two frames.
QImage RainPicture(int frame);
// A branching lightning bolt on a transparent background.
QImage ThunderPicture();
