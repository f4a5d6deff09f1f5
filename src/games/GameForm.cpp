#include "games/GameForm.h"

#include "app/MediaPath.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "games/ScoreForm.h"
#include "history/HistoryForm.h"
#include "history/HistoryRecorder.h"
#include "platform/CodePage949.h"
#include "platform/InputComposer.h"
#include "platform/InputModeBadge.h"
#include "platform/ResourceSoundPlayer.h"
#include "shell/BorderLabel.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

namespace {

// The clock's centre: a label in slot k stands at
// (ClockLeft + p[k].x - width / 2, ClockTop + p[k].y).
constexpr int kClockLeft = 280;
constexpr int kClockTop = 235;
// The goblin in the middle of the clock face.
constexpr QPoint kFigurePos(250, 208);
constexpr QSize kFigureSize(70, 84);

constexpr int kClientWidth = 734;
constexpr int kClientHeight = 532;
constexpr int kStatusHeight = 22;
constexpr int kStatusPanelWidth = 500;

// The column to the right of the clock.
constexpr int kColumnLeft = 563;
constexpr int kColumnWidth = 158;

QImage LoadPicture(const QString& name) {
    QImage image(MediaPath(name));
    if (!image.isNull())
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

QFont Font(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

// Draws a picture through its mask: the mask (white around a black shape)
// is ANDed in, clearing the shape, and the picture (black around the shape)
// is ORed into the hole.
void DrawMasked(QPainter& p, const QPoint& at, const QImage& mask, const QImage& image) {
    if (mask.isNull() || image.isNull())
        return;
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(at, mask);
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    p.drawImage(at, image);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace

TGameForm::TGameForm(TClockwigGame::TRandom random, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
    , FGame(std::move(random))
    , FSoundPlayer(std::make_unique<TResourceSoundPlayer>())
    , FHistory(std::make_unique<THistoryRecorder>()) {
    THistoryForm::ConnectRecovery(this, *FHistory);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("클록윅  ( Clockwig )"));
    setFixedSize(kClientWidth, kClientHeight);

    LoadPictures();
    CreateControls();
    ConnectGame();

    FFigureBuffer = QImage(kFigureSize, QImage::Format_RGB32);
    FFigureBuffer.fill(Qt::white);
    DrawFigure(FGame.FrameToggle());

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TGameForm::~TGameForm() {
    // The game's events point into this window; none may fire from here on.
    FGame.OnTimerChanged = nullptr;
}

void TGameForm::LoadPictures() {
    ClockBackImage = LoadPicture(QStringLiteral("Images\\clockwig_back.png"));
    FigureMask[1] = LoadPicture(QStringLiteral("Images\\clockwig_goblin1_mask.png"));
    FigureImage[1] = LoadPicture(QStringLiteral("Images\\clockwig_goblin1.png"));
    FigureMask[0] = LoadPicture(QStringLiteral("Images\\clockwig_goblin2_mask.png"));
    FigureImage[0] = LoadPicture(QStringLiteral("Images\\clockwig_goblin2.png"));
    ThunderMaskImage = LoadPicture(QStringLiteral("Images\\clockwig_thunder_mask.png"));
    ThunderImage = LoadPicture(QStringLiteral("Images\\clockwig_thunder.png"));
    NormalImg = QPixmap(MediaPath(QStringLiteral("Images\\clockwig_normal.png")));
    SmileImg = QPixmap(MediaPath(QStringLiteral("Images\\clockwig_smile.png")));
}

void TGameForm::CreateControls() {
    for (int i = 1; i <= TClockwigGame::LabelCount; ++i) {
        auto* label = new TBorderLabel(this);
        label->setObjectName(QStringLiteral("BorderLabel%1").arg(i));
        label->setFont(Font(QStringLiteral("굴림"), 19, true));
        label->SetAutoSize(true);
        label->SetBorderShape(bsRoundRect);
        label->SetRoundDegree(30);
        label->SetBorderWidth(3);
        label->SetMoreWidth(18);
        label->SetMoreHeight(12);
        label->SetTextAlign(taCenter);
        label->SetColor(TClockwigGame::White);
        ex[std::size_t(i - 1)] = label;
    }

    BorderLabel13 = new TBorderLabel(this);
    BorderLabel13->setObjectName(QStringLiteral("BorderLabel13"));
    BorderLabel13->setFont(Font(QStringLiteral("굴림"), 15, true));
    BorderLabel13->SetBorderShape(bsRoundRect);
    BorderLabel13->SetRoundDegree(14);
    BorderLabel13->SetBorderWidth(2);
    BorderLabel13->SetBorderColor(RGBColor(150, 60, 0));
    BorderLabel13->SetColor(RGBColor(255, 128, 0));
    BorderLabel13->SetFontColor(RGBColor(255, 255, 0));
    BorderLabel13->SetMoreWidth(28);
    BorderLabel13->SetMoreHeight(10);
    BorderLabel13->SetCaption(QStringLiteral("수정된 버그목록"));
    BorderLabel13->move(kColumnLeft + (kColumnWidth - BorderLabel13->width()) / 2, 14);

    for (int k = 1; k <= TClockwigGame::HistoryCount; ++k) {
        auto* line = new QLabel(this);
        line->setObjectName(QStringLiteral("His%1").arg(k));
        line->setFont(Font(QStringLiteral("굴림"), 12, false));
        line->setGeometry(kColumnLeft + 4, 52 + (k - 1) * 19, kColumnWidth - 8, 17);
        SetTextColor(line, QColor(40, 30, 20));
        His[std::size_t(k - 1)] = line;
    }

    const QFont captionFont = Font(QStringLiteral("굴림"), 14, true);
    Label8 = new QLabel(QStringLiteral("점수:"), this);
    Label8->setFont(captionFont);
    Label8->setGeometry(kColumnLeft + 8, 332, 48, 20);
    ScoreLabel = new QLabel(QStringLiteral("0"), this);
    ScoreLabel->setFont(captionFont);
    ScoreLabel->setGeometry(kColumnLeft + 60, 332, 100, 20);
    SetTextColor(ScoreLabel, QColor(0, 0, 255));

    Label14 = new QLabel(QStringLiteral("단계:"), this);
    Label14->setFont(captionFont);
    Label14->setGeometry(kColumnLeft + 8, 358, 48, 20);
    LevelLabel = new QLabel(this);
    LevelLabel->setFont(captionFont);
    LevelLabel->setGeometry(kColumnLeft + 60, 358, 100, 20);
    SetTextColor(LevelLabel, QColor(0, 0, 255));

    Image5 = new QLabel(this);
    Image5->setPixmap(QPixmap(MediaPath(QStringLiteral("Images\\clockwig_lives.png"))));
    Image5->setGeometry(kColumnLeft + 6, 388, 20, 18);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, TClockwigGame::StartLives);
    ProgressBar1->setValue(TClockwigGame::StartLives);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(kColumnLeft + 30, 389, kColumnWidth - 38, 16);

    Memo1 = new QLineEdit(this);
    QFont answerFont = Font(QStringLiteral("굴림체"), 16, true);
    answerFont.setFixedPitch(true);
    Memo1->setFont(answerFont);
    Memo1->setGeometry(kColumnLeft + 4, 424, kColumnWidth - 8, 30);
    Memo1->installEventFilter(this);
    // Installed after this window's filter, so the composer sees every key
    // first: Space and Enter finish the syllable before the answer is taken.
    FComposer = new TInputComposer(this);
    FComposer->Attach(Memo1, true);
    FInputModeBadge = TInputModeBadge::AttachTo(Memo1, FComposer);

    StatusBar1 = new QWidget(this);
    StatusBar1->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
    StatusBar1->setAutoFillBackground(true);
    StatusBar1->installEventFilter(this);

    ShowClock = new QTimer(this);
    ProblemClock = new QTimer(this);
    PauseTimer = new QTimer(this);
    SpecialTimer = new QTimer(this);
    connect(ShowClock, &QTimer::timeout, this, [this] { FGame.ShowClockTimer(); });
    connect(ProblemClock, &QTimer::timeout, this, [this] { FGame.ProblemClockTimer(); });
    connect(PauseTimer, &QTimer::timeout, this, [this] { FGame.PauseTimerTimer(); });
    connect(SpecialTimer, &QTimer::timeout, this, [this] { FGame.SpecialTimerTimer(); });
    for (TClockwigTimer t : {ctShowClock, ctProblemClock, ctPauseTimer, ctSpecialTimer})
        SyncTimer(t);
}

void TGameForm::ConnectGame() {
    FGame.OnLabelChanged = [this](TClockwigGame*, int index) { UpdateLabel(index); };
    FGame.OnCountersChanged = [this](TClockwigGame*) { UpdateCounters(); };
    FGame.OnHistoryChanged = [this](TClockwigGame*) { UpdateHistory(); };
    FGame.OnStatusChanged = [this](TClockwigGame*) { StatusBar1->update(); };
    FGame.OnRepaint = [this](TClockwigGame*) { update(); };
    FGame.OnDrawFigure = [this](TClockwigGame*, int frame) { DrawFigure(frame); };
    FGame.OnTimerChanged = [this](TClockwigGame*, TClockwigTimer timer) { SyncTimer(timer); };
    FGame.OnPlaySound = [this](TClockwigGame*, TClockwigSound sound) {
        FSoundPlayer->Play(ClockwigSoundName(sound));
    };
    FGame.OnClearAnswer = [this](TClockwigGame*) {
        CommitComposition();
        Memo1->clear();
    };
    FGame.OnLevelUp = [this](TClockwigGame*, int level) { LevelUpMessage(level); };
    FGame.OnGameOver = [this](TClockwigGame*) { GameOver(); };
    FGame.OnGameComplete = [this](TClockwigGame*) { GameComplete(); };
}

QTimer* TGameForm::GameTimer(TClockwigTimer timer) const {
    switch (timer) {
    case ctShowClock:
        return ShowClock;
    case ctProblemClock:
        return ProblemClock;
    case ctPauseTimer:
        return PauseTimer;
    case ctSpecialTimer:
        return SpecialTimer;
    }
    return nullptr;
}

void TGameForm::SetTimerDivisor(int divisor) {
    FTimerDivisor = std::max(1, divisor);
    for (TClockwigTimer t : {ctShowClock, ctProblemClock, ctPauseTimer, ctSpecialTimer})
        SyncTimer(t);
}

void TGameForm::SyncTimer(TClockwigTimer timer) {
    const TClockwigTimerState& state = FGame.Timer(timer);
    QTimer* t = GameTimer(timer);
    t->setInterval(std::max(1, state.Interval / FTimerDivisor));
    if (state.Enabled)
        t->start();
    else
        t->stop();
}

void TGameForm::SetLanguage(int language) {
    FGame.SetLanguage(language);
    FormActivate();
}

void TGameForm::SetRotation(TRotation rotation) {
    const QFont font = Font(
        FGame.Language() == 0 ? QStringLiteral("굴림") : QStringLiteral("MS Sans Serif"), 19, true);
    for (TBorderLabel* label : ex)
        label->setFont(font);
    FGame.SetRotation(rotation);
}

void TGameForm::UpdateLabel(int index) {
    TBorderLabel* label = WordLabel(index);
    const TClockLabel& state = FGame.Label(index);
    label->SetCaption(state.Caption);
    label->SetColor(state.Color);
    label->SetFontColor(state.FontColor);
    label->SetBorderColor(state.BorderColor);
    label->move(label->x(), kClockTop + FGame.SlotPoint(FGame.SlotOf(index)).y());
    SetLabelPosToCenter(index);
}

void TGameForm::SetLabelPosToCenter(int index) {
    TBorderLabel* label = WordLabel(index);
    const QPoint p = FGame.SlotPoint(FGame.SlotOf(index));
    label->move(kClockLeft + p.x() - label->width() / 2, label->y());
}

void TGameForm::UpdateCounters() {
    ScoreLabel->setText(QString::number(FGame.Score()));
    LevelLabel->setText(QString::number(FGame.Level()));
    if (FGame.Lives() >= 0)
        ProgressBar1->setValue(std::min(FGame.Lives(), TClockwigGame::StartLives));
}

void TGameForm::UpdateHistory() {
    const QStringList& history = FGame.History();
    for (int k = 0; k < TClockwigGame::HistoryCount; ++k)
        His[std::size_t(k)]->setText(history.value(k));
}

void TGameForm::DrawFigure(int frame) {
    if (FFigureBuffer.isNull())
        return;
    QPainter p(&FFigureBuffer);
    if (!ClockBackImage.isNull())
        p.drawImage(QPoint(0, 0), ClockBackImage, QRect(kFigurePos, kFigureSize));
    DrawMasked(p, QPoint(0, 0), FigureMask[std::size_t(frame & 1)],
               FigureImage[std::size_t(frame & 1)]);
    p.end();
    update(QRect(kFigurePos, kFigureSize));
}

void TGameForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    FGame.Start();
    Memo1->setFocus();
}

void TGameForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QWidget::changeEvent(event);
}

void TGameForm::FormActivate() {
    // Hangul for the Korean game, Latin letters for the English one.
    FComposer->SetTypingLang(FGame.Language() == 0 ? tlNative : tlEng);
    FComposer->SetKoreanText(FGame.Language() == 0);
    Memo1->setInputMethodHints(FGame.Language() == 0 ? Qt::ImhNone
                                                     : Qt::ImhPreferLatin | Qt::ImhLatinOnly);
}

void TGameForm::paintEvent(QPaintEvent*) {
    QImage frame(size(), QImage::Format_RGB32);
    frame.fill(palette().color(QPalette::Window));
    QPainter p(&frame);
    if (!ClockBackImage.isNull())
        p.drawImage(0, 0, ClockBackImage);
    p.drawImage(kFigurePos, FFigureBuffer);
    if (FGame.ShowThunder() > 0) {
        for (const QPoint& bolt : FGame.ThunderPaint())
            DrawMasked(p, bolt, ThunderMaskImage, ThunderImage);
    }
    p.end();
    QPainter(this).drawImage(0, 0, frame);
}

bool TGameForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape)
                return true;
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Memo1->insert(QStringLiteral(" "));
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat() &&
                (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                 key->key() == Qt::Key_Enter)) {
                Memo1KeyUp();
            }
        }
    } else if (watched == StatusBar1 && event->type() == QEvent::Paint) {
        QPainter painter(StatusBar1);
        StatusBar1DrawPanel(painter);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TGameForm::Memo1KeyUp() {
    const QString text = Memo1->text();
    Memo1->clear();
    FGame.CheckAnswer(text);
}

void TGameForm::StatusBar1DrawPanel(QPainter& painter) {
    const QPalette pal = StatusBar1->palette();
    painter.fillRect(StatusBar1->rect(), pal.color(QPalette::Window));
    const QRect panel(0, 0, kStatusPanelWidth, StatusBar1->height());
    painter.fillRect(panel, pal.color(QPalette::Button));
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawLine(panel.topRight(), panel.bottomRight());
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.setFont(Font(QStringLiteral("굴림"), 12, false));
    const QString& message = FGame.StatusText();
    if (!message.isEmpty()) {
        painter.drawPixmap(2, 4, SmileImg);
        painter.drawText(QRect(20, 4, kStatusPanelWidth - 22, panel.height() - 4),
                         Qt::AlignLeft | Qt::AlignTop, message);
    } else {
        painter.drawPixmap(2, 4, NormalImg);
        painter.drawPixmap(22, 4, NormalImg);
    }
}

void TGameForm::CommitComposition() {
    FComposer->Commit();
    QGuiApplication::inputMethod()->commit();
}

void TGameForm::ShowInformation(const QString& caption, const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::information(this, caption, shown);
}

void TGameForm::LevelUpMessage(int level) {
    CommitComposition();
    ShowInformation(QStringLiteral("Level up"), QStringLiteral("Level - %1").arg(level));
}

void TGameForm::GameOver() {
    Memo1->setFocus();
    ProgressBar1->setValue(0);
    CommitComposition();
    ShowInformation(QStringLiteral("Clockwig"), QStringLiteral("Game Over !!"));
    FinishGame();
}

void TGameForm::GameComplete() {
    Memo1->setFocus();
    CommitComposition();
    ShowInformation(QStringLiteral("축하합니다~!!"),
                    QStringLiteral("마지막 레벨까지 해결했습니다.\r'Clockwig'를 완전히 "
                                   "수정했습니다."));
    FinishGame();
}

void TGameForm::FinishGame() {
    FHistory->RecordGame(haClockwig,
                         FGame.Language() == 0 ? QStringLiteral("한글") : QStringLiteral("영어"),
                         FGame.Level(), FGame.Score());
    QPointer<TScoreForm> board = SaveUser();
    CommitComposition();
    if (board)
        board->exec();
    close();
}

TScoreForm* TGameForm::SaveUser() {
    TScoreForm* board = nullptr;
    try {
        board = new TScoreForm(this);
        board->NameTypingLang = FComposer->TypingLang();
        board->NameKoreanText = FComposer->KoreanText();
        board->NameDesktopInputMethod = FComposer->DesktopInputMethodActive();
    } catch (const ERavlinError& error) {
        ShowErrorMessage(this, error.Message());
        return nullptr;
    }
    try {
        const QString language =
            FGame.Language() == 0 ? QStringLiteral("한글") : QStringLiteral("영어");
        board->SubmitResult(FGame.Score(), FGame.Level(), EncodeCp949(language));
    } catch (const ERavlinError& error) {
        // The board still shows what it holds; only the file could not be kept.
        ShowErrorMessage(this, error.Message());
    }
    return board;
}
