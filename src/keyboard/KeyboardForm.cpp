#include "keyboard/KeyboardForm.h"

#include "app/KeyLabel.h"
#include "app/MediaPath.h"
#include "app/RavlinError.h"
#include "gl/BitmapRoutines.h"
#include "gl/GLPanel.h"
#include "gl/GLTextureAnimation.h"
#include "gl/GLTextureMessage.h"
#include "gl/ObjLoader.h"
#include "gl/ThreadTimer.h"
#include "history/HistoryForm.h"
#include "history/HistoryRecorder.h"
#include "history/WeakKeyWeights.h"
#include "platform/VirtualKeys.h"
#include "shell/GameSoundList.h"

#include <cmath>
#include <GL/gl.h>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QRandomGenerator>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

const char* const TKeyboardForm::kFingerMessage = "손가락을 항상 기본자리에 놓고 치세요";

namespace {

// The one practice screen.
QPointer<TKeyboardForm> GKeyboardForm;

constexpr const char* kCaptions[kLayoutCount] = {
    "키보드연습 - 영어",
    "키보드연습 - 한글 두벌식",
    "키보드연습 - 한글 세벌식 3-90",
    "키보드연습 - 한글 세벌식 순아래(No shift)",
    "키보드연습 - 한글 세벌식 3-91 (공병우 최종)",
    "키보드연습 - 한글 세벌식 3-2011",
    "키보드연습 - 한글 세벌식 3-2012",
    "키보드연습 - 일어 히라가나",
    "키보드연습 - 일어 가타카나",
};

const QString kModelFile = QStringLiteral("models\\Ravlin_Key_Layout_English.obj");
const QString kBackPlane = QStringLiteral("BackPlane");
const QString kThunderPlane = QStringLiteral("ThunderPlane");
const QString kProblemShell = QStringLiteral("ProblemShell");
const QString kKeyCapMaterial = QStringLiteral("KeyCap_Material");

bool HasPrefix(const QString& name, const char* prefix) {
    return name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers) {
    TShiftState state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= ssShift;
    if (modifiers & Qt::ControlModifier)
        state |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        state |= ssAlt;
    if (modifiers & Qt::MetaModifier)
        state |= ssMeta;
    return state;
}

// The virtual-key code of a key event: Escape by its meaning, every other
// key by its physical position.
std::uint16_t KeyCodeOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape)
        return 27;
    if (event.key() == Qt::Key_Shift)
        return VK_SHIFT;
    return std::uint16_t(VirtualKeyOf(event));
}

} // namespace

