#pragma once

#include "typing/SentenceImageList.h"
#include "typing/SentenceText.h"
#include "typing/TypingModel.h"

#include <memory>
#include <QImage>
#include <QRect>
#include <QWidget>

class QTimer;
class THistoryRecorder;
class TBorderLabel;
class TSentencePractice;
class TThreadTimer;
class TVelmarMeter;
class TVelmarSeries;

// The window in which the learner types a practice text page by page
// ("문장연습"). The speed meter on the left shows the best, average and
// current speed, and above its bars the accuracy of the page and the
// average accuracy that scale those speeds; the practice control on its
// right shows a page of lines.
// A page typed below the target speed is repeated; otherwise the next page
// follows with the next background picture. Where the learner stopped is
// stored per text and offered again the next time.
//
// The window frees itself when closed.
class TSentenceForm : public QWidget {
    Q_OBJECT
public:
    // `clock` drives the typing model's page clock; empty means the monotonic
    // clock.
    explicit TSentenceForm(QWidget* parent = nullptr, TTypingModel::TClock clock = {});
    ~TSentenceForm() override;

    // Loads `textFn` with the sentence settings, fits `lineCount` lines to the
    // screen, offers to resume where the learner stopped and shows the first
    // page. Throws ERavlinError when the text cannot be loaded.
    void StartExercise(int lineCount, const QString& textFn);

    // The part of the screen the window may use (the desktop's work area
    // unless set otherwise).
    QRect WorkArea() const { return FWorkArea; }
    void SetWorkArea(const QRect& area) { FWorkArea = area; }

    // Width of the speed meter.
    static constexpr int kMeterWidth = 180;

    TSentencePractice* SenEx;
    TVelmarMeter* SpeedMeter;
    TThreadTimer* CurrSpeedTimer;
    QTimer* ErrorTimer;
    QImage imgBack; // the built-in background picture

    TVelmarSeries* MaxBar;
    TVelmarSeries* AvgBar;
    TVelmarSeries* CurrBar;

    // Accuracy of the page ("정확도"), live while it is typed and final once
    // it ended, and of all pages so far ("평균 정확도"), refreshed with the
    // speeds. They sit in the meter's top margin, above the bars.
    TBorderLabel* AccuracyLabel;
    TBorderLabel* AvgAccuracyLabel;
    static constexpr int kAccuracyPanelHeight = 64;

    // The window has been closed (it is about to be freed).
    bool Closed() const { return FClosed; }

    const QString& TextFn() const { return FTextFn; }
    const TSentenceText& Text() const { return FText; }
    const TSentenceImageList& SentenceImageList() const { return FSentenceImageList; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Escape, Page Down and Page Up page through the text.
    static bool IsPagingKey(int key);
    bool HandlePagingKey(int key);
    void ShowNextPage();
    void ShowPrevPage();
    void ShowPage(const QStringList& page);
    void UpdateSpeeds(bool isCurrent);
    void UpdateAccuracy(bool isCurrent);
    void LayoutControls();
    // Stores the first line of the page on screen under the text's key.
    void SaveResumePosition();

    void SenExTypingStarted();
    void SenExTypingError();
    void SenExTypingEnded();
    void CurrSpeedTimerTimer();
    void ErrorTimerTimer();

    QString FTextFn;
    TSentenceText FText;
    TSentenceImageList FSentenceImageList;
    QRect FWorkArea;
    int FPageHeight = 500;
    bool FPageShown = false; // a page of FTextFn has been on screen
    bool FPositionSaved = false;
    bool FClosed = false;
    // Each ended page goes into the practice history.
    std::unique_ptr<THistoryRecorder> FHistory;
};
