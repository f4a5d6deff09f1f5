#include "gl/GLTexturePanelItem.h"

#include "gl/BitmapRoutines.h"
#include "gl/GLContextScope.h"
#include "gl/GLPanel.h"

#include <algorithm>
#include <GL/gl.h>
#include <GL/glu.h>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

namespace {

// Lines as a string list holds them: a final line break adds no empty line.
QStringList LinesOf(const QString& text) {
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class TQuadric {
public:
    TQuadric()
        : FQuadric(gluNewQuadric()) {}
    ~TQuadric() {
        if (FQuadric)
            gluDeleteQuadric(FQuadric);
    }
    TQuadric(const TQuadric&) = delete;
    TQuadric& operator=(const TQuadric&) = delete;
    GLUquadric* Get() const { return FQuadric; }

private:
    GLUquadric* FQuadric;
};

} // namespace

TGLTexturePanelItem::TGLTexturePanelItem(TGLPanel* AGLPanel, const QString& AItemName, float x,
                                         float y, float z)
    : Position{x, y, z}
    , ItemName(AItemName)
    , FGLPanel(AGLPanel) {}

TGLTexturePanelItem::TGLTexturePanelItem(const QString& AItemName, float x, float y, float z)
    : TGLTexturePanelItem(nullptr, AItemName, x, y, z) {}

TGLTexturePanelItem::~TGLTexturePanelItem() {
    DeleteTexture();
}

void TGLTexturePanelItem::DeleteTexture() {
    if (FTextureID == 0)
        return;
    TGLContextScope scope(FTextureContext);
    if (scope.IsCurrent()) {
        const GLuint id = FTextureID;
        glDeleteTextures(1, &id);
    }
    FTextureID = 0;
}

void TGLTexturePanelItem::Refresh() {
    if (UseExternalTexture)
        return;
    if (FGLPanel)
        FGLPanel->SetCurrentGLContext();
    DeleteTexture();

    QImage bitmap;
    if (OnDrawTextureItem) {
        OnDrawTextureItem(this, bitmap);
        Width = bitmap.width();
        Height = bitmap.height();
    } else {
        const QFontMetrics metrics(FFont);
        const QStringList lines = LinesOf(FText);
        int widest = 0;
        int height = 0;
        int step = 0;
        for (const QString& line : lines) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
            step = metrics.height();
            height += step + 1;
        }
        Width = (widest + 5) & ~3;
        Height = height + 1;
        bitmap = QImage(Width, Height, QImage::Format_ARGB32);
        bitmap.fill(ToQColor(FBackColor));
        {
            QPainter painter(&bitmap);
            painter.setFont(FFont);
            painter.setPen(ToQColor(FFontColor));
            for (int j = 0; j < lines.size(); ++j)
                painter.drawText(2, j * step + 1 + metrics.ascent(), lines[j]);
        }
        SetAlphaChannel(bitmap, false, clNone, false, 1, 1, 1 - FAlpha);
        bitmap = bitmap.rgbSwapped();
    }
    if (bitmap.isNull() || !QOpenGLContext::currentContext())
        return;
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap.convertTo(QImage::Format_ARGB32);

    const QImage bottomUp = bitmap.mirrored(false, true);
    GLuint id = 0;
    glGenTextures(1, &id);
    FTextureID = id;
    FTextureContext = QOpenGLContext::currentContext();
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, bottomUp.width(), bottomUp.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, bottomUp.constBits());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TGLTexturePanelItem::GetDrawPosition(double DrawX[4], double DrawY[4], double DrawZ[4]) {
    if (FTextureID == 0 && !UseExternalTexture)
        Refresh();
    double w = Width;
    double h = Height;
    const double x = Position.x;
    const double y = Position.y;
    const double z = Position.z;
    if (!RotatePlane) {
        const double xs[4] = {x, x + w, x + w, x};
        const double ys[4] = {y, y, y + h, y + h};
        for (int i = 0; i < 4; ++i) {
            DrawX[i] = xs[i];
            DrawY[i] = ys[i];
            DrawZ[i] = z;
        }
        return;
    }

    if (FGLPanel)
        FGLPanel->SetCurrentGLContext();
    // Width and Height are logical pixels; the viewport counts device
    // pixels, so on a scaled screen the callout keeps its size relative to
    // the scene and to the text around it.
    const double ratio = PixelRatio();
    w *= ratio;
    h *= ratio;
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0, wy = 0, depth = 0;
    gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &depth);

    // Window points of corners 0-3 (window y grows upwards).
    double left = wx, bottom = wy;
    switch (LinePos) {
    case lpCenter:
        left = wx - w / 2, bottom = wy - h / 2;
        break;
    case lpLeftBottom:
        break;
    case lpLeftTop:
        bottom = wy - h;
        break;
    case lpRightTop:
        left = wx - w, bottom = wy - h;
        break;
    case lpRightBottom:
        left = wx - w;
        break;
    }
    const double xs[4] = {left, left + w, left + w, left};
    const double ys[4] = {bottom, bottom, bottom + h, bottom + h};
    for (int i = 0; i < 4; ++i) {
        GLdouble ox = 0, oy = 0, oz = 0;
        gluUnProject(xs[i], ys[i], depth, modelview, projection, viewport, &ox, &oy, &oz);
        DrawX[i] = ox;
        DrawY[i] = oy;
        DrawZ[i] = oz;
    }
}

