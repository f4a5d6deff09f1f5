#pragma once

#include "app/Colors.h"

#include <array>
#include <cstdint>
#include <functional>
#include <QOpenGLWidget>
#include <QSurfaceFormat>

class QTimer;

// Requested multisampling level; each maps to a largest sample count.
enum TAntiAliasQuality { aaqNone, aaq2X, aaq4X, aaq8X, aaq16X, aaq32X };

// 0, 2, 4, 8, 16 or 32.
int MaxSamplesOf(TAntiAliasQuality quality);

// The control every 3D scene is drawn on: one fixed-function OpenGL context
// (compatibility profile: client arrays, display lists, selection mode), a
// simple camera (translation, three rotation angles, one uniform scale) that
// mouse, wheel and keys may change, a frame cleared and presented around the
// client's OnDrawScene, picking through the selection buffer, and the
// visible rectangle of a chosen depth plane for stretching backdrops.
//
// The context exists from construction on, so that owners can load models
// and textures before the panel is first shown. Frames are drawn into the
// widget's (multisampled) frame buffer; ShowBuffers hands the finished frame
// to the window system.
class TGLPanel : public QOpenGLWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TGLPanel* Sender)>;
    using TMouseEvent = std::function<void(TGLPanel* Sender, QMouseEvent* Event)>;
    using TKeyEvent = std::function<void(TGLPanel* Sender, QKeyEvent* Event)>;

    static constexpr int kSelectBufferSize = 2048;

    // Throws ERavlinError with the context-creation messages when no usable
    // context can be made.
    explicit TGLPanel(QWidget* owner = nullptr);
    ~TGLPanel() override;

    // The surface format the panels and the start-up probe ask for.
    static QSurfaceFormat RequestedSurfaceFormat(int samples);

    void SetCurrentGLContext();
    void SetGLModes(bool isSelectMode);
    int EndSelection();
    void DrawScene();
    void ClearScreen();
    void ApplyTransform();
    void ApplyTranslation();
    void ApplyRotation();
    void ApplyScale();
    void ShowBuffers();
    void GetVisiblePos(float zPos, float& maxX, float& maxY, float& minX, float& minY);
    void DrawAxes();
    QString GetGLVersion();
    // All rotations and translations 0 and Scale 0.3, without OnScaleChange.
    void InitTransform();

    bool GLInitialized() const { return FGLInitialized; }
    bool MultiSamplingSupported() const { return FMultiSamplingSupported; }
    // Samples per pixel of the frame buffer (0 without multisampling).
    int FrameSamples() const { return FFrameSamples; }
    // The selection buffer as the last picking pass left it.
    const std::array<std::uint32_t, kSelectBufferSize>& SelectBuffer() const {
        return FSelectBuffer;
    }

    TColor ClearColor() const { return FClearColor; }
    void SetClearColor(TColor v) { FClearColor = v; }
    float RotX() const { return FRotX; }
    void SetRotX(float v) { FRotX = v; }
    float RotY() const { return FRotY; }
    void SetRotY(float v) { FRotY = v; }
    float RotZ() const { return FRotZ; }
    void SetRotZ(float v) { FRotZ = v; }
    float TransX() const { return FTransX; }
    void SetTransX(float v) { FTransX = v; }
    float TransY() const { return FTransY; }
    void SetTransY(float v) { FTransY = v; }
    float TransZ() const { return FTransZ; }
    void SetTransZ(float v) { FTransZ = v; }
    float Scale() const { return FScale; }
    void SetScale(float v);
    bool AllowRotationByDX() const { return FAllowRotationByDX; }
    void SetAllowRotationByDX(bool v) { FAllowRotationByDX = v; }
    bool AllowRotationByDY() const { return FAllowRotationByDY; }
    void SetAllowRotationByDY(bool v) { FAllowRotationByDY = v; }
    bool AllowTransByArrowKey() const { return FAllowTransByArrowKey; }
    void SetAllowTransByArrowKey(bool v) { FAllowTransByArrowKey = v; }
    bool AllowScaleByWheel() const { return FAllowScaleByWheel; }
    void SetAllowScaleByWheel(bool v) { FAllowScaleByWheel = v; }
    bool AllowInitTransformByDblClick() const { return FAllowInitTransformByDblClick; }
    void SetAllowInitTransformByDblClick(bool v) { FAllowInitTransformByDblClick = v; }
    bool FixImeModeToEnglish() const { return FFixImeModeToEnglish; }
    void SetFixImeModeToEnglish(bool v);
    float DepthOfVisiblePos() const { return FDepthOfVisiblePos; }
    void SetDepthOfVisiblePos(float v) { FDepthOfVisiblePos = v; }
    TAntiAliasQuality AntiAliasQuality() const { return FAntiAliasQuality; }
    void SetAntiAliasQuality(TAntiAliasQuality v) { FAntiAliasQuality = v; }
    bool LazyDrawOnMouseMove() const { return FLazyDrawOnMouseMove; }
    void SetLazyDrawOnMouseMove(bool v) { FLazyDrawOnMouseMove = v; }
    int LazyDrawInterval() const { return FLazyDrawInterval; }
    void SetLazyDrawInterval(int v);
    bool LazyDrawOccured() const { return FLazyDrawOccured; }

    float MaxVisibleX() const { return FMaxVisibleX; }
    float MaxVisibleY() const { return FMaxVisibleY; }
    float MaxVisibleZ() const { return FMaxVisibleZ; }
    float MinVisibleX() const { return FMinVisibleX; }
    float MinVisibleY() const { return FMinVisibleY; }
    float MinVisibleZ() const { return FMinVisibleZ; }

    TNotifyEvent OnDrawScene;
    TNotifyEvent OnScaleChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

