#pragma once

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class TGameForm;

// The Clockwig setup dialog "'클록윅' 설정": rotation, start level, game
// language and sound, kept in section "clock" of the settings file. Starting
// creates and shows the game window; the dialog also opens the score board
// and the help page. Cancelling stores nothing.
class TGameSetUpForm : public QDialog {
    Q_OBJECT
public:
    explicit TGameSetUpForm(QWidget* parent = nullptr);

    QButtonGroup* RotGroup() const { return FRotGroup; }
    QButtonGroup* LevelGroup() const { return FLevelGroup; }
    QButtonGroup* LanguageGroup() const { return FLanguageGroup; }
    QCheckBox* SpeakerCheckBox() const { return FSpeakerCheckBox; }
    QPushButton* OkBtn() const { return FOkBtn; }
    QPushButton* NoBtn() const { return FNoBtn; }
    QPushButton* ScoreBtn() const { return FScoreBtn; }
    QPushButton* HelpBtn() const { return FHelpBtn; }

    // The game window the last start created (null before, or once closed).
    TGameForm* GameForm() const;

    // The help page of the typing games.
    static QString HelpTopic() { return QStringLiteral("타자게임.htm"); }

private:
    void FormCreate();
    void OkBtnClick();
    void ScoreBtnClick();
    void HelpBtnClick();

    QButtonGroup* FRotGroup;
    QButtonGroup* FLevelGroup;
    QButtonGroup* FLanguageGroup;
    QCheckBox* FSpeakerCheckBox;
    QPushButton* FHelpBtn;
    QPushButton* FScoreBtn;
    QPushButton* FOkBtn;
    QPushButton* FNoBtn;
    QPointer<TGameForm> FGameForm;
};
