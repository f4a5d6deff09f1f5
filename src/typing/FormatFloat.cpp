#include "typing/FormatFloat.h"

#include <cmath>

QString FormatFloat(const QString& format, double value) {
    const QString section = format.section(QLatin1Char(';'), 0, 0);
    const qsizetype point = section.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? section : section.left(point);
    const QString decPart = point < 0 ? QString() : section.mid(point + 1);

    const bool grouping = intPart.contains(QLatin1Char(','));
    const int minIntDigits = int(intPart.count(QLatin1Char('0')));
    const int minDecimals = int(decPart.count(QLatin1Char('0')));
    const int maxDecimals = minDecimals + int(decPart.count(QLatin1Char('#')));

    if (!std::isfinite(value))
        return QString::number(value);

    // Round half away from zero at the last placeholder, then let Qt write the
    // digits of the already rounded magnitude.
    const double scale = std::pow(10.0, maxDecimals);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    QString digits = QString::number(rounded, 'f', maxDecimals);

    QString intDigits = digits;
    QString decDigits;
    if (const qsizetype dot = digits.indexOf(QLatin1Char('.')); dot >= 0) {
        intDigits = digits.left(dot);
        decDigits = digits.mid(dot + 1);
    }
    while (decDigits.size() > minDecimals && decDigits.endsWith(QLatin1Char('0')))
        decDigits.chop(1);

    // Leading zeros only as far as the picture asks for them ("#" alone shows
    // nothing for 0.5).
    while (intDigits.size() > minIntDigits && intDigits.startsWith(QLatin1Char('0')))
        intDigits.remove(0, 1);
    while (intDigits.size() < minIntDigits)
        intDigits.prepend(QLatin1Char('0'));

    if (grouping) {
        for (qsizetype i = intDigits.size() - 3; i > 0; i -= 3)
            intDigits.insert(i, QLatin1Char(','));
    }

    QString result = intDigits;
    if (!decDigits.isEmpty())
        result += QLatin1Char('.') + decDigits;
    if (value < 0 && rounded != 0.0)
        result.prepend(QLatin1Char('-'));
    return result;
}
