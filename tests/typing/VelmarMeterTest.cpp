#include "typing/VelmarMeter.h"

#include "app/RavlinError.h"
#include "ImageTestSupport.h"
#include "typing/FormatFloat.h"

#include <gtest/gtest.h>
#include <QPainter>

namespace {

// A meter on a plain white key colour, so bar pixels can be told apart.
struct TMeterFixture : testing::Test {
    TVelmarMeter Meter;
    TMeterFixture() {
        Meter.SetMarginLeft(0);
        Meter.SetMarginRight(20);
        Meter.SetShowAxis(false);
        Meter.SetSortWhenAdd(false);
        Meter.SetColor(clWhite);
        Meter.SetBlockDepth(3);
    }
    // The bottom (exclusive) of the bars of the last paint.
    int BarBottom() const { return Meter.GetChartRect().bottom() + 1; }
};

QRgb FrontColour(TColor color) {
    const QColor c = ToQColor(color);
    return qRgb((225 * c.red() + 30 * 255) / 255, (225 * c.green() + 30 * 255) / 255,
                (225 * c.blue() + 30 * 255) / 255);
}

int CountInColumn(const QImage& image, int x, QRgb colour) {
    return CountPixels(image, QRect(x, 0, 1, image.height()),
                       [colour](QRgb p) { return (p & 0xFFFFFF) == (colour & 0xFFFFFF); });
}

} // namespace

TEST(FormatFloat, WritesTheMeterPicturesLikeTheLabelsNeedThem) {
    const QString picture = QStringLiteral("#,##0.###");
    EXPECT_EQ(FormatFloat(picture, 0), QStringLiteral("0"));
    EXPECT_EQ(FormatFloat(picture, 0.0004), QStringLiteral("0"));
    EXPECT_EQ(FormatFloat(picture, 400), QStringLiteral("400"));
    EXPECT_EQ(FormatFloat(picture, 1234567.891), QStringLiteral("1,234,567.891"));
    EXPECT_EQ(FormatFloat(picture, 315.5), QStringLiteral("315.5"));
    EXPECT_EQ(FormatFloat(QStringLiteral("#,##0.##"), -3.14159), QStringLiteral("-3.14"));
    EXPECT_EQ(FormatFloat(QStringLiteral("#,##0"), 2.5), QStringLiteral("3")); // half away from 0
    EXPECT_EQ(FormatFloat(QStringLiteral("#,##0"), -0.4), QStringLiteral("0"));
    EXPECT_EQ(FormatFloat(QStringLiteral("0.00"), 7), QStringLiteral("7.00"));
    EXPECT_EQ(FormatFloat(QStringLiteral("000"), 7), QStringLiteral("007"));
}

TEST_F(TMeterFixture, HalfTheScaleStacksHalfTheCapacityAndDrawsIt) {
    Meter.resize(170, 700);
    Meter.SetMaxBlockCount(800);
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("CurrBar"), QStringLiteral("현재"));
    bar->SetBlueValue(400);
    const QImage& image = Meter.PrintImage();

    const int barHeight = BarBottom() - (Meter.GetChartRect().top() + 10);
    const int capacity = int(std::nearbyint((barHeight - 15) / 5.0));
    EXPECT_EQ(bar->BlockCapacity(), capacity);
    const int blocks = int(std::nearbyint(capacity * 400.0 / 800.0));
    EXPECT_EQ(bar->CurrentBlueValue(), blocks);
    EXPECT_EQ(Meter.Scale(), 800);

    // In the middle of the bar every block shows its front face except the
    // highlight line under each top face: the stack's and the drop block's.
    const QRect r = bar->SeriesRect();
    const int x = r.left() + (r.width() - 3) / 2;
    EXPECT_EQ(CountInColumn(image, x, FrontColour(Meter.BlockBlueColor())), blocks * 5 - 2);
    EXPECT_EQ(image.pixel(x, BarBottom() - 1) & 0xFFFFFF,
              FrontColour(Meter.BlockBlueColor()) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(x, BarBottom()) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(TMeterFixture, BlockCountsRoundEachColourAndKeepTheTotal) {
    Meter.resize(170, 700);
    // A bar of exactly 10 blocks: 10 above the name row, 15 spare, 50 for blocks.
    Meter.resize(170, 10 + 15 + 50 + Meter.fontMetrics().height() + 2);
    Meter.SetMaxBlockCount(102);
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("a"), QString());
    bar->SetBlueValue(100);
    bar->SetOrangeValue(1);
    bar->SetRedValue(1);
    Meter.PrintImage();
    ASSERT_EQ(bar->BlockCapacity(), 10);
    // Blue rounds to 10, the small values get one block each, and the excess
    // comes off blue.
    EXPECT_EQ(bar->CurrentBlueValue(), 8);
    EXPECT_EQ(bar->CurrentOrangeValue(), 1);
    EXPECT_EQ(bar->CurrentRedValue(), 1);

    // A value beyond the scale fills the bar and stops there.
    bar->SetBlueValue(1000);
    bar->SetOrangeValue(0);
    bar->SetRedValue(0);
    Meter.PrintImage();
    EXPECT_EQ(bar->CurrentBlueValue(), 10);

    // A total that rounds to nothing still shows its one block.
    bar->SetBlueValue(0.3);
    Meter.PrintImage();
    EXPECT_EQ(bar->CurrentBlueValue(), 1);
}

