#pragma once

#include "app/Colors.h"
#include "typing/VelmarSerieses.h"

#include <functional>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <vector>

class TThreadTimer;

enum TNavigateButton { nbPrev, nbNone, nbNext };
enum TSeriesSortDirection { ssdNone, ssdAscending, ssdDescending };
enum TAxisLabelPos { alpNone, alpLeft, alpRight };
enum TFlowDirection { fdLeftToRight, fdRightToLeft, fdTopToBottom, fdBottomToTop };

// A gauge of vertical bars built from small stacked 3D blocks, drawn over a
// background picture that shows through them. Each series (bar) carries a
// red, an orange and a blue value. While Active, a refresh timer repaints the
// meter every TimerInterval ms: bars grow or shrink one block per frame toward
// their values and a loose drop block bobs on top of each bar under its value
// label. When inactive, a paint shows the exact heights at once.
//
// Every frame is composed off screen (bars in a buffer blended over the
// background picture) and shown in one go, so the refresh does not flicker.
//
// The flowing-block layer, the legend, the grid, the vertical labels and the
// paging of series that do not fit keep their settings but draw nothing.
class TVelmarMeter : public QWidget {
    Q_OBJECT
public:
    explicit TVelmarMeter(QWidget* parent = nullptr);
    ~TVelmarMeter() override;

    TVelmarSerieses& Serieses() { return FSerieses; }
    const TVelmarSerieses& Serieses() const { return FSerieses; }
    // Adds a series; with SortWhenAdd the series are sorted again.
    TVelmarSeries* AddSeries(const QString& name, const QString& displayName);

    // Starts or stops the refresh timer.
    bool Active() const { return FActive; }
    void SetActive(bool value);

    bool AutoMaxBlockCount() const { return FAutoMaxBlockCount; }
    void SetAutoMaxBlockCount(bool value);
    TColor AxisColor() const { return FAxisColor; }
    void SetAxisColor(TColor value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    bool BorderVisible() const { return FBorderVisible; }
    void SetBorderVisible(bool value);
    const QString& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const QString& value);
    int MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(int value);
    int MarginRight() const { return FMarginRight; }
    void SetMarginRight(int value);
    int MarginTop() const { return FMarginTop; }
    void SetMarginTop(int value);
    int Marginbotton() const { return FMarginbotton; }
    void SetMarginbotton(int value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    // The value that fills a bar to the top; copied into every series.
    int MaxBlockCount() const { return FMaxBlockCount; }
    void SetMaxBlockCount(int value);
    int MaxNameRowCount() const { return FMaxNameRowCount; }
    void SetMaxNameRowCount(int value);
    const QFont& TitleFont() const { return FTitleFont; }
    void SetTitleFont(const QFont& value);
    // Background and key colour of the bar layer.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // 0 is ignored; copied into every series.
    int BlockHeight() const { return FBlockHeight; }
    void SetBlockHeight(int value);
    bool ShowAxis() const { return FShowAxis; }
    void SetShowAxis(bool value);
    bool ShowOnlyXYAxis() const { return FShowOnlyXYAxis; }
    void SetShowOnlyXYAxis(bool value);
    bool ShowTitle() const { return FShowTitle; }
    void SetShowTitle(bool value);
    // Anything but ssdNone sorts the series at once (by their totals, or by
    // OnSeriesCompare when assigned).
    TSeriesSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSeriesSortDirection value);
    bool SortWhenAdd() const { return FSortWhenAdd; }
    void SetSortWhenAdd(bool value) { FSortWhenAdd = value; }
    // The three block colours are copied into every series.
    TColor BlockRedColor() const { return FBlockRedColor; }
    void SetBlockRedColor(TColor value);
    TColor BlockBlueColor() const { return FBlockBlueColor; }
    void SetBlockBlueColor(TColor value);
    TColor BlockOrangeColor() const { return FBlockOrangeColor; }
    void SetBlockOrangeColor(TColor value);
    // Opacity of the bars over the background picture. Throws ERavlinError
    // outside 0..1.
    double BlendAlpha() const { return FBlendAlpha; }
    void SetBlendAlpha(double value);
    int MinBlockWidth() const { return FMinBlockWidth; }
    void SetMinBlockWidth(int value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool value);
    TColor UnfocusedColor() const { return FUnfocusedColor; }
    void SetUnfocusedColor(TColor value);
    TColor DownColor() const { return FDownColor; }
    void SetDownColor(TColor value);
    int MaxBarWidth() const { return FMaxBarWidth; }
    void SetMaxBarWidth(int value);
    bool Use3DBlock() const { return FUse3DBlock; }
    void SetUse3DBlock(bool value);
    bool UseGradient3DBlock() const { return FUseGradient3DBlock; }
    void SetUseGradient3DBlock(bool value);
    bool DrawGradientChunkIn3D() const { return FDrawGradientChunkIn3D; }
    void SetDrawGradientChunkIn3D(bool value);
    int BlockDepth() const { return FBlockDepth; }
    void SetBlockDepth(int value);
    bool DrawBlockDivider() const { return FDrawBlockDivider; }
    void SetDrawBlockDivider(bool value);
    // Ask OnPaintBackGroundImage for a picture under the bars.
    bool UseBackGroundImage() const { return FUseBackGroundImage; }
    void SetUseBackGroundImage(bool value);
    int TimerInterval() const { return FTimerInterval; }
    void SetTimerInterval(int value);
    const QString& ZeroValueString() const { return FZeroValueString; }
    void SetZeroValueString(const QString& value);

