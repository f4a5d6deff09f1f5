#include "typing/SentencePractice.h"

#include "platform/InputModeBadge.h"
#include "typing/BoltIcons.h"

#include <algorithm>
#include <cstdlib>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QtMath>
#include <tuple>

namespace {

constexpr int kCaretBlinkInterval = 400; // ms
constexpr int kLeftMargin = 2;

} // namespace

TSentencePractice::TSentencePractice(QWidget* parent, TTypingModel::TClock clock)
    : QWidget(parent)
    , FModel(std::move(clock))
    , FMetrics(font()) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    // paintEvent erases what it paints itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateFontMetrics();

    FModel.OnTypingStarted = [this](TTypingModel*) {
        if (OnTypingStarted)
            OnTypingStarted(this);
    };
    FModel.OnTypingError = [this](TTypingModel*) {
        if (OnTypingError)
            OnTypingError(this);
    };
    FModel.OnTypingEnded = [this](TTypingModel*) {
        if (OnTypingEnded)
            OnTypingEnded(this);
    };
    FModel.OnLineChanged = [this](TTypingModel*, int line, int fromPos, int toPos) {
        InvalidateLine(line, fromPos, toPos);
        if (FModel.CurrSentenceIndex() != FIndicatorLine)
            UpdateIndicator();
    };

    FComposer.OnCompositionStart = [this](TInputComposer*) {
        HideNotice();
        FModel.CompositionStart();
    };
    FComposer.OnCompositionUpdate = [this](TInputComposer*, QChar c) {
        FModel.CompositionUpdate(c);
    };
    FComposer.OnCompositionCommit = [this](TInputComposer*, QChar c) {
        FModel.CompositionCommit(c);
    };
    FComposer.OnCompositionEnd = [this](TInputComposer*) { FModel.CompositionEnd(); };
    FComposer.OnDirectChar = [this](TInputComposer*, QChar c) {
        HideNotice();
        FModel.TypeChar(c);
    };
    FComposer.OnTypingLangChanged = [this](TInputComposer*) {
        if (OnTypingLangChanged)
            OnTypingLangChanged(this);
    };
    connect(&FComposer, &TInputComposer::InputModeChanged, this, [this] {
        if (FComposer.InputMode() == tlNative)
            FNotice.HangulArrived();
        UpdateIndicator();
    });
}

TSentencePractice::~TSentencePractice() {
    FModel.OnLineChanged = nullptr;
    FModel.SetSentenceCount(0);
}

// ---- Properties -------------------------------------------------------------

void TSentencePractice::SetWrongMarkColor(TColor value) {
    if (value == FWrongMarkColor)
        return;
    FWrongMarkColor = value;
    update();
}

void TSentencePractice::SetLineSpace(int value) {
    if (value == FLineSpace)
        return;
    FLineSpace = value;
    update();
}

void TSentencePractice::SetSentenceSpace(int value) {
    if (value == FSentenceSpace)
        return;
    FSentenceSpace = value;
    update();
}

void TSentencePractice::SetSentenceCount(int value) {
    FNotice.NewPage();
    FModel.SetSentenceCount(value);
    UpdateIndicator();
}

void TSentencePractice::SetProblem(int SentenceIndex, const QString& problem) {
    FNotice.NewPage();
    FModel.SetProblem(SentenceIndex, problem);
    UpdateIndicator();
}

void TSentencePractice::SetKoreanText(bool value) {
    FComposer.SetKoreanText(value);
    FNotice.SetKoreanText(value);
    UpdateIndicator();
}

void TSentencePractice::SetInputMethodChoice(TInputMethodChoice value) {
    FComposer.SetInputMethodChoice(value);
    setAttribute(Qt::WA_InputMethodEnabled, FComposer.AcceptsDesktopInput());
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    UpdateIndicator();
}

void TSentencePractice::HideNotice() {
    if (!FNotice.Visible())
        return;
    FNotice.HangulArrived();
    UpdateIndicator();
}

void TSentencePractice::UpdateIndicator() {
    if (FIndicatorLine >= 0 && FIndicatorLine < FModel.SentenceCount())
        update(LineBand(FIndicatorLine));
    FIndicatorLine = FModel.CurrSentenceIndex();
    if (FIndicatorLine >= 0)
        update(LineBand(FIndicatorLine));
}

