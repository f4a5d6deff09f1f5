#include "gl/GLPanel.h"

#include "app/RavlinError.h"
#include "gl/GLARBFunctions.h"

#include <algorithm>
#include <GL/gl.h>
#include <GL/glu.h>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTimer>
#include <QWheelEvent>

#ifndef GL_MULTISAMPLE
#define GL_MULTISAMPLE 0x809D
#endif
#ifndef GL_SAMPLES
#define GL_SAMPLES 0x80A9
#endif
#ifndef GL_FRAMEBUFFER_BINDING
#define GL_FRAMEBUFFER_BINDING 0x8CA6
#endif
#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#endif
#ifndef GL_SEPARATE_SPECULAR_COLOR
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif

int MaxSamplesOf(TAntiAliasQuality quality) {
    switch (quality) {
    case aaqNone:
        return 0;
    case aaq2X:
        return 2;
    case aaq4X:
        return 4;
    case aaq8X:
        return 8;
    case aaq16X:
        return 16;
    case aaq32X:
        return 32;
    }
    return 0;
}

QSurfaceFormat TGLPanel::RequestedSurfaceFormat(int samples) {
    // The classic format: RGBA with alpha, double buffered, depth and
    // stencil, on a context that keeps the fixed-function pipeline.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSamples(samples);
    return format;
}

TGLPanel::TGLPanel(QWidget* owner)
    : QOpenGLWidget(owner) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Frames drawn outside paintGL (timer ticks, input) wait in the frame
    // buffer for the next paint; by default the widget would discard the
    // buffer's content before every paint once a frame had been shown.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    CreateContext();
    InitTransform();
    SetGLModes(false);
    SetupLights();

    FLazyDrawTimer = new QTimer(this);
    FLazyDrawTimer->setInterval(FLazyDrawInterval);
    connect(FLazyDrawTimer, &QTimer::timeout, this, [this] { LazyDrawTimerTick(); });
    FLazyDrawTimer->start();
}

TGLPanel::~TGLPanel() {
    FGLInitialized = false;
    if (FSelecting && context() && QOpenGLContext::currentContext() == context())
        glRenderMode(GL_RENDER);
    // The context itself goes with the widget.
}

void TGLPanel::CreateContext() {
    ProbeGLARBFunctions();
    // Best format: the most samples the driver offers cheaply, up to what
    // eight-fold quality allows. The quality always asked for at
    // construction is eight-fold; a value set later only switches
    // multisampling on or off.
    const int samples = PreferredSamples(MaxSamplesOf(aaq8X));
    setFormat(RequestedSurfaceFormat(samples));

    // Creates the context and the frame buffer now rather than at the first
    // show, so models and textures can be loaded right after construction.
    // The window that will show the panel must have its native window (and
    // with it the compositor's context) first: a context made before that
    // shares nothing with the compositor, which then cannot read the panel's
    // frames, and the panel stays black on screen although every frame is
    // drawn. Owners therefore create a panel with its final parent.
    (void)window()->winId();
    (void)grabFramebuffer();
    if (!context())
        throw ERavlinError(QStringLiteral("GLPanel's GetDC error.."));
    makeCurrent();
    if (QOpenGLContext::currentContext() != context() || !context()->isValid())
        throw ERavlinError(QStringLiteral("ChoosePixelFormat Error in [_WithoutMSAA]"));

    GLint frameSamples = 0;
    glGetIntegerv(GL_SAMPLES, &frameSamples);
    if (glGetError() != GL_NO_ERROR)
        frameSamples = 0;
    FFrameSamples = frameSamples;
    FMultiSamplingSupported = frameSamples > 0;
    if (!FMultiSamplingSupported)
        FAntiAliasQuality = aaqNone;
    FGLInitialized = true;
}