TEST_F(TMeterFixture, ZeroShowsTheZeroStringAndTheDropBlockRestsHalfABlockUp) {
    Meter.resize(170, 400);
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("CurrBar"), QStringLiteral("현재"));
    const QImage& image = Meter.PrintImage();
    EXPECT_EQ(Meter.ValueLabel(*bar, 100), QStringLiteral("0"));
    Meter.SetZeroValueString(QStringLiteral("-"));
    EXPECT_EQ(Meter.ValueLabel(*bar, 100), QStringLiteral("-"));
    EXPECT_EQ(bar->CurrentBlueValue(), 0);

    const QRect r = bar->SeriesRect();
    const int x = r.left() + (r.width() - 3) / 2;
    const QRgb front = FrontColour(Meter.BlockBlueColor()) & 0xFFFFFF;
    // Bottom row and the one above stay empty (5 div 2 = 2); then the block.
    EXPECT_EQ(image.pixel(x, BarBottom() - 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(x, BarBottom() - 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(x, BarBottom() - 3) & 0xFFFFFF, front);
    EXPECT_EQ(CountInColumn(image, x, front), 4);
}

TEST_F(TMeterFixture, LabelsFallBackToShorterFormatsAndMarkDisconnectedSeries) {
    Meter.resize(170, 400);
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("a"), QString());
    bar->SetRedValue(12345.678);
    const QFontMetrics metrics(Meter.font());
    EXPECT_EQ(Meter.ValueLabel(*bar, 1000), QStringLiteral("12,345.678"));
    const int roomForOneDecimal = metrics.horizontalAdvance(QStringLiteral("12,345.7"));
    EXPECT_EQ(Meter.ValueLabel(*bar, roomForOneDecimal), QStringLiteral("12,345.7"));
    EXPECT_EQ(Meter.ValueLabel(*bar, 1), QStringLiteral("12,346"));
    bar->SetConnected(false);
    EXPECT_EQ(Meter.ValueLabel(*bar, 1000), QStringLiteral("-x-"));
}

TEST_F(TMeterFixture, ActiveBarsGrowOneBlockPerFrameAndJumpWhenStopped) {
    Meter.resize(170, 700);
    Meter.SetMaxBlockCount(800);
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("CurrBar"), QString());
    Meter.PrintImage();
    bar->SetBlueValue(400);
    Meter.SetActive(true);
    // No events are processed here, so only these frames run.
    std::vector<int> drops;
    for (int frame = 1; frame <= 12; ++frame) {
        Meter.PrintImage();
        EXPECT_EQ(bar->CurrentBlueValue(), frame);
        drops.push_back(bar->DropBlockYPos());
    }
    // The drop block rises to trunc(0.9 * 5) + 2 and sinks back to 1.
    EXPECT_EQ(drops, (std::vector<int>{1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 2}));

    bar->SetBlueValue(3);
    Meter.PrintImage();
    EXPECT_EQ(bar->CurrentBlueValue(), 11); // shrinks a block at a time too

    Meter.SetActive(false);
    Meter.PrintImage();
    EXPECT_EQ(bar->CurrentBlueValue(), 1);
    EXPECT_EQ(bar->DropBlockYPos(), 3); // frozen where it was
}

TEST_F(TMeterFixture, BarsBlendOverTheBackgroundPictureAndLeaveTheRestAlone) {
    Meter.resize(170, 400);
    Meter.SetMaxBlockCount(10);
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("a"), QString());
    bar->SetBlueValue(5);
    static constexpr QRgb kPicture = qRgb(100, 150, 200);
    Meter.OnPaintBackGroundImage = [](TVelmarMeter*, QImage& image, bool&) {
        image.fill(kPicture);
    };
    Meter.SetUseBackGroundImage(true);
    Meter.SetBlendAlpha(0.7);
    const QImage& image = Meter.PrintImage();

    const QRect r = bar->SeriesRect();
    const int x = r.left() + (r.width() - 3) / 2;
    const QRgb front = FrontColour(Meter.BlockBlueColor());
    const QRgb expected =
        qRgb(int(100 * 0.3 + qRed(front) * 0.7), int(150 * 0.3 + qGreen(front) * 0.7),
             int(200 * 0.3 + qBlue(front) * 0.7));
    EXPECT_EQ(image.pixel(x, BarBottom() - 1) & 0xFFFFFF, expected & 0xFFFFFF);
    EXPECT_EQ(image.pixel(x, 2) & 0xFFFFFF, kPicture & 0xFFFFFF);

    // Fully opaque bars are drawn straight onto the picture.
    Meter.SetBlendAlpha(1.0);
    EXPECT_EQ(Meter.PrintImage().pixel(x, BarBottom() - 1) & 0xFFFFFF, front & 0xFFFFFF);
}

