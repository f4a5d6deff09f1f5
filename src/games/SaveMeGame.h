#pragma once

#include "games/GameEnemy.h"
#include "gl/GLAniTick.h"
#include "gl/GLTypes.h"

#include <array>
#include <functional>
#include <QDate>
#include <QString>
#include <QStringList>

// One row of the level table.
struct TSaveMeLevel {
    int MoonsPerLevel; // destroyed moons that end the level
    int MostAtOnce;
    int FewestAtOnce;
    int SpawnPeriod; // ticks of 150 ms
    float RadiusFactor;
    float AngleStep; // radians per tick
    float ApproachSpeed;
    int Bonus; // points per word besides its length
};

// The two explosion sounds.
enum TSaveMeSound { ssGood, ssExplosion };

// What happens when a message is closed.
enum TMessageCloseAction { caNone, caStartTimer, caStartTimerAndPauseHint };

// The one on-screen message: what the window shows and how long.
struct TSaveMeMessage {
    QString Picture; // media name of the background picture; empty: none
    QStringList Lines;
    int FontSize = 36;
    bool Centred = true;
    TGLArrayf3 Position; // anchor when not centred
    int MaxTicks = 10;
    bool Modal = false;
    TMessageCloseAction CloseAction = caNone;
    bool Visible = false;
    int Ticks = 0;
};

// Corners of the visible area of the game panel at the depths the rules
// use (world units, before the panel's scale), and that scale.
struct TSaveMeView {
    TGLArrayf3 MaxVisible, MinVisible;       // depth 6
    TGLArrayf3 MaxViewPort0, MinViewPort0;   // depth 0
    TGLArrayf3 MaxViewPort45, MinViewPort45; // depth 45
    float Scale = 0.3f;
};

// The rules of the Orbalon game, without any window or OpenGL.
//
// Moons carrying words spiral in from the depth of the scene towards the
// viewer, who sits on the Earth; typing a moon's word blows it up. A moon
// that gets through costs one of twelve lives. Each of eight levels ends
// once a fixed number of moons has been destroyed; some moons carry items.
//
// The window drives the game tick by tick (Tick, every 150 ms while
// TimerEnabled()), passes on the keys (EnterPressed, EscPressed,
// PageDownPressed) and clicks (PanelClicked), calls StepEarthFlyIn on every
// repaint of its scene, and reports the visible area (SetView). The game
// reports back through its events.
class TSaveMeGame {
public:
    using TRandom = std::function<int(int n)>; // uniform in 0 .. n - 1
    using TToday = std::function<QDate()>;

    static constexpr int LastLevel = 8;
    static constexpr int MaxLives = 12;
    static constexpr int FlyInTicks = 70;
    static constexpr int ExplosionSteps = 7;
    static constexpr int FailGameSteps = 20;
    static constexpr int StartStopItems = 3;
    static constexpr int MaxStopItemsForNew = 5;
    static constexpr int LineDraws = 50;
    static constexpr int PlacementTries = 56;
    static constexpr int AcceptedTries = 54;
    static constexpr int MaxViewShrinks = 71;
    static constexpr float ImpactDepth = 140;
    static constexpr float MeetDistance = 12;
    static constexpr float SpawnDistance = 84;

    // Without a random source the game draws from the global generator;
    // without a date source it reads today's date.
    explicit TSaveMeGame(TRandom random = {}, TToday today = {});
    ~TSaveMeGame();
    TSaveMeGame(const TSaveMeGame&) = delete;
    TSaveMeGame& operator=(const TSaveMeGame&) = delete;

    // --- Tables ---
    // Row of `level` (clamped to 1 .. 8).
    static const TSaveMeLevel& LevelInfo(int level);
    // The text shown after the points for a moon carrying `item`.
    static QString ItemText(TSpecialItem item);
    // The language label of a word file: the text between the first "[" and
    // the first "]" of the path when "[" comes first; otherwise empty.
    static QString LanguageOf(const QString& fileName);
    // The story shown at the start, one entry per line.
    static QStringList StoryLines(const QDate& today);
    // The visible area of the game panel's camera (eye at z = 50, 55 degree
    // field of view) for a panel of width x height pixels, as the panel's
    // GetVisiblePos measures it; for running the rules without a panel.
    static TSaveMeView PerspectiveView(int width, int height, float scale);

    // --- Set-up ---
    void SetView(const TSaveMeView& view) { FView = view; }
    const TSaveMeView& View() const { return FView; }
    bool UseSound() const { return FUseSound; }
    void SetUseSound(bool value) { FUseSound = value; }
    bool UseBGM() const { return FUseBGM; }
    void SetUseBGM(bool value) { FUseBGM = value; }

    // Takes the word file's lines and begins at `level` (1 to 8): the
    // language label is taken from the path, the story is shown and the
    // Earth starts flying in.
    void StartGame(const QString& fileName, int level, const QStringList& lines);

    // --- Ticks, keys, repaints ---
    void Tick();
    // Space or Enter: closes a visible message, then checks `text`.
    void EnterPressed(const QString& text);
    void EscPressed();
    // Uses a pause item when one is left.
    void PageDownPressed();
    // A click on the scene closes a visible message.
    void PanelClicked();
    // Called once per repaint of the scene: the fly-in tick to draw now
    // (1 to 70), after which the fly-in advances; 0 while none runs.
    int StepEarthFlyIn();