void TGLPanel::SetupLights() {
    SetCurrentGLContext();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glEnable(GL_LIGHTING);
    for (int i = 0; i < 4; ++i)
        glDisable(GL_LIGHT0 + i);

    const GLfloat position0[] = {-100, 100, 50, 1};
    const GLfloat ambient0[] = {0.5f, 0.5f, 0.5f, 1};
    const GLfloat diffuse0[] = {0.5f, 0.5f, 0.5f, 1};
    const GLfloat white[] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position0);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse0);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnable(GL_LIGHT0);

    const GLfloat position1[] = {100, 100, -50, 1};
    const GLfloat ambient1[] = {0.25f, 0.25f, 0.25f, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, position1);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_SPECULAR, white);
    glEnable(GL_LIGHT1);

    const GLfloat position2[] = {-50, -50, -100, 0};
    const GLfloat ambient2[] = {0.22f, 0.22f, 0.22f, 1};
    const GLfloat diffuse2[] = {0.5f, 0.5f, 0.5f, 1};
    glLightfv(GL_LIGHT2, GL_POSITION, position2);
    glLightfv(GL_LIGHT2, GL_AMBIENT, ambient2);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, diffuse2);

    const GLfloat globalAmbient[] = {0.05f, 0.05f, 0.05f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glPopMatrix();
}

// The frame buffer's size in device pixels, rounded as the widget rounds it
// when it sizes the buffer (a fractional scale such as 1.5 must not leave a
// row or column of the buffer outside the viewport).
int TGLPanel::PixelWidth() const {
    return std::max(1, qRound(width() * devicePixelRatioF()));
}

int TGLPanel::PixelHeight() const {
    return std::max(1, qRound(height() * devicePixelRatioF()));
}

void TGLPanel::SetCurrentGLContext() {
    if (!context())
        return;
    if (QOpenGLContext::currentContext() != context()) {
        makeCurrent();
        return;
    }
    // Our context may be current with another frame buffer bound (a grab,
    // an offscreen pass); drawing must go to the panel's own.
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    if (GLuint(bound) != defaultFramebufferObject())
        makeCurrent();
}

void TGLPanel::SetGLModes(bool isSelectMode) {
    SetCurrentGLContext();
    if (!FGLInitialized)
        return;
    const int w = PixelWidth();
    const int h = PixelHeight();

    if (FSelecting) {
        // A picking pass that was never ended: drop it so the projection
        // stack does not grow.
        glRenderMode(GL_RENDER);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        FSelecting = false;
    }

    glViewport(0, 0, w, h);
    if (isSelectMode) {
        // The pointer's logical pixel covers ratio x ratio device pixels;
        // the pick region is centred on it (window y grows upwards) and is
        // five logical pixels wide at any scale.
        const qreal ratio = devicePixelRatioF();
        const QPoint pointer = mapFromGlobal(QCursor::pos());
        const double pickX = (pointer.x() + 0.5) * ratio;
        const double pickY = h - (pointer.y() + 0.5) * ratio;
        glSelectBuffer(kSelectBufferSize, FSelectBuffer.data());
        glRenderMode(GL_SELECT);
        FSelecting = true;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluPickMatrix(pickX, pickY, 5 * ratio, 5 * ratio, viewport);
        glInitNames();
    } else {
        glRenderMode(GL_RENDER);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
    }

    gluPerspective(55, double(w) / double(h), 0.1, 1000);
    gluLookAt(0, 0, 50, 0, 0, 0, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_LIGHT0);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 80);

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glDisable(GL_POLYGON_SMOOTH);
    if (isSelectMode) {
        glDisable(GL_BLEND);
        glDisable(GL_LINE_SMOOTH);
        glShadeModel(GL_FLAT);
        glDisable(GL_NORMALIZE);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_TEXTURE_2D);
        glHint(GL_LINE_SMOOTH_HINT, GL_DONT_CARE);
        glHint(GL_POLYGON_SMOOTH_HINT, GL_DONT_CARE);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glDisable(GL_LIGHTING);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_LINE_SMOOTH);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_NORMALIZE);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glEnable(GL_LIGHTING);
    }

    if (!isSelectMode && FAntiAliasQuality != aaqNone)
        glEnable(GL_MULTISAMPLE);
    else
        glDisable(GL_MULTISAMPLE);
}

