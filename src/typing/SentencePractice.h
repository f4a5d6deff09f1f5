#pragma once

#include "app/Colors.h"
#include "platform/InputComposer.h"
#include "typing/SwitchBackNotice.h"
#include "typing/TypingModel.h"

#include <functional>
#include <QBasicTimer>
#include <QFont>
#include <QFontMetricsF>
#include <QPixmap>
#include <QWidget>
#include <vector>

class QPainter;

// The control in which sentence practice happens. It shows a page of lines;
// each line is a problem line (the text to type) with the learner's typed
// line under it. Keyboard and input-method input go through the control's
// own input composer into the typing model; wrong characters are drawn in
// WrongMarkColor as they are typed, the syllable being composed is shown in
// inverse video, and a lightning-bolt caret blinks at the typing position.
//
// After input only the changed cells are invalidated; paintEvent draws
// everything inside the region it is asked for.
class TSentencePractice : public QWidget {
    Q_OBJECT
public:
    // `clock` drives the typing model (tests pass their own); empty means the
    // monotonic clock.
    explicit TSentencePractice(QWidget* parent = nullptr, TTypingModel::TClock clock = {});
    ~TSentencePractice() override;

    // The typing model behind the control (lines, typed text, counts). Its
    // operations repaint what they change; a line's fields written directly
    // (a preview's fixed sample) need an update() afterwards.
    TTypingModel& Model() { return FModel; }
    const TTypingModel& Model() const { return FModel; }
    // The control's own input context.
    TInputComposer& Composer() { return FComposer; }

    // The text is Korean: Shift+Space toggles the built-in composer, and a
    // Latin letter where Hangul is due brings up the switch-back notice.
    void SetKoreanText(bool value);
    // Which composer writes Hangul (see TInputMethodChoice); under imcBuiltIn
    // the control refuses the desktop input method.
    void SetInputMethodChoice(TInputMethodChoice value);
    // The notice telling how to get back to Hangul (see TSwitchBackNotice).
    const TSwitchBackNotice& SwitchBackNotice() const { return FNotice; }
    // Where the input mode indicator (가 / A) of the current line and the
    // notice are drawn; empty when there is no line (or no notice).
    QRect InputModeRect() const;
    QRect NoticeRect() const;

    // ---- Properties (each setter that changes a value repaints) ---------

