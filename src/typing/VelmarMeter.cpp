#include "typing/VelmarMeter.h"

#include "app/RavlinError.h"
#include "gl/ThreadTimer.h"
#include "typing/FormatFloat.h"

#include <algorithm>
#include <cmath>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Round(x): to the nearest integer, halves to even.
int RoundHalfEven(double x) {
    const double floor = std::floor(x);
    const double diff = x - floor;
    double result = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0))
        result = floor + 1.0;
    return int(result);
}

QRgb Rgb(TColor color) {
    return ToQColor(color).rgb();
}

// Per channel (a * c + (255 - a) * k) / 255: a = 255 is c, a = 0 is k.
QRgb Mix(QRgb c, QRgb k, int a) {
    auto ch = [a](int cv, int kv) { return (a * cv + (255 - a) * kv) / 255; };
    return qRgb(ch(qRed(c), qRed(k)), ch(qGreen(c), qGreen(k)), ch(qBlue(c), qBlue(k)));
}

// The same with a divisor of 256, which darkens a little more.
QRgb Mix256(QRgb c, QRgb k, int a) {
    auto ch = [a](int cv, int kv) { return (a * cv + (255 - a) * kv) / 256; };
    return qRgb(ch(qRed(c), qRed(k)), ch(qGreen(c), qGreen(k)), ch(qBlue(c), qBlue(k)));
}

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// How a 3D box is shaded.
struct TBoxStyle {
    int Depth = 0;
    int BlockHeight = 5;
    bool GradientChunks = false;
    bool VerticalGradient = false;
    bool Dividers = false;
};

void FillPolygon(QPainter& painter, std::initializer_list<QPoint> points, QRgb color) {
    painter.setBrush(QColor::fromRgb(color));
    const std::vector<QPoint> corners(points);
    painter.drawPolygon(corners.data(), int(corners.size()));
}

// A box whose front face spans x from left to right - depth + 1 and y from
// top + depth to bottom (exclusive); its top is raised and its right side
// extended by the depth.
void DrawBox(QPainter& painter, int left, int top, int right, int bottom, QRgb c,
             const TBoxStyle& style) {
    const int d = style.Depth;
    const int frontRight = right - d + 1; // exclusive
    const int frontTop = top + d;
    if (frontRight <= left || bottom <= frontTop)
        return;

    if (style.GradientChunks) {
        // Vertical strips shading from light at the left to the full colour,
        // each with its own piece of the top face.
        const int width = frontRight - left;
        const int strips = std::min(10, width);
        for (int i = 0; i < strips; ++i) {
            const int x0 = left + width * i / strips;
            const int x1 = left + width * (i + 1) / strips;
            const int a = strips > 1 ? 150 + 80 * i / (strips - 1) : 190;
            painter.fillRect(QRect(x0, frontTop, x1 - x0, bottom - frontTop),
                             QColor::fromRgb(Mix(c, kWhite, a)));
            if (d > 0)
                FillPolygon(painter, {{x0, frontTop}, {x0 + d, top}, {x1 + d, top}, {x1, frontTop}},
                            Mix(c, kWhite, a - 55));
        }
    } else {
        if (d > 0)
            FillPolygon(painter,
                        {{left, frontTop}, {left + d, top}, {right, top}, {right - d, frontTop}},
                        Mix(c, kWhite, 170));
        const QRect front(left, frontTop, frontRight - left, bottom - frontTop);
        if (style.VerticalGradient) {
            QLinearGradient gradient(0, frontTop, 0, bottom);
            gradient.setColorAt(0.0, QColor::fromRgb(Mix(c, kWhite, 170)));
            gradient.setColorAt(1.0, QColor::fromRgb(Mix(c, kWhite, 245)));
            painter.fillRect(front, gradient);
        } else {
            painter.fillRect(front, QColor::fromRgb(Mix(c, kWhite, 225)));
        }
        if (d > 0) {
            painter.setPen(QColor::fromRgb(Mix(c, kWhite, 165)));
            painter.drawLine(left, frontTop, frontRight - 1, frontTop);
            painter.setPen(Qt::NoPen);
        }
    }

    if (d > 0)
        FillPolygon(painter,
                    {{right - d + 1, frontTop},
                     {right + 1, top},
                     {right + 1, bottom - d - 1},
                     {right - d + 1, bottom - 1}},
                    Mix(c, kBlack, 205));

    if (style.Dividers && style.BlockHeight > 0) {
        painter.setPen(QColor::fromRgb(Mix256(c, kBlack, 235)));
        for (int y = bottom - style.BlockHeight; y > frontTop; y -= style.BlockHeight)
            painter.drawLine(left, y, frontRight - 1, y);
        painter.setPen(Qt::NoPen);
    }
}

