#include "typing/SentenceForm.h"

#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "gl/ThreadTimer.h"
#include "history/HistoryForm.h"
#include "history/HistoryRecorder.h"
#include "platform/KanaInput.h"
#include "shell/BorderLabel.h"
#include "shell/GameSoundList.h"
#include "typing/BuiltInBackground.h"
#include "typing/SentencePageFit.h"
#include "typing/SentencePractice.h"
#include "typing/VelmarMeter.h"

#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

void Inform(QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

// An accuracy as shown beside the meter: one decimal, "-" before anything
// was measured.
QString AccuracyText(float accuracy, bool measured) {
    return measured ? QString::number(double(accuracy) * 100.0, 'f', 1) + u'%'
                    : QStringLiteral("-");
}

// A rounded badge for one accuracy figure, framed in the colour of the bar
// whose speed it scales.
TBorderLabel* NewAccuracyBadge(QWidget* parent, TColor frame) {
    auto* badge = new TBorderLabel(parent);
    QFont font(QStringLiteral("굴림체"));
    font.setPixelSize(14);
    font.setBold(true);
    badge->setFont(font);
    badge->SetBorderShape(bsRoundRect);
    badge->SetRoundDegree(12);
    badge->SetBorderWidth(2);
    badge->SetBorderColor(frame);
    badge->SetColor(clWhite);
    badge->SetFontColor(RGBColor(32, 32, 32));
    badge->SetTextAlign(taCenter);
    badge->SetAutoSize(false);
    return badge;
}

QColor WindowColor() {
    return ToQColor(clWindow);
}

} // namespace

