#pragma once

#include "games/ScoreList.h"
#include "platform/InputComposer.h"

#include <memory>
#include <QDialog>
#include <QPixmap>

class QHeaderView;
class QListWidget;
class QPainter;
class QStyleOptionViewItem;

// The high-score window "Game Score": a header with six columns over an
// owner-drawn list, one row per entry, the player's new entry in blue with
// the `YouBmp` marker. Creating it loads "cscore.dat" from SettingsDir.
class TScoreForm : public QDialog {
    Q_OBJECT
public:
    // Loads the board. Throws ERavlinError when the file cannot be read or
    // is damaged; nothing is shown then and the file stays as it was.
    explicit TScoreForm(QWidget* parent = nullptr);
    ~TScoreForm() override;

    // Shows the board from a setup dialog, modally, with no entry marked.
    // A load error is shown as a message instead.
    static void ShowBoard(QWidget* parent);

    TScoreList& ScoreList() { return *FScoreList; }
    QListWidget* ListBox() const { return ListBox1; }
    QHeaderView* Header() const { return Header1; }

    void ClearYou();

    // Takes the result of a finished game: asks for the name when
    // the score makes the board, stores the board and selects the new row.
    // Throws ERavlinError when the file cannot be written.
    void SubmitResult(int score, int level, const QByteArray& gameLanguage);

    // The name prompt; replaceable so that tests can answer it. The default
    // commits any pending input-method composition and asks with a text
    // prompt.
    TScoreList::TAskName AskName;
    // The input mode the name prompt starts in: the game sets the one its
    // answer box was left in, so a Korean player can type a Hangul name even
    // where the desktop offers no Korean input method.
    TTypingLang NameTypingLang = tlEng;
    // Whether the game's words were Korean (Shift+Space then switches the
    // prompt's input language too), and whether the desktop input method
    // composed Hangul in its answer box (the switch keys are then its own).
    bool NameKoreanText = false;
    bool NameDesktopInputMethod = false;

    // Paints one row of the list.
    void ListBox1DrawItem(QPainter& painter, const QStyleOptionViewItem& option, int index);

private:
    void ReadScore();
    void RebuildRows();
    std::optional<QString> AskNameWithPrompt();

    std::unique_ptr<TScoreList> FScoreList;
    QHeaderView* Header1;
    QListWidget* ListBox1;
    QPixmap YouBmp;
};