void TSentencePractice::SetCheckComposingChar(bool value) {
    if (value == FModel.CheckComposingChar())
        return;
    FModel.SetCheckComposingChar(value);
    update();
}

void TSentencePractice::SetShiftTypedProblem(bool value) {
    if (value == FShiftTypedProblem)
        return;
    FShiftTypedProblem = value;
    update();
}

void TSentencePractice::SetShiftXOfTypedProblem(int value) {
    if (value == FShiftXOfTypedProblem)
        return;
    FShiftXOfTypedProblem = value;
    update();
}

void TSentencePractice::SetShiftYOfTypedProblem(int value) {
    if (value == FShiftYOfTypedProblem)
        return;
    FShiftYOfTypedProblem = value;
    update();
}

void TSentencePractice::SetReadOnly(bool value) {
    if (value == FModel.ReadOnly())
        return;
    FModel.SetReadOnly(value);
    ShowCaret(hasFocus());
    update();
}

void TSentencePractice::SetTextOffsetY(int value) {
    if (value == FTextOffSetY)
        return;
    FTextOffSetY = value;
    update();
}

void TSentencePractice::SetColor(TColor value) {
    if (value == FColor)
        return;
    FColor = value;
    update();
}

void TSentencePractice::SetFontColor(TColor value) {
    if (value == FFontColor)
        return;
    FFontColor = value;
    update();
}

// ---- Layout -----------------------------------------------------------------

void TSentencePractice::UpdateFontMetrics() {
    // Kerning off: a run of characters then lies exactly on the sums of the
    // single characters' widths, which is how cells and marks are placed.
    FPaintFont = font();
    FPaintFont.setKerning(false);
    FMetrics = QFontMetricsF(FPaintFont, this);
    FCharWidth = qRound(FMetrics.horizontalAdvance(QLatin1Char('A')));
    FCharHeight = qCeil(FMetrics.height());
    FMaxCharWidth = qCeil(FMetrics.maxWidth());
    FRedBoltIcon = DrawBoltIcon(biBlueBoltDown, FCharHeight);
    FBlueBoltIcon = DrawBoltIcon(biBlueBolt, FCharHeight);
    FNoticeFont = font();
    FNoticeFont.setBold(false);
    FNoticeFont.setItalic(false);
    FNoticeFont.setPixelSize(std::max(10, FCharHeight * 11 / 20));
}

int TSentencePractice::ProblemLineTop(int line) const {
    return FTextOffSetY + 2 + line * (2 * FCharHeight + FLineSpace + FSentenceSpace);
}

int TSentencePractice::TypedLineTop(int line) const {
    return ProblemLineTop(line) + FCharHeight + FLineSpace;
}

qreal TSentencePractice::TextWidth(const QString& text, qsizetype count) const {
    count = std::min(count, text.size());
    qreal width = 0;
    for (qsizetype i = 0; i < count; ++i)
        width += FMetrics.horizontalAdvance(text[i]);
    return width;
}

void TSentencePractice::CharPositions(const QString& text, std::vector<qreal>& positions) const {
    positions.resize(size_t(text.size()) + 1);
    qreal x = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        positions[size_t(i)] = x;
        x += FMetrics.horizontalAdvance(text[i]);
    }
    positions.back() = x;
}

int TSentencePractice::CellWidth() const {
    return std::max({3 * FCharWidth, FCharHeight, FMaxCharWidth});
}

QRect TSentencePractice::TypedCharRect(int line, int position) const {
    const TSentence* s = FModel.Sentence(line);
    if (!s || position < 0)
        return {};
    // Cells are placed as paintEvent places them: rounded character positions.
    const int x = kLeftMargin + qRound(TextWidth(s->typed, position));
    const int width = position < s->typed.size()
                          ? kLeftMargin + qRound(TextWidth(s->typed, position + 1)) - x
                          : 3 * FCharWidth;
    return QRect(x, TypedLineTop(line), width, FCharHeight);
}