    TColor WrongMarkColor() const { return FWrongMarkColor; }
    void SetWrongMarkColor(TColor value);
    // Pixels between a problem line and its typed line.
    int LineSpace() const { return FLineSpace; }
    void SetLineSpace(int value);
    // Pixels between a typed line and the next problem line.
    int SentenceSpace() const { return FSentenceSpace; }
    void SetSentenceSpace(int value);
    // Number of lines; a new value >= 0 discards all lines (see TTypingModel).
    int SentenceCount() const { return FModel.SentenceCount(); }
    void SetSentenceCount(int value);
    bool CheckComposingChar() const { return FModel.CheckComposingChar(); }
    void SetCheckComposingChar(bool value);
    // Draw the untyped rest of each problem line offset from its typed part,
    // so the learner sees a step where the next character is due.
    bool ShiftTypedProblem() const { return FShiftTypedProblem; }
    void SetShiftTypedProblem(bool value);
    int ShiftXOfTypedProblem() const { return FShiftXOfTypedProblem; }
    void SetShiftXOfTypedProblem(int value);
    int ShiftYOfTypedProblem() const { return FShiftYOfTypedProblem; }
    void SetShiftYOfTypedProblem(int value);
    // Ignore all typing and hide the caret.
    bool ReadOnly() const { return FModel.ReadOnly(); }
    void SetReadOnly(bool value);
    // Top margin of the first line.
    int TextOffsetY() const { return FTextOffSetY; }
    void SetTextOffsetY(int value);
    // tlNative while the control's input context composes Hangul; tlEng
    // otherwise or when the mode cannot be read.
    TTypingLang TypingLang() const { return FComposer.TypingLang(); }
    void SetTypingLang(TTypingLang value) { FComposer.SetTypingLang(value); }
    bool TypingStarted() const { return FModel.TypingStarted(); }
    // Background colour (used when OnDrawBackGround is not assigned, and as
    // the text colour of the inverted composing character).
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Colour of the text of both lines; the face and size are the widget's
    // font().
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value);

    // ---- Model operations -----------------------------------------------

    quint32 ElapsedTime() const { return FModel.GetElapsedTime(); }
    // A new problem starts a new page for the switch-back notice.
    void SetProblem(int SentenceIndex, const QString& problem);
    int GetTypingSpeed(bool isCurrent) const { return FModel.GetTypingSpeed(isCurrent); }
    int GetAvgTypingSpeed(bool isCurrent) const { return FModel.GetAvgTypingSpeed(isCurrent); }
    float GetTypingAccuracy(qint64& ProblemLen, qint64& TypedLen, qint64& HitCount,
                            qint64& RightlyTypedLen, bool isCurrent) const {
        return FModel.GetTypingAccuracy(ProblemLen, TypedLen, HitCount, RightlyTypedLen, isCurrent);
    }
    float GetOnlyTypingAccuracy(bool isCurrent) const {
        return FModel.GetOnlyTypingAccuracy(isCurrent);
    }
    float GetAvgTypingAccuracy(bool isCurrent) const {
        return FModel.GetAvgTypingAccuracy(isCurrent);
    }

    // ---- Layout ---------------------------------------------------------
    // W and H are the width and height of "A" in the control's font. Line k
    // has its problem line at ProblemLineTop(k) and its typed line at
    // TypedLineTop(k); both start at x = 2.

    int CharWidth() const { return FCharWidth; }
    int CharHeight() const { return FCharHeight; }
    int ProblemLineTop(int line) const;
    int TypedLineTop(int line) const;
    // The cell of typed character `position` (0-based) of a line; at the
    // typed length, the cell where the next character (or the caret) goes.
    QRect TypedCharRect(int line, int position) const;
    // The caret's area on the current line (empty when there is no line).
    QRect CaretRect() const;

    // The text F2 puts on the clipboard: each typed character of the current
    // line followed by "(" + its keystroke count + ") ".
    QString HitCountReport() const;

    // ---- Events ---------------------------------------------------------

    std::function<void(TSentencePractice* Sender)> OnTypingStarted;
    std::function<void(TSentencePractice* Sender)> OnTypingError;
    std::function<void(TSentencePractice* Sender)> OnTypingEnded;
    // The input context switched between Hangul and Latin input.
    std::function<void(TSentencePractice* Sender)> OnTypingLangChanged;
    // When assigned, every background erase is delegated to it: paint `Rect`
    // on `Canvas`. Otherwise the rectangle is filled with Color().
    std::function<void(TSentencePractice* Sender, QPainter& Canvas, const QRect& Rect)>
        OnDrawBackGround;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateFontMetrics();
    // Left edges of the characters of `text` relative to the line start, one
    // more entry for the end.
    void CharPositions(const QString& text, std::vector<qreal>& positions) const;
    qreal TextWidth(const QString& text, qsizetype count) const;
    // Width reserved for the caret or composing cell.
    int CellWidth() const;
    int ProblemShiftY() const { return FShiftTypedProblem ? FShiftYOfTypedProblem : 0; }
    int ProblemShiftX() const { return FShiftTypedProblem ? FShiftXOfTypedProblem : 0; }
    // The band of line `line` from the top of its raised problem text to the
    // bottom of its typed line.
    QRect LineBand(int line) const;
    void InvalidateLine(int line, int fromPos, int toPos);
    void DrawLine(QPainter& painter, int line, const QRect& clip);
    // Shows the blinking caret (when the control takes input) or hides it.
    void ShowCaret(bool visible);
    // Repaints the current line's indicator and notice (and the line that
    // had them before).
    void UpdateIndicator();
    void HideNotice();

    TSwitchBackNotice FNotice;
    int FIndicatorLine = -1;
    QFont FNoticeFont;

    TTypingModel FModel;
    TInputComposer FComposer;

    QPixmap FRedBoltIcon;  // blink phase 0 ("IDR_BLUE_BOLT_DOWN")
    QPixmap FBlueBoltIcon; // blink phase 1 ("IDR_BLUE_BOLT")
    int FLineSpace = 5;
    int FSentenceSpace = 25;
    TColor FWrongMarkColor = clRed;
    TColor FColor = clWindow;
    TColor FFontColor = clWindowText;
    int FCaretTick = 0;
    bool FCaretVisible = false;
    int FTextOffSetY = 0;
    bool FShiftTypedProblem = true;
    int FShiftXOfTypedProblem = 15;
    int FShiftYOfTypedProblem = 5;
    QBasicTimer FCaretTimer;

    QFont FPaintFont;
    QFontMetricsF FMetrics;
    int FCharWidth = 0;
    int FCharHeight = 0;
    int FMaxCharWidth = 0;
};