// Target block counts of a bar with the given capacity and scale.
struct TBlockCounts {
    int Blue = 0, Orange = 0, Red = 0;
    std::vector<int> Extras;
    int Sum() const {
        int sum = Blue + Orange + Red;
        for (int n : Extras)
            sum += n;
        return sum;
    }
};

TBlockCounts ComputeBlockCounts(const TVelmarSeries& series, int capacity, int scale) {
    TBlockCounts counts;
    const int total = RoundHalfEven(series.Total());
    int blocks = std::max(0, RoundHalfEven(double(capacity) * total / scale));
    if (total > 0 && blocks < 1)
        blocks = 1;
    // A value beyond the scale fills the bar instead of running off the top,
    // where neither the bar's end nor its label could be seen.
    blocks = std::min(blocks, std::max(capacity, 1));

    // Values too small to round to a whole total still show one block each.
    auto share = [&](double value) {
        int n = total > 0 ? std::max(0, RoundHalfEven(double(blocks) * value / total)) : 0;
        if (value > 0 && n < 1)
            n = 1;
        return n;
    };
    counts.Blue = share(series.BlueValue());
    counts.Orange = share(series.OrangeValue());
    counts.Red = share(series.RedValue());
    for (int i = 0; i < series.BlockList().Count(); ++i)
        counts.Extras.push_back(share(series.BlockList().Items(i).Value));

    while (counts.Sum() > blocks) {
        if (counts.Blue >= 2)
            --counts.Blue;
        else if (counts.Orange >= 2)
            --counts.Orange;
        else if (counts.Red >= 2)
            --counts.Red;
        else
            break;
    }
    while (counts.Sum() < blocks) {
        if (counts.Blue >= 1)
            ++counts.Blue;
        else if (counts.Orange >= 1)
            ++counts.Orange;
        else if (counts.Red >= 1)
            ++counts.Red;
        else
            break;
    }
    return counts;
}

// One step of an animated count toward its target.
int StepToward(int current, int target) {
    if (current < target)
        return current + 1;
    if (current > target)
        return current - 1;
    return current;
}

} // namespace

TVelmarMeter::TVelmarMeter(QWidget* parent)
    : QWidget(parent)
    , FSerieses(this)
    , FRefreshTimer(new TThreadTimer(this))
    , FTitleFont(QStringLiteral("Tahoma"), 12)
    , FMaxSeriesValue(FMaxBlockCount)
    , FScale(FMaxBlockCount) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    FRefreshTimer->SetInterval(FTimerInterval);
    FRefreshTimer->OnTimer = [this](TThreadTimer*) { RefreshTick(); };
}

TVelmarMeter::~TVelmarMeter() {
    // The timer must not tick into a meter that is losing its series.
    FRefreshTimer->SetEnabled(false);
    FRefreshTimer->OnTimer = nullptr;
    FSerieses.Clear();
}

TVelmarSeries* TVelmarMeter::AddSeries(const QString& name, const QString& displayName) {
    TVelmarSeries* series = FSerieses.Add();
    series->SetName(name);
    series->SetDisplayName(displayName);
    if (FSortWhenAdd)
        SortSeries();
    Changed();
    return series;
}

