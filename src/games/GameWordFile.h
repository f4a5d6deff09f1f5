#pragma once

#include <QString>
#include <QStringList>

// Reads the word files of the Orbalon game ("Text/*.game"). A word file is
// plain text, one entry a line: a word alone, or a word, a colon and a
// description shown under the word ("moon:달"). There is no header, count or
// comment syntax; a line that stands twice is drawn twice as often.
//
// The encoding is found as for every text made by hand or on Windows: a byte
// order mark names UTF-8 or UTF-16 (either byte order); without one,
// well-formed UTF-8 is read as UTF-8 and anything else as code page 949.
// Lines end with CR LF, LF or CR.
class TGameWordFile {
public:
    // One entry: the word to type and the description under it (empty when
    // the line has no colon).
    struct TEntry {
        QString Word;
        QString Desc;
    };

    // The lines of `fileName` in file order, as they stand (blank lines and
    // blanks at the ends included: the game trims each line it draws).
    // Throws ERavlinError when the file is missing or cannot be read.
    static QStringList ReadLines(const QString& fileName);

    // The lines of already decoded text.
    static QStringList SplitLines(const QString& text);

    // The entry of one line: trimmed of blanks and control characters at
    // both ends; the text before the first ':' (trimmed) is the word, the
    // text after it (trimmed) the description. A blank line gives an empty
    // word.
    static TEntry ParseEntry(const QString& line);

    // The entries of `lines` that have a word, in order.
    static QList<TEntry> Entries(const QStringList& lines);
};