QRect TSentencePractice::CaretRect() const {
    const TSentence* s = FModel.CurrSentence();
    if (!s)
        return {};
    const int line = FModel.CurrSentenceIndex();
    const int x = kLeftMargin + qRound(TextWidth(s->typed, s->typed.size()));
    return QRect(x - 1, TypedLineTop(line), CellWidth() + 2, FCharHeight);
}

QRect TSentencePractice::InputModeRect() const {
    if (!FModel.CurrSentence())
        return {};
    const int side = FCharHeight;
    return QRect(width() - side - 8, TypedLineTop(FModel.CurrSentenceIndex()), side, side);
}

QRect TSentencePractice::NoticeRect() const {
    if (!FNotice.Visible() || !FModel.CurrSentence())
        return {};
    const QFontMetrics metrics(FNoticeFont);
    const QRect caret = CaretRect();
    const int w = metrics.horizontalAdvance(TSwitchBackNotice::Text()) + 16;
    const int h = std::min(FCharHeight, metrics.height() + 8);
    return QRect(caret.right() + 6, caret.top() + (FCharHeight - h) / 2, w, h);
}

QRect TSentencePractice::LineBand(int line) const {
    const int top = ProblemLineTop(line) - std::abs(ProblemShiftY()) - 1;
    const int bottom = TypedLineTop(line) + FCharHeight + 1;
    return QRect(0, top, width(), bottom - top);
}

void TSentencePractice::InvalidateLine(int line, int fromPos, int toPos) {
    if (line < 0) {
        update();
        return;
    }
    const TSentence* s = FModel.Sentence(line);
    if (!s)
        return;
    QRect band = LineBand(line);
    if (fromPos >= 0) {
        // Only cells from fromPos on change: the problem line's step moves
        // there, typed characters appear or vanish, and the caret or the
        // composing cell sits at the typed length. Characters removed from
        // the typed text are no longer measurable; reserve the widest glyph.
        const int dx = ProblemShiftX();
        const qsizetype typedLength = s->typed.size();
        const qsizetype typedEnd = std::min<qsizetype>(toPos, typedLength);
        const qreal left = std::min(TextWidth(s->problem, fromPos) + std::min(0, dx),
                                    TextWidth(s->typed, std::min<qsizetype>(fromPos, typedLength)));
        const qreal problemRight = TextWidth(s->problem, qsizetype(toPos) + 2) + std::max(0, dx);
        const qreal typedRight =
            TextWidth(s->typed, typedEnd) + qreal(toPos - typedEnd) * FMaxCharWidth + CellWidth();
        const int x0 = kLeftMargin + qFloor(left) - 2;
        const int x1 = kLeftMargin + qCeil(std::max(problemRight, typedRight)) + FCharWidth + 2;
        band.setLeft(std::max(0, x0));
        band.setRight(x1);
    }
    update(band);
}

// ---- Painting ---------------------------------------------------------------

void TSentencePractice::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& rect : event->region()) {
        if (OnDrawBackGround) {
            painter.save();
            OnDrawBackGround(this, painter, rect);
            painter.restore();
        } else {
            painter.fillRect(rect, ToQColor(FColor));
        }
    }
    painter.setFont(FPaintFont);
    const QRect clip = event->rect();
    for (int line = 0; line < FModel.SentenceCount(); ++line) {
        if (event->region().intersects(LineBand(line)))
            DrawLine(painter, line, clip);
    }
}

namespace {

// The characters of a row whose cells reach into [left, right], given the
// row's origin and the characters' positions.
std::pair<qsizetype, qsizetype> VisibleRange(const std::vector<qreal>& positions, qreal origin,
                                             qreal left, qreal right, qsizetype first,
                                             qsizetype last) {
    qsizetype a = first;
    while (a < last && origin + positions[size_t(a) + 1] < left)
        ++a;
    qsizetype b = a;
    while (b < last && origin + positions[size_t(b)] <= right)
        ++b;
    return {a, b};
}

} // namespace