TSentenceForm::TSentenceForm(QWidget* parent, TTypingModel::TClock clock)
    : QWidget(parent, Qt::Window)
    , SenEx(new TSentencePractice(this, std::move(clock)))
    , SpeedMeter(new TVelmarMeter(this))
    , CurrSpeedTimer(new TThreadTimer(this))
    , ErrorTimer(new QTimer(this))
    , imgBack(BuiltInBackgroundPicture()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("문장연습"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        FWorkArea = screen->availableGeometry();

    SenEx->SetColor(clWhite);
    SenEx->SetWrongMarkColor(clRed);
    SenEx->SetLineSpace(5);
    SenEx->SetSentenceSpace(35);
    SenEx->SetSentenceCount(2);
    SenEx->SetCheckComposingChar(false);
    SenEx->SetShiftTypedProblem(true);
    SenEx->SetShiftXOfTypedProblem(0);
    SenEx->SetShiftYOfTypedProblem(12);
    SenEx->SetReadOnly(false);
    SenEx->SetTextOffsetY(20);
    SenEx->SetTypingLang(tlEng);
    SenEx->installEventFilter(this);
    SenEx->OnTypingStarted = [this](TSentencePractice*) { SenExTypingStarted(); };
    SenEx->OnTypingError = [this](TSentencePractice*) { SenExTypingError(); };
    SenEx->OnTypingEnded = [this](TSentencePractice*) { SenExTypingEnded(); };
    FHistory = std::make_unique<THistoryRecorder>();
    THistoryForm::ConnectRecovery(this, *FHistory);
    // The picture runs on from the meter into the practice lines.
    SenEx->OnDrawBackGround = [this](TSentencePractice*, QPainter& canvas, const QRect& rect) {
        FSentenceImageList.Paint(canvas, rect, SpeedMeter->width(), WindowColor());
    };

    SpeedMeter->BeginUpdate();
    SpeedMeter->SetMarginbotton(1);
    // The accuracy badges take the top of the meter.
    SpeedMeter->SetMarginTop(kAccuracyPanelHeight);
    SpeedMeter->SetMarginLeft(0);
    SpeedMeter->SetMarginRight(20);
    SpeedMeter->SetColor(clWindow);
    SpeedMeter->SetMaxBlockCount(800);
    SpeedMeter->SetCaption(QStringLiteral("타자속도"));
    SpeedMeter->SetBlockHeight(5);
    SpeedMeter->SetShowAxis(false);
    SpeedMeter->SetShowTitle(false);
    SpeedMeter->SetBlockOrangeColor(1040697);
    SpeedMeter->SetBlockRedColor(3947775);
    SpeedMeter->SetBlockBlueColor(15836942);
    SpeedMeter->SetBorderColor(clBlack);
    SpeedMeter->SetAxisColor(clBlack);
    SpeedMeter->SetBorderVisible(false);
    SpeedMeter->SetBlockDepth(3);
    SpeedMeter->SetDrawBlockDivider(true);
    SpeedMeter->SetDrawGradientChunkIn3D(true);
    QFont title(QStringLiteral("Tahoma"));
    title.setPixelSize(16);
    SpeedMeter->SetTitleFont(title);
    SpeedMeter->SetSortWhenAdd(false);
    SpeedMeter->SetShowGrid(false);
    SpeedMeter->SetFlowDirection(fdTopToBottom);
    SpeedMeter->SetUseBackGroundImage(true);
    SpeedMeter->SetBlendAlpha(0.7);
    QFont meterFont(QStringLiteral("굴림체"));
    meterFont.setPixelSize(16);
    meterFont.setBold(true);
    SpeedMeter->setFont(meterFont);
    SpeedMeter->OnPaintBackGroundImage = [this](TVelmarMeter*, QImage& image, bool&) {
        QPainter painter(&image);
        FSentenceImageList.Paint(painter, image.rect(), 0, WindowColor());
    };
    MaxBar = SpeedMeter->AddSeries(QStringLiteral("MaxBar"), QStringLiteral("최고"));
    MaxBar->SetConnected(true);
    MaxBar->SetShowName(true);
    MaxBar->SetBlockBorderColor(RGBColor(128, 128, 128));
    AvgBar = SpeedMeter->AddSeries(QStringLiteral("AvgBar"), QStringLiteral("평균"));
    CurrBar = SpeedMeter->AddSeries(QStringLiteral("CurrBar"), QStringLiteral("현재"));
    SpeedMeter->Serieses().ResetValues();
    SpeedMeter->EndUpdate();

    AccuracyLabel = NewAccuracyBadge(SpeedMeter, SpeedMeter->BlockBlueColor());
    AvgAccuracyLabel = NewAccuracyBadge(SpeedMeter, SpeedMeter->BlockOrangeColor());
    UpdateAccuracy(true);

    CurrSpeedTimer->SetEnabled(false);
    CurrSpeedTimer->SetInterval(1000);
    CurrSpeedTimer->OnTimer = [this](TThreadTimer*) { CurrSpeedTimerTimer(); };

    ErrorTimer->setInterval(100);
    ErrorTimer->setSingleShot(false);
    connect(ErrorTimer, &QTimer::timeout, this, &TSentenceForm::ErrorTimerTimer);

    resize(kMeterWidth + 620, FPageHeight);
    LayoutControls();
    setFocusProxy(SenEx);

    // A program that quits does not free its windows: store the position then.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (FPositionSaved)
            return;
        try {
            SaveResumePosition();
            FPositionSaved = true;
        } catch (const ERavlinError& e) {
            qWarning("%s", qPrintable(e.Message()));
        }
    });
}

TSentenceForm::~TSentenceForm() {
    // The controls are freed only after this window's own fields, and the
    // practice control still loses the focus on the way, which commits a
    // syllable being composed and may end the page. Nothing of that may reach
    // a window that is half gone.
    SenEx->OnTypingStarted = nullptr;
    SenEx->OnTypingError = nullptr;
    SenEx->OnTypingEnded = nullptr;
    SenEx->OnDrawBackGround = nullptr;
    SpeedMeter->OnPaintBackGroundImage = nullptr;
    CurrSpeedTimer->SetEnabled(false);
    SpeedMeter->SetActive(false);
    if (!FPositionSaved) {
        try {
            SaveResumePosition();
        } catch (const ERavlinError& e) {
            qWarning("%s", qPrintable(e.Message()));
        }
    }
}

