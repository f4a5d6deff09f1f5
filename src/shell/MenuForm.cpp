#include "shell/MenuForm.h"

#include "app/Folders.h"
#include "app/MediaPath.h"
#include "app/StringUtils.h"
#include "games/GameSetUpForm.h"
#include "games/SaveMeGameSetUpForm.h"
#include "gl/BitmapRoutines.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"
#include "gl/ThreadTimer.h"
#include "history/HistoryForm.h"
#include "keyboard/KeyboardSetUpForm.h"
#include "platform/HelpWindow.h"
#include "platform/TickCount.h"
#include "shell/AboutForm.h"
#include "shell/GameSoundList.h"
#include "shell/HttpClient.h"
#include "shell/RavlinUpdater.h"
#include "typing/SentenceSetupForm.h"

#include <algorithm>
#include <GL/gl.h>
#include <GL/glu.h>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>
#include <vector>

// The maker's web page; a reserved name until the maker publishes one.
const char* const TMenuForm::kMakerPageUrl = "http://www.ravlin.example/";

namespace {

const QString kKeyboardObj = QStringLiteral("KeyboardObj");
const QString kSentenceObj = QStringLiteral("SentenceObj");
// Not a scene object: the history window, opened by its shortcut.
const QString kHistoryItem = QStringLiteral("History");
const QString kCloudSphereObj = QStringLiteral("CloudSphereObj");
const QString kLandSphereObj = QStringLiteral("LandSphereObj");
const QString kClockGameObj = QStringLiteral("ClockGameObj");
const QString kAboutObj = QStringLiteral("AboutObj");
const QString kHelpObj = QStringLiteral("HelpObj");
const QString kADPlane = QStringLiteral("ADPlane");
const QString kBackPlane = QStringLiteral("BackPlane");
const QString kRainPlane = QStringLiteral("RainPlane");
const QString kThunderPlane = QStringLiteral("ThunderPlane");
const QString kSecond = QStringLiteral("Second");
const QString kThird = QStringLiteral("Third");

bool HasPrefix(const QString& name, const QString& prefix) {
    return StartsWithText(name, prefix, false);
}

// Texture files of the materials whose look changes, by suffix: none,
// "Second", "Third" ("Fourth" takes the first).
struct TMaterialFiles {
    const char* Material;
    const char* Files[3];
};

constexpr TMaterialFiles kMaterialFiles[] = {
    {"BackMat", {"white_cloud.png", "dark_cloud.png", "white_cloud.png"}},
    {"RainMat", {"rain1.png", "rain2.png", "rain1.png"}},
    {"ADMat", {"click_image.png", "click_image.png", "click_image.png"}},
    {"KeyboardMat", {"KeyboardBtn1.png", "KeyboardBtn2.png", "KeyboardBtn3.png"}},
    {"ClockMat", {"ClockGameBtn1.png", "ClockGameBtn2.png", "ClockGameBtn1.png"}},
    {"SentenceMat", {"SentenceBtn1.png", "SentenceBtn2.png", "SentenceBtn1.png"}},
    {"ThunderMat", {"ThunderImage.png", "ThunderImage.png", "ThunderImage.png"}},
};

// The hint panels in the order they are created.
struct THint {
    const char* Name;
    const char* Text;
};

const THint kHints[] = {
    // The two practice hints name the shortcut of the history window.
    {"CloudSphereObj_Hint", "오르발론 게임"},
    {"KeyboardObj_Hint", "키보드연습 (기록: Ctrl+R)"},
    {"SentenceObj_Hint", "문장연습 (기록: Ctrl+R)"},
    {"ClockGameObj_Hint", "클록윅 게임"},
    {"AboutObj_Hint", "About 타비로"},
    {"HelpObj_Hint", "도움말"},
};

// Rotates by `angle` degrees about the axis through the model's centre.
void RotateAboutCentre(const T3DModel& model, float angle, float x, float y, float z) {
    glTranslatef(model.CenterX(), model.CenterY(), model.CenterZ());
    glRotatef(angle, x, y, z);
    glTranslatef(-model.CenterX(), -model.CenterY(), -model.CenterZ());
}

// The window point, on the left of the outline of an object as drawn with
// the model view `placed`, at the middle of its drawn height (x, y and the
// depth there). False when the object has no triangles or a vertex cannot
// be projected.
bool LeftEdgeAtMiddle(const std::vector<const T3DModel*>& parts, const GLdouble placed[16],
                      const GLdouble projection[16], const GLint viewport[4], GLdouble& wx,
                      GLdouble& wy, GLdouble& wz) {
    struct TWindowPoint {
        GLdouble x, y, z;
    };
    std::vector<std::vector<TWindowPoint>> projected;
    GLdouble bottom = 1e300, top = -1e300;
    for (const T3DModel* part : parts) {
        std::vector<TWindowPoint>& points = projected.emplace_back();
        const int count = part->VertexList.Count();
        const float* v = part->VertexList.Floats();
        points.resize(std::size_t(count));
        for (int i = 0; i < count; ++i) {
            TWindowPoint& p = points[std::size_t(i)];
            if (gluProject(v[3 * i], v[3 * i + 1], v[3 * i + 2], placed, projection, viewport, &p.x,
                           &p.y, &p.z) != GL_TRUE)
                return false;
            bottom = std::min(bottom, p.y);
            top = std::max(top, p.y);
        }
    }
    if (bottom > top)
        return false;
    // The leftmost place where an edge of a triangle crosses the middle line
    // is where the outline crosses it.
    wy = (bottom + top) / 2;
    bool found = false;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::vector<TWindowPoint>& points = projected[k];
        const int triangles = parts[k]->VertexIndexList.Count();
        const std::uint32_t* index = parts[k]->VertexIndexList.UInts();
        for (int t = 0; t < triangles; ++t)
            for (int e = 0; e < 3; ++e) {
                const std::uint32_t ia = index[3 * t + e], ib = index[3 * t + (e + 1) % 3];
                if (ia >= points.size() || ib >= points.size())
                    continue;
                const TWindowPoint& a = points[ia];
                const TWindowPoint& b = points[ib];
                if ((a.y - wy) * (b.y - wy) > 0 || a.y == b.y)
                    continue;
                const GLdouble f = (wy - a.y) / (b.y - a.y);
                const GLdouble x = a.x + (b.x - a.x) * f;
                if (!found || x < wx) {
                    wx = x;
                    wz = a.z + (b.z - a.z) * f;
                    found = true;
                }
            }
    }
    return found;
}

} // namespace

