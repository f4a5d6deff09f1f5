#include "games/SaveMeGameForm.h"

#include "app/MediaPath.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/SettingsRecords.h"
#include "app/StringUtils.h"
#include "games/ScoreForm.h"
#include "gl/BitmapRoutines.h"
#include "gl/GLPanel.h"
#include "gl/GLTextureAnimation.h"
#include "gl/GLTextureMessage.h"
#include "gl/GLTexturePanelItem.h"
#include "gl/ObjLoader.h"
#include "gl/ThreadTimer.h"
#include "history/HistoryForm.h"
#include "history/HistoryRecorder.h"
#include "platform/CodePage949.h"
#include "platform/InputComposer.h"
#include "platform/InputModeBadge.h"
#include "shell/BorderLabel.h"
#include "shell/GameSoundList.h"

#include <algorithm>
#include <cmath>
#include <GL/gl.h>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kBackPlane = QStringLiteral("BackPlane");
const QString kLandSphere = QStringLiteral("LandSphere");
const QString kCloudSphere = QStringLiteral("CloudSphere");
const QString kPlanetSphere = QStringLiteral("PlanetSphere");
const QString kExplosionRed = QStringLiteral("Explosion_red");
const QString kExplosionOrange = QStringLiteral("Explosion_orange");
const QString kExplosionPrefix = QStringLiteral("Explosion_");

// The pictures "back_mat" draws from, with equal chance.
constexpr const char* kBackgrounds[] = {"galaxy1.png", "galaxy2.png", "galaxy3.png",
                                        "galaxy4.png", "galaxy5.png", "moon_collision2.png"};

constexpr TColor kLabelBack = RGBColor(224, 224, 224);
constexpr int kTopPanelHeight = 65;
constexpr int kInputWidth = 420;
constexpr int kTickInterval = 150;

TSaveMeGameForm* CurrentForm = nullptr;

bool HasPrefix(const QString& name, const QString& prefix) {
    return StartsWithText(name, prefix, false);
}

void RotateAboutCentre(const T3DModel& model, float angle, float x, float y, float z) {
    glTranslatef(model.CenterX(), model.CenterY(), model.CenterZ());
    glRotatef(angle, x, y, z);
    glTranslatef(-model.CenterX(), -model.CenterY(), -model.CenterZ());
}

QFont TopFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(30);
    font.setBold(true);
    return font;
}

void SetupOutlinedLabel(TBorderLabel* label, const QString& caption) {
    label->SetBorderShape(bsNone);
    label->SetTransparent(true);
    label->SetDrawOutline(true);
    label->SetOutlineThickness(2);
    label->SetOutlineColor(clBlack);
    label->SetGradTopColor(RGBColor(255, 255, 0));
    label->SetFontColor(RGBColor(0, 236, 0));
    label->SetMoreWidth(4);
    label->SetMoreHeight(2);
    label->setFont(TopFont());
    label->SetCaption(caption);
}

} // namespace

TSaveMeGameForm::TSaveMeGameForm(QWidget* parent, TRandom random, TRandom sceneRandom)
    : QWidget(parent, Qt::Window)
    , FGame(std::move(random))
    , FSceneRandom(std::move(sceneRandom))
    , FHistory(std::make_unique<THistoryRecorder>()) {
    THistoryForm::ConnectRecovery(this, *FHistory);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("오르발론"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setMinimumSize(800, 600);

    CreateControls();
    ConnectGame();

    // FormCreate: the message, the model and the icons.
    GamePanel->SetCurrentGLContext();
    FGameMessage = std::make_unique<TGLTextureMessage>(GamePanel);
    FGameMessage->SetMessageZPosBase(6);
    FGameMessage->SetTransparency(0);
    QFont messageFont = FGameMessage->Font();
    messageFont.setPointSize(36);
    messageFont.setBold(true);
    FGameMessage->SetFont(messageFont);
    FGameMessage->SetFontColor(RGBColor(255, 128, 16));
    FGameMessage->SetTransparent(true);
    FGameMessage->SetTextOutLineColor(RGBColor(0, 0, 128));

    GameObjLoader->MaterialSuffixList.clear();
    const QString model = MediaPath(QStringLiteral("models\\SaveMeGame.obj"));
    if (!GameObjLoader->LoadFromFile(model))
        throw ERavlinError(model + QStringLiteral(" 파일을 찾을 수 없습니다."));
    LoadMedia();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        resize(std::max(800, int(0.9 * area.width())), std::max(600, int(0.95 * area.height())));
        move(screen->availableGeometry().center() - rect().center());
    }

    // One game at a time: an earlier game window goes (and stops its music)
    // before this one starts the playlist again.
    delete CurrentForm;
    CurrentForm = this;

    ClearInput();
    if (GameSounds)
        GameSounds->Init();
}

