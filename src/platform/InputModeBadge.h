#pragma once

#include "platform/InputComposer.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPainter;

// The input mode indicator of an answer box: a small rounded tag reading
// "가" while Hangul is typed (blue), "あ" for kana (blue) and "A" for Latin
// letters (grey), following a TInputComposer's InputModeChanged. Attached to
// a line edit it sits inside the box at its right end, and the box keeps its
// text clear of it.
class TInputModeBadge : public QWidget {
    Q_OBJECT
public:
    explicit TInputModeBadge(QWidget* parent = nullptr);

    // Shows `composer`'s mode from now on (nullptr: "A").
    void Follow(TInputComposer* composer);
    TInputComposer* Composer() const { return FComposer.data(); }
    // The label shown ("가", "あ" or "A").
    QString Label() const { return FLabel; }

    // Creates a badge inside `edit`, following `composer`.
    static TInputModeBadge* AttachTo(QLineEdit* edit, TInputComposer* composer);

    // Draws a badge reading `label` into `rect` (also used by controls that
    // paint their own indicator).
    static void Paint(QPainter& painter, const QRectF& rect, const QString& label);
    // The badge's colours: `native` for Hangul and kana, otherwise Latin.
    static QColor BackgroundColor(bool native);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    // Places the badge at the right end of its line edit.
    void PlaceInEdit();

    QPointer<TInputComposer> FComposer;
    QMetaObject::Connection FConnection;
    QPointer<QLineEdit> FEdit;
    QString FLabel = QStringLiteral("A");
};