TKeyboardForm::TKeyboardForm(QWidget* parent, std::function<int(int)> random)
    : QWidget(parent)
    , FRandom(std::move(random)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("키보드연습"));
    resize(1290, 721);

    KeyboardPanel = new TGLPanel(this);
    KeyboardPanel->setCursor(Qt::PointingHandCursor);
    KeyboardPanel->SetFixImeModeToEnglish(true);
    KeyboardPanel->SetClearColor(16437419);
    KeyboardPanel->SetRotX(-15);
    KeyboardPanel->SetAllowRotationByDX(false);
    KeyboardPanel->SetAllowRotationByDY(true);
    KeyboardPanel->SetAllowTransByArrowKey(false);
    KeyboardPanel->SetAllowScaleByWheel(false);
    KeyboardPanel->SetAllowInitTransformByDblClick(true);
    KeyboardPanel->SetDepthOfVisiblePos(-30);
    KeyboardPanel->SetScale(0.275f);
    KeyboardPanel->SetAntiAliasQuality(aaq8X);
    KeyboardPanel->SetLazyDrawOnMouseMove(false);
    KeyboardPanel->SetLazyDrawInterval(220);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(KeyboardPanel);
    // Every key reaches the drill first, whichever control has the focus.
    KeyboardPanel->installEventFilter(this);

    ThreadTimer = new TThreadTimer(this);
    ThreadTimer->SetEnabled(false);
    ThreadTimer->SetInterval(100);
    ThreadTimer->OnTimer = [this](TThreadTimer*) { ThreadTimerTimer(); };

    KeyboardObj = std::make_unique<TObjLoader>();
    KeyboardObj->OnTextureLoaded = [this](TTextureItem* item, QImage& bitmap) {
        KeyboardObjTextureLoaded(item, bitmap);
    };
    KeyboardObj->OnGetTextureFileName = [this](TTextureItem* item, QString& fileName) {
        KeyboardObjGetTextureFileName(item, fileName);
    };
    KeyboardObj->OnGetMaterialProperty = [this](TObjLoader*, const QString& name,
                                                TMaterialItem* material) {
        KeyboardObjGetMaterialProperty(name, material);
    };
    KeyboardObj->OnGetTextureSuffix = [this](TObjLoader*, const QString& name, QString& suffix) {
        KeyboardObjGetTextureSuffix(name, suffix);
    };

    // FormCreate.
    FSelKeyList = std::make_unique<TSelKeyList>(FRandom);
    FSelKeyList->GLPanel = KeyboardPanel;
    FExercise = std::make_unique<TKeyboardExercise>(*FSelKeyList, FRandom);
    FExercise->OnPlaySound = [this](TKeyboardSound sound) { PlaySound(sound); };
    FExercise->OnRedraw = [this] { Redraw(); };
    FExercise->OnClose = [this] { close(); };
    // The pause after a correct answer lets the explosion's first frame be
    // seen before the next key counts; it holds the window thread.
    FExercise->OnPause = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    FExercise->OnMissed = [this] { FDrill.Missed(); };
    FHistory = std::make_unique<THistoryRecorder>();
    THistoryForm::ConnectRecovery(this, *FHistory);
    FExercise->OnFingerFlightEnded = [this] {
        if (FMessage->Visible())
            FMessage->Close();
    };
    FExplosionAni = std::make_unique<TGLTextureAnimation>(KeyboardPanel);
    FMessage = std::make_unique<TGLTextureMessage>(KeyboardPanel);

    Initialize();

    KeyboardPanel->OnDrawScene = [this](TGLPanel*) { DrawKeyboardScene(false); };
    KeyboardPanel->OnMouseDown = [this](TGLPanel*, QMouseEvent* event) {
        KeyboardPanelMouseDown(event);
    };
    KeyboardPanel->OnMouseUp = [this](TGLPanel*, QMouseEvent* event) {
        KeyboardPanelMouseUp(event);
    };
    KeyboardPanel->OnResize = [this](TGLPanel*) { UpdateVisibleExtents(); };
    KeyboardPanel->OnScaleChange = [this](TGLPanel*) { UpdateVisibleExtents(); };
}

TKeyboardForm::~TKeyboardForm() {
    // FormDestroy: no tick or frame may arrive while the scene goes.
    FDestroying = true;
    ThreadTimer->SetEnabled(false);
    ThreadTimer->OnTimer = nullptr;
    // A drill freed without being closed is kept too (no message now).
    FHistory->OnRecovered = nullptr;
    RecordDrill();
    KeyboardPanel->OnDrawScene = nullptr;
    KeyboardPanel->OnResize = nullptr;
    KeyboardPanel->OnScaleChange = nullptr;
    if (GKeyboardForm == this)
        GKeyboardForm = nullptr;
    KeyboardPanel->SetCurrentGLContext();
    FMessage.reset();
    FExercise.reset();
    FSelKeyList.reset();
    FExplosionAni.reset();
    KeyboardObj.reset();
}

TKeyboardForm* TKeyboardForm::Current() {
    return GKeyboardForm.data();
}

TKeyboardForm* TKeyboardForm::StartDrill() {
    delete GKeyboardForm.data();
    auto* form = new TKeyboardForm(nullptr);
    GKeyboardForm = form;
    form->NextProblem();
    form->show();
    return form;
}

