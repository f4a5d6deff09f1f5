#include "gl/GLPanel.h"

#include "gl/GLARBFunctions.h"

#include <cmath>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

namespace {

// A panel whose double-click question is answered by the test.
class TAnsweringPanel : public TGLPanel {
public:
    bool Answer = true;
    int Questions = 0;

protected:
    bool ConfirmInitTransform() override {
        ++Questions;
        return Answer;
    }
};

std::unique_ptr<TAnsweringPanel> ShownPanel(int w = 400, int h = 300) {
    auto panel = std::make_unique<TAnsweringPanel>();
    panel->resize(w, h);
    panel->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    return panel;
}

// Waits (by processing events) until the condition holds or 5 s passed.
template <typename F> bool EventuallyTrue(F condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 5000)
        QTest::qWait(10);
    return condition();
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &event);
}

void SendWheel(QWidget* w, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWheelEvent event(QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

void SendKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &event);
}

// A square of side 2s centred on (cx, cy) at depth z, facing the viewer.
void Square(float cx, float cy, float z, float s) {
    glBegin(GL_QUADS);
    glVertex3f(cx - s, cy - s, z);
    glVertex3f(cx + s, cy - s, z);
    glVertex3f(cx + s, cy + s, z);
    glVertex3f(cx - s, cy + s, z);
    glEnd();
}

// Runs one picking pass with the cursor at `pos` (panel coordinates).
int PickAt(TGLPanel* panel, QPoint pos, const std::function<void()>& draw) {
    QCursor::setPos(panel->mapToGlobal(pos));
    EventuallyTrue([&] { return panel->mapFromGlobal(QCursor::pos()) == pos; });
    panel->SetGLModes(true);
    glLoadIdentity();
    draw();
    const int picked = panel->EndSelection();
    panel->SetGLModes(false);
    return picked;
}

} // namespace

// Creates a panel as on a driver that draws in hardware and offers
// multisampling (Mesa's software renderer offers it too, but the panels
// decline it there).
std::unique_ptr<TGLPanel> ShownPanelOnHardware() {
    EXPECT_TRUE(ProbeGLARBFunctions());
    const bool software = GLARBFunctions().SoftwareRenderer;
    GLARBFunctions().SoftwareRenderer = false;
    auto panel = ShownPanel();
    GLARBFunctions().SoftwareRenderer = software;
    return panel;
}

TEST(GLPanel, StartsWithAContextTheDocumentedDefaultsAndMultisampling) {
    auto panel = ShownPanelOnHardware();
    EXPECT_TRUE(panel->GLInitialized());
    EXPECT_FALSE(panel->GetGLVersion().isEmpty());
    EXPECT_EQ(panel->ClearColor(), RGBColor(166, 202, 240));
    EXPECT_FLOAT_EQ(panel->Scale(), 0.3f);
    EXPECT_EQ(panel->LazyDrawInterval(), 220);
    EXPECT_TRUE(panel->AllowRotationByDX());
    EXPECT_TRUE(panel->AllowInitTransformByDblClick());
    EXPECT_FALSE(panel->FixImeModeToEnglish());
    // Mesa's software renderer offers multisampled frame buffers.
    ASSERT_GT(GLARBFunctions().MaxSamples, 0);
    EXPECT_TRUE(panel->MultiSamplingSupported());
    EXPECT_GT(panel->FrameSamples(), 0);
    EXPECT_LE(panel->FrameSamples(), 8);
    EXPECT_EQ(panel->AntiAliasQuality(), aaq8X);
    panel->SetGLModes(false);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
}

