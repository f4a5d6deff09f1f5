#include "shell/BorderLabel.h"

#include "shell/AboutForm.h"
#include "shell/OutlinedText.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTest>

namespace {

QFont TestFont(int pixels = 20) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// A label on a parent, as every label in the program is used.
struct TLabelOnParent {
    QWidget Parent;
    TBorderLabel* Label;
    TLabelOnParent() {
        Parent.resize(400, 200);
        Label = new TBorderLabel(&Parent);
        Label->setFont(TestFont());
    }
};

} // namespace

TEST(BorderLabel, AutoSizeFollowsTheCaptionAndNeverShrinksTheHeight) {
    EXPECT_EQ(TBorderLabel().size(), QSize(50, 25));
    TLabelOnParent t;
    TBorderLabel& label = *t.Label;
    label.SetCaption(QStringLiteral("keyboard"));
    const QFontMetrics fm(label.font());
    EXPECT_EQ(label.TextW(), fm.horizontalAdvance(QStringLiteral("keyboard")));
    EXPECT_EQ(label.width(), label.TextW() + 20 + 3);
    EXPECT_EQ(label.height(), std::max(25, fm.height() + 8));

    label.SetBorderShape(bsNone);
    EXPECT_EQ(label.width(), label.TextW() + 20);

    // Already taller than its caption needs: the height stays.
    label.resize(label.width(), 90);
    label.SetCaption(QStringLiteral("ab"));
    EXPECT_EQ(label.height(), 90);
    EXPECT_EQ(label.width(), fm.horizontalAdvance(QStringLiteral("ab")) + 20);
}

TEST(BorderLabel, CaptionOfALabelWithoutParentDoesNotResize) {
    TBorderLabel label;
    label.setFont(TestFont()); // a new font re-measures the (empty) caption
    const QSize before = label.size();
    label.SetCaption(QStringLiteral("a much longer caption"));
    EXPECT_EQ(label.size(), before);
}

TEST(BorderLabel, CircleBecomesASquareAndStopsFollowingTheCaption) {
    TLabelOnParent t;
    TBorderLabel& label = *t.Label;
    label.SetCaption(QStringLiteral("a wide caption"));
    const int wide = label.TextW() + 20 + 3;
    label.SetBorderShape(bsCircle);
    EXPECT_FALSE(label.AutoSize());
    EXPECT_EQ(label.size(), QSize(wide, wide));

    label.SetAutoSize(true); // ignored while a circle
    EXPECT_FALSE(label.AutoSize());
    label.SetCaption(QStringLiteral("x"));
    EXPECT_EQ(label.size(), QSize(wide, wide));
}

TEST(BorderLabel, OutlineWidensByTwiceTheThicknessPerCharacter) {
    TLabelOnParent t;
    TBorderLabel& label = *t.Label;
    label.SetCaption(QStringLiteral("abc"));
    const int plainW = label.TextW();
    const int plainH = label.TextH();
    const int plainWidth = label.width();
    label.SetOutlineThickness(2);
    label.SetDrawOutline(true);
    EXPECT_EQ(label.TextW(), plainW + 12);
    EXPECT_EQ(label.TextH(), plainH + 4);
    EXPECT_EQ(label.width(), plainWidth + 12);
}

TEST(BorderLabel, BorderWidthIsAtLeastOne) {
    TBorderLabel label;
    label.SetBorderWidth(0);
    EXPECT_EQ(label.BorderWidth(), 1);
    label.SetBorderWidth(-5);
    EXPECT_EQ(label.BorderWidth(), 1);
    label.SetBorderWidth(4);
    EXPECT_EQ(label.BorderWidth(), 4);
}

TEST(BorderLabel, PaintsOnlyInsideItsFrameAndReportsThePointer) {
    QWidget parent;
    parent.resize(200, 100);
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 0));
    parent.setPalette(pal);
    auto* label = new TBorderLabel(&parent);
    label->setFont(TestFont());
    label->SetBorderShape(bsRoundRect);
    label->SetRoundDegree(30);
    label->SetColor(RGBColor(255, 255, 0));
    label->SetCaption(QStringLiteral("word"));
    label->move(10, 10);

    const QImage image = parent.grab().toImage();
    // The rounded corner shows the parent; the middle holds the fill.
    EXPECT_EQ(QColor(image.pixel(11, 11)), QColor(0, 128, 0));
    const QPoint inside(10 + 6, 10 + label->height() / 2);
    EXPECT_EQ(QColor(image.pixel(inside)), QColor(255, 255, 0));

    int entered = 0;
    int left = 0;
    label->OnMouseEnter = [&](TBorderLabel* sender) {
        EXPECT_EQ(sender, label);
        ++entered;
    };
    label->OnMouseLeave = [&](TBorderLabel*) { ++left; };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(label, &enter);
    EXPECT_TRUE(label->MouseIn());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
    EXPECT_FALSE(label->MouseIn());
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
}

TEST(OutlinedText, DrawsAnOutlineAroundAGradientFill) {
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setFont(TestFont(60));
    p.setPen(QColor(0, 0, 255)); // the bottom of the gradient
    const int end = DrawOutlinedText(p, 10, 5, 2, RGBColor(255, 255, 0), RGBColor(255, 0, 0),
                                     QStringLiteral("I"));
    EXPECT_EQ(p.pen().color(), QColor(0, 0, 255));
    p.end();
    EXPECT_EQ(end, 10 + QFontMetrics(TestFont(60)).horizontalAdvance(QLatin1Char('I')) + 4);

    // Down the middle of the letter's stem: outline red at the top edge,
    // then a fill that runs from yellowish to bluish.
    int x = -1;
    for (int cx = 10; cx < end && x < 0; ++cx) {
        for (int y = 0; y < 100; ++y) {
            if (canvas.pixel(cx, y) == qRgb(255, 0, 0)) {
                x = cx + 4;
                break;
            }
        }
    }
    ASSERT_GE(x, 0);
    int firstFill = -1;
    int lastFill = -1;
    bool outlineAbove = false;
    for (int y = 0; y < 100; ++y) {
        const QColor c(canvas.pixel(x, y));
        if (c == QColor(255, 0, 0) && firstFill < 0)
            outlineAbove = true;
        // Gradient pixels mix yellow and blue: red and green stay equal.
        const bool fill = c != QColor(Qt::white) && std::abs(c.red() - c.green()) < 8;
        if (fill) {
            if (firstFill < 0)
                firstFill = y;
            lastFill = y;
        }
    }
    ASSERT_GT(lastFill, firstFill + 10);
    EXPECT_TRUE(outlineAbove);
    const QColor top(canvas.pixel(x, firstFill + 2));
    const QColor bottom(canvas.pixel(x, lastFill - 2));
    EXPECT_GT(top.green(), bottom.green());
    EXPECT_LT(top.blue(), bottom.blue());
}

TEST(AboutForm, ShowsTheNameAtItsFixedSizeAndEscapeCloses) {
    auto* about = new TAboutForm;
    EXPECT_EQ(about->windowTitle(), QStringLiteral("타비로 v3.6"));
    EXPECT_EQ(about->size(), QSize(319, 229));
    TBorderLabel* name = about->NameLabel();
    EXPECT_EQ(name->geometry(), QRect(85, 14, 225, 41));
    EXPECT_EQ(name->Caption(), QStringLiteral("타 비 로 "));
    EXPECT_TRUE(name->DrawOutline());

    QPointer<TAboutForm> guard(about);
    about->show();
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_EQ(about->result(), QDialog::Accepted);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}
