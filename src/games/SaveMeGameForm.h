#pragma once

#include "games/SaveMeGame.h"

#include <functional>
#include <map>
#include <memory>
#include <QImage>
#include <QStringList>
#include <QWidget>

class TInputModeBadge;

class QLineEdit;
class THistoryRecorder;
class T3DModel;
class TBorderLabel;
class TGLPanel;
class TGLTextureAnimation;
class TGLTextureMessage;
class TGLTexturePanelItem;
class TInputComposer;
class TObjLoader;
class TThreadTimer;
class TTextureItem;
class TMaterialItem;

// The Orbalon game window ("오르발론"): the 3D scene of moons spiralling at
// the Earth on its GL panel, and above it a strip with the level, the score
// and the answer box. The rules live in TSaveMeGame; this window runs its
// 150 ms thread timer, draws its state, paints the moons' word labels and
// passes on the keys. Closing it ends the game without a score and frees it.
class TSaveMeGameForm : public QWidget {
    Q_OBJECT
public:
    using TRandom = std::function<int(int n)>;

    // Loads "models\SaveMeGame.obj" (throws ERavlinError when it cannot be
    // read) and the icon sheets. `random` drives the
    // rules; the scene's own draws (bursts, shades, backgrounds) take
    // `sceneRandom`; either defaults to the global generator.
    explicit TSaveMeGameForm(QWidget* parent = nullptr, TRandom random = {},
                             TRandom sceneRandom = {});
    ~TSaveMeGameForm() override;

    // The one game window, nullptr when none.
    static TSaveMeGameForm* Current();

    // Begins the game with the word file's lines at `level`; `fileName` is
    // the word file's full path, which names its language.
    void StartGame(const QString& fileName, int level, const QStringList& lines);

    TSaveMeGame& Game() { return FGame; }
    // Ticks this often instead of every 150 ms; for tests only.
    void SetTickInterval(int ms);

    // One particle's offset in a burst of size n: a = ±(1.2 Random(n) +
    // 0.8), b likewise, c = ±sqrt(1.44 n² − a² − b²) (0 where that is
    // negative), on the axes as (a, b, c), (a, c, b) or (c, a, b).
    static TGLArrayf3 BurstOffset(int n, const TRandom& random);

    // The word-label painter: sizes and paints a moon label's bitmap.
    static void PaintWordLabel(TGLTexturePanelItem* item, QImage& bitmap);

    // The word label drawn for a moon, nullptr when none.
    TGLTexturePanelItem* LabelOf(const TGameEnemy* moon) const;

    TGLPanel* GamePanel = nullptr;
    TThreadTimer* AniTimer = nullptr;
    std::unique_ptr<TObjLoader> GameObjLoader;
    QWidget* TopPanel = nullptr;
    TBorderLabel* LevelLabel = nullptr;
    TBorderLabel* ScoreLabel = nullptr;
    TBorderLabel* TypeLabel = nullptr;
    QLineEdit* InputEdit = nullptr;

    TInputComposer* Composer() const { return FComposer; }
    // The input mode indicator inside the answer box.
    TInputModeBadge* InputModeBadge() const { return FInputModeBadge; }
    TGLTextureMessage* GameMessage() const { return FGameMessage.get(); }
    // The background picture the last reload of "back_mat" drew.
    const QString& BackgroundFile() const { return FBackgroundFile; }
    // Particles drawn in the last frame.
    int LastParticleCount() const { return FParticleCount; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectGame();
    void LoadMedia();
    void FormActivate();
    void ApplyInputMode();
    void ClearInput();
    void UpdateLabels();
    void TopPanelResize();
    void PaintTopPanel();
    void GamePanelResize();
    void GamePanelDrawScene();
    void GameObjLoaderGetMaterialProperty(const QString& ObjectName, TMaterialItem* Material);
    void GameObjLoaderGetTextureFileName(TTextureItem* item, QString& TextureFileName);
    void GameObjLoaderTextureLoaded(TTextureItem* item, QImage& Bitmap);
    void AddLabel(TGameEnemy* moon);
    void RemoveLabel(TGameEnemy* moon);
    void ShowMessage(const TSaveMeMessage& message);
    void FinishGame(int score, int level, const QString& language);
    void PlayExplosion(bool special);
    int SceneRandom(int n);

    void DrawBackground();
    void DrawEarth(int t);
    void DrawIcons();
    void DrawMoons();
    void DrawModel(const QString& name);
    void Burst(int n, const TGLArrayf3& at, const QString& model);

    TSaveMeGame FGame;
    TRandom FSceneRandom;
    TInputComposer* FComposer = nullptr;
    TInputModeBadge* FInputModeBadge = nullptr; // 가 / A inside the answer box
    std::unique_ptr<TGLTextureMessage> FGameMessage;
    std::unique_ptr<TGLTextureAnimation> FStopAni;
    std::unique_ptr<TGLTextureAnimation> FEarthLifeAni;
    std::map<const TGameEnemy*, std::unique_ptr<TGLTexturePanelItem>> FLabels;
    QImage FTopImage;
    TGLArrayf3 FMaxVisiblePos, FMinVisiblePos;
    TGLArrayf3 FMaxViewPort_0, FMinViewPort_0;
    TGLArrayf3 FMaxViewPort_45, FMinViewPort_45;
    TGLArrayf3 FBackMaxVisible; // at the background plane's depth
    const TGameEnemy* FDrawingEnemy = nullptr;
    QString FBackgroundFile;
    int FParticleCount = 0;
    bool FFinishing = false;
    // The finished game goes into the practice history under its word file.
    std::unique_ptr<THistoryRecorder> FHistory;
    QString FHistorySource;
};