TMenuForm::TMenuForm(const TMenuServices& services, QWidget* parent)
    : QWidget(parent)
    , FServices(services) {
    setWindowTitle(QStringLiteral("타비로 v3.6"));
    resize(1467, 897);
    auto* history = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(history, &QShortcut::activated, this, [this] { OpenMenuItem(kHistoryItem); });
    // On a smaller screen (1366 x 768 laptops) the window takes what the
    // screen offers instead of running off its edges; the scene lays itself
    // out from the visible extent, whatever the size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        if (width() > area.width() || height() > area.height()) {
            resize(std::min(width(), area.width()), std::min(height(), area.height()));
            move(area.topLeft());
        }
    }

    MenuPanel = new TGLPanel(this);
    MenuPanel->SetFixImeModeToEnglish(false);
    MenuPanel->SetClearColor(RGBColor(166, 202, 240));
    MenuPanel->SetAllowRotationByDX(false);
    MenuPanel->SetAllowRotationByDY(false);
    MenuPanel->SetAllowTransByArrowKey(false);
    MenuPanel->SetAllowScaleByWheel(false);
    MenuPanel->SetAllowInitTransformByDblClick(false);
    MenuPanel->SetDepthOfVisiblePos(-8);
    MenuPanel->SetScale(0.3f);
    MenuPanel->SetAntiAliasQuality(aaq8X);
    MenuPanel->SetLazyDrawOnMouseMove(false);
    MenuPanel->SetLazyDrawInterval(220);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MenuPanel);

    AniTimer = new TThreadTimer(this);
    AniTimer->SetEnabled(false);
    AniTimer->SetInterval(200);
    AniTimer->OnTimer = [this](TThreadTimer* sender) { AniTimerTimer(sender); };

    MenuObj = std::make_unique<TObjLoader>();
    MenuObj->OnTextureLoaded = [this](TTextureItem* item, QImage& bitmap) {
        MenuObjTextureLoaded(item, bitmap);
    };
    MenuObj->OnGetTextureFileName = [this](TTextureItem* item, QString& fileName) {
        MenuObjGetTextureFileName(item, fileName);
    };
    MenuObj->OnGetTextureSuffix = [this](TObjLoader*, const QString& name, QString& suffix) {
        MenuObjGetTextureSuffix(name, suffix);
    };

    FormCreate();

    MenuPanel->OnDrawScene = [this](TGLPanel* sender) { MenuPanelDrawScene(sender); };
    MenuPanel->OnMouseDown = [this](TGLPanel* sender, QMouseEvent* event) {
        MenuPanelMouseDown(sender, event);
    };
    MenuPanel->OnMouseUp = [this](TGLPanel* sender, QMouseEvent* event) {
        MenuPanelMouseUp(sender, event);
    };
    MenuPanel->OnClick = [this](TGLPanel* sender) { MenuPanelClick(sender); };
    MenuPanel->OnResize = [this](TGLPanel* sender) { MenuPanelResize(sender); };
}

