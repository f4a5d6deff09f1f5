#pragma once

#include <QString>

// True when the first prefix.size() characters of `text` equal `prefix`;
// exactly when `caseSensitive`, without regard to letter case otherwise.
bool StartsWithText(const QString& text, const QString& prefix, bool caseSensitive);

// Remove U+0020 only (tabs and other white space stay) from the start / end.
QString TrimLeadingSpaces(const QString& text);
QString TrimTrailingSpaces(const QString& text);

// Removes every character up to U+0020 (spaces, tabs, line breaks and other
// control characters) from both ends, as text taken from files and prompts
// is cleaned; the inside of the text stays as it is.
QString TrimSpacesAndControls(const QString& text);