void TSentenceForm::SaveResumePosition() {
    // Nothing to remember for a text that never got a page on screen (it may
    // have failed to load): its stored position must survive.
    if (FTextFn.isEmpty() || !FPageShown)
        return;
    TIniFile ini = OpenSettingsIni();
    WriteFileHistory(ini, FileHistoryKey(FTextFn), FText.CurrTextLine() - SenEx->SentenceCount());
    CloseSettingsIni(ini);
}

void TSentenceForm::StartExercise(int lineCount, const QString& textFn) {
    if (!FTextFn.isEmpty())
        SaveResumePosition();
    FTextFn = textFn;
    FPageShown = false;
    FPositionSaved = false;

    QFont font(SentenceSetup.FontName);
    font.setPointSize(std::max(SentenceSetup.FontSize, 1));
    font.setBold(SentenceSetup.FontBold);
    font.setItalic(SentenceSetup.FontItalic);
    SenEx->setFont(font);
    SenEx->SetFontColor(SentenceSetup.FontColor);
    SenEx->SetWrongMarkColor(SentenceSetup.WrongMarkColor);
    SenEx->SetSentenceCount(lineCount);

    const int charHeight = SenEx->CharHeight();
    const int charWidth = qRound(QFontMetricsF(SenEx->font()).horizontalAdvance(QLatin1Char('W')));
    FText.Load(textFn, charWidth, FWorkArea.width() - 230);
    // Shift+Space switches to Hangul only where Hangul is to be typed.
    SenEx->SetKoreanText(IsKoreanText(textFn, FText.Lines()));
    // One composer at a time: the learner's choice, by default the desktop
    // input method where one is set up.
    SenEx->SetInputMethodChoice(TInputMethodChoice(SentenceSetup.HangulInput));
    // A Japanese text is typed in kana, a Korean one in Hangul, on the
    // layout the keyboard setup stored for that script.
    SenEx->Composer().SetKeyboardLayoutIndex(
        TKanaInput::LayoutForText(FText.Lines(), StoredKeyboardLayoutIndex()));
    SenEx->SetSentenceSpace(charHeight + 3);

    const TSentencePageFit fit = FitSentencePage(lineCount, charHeight, SenEx->LineSpace(),
                                                 SenEx->SentenceSpace(), FWorkArea.height());
    SenEx->SetSentenceCount(fit.SentenceCount);
    SenEx->SetTextOffsetY(fit.TextOffsetY);
    if (fit.SentenceCount != lineCount)
        Inform(this, QStringLiteral("알림"),
               QStringLiteral("선택한 %1 줄이 화면을 벗어나므로 %2 줄로 변경했습니다. "
                              "폰트크기를 더 작게 하면 줄수를 늘릴 수 있습니다.")
                   .arg(lineCount)
                   .arg(fit.SentenceCount),
               QMessageBox::Information);

    FPageHeight = fit.Height;
    setFixedHeight(FPageHeight);
    LayoutControls();
    move(FWorkArea.left() + (FWorkArea.width() - width()) / 2,
         FWorkArea.top() + std::max(0, (FWorkArea.height() - height()) / 2));

    SenEx->SetCheckComposingChar(SentenceSetup.ShowWrongJohap);

    FText.SetCurrTextLine(0);
    int resume = 0;
    {
        const TIniFile ini = OpenSettingsIni();
        resume = FText.ClampResumeLine(ReadFileHistory(ini, FileHistoryKey(textFn)));
    }
    if (resume > 0 && AskYesNo(this, QStringLiteral("확인"),
                               QStringLiteral("기존에 연습하던 것에 이어서 하시겠습니까?")))
        FText.SetCurrTextLine(resume);

    FSentenceImageList.Load(SentenceSetup.BackImage, imgBack);
    ShowNextPage();
}