TMenuForm::~TMenuForm() {
    // No tick may arrive while the scene is being taken apart.
    AniTimer->SetEnabled(false);
    AniTimer->OnTimer = nullptr;
    MenuPanel->OnDrawScene = nullptr;
    MenuPanel->OnResize = nullptr;
    // Textures and hint panels go while the panel's context still exists.
    MenuPanel->SetCurrentGLContext();
    HintPanelList.Clear();
    MenuObj.reset();
}

void TMenuForm::FormCreate() {
    FIsRainy = true;
    FTimerTick = 0;
    FAniTick = 0;
    FBackAniTick = 0;
    FSelObjectName.clear();
    FHintObjectName.clear();
    FMouseOverSnd_ObjName.clear();
    FObjectList.clear();

    // The update check waits on the network; the scene's model and pictures
    // load meanwhile. Both are done before the menu shows, and the check
    // before the banner's picture is chosen.
    FPendingUpdater = std::async(std::launch::async, [url = FServices.UpdatePageUrl,
                                                      banner = FServices.BannerFileName,
                                                      owner = QThread::currentThread()] {
        auto updater = std::make_unique<TRavlinUpdater>(nullptr, url, banner);
        updater->moveToThread(owner);
        return updater;
    });

    MenuObj->MaterialSuffixList.clear();
    MenuObj->MaterialSuffixList << kSecond << kThird << QStringLiteral("Fourth");
    MenuPanel->SetCurrentGLContext();
    try {
        MenuObj->LoadFromFile(MediaPath(QStringLiteral("models\\RvMenu.Obj")));
    } catch (...) {
        JoinUpdateCheck();
        throw;
    }
    JoinUpdateCheck();
    AskForNewVersion();

    CreateHintPanels();

    // The animation stops whenever the program loses the focus, whichever
    // of its windows had it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    FormActivate();
                else
                    FormDeactivate();
            });
}

void TMenuForm::JoinUpdateCheck() {
    if (FPendingUpdater.valid())
        FUpdater = FPendingUpdater.get();
}

double TMenuForm::VersionNumber(const QString& version) {
    bool ok = false;
    const double value = version.trimmed().toDouble(&ok);
    return ok ? value : -1;
}

