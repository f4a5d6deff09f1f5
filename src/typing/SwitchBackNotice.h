#pragma once

#include <QChar>
#include <QString>

// Decides when sentence practice tells the learner how to get back to
// Hangul. On a Korean text, a Latin letter typed where a Hangul syllable is
// due usually means the input method left Hangul (ibus-hangul leaves it on
// Escape, which also turns the page). Rather than filling the line with red,
// the first such letter on a page is held back and the notice appears; the
// letters that follow are held back too while it shows. Hangul input, a new
// page or any other typed character hides it. The notice is given once per
// page: a later Latin letter on the same page is typed as usual (counted and
// marked by the typing model's rules), so a learner who means to type it is
// not stopped twice.
class TSwitchBackNotice {
public:
    // The text being typed is Korean (only then is a notice given).
    bool KoreanText() const { return FKoreanText; }
    void SetKoreanText(bool value);

    // A new page starts: the notice may be given again.
    void NewPage();

    // `typed` was typed where `expected` is due (0 at the end of the line).
    // True when the character is to be held back (the notice shows).
    bool HoldBack(QChar typed, QChar expected);
    // Hangul arrived (composed or typed), or the input mode became Hangul.
    void HangulArrived();

    bool Visible() const { return FVisible; }
    // Whether the notice was given on this page.
    bool Given() const { return FGiven; }

    // The notice's text.
    static QString Text();

private:
    bool FKoreanText = false;
    bool FVisible = false;
    bool FGiven = false;
};