void TSentenceForm::LayoutControls() {
    SpeedMeter->setGeometry(0, 0, kMeterWidth, FPageHeight);
    // Over the bars' width (the meter keeps a margin on its right).
    const int badgeWidth = kMeterWidth - SpeedMeter->MarginRight() - 2;
    AccuracyLabel->setGeometry(2, 4, badgeWidth, 28);
    AvgAccuracyLabel->setGeometry(2, 34, badgeWidth, 28);
    SenEx->setGeometry(kMeterWidth, 0, std::max(width() - kMeterWidth, 0), FPageHeight);
}

void TSentenceForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void TSentenceForm::ShowNextPage() {
    QStringList page;
    if (FText.NextPage(SenEx->SentenceCount(), page) == TSentenceText::prAtEnd) {
        Inform(this, QStringLiteral("확인"), QStringLiteral("선택된 글의 끝까지 연습했습니다."),
               QMessageBox::NoIcon);
        close();
        return;
    }
    ShowPage(page);
}

void TSentenceForm::ShowPrevPage() {
    QStringList page;
    if (FText.PrevPage(SenEx->SentenceCount(), page) == TSentenceText::prAtStart) {
        Inform(this, QStringLiteral("확인"), QStringLiteral("선택된 글의 첫부분입니다."),
               QMessageBox::NoIcon);
        return;
    }
    ShowPage(page);
}

void TSentenceForm::ShowPage(const QStringList& page) {
    for (int i = 0; i < page.size(); ++i)
        SenEx->SetProblem(i, page[i]);
    FPageShown = true;
    SenEx->update();
    SpeedMeter->Paint();

    // Widen the window when a line would not fit, up to the screen's width.
    const QFontMetrics metrics(SenEx->font());
    int widest = 0;
    for (int i = 0; i < SenEx->SentenceCount(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(SenEx->Model().Sentence(i)->problem));
    const int needed = SpeedMeter->width() + widest + 30;
    if (width() < needed) {
        resize(std::min(needed, FWorkArea.width()), height());
        move(FWorkArea.left() + (FWorkArea.width() - width()) / 2, y());
    }
}

void TSentenceForm::UpdateSpeeds(bool isCurrent) {
    UpdateAccuracy(isCurrent);
    if (SenEx->SentenceCount() > 0)
        CurrBar->SetBlueValue(SenEx->GetTypingSpeed(isCurrent));
    AvgBar->SetOrangeValue(SenEx->GetAvgTypingSpeed(isCurrent));
    if (!isCurrent && MaxBar->RedValue() < CurrBar->BlueValue()) {
        if (SentenceSetup.UseSound && GameSounds)
            GameSounds->Play(GameSounds->ThunderSnd);
        MaxBar->SetRedValue(CurrBar->BlueValue());
    }
}

void TSentenceForm::UpdateAccuracy(bool isCurrent) {
    qint64 problemLen = 0, typedLen = 0, hitCount = 0, rightlyTypedLen = 0;
    const float page =
        SenEx->GetTypingAccuracy(problemLen, typedLen, hitCount, rightlyTypedLen, isCurrent);
    // A page not yet typed has no accuracy; an ended one always has one.
    const bool pageMeasured = isCurrent ? typedLen > 0 : problemLen > 0;
    const float average = SenEx->GetAvgTypingAccuracy(isCurrent);
    const bool averageMeasured = SenEx->Model().TotalProblemLen() + (isCurrent ? typedLen : 0) > 0;
    AccuracyLabel->SetCaption(QStringLiteral("정확도 ") + AccuracyText(page, pageMeasured));
    AvgAccuracyLabel->SetCaption(QStringLiteral("평균 정확도 ") +
                                 AccuracyText(average, averageMeasured));
}

void TSentenceForm::SenExTypingStarted() {
    SpeedMeter->SetActive(true);
    CurrSpeedTimer->SetEnabled(true);
}

void TSentenceForm::CurrSpeedTimerTimer() {
    if (SenEx->TypingStarted())
        UpdateSpeeds(true);
}

void TSentenceForm::SenExTypingError() {
    // A running timer is left alone: restarting it would hold the sound back
    // for as long as errors keep coming (a wrong key held down).
    if (SentenceSetup.UseSound && !ErrorTimer->isActive())
        ErrorTimer->start();
}

void TSentenceForm::ErrorTimerTimer() {
    // Errors within one interval share this one sound.
    ErrorTimer->stop();
    if (GameSounds)
        GameSounds->Play(GameSounds->WrongSnd);
}

void TSentenceForm::SenExTypingEnded() {
    // The page's clock has stopped; live figures would now only decay (and
    // count the ended page twice in the average) while a message is shown.
    CurrSpeedTimer->SetEnabled(false);
    SpeedMeter->SetActive(false);
    UpdateSpeeds(false);
    SpeedMeter->Paint();
    // A page repeated for its speed still counts as practice.
    FHistory->RecordSentencePage(SenEx->Model(), QFileInfo(FTextFn).fileName());

    if (SentenceSetup.UseSpeedLimit && SenEx->GetTypingSpeed(false) < SentenceSetup.SpeedLimit) {
        Inform(this, QStringLiteral("확인"),
               QStringLiteral("목표로 한 타자속도(%1 타/분)을 넘지 못해서 다시 연습합니다.")
                   .arg(SentenceSetup.SpeedLimit),
               QMessageBox::Information);
        // The same lines again: setting each problem anew clears what was
        // typed, and the clock waits for the next first keystroke.
        for (int i = 0; i < SenEx->SentenceCount(); ++i)
            SenEx->SetProblem(i, SenEx->Model().Sentence(i)->problem);
        SenEx->update();
        return;
    }
    FSentenceImageList.Next();
    ShowNextPage();
}

bool TSentenceForm::IsPagingKey(int key) {
    return key == Qt::Key_Escape || key == Qt::Key_PageDown || key == Qt::Key_PageUp;
}

bool TSentenceForm::HandlePagingKey(int key) {
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_PageDown:
        ShowNextPage();
        return true;
    case Qt::Key_PageUp:
        ShowPrevPage();
        return true;
    default:
        return false;
    }
}