void TVelmarMeter::Changed() {
    if (!FActive)
        Paint();
}

void TVelmarMeter::RefreshTick() {
    Paint();
}

void TVelmarMeter::SetActive(bool value) {
    FActive = value;
    FRefreshTimer->SetEnabled(value);
}

void TVelmarMeter::SetAutoMaxBlockCount(bool value) {
    FAutoMaxBlockCount = value;
    Changed();
}

void TVelmarMeter::SetAxisColor(TColor value) {
    FAxisColor = value;
    Changed();
}

void TVelmarMeter::SetBorderColor(TColor value) {
    FBorderColor = value;
    Changed();
}

void TVelmarMeter::SetBorderVisible(bool value) {
    FBorderVisible = value;
    Changed();
}

void TVelmarMeter::SetValueFormat(const QString& value) {
    FValueFormat = value;
    Changed();
}

void TVelmarMeter::SetMarginLeft(int value) {
    FMarginLeft = value;
    Changed();
}

void TVelmarMeter::SetMarginRight(int value) {
    FMarginRight = value;
    Changed();
}

void TVelmarMeter::SetMarginTop(int value) {
    FMarginTop = value;
    Changed();
}

void TVelmarMeter::SetMarginbotton(int value) {
    FMarginbotton = value;
    Changed();
}

void TVelmarMeter::SetCaption(const QString& value) {
    FCaption = value;
    Changed();
}

void TVelmarMeter::SetMaxBlockCount(int value) {
    FMaxBlockCount = value;
    for (int i = 0; i < FSerieses.Count(); ++i)
        FSerieses[i]->FMaxBlock = value;
    Changed();
}

void TVelmarMeter::SetMaxNameRowCount(int value) {
    FMaxNameRowCount = value;
    Changed();
}

void TVelmarMeter::SetTitleFont(const QFont& value) {
    FTitleFont = value;
    Changed();
}

void TVelmarMeter::SetColor(TColor value) {
    FColor = value;
    Changed();
}

void TVelmarMeter::SetBlockHeight(int value) {
    if (value == 0)
        return;
    FBlockHeight = value;
    for (int i = 0; i < FSerieses.Count(); ++i)
        FSerieses[i]->FBlockHeight = value;
    Changed();
}

void TVelmarMeter::SetShowAxis(bool value) {
    FShowAxis = value;
    Changed();
}

void TVelmarMeter::SetShowOnlyXYAxis(bool value) {
    FShowOnlyXYAxis = value;
    Changed();
}

void TVelmarMeter::SetShowTitle(bool value) {
    FShowTitle = value;
    Changed();
}

void TVelmarMeter::SetSortDirection(TSeriesSortDirection value) {
    FSortDirection = value;
    if (value != ssdNone) {
        SortSeries();
        Changed();
    }
}

void TVelmarMeter::SortSeries() {
    if (FSortDirection == ssdNone)
        return;
    const bool descending = FSortDirection == ssdDescending;
    FSerieses.Sort([this, descending](const TVelmarSeries* a, const TVelmarSeries* b) {
        int order;
        if (OnSeriesCompare)
            order =
                OnSeriesCompare(this, const_cast<TVelmarSeries*>(a), const_cast<TVelmarSeries*>(b));
        else
            order = a->Total() < b->Total() ? -1 : (a->Total() > b->Total() ? 1 : 0);
        return descending ? order > 0 : order < 0;
    });
}

void TVelmarMeter::SetBlockRedColor(TColor value) {
    FBlockRedColor = value;
    for (int i = 0; i < FSerieses.Count(); ++i)
        FSerieses[i]->FBlockRedColor = value;
    Changed();
}

void TVelmarMeter::SetBlockBlueColor(TColor value) {
    FBlockBlueColor = value;
    for (int i = 0; i < FSerieses.Count(); ++i)
        FSerieses[i]->FBlockBlueColor = value;
    Changed();
}