protected:
    // Asks whether a double click may reset the transform; a message box
    // here, replaceable where no one can answer one.
    virtual bool ConfirmInitTransform();

    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void CreateContext();
    void SetupLights();
    void LazyDrawTimerTick();
    // Keeps the desktop input method out of the panel: with input methods
    // disabled on the widget, key presses arrive as plain Latin keys (the
    // alphanumeric conversion mode), and a composition in progress is
    // dropped.
    void ApplyImeModeToEnglish();
    void LeftButtonDown(QMouseEvent* event);
    int PixelWidth() const;
    int PixelHeight() const;

    bool FGLInitialized = false;
    bool FMouseDowned = false;
    bool FMultiSamplingSupported = false;
    QPoint FPrevMousePos;
    float FRotX = 0;
    float FRotY = 0;
    float FRotZ = 0;
    float FScale = 0.3f;
    std::array<std::uint32_t, kSelectBufferSize> FSelectBuffer{};
    float FTransZ = 0;
    float FTransX = 0;
    float FTransY = 0;
    TAntiAliasQuality FAntiAliasQuality = aaq8X;
    bool FLazyDrawOnMouseMove = false;
    QTimer* FLazyDrawTimer = nullptr;
    bool FLazyDrawOccured = false;
    int FLazyDrawInterval = 220;
    TColor FClearColor = RGBColor(166, 202, 240);
    bool FFixImeModeToEnglish = false;
    bool FAllowRotationByDX = true;
    bool FAllowRotationByDY = true;
    bool FAllowTransByArrowKey = true;
    bool FAllowScaleByWheel = true;
    bool FAllowInitTransformByDblClick = true;
    float FMaxVisibleZ = 0;
    float FMaxVisibleX = 0;
    float FMaxVisibleY = 0;
    float FMinVisibleZ = 0;
    float FMinVisibleX = 0;
    float FMinVisibleY = 0;
    float FDepthOfVisiblePos = 0;

    int FFrameSamples = 0;
    // A frame was drawn outside paintGL and waits to be composed: the next
    // paint shows it instead of drawing again.
    bool FFrameReady = false;
    bool FInPaintGL = false;
    // The press that began a double click produces no OnClick on release.
    bool FDoubleClicked = false;
    bool FLeftPressed = false;
    // Wheel movement not yet amounting to a whole notch.
    int FWheelRemainder = 0;
    bool FSelecting = false;
};