int TGLPanel::EndSelection() {
    SetCurrentGLContext();
    if (!FSelecting)
        return -1;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    const GLint hits = glRenderMode(GL_RENDER);
    FSelecting = false;
    // No hit, or more hit records than the buffer holds (-1): nothing picked.
    if (hits <= 0)
        return -1;

    // Records: name count, minimum depth, maximum depth, names. The nearest
    // record by minimum depth wins; ties go to the earlier one. Records
    // without names name nothing and are passed over.
    int result = -1;
    bool found = false;
    std::uint32_t nearest = 0;
    std::size_t pos = 0;
    for (GLint i = 0; i < hits; ++i) {
        if (pos + 3 > FSelectBuffer.size())
            break;
        const std::uint32_t nameCount = FSelectBuffer[pos];
        const std::uint32_t minDepth = FSelectBuffer[pos + 1];
        if (nameCount > FSelectBuffer.size() - pos - 3)
            break;
        if (nameCount > 0 && (!found || minDepth < nearest)) {
            found = true;
            nearest = minDepth;
            result = int(FSelectBuffer[pos + 3]);
        }
        pos += 3 + nameCount;
    }
    return result;
}

void TGLPanel::DrawScene() {
    FLazyDrawOccured = false;
    if (!FGLInitialized)
        return;
    SetCurrentGLContext();
    ClearScreen();
    ApplyTransform();
    {
        // The frame stays opaque: translucent clouds, rain or fingers blended
        // into it would lower its alpha, and the window system would then
        // show the panel mixed with whatever lies behind it instead of what
        // was drawn. The cleared alpha of 1 is kept for the whole frame.
        struct TOpaqueFrame {
            TOpaqueFrame() { glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE); }
            ~TOpaqueFrame() { glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE); }
        } opaque;
        if (OnDrawScene)
            OnDrawScene(this);
        else
            DrawAxes();
    }
    ShowBuffers();
}