void TMenuForm::AskForNewVersion() {
    const QString latest = FUpdater->latest_version;
    if (latest.isEmpty() || VersionNumber(latest) <= VersionNumber(QString::fromLatin1(kVersion)))
        return;
    const QString caption = QStringLiteral("버전업 확인");
    const QString text = QStringLiteral("타비로 ") + latest +
                         QStringLiteral(" 버전이 나왔습니다. 블로그를 방문하시겠습니까?");
    const bool yes =
        FServices.AskYesNo
            ? FServices.AskYesNo(this, caption, text)
            : QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) ==
                  QMessageBox::Yes;
    if (yes)
        OpenUrl(QString::fromLatin1(kMakerPageUrl));
}

void TMenuForm::CreateHintPanels() {
    QFont font(QStringLiteral("굴림체"), 16);
    font.setBold(true);
    for (const THint& hint : kHints) {
        auto* item = new TGLTexturePanelItem(MenuPanel, QString::fromUtf8(hint.Name), 0, 0, 0);
        item->SetAlpha(1);
        item->PanelVisible = true;
        item->DrawLine = true;
        item->SetFont(font);
        item->LineLength = 5.0f;
        item->SphereRadius = 0.8f;
        item->SphereColor = 65280;
        item->SetBackColor(65535);
        item->LinePos = lpRightBottom;
        item->SetText(QString::fromUtf8(hint.Text));
        HintPanelList.Add(item);
    }
}

void TMenuForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TMenuForm::FormShow() {
    UpdateVisiblePos();
}

void TMenuForm::MenuPanelResize(TGLPanel*) {
    UpdateVisiblePos();
}

void TMenuForm::UpdateVisiblePos() {
    MenuPanel->SetGLModes(false);
    float maxX = 0, maxY = 0, minX = 0, minY = 0;
    MenuPanel->GetVisiblePos(8, maxX, maxY, minX, minY);
    FModelMaxVisiblePos.x = maxX;
    FModelMaxVisiblePos.y = maxY;
    FModelMinVisiblePos.x = minX;
    FModelMinVisiblePos.y = minY;
}

void TMenuForm::closeEvent(QCloseEvent* event) {
    AniTimer->SetEnabled(false);
    QWidget::closeEvent(event);
    // The menu is the main window: closing it ends the program, even while
    // practice or help windows are still open.
    if (event->isAccepted() && !parentWidget())
        QCoreApplication::quit();
}

void TMenuForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
}

void TMenuForm::FormActivate() {
    AniTimer->SetEnabled(true);
}

void TMenuForm::FormDeactivate() {
    AniTimer->SetEnabled(false);
}

void TMenuForm::MenuPanelMouseDown(TGLPanel*, QMouseEvent* Event) {
    // Only the left button chooses; it alone produces the click that opens
    // and releases the object again.
    if (Event->button() != Qt::LeftButton)
        return;
    FRotateSelectedByXAxis = Random(2);
    FMouseDownedTick = TickCount() - 300;
    FSelObjectName = DrawMenuScene(true);
    if (!FSelObjectName.isEmpty()) {
        FHintObjectName = FSelObjectName;
        FMouseOverSnd_ObjName = FSelObjectName;
        MenuPanel->DrawScene();
    }
}

void TMenuForm::MenuPanelClick(TGLPanel*) {
    if (FSelObjectName.isEmpty())
        return;
    Play(msClick);
    const QString name = FSelObjectName;
    // Whatever the activity does (a dialog may fail to open), the object
    // stops spinning afterwards.
    struct TRelease {
        TMenuForm* Form;
        ~TRelease() {
            Form->FSelObjectName.clear();
            try {
                Form->MenuPanel->DrawScene();
            } catch (...) {
                // The next frame draws it again.
            }
        }
    } release{this};
    OpenMenuItem(name);
}

void TMenuForm::MenuPanelMouseUp(TGLPanel*, QMouseEvent* Event) {
    // Released away from the panel: no click follows, so the object held
    // down stops spinning here.
    if (Event->button() == Qt::LeftButton && !FSelObjectName.isEmpty()) {
        FSelObjectName.clear();
        MenuPanel->DrawScene();
    }
}

