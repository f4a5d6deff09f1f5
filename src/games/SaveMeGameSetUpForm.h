#pragma once

#include <functional>
#include <optional>
#include <QDialog>
#include <QFont>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QFontDialog;
class QGroupBox;
class QListWidget;
class QPushButton;

// The Orbalon setup dialog "'오르발론' 게임설정": the word file, the start
// level, music and explosion sounds and the font of the moons' words, kept in
// the settings record SaveMeGameSetUp. "시작" saves the choice, starts the
// game with the chosen word file and closes the dialog; "취소" and Esc store
// nothing. The dialog also opens the score board and the game's help page.
class TSaveMeGameSetUpForm : public QDialog {
    Q_OBJECT
public:
    // Starts a game: the word file's full path, the start level (1 to 8) and
    // the file's lines, or nothing when the file could not be read (the game
    // window then opens and stays idle). Runs after the choice is saved.
    // Without one the dialog opens the game window, replacing a game still
    // running.
    using TStartGame = std::function<void(const QString& fileName, int level,
                                          const std::optional<QStringList>& lines)>;

    explicit TSaveMeGameSetUpForm(QWidget* parent = nullptr, TStartGame startGame = {});

    // The help page of the game.
    static QString HelpTopic() { return QStringLiteral("오르발론.htm"); }
    // The sample caption of the font button.
    static QString FontSample() { return QStringLiteral("가나다ABC"); }

    QGroupBox* GroupBox2;
    QListWidget* lvText;
    QGroupBox* LevelGroupBox;
    QButtonGroup* LevelGroup;
    QGroupBox* GroupBox1;
    QPushButton* FontBtn;
    QFontDialog* FontDialog;
    QCheckBox* UseBgmCB;
    QCheckBox* UseSoundCB;
    QPushButton* HelpBtn;
    QPushButton* ScoreBtn;
    QPushButton* OkBtn;
    QPushButton* NoBtn;

    // The font the player chose; the button shows it, made smaller when the
    // sample would not fit.
    QFont ChosenFont() const { return FChosenFont; }
    void SetChosenFont(const QFont& font);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void FontBtnClick();
    void OkBtnClick();
    void ScoreBtnClick();
    void HelpBtnClick();

    TStartGame FStartGame;
    QFont FChosenFont;
};