TEST_F(TMeterFixture, SettersRejectOutOfRangeValues) {
    try {
        Meter.SetBlendAlpha(1.5);
        FAIL() << "BlendAlpha 1.5 was accepted";
    } catch (const ERavlinError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("BlendAlpha value must be in 0..1"));
    }
    EXPECT_THROW(Meter.SetBlendAlpha(-0.01), ERavlinError);
    EXPECT_EQ(Meter.BlendAlpha(), 1.0);
    Meter.SetBlendAlpha(0.0);
    EXPECT_EQ(Meter.BlendAlpha(), 0.0);

    try {
        Meter.SetFlowBlockPortion(0);
        FAIL() << "FlowBlockPortion 0 was accepted";
    } catch (const ERavlinError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("FlowBlockPortion must be larger than 0"));
    }
    try {
        Meter.SetFlowBlockPortion(1.01);
        FAIL() << "FlowBlockPortion 1.01 was accepted";
    } catch (const ERavlinError& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("FlowBlockPortion must be less than 1 or equal with 1"));
    }
    Meter.SetFlowBlockPortion(1.0);
    EXPECT_EQ(Meter.FlowBlockPortion(), 1.0);
    Meter.SetFlowBlockSize(2);
    EXPECT_EQ(Meter.FlowBlockSize(), 5);

    const int before = Meter.BlockHeight();
    Meter.SetBlockHeight(0);
    EXPECT_EQ(Meter.BlockHeight(), before);
}

TEST_F(TMeterFixture, SettingsReachEverySeriesAndNarrowSlotsLimitTheVisibleBars) {
    Meter.SetMarginLeft(25);
    Meter.SetMarginRight(0);
    Meter.resize(300, 400);
    for (int i = 0; i < 20; ++i)
        Meter.AddSeries(QString::number(i), QString());
    Meter.SetMaxBlockCount(800);
    Meter.SetBlockHeight(7);
    Meter.SetBlockRedColor(0x123456);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(Meter.Serieses()[i]->MaxBlock(), 800);
        EXPECT_EQ(Meter.Serieses()[i]->BlockHeight(), 7);
        EXPECT_EQ(Meter.Serieses()[i]->BlockRedColor(), 0x123456u);
    }
    Meter.PrintImage();
    // 268 pixels for 20 bars: 12 slots of 22.33, gap 5, bars 17 wide.
    EXPECT_EQ(Meter.VisibleBlockCount(), 12);
    EXPECT_EQ(Meter.SeriesDistance(), 5);
    EXPECT_EQ(Meter.SeriesWidth(), 17);
    EXPECT_TRUE(Meter.Serieses()[12]->SeriesRect().isNull());
    // A fraction of 0.8 or more of a slot still counts as one: 262 / 22 = 11.9.
    Meter.resize(294, 400);
    Meter.PrintImage();
    EXPECT_EQ(Meter.VisibleBlockCount(), 12);
}

TEST_F(TMeterFixture, AutomaticScaleGrowsWithTheValuesAndReportsIt) {
    Meter.resize(170, 400);
    Meter.SetMaxBlockCount(100);
    std::vector<int> reported;
    Meter.OnMaxChange = [&reported](TVelmarMeter*, int newMax) { reported.push_back(newMax); };
    TVelmarSeries* bar = Meter.AddSeries(QStringLiteral("a"), QString());
    bar->SetBlueValue(150);
    Meter.PrintImage();
    EXPECT_EQ(Meter.Scale(), 100); // fixed scale: the bar is simply full
    Meter.SetAutoMaxBlockCount(true);
    Meter.PrintImage();
    EXPECT_EQ(Meter.Scale(), 152);
    EXPECT_EQ(reported, (std::vector<int>{100, 152}));
}

TEST_F(TMeterFixture, SortingOrdersTheSeriesByTotal) {
    Meter.resize(170, 400);
    Meter.AddSeries(QStringLiteral("a"), QString())->SetBlueValue(5);
    Meter.AddSeries(QStringLiteral("b"), QString())->SetBlueValue(9);
    Meter.AddSeries(QStringLiteral("c"), QString())->SetBlueValue(1);
    Meter.SetSortDirection(ssdDescending);
    EXPECT_EQ(Meter.Serieses()[0]->Name(), QStringLiteral("b"));
    EXPECT_EQ(Meter.Serieses()[2]->Name(), QStringLiteral("c"));
    Meter.SetSortWhenAdd(true);
    Meter.AddSeries(QStringLiteral("d"), QString())->SetBlueValue(7);
    Meter.SetSortDirection(ssdAscending);
    EXPECT_EQ(Meter.Serieses()[0]->Name(), QStringLiteral("c"));
    EXPECT_EQ(Meter.Serieses()[3]->Name(), QStringLiteral("b"));
    Meter.PrintImage();
    const QRect second = Meter.Serieses()[1]->SeriesRect();
    EXPECT_EQ(Meter.GetSeriesFromXY(second.center().x(), second.center().y()), Meter.Serieses()[1]);
    EXPECT_EQ(Meter.GetSeriesFromXY(Meter.width() - 1, 0), nullptr);
}