int TKeyboardForm::RandomBelow(int n) const {
    if (n <= 1)
        return 0;
    if (FRandom)
        return std::clamp(FRandom(n), 0, n - 1);
    return int(QRandomGenerator::global()->bounded(n));
}

void TKeyboardForm::Initialize() {
    const TKeyboardSetupRec& setup = KeyboardSetup;
    AssignKeyboardLayout(setup.languageIndex, FKeyLayout);
    if (setup.languageIndex >= 0 && setup.languageIndex < kLayoutCount)
        setWindowTitle(QString::fromUtf8(kCaptions[setup.languageIndex]));

    TKeyboardOptions options;
    options.UseSound = setup.UseSound;
    options.MoveProblem = setup.MoveProblem;
    options.ShowFinger = setup.ShowFinger;
    FExercise->Initialize(options);

    QFont glyphFont(setup.FontName);
    glyphFont.setPointSize(30);
    glyphFont.setBold(setup.FontBold);
    glyphFont.setItalic(setup.FontItalic);
    FSelKeyList->AssignFont(glyphFont);
    FSelKeyList->BuildList(FKeyLayout, setup.KeyGroup);
    ApplyWeakKeyWeights();
    FDrill.Start(LayoutCaption(setup.languageIndex));

    // Resolved once: the material event asks for it on every key drawn.
    FKeyCapTexture = setup.TextureFileName.isEmpty() ? QString() : MediaPath(setup.TextureFileName);

    KeyboardPanel->SetCurrentGLContext();
    KeyboardObj->MaterialSuffixList.clear();
    KeyboardObj->MaterialSuffixList << QStringLiteral("Selected") << QStringLiteral("Focused");
    const QString model = MediaPath(kModelFile);
    if (!KeyboardObj->LoadFromFile(model))
        throw ERavlinError(kModelFile + QStringLiteral(" 파일을 찾을 수 없습니다."));

    // A missing explosion picture only means no explosion is seen.
    const QString explosion = MediaPath(QStringLiteral("Images\\explosion.png"));
    if (FExplosionAni->TextureList().Count() == 0 && QFileInfo(explosion).isFile())
        FExplosionAni->AddTexture(explosion);
    FExplosionAni->SetHorzTextureCount(5);
    FExplosionAni->SetVertTextureCount(4);
    FExplosionAni->SetScale(1.0f);

    FMessage->SetMessageZPosBase(3);
    QFont messageFont = FMessage->Font();
    messageFont.setPointSize(36);
    messageFont.setBold(true);
    FMessage->SetFont(messageFont);
    FMessage->SetFontColor(1081599);
    FMessage->SetTransparent(true);
    FMessage->SetTextOutLineColor(8388608);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        resize(int(area.width() * 0.8), int(area.height() * 0.75));
        move(area.center() - rect().center());
    }
    FExercise->FDownedKey = 0;
    // Ticks start once everything they touch exists; a model that failed to
    // load leaves the timer off.
    ThreadTimer->SetEnabled(true);
}

void TKeyboardForm::NextProblem() {
    FExercise->NextProblem();
    NoteProblemShown();
}

void TKeyboardForm::RecordDrill() {
    // The drill ends: its facts go into the history in one transaction.
    if (!FDrill.HasFacts())
        return;
    FHistory->RecordDrill(FDrill);
    FDrill.Start(FDrill.Session().Source);
}

void TKeyboardForm::NoteProblemShown() {
    if (!FDrill.HasProblem() && FSelKeyList->SelIndex() >= 0)
        FDrill.ProblemShown(FSelKeyList->SelIndex(), FSelKeyList->SelCaption());
}

void TKeyboardForm::ApplyWeakKeyWeights() {
    if (!KeyboardSetup.WeakKeysFirst) {
        FSelKeyList->SetWeights({});
        return;
    }
    // Read once per drill, before the first problem, never while typing.
    QList<int> codes;
    for (int i = 0; i < FSelKeyList->Count(); ++i)
        codes.append(FSelKeyList->Items(i));
    QHash<int, THistoryKeyStat> stats;
    if (THistoryDatabase* db = FHistory->Database())
        stats = db->RecentDrillStats(LayoutCaption(KeyboardSetup.languageIndex));
    FSelKeyList->SetWeights(TWeakKeyWeights::ForCodes(stats, codes));
}

