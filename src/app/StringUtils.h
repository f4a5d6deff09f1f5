#pragma once

#include <QString>

// True when the first prefix.size() characters of `text` equal `prefix`;
// exactly when `caseSensitive`, without regard to letter case otherwise.
bool StartsWithText(const QString& text, const QString& prefix, bool caseSensitive);

// Remove U+0020 only (tabs and other white space stay) from the start / end.
QString TrimLeadingSpaces(const QString& text);
QString TrimTrailingSpaces(const QString& text);
