#pragma once

#include "games/ClockwigGame.h"

#include <array>
#include <memory>
#include <QImage>
#include <QPixmap>
#include <QWidget>

class TInputModeBadge;

class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class TBorderLabel;
class TInputComposer;
class TResourceSoundPlayer;
class TScoreForm;
class THistoryRecorder;

// The Clockwig game window: the clock face with its twelve word labels, the
// history column, score, level and lives, the answer box and the goblin's
// status line. The rules live in TClockwigGame; this window shows its state,
// runs its four timers and passes on the answers typed. Closing it ends the
// game without a score and frees it.
class TGameForm : public QWidget {
    Q_OBJECT
public:
    explicit TGameForm(TClockwigGame::TRandom random = {}, QWidget* parent = nullptr);
    ~TGameForm() override;

    TClockwigGame& Game() { return FGame; }

    // Set-up, in the order the setup dialog uses them.
    void SetLevel(int level) { FGame.SetLevel(level); }
    void SetLanguage(int language);
    void SetSoundOff(bool value) { FGame.SetSoundOff(value); }
    void SetRotation(TRotation rotation);
    void SetTimerInterval() { FGame.SetTimerInterval(); }

    // Runs every timer `divisor` times faster than the rules ask. Only for
    // driving a game quickly in tests; the rules see no difference.
    void SetTimerDivisor(int divisor);

    QLineEdit* AnswerBox() const { return Memo1; }
    TInputComposer* Composer() const { return FComposer; }
    // The input mode indicator inside the answer box.
    TInputModeBadge* InputModeBadge() const { return FInputModeBadge; }
    TBorderLabel* WordLabel(int index) const { return ex.at(std::size_t(index - 1)); }
    QLabel* HistoryLine(int index) const { return His.at(std::size_t(index - 1)); }
    QLabel* ScoreValue() const { return ScoreLabel; }
    QLabel* LevelValue() const { return LevelLabel; }
    QProgressBar* LivesBar() const { return ProgressBar1; }
    QTimer* GameTimer(TClockwigTimer timer) const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void LoadPictures();
    void ConnectGame();

    void FormActivate();
    void Memo1KeyUp();
    void StatusBar1DrawPanel(QPainter& painter);

    // Shows label `index` as the game has it: caption, colours, and its
    // place on the ring.
    void UpdateLabel(int index);
    // Centres label `index` horizontally on its current slot.
    void SetLabelPosToCenter(int index);
    void UpdateCounters();
    void UpdateHistory();
    void SyncTimer(TClockwigTimer timer);
    void DrawFigure(int frame);

    // Ends any input-method composition in the answer box, so that no
    // half-built syllable is carried into a message box or prompt.
    void CommitComposition();
    void ShowInformation(const QString& caption, const QString& text);
    void LevelUpMessage(int level);
    void GameOver();
    void GameComplete();
    // Score submission, board and close: the end of every finished game.
    void FinishGame();
    TScoreForm* SaveUser();

    TClockwigGame FGame;
    int FTimerDivisor = 1;
    bool FShown = false;

    std::array<TBorderLabel*, TClockwigGame::LabelCount> ex{};
    std::array<QLabel*, TClockwigGame::HistoryCount> His{};
    TBorderLabel* BorderLabel13 = nullptr;
    QLabel* ScoreLabel = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* LevelLabel = nullptr;
    QLabel* Label14 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Image5 = nullptr;
    QLineEdit* Memo1 = nullptr;
    TInputComposer* FComposer = nullptr;                // Hangul composition in the answer box
    TInputModeBadge* FInputModeBadge = nullptr;         // 가 / A inside the answer box
    std::unique_ptr<TResourceSoundPlayer> FSoundPlayer; // the three stored sounds
    QWidget* StatusBar1 = nullptr;

    QTimer* ShowClock = nullptr;
    QTimer* ProblemClock = nullptr;
    QTimer* PauseTimer = nullptr;
    QTimer* SpecialTimer = nullptr;

    QImage ClockBackImage;
    std::array<QImage, 2> FigureMask;  // frame 1: Image1, frame 0: Image3
    std::array<QImage, 2> FigureImage; // frame 1: Image2, frame 0: Image4
    QImage ThunderMaskImage;
    QImage ThunderImage;
    QPixmap NormalImg;
    QPixmap SmileImg;
    QImage FFigureBuffer;
    // The finished game goes into the practice history.
    std::unique_ptr<THistoryRecorder> FHistory;
};
