#pragma once

#include <QString>

// Formats a number with a picture of digit placeholders, the way the meter's
// value labels are specified ("#,##0.###"): '0' is a digit that is always
// written, '#' one that is written only when significant, a ',' anywhere in
// the integer part groups thousands with ',', and '.' marks the decimals.
// Only the first ';'-separated section is used; other characters are ignored.
// The value is rounded half away from zero to the number of decimal
// placeholders. Example: FormatFloat("#,##0.###", 12345.67891) = "12,345.679".
QString FormatFloat(const QString& format, double value);
