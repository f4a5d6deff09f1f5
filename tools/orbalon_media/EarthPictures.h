#pragma once

#include <QImage>

// The Earth of the Orbalon game. Both maps are equirectangular: the left
// edge is the Greenwich meridian, longitude grows eastwards to the right and
// the top row is the North Pole, matching the texture coordinates of the
// model's spheres (which face the viewer with longitude 0).

// Land and sea with the continents a reader recognises: deserts, forests,
// mountain ranges, ice caps, shallow shelves along the coasts.
QImage EarthLandPicture(int width, int height);

// Clouds (white to grey) with a few spiral storms, on the key colour
// RGB(1, 146, 201) that the game turns see-through.
QImage EarthCloudsPicture(int width, int height);

// A lit globe of `size` pixels on a transparent background, made from the two
// maps and turned by `longitude` degrees (the meridian facing the viewer).
QImage GlobePicture(const QImage& land, const QImage& clouds, int size, double longitude);