TEST(GLPanel, DeclinesMultisamplingOnASoftwareRenderer) {
    EXPECT_TRUE(IsSoftwareRendererName(QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)")));
    EXPECT_TRUE(IsSoftwareRendererName(QStringLiteral("Mesa X11 Software Rasterizer")));
    EXPECT_FALSE(IsSoftwareRendererName(QStringLiteral("AMD Radeon RX 6600 (radeonsi)")));

    ASSERT_TRUE(ProbeGLARBFunctions());
    const bool software = GLARBFunctions().SoftwareRenderer;
    GLARBFunctions().SoftwareRenderer = true;
    auto panel = ShownPanel();
    GLARBFunctions().SoftwareRenderer = software;
    EXPECT_EQ(panel->FrameSamples(), 0);
    EXPECT_FALSE(panel->MultiSamplingSupported());
    EXPECT_EQ(panel->AntiAliasQuality(), aaqNone);
}

TEST(GLPanel, WithoutMultisampledFormatsFallsBackAndLaterQualityOnlySwitchesRendering) {
    ASSERT_TRUE(ProbeGLARBFunctions());
    const int offered = GLARBFunctions().MaxSamples;
    GLARBFunctions().MaxSamples = 0; // a driver without multisampled formats
    auto panel = ShownPanel();
    GLARBFunctions().MaxSamples = offered;

    EXPECT_FALSE(panel->MultiSamplingSupported());
    EXPECT_EQ(panel->FrameSamples(), 0);
    EXPECT_EQ(panel->AntiAliasQuality(), aaqNone);
    panel->SetGLModes(false);
    EXPECT_FALSE(glIsEnabled(GL_MULTISAMPLE));

    panel->SetAntiAliasQuality(aaq8X);
    panel->SetGLModes(false);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    EXPECT_EQ(panel->FrameSamples(), 0);
    panel->SetGLModes(true); // never while picking
    EXPECT_FALSE(glIsEnabled(GL_MULTISAMPLE));
    panel->EndSelection();
}

TEST(GLPanel, PickingReturnsTheNearestNamedObjectOrMinusOne) {
    auto panel = ShownPanel();
    const QPoint centre(200, 150);

    // Two squares over the view centre; the one nearer the eye (z = 10) wins
    // whatever the order they are drawn in.
    const int nearFirst = PickAt(panel.get(), centre, [] {
        glPushName(2);
        Square(0, 0, 10, 5);
        glPopName();
        glPushName(1);
        Square(0, 0, 0, 5);
        glPopName();
    });
    EXPECT_EQ(nearFirst, 2);
    const int nearLast = PickAt(panel.get(), centre, [] {
        glPushName(1);
        Square(0, 0, 0, 5);
        glPopName();
        glPushName(2);
        Square(0, 0, 10, 5);
        glPopName();
    });
    EXPECT_EQ(nearLast, 2);

    // Equal depth: the record made first.
    const int tie = PickAt(panel.get(), centre, [] {
        glPushName(5);
        Square(0, 0, 0, 5);
        glPopName();
        glPushName(6);
        Square(0, 0, 0, 5);
        glPopName();
    });
    EXPECT_EQ(tie, 5);

    // Nothing under the cursor (the squares cover only the centre).
    const int miss = PickAt(panel.get(), QPoint(10, 10), [] {
        glPushName(3);
        Square(0, 0, 0, 5);
        glPopName();
    });
    EXPECT_EQ(miss, -1);

    // Hit records overflowing the 2048-entry buffer count as no hit.
    const int overflow = PickAt(panel.get(), centre, [] {
        for (int i = 0; i < 1000; ++i) {
            glPushName(GLuint(i));
            Square(0, 0, 0, 5);
            glPopName();
        }
    });
    EXPECT_EQ(overflow, -1);

    // Drawing outside any name leaves a record without names: not a pick.
    const int unnamed = PickAt(panel.get(), centre, [] {
        Square(0, 0, 20, 5);
        glPushName(9);
        Square(0, 0, 0, 5);
        glPopName();
    });
    EXPECT_EQ(unnamed, 9);
}

TEST(GLPanel, VisiblePlaneMatchesTheAnalyticFrustum) {
    auto panel = ShownPanel(400, 300);
    for (float z : {0.0f, -8.0f, -85.0f, 6.0f, 45.0f}) {
        float maxX = 0, maxY = 0, minX = 0, minY = 0;
        panel->GetVisiblePos(z, maxX, maxY, minX, minY);
        // Eye at z = 50 looking down -z, 55 degrees vertical field of view.
        const double halfH = (50.0 - z) * std::tan(27.5 * M_PI / 180.0);
        const double halfW = halfH * 400.0 / 300.0;
        EXPECT_NEAR(maxX, halfW, 0.01 * halfW) << "z = " << z;
        EXPECT_NEAR(maxY, halfH, 0.01 * halfH) << "z = " << z;
        EXPECT_NEAR(minX, -halfW, 0.01 * halfW) << "z = " << z;
        EXPECT_NEAR(minY, -halfH, 0.01 * halfH) << "z = " << z;
    }

    // A resize recomputes the public extent at DepthOfVisiblePos.
    panel->SetDepthOfVisiblePos(-30);
    int resized = 0;
    float seenMaxX = 0;
    panel->OnResize = [&](TGLPanel* sender) {
        ++resized;
        seenMaxX = sender->MaxVisibleX();
    };
    panel->resize(600, 300);
    ASSERT_TRUE(EventuallyTrue([&] { return resized > 0; }));
    const double halfH = 80.0 * std::tan(27.5 * M_PI / 180.0);
    EXPECT_NEAR(panel->MaxVisibleX(), 2 * halfH, 0.02 * halfH);
    EXPECT_NEAR(panel->MinVisibleY(), -halfH, 0.01 * halfH);
    EXPECT_FLOAT_EQ(seenMaxX, panel->MaxVisibleX());
    EXPECT_EQ(panel->MaxVisibleZ(), 0);
}

TEST(GLPanel, DrawSceneClearsToTheClearColourAndCallsTheClient) {
    auto panel = ShownPanel(200, 200);
    panel->SetClearColor(RGBColor(10, 200, 30));
    int draws = 0;
    panel->OnDrawScene = [&](TGLPanel*) {
        ++draws;
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glColor3f(1, 0, 0);
        Square(0, 0, 0, 3 / 0.3f); // covers the centre, under the 0.3 scale
    };
    const QImage frame = panel->grabFramebuffer();
    EXPECT_GE(draws, 1);
    EXPECT_EQ(frame.pixelColor(2, 2), QColor(10, 200, 30));
    EXPECT_EQ(frame.pixelColor(100, 100), QColor(255, 0, 0));
}

TEST(GLPanel, TranslucentDrawingLeavesTheFrameOpaque) {
    // A frame with alpha below 1 is mixed with whatever lies behind the
    // panel when the window system composes it.
    auto panel = ShownPanel(200, 200);
    panel->OnDrawScene = [&](TGLPanel*) {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1, 0, 0, 0.25f);
        Square(0, 0, 0, 3 / 0.3f);
    };
    const QImage frame = panel->grabFramebuffer();
    const QColor centre = frame.pixelColor(100, 100);
    EXPECT_EQ(centre.alpha(), 255);
    EXPECT_GT(centre.red(), 100) << "the translucent square was still blended in";
    EXPECT_EQ(frame.pixelColor(2, 2).alpha(), 255);
}