    // --- The routines of a tick (public so that tests can reach each) ---
    bool SpawnMoon();
    void MoveMoons();
    void CheckAnswer(const QString& text);
    void ApplyItem(TSpecialItem item);
    void ExplodeAll();
    void Explode(TGameEnemy* moon, TExplosionType ExpType);
    void ClearInput();
    void CloseMessage();

    // --- State ---
    const TGameEnemyList& Enemies() const { return FEnemyList; }
    TGameEnemy* FindEnemy(std::uint64_t id) const;
    int AniTick() const { return FAniTick; }
    int CollidedCount() const { return FCollidedCount; }
    int Lives() const { return MaxLives - FCollidedCount; }
    int ExplosionCount() const { return FExplosionCount; }
    int StopItemCount() const { return FStopItemCount; }
    int FailGameStep() const { return FFailGameStep; }
    TSpecialItem SpecialItem() const { return FSpecialItem; }
    int SpecialStep() const { return FSpecialStep; }
    int Score() const { return FScore; }
    int GameLevel() const { return FGameLevel; }
    const QString& GameLanguageDesc() const { return FGameLanguageDesc; }
    const QStringList& ProblemText() const { return FProblemText; }
    const TGLAniTick& EarthAniTick() const { return FEarthAniTick; }
    bool EarthFlyInRunning() const { return FEarthAniTick.Started(); }
    bool TimerEnabled() const { return FTimerEnabled; }
    const TSaveMeMessage& Message() const { return FMessage; }
    // Frames (0 to 3) of the pause and life icon animations.
    int StopAniFrame() const { return FStopAniFrame; }
    int EarthLifeAniFrame() const { return FEarthLifeAniFrame; }
    // A moon is exploding as an impact (the Earth shakes and turns red).
    bool AnyCollision() const;
    // The game has ended (game over or the last level cleared); it takes no
    // more ticks or keys.
    bool Ended() const { return FEnded; }

    // For tests: sets lives lost, pause items and the running item.
    void SetCollidedCount(int value) { FCollidedCount = value; }
    void SetStopItemCount(int value) { FStopItemCount = value; }

    // --- Events ---
    std::function<void(TSaveMeGame* Sender, bool Enabled)> OnTimerChanged;
    std::function<void(TSaveMeGame* Sender)> OnRepaint;
    std::function<void(TSaveMeGame* Sender, TSaveMeSound Sound)> OnPlaySound;
    std::function<void(TSaveMeGame* Sender)> OnMusicNext;
    std::function<void(TSaveMeGame* Sender)> OnClearInput;
    std::function<void(TSaveMeGame* Sender)> OnLabelsChanged; // level, score
    std::function<void(TSaveMeGame* Sender, const TSaveMeMessage& Message)> OnMessageShow;
    std::function<void(TSaveMeGame* Sender, float TransparencyInc, float DX, float DY)>
        OnMessageFade;
    std::function<void(TSaveMeGame* Sender)> OnMessageClose;
    // A new level: the background is drawn anew.
    std::function<void(TSaveMeGame* Sender)> OnNewBackground;
    std::function<void(TSaveMeGame* Sender, TGameEnemy* Moon)> OnMoonAdded;
    // Raised before the moon is freed.
    std::function<void(TSaveMeGame* Sender, TGameEnemy* Moon)> OnMoonRemoved;
    // The game has ended: the result goes to the score board and the window
    // closes.
    std::function<void(TSaveMeGame* Sender, int Score, int Level, const QString& Language)>
        OnGameFinished;

private:
    int Random(int n);
    const TSaveMeLevel& Level() const { return LevelInfo(FGameLevel); }
    void SetTimer(bool enabled);
    void Repaint();
    void LabelsChanged();
    void ShowMessage(const TSaveMeMessage& message);
    void ShowGameMessage(const QString& picture, const QStringList& lines,
                         TMessageCloseAction closeAction, int fontSize);
    void ShowPointsMessage(const TGameEnemy& moon, int gain, TSpecialItem item);
    void ShowPauseHint();
    // Draws a usable line: trimmed, not blank, its word not shown by a moon
    // on screen. False after LineDraws draws without one.
    bool DrawLine(QString& word, QString& desc);
    std::unique_ptr<TGameEnemy> CreateMoon(const QString& word, const QString& desc);
    TSpecialItem DrawItem();
    void ClampToView(TGLArrayf3& pos) const;
    void MoveMoon(TGameEnemy& moon, float f);
    bool InView(const TGameEnemy& moon, float x, float y) const;
    void RemoveMoon(TGameEnemy* moon);
    void LevelCheck();
    void GameOverStep();
    void FinishGame();
    std::vector<std::uint64_t> SnapshotIds(bool lastFirst) const;

    TRandom FRandom;
    TToday FToday;
    TSaveMeView FView;
    bool FUseSound = true;
    bool FUseBGM = true;

    TGameEnemyList FEnemyList;
    QStringList FProblemText;
    QString FGameLanguageDesc;
    int FAniTick = 0;
    int FCollidedCount = 0;
    int FExplosionCount = 0;
    int FStopItemCount = StartStopItems;
    int FFailGameStep = 0;
    TSpecialItem FSpecialItem = siNone;
    int FSpecialStep = 0;
    int FScore = 0;
    int FGameLevel = 1;
    bool FExplosiveSoundOn = false;
    bool FExplosiveSpecialSoundOn = false;
    TGLAniTick FEarthAniTick;
    int FStopAniFrame = 0;
    int FEarthLifeAniFrame = 0;
    bool FTimerEnabled = false;
    TSaveMeMessage FMessage;
    bool FEnded = false;
    std::uint64_t FMoonSerial = 0;
};