    // Settings of parts that are not drawn (legend, grid, vertical labels).
    bool LegendVisible() const { return FLegendVisible; }
    void SetLegendVisible(bool value) { FLegendVisible = value; }
    QString BlockRedLegend, BlockOrangeLegend, BlockBlueLegend;
    QStringList Legend; // "colour;text" lines
    bool ShowGrid() const { return FShowGrid; }
    void SetShowGrid(bool value) { FShowGrid = value; }
    TColor GridColor() const { return FGridColor; }
    void SetGridColor(TColor value) { FGridColor = value; }
    TAxisLabelPos VertLabelsPos() const { return FVertLabelsPos; }
    void SetVertLabelsPos(TAxisLabelPos value) { FVertLabelsPos = value; }
    int VertLabelsIncrement() const { return FVertLabelsIncrement; }
    void SetVertLabelsIncrement(int value) { FVertLabelsIncrement = value; }
    bool ShowVertAxisTick() const { return FShowVertAxisTick; }
    void SetShowVertAxisTick(bool value) { FShowVertAxisTick = value; }

    // Settings of the flowing-block layer (kept; no blocks are ever added).
    int FlowVelocity() const { return FFlowVelocity; }
    void SetFlowVelocity(int value) { FFlowVelocity = value; }
    double CenterVelocity() const { return FCenterVelocity; }
    void SetCenterVelocity(double value) { FCenterVelocity = value; }
    bool UseFlowingBlock() const { return FUseFlowingBlock; }
    void SetUseFlowingBlock(bool value) { FUseFlowingBlock = value; }
    // Throws ERavlinError unless 0 < value <= 1.
    double FlowBlockPortion() const { return FFlowBlockPortion; }
    void SetFlowBlockPortion(double value);
    // Values below 5 become 5.
    int FlowBlockSize() const { return FFlowBlockSize; }
    void SetFlowBlockSize(int value);
    TFlowDirection FlowDirection() const { return FFlowDirection; }
    void SetFlowDirection(TFlowDirection value) { FFlowDirection = value; }
    bool SwingingFlow() const { return FSwingingFlow; }
    void SetSwingingFlow(bool value) { FSwingingFlow = value; }
    int MovingBlockTimeSpan() const { return FMovingBlockTimeSpan; }
    void SetMovingBlockTimeSpan(int value) { FMovingBlockTimeSpan = value; }

    // Computed by the last paint.
    int SeriesDistance() const { return FSeriesDistance; }
    int SeriesWidth() const { return FSeriesWidth; }
    int NameRowCount() const { return FNameRowCount; }
    int FirstBlockIndex() const { return FFirstBlockIndex; }
    int VisibleBlockCount() const { return FVisibleBlockCount; }
    int MaxSeriesValue() const { return FMaxSeriesValue; }
    // The scale of the last paint: the value that fills a bar.
    int Scale() const { return FScale; }

    // Composes the next frame and shows it; nothing while invisible or
    // between BeginUpdate and EndUpdate.
    void Paint();
    // Composes the next frame (advancing the animation while active) into the
    // final picture and returns it, whether or not the meter is visible.
    const QImage& PrintImage();
    // The meter minus the margins and the name rows at the bottom.
    QRect GetChartRect() const;
    // The text written over a bar: its total in ValueFormat (ZeroValueString
    // when that reads as zero, shorter formats when it is wider than `room`
    // pixels), or "-x-" for a series that is not connected.
    QString ValueLabel(const TVelmarSeries& series, int room) const;
    // The series whose bar was last drawn at the point, or null.
    TVelmarSeries* GetSeriesFromXY(int x, int y) const;
    // The first series with IsFocus, or null.
    TVelmarSeries* GetFocusedSeries() const;
    void BeginUpdate();
    void EndUpdate();