TEST(GLPanel, WheelScalesWithinLimitsAndCtrlWheelMovesInDepth) {
    auto panel = ShownPanel();
    int changes = 0;
    panel->OnScaleChange = [&](TGLPanel*) { ++changes; };

    panel->SetScale(0.01f);
    EXPECT_EQ(changes, 1);
    SendWheel(panel.get(), -120);
    EXPECT_FLOAT_EQ(panel->Scale(), 0.005f);
    EXPECT_EQ(changes, 2);
    SendWheel(panel.get(), -120);
    EXPECT_FLOAT_EQ(panel->Scale(), 0.005f);
    EXPECT_EQ(changes, 2);
    SendWheel(panel.get(), 240);
    EXPECT_NEAR(panel->Scale(), 0.015f, 1e-6);

    // Fine wheels: 40 + 40 + 40 is one notch, not three.
    const float before = panel->Scale();
    SendWheel(panel.get(), 40);
    SendWheel(panel.get(), 40);
    EXPECT_FLOAT_EQ(panel->Scale(), before);
    SendWheel(panel.get(), 40);
    EXPECT_NEAR(panel->Scale(), before + 0.01f, 1e-6);

    panel->SetAllowScaleByWheel(false);
    const float fixedScale = panel->Scale();
    SendWheel(panel.get(), -120);
    EXPECT_FLOAT_EQ(panel->Scale(), fixedScale);
    SendWheel(panel.get(), 120, Qt::ControlModifier);
    SendWheel(panel.get(), 120, Qt::ControlModifier);
    EXPECT_NEAR(panel->TransZ(), 0.4f, 1e-6);
    EXPECT_FLOAT_EQ(panel->Scale(), fixedScale);
}

