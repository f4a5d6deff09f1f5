#pragma once

#include <QImage>

// The picture sentence practice falls back on when none of the chosen
// background pictures can be used: a pale, warm paper that tiles without a
// seam. Made in code, so it is there even when every media file is missing.
QImage BuiltInBackgroundPicture();