void TGLPanel::ClearScreen() {
    SetCurrentGLContext();
    const QColor color = ToQColor(FClearColor);
    glClearColor(GLfloat(color.redF()), GLfloat(color.greenF()), GLfloat(color.blueF()), 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void TGLPanel::ApplyTransform() {
    ApplyTranslation();
    ApplyRotation();
    ApplyScale();
}

void TGLPanel::ApplyTranslation() {
    glTranslatef(FTransX, FTransY, FTransZ);
}

void TGLPanel::ApplyRotation() {
    glRotatef(FRotX, 1, 0, 0);
    glRotatef(FRotY, 0, 1, 0);
    glRotatef(FRotZ, 0, 0, 1);
}

void TGLPanel::ApplyScale() {
    glScalef(FScale, FScale, FScale);
}

void TGLPanel::ShowBuffers() {
    SetCurrentGLContext();
    glFlush();
    // Inside paintGL the widget presents the frame itself. Elsewhere (timer
    // ticks, input) the frame waits in the frame buffer for the next paint,
    // which shows it without drawing again.
    if (!FInPaintGL) {
        FFrameReady = true;
        update();
    }
}

void TGLPanel::GetVisiblePos(float zPos, float& maxX, float& maxY, float& minX, float& minY) {
    if (!FGLInitialized)
        return;
    SetCurrentGLContext();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);

    // The window depth of the plane at the view centre: what drawing a
    // triangle on the plane across the centre and reading back the centre
    // pixel gives, computed directly (a multisampled frame buffer cannot be
    // read back). A plane outside the view volume leaves the cleared depth 1.
    GLdouble wx = 0;
    GLdouble wy = 0;
    GLdouble depth = 1;
    if (gluProject(0, 0, zPos, modelview, projection, viewport, &wx, &wy, &depth) != GL_TRUE ||
        depth < 0 || depth > 1)
        depth = 1;

    const double w = viewport[2];
    const double h = viewport[3];
    GLdouble x = 0;
    GLdouble y = 0;
    GLdouble z = 0;
    if (gluUnProject(w, h, depth, modelview, projection, viewport, &x, &y, &z) == GL_TRUE) {
        maxX = float(x);
        maxY = float(y);
    }
    if (gluUnProject(0, 0, depth, modelview, projection, viewport, &x, &y, &z) == GL_TRUE) {
        minX = float(x);
        minY = float(y);
    }
    glPopMatrix();
}

void TGLPanel::DrawAxes() {
    glBegin(GL_LINES);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(500, 0, 0);
    glColor3f(1, 1, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 500, 0);
    glColor3f(0, 1, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, 500);
    glEnd();
}

QString TGLPanel::GetGLVersion() {
    if (!FGLInitialized)
        return {};
    SetCurrentGLContext();
    const GLubyte* version = glGetString(GL_VERSION);
    return version ? QString::fromLatin1(reinterpret_cast<const char*>(version)) : QString();
}

void TGLPanel::InitTransform() {
    FRotX = FRotY = FRotZ = 0;
    FTransX = FTransY = FTransZ = 0;
    FScale = 0.3f;
}

void TGLPanel::SetScale(float v) {
    if (v == FScale)
        return;
    FScale = v;
    if (OnScaleChange)
        OnScaleChange(this);
    DrawScene();
}

void TGLPanel::SetFixImeModeToEnglish(bool v) {
    FFixImeModeToEnglish = v;
    if (v && hasFocus())
        ApplyImeModeToEnglish();
}

void TGLPanel::ApplyImeModeToEnglish() {
    if (!testAttribute(Qt::WA_InputMethodEnabled))
        return;
    setAttribute(Qt::WA_InputMethodEnabled, false);
    if (hasFocus()) {
        QGuiApplication::inputMethod()->reset();
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }
}

void TGLPanel::SetLazyDrawInterval(int v) {
    FLazyDrawInterval = v;
    if (FLazyDrawTimer)
        FLazyDrawTimer->setInterval(std::max(1, v));
}

void TGLPanel::LazyDrawTimerTick() {
    if (FLazyDrawOccured) {
        FLazyDrawOccured = false;
        DrawScene();
    }
}

bool TGLPanel::ConfirmInitTransform() {
    return QMessageBox::question(this, QStringLiteral("확인"),
                                 QStringLiteral("변환을 초기화 할까요?"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TGLPanel::initializeGL() {}

void TGLPanel::resizeGL(int, int) {
    FFrameReady = false;
    if (!FGLInitialized)
        return;
    SetGLModes(false);
    GetVisiblePos(FDepthOfVisiblePos, FMaxVisibleX, FMaxVisibleY, FMinVisibleX, FMinVisibleY);
    if (OnResize)
        OnResize(this);
    DrawScene();
}

void TGLPanel::paintGL() {
    if (!FGLInitialized)
        return;
    if (FFrameReady) {
        FFrameReady = false;
        return;
    }
    FInPaintGL = true;
    try {
        DrawScene();
    } catch (...) {
        FInPaintGL = false;
        throw;
    }
    FInPaintGL = false;
}

void TGLPanel::LeftButtonDown(QMouseEvent* event) {
    FPrevMousePos = event->position().toPoint();
    FMouseDowned = true;
    FLeftPressed = true;
    setFocus(Qt::MouseFocusReason);
}

void TGLPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FDoubleClicked = false;
        LeftButtonDown(event);
    }
    if (OnMouseDown)
        OnMouseDown(this, event);
}

void TGLPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FMouseDowned = false;
        const bool clicked =
            FLeftPressed && !FDoubleClicked && rect().contains(event->position().toPoint());
        FLeftPressed = false;
        FDoubleClicked = false;
        if (clicked && OnClick)
            OnClick(this);
    }
    if (OnMouseUp)
        OnMouseUp(this, event);
}