TEST(GLPanel, DraggingRotatesOrTranslatesAndAlwaysResetsRotY) {
    auto panel = ShownPanel();
    panel->SetRotY(33);
    SendMouse(panel.get(), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel.get(), QEvent::MouseMove, {20, 30}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FLOAT_EQ(panel->RotX(), 4); // dy 20 / 5
    EXPECT_FLOAT_EQ(panel->RotZ(), 2); // dx 10 / 5
    EXPECT_FLOAT_EQ(panel->RotY(), 0);
    SendMouse(panel.get(), QEvent::MouseMove, {30, 10}, Qt::NoButton, Qt::LeftButton,
              Qt::ControlModifier);
    EXPECT_FLOAT_EQ(panel->TransX(), 0.5f); // dx 10 / 20
    EXPECT_FLOAT_EQ(panel->TransY(), 1.0f); // -(dy -20) / 20
    SendMouse(panel.get(), QEvent::MouseButtonRelease, {30, 10}, Qt::LeftButton, Qt::NoButton);
    SendMouse(panel.get(), QEvent::MouseMove, {90, 90}, Qt::NoButton, Qt::NoButton);
    EXPECT_FLOAT_EQ(panel->RotX(), 4);

    // Only vertical motion counts when horizontal rotation is off; RotY is
    // still reset.
    panel->SetAllowRotationByDX(false);
    panel->SetRotY(12);
    SendMouse(panel.get(), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel.get(), QEvent::MouseMove, {60, 15}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FLOAT_EQ(panel->RotZ(), 2);
    EXPECT_FLOAT_EQ(panel->RotX(), 5);
    EXPECT_FLOAT_EQ(panel->RotY(), 0);
    SendMouse(panel.get(), QEvent::MouseButtonRelease, {60, 15}, Qt::LeftButton, Qt::NoButton);
}

TEST(GLPanel, LazyDrawingDefersTheRedrawToTheTimer) {
    auto panel = ShownPanel();
    QTest::qWait(50);
    int draws = 0;
    panel->OnDrawScene = [&](TGLPanel*) { ++draws; };
    panel->SetLazyDrawOnMouseMove(true);
    panel->SetLazyDrawInterval(30);
    SendMouse(panel.get(), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    draws = 0;
    SendMouse(panel.get(), QEvent::MouseMove, {15, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(panel->LazyDrawOccured());
    EXPECT_TRUE(EventuallyTrue([&] { return !panel->LazyDrawOccured(); }));
    EXPECT_GE(draws, 1);
    SendMouse(panel.get(), QEvent::MouseButtonRelease, {15, 10}, Qt::LeftButton, Qt::NoButton);

    panel->SetLazyDrawOnMouseMove(false);
    SendMouse(panel.get(), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    draws = 0;
    SendMouse(panel.get(), QEvent::MouseMove, {10, 14}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(draws, 1);
    EXPECT_FALSE(panel->LazyDrawOccured());
    SendMouse(panel.get(), QEvent::MouseButtonRelease, {10, 14}, Qt::LeftButton, Qt::NoButton);
}

TEST(GLPanel, ArrowKeysMoveTheCameraAndKeysAlwaysReachTheClient) {
    auto panel = ShownPanel();
    int keys = 0;
    panel->OnKeyDown = [&](TGLPanel*, QKeyEvent*) { ++keys; };
    SendKey(panel.get(), Qt::Key_Left);
    SendKey(panel.get(), Qt::Key_Up);
    SendKey(panel.get(), Qt::Key_Up, Qt::ControlModifier);
    SendKey(panel.get(), Qt::Key_Down);
    SendKey(panel.get(), Qt::Key_Down);
    EXPECT_FLOAT_EQ(panel->TransX(), -5);
    EXPECT_FLOAT_EQ(panel->TransY(), -5);
    EXPECT_FLOAT_EQ(panel->TransZ(), -5);
    panel->SetScale(2);
    SendKey(panel.get(), Qt::Key_Home);
    EXPECT_FLOAT_EQ(panel->TransX(), 0);
    EXPECT_FLOAT_EQ(panel->TransZ(), 0);
    EXPECT_FLOAT_EQ(panel->Scale(), 0.3f);
    EXPECT_EQ(keys, 6);

    panel->SetAllowTransByArrowKey(false);
    SendKey(panel.get(), Qt::Key_Right);
    EXPECT_FLOAT_EQ(panel->TransX(), 0);
    EXPECT_EQ(keys, 7);
}

TEST(GLPanel, ClickAndDoubleClickWithTheTransformQuestion) {
    auto panel = ShownPanel();
    int clicks = 0;
    int doubleClicks = 0;
    int scaleChanges = 0;
    panel->OnClick = [&](TGLPanel*) { ++clicks; };
    panel->OnDblClick = [&](TGLPanel*) { ++doubleClicks; };
    panel->OnScaleChange = [&](TGLPanel*) { ++scaleChanges; };

    SendMouse(panel.get(), QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel.get(), QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    // Released outside the panel: no click.
    SendMouse(panel.get(), QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel.get(), QEvent::MouseButtonRelease, {-5, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);

    auto doubleClick = [&] {
        SendMouse(panel.get(), QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
        SendMouse(panel.get(), QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
        SendMouse(panel.get(), QEvent::MouseButtonDblClick, {50, 50}, Qt::LeftButton,
                  Qt::LeftButton);
        SendMouse(panel.get(), QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
    };

    panel->SetAllowInitTransformByDblClick(false);
    panel->SetTransX(7);
    clicks = 0;
    doubleClick();
    EXPECT_EQ(panel->Questions, 0);
    EXPECT_EQ(doubleClicks, 0);
    EXPECT_EQ(clicks, 1); // only the first press of the pair clicks
    EXPECT_FLOAT_EQ(panel->TransX(), 7);

    panel->SetAllowInitTransformByDblClick(true);
    panel->Answer = false;
    doubleClick();
    EXPECT_EQ(panel->Questions, 1);
    EXPECT_EQ(doubleClicks, 0);
    EXPECT_FLOAT_EQ(panel->TransX(), 7);

    panel->Answer = true;
    panel->SetScale(1.5f);
    scaleChanges = 0;
    doubleClick();
    EXPECT_EQ(panel->Questions, 2);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_FLOAT_EQ(panel->TransX(), 0);
    EXPECT_FLOAT_EQ(panel->Scale(), 0.3f);
    EXPECT_EQ(scaleChanges, 0); // the reset does not go through the setter
}

TEST(GLPanel, FixImeModeToEnglishKeepsInputMethodsOutWhileFocused) {
    auto panel = ShownPanel();
    panel->setAttribute(Qt::WA_InputMethodEnabled, true); // an owner enabled them
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(panel.get(), &focusIn);
    EXPECT_TRUE(panel->testAttribute(Qt::WA_InputMethodEnabled));

    int entered = 0;
    panel->OnEnter = [&](TGLPanel*) { ++entered; };
    panel->SetFixImeModeToEnglish(true);
    QApplication::sendEvent(panel.get(), &focusIn);
    EXPECT_FALSE(panel->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(entered, 1);

    // Set while the panel has the focus: applies at once.
    panel->SetFixImeModeToEnglish(false);
    panel->setAttribute(Qt::WA_InputMethodEnabled, true);
    panel->activateWindow();
    panel->setFocus();
    if (QTest::qWaitForWindowActive(panel.get()) && panel->hasFocus()) {
        panel->SetFixImeModeToEnglish(true);
        EXPECT_FALSE(panel->testAttribute(Qt::WA_InputMethodEnabled));
    }
}

TEST(GLPanel, AFrameDrawnOutsidePaintingIsTheFrameShown) {
    auto panel = ShownPanel();
    QColor colour(255, 0, 0);
    // A rectangle over the whole view (the clear colour stays the panel's).
    panel->OnDrawScene = [&](TGLPanel*) {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(GLfloat(colour.redF()), GLfloat(colour.greenF()), GLfloat(colour.blueF()));
        glRectf(-1, -1, 1, 1);
    };
    // Let a painted frame reach the screen first.
    panel->update();
    QTest::qWait(200);

    // A timer tick draws outside painting; the next paint must show that
    // frame, not a cleared buffer.
    colour = QColor(0, 255, 0);
    panel->DrawScene();
    EXPECT_EQ(panel->grabFramebuffer().pixelColor(200, 150), QColor(0, 255, 0));
}