void TKeyboardForm::PlaySound(TKeyboardSound sound) {
    if (!GameSounds)
        return;
    switch (sound) {
    case ksClick:
        GameSounds->Play(GameSounds->ClickSnd);
        break;
    case ksThunder:
        GameSounds->Play(GameSounds->ThunderSnd);
        break;
    case ksExplosion:
        GameSounds->Play(GameSounds->ExplosionSnd);
        break;
    case ksBubble:
        GameSounds->Play(GameSounds->BubbleSnd);
        break;
    }
}

void TKeyboardForm::Redraw() {
    if (!FDestroying)
        KeyboardPanel->DrawScene();
}

void TKeyboardForm::ThreadTimerTimer() {
    FExercise->MaxVisibleX = KeyboardPanel->MaxVisibleX();
    FExercise->Tick(ThreadTimer->Interval());
    NoteProblemShown(); // after a miss, the next problem
}

void TKeyboardForm::UpdateVisibleExtents() {
    float maxX = 0, maxY = 0, minX = 0, minY = 0;
    KeyboardPanel->SetGLModes(false);
    KeyboardPanel->GetVisiblePos(0, maxX, maxY, minX, minY);
    FExpMaxVisiblePos = {maxX, maxY, 0};
    FExpMinVisiblePos = {minX, minY, 0};
}

void TKeyboardForm::FormActivate() {
    UpdateVisibleExtents();
    KeyboardPanel->update();
}

void TKeyboardForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeyboardPanel->setFocus(Qt::OtherFocusReason);
    FormActivate();
}

void TKeyboardForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TKeyboardForm::closeEvent(QCloseEvent* event) {
    ThreadTimer->SetEnabled(false);
    RecordDrill();
    QWidget::closeEvent(event);
}

