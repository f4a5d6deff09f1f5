#pragma once

#include "app/Colors.h"
#include "typing/SeriesBlockList.h"

#include <QRect>
#include <QString>

class TVelmarMeter;

// Which colour tops a bar; the drop block is drawn in it. bkNone: nothing to
// stack; bkDown: a connected series that is down.
enum TBlockState { bkBlue, bkOrange, bkRed, bkNone, bkDown };

// One bar of the speed meter. It carries up to three values drawn as stacked
// blocks from the bottom: blue, then orange, then red. Setting a value only
// stores it; the bar shows it at the meter's next paint.
class TVelmarSeries {
public:
    explicit TVelmarSeries(TVelmarMeter* owner);

    TVelmarMeter* Owner() const { return FOwner; }
    int Index() const;

    const QString& Name() const { return FName; }
    void SetName(const QString& value) { FName = value; }
    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& value) { FDisplayName = value; }

    double RedValue() const { return FRedValue; }
    void SetRedValue(double value) { FRedValue = value; }
    double BlueValue() const { return FBlueValue; }
    void SetBlueValue(double value) { FBlueValue = value; }
    double OrangeValue() const { return FOrangeValue; }
    void SetOrangeValue(double value) { FOrangeValue = value; }
    // Red + orange + blue + the extra blocks.
    double Total() const;
    void ResetValues();

    bool IsDown() const { return FIsDown; }
    void SetIsDown(bool value) { FIsDown = value; }
    bool DrawBorder() const { return FDrawBorder; }
    void SetDrawBorder(bool value) { FDrawBorder = value; }
    bool ShowName() const { return FShowName; }
    void SetShowName(bool value) { FShowName = value; }
    bool ShowNameOnTop() const { return FShowNameOnTop; }
    void SetShowNameOnTop(bool value) { FShowNameOnTop = value; }
    // Repaints at once when the meter is not animating.
    bool IsFocus() const { return FIsFocus; }
    void SetIsFocus(bool value);
    // A series that is not connected shows "-x-" in red over a darker bar.
    bool Connected() const { return FConnected; }
    void SetConnected(bool value) { FConnected = value; }

    TColor BlockBorderColor() const { return FBlockBorderColor; }
    void SetBlockBorderColor(TColor value) { FBlockBorderColor = value; }
    TColor BlockOrangeColor() const { return FBlockOrangeColor; }
    void SetBlockOrangeColor(TColor value) { FBlockOrangeColor = value; }
    TColor BlockRedColor() const { return FBlockRedColor; }
    void SetBlockRedColor(TColor value) { FBlockRedColor = value; }
    TColor BlockBlueColor() const { return FBlockBlueColor; }
    void SetBlockBlueColor(TColor value) { FBlockBlueColor = value; }

    TSeriesBlockList& BlockList() { return FBlockList; }
    const TSeriesBlockList& BlockList() const { return FBlockList; }

    // Blocks drawn at the last paint (they move one block per frame toward the
    // values while the meter is active), and the bar's capacity in blocks.
    int CurrentRedValue() const { return FCurrentRedValue; }
    int CurrentBlueValue() const { return FCurrentBlueValue; }
    int CurrentOrangeValue() const { return FCurrentOrangeValue; }
    int BlockCapacity() const { return FBlockCapacity; }
    // Pixels the drop block floats above the stack.
    int DropBlockYPos() const { return FDropBlockYPos; }
    // Where the bar (and its name) were last drawn.
    const QRect& SeriesRect() const { return FSeriesRect; }
    const QRect& NameRect() const { return FNameRect; }

    int MaxBlock() const { return FMaxBlock; }
    int BlockHeight() const { return FBlockHeight; }

private:
    friend class TVelmarMeter;
    friend class TVelmarSerieses;

    TVelmarMeter* FOwner;
    QString FName, FDisplayName;
    double FRedValue = 0.0, FBlueValue = 0.0, FOrangeValue = 0.0;
    bool FIsDown = false;
    bool FDrawBorder = false;
    bool FShowName = true;
    bool FShowNameOnTop = false;
    int FDropBlockYPos = 0;
    int FDropSpeedMod = 0;
    bool FDropDown = false;
    int FDropAmount = 1;
    bool FIsFocus = false;
    bool FConnected = true;
    TColor FBlockBorderColor = clBlack;
    TSeriesBlockList FBlockList;
    TColor FBlockOrangeColor, FBlockRedColor, FBlockBlueColor;
    int FCurrentRedValue = 0, FCurrentBlueValue = 0, FCurrentOrangeValue = 0;
    int FBlockCapacity = 0;
    QRect FSeriesRect, FNameRect;
    int FMaxBlock, FBlockHeight;
};
