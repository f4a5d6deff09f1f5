#include "app/RavlinError.h"
#include "gl/GLPanel.h"
#include "gl/GLTextureAnimation.h"
#include "gl/GLTextureMessage.h"
#include "gl/GLTexturePanelItem.h"
#include "gl/GLTexturePanelList.h"
#include "ImageTestSupport.h"

#include <cmath>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <memory>
#include <QCursor>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>

namespace {

class TexturePanelTest : public testing::Test {
protected:
    void SetUp() override {
        FPanel = std::make_unique<TGLPanel>();
        FPanel->resize(400, 300);
        FPanel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FPanel.get()));
        FPanel->SetClearColor(RGBColor(0, 0, 0));
        PrepareMatrices();
    }
    // The state every frame starts from: modes for drawing, identity model
    // view (no camera transform).
    void PrepareMatrices() {
        FPanel->SetCurrentGLContext();
        FPanel->SetGLModes(false);
        glLoadIdentity();
    }
    // Window x, y of a world point under the current matrices.
    QPointF WindowOf(double x, double y, double z) {
        GLdouble mv[16], pj[16];
        GLint vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pj);
        glGetIntegerv(GL_VIEWPORT, vp);
        GLdouble wx, wy, wz;
        gluProject(x, y, z, mv, pj, vp, &wx, &wy, &wz);
        return {wx, wy};
    }
    // Draws with `draw` under identity model view and returns the frame.
    QImage Frame(const std::function<void()>& draw) {
        FPanel->OnDrawScene = [&](TGLPanel* panel) {
            panel->SetGLModes(false);
            glLoadIdentity();
            draw();
        };
        QImage frame = FPanel->grabFramebuffer();
        FPanel->OnDrawScene = nullptr;
        return frame;
    }
    // Pixels of another colour than `colour` outside the rectangle `outside`.
    static int CountNot(const QImage& frame, QRgb colour, QRect outside) {
        const auto other = [colour](QRgb p) { return (p & 0xFFFFFF) != (colour & 0xFFFFFF); };
        return CountPixels(frame, other) - CountPixels(frame, outside, other);
    }

    std::unique_ptr<TGLPanel> FPanel;
};

} // namespace

TEST_F(TexturePanelTest, CalloutTextureSizeFollowsItsLines) {
    TGLTexturePanelItem empty(FPanel.get(), "Empty", 0, 0, 0);
    empty.Refresh();
    EXPECT_EQ(empty.Width, 4);
    EXPECT_EQ(empty.Height, 1);
    EXPECT_NE(empty.TextureID(), 0u);

    TGLTexturePanelItem item(FPanel.get(), "Hint", 0, 0, 0);
    QFont font("굴림체", 16);
    font.setBold(true);
    item.SetFont(font);
    item.SetText("키보드연습\nAbout 타비로\n");
    const QFontMetrics metrics(font);
    const int widest = std::max(metrics.horizontalAdvance("키보드연습"),
                                metrics.horizontalAdvance("About 타비로"));
    EXPECT_EQ(item.Width, (widest + 5) & ~3);
    EXPECT_EQ(item.Width % 4, 0);
    EXPECT_EQ(item.Height, 2 * (metrics.height() + 1) + 1);
}

TEST_F(TexturePanelTest, PropertyChangesRegenerateOnlyWhenTheValueChanges) {
    TGLTexturePanelItem item(FPanel.get(), "Item", 0, 0, 0);
    int paints = 0;
    item.OnDrawTextureItem = [&](TGLTexturePanelItem*, QImage& bitmap) {
        ++paints;
        bitmap = QImage(8, 4, QImage::Format_ARGB32);
        bitmap.fill(Qt::red);
    };
    item.SetDesc("moon");
    EXPECT_EQ(paints, 1);
    item.SetDesc("moon");
    EXPECT_EQ(paints, 1);
    item.SetText("word");
    item.SetBackColor(RGBColor(1, 2, 3));
    item.SetAlpha(0.5f);
    item.SetAlpha(0.5f);
    EXPECT_EQ(paints, 4);
    item.SetFont(QFont());
    EXPECT_EQ(paints, 5);
    EXPECT_EQ(item.Width, 8);
    EXPECT_EQ(item.Height, 4);

    // An external texture is never generated.
    TGLTexturePanelItem external(FPanel.get(), "External", 0, 0, 0);
    external.UseExternalTexture = true;
    int externalPaints = 0;
    external.OnDrawTextureItem = [&](TGLTexturePanelItem*, QImage&) { ++externalPaints; };
    external.SetText("x");
    double x[4], y[4], z[4];
    external.GetDrawPosition(x, y, z);
    EXPECT_EQ(externalPaints, 0);
    EXPECT_EQ(external.TextureID(), 0u);
}