TSaveMeGameForm::~TSaveMeGameForm() {
    if (CurrentForm == this)
        CurrentForm = nullptr;
    // No tick or event of the game may reach this window any more.
    AniTimer->SetEnabled(false);
    AniTimer->OnTimer = nullptr;
    FGame.OnTimerChanged = nullptr;
    FGame.OnRepaint = nullptr;
    FGame.OnMoonRemoved = nullptr;
    FGame.OnClearInput = nullptr;
    FGame.OnLabelsChanged = nullptr;
    GamePanel->OnDrawScene = nullptr;
    GamePanel->OnResize = nullptr;
    // Textures go while the panel's context still exists.
    GamePanel->SetCurrentGLContext();
    FLabels.clear();
    FGameMessage.reset();
    FStopAni.reset();
    FEarthLifeAni.reset();
    GameObjLoader.reset();
    if (GameSounds)
        GameSounds->Stop();
}

TSaveMeGameForm* TSaveMeGameForm::Current() {
    return CurrentForm;
}

void TSaveMeGameForm::CreateControls() {
    TopPanel = new QWidget(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFixedHeight(kTopPanelHeight);
    TopPanel->installEventFilter(this);
    FTopImage = QImage(MediaPath(QStringLiteral("Images\\SaveMeGame_top.png")));

    LevelLabel = new TBorderLabel(TopPanel);
    LevelLabel->setObjectName(QStringLiteral("LevelLabel"));
    SetupOutlinedLabel(LevelLabel, QStringLiteral("Level 1"));
    ScoreLabel = new TBorderLabel(TopPanel);
    ScoreLabel->setObjectName(QStringLiteral("ScoreLabel"));
    SetupOutlinedLabel(ScoreLabel, QStringLiteral("Score 0"));
    TypeLabel = new TBorderLabel(TopPanel);
    TypeLabel->setObjectName(QStringLiteral("TypeLabel"));
    SetupOutlinedLabel(TypeLabel, QStringLiteral("Type"));

    InputEdit = new QLineEdit(TopPanel);
    InputEdit->setObjectName(QStringLiteral("InputEdit"));
    InputEdit->setFrame(false);
    InputEdit->setMaxLength(50);
    InputEdit->setFixedWidth(kInputWidth);
    QFont inputFont(QStringLiteral("Tahoma"));
    inputFont.setPixelSize(27);
    InputEdit->setFont(inputFont);
    QPalette pal = InputEdit->palette();
    pal.setColor(QPalette::Base, QColor(97, 97, 97));
    pal.setColor(QPalette::Text, Qt::white);
    InputEdit->setPalette(pal);
    InputEdit->installEventFilter(this);
    // Installed after this window's filter, so the composer sees every key
    // first: Space and Enter finish the syllable before the answer is taken.
    FComposer = new TInputComposer(this);
    FComposer->Attach(InputEdit, true);
    FInputModeBadge = TInputModeBadge::AttachTo(InputEdit, FComposer);

    GamePanel = new TGLPanel(this);
    GamePanel->setObjectName(QStringLiteral("GamePanel"));
    GamePanel->SetClearColor(RGBColor(166, 202, 240));
    GamePanel->SetAllowRotationByDX(false);
    GamePanel->SetAllowRotationByDY(false);
    GamePanel->SetAllowTransByArrowKey(false);
    GamePanel->SetAllowScaleByWheel(false);
    GamePanel->SetAllowInitTransformByDblClick(false);
    GamePanel->SetFixImeModeToEnglish(false);
    GamePanel->SetDepthOfVisiblePos(-85);
    GamePanel->SetScale(0.3f);
    GamePanel->SetAntiAliasQuality(aaq8X);
    GamePanel->SetLazyDrawOnMouseMove(false);
    GamePanel->SetLazyDrawInterval(220);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TopPanel);
    layout->addWidget(GamePanel, 1);

    AniTimer = new TThreadTimer(this);
    AniTimer->SetEnabled(false);
    AniTimer->SetInterval(kTickInterval);
    AniTimer->SetThreadPriority(tpHighest);
    AniTimer->OnTimer = [this](TThreadTimer*) { FGame.Tick(); };

    GameObjLoader = std::make_unique<TObjLoader>();
    GameObjLoader->OnGetMaterialProperty = [this](TObjLoader*, const QString& name,
                                                  TMaterialItem* material) {
        GameObjLoaderGetMaterialProperty(name, material);
    };
    GameObjLoader->OnGetTextureFileName = [this](TTextureItem* item, QString& fileName) {
        GameObjLoaderGetTextureFileName(item, fileName);
    };
    GameObjLoader->OnTextureLoaded = [this](TTextureItem* item, QImage& bitmap) {
        GameObjLoaderTextureLoaded(item, bitmap);
    };

    GamePanel->OnDrawScene = [this](TGLPanel*) { GamePanelDrawScene(); };
    GamePanel->OnResize = [this](TGLPanel*) { GamePanelResize(); };
    GamePanel->OnClick = [this](TGLPanel*) { FGame.PanelClicked(); };
    GamePanel->OnEnter = [this](TGLPanel*) { InputEdit->setFocus(); };
}