void TGLPanel::mouseMoveEvent(QMouseEvent* event) {
    // A release that went elsewhere (to a dialog opened meanwhile) ends the
    // drag as well.
    if (FMouseDowned && !(event->buttons() & Qt::LeftButton))
        FMouseDowned = false;
    if (FMouseDowned) {
        const QPoint pos = event->position().toPoint();
        const int dx = FAllowRotationByDX ? pos.x() - FPrevMousePos.x() : 0;
        const int dy = FAllowRotationByDY ? pos.y() - FPrevMousePos.y() : 0;
        if (event->modifiers() & Qt::ControlModifier) {
            FTransX += float(dx) / 20;
            FTransY -= float(dy) / 20;
        } else {
            FRotX += float(dy) / 5;
            FRotY = 0;
            FRotZ += float(dx) / 5;
        }
        FPrevMousePos = pos;
        if (dx != 0 || dy != 0) {
            if (FLazyDrawOnMouseMove)
                FLazyDrawOccured = true;
            else
                DrawScene();
        }
    }
    if (OnMouseMove)
        OnMouseMove(this, event);
}

void TGLPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    FDoubleClicked = true;
    if (FAllowInitTransformByDblClick && ConfirmInitTransform()) {
        InitTransform();
        DrawScene();
        if (OnDblClick)
            OnDblClick(this);
    }
    LeftButtonDown(event);
    if (OnMouseDown)
        OnMouseDown(this, event);
}

void TGLPanel::wheelEvent(QWheelEvent* event) {
    // Whole notches of 120 count; finer wheels and touch pads add up to one.
    FWheelRemainder += event->angleDelta().y();
    const int steps = FWheelRemainder / 120;
    FWheelRemainder %= 120;
    event->accept();
    if (steps == 0)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        FTransZ += float(steps) / 5;
        DrawScene();
    } else if (FAllowScaleByWheel) {
        float scale = steps > 0 ? FScale + 0.01f : FScale - 0.01f;
        scale = std::clamp(scale, 0.005f, 10.0f);
        SetScale(scale);
    }
}

void TGLPanel::keyPressEvent(QKeyEvent* event) {
    if (FAllowTransByArrowKey) {
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        bool moved = true;
        switch (event->key()) {
        case Qt::Key_Home:
            InitTransform();
            break;
        case Qt::Key_Left:
            FTransX -= 5;
            break;
        case Qt::Key_Right:
            FTransX += 5;
            break;
        case Qt::Key_Up:
            if (ctrl)
                FTransZ -= 5;
            else
                FTransY += 5;
            break;
        case Qt::Key_Down:
            if (ctrl)
                FTransZ += 5;
            else
                FTransY -= 5;
            break;
        default:
            moved = false;
        }
        if (moved)
            DrawScene();
    }
    if (OnKeyDown)
        OnKeyDown(this, event);
}

void TGLPanel::keyReleaseEvent(QKeyEvent* event) {
    if (OnKeyUp)
        OnKeyUp(this, event);
}

void TGLPanel::focusInEvent(QFocusEvent* event) {
    QOpenGLWidget::focusInEvent(event);
    if (FFixImeModeToEnglish)
        ApplyImeModeToEnglish();
    if (OnEnter)
        OnEnter(this);
}

void TGLPanel::focusOutEvent(QFocusEvent* event) {
    QOpenGLWidget::focusOutEvent(event);
    if (OnExit)
        OnExit(this);
}

void TGLPanel::enterEvent(QEnterEvent* event) {
    QOpenGLWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TGLPanel::leaveEvent(QEvent* event) {
    QOpenGLWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TGLPanel::focusNextPrevChild(bool) {
    // Tab and the arrow keys belong to the panel while it has the focus.
    return false;
}