    // Paints the picture under the bars into BackImg (the size of the meter).
    // Setting QuickChangeBlock makes the bars jump to their values this frame.
    std::function<void(TVelmarMeter* Sender, QImage& BackImg, bool& QuickChangeBlock)>
        OnPaintBackGroundImage;
    std::function<void(TVelmarMeter* Sender, TVelmarSeries* Series)> OnSeriesClick;
    std::function<void(TVelmarMeter* Sender, TVelmarSeries* Series)> OnSeriesDblClick;
    std::function<void(TVelmarMeter* Sender, TVelmarSeries* Series)> OnSeriesTextDblClick;
    std::function<void(TVelmarMeter* Sender)> OnSeriesOutClick;
    std::function<void(TVelmarMeter* Sender, TVelmarSeries* Series, int X, int Y)>
        OnSeriesMouseMove;
    std::function<void(TVelmarMeter* Sender, int X, int Y)> OnOutOfSeriesMouseMove;
    std::function<void(TVelmarMeter* Sender, int NewMax)> OnMaxChange;
    std::function<void(TVelmarMeter* Sender, TVelmarSeries* Series, TBlockState State,
                       TColor& Color)>
        OnGetBlockColor;
    // Negative, zero or positive like a three-way comparison of A and B.
    std::function<int(TVelmarMeter* Sender, TVelmarSeries* A, TVelmarSeries* B)> OnSeriesCompare;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct TTextItem {
        QRect Rect;
        QString Text;
        QColor Color;
    };

    // Repaints at once unless the timer is about to anyway.
    void Changed();
    void RefreshTick();
    void SortSeries();
    void ComputeLayout(const QFontMetrics& metrics);
    void UpdateScale();
    void DrawSeries(QPainter& painter, TVelmarSeries& series, QRect bar, int slotLeft,
                    int slotWidth, const QFontMetrics& metrics, bool quickChange);
    void BlendBars();
    void DrawOverlay(const QFontMetrics& metrics);

    TVelmarSerieses FSerieses;
    TThreadTimer* FRefreshTimer;
    bool FActive = false;
    int FUpdating = 0;
    int FMarginbotton = 0, FMarginTop = 0, FMarginLeft = 25, FMarginRight = 0;
    int FSeriesDistance = 10;
    TColor FColor = clWhite;
    int FMaxBlockCount = 10;
    QImage FBufferBitmap, FBackgroundBitmap;
    bool FFrameStale = true;
    QString FCaption;
    int FBlockHeight = 5;
    bool FShowAxis = true, FShowTitle = false;
    TColor FBlockOrangeColor = 0x0080FF, FBlockRedColor = 0x0000FF, FBlockBlueColor = 0xFF0000;
    bool FShowFocus = false;
    TColor FUnfocusedColor = 16119285;
    TColor FBorderColor = clBlack, FAxisColor = clBlack;
    bool FBorderVisible = false;
    int FNameRowCount = 1;
    QString FValueFormat = QStringLiteral("#,##0.###");
    bool FLegendVisible = false;
    int FSeriesWidth = 0;
    TColor FGridColor = 16574673;
    int FVertLabelsIncrement = 20;
    bool FShowVertAxisTick = false;
    int FMaxBarWidth = 150;
    bool FUse3DBlock = true;
    int FBlockDepth = 4;
    bool FUseGradient3DBlock = false;
    int FTimerInterval = 90;
    bool FDrawBlockDivider = false;
    bool FDrawGradientChunkIn3D = false;
    int FFirstBlockIndex = 0, FVisibleBlockCount = 0;
    int FMinBlockWidth = 22;
    TColor FDownColor = 9342606;
    TSeriesSortDirection FSortDirection = ssdNone;
    int FMaxNameRowCount = 3;
    QFont FTitleFont;
    QString FZeroValueString = QStringLiteral("0");
    bool FSortWhenAdd = true;
    TAxisLabelPos FVertLabelsPos = alpNone;
    bool FShowOnlyXYAxis = false;
    bool FAutoMaxBlockCount = false;
    bool FUseBackGroundImage = false;
    double FBlendAlpha = 1.0;
    int FFlowVelocity = 30;
    bool FUseFlowingBlock = true;
    double FFlowBlockPortion = 0.8;
    int FFlowBlockSize = 30;
    TFlowDirection FFlowDirection = fdLeftToRight;
    double FCenterVelocity = 2.0;
    bool FSwingingFlow = true;
    int FMovingBlockTimeSpan = 5000;
    bool FShowGrid = true;
    int FMaxSeriesValue;
    int FScale;
    std::vector<TTextItem> FTexts; // labels drawn over the finished picture
};
