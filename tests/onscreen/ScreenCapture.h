#pragma once

// What the X server shows, read back the way a screenshot tool does: the
// root window through xwd, and window geometry through xwininfo. Checks that
// use these see what reaches the screen, not what a program drew into its
// own frame buffer.

#include <QImage>
#include <QRect>
#include <QString>

// The whole screen of $DISPLAY; a null image when xwd fails or its output
// cannot be read.
QImage CaptureScreen();

// Decodes an xwd file (ZPixmap, 24 or 32 bits per pixel); a null image for
// anything else.
QImage DecodeXwd(const QByteArray& bytes);

// The on-screen rectangle of the first top-level window whose title begins
// with `titlePrefix`; an invalid rectangle when there is none.
QRect FindWindowOnScreen(const QString& titlePrefix);

// Colour statistics of a region, for telling a drawn scene from a blank one.
struct TRegionStats {
    double MeanRed = 0, MeanGreen = 0, MeanBlue = 0;
    // Standard deviation of the luminance over the region.
    double LumaDeviation = 0;
    // Share of pixels darker than 8 in every channel.
    double BlackShare = 0;
};
TRegionStats StatsOf(const QImage& image, const QRect& rect);

// Largest difference, over an even grid of cells x cells, between the mean
// colours of the same cell in two equally sized images (0..255). Small moving
// details (rain streaks) average out; a missing or displaced scene does not.
double LargestCellDifference(const QImage& a, const QImage& b, int cells);
