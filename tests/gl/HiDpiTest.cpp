// The GL panel on a scaled screen. These checks hold at any scale; the test
// program runs them once at the screen's own scale and once more with
// QT_SCALE_FACTOR=2 (ctest entry "gl_hidpi"), where a scene drawn at logical
// size fills only a quarter of the frame buffer and a pick that forgets the
// scale lands on another object.

#include "gl/GLPanel.h"
#include "gl/GLTexturePanelItem.h"
#include "ImageTestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QCursor>
#include <QElapsedTimer>
#include <QTest>

namespace {

constexpr int kColumns = 4;
constexpr int kRows = 3;
constexpr int kPanelWidth = 400;
constexpr int kPanelHeight = 300;

class HiDpiTest : public testing::Test {
protected:
    void SetUp() override {
        FPanel = std::make_unique<TGLPanel>();
        FPanel->resize(kPanelWidth, kPanelHeight);
        FPanel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FPanel.get()));
        FPanel->SetClearColor(RGBColor(0, 0, 0));
        FPanel->SetGLModes(false);
        FPanel->GetVisiblePos(0, FMaxX, FMaxY, FMinX, FMinY);
    }

    // The scale the run asks for: QT_SCALE_FACTOR, else 1.
    static double ExpectedRatio() {
        const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
        return factor.isEmpty() ? 1.0 : factor.toDouble();
    }

    // The depth-0 plane split into kColumns x kRows cells, named 1, 2, ...
    // row by row from the top left, each in its own colour.
    void DrawCells(bool named) {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        const float w = (FMaxX - FMinX) / kColumns;
        const float h = (FMaxY - FMinY) / kRows;
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const int name = row * kColumns + column + 1;
                if (named)
                    glPushName(GLuint(name));
                glColor3ub(GLubyte(40 * column + 60), GLubyte(60 * row + 60), 200);
                const float left = FMinX + column * w;
                const float top = FMaxY - row * h;
                glRectf(left, top - h, left + w, top);
                if (named)
                    glPopName();
            }
        }
    }

    // The cell under the pointer at `pos` (logical panel coordinates).
    int PickAt(QPoint pos) {
        QCursor::setPos(FPanel->mapToGlobal(pos));
        QElapsedTimer timer;
        timer.start();
        while (FPanel->mapFromGlobal(QCursor::pos()) != pos && timer.elapsed() < 5000)
            QTest::qWait(10);
        FPanel->SetGLModes(true);
        glLoadIdentity();
        DrawCells(true);
        const int picked = FPanel->EndSelection();
        FPanel->SetGLModes(false);
        return picked;
    }

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

    std::unique_ptr<TGLPanel> FPanel;
    float FMaxX = 0, FMaxY = 0, FMinX = 0, FMinY = 0;
};

} // namespace

TEST_F(HiDpiTest, SceneFillsTheFrameBufferAtDevicePixels) {
    const double ratio = FPanel->devicePixelRatioF();
    EXPECT_DOUBLE_EQ(ratio, ExpectedRatio());

    GLint viewport[4] = {};
    FPanel->SetGLModes(false);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], qRound(kPanelWidth * ratio));
    EXPECT_EQ(viewport[3], qRound(kPanelHeight * ratio));

    const QImage frame = Frame([this] { DrawCells(false); });
    ASSERT_EQ(frame.size(), QSize(viewport[2], viewport[3]));
    // Every corner of the frame buffer shows its cell, not the black clear
    // colour: the cells cover the whole view at device resolution.
    const int w = frame.width(), h = frame.height();
    EXPECT_EQ(frame.pixelColor(2, 2), QColor(60, 60, 200));
    EXPECT_EQ(frame.pixelColor(w - 3, 2), QColor(180, 60, 200));
    EXPECT_EQ(frame.pixelColor(2, h - 3), QColor(60, 180, 200));
    EXPECT_EQ(frame.pixelColor(w - 3, h - 3), QColor(180, 180, 200));
    EXPECT_EQ(CountPixels(frame, [](QRgb p) { return (p & 0xFFFFFF) == 0; }), 0);
}

TEST_F(HiDpiTest, PickingHitsTheCellUnderThePointer) {
    const int cellW = kPanelWidth / kColumns;
    const int cellH = kPanelHeight / kRows;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int name = row * kColumns + column + 1;
            const int left = column * cellW, top = row * cellH;
            // The centre, and points just inside two opposite corners, where
            // a pick off by the scale or by a pixel row would find the
            // neighbour.
            for (const QPoint p :
                 {QPoint(left + cellW / 2, top + cellH / 2), QPoint(left + 5, top + 5),
                  QPoint(left + cellW - 6, top + cellH - 6)})
                EXPECT_EQ(PickAt(p), name) << "pointer at " << p.x() << "," << p.y();
        }
    }
}

TEST_F(HiDpiTest, CalloutsKeepTheirSizeRelativeToTheScene) {
    const double ratio = FPanel->devicePixelRatioF();
    TGLTexturePanelItem item(FPanel.get(), "Callout", 0, 0, 0);
    item.OnDrawTextureItem = [](TGLTexturePanelItem*, QImage& bitmap) {
        bitmap = QImage(80, 40, QImage::Format_ARGB32);
        bitmap.fill(Qt::white);
    };
    item.LinePos = lpCenter;
    item.SphereRadius = 0;
    const QImage frame = Frame([&] { item.Draw(); });
    const QRect bounds = PixelBounds(frame, frame.rect(), [](QRgb p) { return qRed(p) > 128; });
    // 80 x 40 logical pixels, as wide against the 400 x 300 view at any scale.
    EXPECT_NEAR(bounds.width(), 80 * ratio, 2);
    EXPECT_NEAR(bounds.height(), 40 * ratio, 2);
    EXPECT_NEAR(bounds.center().x(), frame.width() / 2.0, 2);
}
