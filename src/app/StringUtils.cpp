#include "app/StringUtils.h"

bool StartsWithText(const QString& text, const QString& prefix, bool caseSensitive) {
    return text.startsWith(prefix, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

QString TrimLeadingSpaces(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text[first] == QLatin1Char(' '))
        ++first;
    return text.mid(first);
}

QString TrimTrailingSpaces(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString TrimSpacesAndControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}