void TSaveMeGameForm::ConnectGame() {
    FGame.OnTimerChanged = [this](TSaveMeGame*, bool enabled) { AniTimer->SetEnabled(enabled); };
    FGame.OnRepaint = [this](TSaveMeGame*) { GamePanel->DrawScene(); };
    FGame.OnPlaySound = [this](TSaveMeGame*, TSaveMeSound sound) {
        PlayExplosion(sound == ssExplosion);
    };
    FGame.OnMusicNext = [](TSaveMeGame*) {
        if (GameSounds)
            GameSounds->Next();
    };
    FGame.OnClearInput = [this](TSaveMeGame*) { ClearInput(); };
    FGame.OnLabelsChanged = [this](TSaveMeGame*) { UpdateLabels(); };
    FGame.OnMessageShow = [this](TSaveMeGame*, const TSaveMeMessage& message) {
        ShowMessage(message);
    };
    FGame.OnMessageFade = [this](TSaveMeGame*, float inc, float dx, float dy) {
        FGameMessage->IncTimerTick();
        GamePanel->SetCurrentGLContext();
        FGameMessage->FadeAway(inc, dx, dy, 0);
    };
    FGame.OnMessageClose = [this](TSaveMeGame*) { FGameMessage->Close(); };
    FGame.OnNewBackground = [this](TSaveMeGame*) {
        GamePanel->SetCurrentGLContext();
        try {
            GameObjLoader->ReloadMaterial(QStringLiteral("back_mat"), QString());
        } catch (const ERavlinError&) {
            // An unreadable picture leaves the plane without one.
        }
    };
    FGame.OnMoonAdded = [this](TSaveMeGame*, TGameEnemy* moon) { AddLabel(moon); };
    FGame.OnMoonRemoved = [this](TSaveMeGame*, TGameEnemy* moon) { RemoveLabel(moon); };
    FGame.OnGameFinished = [this](TSaveMeGame*, int score, int level, const QString& language) {
        // The board is shown once the tick that ended the game has run out.
        QPointer<TSaveMeGameForm> self(this);
        QTimer::singleShot(0, this, [self, score, level, language] {
            if (self)
                self->FinishGame(score, level, language);
        });
    };
}

void TSaveMeGameForm::LoadMedia() {
    auto sheet = [this](const QString& name) {
        auto animation = std::make_unique<TGLTextureAnimation>(GamePanel);
        const QString path = MediaPath(name);
        if (QFileInfo(path).isFile()) {
            try {
                animation->AddTexture(path);
            } catch (const ERavlinError&) {
                // A broken picture is skipped like a missing one.
            }
        }
        animation->SetHorzTextureCount(2);
        animation->SetVertTextureCount(2);
        animation->SetScale(0.7f);
        return animation;
    };
    FStopAni = sheet(QStringLiteral("Images\\Stop.png"));
    FEarthLifeAni = sheet(QStringLiteral("Images\\EarthLife.png"));
}

void TSaveMeGameForm::SetTickInterval(int ms) {
    AniTimer->SetInterval(std::max(1, ms));
}

// --- Start and input -----------------------------------------------------

