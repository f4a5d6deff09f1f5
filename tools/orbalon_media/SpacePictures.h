#pragma once

#include <QImage>

// The sky and the moons of the Orbalon game.

// The moon's surface, equirectangular like the Earth's maps: dark seas,
// bright highlands and craters of every size, with rims and a few ray
// systems, shaded as if lit from the upper left.
QImage MoonSurfacePicture(int width, int height);

// One of the five backgrounds (index 1 to 5), `size` pixels square: star
// fields and nebulae of different kinds (a Milky Way band, a red emission
// nebula, a spiral galaxy, a teal nebula with dark pillars, a deep field of
// distant galaxies).
QImage GalaxyPicture(int index, int size);

// The sixth background: the storming Sun's corona rising from one corner
// into a star field.
QImage SolarStormPicture(int size);

// The picture behind the story at the game's start: the Sun throwing out a
// storm, a moon torn from its orbit racing towards the Earth. Dark enough
// for light text on top.
QImage StoryPicture(const QImage& land, const QImage& clouds, const QImage& moon);
