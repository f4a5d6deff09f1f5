#include "shell/BorderLabel.h"

#include "shell/OutlinedText.h"

#include <algorithm>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr TColor kButtonFace = 0xFF00000F; // system colour: button face

} // namespace

TBorderLabel::TBorderLabel(QWidget* parent)
    : QWidget(parent)
    , FColor(kButtonFace) {
    resize(50, 25);
}

void TBorderLabel::SetCaption(const QString& value) {
    if (value == FCaption)
        return;
    FCaption = value;
    if (parentWidget()) {
        AdjustSize();
        update();
    }
}

void TBorderLabel::SetAutoSize(bool value) {
    if (value == FAutoSize || FBorderShape == bsCircle)
        return;
    FAutoSize = value;
    AdjustSize();
    update();
}

void TBorderLabel::SetBorderColor(TColor value) {
    if (value == FBorderColor)
        return;
    FBorderColor = value;
    update();
}

void TBorderLabel::SetBorderShape(TBorderShape value) {
    if (value == FBorderShape)
        return;
    FBorderShape = value;
    AdjustSize();
    update();
}

void TBorderLabel::SetBorderWidth(int value) {
    value = std::max(1, value);
    if (value == FBorderWidth)
        return;
    FBorderWidth = value;
    update();
}

void TBorderLabel::SetColor(TColor value) {
    if (value == FColor)
        return;
    FColor = value;
    update();
}

void TBorderLabel::SetFontColor(TColor value) {
    if (value == FFontColor)
        return;
    FFontColor = value;
    update();
}

void TBorderLabel::SetMoreHeight(int value) {
    if (value == FMoreHeight)
        return;
    FMoreHeight = value;
    AdjustSize();
    update();
}

void TBorderLabel::SetMoreWidth(int value) {
    if (value == FMoreWidth)
        return;
    FMoreWidth = value;
    AdjustSize();
    update();
}

void TBorderLabel::SetRoundDegree(int value) {
    if (value == FRoundDegree)
        return;
    FRoundDegree = value;
    update();
}

void TBorderLabel::SetTextOffSetX(int value) {
    if (value == FTextOffSetX)
        return;
    FTextOffSetX = value;
    update();
}

void TBorderLabel::SetTextOffSetY(int value) {
    if (value == FTextOffSetY)
        return;
    FTextOffSetY = value;
    update();
}

void TBorderLabel::SetTextAlign(TTextAlign value) {
    if (value == FTextAlign)
        return;
    FTextAlign = value;
    update();
}

void TBorderLabel::SetDrawOutline(bool value) {
    if (value == FDrawOutLine)
        return;
    FDrawOutLine = value;
    AdjustSize();
    update();
}

void TBorderLabel::SetOutlineThickness(int value) {
    if (value == FOutlineThickness)
        return;
    FOutlineThickness = value;
    AdjustSize();
    update();
}

void TBorderLabel::SetTransparent(bool value) {
    if (value == FTransparent)
        return;
    FTransparent = value;
    update();
}

void TBorderLabel::SetOutlineColor(TColor value) {
    if (value == FOutlineColor)
        return;
    FOutlineColor = value;
    update();
}

void TBorderLabel::SetGradTopColor(TColor value) {
    if (value == FGradTopColor)
        return;
    FGradTopColor = value;
    update();
}

void TBorderLabel::AdjustSize() {
    const QFontMetrics fm(font());
    TextW_ = fm.horizontalAdvance(FCaption);
    TextH_ = fm.height();
    if (FDrawOutLine) {
        // One outline cell per character, as DrawOutlinedText lays them out.
        const auto characters = FCaption.toUcs4().size();
        TextW_ += 2 * FOutlineThickness * int(characters);
        TextH_ += 2 * FOutlineThickness;
    }
    int w = width();
    int h = height();
    if (FAutoSize) {
        w = TextW_ + FMoreWidth + (FBorderShape != bsNone ? FBorderWidth : 0);
        h = std::max(h, TextH_ + FMoreHeight);
    }
    if (FBorderShape == bsCircle) {
        FAutoSize = false;
        w = h = std::max(w, h);
    }
    resize(w, h);
}

QPoint TBorderLabel::TextPos() const {
    const int w = width();
    const int h = height();
    switch (FTextAlign) {
    case taLeft:
        return {FBorderWidth + FTextOffSetX + FMoreWidth / 2, (h - TextH_) / 2 + FTextOffSetY};
    case taTop:
        return {(w - TextW_) / 2 + FTextOffSetX, FTextOffSetY + 3};
    case taBottom:
        return {(w - TextW_) / 2 + FTextOffSetX, h + FTextOffSetY - TextH_ - 3};
    case taRight:
        return {w + FTextOffSetX - TextW_ - 3, (h - TextH_) / 2 + FTextOffSetY};
    case taCenter:
    default:
        return {(w - TextW_) / 2 + FTextOffSetX, (h - TextH_) / 2 + FTextOffSetY};
    }
}

void TBorderLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();

    QPen pen(ToQColor(FBorderColor));
    pen.setWidth(FBorderWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(FTransparent ? QBrush(Qt::NoBrush) : QBrush(ToQColor(FColor)));

    // The frame's path runs through the middle of the pen, as a window-system
    // frame does, so a thick rectangle border is partly cut off at the edge.
    switch (FBorderShape) {
    case bsRectangle:
        p.drawRect(QRectF(0, 0, w, h));
        break;
    case bsRoundRect:
        p.setRenderHint(QPainter::Antialiasing);
        p.drawRoundedRect(QRectF(2, 2, w - 4, h - 4), FRoundDegree / 2.0, FRoundDegree / 2.0);
        break;
    case bsCircle:
    case bsEllipse:
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(QRectF(2, 2, w - 4, h - 4));
        break;
    case bsNone:
        break;
    }

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setFont(font());
    p.setPen(ToQColor(FFontColor));
    const QPoint pos = TextPos();
    if (FDrawOutLine) {
        DrawOutlinedText(p, pos.x(), pos.y(), FOutlineThickness, FGradTopColor, FOutlineColor,
                         FCaption);
    } else {
        p.drawText(pos.x(), pos.y() + QFontMetrics(font()).ascent(), FCaption);
    }
}

void TBorderLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        AdjustSize();
        update();
    }
    QWidget::changeEvent(event);
}

void TBorderLabel::enterEvent(QEnterEvent* event) {
    FMouseIn = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
    QWidget::enterEvent(event);
}

void TBorderLabel::leaveEvent(QEvent* event) {
    FMouseIn = false;
    if (OnMouseLeave)
        OnMouseLeave(this);
    QWidget::leaveEvent(event);
}