void TSentencePractice::DrawLine(QPainter& painter, int line, const QRect& clip) {
    const TSentence& s = *FModel.Sentence(line);
    const QColor fontColor = ToQColor(FFontColor);
    const QColor wrongColor = ToQColor(FWrongMarkColor);
    const qreal ascent = FMetrics.ascent();
    // Glyphs may overhang their cells (italics); widen the clip by a letter.
    const qreal left = clip.left() - FCharWidth;
    const qreal right = clip.right() + FCharWidth;

    // Problem line: the part already typed over on the base line, the rest
    // raised by dy and moved right by dx.
    std::vector<qreal> px;
    CharPositions(s.problem, px);
    const qsizetype problemLength = s.problem.size();
    const qsizetype typedOver = std::min(s.typed.size(), problemLength);
    const int dx = ProblemShiftX();
    const int dy = ProblemShiftY();
    const int top = ProblemLineTop(line);
    const int typedOverTop = dy >= 0 ? top : top + dy;
    const int restTop = dy >= 0 ? top - dy : top;
    painter.setPen(fontColor);
    qsizetype a = 0;
    qsizetype b = 0;
    std::tie(a, b) = VisibleRange(px, kLeftMargin, left, right, 0, typedOver);
    if (a < b)
        painter.drawText(QPointF(kLeftMargin + px[size_t(a)], typedOverTop + ascent),
                         s.problem.mid(a, b - a));
    std::tie(a, b) = VisibleRange(px, kLeftMargin + dx, left, right, typedOver, problemLength);
    if (a < b)
        painter.drawText(QPointF(kLeftMargin + dx + px[size_t(a)], restTop + ascent),
                         s.problem.mid(a, b - a));

    // Typed line, wrong characters in the wrong-mark colour.
    std::vector<qreal> tx;
    CharPositions(s.typed, tx);
    const int typedTop = TypedLineTop(line);
    const qsizetype typedLength = s.typed.size();
    auto isWrong = [&](qsizetype j) { return j >= problemLength || s.typed[j] != s.problem[j]; };
    std::tie(a, b) = VisibleRange(tx, kLeftMargin, left, right, 0, typedLength);
    for (qsizetype j = a; j < b;) {
        const bool wrong = isWrong(j) && s.typed[j] != u' ';
        qsizetype end = j + 1;
        while (end < b && (isWrong(end) && s.typed[end] != u' ') == wrong)
            ++end;
        painter.setPen(wrong ? wrongColor : fontColor);
        painter.drawText(QPointF(kLeftMargin + tx[size_t(j)], typedTop + ascent),
                         s.typed.mid(j, end - j));
        j = end;
    }
    // A wrong space gets a bracket under its cell.
    for (qsizetype j = a; j < b; ++j) {
        if (s.typed[j] != u' ' || !isWrong(j))
            continue;
        const int l = kLeftMargin + qRound(tx[size_t(j)]);
        const int r = kLeftMargin + qRound(tx[size_t(j) + 1]);
        const int bottom = typedTop + FCharHeight;
        painter.fillRect(QRect(l + 2, bottom - 11, 2, 7), wrongColor);
        painter.fillRect(QRect(l + 2, bottom - 4, r - l - 3, 2), wrongColor);
        painter.fillRect(QRect(r - 3, bottom - 11, 2, 7), wrongColor);
    }

    if (line != FModel.CurrSentenceIndex())
        return;
    // The input mode beside the typed line, and the notice after the caret.
    TInputModeBadge::Paint(painter, QRectF(InputModeRect()), FComposer.InputModeLabel());
    if (FNotice.Visible()) {
        const QRect notice = NoticeRect();
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0xb0, 0x80, 0x00));
        painter.setBrush(QColor(0xff, 0xf1, 0xb8));
        painter.drawRoundedRect(QRectF(notice).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.setFont(FNoticeFont);
        painter.setPen(QColor(0x40, 0x30, 0x00));
        painter.drawText(notice, Qt::AlignCenter, TSwitchBackNotice::Text());
        painter.restore();
        painter.setFont(FPaintFont);
    }
    const int cellLeft = kLeftMargin + qRound(tx.back());
    if (FModel.IsComposing()) {
        // The syllable being composed, in inverse video: on the font colour
        // while it can still become the expected one, on the wrong-mark
        // colour when not; the colours swap in blink phase 1.
        const QChar c = FModel.ComposingChar();
        if (c.isNull())
            return;
        QString parts;
        QColor background = FModel.ComposingCharMatches(s, parts) ? fontColor : wrongColor;
        QColor text = ToQColor(FColor);
        if (FCaretTick == 1 && FCaretVisible && !FModel.ReadOnly())
            std::swap(background, text);
        const QRectF cell(cellLeft, typedTop, FMetrics.horizontalAdvance(c), FCharHeight);
        painter.fillRect(cell, background);
        painter.setPen(text);
        painter.drawText(QPointF(cellLeft, typedTop + ascent), QString(c));
    } else if (FCaretVisible && !FModel.ReadOnly()) {
        painter.drawPixmap(cellLeft, typedTop, FCaretTick == 1 ? FBlueBoltIcon : FRedBoltIcon);
    }
}