bool TSentenceForm::eventFilter(QObject* watched, QEvent* event) {
    // The window sees the keys before the practice control. A paging key
    // first finishes a syllable still being composed, on the page it was
    // typed on, as any key the input composer does not take does.
    if (watched == SenEx && event->type() == QEvent::KeyPress &&
        IsPagingKey(static_cast<QKeyEvent*>(event)->key())) {
        SenEx->Composer().Commit();
        if (!FClosed) // finishing it may have ended the text
            HandlePagingKey(static_cast<QKeyEvent*>(event)->key());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSentenceForm::keyPressEvent(QKeyEvent* event) {
    if (!HandlePagingKey(event->key()))
        QWidget::keyPressEvent(event);
}

void TSentenceForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only when the window is shown, not each time it comes back from being
    // minimized: the learner may have switched the input language since.
    if (event->spontaneous())
        return;
    // A "[한글]" text starts the built-in composer in Hangul, unless a desktop
    // input method is the one to compose (the composer then stays off).
    SenEx->SetTypingLang(FTextFn.contains(QStringLiteral("[한글]")) ? tlNative : tlEng);
    SenEx->setFocus();
}

void TSentenceForm::closeEvent(QCloseEvent* event) {
    try {
        SaveResumePosition();
    } catch (const ERavlinError& e) {
        ShowErrorMessage(this, e.Message());
    }
    FPositionSaved = true;
    FClosed = true;
    // Hiding takes the focus away, which commits a syllable being composed;
    // a closed window must not turn that into a new page or a message.
    SenEx->SetReadOnly(true);
    QWidget::closeEvent(event);
}