void TVelmarMeter::SetBlockOrangeColor(TColor value) {
    FBlockOrangeColor = value;
    for (int i = 0; i < FSerieses.Count(); ++i)
        FSerieses[i]->FBlockOrangeColor = value;
    Changed();
}

void TVelmarMeter::SetBlendAlpha(double value) {
    if (!(value >= 0.0 && value <= 1.0))
        throw ERavlinError(QStringLiteral("BlendAlpha value must be in 0..1"));
    FBlendAlpha = value;
    Changed();
}

void TVelmarMeter::SetMinBlockWidth(int value) {
    FMinBlockWidth = value;
    Changed();
}

void TVelmarMeter::SetShowFocus(bool value) {
    FShowFocus = value;
    Changed();
}

void TVelmarMeter::SetUnfocusedColor(TColor value) {
    FUnfocusedColor = value;
    Changed();
}

void TVelmarMeter::SetDownColor(TColor value) {
    FDownColor = value;
    Changed();
}

void TVelmarMeter::SetMaxBarWidth(int value) {
    FMaxBarWidth = value;
    Changed();
}

void TVelmarMeter::SetUse3DBlock(bool value) {
    FUse3DBlock = value;
    Changed();
}

void TVelmarMeter::SetUseGradient3DBlock(bool value) {
    FUseGradient3DBlock = value;
    Changed();
}

void TVelmarMeter::SetDrawGradientChunkIn3D(bool value) {
    FDrawGradientChunkIn3D = value;
    Changed();
}

void TVelmarMeter::SetBlockDepth(int value) {
    FBlockDepth = value;
    Changed();
}

void TVelmarMeter::SetDrawBlockDivider(bool value) {
    FDrawBlockDivider = value;
    Changed();
}

void TVelmarMeter::SetUseBackGroundImage(bool value) {
    FUseBackGroundImage = value;
    Changed();
}

void TVelmarMeter::SetTimerInterval(int value) {
    FTimerInterval = value;
    FRefreshTimer->SetInterval(value);
}

void TVelmarMeter::SetZeroValueString(const QString& value) {
    FZeroValueString = value;
    Changed();
}

void TVelmarMeter::SetFlowBlockPortion(double value) {
    if (value <= 0.0)
        throw ERavlinError(QStringLiteral("FlowBlockPortion must be larger than 0"));
    if (value > 1.0)
        throw ERavlinError(QStringLiteral("FlowBlockPortion must be less than 1 or equal with 1"));
    FFlowBlockPortion = value;
}

void TVelmarMeter::SetFlowBlockSize(int value) {
    FFlowBlockSize = std::max(value, 5);
}

void TVelmarMeter::BeginUpdate() {
    ++FUpdating;
}

void TVelmarMeter::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0)
        Paint();
}

TVelmarSeries* TVelmarMeter::GetFocusedSeries() const {
    for (int i = 0; i < FSerieses.Count(); ++i) {
        if (FSerieses[i]->IsFocus())
            return FSerieses[i];
    }
    return nullptr;
}

TVelmarSeries* TVelmarMeter::GetSeriesFromXY(int x, int y) const {
    for (int i = 0; i < FSerieses.Count(); ++i) {
        if (FSerieses[i]->FSeriesRect.contains(x, y))
            return FSerieses[i];
    }
    return nullptr;
}

QRect TVelmarMeter::GetChartRect() const {
    const int nameHeight = (fontMetrics().height() + 2) * FNameRowCount;
    const int right = width() - FMarginRight; // the legend column is never drawn
    const int bottom = height() - FMarginbotton - nameHeight;
    return QRect(QPoint(FMarginLeft, FMarginTop), QPoint(right - 1, bottom - 1));
}

void TVelmarMeter::Paint() {
    if (FUpdating > 0)
        return;
    if (!isVisible()) {
        FFrameStale = true;
        return;
    }
    PrintImage();
    update();
}