void TMenuForm::OpenMenuItem(const QString& objectName) {
    if (HasPrefix(objectName, kKeyboardObj)) {
        TKeyboardSetUpForm dialog(this);
        ExecDialog(dialog);
    } else if (HasPrefix(objectName, kSentenceObj)) {
        TSentenceSetupForm dialog(this);
        ExecDialog(dialog);
    } else if (HasPrefix(objectName, kClockGameObj)) {
        TGameSetUpForm dialog(this);
        ExecDialog(dialog);
    } else if (HasPrefix(objectName, kCloudSphereObj)) {
        TSaveMeGameSetUpForm dialog(this);
        ExecDialog(dialog);
    } else if (HasPrefix(objectName, kAboutObj)) {
        TAboutForm dialog(this);
        ExecDialog(dialog);
    } else if (HasPrefix(objectName, kHelpObj)) {
        if (FServices.ShowHelpTopic)
            FServices.ShowHelpTopic(this, HelpTopic());
        else
            THelpWindow::ShowTopic(this, HelpTopic());
    } else if (objectName == kHistoryItem) {
        THistoryForm dialog(this, haSentence, THistoryForm::DefaultLayoutIndex());
        ExecDialog(dialog);
    } else if (HasPrefix(objectName, kADPlane)) {
        OpenUrl(FUpdater->click_image_link);
    }
}

void TMenuForm::ExecDialog(QDialog& dialog) {
    // The dialog is freed by its owner here, not by closing.
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    if (FServices.ExecDialog)
        FServices.ExecDialog(dialog);
    else
        dialog.exec();
}