bool TKeyboardForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == KeyboardPanel) {
        if (event->type() == QEvent::KeyPress) {
            HandleKeyPress(static_cast<QKeyEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::KeyRelease) {
            HandleKeyRelease(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TKeyboardForm::keyPressEvent(QKeyEvent* event) {
    HandleKeyPress(event);
}

void TKeyboardForm::keyReleaseEvent(QKeyEvent* event) {
    HandleKeyRelease(event);
}

void TKeyboardForm::HandleKeyPress(QKeyEvent* event) {
    event->accept();
    FExercise->KeyDown(KeyCodeOf(*event), ShiftStateOf(event->modifiers()));
    if (!event->isAutoRepeat() && FExercise->FCorrectAnswer != -1)
        FDrill.KeyJudged(FExercise->FCorrectAnswer == 1);
}

void TKeyboardForm::HandleKeyRelease(QKeyEvent* event) {
    event->accept();
    // Qt leaves a released modifier out of the state; the others still
    // held are what counts.
    const std::uint16_t key = KeyCodeOf(*event);
    const TShiftState shift = ShiftStateOf(event->modifiers());
    const bool answers = !event->isAutoRepeat() && FSelKeyList->IsCorrectKey(key, shift);
    FExercise->KeyUp(key, shift, event->isAutoRepeat());
    if (answers) {
        FDrill.Answered();
        NoteProblemShown();
    }
}

void TKeyboardForm::KeyboardPanelMouseDown(QMouseEvent*) {
    // The click shows the key pressed; it is not judged.
    const int code = DrawKeyboardScene(true);
    if (code > 0) {
        FExercise->FKeyDownModelName =
            code == VK_SHIFT ? QStringLiteral("key_rshift_16") : QStringLiteral("key_%1").arg(code);
        Redraw();
    }
}

void TKeyboardForm::KeyboardPanelMouseUp(QMouseEvent*) {
    FExercise->FKeyDownModelName.clear();
    Redraw();
}

void TKeyboardForm::ShowTextMessage(const QString& imageFile, const QString& text, int fontSize,
                                    bool modal) {
    FMessage->SetImageFileName(imageFile);
    QFont font = FMessage->Font();
    font.setPointSize(fontSize);
    FMessage->SetFont(font);
    FMessage->SetText({text});
    FMessage->SetShowInCenter(true);
    FMessage->SetTransparency(0);
    FMessage->SetTransparent(true);
    FMessage->TexItem()->Position.z = float(FMessage->GetMessageZPos());
    FMessage->OnClose = nullptr;
    if (modal) {
        ThreadTimer->SetEnabled(false);
        FMessage->ShowModal();
    } else {
        FMessage->Show();
    }
}

void TKeyboardForm::DrawObject(const QString& name) {
    KeyboardObj->DrawData_OLD(name, nullptr);
}

void TKeyboardForm::ApplyProblemMotion() {
    const TGLArrayf3 entry = FExercise->EntryStep();
    glTranslatef(entry.x, entry.y, entry.z);
    const TGLArrayf3 drift = FExercise->DriftOffset();
    glTranslatef(drift.x, drift.y, drift.z);
}

void TKeyboardForm::DrawProblemCaption() {
    const QList<int>& lists = FSelKeyList->CallListIDList();
    const QString caption = FSelKeyList->SelCaption();
    const QFontMetrics metrics(KeyboardPanel->font());
    const int wide = metrics.horizontalAdvance(QStringLiteral("W"));
    const double ratio = wide > 0 && !caption.isEmpty()
                             ? double(metrics.horizontalAdvance(caption.left(1))) / wide
                             : 1.0;
    float cx = 0, cy = 50, half = 0;
    if (const T3DModel* shell = KeyboardObj->FindNamedModel(kProblemShell)) {
        cx = shell->CenterX();
        cy = shell->CenterY();
        half = std::abs(shell->MaxPos.x - shell->MinPos.x) / 2;
    }
    const float s = KeyboardPanel->Scale();
    glPushMatrix();
    glLoadIdentity();
    ApplyProblemMotion();
    glScalef(s, s, s);
    if (FExercise->FProblemPosShift == 0) {
        const TGLArrayf3 f = FExercise->FloatingOffset();
        glTranslatef(f.x, f.y, 0);
    }
    if (FSelKeyList->SelIsJongSung())
        glTranslatef(-3, -9, 0);
    glTranslatef(float(cx - half * 0.5 * ratio), cy - half * 0.5f, 2);
    glScalef(half * 1.4f, half * 1.4f, 7);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.05f, 0.2f, 0.8f, 1.0f);
    for (int name : lists)
        glCallList(GLuint(name));
    glColor4f(1, 1, 1, 1);
    glPopMatrix();
}

void TKeyboardForm::DrawProblemShell(const T3DModel& shell) {
    const float s = KeyboardPanel->Scale();
    glPushMatrix();
    glLoadIdentity();
    ApplyProblemMotion();
    glScalef(s, s, s);
    const int step = FExercise->FExplosionAniTick;
    if (step != 0) {
        const float visibleW = FExpMaxVisiblePos.x - FExpMinVisiblePos.x;
        const float visibleH = FExpMaxVisiblePos.y - FExpMinVisiblePos.y;
        const float panelW = float(KeyboardPanel->width());
        const float panelH = float(KeyboardPanel->height());
        if (visibleW > 0 && visibleH > 0 && panelW > 0 && panelH > 0) {
            TGLTexturePanelItem* sprite = FExplosionAni->TexturePanel();
            sprite->Width = int(shell.Width() * panelW * 1.3f * s / visibleW);
            sprite->Height = int(shell.Height() * panelH * 1.3f * s / visibleH);
            const int index = 2 * step;
            const float x = shell.CenterX() - float(sprite->Width) / s / panelW * visibleW / 2;
            const float y = shell.CenterY() - float(sprite->Height) / s / panelH * visibleH / 2;
            glFrontFace(GL_CCW);
            FExplosionAni->Draw(0, index % 5, index / 5, x, y, shell.CenterZ());
            glFrontFace(GL_CW);
        }
    } else {
        if (FExercise->FProblemPosShift == 0) {
            const TGLArrayf3 f = FExercise->FloatingOffset();
            glTranslatef(f.x, f.y, 0);
        }
        DrawObject(shell.ObjectName);
    }
    glPopMatrix();
}

void TKeyboardForm::FadeFingerMessage() {
    // Runs once per finger per frame: the first finger of a frame that finds
    // the message hidden shows it, the later ones fade and lift it.
    if (!FMessage->Visible()) {
        ShowTextMessage(QString(), QString::fromUtf8(kFingerMessage), 40, false);
        FMessage->FadeAway(0, 0, 5, 0);
    } else {
        FMessage->FadeAway(0.0015f, 0, 0.05, 0.03);
    }
}

void TKeyboardForm::DrawFinger(const T3DModel& finger) {
    glPushMatrix();
    float d = 0;
    if (FExercise->FingerFlight(d)) {
        FadeFingerMessage();
        const float k =
            finger.ObjectName.contains(QLatin1String("LEFT"), Qt::CaseInsensitive) ? -1.0f : 1.0f;
        glTranslatef(k * d * 0.6f, 2 * d, 0.5f * d);
    }
    glTranslatef(-finger.CenterX(), -finger.CenterY(), -finger.CenterZ());
    bool lifted = false;
    const QString targetName = FExercise->FingerTargetName(finger.ObjectName, lifted);
    const T3DModel* target =
        targetName.isEmpty() ? nullptr : KeyboardObj->FindNamedModel(targetName);
    if (target) {
        if (lifted) {
            const float shift = float(FExercise->FFingerShift);
            glTranslatef(0, -shift / 3, shift);
        }
        glTranslatef(target->CenterX(), target->CenterY(), target->CenterZ() + target->Depth() / 2);
        DrawObject(finger.ObjectName);
    }
    glPopMatrix();
}

void TKeyboardForm::DrawThunder() {
    const float s = KeyboardPanel->Scale();
    glPushMatrix();
    glLoadIdentity();
    glScalef(s, s, s);
    const float h = float(FExercise->FThunderTick / 2);
    const float r1 = float(RandomBelow(2)), r2 = float(RandomBelow(2));
    glTranslatef(-15 * h - 20 * r1, 40 - 20 * h + 30 * r2, 7 * h);
    DrawObject(kThunderPlane);
    const float r3 = float(RandomBelow(2)), r4 = float(RandomBelow(2));
    glTranslatef(80 - 5 * h + 20 * r3, 30 - 10 * h - 20 * r4, 3 * h);
    DrawObject(kThunderPlane);
    glPopMatrix();
}

int TKeyboardForm::DrawKeyboardScene(bool selecting) {
    if (FDestroying || !KeyboardPanel->GLInitialized())
        return -1;
    TKeyboardExercise& ex = *FExercise;
    KeyboardPanel->SetCurrentGLContext();
    KeyboardPanel->SetGLModes(selecting);
    if (selecting) {
        // A picking pass is drawn outside the panel's frame, so the camera
        // transform is set up here as the frame would.
        glLoadIdentity();
        KeyboardPanel->ApplyTransform();
    } else {
        // Fully transparent texels (round the clouds and the bolt) must not
        // hide what is drawn behind them later.
        glAlphaFunc(GL_GREATER, 0.0f);
        glEnable(GL_ALPHA_TEST);
    }
    glPushMatrix();
    glFrontFace(GL_CW);

    if (!selecting) {
        const T3DModel* back = KeyboardObj->FindNamedModel(kBackPlane);
        if (back && back->MaxPos.x != 0 && back->MaxPos.y != 0) {
            glPushMatrix();
            glLoadIdentity();
            glScalef((KeyboardPanel->MaxVisibleX() + 16) / back->MaxPos.x,
                     (KeyboardPanel->MaxVisibleY() + 16) / back->MaxPos.y, KeyboardPanel->Scale());
            const int t = ex.FBackAniTick % 32;
            const float shift = float(t < 16 ? t : 32 - t);
            glTranslatef(-shift, shift, 0);
            DrawObject(back->ObjectName);
            glPopMatrix();
        }
        if (ex.CaptionVisible())
            DrawProblemCaption();
    }

    glFrontFace(GL_CW);
    float angle = 0, spinScale = 1;
    if (ex.OpeningSpin(angle, spinScale)) {
        glRotatef(angle, 0, 0, 1);
        glScalef(spinScale, spinScale, 1);
    }

    // An object made of several parts (one per material) is drawn whole at
    // its first part.
    QStringList drawn;
    const bool showFingers = ex.Options().ShowFinger && ex.FStartAniFinished;
    for (int i = 0; i < KeyboardObj->modelList.Count(); ++i) {
        const T3DModel& model = *KeyboardObj->modelList.Items(i);
        const QString& name = model.ObjectName;
        if (SameName(name, kBackPlane) || SameName(name, kThunderPlane))
            continue;
        const bool isFinger = HasPrefix(name, "Finger_");
        if (isFinger && !showFingers)
            continue;
        if (selecting && !HasPrefix(name, "key_"))
            continue;
        if (drawn.contains(name, Qt::CaseInsensitive))
            continue;
        drawn << name;

        const int code = TKeyboardExercise::KeyCodeOfObject(name);
        if (selecting)
            glPushName(GLuint(code));
        const bool isShell = SameName(name, kProblemShell);
        if (isShell) {
            if (ex.OpeningFinished())
                DrawProblemShell(model);
        } else if (ex.IsKeyDrawnDown(name)) {
            glPushMatrix();
            glTranslatef(0, 0, -0.8f * model.Depth());
            DrawObject(name);
            glPopMatrix();
        } else if (isFinger) {
            DrawFinger(model);
        } else {
            const bool shake = !selecting && ex.FThunderTick > 0;
            if (shake) {
                // The keyboard shakes under the thunder.
                glPushMatrix();
                const int sign = RandomBelow(2) == 0 ? 1 : -1;
                glTranslatef(0, 0, float(sign * RandomBelow(12)) / 3);
            }
            DrawObject(name);
            if (shake)
                glPopMatrix();
        }
        if (selecting)
            glPopName();
    }

    if (!selecting && FMessage->Visible() && ex.FAniTick % 7 != 0) {
        // The message faces the viewer with counter-clockwise corners.
        glFrontFace(GL_CCW);
        FMessage->TexItem()->Draw();
        glFrontFace(GL_CW);
    }

    if (!selecting && KeyboardObj->FindNamedModel(kThunderPlane) && ex.FThunderTick > 0 &&
        ex.FThunderTick % 2 == 0)
        DrawThunder();

    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
    glFrontFace(GL_CCW);
    if (!selecting)
        return -1;
    return KeyboardPanel->EndSelection();
}

void TKeyboardForm::KeyboardObjGetTextureSuffix(const QString& ObjectName, QString& SuffixName) {
    SuffixName = FExercise->TextureSuffix(ObjectName);
}

void TKeyboardForm::KeyboardObjGetTextureFileName(TTextureItem* item, QString& TextureFileName) {
    if (item->MaterialName == QLatin1String("BackMat")) {
        TextureFileName =
            MediaPath(item->SuffixName.compare(QLatin1String("Focused"), Qt::CaseInsensitive) == 0
                          ? QStringLiteral("models\\maps\\dark_cloud.png")
                          : QStringLiteral("models\\maps\\white_cloud.png"));
    } else if (item->MaterialName == QLatin1String("ThunderMat")) {
        TextureFileName = MediaPath(QStringLiteral("models\\maps\\ThunderImage.png"));
    }
}

void TKeyboardForm::KeyboardObjTextureLoaded(TTextureItem* item, QImage& Bitmap) {
    const QString& material = item->MaterialName;
    if (SameName(material, QStringLiteral("BackMat")) ||
        SameName(material, QStringLiteral("ThunderMat")))
        return;
    if (SameName(item->SuffixName, QStringLiteral("Selected")))
        BlendBitmapColor(Bitmap, 16777215, 33);
    else if (SameName(item->SuffixName, QStringLiteral("Focused")))
        BlendBitmapColor(Bitmap, 3538249, 45);
    if (material == kKeyCapMaterial) {
        DrawKeyCapTexture(Bitmap, KeyboardSetup);
        SetAlphaChannel(Bitmap, false, clNone, false, 1, 1, 0);
    }
}

void TKeyboardForm::KeyboardObjGetMaterialProperty(const QString& ObjectName,
                                                   TMaterialItem* Material) {
    if (!Material)
        return;
    FExercise->MaterialProperty(ObjectName, *Material, FKeyCapTexture);
}

void TKeyboardForm::DrawKeyCapTexture(QImage& bitmap, const TKeyboardSetupRec& setup) {
    if (bitmap.isNull())
        return;
    const bool english = setup.languageIndex == 0;
    TEnglishKeyboardLayout local = KeyboardLayout(0);
    AssignKeyboardLayout(setup.languageIndex, local);
    const TEnglishKeyboardLayout& en = KeyboardLayout(0);

    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(setup.FontName);
    font.setBold(setup.FontBold);
    font.setItalic(setup.FontItalic);
    const QColor colour = ToQColor(setup.FontColor);
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    const QString none = QStringLiteral(" ");

    int x = 0;
    for (int i = 0; i < kKeyCount; ++i) {
        const TPhysicalKey& key = PhysicalKey(i);
        if (key.Col == 1)
            x = 0;
        const int top = (key.Row - 1) * 60;
        const int width = int(60 * key.Width);
        const QRect cell(x, top, width, 60);
        const QRect square(x, top, 60, 60);

        QString upper = en[std::size_t(i)].DisplayChar[1];
        QString lower = en[std::size_t(i)].DisplayChar[0];
        if (upper == none) {
            upper = lower;
            lower = none;
        }
        const bool control = en[std::size_t(i)].KeyGroup == kgControl;
        font.setPointSize(control ? 16 : std::max(1, setup.FontSize));
        painter.setFont(font);

        if (english || setup.AlwaysShowEnglish || control) {
            if (lower != none) {
                DrawKeyLabel(painter, cell, english && !control ? klhWhole : klhLeftHalf, false,
                             upper, klvUpperHalf);
                DrawKeyLabel(painter, square, english ? klhWhole : klhLeftHalf, false, lower,
                             klvLowerHalf);
            } else if (english && !control) {
                DrawKeyLabel(painter, cell, klhWhole, false, upper, klvWhole);
            } else {
                DrawKeyLabel(painter, cell, klhLeftHalf, false, upper, klvUpperHalf);
            }
        }

        const TKeyInfo& info = local[std::size_t(i)];
        if (!english && info.KeyGroup != kgControl) {
            const QString& shifted = info.DisplayChar[1];
            const QString& plain = info.DisplayChar[0];
            const int horz = setup.AlwaysShowEnglish ? klhRightHalf : klhWhole;
            if (shifted != none && !(setup.AlwaysShowEnglish && shifted == upper))
                DrawKeyLabel(painter, cell, horz, info.IsJongSung[1], shifted, klvUpperHalf);
            if (plain != none && !(setup.AlwaysShowEnglish && plain == lower)) {
                if (shifted == none && !setup.AlwaysShowEnglish)
                    DrawKeyLabel(painter, cell, klhWhole, info.IsJongSung[0], plain, klvWhole);
                else
                    DrawKeyLabel(painter, cell, horz, info.IsJongSung[0], plain, klvLowerHalf);
            }
        }
        x += width;
    }
}
