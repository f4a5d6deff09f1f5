#include "platform/InputModeBadge.h"

#include <algorithm>
#include <QEvent>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

namespace {

// Gap between the badge and the edges of its line edit.
constexpr int kEditInset = 3;

} // namespace

TInputModeBadge::TInputModeBadge(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("입력 상태: 가 = 한글, A = 영문 (한/영 키로 바꿉니다)"));
}

void TInputModeBadge::Follow(TInputComposer* composer) {
    if (FConnection)
        disconnect(FConnection);
    FComposer = composer;
    if (composer)
        FConnection =
            connect(composer, &TInputComposer::InputModeChanged, this, &TInputModeBadge::Refresh);
    Refresh();
}

void TInputModeBadge::Refresh() {
    const QString label = FComposer ? FComposer->InputModeLabel() : QStringLiteral("A");
    if (label == FLabel)
        return;
    FLabel = label;
    update();
}

TInputModeBadge* TInputModeBadge::AttachTo(QLineEdit* edit, TInputComposer* composer) {
    auto* badge = new TInputModeBadge(edit);
    badge->FEdit = edit;
    badge->Follow(composer);
    edit->installEventFilter(badge);
    badge->PlaceInEdit();
    badge->show();
    return badge;
}

QSize TInputModeBadge::sizeHint() const {
    const QFontMetricsF metrics(font());
    const int side = qRound(metrics.height() * 1.3);
    return {side, side};
}

void TInputModeBadge::PlaceInEdit() {
    if (!FEdit)
        return;
    const int side = std::clamp(FEdit->height() - 2 * kEditInset, 12, 40);
    QFont f = font();
    f.setPixelSize(std::max(8, side * 2 / 3));
    f.setBold(true);
    setFont(f);
    setGeometry(FEdit->width() - side - kEditInset, (FEdit->height() - side) / 2, side, side);
    // Typed text stops short of the badge.
    FEdit->setTextMargins(0, 0, side + kEditInset, 0);
}

bool TInputModeBadge::eventFilter(QObject* watched, QEvent* event) {
    // The event type first: while the edit is being destroyed it still sends
    // events, and comparing with the guarded pointer would cast an object
    // that is no longer a line edit.
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Show) && watched == FEdit)
        PlaceInEdit();
    return QWidget::eventFilter(watched, event);
}

QColor TInputModeBadge::BackgroundColor(bool native) {
    return native ? QColor(0x1f, 0x5f, 0xc8) : QColor(0x70, 0x70, 0x70);
}

void TInputModeBadge::Paint(QPainter& painter, const QRectF& rect, const QString& label) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    const qreal radius = rect.height() / 5;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, BackgroundColor(label != QLatin1String("A")));
    QFont f = painter.font();
    f.setPixelSize(std::max(8, qRound(rect.height() * 2 / 3)));
    f.setBold(true);
    f.setItalic(false);
    painter.setFont(f);
    painter.setPen(Qt::white);
    painter.drawText(rect, Qt::AlignCenter, label);
    painter.restore();
}

void TInputModeBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    Paint(painter, QRectF(rect()), FLabel);
}