void TSaveMeGameForm::StartGame(const QString& fileName, int level, const QStringList& lines) {
    QFont inputFont(SaveMeGameSetUp.FontName);
    inputFont.setBold(SaveMeGameSetUp.FontBold);
    inputFont.setPointSize(24);
    InputEdit->setFont(inputFont);
    QFont labelFont = inputFont;
    labelFont.setFamily(QStringLiteral("Tahoma"));
    labelFont.setPointSize(30);
    for (TBorderLabel* label : {LevelLabel, ScoreLabel, TypeLabel}) {
        label->setFont(labelFont);
        label->SetFontColor(RGBColor(0, 236, 0));
    }
    TopPanel->setFixedHeight(InputEdit->sizeHint().height() + 22);

    FGame.SetUseSound(SaveMeGameSetUp.UseSound);
    FGame.SetUseBGM(SaveMeGameSetUp.UseBGM);
    FGame.StartGame(fileName, level, lines);
    FHistorySource = QFileInfo(fileName).completeBaseName();
    FHistory->Restart();
    ApplyInputMode();
    InputEdit->setFocus();
}

void TSaveMeGameForm::ApplyInputMode() {
    const QString& language = FGame.GameLanguageDesc();
    if (language.compare(QStringLiteral("한글"), Qt::CaseInsensitive) == 0) {
        FComposer->SetTypingLang(tlNative);
        InputEdit->setInputMethodHints(Qt::ImhNone);
    } else if (language.compare(QStringLiteral("영어"), Qt::CaseInsensitive) == 0) {
        FComposer->SetTypingLang(tlEng);
        InputEdit->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhLatinOnly);
    }
}

void TSaveMeGameForm::FormActivate() {
    ApplyInputMode();
}

void TSaveMeGameForm::ClearInput() {
    // Ends a composition in progress, so no half-built syllable stays behind.
    FComposer->Commit();
    QGuiApplication::inputMethod()->commit();
    InputEdit->clear();
}

void TSaveMeGameForm::UpdateLabels() {
    LevelLabel->SetCaption(QStringLiteral("Level ") + QString::number(FGame.GameLevel()));
    ScoreLabel->SetCaption(QStringLiteral("Score ") + QString::number(FGame.Score()));
    TopPanelResize();
}

void TSaveMeGameForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    TopPanelResize();
    InputEdit->setFocus();
}

void TSaveMeGameForm::closeEvent(QCloseEvent* event) {
    AniTimer->SetEnabled(false);
    QWidget::closeEvent(event);
}

void TSaveMeGameForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QWidget::changeEvent(event);
}