TEST_F(TexturePanelTest, ScreenAlignedCornersCoverExactlyThePixelSizeForEveryAnchor) {
    TGLTexturePanelItem item(FPanel.get(), "Item", 3, -2, 5);
    item.OnDrawTextureItem = [](TGLTexturePanelItem*, QImage& bitmap) {
        bitmap = QImage(40, 24, QImage::Format_ARGB32);
        bitmap.fill(Qt::white);
    };
    const QPointF anchor = WindowOf(3, -2, 5);
    struct TCase {
        TTexturePanelLinePos pos;
        double left, bottom; // of corner 0, relative to the anchor
    };
    for (const TCase& c :
         {TCase{lpCenter, -20, -12}, TCase{lpLeftBottom, 0, 0}, TCase{lpLeftTop, 0, -24},
          TCase{lpRightTop, -40, -24}, TCase{lpRightBottom, -40, 0}}) {
        item.LinePos = c.pos;
        double x[4], y[4], z[4];
        item.GetDrawPosition(x, y, z);
        const QPointF w0 = WindowOf(x[0], y[0], z[0]);
        const QPointF w2 = WindowOf(x[2], y[2], z[2]);
        EXPECT_NEAR(w0.x() - anchor.x(), c.left, 1e-3) << c.pos;
        EXPECT_NEAR(w0.y() - anchor.y(), c.bottom, 1e-3) << c.pos;
        EXPECT_NEAR(w2.x() - w0.x(), 40, 1e-3) << c.pos;
        EXPECT_NEAR(w2.y() - w0.y(), 24, 1e-3) << c.pos;
        EXPECT_NEAR(z[0], 5, 1e-3);
    }

    item.RotatePlane = false;
    double x[4], y[4], z[4];
    item.GetDrawPosition(x, y, z);
    EXPECT_DOUBLE_EQ(x[2], 43);
    EXPECT_DOUBLE_EQ(y[2], 22);
    EXPECT_DOUBLE_EQ(z[3], 5);
}

TEST_F(TexturePanelTest, CentredCalloutsDrawNoLeaderLineOthersDo) {
    TGLTexturePanelItem item(FPanel.get(), "Item", 0, 0, 0);
    item.SphereRadius = 0;
    item.LineLength = 10;
    item.SetAlpha(1);
    item.SetBackColor(RGBColor(255, 255, 0));
    item.SetText("Hint");
    const QPointF anchor = WindowOf(0, 0, 0);
    const int cx = int(anchor.x()), cy = 300 - int(anchor.y());

    item.LinePos = lpCenter;
    QImage frame = Frame([&] { item.Draw(); });
    const QRect centred(cx - item.Width / 2 - 2, cy - item.Height / 2 - 2, item.Width + 4,
                        item.Height + 4);
    EXPECT_EQ(CountNot(frame, qRgb(0, 0, 0), centred), 0);
    EXPECT_EQ(frame.pixelColor(cx, cy), QColor(255, 255, 0));

    item.LinePos = lpLeftBottom;
    frame = Frame([&] { item.Draw(); });
    const QRect leftBottom(cx - 2, cy - item.Height - 2, item.Width + 4, item.Height + 4);
    EXPECT_GT(CountNot(frame, qRgb(0, 0, 0), leftBottom), 10);

    // A sphere with the centre anchor sits at the current origin.
    item.LinePos = lpCenter;
    item.SetText("");
    item.SphereRadius = 3;
    PrepareMatrices();
    const QPointF origin = WindowOf(-15, 0, 0);
    frame = Frame([&] {
        glTranslatef(-15, 0, 0);
        item.Position = {15, 0, 0};
        item.Draw();
    });
    EXPECT_NE(frame.pixel(int(origin.x()), 300 - int(origin.y())) & 0xFFFFFF, 0u);
    item.PanelVisible = false;
    frame = Frame([&] { item.Draw(); });
    EXPECT_EQ(CountNot(frame, qRgb(0, 0, 0), QRect()), 0);
}

