#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>

// Ravlin's application icon: a blue key cap seen from the front, its top face
// bearing the syllable 타 (the first of 타비로). The same shapes make every
// raster size and the scalable picture; small sizes use a plainer variant
// with thicker parts laid on whole pixels, so the icon stays legible at 16 px.
class TAppIcon {
public:
    // A size x size picture with transparent corners.
    static QImage Render(int size);
    // The scalable picture (256 x 256 user units). The glyph is stored as an
    // outline, so the picture does not depend on the fonts installed.
    static QByteArray Svg();

private:
    struct TLayout {
        QRectF Skirt, Face;
        double SkirtRadius, FaceRadius, SkirtLine, FaceLine;
        // The box the glyph is fitted into, and whether it gets a highlight.
        QRectF Glyph;
        bool Highlight;
    };
    // Layout in the units of a `size` x `size` picture.
    static TLayout LayoutFor(int size);
};