bool TSaveMeGameForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == InputEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The key itself is not typed: the box is emptied for the next word.
            FGame.EnterPressed(InputEdit->text());
            return true;
        case Qt::Key_Escape:
            FGame.EscPressed();
            return true;
        case Qt::Key_PageDown:
            FGame.PageDownPressed();
            return true;
        default:
            break;
        }
    } else if (watched == TopPanel) {
        if (event->type() == QEvent::Resize)
            TopPanelResize();
        else if (event->type() == QEvent::Paint) {
            PaintTopPanel();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSaveMeGameForm::TopPanelResize() {
    const int h = TopPanel->height();
    for (TBorderLabel* label : {LevelLabel, ScoreLabel, TypeLabel})
        label->move(label->x(), (h - label->height()) / 2);
    LevelLabel->move(10, LevelLabel->y());
    ScoreLabel->move(TopPanel->width() - ScoreLabel->width() - 10, ScoreLabel->y());
    InputEdit->setFixedHeight(InputEdit->sizeHint().height());
    // The box is as wide as the labels on both sides leave room for.
    const int w = TopPanel->width();
    const int room = std::min(w - 2 * (LevelLabel->width() + TypeLabel->width() + 25),
                              w - 2 * (ScoreLabel->width() + 30));
    InputEdit->setFixedWidth(std::clamp(room, 120, kInputWidth));
    InputEdit->move((TopPanel->width() - InputEdit->width()) / 2 + 10,
                    (h - InputEdit->height()) / 2);
    TypeLabel->move(InputEdit->x() - TypeLabel->width() - 5, TypeLabel->y());
}

void TSaveMeGameForm::PaintTopPanel() {
    QPainter painter(TopPanel);
    if (!FTopImage.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(TopPanel->rect(), FTopImage);
    } else {
        painter.fillRect(TopPanel->rect(), QColor(24, 28, 52));
    }
}

// --- Messages, sounds, the end -------------------------------------------

void TSaveMeGameForm::ShowMessage(const TSaveMeMessage& message) {
    GamePanel->SetCurrentGLContext();
    QFont font = FGameMessage->Font();
    font.setPointSize(message.FontSize);
    FGameMessage->SetFont(font);
    FGameMessage->SetText(message.Lines);
    FGameMessage->SetShowInCenter(message.Centred);
    FGameMessage->SetTransparency(0);
    FGameMessage->SetTransparent(true);
    FGameMessage->SetMaxTimerTick(message.MaxTicks);
    FGameMessage->SetImageFileName(message.Picture);
    if (!message.Centred)
        FGameMessage->TexItem()->Position = message.Position;
    try {
        if (message.Modal)
            FGameMessage->ShowModal();
        else
            FGameMessage->Show();
    } catch (const ERavlinError&) {
        // A picture that cannot be read: the text alone.
        FGameMessage->SetImageFileName(QString());
        if (message.Modal)
            FGameMessage->ShowModal();
        else
            FGameMessage->Show();
    }
}

void TSaveMeGameForm::PlayExplosion(bool special) {
    if (GameSounds)
        GameSounds->Play(special ? GameSounds->ExplSnd : GameSounds->GoodSnd);
}

void TSaveMeGameForm::FinishGame(int score, int level, const QString& language) {
    if (FFinishing)
        return;
    FFinishing = true;
    ClearInput();
    FHistory->RecordGame(haOrbalon, FHistorySource, level, score);
    QPointer<TScoreForm> board;
    try {
        board = new TScoreForm(this);
        board->NameTypingLang = FComposer->TypingLang();
    } catch (const ERavlinError& error) {
        ShowErrorMessage(this, error.Message());
    }
    if (board) {
        try {
            board->SubmitResult(score, level, EncodeCp949(language));
        } catch (const ERavlinError& error) {
            // The board still shows what it holds; only the file could not be kept.
            ShowErrorMessage(this, error.Message());
        }
        if (board)
            board->exec();
        delete board.data();
    }
    close();
}

int TSaveMeGameForm::SceneRandom(int n) {
    if (n <= 1)
        return 0;
    if (FSceneRandom)
        return std::clamp(FSceneRandom(n), 0, n - 1);
    return int(QRandomGenerator::global()->bounded(n));
}

// --- Word labels ---------------------------------------------------------

void TSaveMeGameForm::AddLabel(TGameEnemy* moon) {
    GamePanel->SetCurrentGLContext();
    const TGLArrayf3& p = moon->LabelPosition;
    auto item = std::make_unique<TGLTexturePanelItem>(GamePanel, QStringLiteral("ENEMY_TEXTURE"),
                                                      p.x, p.y, p.z);
    item->ItemName =
        moon->FSpecialItem != siNone ? QStringLiteral("SpecialItem") : QStringLiteral("NormalItem");
    item->SetBackColor(kLabelBack);
    item->SetAlpha(1);
    item->SetCornerDepth(3);
    item->DrawLine = false;
    item->RotatePlane = true;
    item->LineLength = 0.01f;
    item->PanelVisible = true;
    item->SphereRadius = 0;
    item->SphereColor = RGBColor(255, 255, 0);
    item->LinePos = lpCenter;
    QFont font(SaveMeGameSetUp.FontName);
    font.setPointSize(SaveMeGameSetUp.FontSize > 0 ? SaveMeGameSetUp.FontSize : 36);
    font.setBold(SaveMeGameSetUp.FontBold);
    font.setItalic(SaveMeGameSetUp.FontItalic);
    item->SetFont(font);
    item->OnDrawTextureItem = [](TGLTexturePanelItem* sender, QImage& bitmap) {
        PaintWordLabel(sender, bitmap);
    };
    item->SetDesc(moon->Desc);
    item->SetText(moon->Word);
    FLabels[moon] = std::move(item);
}

void TSaveMeGameForm::RemoveLabel(TGameEnemy* moon) {
    auto it = FLabels.find(moon);
    if (it == FLabels.end())
        return;
    GamePanel->SetCurrentGLContext();
    FLabels.erase(it);
}

TGLTexturePanelItem* TSaveMeGameForm::LabelOf(const TGameEnemy* moon) const {
    auto it = FLabels.find(moon);
    return it == FLabels.end() ? nullptr : it->second.get();
}

void TSaveMeGameForm::PaintWordLabel(TGLTexturePanelItem* item, QImage& bitmap) {
    const QFontMetrics metrics(item->Font());
    const QString& word = item->Text();
    const QString& desc = item->Desc();
    const int h = metrics.height(); // the height of "H"
    const int descWidth = desc.isEmpty() ? 0 : metrics.horizontalAdvance(desc);
    const int wordWidth = metrics.horizontalAdvance(word);
    const int height = h + 8 + (desc.isEmpty() ? 0 : h + 3);
    const int m = height * 42 / 103;
    const int width = descWidth < wordWidth ? 2 * m + wordWidth + 2 * int(word.size())
                                            : 2 * m + descWidth + 2 * int(desc.size());

    const bool special = item->ItemName == QLatin1String("SpecialItem");
    const TColor text = special ? RGBColor(0, 255, 0) : RGBColor(255, 128, 16);
    const TColor top = special ? RGBColor(255, 255, 255) : RGBColor(224, 224, 224);
    const TColor outline = special ? RGBColor(128, 128, 128) : clBlack;

    bitmap = QImage(std::max(1, width), height, QImage::Format_ARGB32);
    bitmap.fill(ToQColor(kLabelBack));
    TGLTextureMessage::TextOutWithOutLine(bitmap, item->Font(), text, m + 1, 3, word, outline, top,
                                          2);
    if (!desc.isEmpty())
        TGLTextureMessage::TextOutWithOutLine(bitmap, item->Font(), text, m + 1, h + 6, desc,
                                              outline, top, 2);
    // The back colour vanishes; the texture takes the bytes as they lie, so
    // red and blue are exchanged here.
    SetAlphaChannel(bitmap, false, kLabelBack, true, 1, 1, 0);
}

// --- Model hooks ---------------------------------------------------------

void TSaveMeGameForm::GameObjLoaderGetMaterialProperty(const QString& ObjectName,
                                                       TMaterialItem* Material) {
    if (ObjectName.isEmpty())
        return;
    if (HasPrefix(ObjectName, kLandSphere)) {
        if (FGame.AnyCollision())
            Material->Blend = {true, 1, 0.5f, 0.5f, 1};
    } else if (HasPrefix(ObjectName, kExplosionPrefix)) {
        const float g = float(100 - SceneRandom(100)) / 400 + 0.05f;
        const float b = float(100 - SceneRandom(100)) / 400 + 0.05f;
        Material->Diffuse = {true, 1, g, b, 0.0001f};
        Material->Tr = 0.75f;
    } else if (HasPrefix(ObjectName, kPlanetSphere)) {
        if (FDrawingEnemy && FDrawingEnemy->FExplosionType == etCollision) {
            const float s = float(FDrawingEnemy->FExplosionStep);
            Material->Blend = {true, 0.9f * s + 0.5f, 0.2f - 0.3f * s, 0.2f - 0.3f * s,
                               0.8f - 0.07f * s};
        }
    }
}

void TSaveMeGameForm::GameObjLoaderGetTextureFileName(TTextureItem* item,
                                                      QString& TextureFileName) {
    if (item->MaterialName != QLatin1String("back_mat"))
        return;
    const int pick = SceneRandom(int(std::size(kBackgrounds)));
    TextureFileName =
        MediaPath(QStringLiteral("models\\maps\\") + QLatin1String(kBackgrounds[pick]));
    FBackgroundFile = TextureFileName;
}

void TSaveMeGameForm::GameObjLoaderTextureLoaded(TTextureItem* item, QImage& Bitmap) {
    if (item->MaterialName == QLatin1String("Cloud_Mat"))
        SetAlphaChannel(Bitmap, true, RGBColor(1, 146, 201), false, 0.4f, 0.7f, 0.05f);
}

// --- The scene -----------------------------------------------------------

void TSaveMeGameForm::GamePanelResize() {
    float maxX = 0, maxY = 0, minX = 0, minY = 0;
    auto at = [&](float depth, TGLArrayf3& max, TGLArrayf3& min) {
        GamePanel->GetVisiblePos(depth, maxX, maxY, minX, minY);
        max = {maxX, maxY, depth};
        min = {minX, minY, depth};
    };
    at(6, FMaxVisiblePos, FMinVisiblePos);
    at(0, FMaxViewPort_0, FMinViewPort_0);
    at(45, FMaxViewPort_45, FMinViewPort_45);
    // The turning background covers the view at the depth it lies at (the
    // panel's own visible depth when the plane sits there).
    FBackMaxVisible = {GamePanel->MaxVisibleX(), GamePanel->MaxVisibleY(),
                       GamePanel->DepthOfVisiblePos()};
    if (const T3DModel* back =
            GameObjLoader ? GameObjLoader->FindNamedModel(kBackPlane) : nullptr) {
        TGLArrayf3 min;
        at(back->CenterZ(), FBackMaxVisible, min);
    }
    TSaveMeView view;
    view.MaxVisible = FMaxVisiblePos;
    view.MinVisible = FMinVisiblePos;
    view.MaxViewPort0 = FMaxViewPort_0;
    view.MinViewPort0 = FMinViewPort_0;
    view.MaxViewPort45 = FMaxViewPort_45;
    view.MinViewPort45 = FMinViewPort_45;
    view.Scale = GamePanel->Scale();
    FGame.SetView(view);
}

TGLArrayf3 TSaveMeGameForm::BurstOffset(int n, const TRandom& random) {
    auto draw = [&](int range) { return range <= 1 ? 0 : std::clamp(random(range), 0, range - 1); };
    float a = 1.2f * float(draw(n)) + 0.8f;
    if (draw(2) == 0)
        a = -a;
    float b = 1.2f * float(draw(n)) + 0.8f;
    if (draw(2) == 0)
        b = -b;
    // Where a and b already reach past the shell the particle lies on the
    // a-b plane rather than nowhere.
    const float squared = 1.44f * float(n) * float(n) - a * a - b * b;
    float c = squared > 0 ? std::sqrt(squared) : 0;
    if (draw(2) == 0)
        c = -c;
    switch (draw(3)) {
    case 0:
        return {a, b, c};
    case 1:
        return {a, c, b};
    default:
        return {c, a, b};
    }
}

void TSaveMeGameForm::DrawModel(const QString& name) {
    GameObjLoader->DrawData_OLD(name, nullptr);
}

void TSaveMeGameForm::Burst(int n, const TGLArrayf3& at, const QString& model) {
    const T3DModel* particle = GameObjLoader->FindNamedModel(model);
    if (!particle)
        return;
    const TRandom random = [this](int range) { return SceneRandom(range); };
    const int copies = 10 * std::max(0, n) + 1;
    for (int i = 0; i < copies; ++i) {
        const TGLArrayf3 offset = BurstOffset(n, random);
        glPushMatrix();
        glTranslatef(at.x + offset.x, at.y + offset.y, at.z + offset.z);
        glTranslatef(-particle->CenterX(), -particle->CenterY(), -particle->CenterZ());
        DrawModel(particle->ObjectName);
        glPopMatrix();
    }
    FParticleCount += copies;
}

void TSaveMeGameForm::DrawBackground() {
    const T3DModel* back = GameObjLoader->FindNamedModel(kBackPlane);
    if (!back || back->MaxPos.x <= 0 || back->MaxPos.y <= 0 || GamePanel->width() <= 0)
        return;
    const float theta = std::atan(float(GamePanel->height()) / float(GamePanel->width()));
    const float sx = (FBackMaxVisible.x + 5) / std::cos(theta) / back->MaxPos.x;
    const float sy = (FBackMaxVisible.y + 5) / std::sin(theta) / back->MaxPos.y;
    glPushMatrix();
    glLoadIdentity();
    glRotatef(float(FGame.AniTick()) / 12, 0, 0, 1);
    glScalef(sx, sy, 1);
    DrawModel(back->ObjectName);
    glPopMatrix();
}

void TSaveMeGameForm::DrawEarth(int t) {
    if (35 < t && t < 45) {
        const TGLArrayf3 at{-10, 20, -20};
        Burst(t - 25, at, kExplosionRed);
        Burst(t - 30, at, kExplosionRed);
        Burst(3 * ((t - 25) / 2), at, kExplosionRed);
        Burst(3 * ((t - 30) / 2), at, kExplosionRed);
        if (t == 36 && FGame.UseSound())
            PlayExplosion(true);
    }
    glPushMatrix();
    if (t > 40) {
        const float c = float(t - 40) * 140 / 30;
        const float q = 30 * (c - 70) * (c - 70) / 4900 - 30;
        glTranslatef(-q, q, c);
    }
    if (FGame.AnyCollision()) // the Earth shakes under an impact
        glTranslatef(float(SceneRandom(5) - 2) * 0.6f, float(SceneRandom(5) - 2) * 0.6f, 0);
    if (const T3DModel* land = GameObjLoader->FindNamedModel(kLandSphere)) {
        glPushMatrix();
        glScalef(0.6f, 0.6f, 0.6f);
        RotateAboutCentre(*land, float(FGame.AniTick()) * 0.5f, 1, 1, 0);
        DrawModel(land->ObjectName);
        glPopMatrix();
    }
    if (const T3DModel* clouds = GameObjLoader->FindNamedModel(kCloudSphere)) {
        glPushMatrix();
        glScalef(0.6f, 0.6f, 0.6f);
        RotateAboutCentre(*clouds, float(FGame.AniTick()) * 0.6f, 0, 1, 0);
        DrawModel(clouds->ObjectName);
        glPopMatrix();
    }
    glPopMatrix();
}

void TSaveMeGameForm::DrawIcons() {
    const float s = GamePanel->Scale();
    const int w = GamePanel->width();
    const int h = GamePanel->height();
    if (w <= 0 || h <= 0 || s <= 0)
        return;
    const float unitX = (FMaxViewPort_0.x - FMinViewPort_0.x) / float(w);
    const float unitY = (FMaxViewPort_0.y - FMinViewPort_0.y) / float(h);
    auto drawRow = [&](TGLTextureAnimation& animation, int count, int frame, bool fromRight) {
        if (animation.TextureList().Count() == 0)
            return;
        const int iconW = animation.TexturePanel()->Width;
        const int iconH = animation.TexturePanel()->Height;
        const float y = FMaxViewPort_0.y - float(iconH + 2) * unitY;
        for (int i = 0; i < count; ++i) {
            const float x = fromRight ? FMaxViewPort_0.x - float(8 + (i + 1) * (iconW + 2)) * unitX
                                      : FMinViewPort_0.x + float(5 + i * (iconW + 2)) * unitX;
            animation.Draw(0, frame % 2, frame / 2, x / s, y / s, 0);
        }
    };
    drawRow(*FStopAni, FGame.StopItemCount(), FGame.StopAniFrame(), false);
    drawRow(*FEarthLifeAni, std::max(0, FGame.Lives()), FGame.EarthLifeAniFrame(), true);
}

void TSaveMeGameForm::DrawMoons() {
    const T3DModel* planet = GameObjLoader->FindNamedModel(kPlanetSphere);
    const TGameEnemyList& moons = FGame.Enemies();
    auto drawMoon = [&](TGameEnemy& moon) {
        if (planet) {
            FDrawingEnemy = &moon;
            glPushMatrix();
            glTranslatef(moon.FPosition.x, moon.FPosition.y, moon.FPosition.z);
            glRotatef(float(moon.FSpinStep) * 5, 0, 1, 0);
            glTranslatef(-planet->CenterX(), -planet->CenterY(), -planet->CenterZ());
            DrawModel(planet->ObjectName);
            glPopMatrix();
            FDrawingEnemy = nullptr;
        }
        moon.NextSpinStep();
    };
    for (const auto& moon : moons) {
        if (moon->Flying())
            drawMoon(*moon);
    }
    for (const auto& moon : moons) {
        if (moon->FExplosionType == etCollision && moon->FExplosionStep > 0 &&
            moon->FExplosionStep <= 3)
            drawMoon(*moon);
    }

    if (FGame.SpecialItem() != siHideText) {
        for (const auto& moon : moons) {
            TGLTexturePanelItem* label = LabelOf(moon.get());
            if (!label)
                continue;
            label->Position = moon->LabelPosition;
            label->PanelVisible = moon->LabelVisible;
            label->Draw();
        }
    }

    for (const auto& moon : moons) {
        if (moon->FExplosionStep <= 0)
            continue;
        const bool impact = moon->FExplosionType == etCollision;
        if (impact && moon->FExplosionStep <= 3)
            continue;
        const QString& model =
            impact || moon->FExplosionType == etBomb ? kExplosionRed : kExplosionOrange;
        Burst(moon->FExplosionStep, moon->FPosition, model);
        Burst(moon->FExplosionStep, moon->FPosition, model);
    }
}

void TSaveMeGameForm::GamePanelDrawScene() {
    if (!GameObjLoader)
        return;
    FParticleCount = 0;
    glPushMatrix();
    // Fully clear texels (round the labels' letters) must not hide what is
    // drawn behind them later.
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnable(GL_ALPHA_TEST);

    DrawBackground();
    const int fail = FGame.FailGameStep();
    if (fail > 0) {
        const TGLArrayf3 origin{0, 0, 0};
        Burst(fail, origin, kExplosionRed);
        Burst(fail, origin, kExplosionRed);
        Burst(3 * (fail / 2), origin, kExplosionRed);
        Burst(3 * (fail / 2), origin, kExplosionRed);
    } else {
        if (const int t = FGame.StepEarthFlyIn(); t > 0)
            DrawEarth(t);
        DrawIcons();
    }
    DrawMoons();

    if (FGameMessage && FGameMessage->Visible())
        FGameMessage->TexItem()->Draw();
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();
}