void TVelmarMeter::ComputeLayout(const QFontMetrics& metrics) {
    const int n = FSerieses.Count();
    const int available = width() - FMarginLeft - FMarginRight - 7;
    if (n == 0 || available <= 0) {
        FVisibleBlockCount = 0;
        FSeriesWidth = 0;
        return;
    }

    double slot = double(available) / n;
    int visible = n;
    if (slot < FMinBlockWidth) {
        const double fit = double(available) / std::max(FMinBlockWidth, 1);
        visible = int(fit);
        if (fit - visible >= 0.8)
            ++visible;
        visible = std::clamp(visible, 1, n);
        slot = double(available) / visible;
    }
    int gap = visible < 2 ? 0 : int(slot * 0.25);
    if (gap < 3)
        gap = 3;
    if (slot <= gap)
        gap = 1;
    FSeriesDistance = gap;
    FSeriesWidth = std::max(int(slot - gap), 1);
    FVisibleBlockCount = visible;
    FFirstBlockIndex = std::clamp(FFirstBlockIndex, 0, n - visible);

    int nameWidths = 0;
    bool wider = false;
    for (int i = FFirstBlockIndex; i < FFirstBlockIndex + visible; ++i) {
        const int w = metrics.horizontalAdvance(FSerieses[i]->DisplayName());
        nameWidths += w + 5;
        if (w > int(slot))
            wider = true;
    }
    nameWidths += gap * (visible - 1);
    int rows = nameWidths / available + 1;
    if (wider)
        rows = std::max(rows, 2);
    FNameRowCount = std::clamp(rows, 1, std::max(FMaxNameRowCount, 1));
}

void TVelmarMeter::UpdateScale() {
    double largest = 0.0;
    for (int i = 0; i < FSerieses.Count(); ++i)
        largest = std::max(largest, FSerieses[i]->Total());
    if (largest > FMaxSeriesValue)
        FMaxSeriesValue = RoundHalfEven(largest) + 2;

    int scale = FMaxBlockCount;
    if (FAutoMaxBlockCount && FMaxSeriesValue > scale)
        scale = FMaxSeriesValue;
    scale = std::max(scale, 1);
    if (scale != FScale) {
        FScale = scale;
        if (OnMaxChange)
            OnMaxChange(this, scale);
    }
}

const QImage& TVelmarMeter::PrintImage() {
    if (width() <= 0 || height() <= 0)
        return FBackgroundBitmap;
    if (FBackgroundBitmap.size() != size()) {
        FBackgroundBitmap = QImage(size(), QImage::Format_RGB32);
        FBufferBitmap = QImage(size(), QImage::Format_RGB32);
    }
    FFrameStale = false;

    const bool blending = FUseBackGroundImage && FBlendAlpha < 1.0;
    QImage& layer = blending ? FBufferBitmap : FBackgroundBitmap;
    const QFontMetrics metrics(font());
    ComputeLayout(metrics);
    const QRect chart = GetChartRect();

    const QRgb key = Rgb(FColor);
    bool quickChange = false;
    FBackgroundBitmap.fill(key);
    if (FUseBackGroundImage && OnPaintBackGroundImage)
        OnPaintBackGroundImage(this, FBackgroundBitmap, quickChange);
    if (blending)
        FBufferBitmap.fill(key);

    UpdateScale();

    FTexts.clear();
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        const int gap = FSeriesDistance;
        int x = FMarginLeft + gap;
        const int top = chart.top() + 10;
        const int bottom = chart.bottom() + 1;
        for (int i = 0; i < FFirstBlockIndex; ++i)
            FSerieses[i]->FSeriesRect = QRect();
        for (int i = FFirstBlockIndex; i < FFirstBlockIndex + FVisibleBlockCount; ++i) {
            DrawSeries(painter, *FSerieses[i], QRect(x, top, FSeriesWidth, bottom - top),
                       x - gap / 2, FSeriesWidth + gap, metrics, quickChange);
            x += FSeriesWidth + gap;
        }
        for (int i = FFirstBlockIndex + FVisibleBlockCount; i < FSerieses.Count(); ++i)
            FSerieses[i]->FSeriesRect = QRect();
    }

    if (blending)
        BlendBars();
    DrawOverlay(metrics);
    return FBackgroundBitmap;
}