void TMenuForm::OpenUrl(const QString& address) {
    // Addresses come from the web page; only web pages are handed on.
    const QString trimmed = address.trimmed();
    if (!THttpClient::IsWebAddress(trimmed))
        return;
    const QUrl url(trimmed);
    if (FServices.OpenUrl)
        FServices.OpenUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void TMenuForm::Play(TMenuSound sound) {
    if (FServices.PlaySound) {
        FServices.PlaySound(sound);
        return;
    }
    if (!GameSounds)
        return;
    GameSounds->Play(sound == msClick ? GameSounds->ClickSnd : GameSounds->MouseOverSnd);
}

int TMenuForm::Random(int n) {
    if (n <= 1)
        return 0;
    if (FServices.Random)
        return FServices.Random(n);
    return int(QRandomGenerator::global()->bounded(n));
}

std::uint32_t TMenuForm::TickCount() {
    return FServices.TickCount ? FServices.TickCount() : ::TickCount();
}

void TMenuForm::StepTicks() {
    if (FTimerTick >= 400)
        ++FAniTick;
    if (FTimerTick >= 200)
        ++FBackAniTick;
}

void TMenuForm::AniTimerTimer(TThreadTimer*) {
    FTimerTick += std::uint32_t(AniTimer->Interval());
    bool redraw = false;
    if (!FSelObjectName.isEmpty()) {
        StepTicks();
        redraw = true;
    } else if (isActiveWindow()) {
        StepTicks();
        if (FTimerTick >= 400) {
            const QString previous = FHintObjectName;
            FHintObjectName = DrawMenuScene(true);
            if (FHintObjectName != previous) {
                FMouseOverSnd_ObjName.clear();
                redraw = true;
            }
        }
        if (FTimerTick >= 200)
            redraw = true;
    }
    if (redraw)
        MenuPanel->DrawScene();
    if (FTimerTick >= 400)
        FTimerTick = 0;
    if (FBackAniTick % 100 == 99)
        FIsRainy = Random(2) == 0;
}

void TMenuForm::MenuPanelDrawScene(TGLPanel*) {
    DrawMenuScene(false);
}

QString TMenuForm::DrawMenuScene(bool selecting) {
    for (int i = 0; i < HintPanelList.Count(); ++i)
        HintPanelList.Items(i)->PanelVisible = false;
    if (selecting) {
        FObjectList.clear();
        FSelObjectName.clear();
    }

    MenuPanel->SetCurrentGLContext();
    MenuPanel->SetGLModes(selecting);
    if (selecting) {
        // A picking pass is drawn outside the panel's frame, so the camera
        // transform is set up here as the frame would.
        glLoadIdentity();
        MenuPanel->ApplyTransform();
    }
    const float elapsed = float(TickCount() - FMouseDownedTick) / 1000.0f;
    glPushMatrix();
    glFrontFace(GL_CW);
    // Fully transparent texels (round the banner's letters, between rain
    // streaks) must not hide what is drawn behind them later.
    if (!selecting) {
        glAlphaFunc(GL_GREATER, 0.0f);
        glEnable(GL_ALPHA_TEST);
    }

    if (!selecting)
        DrawSky();

    // An object made of several parts (one per material) is drawn whole at
    // its first part.
    QStringList drawn;
    const bool menuActive = QApplication::activeWindow() == this;
    for (int i = 0; i < MenuObj->modelList.Count(); ++i) {
        const T3DModel& model = *MenuObj->modelList.Items(i);
        const QString& name = model.ObjectName;
        if (HasPrefix(name, kThunderPlane) || HasPrefix(name, kBackPlane) ||
            HasPrefix(name, kRainPlane) || HasPrefix(name, kLandSphereObj))
            continue;
        if (drawn.contains(name, Qt::CaseInsensitive))
            continue;
        drawn << name;

        if (selecting) {
            glPushName(GLuint(i));
            FObjectList << QString::number(i) + QLatin1Char('=') + name;
        }
        const bool isBanner = HasPrefix(name, kADPlane);
        const bool isSphere = HasPrefix(name, kCloudSphereObj);
        const T3DModel* land = MenuObj->FindNamedModel(kLandSphereObj);

        if (!selecting && !isBanner && !FSelObjectName.isEmpty() &&
            name.compare(FSelObjectName, Qt::CaseInsensitive) == 0) {
            // The object held down spins quickly.
            glPushMatrix();
            PlaceAtRightEdge(model);
            if (FRotateSelectedByXAxis == 1)
                RotateAboutCentre(model, 70 * elapsed, 1, 0, 0);
            else
                RotateAboutCentre(model, 70 * elapsed, 0, 1, 0);
            if (isSphere && land)
                DrawObject(land->ObjectName);
            DrawObject(name);
            glPopMatrix();
        } else {
            glPushMatrix();
            if (!isBanner) {
                if (menuActive && name.compare(FHintObjectName, Qt::CaseInsensitive) == 0) {
                    ShowHint(model, (isSphere ? 1.8f : 2.0f) * float(FAniTick), selecting);
                    if (FMouseOverSnd_ObjName != name) {
                        FMouseOverSnd_ObjName = name;
                        Play(msMouseOver);
                    }
                }
                PlaceAtRightEdge(model);
            }
            if (selecting || !isSphere) {
                glPushMatrix();
                if (!isBanner)
                    RotateAboutCentre(model, 2.0f * float(FAniTick), 0, 1, 0);
                DrawObject(name);
                glPopMatrix();
            } else {
                if (land) {
                    glPushMatrix();
                    RotateAboutCentre(*land, 1.5f * float(FAniTick), 1, 1, 0);
                    DrawObject(land->ObjectName);
                    glPopMatrix();
                }
                glPushMatrix();
                RotateAboutCentre(model, 1.8f * float(FAniTick), 0, 1, 0);
                DrawObject(name);
                glPopMatrix();
            }
            glPopMatrix();
        }
        if (selecting)
            glPopName();
    }

    if (FIsRainy && !selecting)
        DrawWeather();
    glPopMatrix();
    glDisable(GL_ALPHA_TEST);

    if (!selecting)
        return {};
    const int hit = MenuPanel->EndSelection();
    if (hit < 0)
        return {};
    const QString key = QString::number(hit) + QLatin1Char('=');
    for (const QString& line : FObjectList) {
        if (line.startsWith(key))
            return line.mid(key.size());
    }
    return {};
}

void TMenuForm::DrawObject(const QString& name) {
    MenuObj->DrawData_OLD(name, nullptr);
}

void TMenuForm::PlaceAtRightEdge(const T3DModel& model) {
    glTranslatef(-(model.MaxPos.x + model.MinPos.x) / 2, 0, 0);
    glTranslatef(FModelMaxVisiblePos.x / MenuPanel->Scale() - model.Width() / 2 - 5, 0, 0);
}

void TMenuForm::ShowHint(const T3DModel& model, float turn, bool selecting) {
    TGLTexturePanelItem* hint =
        HintPanelList.FindByName(model.ObjectName + QStringLiteral("_Hint"));
    if (!hint)
        return;
    if (selecting) {
        // A picking pass finds the callout where the last frame showed it
        // (it counts as part of its object), and none that was not shown.
        if (FHintPlacedFor.compare(model.ObjectName, Qt::CaseInsensitive) != 0)
            return;
    } else {
        PlaceHint(*hint, model, turn);
    }
    hint->PanelVisible = true;
    // The callout's rectangle, leader and sphere face the viewer with
    // counter-clockwise corners; the scene's clockwise front faces would cull
    // them.
    glFrontFace(GL_CCW);
    hint->Draw();
    glFrontFace(GL_CW);
}

void TMenuForm::PlaceHint(TGLTexturePanelItem& hint, const T3DModel& model, float turn) {
    // The leader line runs from the callout's lower right corner LineLength
    // to the right, down and back, to a sphere. That sphere is put on the
    // object's outline as it is drawn this frame (placed at the right edge,
    // turned), on its left side half-way up, so that the line ends at the
    // object whatever its size, depth and angle.
    GLdouble scene[16], placed[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, scene);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushMatrix();
    PlaceAtRightEdge(model);
    RotateAboutCentre(model, turn, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, placed);
    glPopMatrix();

    std::vector<const T3DModel*> parts;
    for (int i = 0; i < MenuObj->modelList.Count(); ++i) {
        const T3DModel* part = MenuObj->modelList.Items(i);
        if (part->ObjectName.compare(model.ObjectName, Qt::CaseInsensitive) == 0)
            parts.push_back(part);
    }
    GLdouble wx = 0, wy = 0, wz = 0, x = 0, y = 0, z = 0;
    if (!LeftEdgeAtMiddle(parts, placed, projection, viewport, wx, wy, wz) ||
        gluUnProject(wx, wy, wz, scene, projection, viewport, &x, &y, &z) != GL_TRUE) {
        // No outline to go by: the callout points at the left side of the
        // object's bounds.
        x = FModelMaxVisiblePos.x / MenuPanel->Scale() - model.Width() - 5;
        y = model.CenterY();
        z = model.CenterZ();
    }
    const float l = hint.LineLength;
    hint.Position = {float(x) - l, float(y) + l, float(z) + l};
    FHintPlacedFor = model.ObjectName;
}

void TMenuForm::DrawSky() {
    const T3DModel* back = MenuObj->FindNamedModel(kBackPlane);
    if (!back || back->MaxPos.x == 0 || back->MaxPos.y == 0)
        return;
    glPushMatrix();
    glLoadIdentity();
    glScalef((MenuPanel->MaxVisibleX() + 30) / back->MaxPos.x,
             (MenuPanel->MaxVisibleY() + 30) / back->MaxPos.y, MenuPanel->Scale());
    int t = FBackAniTick % 36;
    if (t > 17)
        t = 36 - t;
    glTranslatef(-0.8f * float(t), 0.8f * float(t), 0);
    // The sky is the backdrop: it leaves the depth buffer clear, so objects
    // standing further back than its plane are drawn over it all the same.
    glDepthMask(GL_FALSE);
    DrawObject(back->ObjectName);
    glDepthMask(GL_TRUE);
    glPopMatrix();
}

void TMenuForm::DrawWeather() {
    glPushMatrix();
    if (FAniTick % 2 != 0)
        glTranslatef(-20.0f - float(Random(5)), 8.0f + float(Random(3)), -7);
    else
        glTranslatef(-25.0f - float(Random(3)), 8.0f + float(Random(3)), -7);
    if (const T3DModel* rain = MenuObj->FindNamedModel(kRainPlane)) {
        for (int copy = 0; copy < 3; ++copy) {
            if (copy > 0)
                glTranslatef(rain->Width(), 0, 0);
            DrawObject(rain->ObjectName);
        }
    }
    if (FAniTick % 2 != 0) {
        glPushMatrix();
        glScalef(0.9f, 0.9f, 1);
        auto bolt = [this](float x, float y, float z) {
            glPushMatrix();
            glTranslatef(x, y, z);
            DrawObject(kThunderPlane);
            glPopMatrix();
        };
        if (Random(2) == 0)
            bolt(float(Random(20)), float(Random(5)), float(Random(30)));
        const int d = Random(10);
        const int e = Random(5);
        if (Random(2) == 0)
            bolt(float(70 + d), float(e - 35), float(90 - Random(20)));
        if (Random(2) == 0)
            bolt(float(120 + Random(5)), float(Random(5) - 15), float(Random(10) + 10));
        glPopMatrix();
    }
    glPopMatrix();
}

void TMenuForm::MenuObjGetTextureSuffix(const QString& ObjectName, QString& SuffixName) {
    if (HasPrefix(ObjectName, kBackPlane)) {
        SuffixName = FIsRainy ? kSecond : QString();
    } else if (HasPrefix(ObjectName, kRainPlane) || HasPrefix(ObjectName, kSentenceObj) ||
               HasPrefix(ObjectName, kClockGameObj)) {
        SuffixName = FAniTick % 2 != 0 ? kSecond : QString();
    } else if (HasPrefix(ObjectName, kKeyboardObj)) {
        switch (FAniTick % 3) {
        case 1:
        case -1:
            SuffixName = kSecond;
            break;
        case 2:
        case -2:
            SuffixName = kThird;
            break;
        default:
            SuffixName.clear();
        }
    } else if (HasPrefix(ObjectName, kThunderPlane)) {
        SuffixName.clear();
    }
}

void TMenuForm::MenuObjGetTextureFileName(TTextureItem* item, QString& TextureFileName) {
    for (const TMaterialFiles& entry : kMaterialFiles) {
        if (item->MaterialName != QLatin1String(entry.Material))
            continue;
        int column = 0;
        if (item->SuffixName.compare(kSecond, Qt::CaseInsensitive) == 0)
            column = 1;
        else if (item->SuffixName.compare(kThird, Qt::CaseInsensitive) == 0)
            column = 2;
        if (item->MaterialName == QLatin1String("ADMat")) {
            JoinUpdateCheck();
            // A banner fetched by the update check replaces the one shipped
            // with the program, as long as it still reads as a picture: one
            // that fails to load would keep the menu from starting.
            const QString fetched = FServices.BannerFileName.isEmpty()
                                        ? TRavlinUpdater::BannerFileName()
                                        : FServices.BannerFileName;
            if (QFileInfo(fetched).isFile() && TRavlinUpdater::IsUsableBannerFile(fetched)) {
                TextureFileName = fetched;
                return;
            }
        }
        TextureFileName =
            MediaPath(QStringLiteral("models\\maps\\") + QLatin1String(entry.Files[column]));
        return;
    }
}

void TMenuForm::MenuObjTextureLoaded(TTextureItem* item, QImage& Bitmap) {
    const QString& material = item->MaterialName;
    if (material == QLatin1String("RainMat"))
        SetAlphaChannel(Bitmap, true, clNone, false, 0.7f, 1.0f, 0.7f);
    else if (material == QLatin1String("ThunderMat"))
        SetAlphaChannel(Bitmap, true, clNone, false, 0.7f, 1.0f, 0);
    else if (material == QLatin1String("CloudMat"))
        SetAlphaChannel(Bitmap, true, 13210113, false, 0.4f, 0.7f, 0.05f);
    else if (material == QLatin1String("ADMat"))
        SetAlphaChannel(Bitmap, true, 255, false, 1.0f, 1.0f, 0);
}