// ---- Input ------------------------------------------------------------------

void TSentencePractice::keyPressEvent(QKeyEvent* event) {
    if (!FModel.CurrSentence()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (FComposer.HandleKeyPress(event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F2) {
        const QString report = HitCountReport();
        qCDebug(lcTyping).noquote() << QStringLiteral("hitCount = ") + report;
        QGuiApplication::clipboard()->setText(report);
        QWidget::keyPressEvent(event);
        return;
    }

    QString chars;
    switch (event->key()) {
    case Qt::Key_Backspace:
        chars = QChar(u'\b');
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        chars = QChar(u'\r');
        break;
    case Qt::Key_Escape:
        break; // left to the window (next page)
    default:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            break;
        for (QChar c : event->text()) {
            if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
                chars += c;
        }
    }
    if (chars.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool noticeShown = FNotice.Visible();
    for (QChar c : chars) {
        const TSentence* s = FModel.CurrSentence();
        const QChar expected =
            s && s->typed.size() < s->problem.size() ? s->problem[s->typed.size()] : QChar();
        if (!FNotice.HoldBack(c, expected))
            FModel.TypeChar(c);
    }
    if (FNotice.Visible() != noticeShown)
        UpdateIndicator();
    event->accept();
}

void TSentencePractice::inputMethodEvent(QInputMethodEvent* event) {
    if (!FModel.CurrSentence()) {
        event->ignore();
        return;
    }
    FComposer.HandleInputMethodEvent(event);
    event->accept();
}

QVariant TSentencePractice::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return FComposer.AcceptsDesktopInput();
    case Qt::ImCursorRectangle:
        return CaretRect();
    case Qt::ImFont:
        return FPaintFont;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
        return QString();
    case Qt::ImHints:
        return int(Qt::ImhNone);
    default:
        return QWidget::inputMethodQuery(query);
    }
}

QString TSentencePractice::HitCountReport() const {
    QString report;
    if (const TSentence* s = FModel.CurrSentence()) {
        for (qsizetype i = 0; i < s->typed.size(); ++i) {
            const int count = i < s->hitCounts.size() ? s->hitCounts[i].unicode() : 0;
            report += s->typed[i] + QStringLiteral("(%1) ").arg(count);
        }
    }
    return report;
}

// ---- Focus and caret --------------------------------------------------------

void TSentencePractice::ShowCaret(bool visible) {
    FCaretVisible = visible && !FModel.ReadOnly() && FModel.CurrSentence();
    if (FCaretVisible)
        FCaretTimer.start(kCaretBlinkInterval, this);
    else
        FCaretTimer.stop();
    update(CaretRect());
}

void TSentencePractice::focusInEvent(QFocusEvent* event) {
    if (FModel.CurrSentence() && FModel.ReadOnly())
        return; // a read-only control never shows the caret
    ShowCaret(true);
    QWidget::focusInEvent(event);
}

void TSentencePractice::focusOutEvent(QFocusEvent* event) {
    FComposer.Commit();
    ShowCaret(false);
    QWidget::focusOutEvent(event);
}

void TSentencePractice::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void TSentencePractice::timerEvent(QTimerEvent* event) {
    if (event->timerId() != FCaretTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    FCaretTick = (FCaretTick + 1) % 2;
    update(CaretRect());
}

void TSentencePractice::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        UpdateFontMetrics();
        update();
    }
    QWidget::changeEvent(event);
}