double TGLTexturePanelItem::PixelRatio() const {
    return FGLPanel ? FGLPanel->devicePixelRatioF() : 1.0;
}

void TGLTexturePanelItem::Draw() {
    double x[4], y[4], z[4];
    GetDrawPosition(x, y, z);
    if (!PanelVisible)
        return;

    const double l = LineLength;
    const double d = FCornerDepth;
    double far[3] = {0, 0, 0};
    double near[3] = {0, 0, 0};
    switch (LinePos) {
    case lpLeftBottom:
        far[0] = x[0] - l, far[1] = y[0] - l, far[2] = z[0] - l;
        near[0] = x[0] + d, near[1] = y[0] + d, near[2] = z[0];
        break;
    case lpLeftTop:
        far[0] = x[3] - l, far[1] = y[3] + l, far[2] = z[3] - l;
        near[0] = x[3] + d, near[1] = y[3] - d, near[2] = z[3];
        break;
    case lpRightTop:
        far[0] = x[2] + l, far[1] = y[2] + l, far[2] = z[2] - l;
        near[0] = x[2] - d, near[1] = y[2] - d, near[2] = z[2];
        break;
    case lpRightBottom:
        far[0] = x[1] + l, far[1] = y[1] - l, far[2] = z[1] - l;
        near[0] = x[1] - d, near[1] = y[1] + d, near[2] = z[1];
        break;
    case lpCenter:
        break; // no line; a sphere sits at the current origin
    }

    if (DrawLine && LinePos != lpCenter) {
        glLineWidth(GLfloat(PixelRatio()));
        glColor3f(1, 1, 1);
        glBegin(GL_LINES);
        glVertex3dv(far);
        glVertex3dv(near);
        glEnd();
    }
    if (SphereRadius > 0.01f) {
        const QColor colour = ToQColor(SphereColor);
        glPushMatrix();
        glTranslated(far[0], far[1], far[2]);
        glColor3ub(GLubyte(colour.red()), GLubyte(colour.green()), GLubyte(colour.blue()));
        TQuadric sphere;
        gluSphere(sphere.Get(), SphereRadius, 10, 10);
        glPopMatrix();
    }

    const GLuint texture =
        UseExternalTexture && ExternalTextureID != 0 ? ExternalTextureID : FTextureID;
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLfloat lightPosition[] = {-50, -50, -100, 0};
    const GLfloat grey[] = {0.5f, 0.5f, 0.5f, 1};
    glLightfv(GL_LIGHT4, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT4, GL_AMBIENT, grey);
    glLightfv(GL_LIGHT4, GL_DIFFUSE, grey);
    glEnable(GL_LIGHT4);
    const double u = TextureUVWOrigin.x, v = TextureUVWOrigin.y, t = TextureUVWOrigin.z;
    const double lu = TextureUVWNormalLen.x, lv = TextureUVWNormalLen.y;
    glColor4f(1, 1, 1, FAlpha * std::clamp(DrawAlphaScale, 0.0f, 1.0f));
    glNormal3f(0, 0, 1);
    glBegin(GL_QUADS);
    glTexCoord3d(u, v, t);
    glVertex3d(x[0], y[0], z[0]);
    glTexCoord3d(u + lu, v, t);
    glVertex3d(x[1], y[1], z[1]);
    glTexCoord3d(u + lu, v + lv, t);
    glVertex3d(x[2], y[2], z[2]);
    glTexCoord3d(u, v + lv, t);
    glVertex3d(x[3], y[3], z[3]);
    glEnd();
    glDisable(GL_LIGHT4);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TGLTexturePanelItem::SetAlpha(float value) {
    if (value == FAlpha)
        return;
    FAlpha = value;
    Refresh();
}

void TGLTexturePanelItem::SetFont(const QFont& value) {
    FFont = value;
    Refresh();
}

void TGLTexturePanelItem::SetText(const QString& value) {
    if (value == FText)
        return;
    FText = value;
    Refresh();
}

void TGLTexturePanelItem::SetDesc(const QString& value) {
    if (value == FDesc)
        return;
    FDesc = value;
    Refresh();
}

void TGLTexturePanelItem::SetBackColor(TColor value) {
    if (value == FBackColor)
        return;
    FBackColor = value;
    Refresh();
}
