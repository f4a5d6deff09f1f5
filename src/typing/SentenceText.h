#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A practice text broken into display lines, and the position reached in it.
//
// Loading joins the lines of the file and cuts them where they would run past
// the width the screen leaves for the text; the practice screen then shows
// them a page at a time, forward and back.
class TSentenceText {
public:
    enum TPageResult {
        prShown,   // `page` holds the lines to show
        prAtStart, // going back: the first page is already shown
        prAtEnd,   // going forward: the text is exhausted
    };

    // Reads `fileName` (its encoding found by DecodeText) and wraps it for
    // characters `charWidth` pixels wide (twice that beyond U+007F) within
    // `limit` pixels. Throws ERavlinError with the file name when it is
    // missing or cannot be read. The position goes back to the start.
    void Load(const QString& fileName, int charWidth, int limit);

    // The display lines (no line is blank unless a run of spaces was cut out
    // of the middle of a file line).
    const QStringList& Lines() const { return FText; }
    void SetLines(const QStringList& lines) {
        FText = lines;
        FCurrTextLine = 0;
    }

    // The display line after the page on screen.
    int CurrTextLine() const { return FCurrTextLine; }
    void SetCurrTextLine(int line) { FCurrTextLine = line; }

    // The next `lineCount` display lines, skipping blank ones, padded with
    // empty lines past the end.
    TPageResult NextPage(int lineCount, QStringList& page);
    // The `lineCount` display lines before the page on screen, filled from the
    // last line upward (empty above the first line of the text).
    TPageResult PrevPage(int lineCount, QStringList& page);

    // The resume position stored for a text last seen at `d`, clamped to the
    // text: at most the last display line.
    int ClampResumeLine(int d) const;

    // Splits at CR LF, LF and CR; a final line break ends the last line.
    static QStringList SplitLines(const QString& text);
    // Joins and cuts file lines into display lines (see Load).
    static QStringList WrapLines(const QStringList& fileLines, int charWidth, int limit);

private:
    QStringList FText;
    int FCurrTextLine = 0;
};

// The key under which the resume position of a practice text is stored: the
// file name without its folder, with a leading "[한글]" written as "(한글)"
// and "[영어]" as "(영어)" (square brackets would read as a section name).
QString FileHistoryKey(const QString& textFileName);

// Whether a practice text is Korean, so that Shift+Space may switch the input
// language while it is typed: a file whose path holds "[한글]", or whose
// lines hold more Hangul than kana and at least half as many Hangul letters
// as Latin ones (a syllable takes two or three keys). English and Japanese
// texts with a Korean word here and there are not Korean.
bool IsKoreanText(const QString& textFileName, const QStringList& lines);
