#pragma once

#include <QList>
#include <QString>

// One line of a practice page: the text to type, what has been typed over it
// and what each typed character cost in keystrokes.
class TSentence {
public:
    // The text to type. A fresh line carries a sample text so that a control
    // shows something before its first page is loaded.
    QString problem = QStringLiteral("우리나라 대한민국 테스트중..");
    // What has been typed on this line so far. Longer than `problem` only on
    // the last line after the page has ended.
    QString typed;
    // One code unit per typed character holding its keystroke count. Only the
    // first typed.size() units are meaningful; later ones are left over from
    // characters deleted by Backspace.
    QString hitCounts;
    // The model clock's tick at which each typed character was finished,
    // parallel to hitCounts (the progress history reads how long each
    // character took).
    QList<quint32> typedTicks;

    // Appends a typed character that cost `hitCount` keystrokes, finished at
    // `tick`.
    void AppendChar(QChar AChar, quint8 hitCount, quint32 tick = 0);
    // Deletes the last typed character; nothing when none is typed.
    void BackSpace();
    // The keystrokes spent on the typed characters.
    int GetTotalHitCount() const;
};