void TVelmarMeter::DrawSeries(QPainter& painter, TVelmarSeries& series, QRect bar, int slotLeft,
                              int slotWidth, const QFontMetrics& metrics, bool quickChange) {
    const int blockHeight = std::max(series.FBlockHeight, 1);
    const int depth = FUse3DBlock ? std::max(FBlockDepth, 0) : 0;
    const int capacity = std::max(0, RoundHalfEven(double(bar.height() - 15) / blockHeight));
    series.FBlockCapacity = capacity;

    if (bar.width() > FMaxBarWidth) {
        bar.setLeft(bar.left() + (bar.width() - FMaxBarWidth) / 2);
        bar.setWidth(FMaxBarWidth);
    }
    const int left = bar.left();
    const int right = bar.left() + bar.width() - 1 + depth; // right edge of the right face
    const int bottom = bar.top() + bar.height();
    series.FSeriesRect = QRect(QPoint(left, bar.top()), QPoint(right, bottom - 1));
    const QColor textColor = palette().color(QPalette::WindowText);

    // The name under (or above) the bar, centred over bar and depth, kept in
    // its slot and in the picture.
    series.FNameRect = QRect();
    if (series.FShowName || series.FShowNameOnTop) {
        const QString& name = series.FDisplayName;
        const int w = metrics.horizontalAdvance(name);
        const int h = metrics.height();
        int x = left + (right + 1 - left - w) / 2;
        x = std::min(x, slotLeft + slotWidth - w);
        x = std::max(x, slotLeft);
        x = std::clamp(x, 0, std::max(0, width() - w));
        int y;
        if (series.FShowName) {
            const int row = series.Index() % std::max(FNameRowCount, 1);
            y = bottom + 1 + row * (h + 2);
        } else {
            y = std::max(0, bar.top() - h - 2);
        }
        series.FNameRect = QRect(x, y, w, h);
        FTexts.push_back({series.FNameRect, name, textColor});
    }

    // Target blocks, then one step of the animation toward them.
    const TBlockCounts target = ComputeBlockCounts(series, capacity, FScale);
    const bool animate = FActive && !quickChange;
    auto advance = [animate](int current, int goal) {
        return animate ? StepToward(current, goal) : goal;
    };
    series.FCurrentBlueValue = advance(series.FCurrentBlueValue, target.Blue);
    series.FCurrentOrangeValue = advance(series.FCurrentOrangeValue, target.Orange);
    series.FCurrentRedValue = advance(series.FCurrentRedValue, target.Red);
    for (int i = 0; i < series.FBlockList.Count(); ++i) {
        TSeriesBlock& block = series.FBlockList.Items(i);
        block.TargetValue = target.Extras[std::size_t(i)];
        block.CurrentValue = advance(block.CurrentValue, block.TargetValue);
    }
    const int blue = series.FCurrentBlueValue;
    const int orange = series.FCurrentOrangeValue;
    const int red = series.FCurrentRedValue;

    TBlockState state;
    if (series.FConnected && series.FIsDown)
        state = bkDown;
    else if (orange == 0 && red == 0)
        state = bkBlue;
    else if (red == 0 && orange > 0)
        state = bkOrange;
    else if (red > 0)
        state = bkRed;
    else
        state = bkNone;

    auto shade = [&](TColor color) {
        QRgb c = Rgb(color);
        if (FShowFocus && !series.FIsFocus)
            c = Mix256(c, Rgb(FUnfocusedColor), 80);
        if (!series.FConnected)
            c = Mix256(c, kBlack, 110);
        return c;
    };

    // The bobbing of the drop block.
    if (FActive) {
        const int highest = int(0.9 * blockHeight) + (depth > 0 ? 2 : 1);
        const int lowest = depth > 0 ? 1 : 0;
        const bool moves = !series.FIsDown || (++series.FDropSpeedMod % 7) == 0;
        if (moves) {
            if (series.FDropDown) {
                series.FDropBlockYPos -= series.FDropAmount;
                if (series.FDropBlockYPos <= lowest) {
                    series.FDropBlockYPos = lowest;
                    series.FDropDown = false;
                }
            } else {
                series.FDropBlockYPos += series.FDropAmount;
                if (series.FDropBlockYPos >= highest) {
                    series.FDropBlockYPos = highest;
                    series.FDropDown = true;
                }
            }
        }
    }

    TBoxStyle style;
    style.Depth = depth;
    style.BlockHeight = blockHeight;
    style.GradientChunks = FDrawGradientChunkIn3D;
    style.VerticalGradient = FUseGradient3DBlock;
    style.Dividers = FDrawBlockDivider;

    // The stack from the bottom: extra blocks, blue, orange, red. The top
    // block of the state's segment is not stacked: it is the drop block.
    int y = bottom;
    auto stack = [&](int count, QRgb color) {
        if (count <= 0)
            return;
        const int h = count * blockHeight;
        DrawBox(painter, left, y - h - depth, right, y, color, style);
        y -= h;
    };
    for (int i = 0; i < series.FBlockList.Count(); ++i)
        stack(series.FBlockList.Items(i).CurrentValue, shade(series.FBlockList.Items(i).Color));
    stack(blue - (state == bkBlue ? 1 : 0), shade(series.FBlockBlueColor));
    stack(orange - (state == bkOrange ? 1 : 0), shade(series.FBlockOrangeColor));
    stack(red - (state == bkRed ? 1 : 0), shade(series.FBlockRedColor));

    const int stateCount = state == bkBlue     ? blue
                           : state == bkOrange ? orange
                           : state == bkRed    ? red
                                               : 0;
    TColor dropColor = state == bkOrange ? series.FBlockOrangeColor
                       : state == bkRed  ? series.FBlockRedColor
                       : state == bkDown ? FDownColor
                                         : series.FBlockBlueColor;
    if (OnGetBlockColor)
        OnGetBlockColor(this, &series, state, dropColor);
    int dropBottom = y - series.FDropBlockYPos;
    if (stateCount == 0 && y == bottom)
        dropBottom = bottom - blockHeight / 2 - series.FDropBlockYPos;
    const int dropTop = dropBottom - blockHeight - depth;
    DrawBox(painter, left, dropTop, right, dropBottom, shade(dropColor), style);

    if (series.FDrawBorder) {
        painter.setPen(QColor::fromRgb(Rgb(series.FBlockBorderColor)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(series.FSeriesRect);
        painter.setPen(Qt::NoPen);
    }

    // The value label, 5 pixels above the drop block.
    const QString label = ValueLabel(series, bar.width() + depth);
    const QColor labelColor = series.FConnected ? textColor : QColor(Qt::red);
    const int w = metrics.horizontalAdvance(label);
    const int h = metrics.height();
    const int labelBottom = dropTop - 5;
    FTexts.push_back(
        {QRect(left + (right + 1 - left - w) / 2, labelBottom - h, w, h), label, labelColor});
}

QString TVelmarMeter::ValueLabel(const TVelmarSeries& series, int room) const {
    if (!series.FConnected)
        return QStringLiteral("-x-");
    const double total = series.Total();
    QString label = FormatFloat(FValueFormat, total);
    if (label == FormatFloat(FValueFormat, 0.0))
        return FZeroValueString;
    const QFontMetrics metrics(font());
    for (const char* fallback : {"#,##0.##", "#,##0.#", "#,##0"}) {
        if (metrics.horizontalAdvance(label) <= room)
            break;
        label = FormatFloat(QLatin1String(fallback), total);
    }
    return label;
}

void TVelmarMeter::BlendBars() {
    const QRgb key = Rgb(FColor) & 0x00FFFFFF;
    const double alpha = FBlendAlpha;
    const double keep = 1.0 - alpha;
    const int w = FBackgroundBitmap.width();
    for (int y = 0; y < FBackgroundBitmap.height(); ++y) {
        const auto* bars = reinterpret_cast<const QRgb*>(FBufferBitmap.constScanLine(y));
        auto* back = reinterpret_cast<QRgb*>(FBackgroundBitmap.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb bar = bars[x];
            if ((bar & 0x00FFFFFF) == key)
                continue;
            const QRgb b = back[x];
            back[x] = qRgb(int(qRed(b) * keep + qRed(bar) * alpha),
                           int(qGreen(b) * keep + qGreen(bar) * alpha),
                           int(qBlue(b) * keep + qBlue(bar) * alpha));
        }
    }
}

void TVelmarMeter::DrawOverlay(const QFontMetrics& metrics) {
    QPainter painter(&FBackgroundBitmap);
    if (FShowAxis) {
        const QRect chart = GetChartRect();
        painter.setPen(ToQColor(FAxisColor));
        painter.drawLine(chart.bottomLeft(), chart.bottomRight());
        painter.drawLine(chart.bottomLeft(), chart.topLeft());
    }
    if (FBorderVisible) {
        painter.setPen(ToQColor(FBorderColor));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (FShowTitle) {
        double total = 0.0;
        for (int i = 0; i < FSerieses.Count(); ++i)
            total += FSerieses[i]->Total();
        painter.setFont(FTitleFont);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(0, FMarginTop, width(), QFontMetrics(FTitleFont).height()),
                         Qt::AlignCenter,
                         FCaption + QLatin1Char(' ') + FormatFloat(FValueFormat, total));
    }
    painter.setFont(font());
    for (const TTextItem& text : FTexts) {
        painter.setPen(text.Color);
        painter.drawText(text.Rect.left(), text.Rect.top() + metrics.ascent(), text.Text);
    }
}

void TVelmarMeter::paintEvent(QPaintEvent*) {
    if (FFrameStale && FUpdating == 0)
        PrintImage();
    QPainter painter(this);
    if (FBackgroundBitmap.size() == size())
        painter.drawImage(0, 0, FBackgroundBitmap);
    else
        painter.fillRect(rect(), ToQColor(FColor));
}

void TVelmarMeter::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FFrameStale = true;
}

void TVelmarMeter::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    if (TVelmarSeries* series = GetSeriesFromXY(p.x(), p.y())) {
        if (OnSeriesClick)
            OnSeriesClick(this, series);
    } else if (OnSeriesOutClick) {
        OnSeriesOutClick(this);
    }
}

void TVelmarMeter::mouseDoubleClickEvent(QMouseEvent* event) {
    QWidget::mouseDoubleClickEvent(event);
    const QPoint p = event->position().toPoint();
    for (int i = 0; i < FSerieses.Count(); ++i) {
        TVelmarSeries* series = FSerieses[i];
        if (series->FNameRect.contains(p)) {
            if (OnSeriesTextDblClick)
                OnSeriesTextDblClick(this, series);
            return;
        }
    }
    if (TVelmarSeries* series = GetSeriesFromXY(p.x(), p.y()); series && OnSeriesDblClick)
        OnSeriesDblClick(this, series);
}

void TVelmarMeter::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    if (TVelmarSeries* series = GetSeriesFromXY(p.x(), p.y())) {
        if (OnSeriesMouseMove)
            OnSeriesMouseMove(this, series, p.x(), p.y());
    } else if (OnOutOfSeriesMouseMove) {
        OnOutOfSeriesMouseMove(this, p.x(), p.y());
    }
}