TEST_F(TexturePanelTest, PanelListFindsDrawsAndPicksItems) {
    TGLTexturePanelList list;
    auto* left = new TGLTexturePanelItem(FPanel.get(), "AboutObj_Hint", -10, 0, 0);
    auto* right = new TGLTexturePanelItem(FPanel.get(), "HelpObj_Hint", 10, 0, 0);
    for (TGLTexturePanelItem* item : {left, right}) {
        item->LinePos = lpCenter;
        item->SphereRadius = 0;
        item->SetText("도움말 도움말");
    }
    EXPECT_EQ(list.Add(left), 0);
    EXPECT_EQ(list.Add(right), 1);
    EXPECT_EQ(list.FindByName("helpobj_hint"), right);
    EXPECT_EQ(list.FindByName("Nothing"), nullptr);
    list.DrawItem(5); // ignored

    const QPointF at = WindowOf(10, 0, 0);
    const QPoint cursor(int(at.x()), 300 - int(at.y()));
    QCursor::setPos(FPanel->mapToGlobal(cursor));
    for (int i = 0; i < 100 && FPanel->mapFromGlobal(QCursor::pos()) != cursor; ++i)
        QTest::qWait(10);
    FPanel->SetGLModes(true);
    glLoadIdentity();
    list.DrawItems(true, 100);
    EXPECT_EQ(FPanel->EndSelection(), 101);

    list.ShowAll(false);
    EXPECT_FALSE(left->PanelVisible);
    const QImage frame = Frame([&] { list.DrawItems(false, 0); });
    EXPECT_EQ(CountNot(frame, qRgb(0, 0, 0), QRect()), 0);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(TexturePanelTest, MessageSizeFollowsLinesMarginsAndPicture) {
    TGLTextureMessage message(FPanel.get());
    QFont font("굴림", 30);
    font.setBold(true);
    message.SetFont(font);
    message.SetText({"START LEVEL 2", " ", "PRESS ENTER"});
    message.Show();
    const QFontMetrics metrics(font);
    const int widest = std::max(4 * 13 + metrics.horizontalAdvance("START LEVEL 2"),
                                4 * 11 + metrics.horizontalAdvance("PRESS ENTER"));
    EXPECT_EQ(message.Width(), ((widest + 30) + 3) & ~3);
    EXPECT_EQ(message.Height(), 15 + 3 * (metrics.height() + 5 + 4));
    EXPECT_EQ(message.TexItem()->Width, message.Width());
    EXPECT_EQ(message.TexItem()->Height, message.Height());
    EXPECT_TRUE(message.Visible());
    EXPECT_FALSE(message.IsModal());

    // A larger background picture sets the size.
    QTemporaryDir dir;
    QImage picture(501, 400, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(dir.filePath("back.png")));
    message.SetImageFileName(dir.filePath("back.png"));
    message.ShowModal();
    EXPECT_TRUE(message.BackImageAvailable());
    EXPECT_TRUE(message.IsModal());
    EXPECT_EQ(message.Width(), 504);
    EXPECT_EQ(message.Height(), 400);

    // A missing picture is no picture; an unreadable one is an error.
    message.SetImageFileName(dir.filePath("none.png"));
    message.Refresh();
    EXPECT_FALSE(message.BackImageAvailable());
    QFile junk(dir.filePath("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("junk");
    junk.close();
    message.SetImageFileName(dir.filePath("junk.png"));
    EXPECT_THROW(message.Refresh(), ERavlinError);
}

TEST_F(TexturePanelTest, MessageLifecycleFadingAndCentring) {
    TGLTextureMessage message(FPanel.get());
    message.SetText({"GAME OVER !!"});
    message.SetMessageZPosBase(6);
    EXPECT_EQ(message.GetMessageZPos(), 48);
    message.SetShowInCenter(true);
    message.Show();
    double x[4], y[4], z[4];
    message.TexItem()->GetDrawPosition(x, y, z);
    EXPECT_NEAR(x[0] + x[1], 0, 1e-3);
    EXPECT_NEAR(y[0] + y[3], 0, 1e-3);
    EXPECT_NEAR(z[0], 48, 1e-3);
    const QPointF w0 = WindowOf(x[0], y[0], z[0]);
    const QPointF w2 = WindowOf(x[2], y[2], z[2]);
    EXPECT_NEAR(w2.x() - w0.x(), message.Width(), 1e-3);
    EXPECT_NEAR(w2.y() - w0.y(), message.Height(), 1e-3);

    // Fading moves the message and fades it at draw time, never repainting
    // its texture: a text change made meanwhile shows at the next refresh.
    const int width = message.TexItem()->Width;
    const unsigned texture = message.TexItem()->TextureID();
    message.SetText({"GAME OVER !! GAME OVER !!"});
    const TGLArrayf3 before = message.TexItem()->Position;
    message.FadeAway(0, -1, 1, 0);
    EXPECT_FLOAT_EQ(message.TexItem()->Position.x, before.x - 1);
    EXPECT_FLOAT_EQ(message.TexItem()->Position.y, before.y + 1);
    EXPECT_EQ(message.TexItem()->Width, width);
    message.FadeAway(0.1f, 0, 0, 0);
    EXPECT_EQ(message.TexItem()->Width, width);
    EXPECT_EQ(message.TexItem()->TextureID(), texture);
    EXPECT_FLOAT_EQ(message.TexItem()->DrawAlphaScale, 0.9f);
    message.Refresh();
    EXPECT_GT(message.TexItem()->Width, width);
    for (int i = 0; i < 15; ++i)
        message.FadeAway(0.1f, 0, 0, 0);
    EXPECT_FLOAT_EQ(message.Transparency(), 1);
    EXPECT_FLOAT_EQ(message.TexItem()->DrawAlphaScale, 0);

    int closed = 0;
    message.OnClose = [&](TGLTextureMessage* sender) {
        EXPECT_EQ(sender, &message);
        ++closed;
    };
    message.IncTimerTick();
    message.IncTimerTick();
    EXPECT_EQ(message.TimerTick(), 2);
    message.Close();
    EXPECT_FALSE(message.Visible());
    EXPECT_EQ(closed, 1);
    message.Show();
    EXPECT_EQ(message.TimerTick(), 0);
}

TEST_F(TexturePanelTest, MessageTransparencyAndColoursOnScreen) {
    TGLTextureMessage message(FPanel.get());
    QFont font("DejaVu Sans", 40);
    font.setBold(true);
    message.SetFont(font);
    message.SetFontColor(RGBColor(255, 0, 0));
    message.SetText({"HH"});
    message.SetShowInCenter(true);
    message.TexItem()->SetAlpha(1);

    // Opaque white box with the red-to-yellow letters.
    message.Show();
    QImage frame = Frame([&] { message.TexItem()->Draw(); });
    const int left = 200 - message.Width() / 2;
    const int topRow = 150 - message.Height() / 2;
    EXPECT_EQ(frame.pixelColor(left + 3, topRow + 3), QColor(255, 255, 255));
    bool outlined = false;
    for (int x = left; x < left + message.Width(); ++x)
        outlined = outlined || frame.pixelColor(x, 150) == QColor(0, 0, 128);
    EXPECT_TRUE(outlined);

    // Transparent: the white background disappears, the letters stay.
    message.SetTransparent(true);
    message.Show();
    frame = Frame([&] { message.TexItem()->Draw(); });
    EXPECT_EQ(frame.pixelColor(left + 3, topRow + 3), QColor(0, 0, 0));
    outlined = false;
    for (int x = left; x < left + message.Width(); ++x)
        outlined = outlined || frame.pixelColor(x, 150) == QColor(0, 0, 128);
    EXPECT_TRUE(outlined);

    // Half faded: the navy outline shows at half strength over black.
    message.FadeAway(0.5f, 0, 0, 0);
    frame = Frame([&] { message.TexItem()->Draw(); });
    bool halfOutlined = false;
    bool fullOutlined = false;
    // The frame's colours as the screen shows them: premultiplied, alpha
    // ignored.
    if (frame.format() == QImage::Format_ARGB32_Premultiplied)
        frame.reinterpretAsFormat(QImage::Format_RGB32);
    for (int x = left; x < left + message.Width(); ++x) {
        const QRgb c = frame.pixel(x, 150);
        halfOutlined =
            halfOutlined || (qRed(c) == 0 && qGreen(c) == 0 && std::abs(qBlue(c) - 64) <= 2);
        fullOutlined = fullOutlined || (c & 0xFFFFFF) == 0x000080u;
    }
    EXPECT_TRUE(halfOutlined);
    EXPECT_FALSE(fullOutlined);
}

TEST(TextOutWithOutLine, OutlinesAndShadesEachCharacterWithinTheCanvas) {
    QImage canvas(120, 60, QImage::Format_ARGB32);
    canvas.fill(qRgba(255, 255, 255, 77));
    QFont font("DejaVu Sans", 28);
    font.setBold(true);
    TGLTextureMessage::TextOutWithOutLine(canvas, font, RGBColor(255, 0, 0), 4, 2, "IH",
                                          RGBColor(0, 0, 128), RGBColor(255, 255, 0), 2);
    QFont plain = font;
    plain.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(plain);
    const int end = 4 + metrics.horizontalAdvance("I") + metrics.horizontalAdvance("H") + 8;

    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb p = canvas.pixel(x, y);
            EXPECT_EQ(qAlpha(p), 77);
            if (x >= end) {
                EXPECT_EQ(p & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
            }
        }
    EXPECT_GT(CountPixels(canvas, [](QRgb p) { return (p & 0xFFFFFF) == 0x000080u; }), 0);
    // Fill pixels: red 255, blue 0, green falling from top to bottom (judged
    // by the leftmost fill pixel of the top and of the bottom row).
    const auto isFill = [](QRgb p) { return qRed(p) == 255 && qBlue(p) == 0 && qGreen(p) < 255; };
    const QRect fill = PixelBounds(canvas, canvas.rect(), isFill);
    ASSERT_TRUE(fill.isValid());
    const auto greenAtRow = [&](int y) {
        const QRect row = PixelBounds(canvas, QRect(0, y, canvas.width(), 1), isFill);
        return qGreen(canvas.pixel(row.left(), y));
    };
    EXPECT_GT(greenAtRow(fill.top()), 128);
    EXPECT_LT(greenAtRow(fill.bottom()), 128);

    // Drawing past the edges is clipped.
    TGLTextureMessage::TextOutWithOutLine(canvas, font, RGBColor(255, 0, 0), 100, 40, "HHHH",
                                          RGBColor(0, 0, 128), RGBColor(255, 255, 0), 2);
    TGLTextureMessage::TextOutWithOutLine(canvas, font, RGBColor(255, 0, 0), -30, -30, "H",
                                          RGBColor(0, 0, 128), RGBColor(255, 255, 0), 2);
}

TEST_F(TexturePanelTest, AnimationCellsCountFromTheTopOfTheSheet) {
    // A 2 x 2 sheet: top row red, green; bottom row blue, white.
    QTemporaryDir dir;
    QImage sheet(64, 64, QImage::Format_RGB32);
    const QColor cells[2][2] = {{Qt::red, Qt::green}, {Qt::blue, Qt::white}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    sheet.setPixelColor(col * 32 + x, row * 32 + y, cells[row][col]);
    ASSERT_TRUE(sheet.save(dir.filePath("sheet.png")));

    TGLTextureAnimation animation(FPanel.get());
    animation.SetHorzTextureCount(2); // no texture yet: no size
    EXPECT_EQ(animation.TexturePanel()->Width, 0);
    animation.AddTexture(dir.filePath("sheet.png"));
    EXPECT_EQ(animation.TextureList().Items(0)->MaterialName, "AniTexture_1");
    animation.SetHorzTextureCount(1);
    animation.SetHorzTextureCount(2);
    animation.SetVertTextureCount(2);
    animation.SetScale(3);
    EXPECT_EQ(animation.TexturePanel()->Width, 96);
    EXPECT_EQ(animation.TexturePanel()->Height, 96);
    animation.TexturePanel()->SetAlpha(1);
    animation.TexturePanel()->LinePos = lpCenter;

    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) {
            const QImage frame = Frame([&] { animation.Draw(0, col, row, 0, 0, 0); });
            EXPECT_EQ(frame.pixelColor(200, 150), cells[row][col]) << row << "," << col;
        }
    const QImage nothing = Frame([&] {
        animation.Draw(0, 2, 0, 0, 0, 0);
        animation.Draw(0, 0, 2, 0, 0, 0);
        animation.Draw(1, 0, 0, 0, 0, 0);
        animation.Draw(0, -1, 0, 0, 0, 0);
    });
    EXPECT_EQ(CountNot(nothing, qRgb(0, 0, 0), QRect()), 0);
}
