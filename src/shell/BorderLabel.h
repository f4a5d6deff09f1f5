#pragma once

#include "app/Colors.h"

#include <functional>
#include <QWidget>

enum TBorderShape { bsNone, bsRectangle, bsRoundRect, bsCircle, bsEllipse };
enum TTextAlign { taCenter, taLeft, taTop, taBottom, taRight };

// A label that frames its caption in a rectangle, a rounded rectangle, a
// circle or an ellipse, and can write the caption in outlined letters filled
// with a vertical gradient. It paints straight onto its parent's surface:
// nothing outside the frame is filled, so the parent's picture shows through.
//
// With AutoSize the width follows the caption exactly and the height grows to
// fit it but never shrinks. A circle is always square and stops following its
// caption once sized.
class TBorderLabel : public QWidget {
    Q_OBJECT
public:
    explicit TBorderLabel(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    TBorderShape BorderShape() const { return FBorderShape; }
    void SetBorderShape(TBorderShape value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // The colour the caption is written in (the bottom of the gradient when
    // outlined).
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value);
    int MoreHeight() const { return FMoreHeight; }
    void SetMoreHeight(int value);
    int MoreWidth() const { return FMoreWidth; }
    void SetMoreWidth(int value);
    bool MouseIn() const { return FMouseIn; }
    void SetMouseIn(bool value) { FMouseIn = value; }
    int RoundDegree() const { return FRoundDegree; }
    void SetRoundDegree(int value);
    int TextOffSetX() const { return FTextOffSetX; }
    void SetTextOffSetX(int value);
    int TextOffSetY() const { return FTextOffSetY; }
    void SetTextOffSetY(int value);
    TTextAlign TextAlign() const { return FTextAlign; }
    void SetTextAlign(TTextAlign value);
    bool DrawOutline() const { return FDrawOutLine; }
    void SetDrawOutline(bool value);
    int OutlineThickness() const { return FOutlineThickness; }
    void SetOutlineThickness(int value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor value);
    TColor GradTopColor() const { return FGradTopColor; }
    void SetGradTopColor(TColor value);

    // Caption extent measured by the last AdjustSize (outline included).
    int TextW() const { return TextW_; }
    int TextH() const { return TextH_; }

    // Measures the caption and, with AutoSize, resizes the label to it.
    void AdjustSize();

    std::function<void(TBorderLabel* Sender)> OnMouseEnter;
    std::function<void(TBorderLabel* Sender)> OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The top-left corner of the caption for the current alignment.
    QPoint TextPos() const;

    QString FCaption;
    bool FAutoSize = true;
    TColor FBorderColor = clBlack;
    TBorderShape FBorderShape = bsRectangle;
    int FBorderWidth = 3;
    TColor FColor;
    TColor FFontColor = clBlack;
    int FMoreHeight = 8;
    int FMoreWidth = 20;
    bool FMouseIn = false;
    int FRoundDegree = 4;
    int FTextOffSetX = 0;
    int FTextOffSetY = 0;
    TTextAlign FTextAlign = taCenter;
    bool FDrawOutLine = false;
    int FOutlineThickness = 1;
    bool FTransparent = false;
    TColor FOutlineColor = clBlack;
    TColor FGradTopColor = clBlack;
    int TextW_ = 0;
    int TextH_ = 0;
};
