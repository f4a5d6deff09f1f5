#pragma once

#include "gl/GLTypes.h"
#include "keyboard/SelKeyList.h"

#include <cstdint>
#include <functional>
#include <QString>

class TMaterialItem;

// Effects the drill asks for.
enum TKeyboardSound { ksClick, ksThunder, ksExplosion, ksBubble };

// The switches of the keyboard settings the rules depend on.
struct TKeyboardOptions {
    bool UseSound = false;
    bool MoveProblem = false;
    bool ShowFinger = false;
};

// The rules of the single-key drill, without window or OpenGL: judging key
// presses and releases, the streak with its rain and thunder, the problem's
// entry, waiting, drift and miss, the explosion after a correct answer, the
// opening spin and finger flight, and which texture variant and colours the
// keyboard's objects take. The practice screen feeds it key events and
// 100 ms ticks and draws what its state says; tests drive it tick by tick.
class TKeyboardExercise {
public:
    // Random(n) gives 0 .. n-1; empty: a generator seeded from the clock.
    // The list is the drill set (not owned).
    TKeyboardExercise(TSelKeyList& list, std::function<int(int)> random = {});

    // Resets the state for a new drill with these switches.
    void Initialize(const TKeyboardOptions& options);
    // The next problem of the list; the problem stands still and starts
    // waiting afresh.
    void NextProblem();

    // A key press: virtual-key code, modifiers held. X11 auto-repeat presses
    // come here as well and follow the key-repeat rules.
    void KeyDown(std::uint16_t key, TShiftState shift);
    // A key release with the modifiers still held. An auto-repeat release
    // (the key is still held) changes nothing.
    void KeyUp(std::uint16_t key, TShiftState shift, bool autoRepeat = false);
    // One timer tick of `interval` ms.
    void Tick(int interval = 100);

    // Horizontal offset of a drifting problem in scene units.
    float GetProblemXOffset() const;
    // One step of the problem's entry (called by the caption and by the
    // shell each frame they are drawn): the translation to apply.
    TGLArrayf3 EntryStep();
    // Translation of the drift (zero while entering or still).
    TGLArrayf3 DriftOffset() const;
    // The floating motion's offset (x, y).
    TGLArrayf3 FloatingOffset() const;
    // Opening spin for this frame: true with the rotation about z and the
    // x/y scale while it runs; ends it (and sets the flags) once it is over.
    bool OpeningSpin(float& angle, float& scale);
    // Finger opening flight for this frame: true with the distance d while
    // the fingers fly in; false once over (the flag is then set).
    bool FingerFlight(float& d);
    bool OpeningFinished() const { return FStartAniFinished && FStartFingerAniFinished; }
    // The problem caption is drawn this frame.
    bool CaptionVisible() const { return OpeningFinished() && FExplosionAniTick == 0; }

    // Key code of a model object: the number after "key_lshift_" /
    // "key_rshift_" or "key_", 0 when unreadable, -1 for other objects.
    static int KeyCodeOfObject(const QString& name);
    // The home-row key code a finger rests on, 0 for other names.
    static int GetHomeKeyCode(const QString& fingerName);
    bool IsSelKeyFinger(const QString& fingerName) const;
    // The object name of the key the finger goes to this frame, and whether
    // it lifts; empty when it has none.
    QString FingerTargetName(const QString& fingerName, bool& lifted) const;
    // The texture variant ("", "Selected", "Focused") of an object.
    QString TextureSuffix(const QString& objectName) const;
    // Colours of the key caps, fingers and shell (the loader's material
    // event); keyCapTexture replaces the key-cap material's textures.
    void MaterialProperty(const QString& objectName, TMaterialItem& material,
                          const QString& keyCapTexture) const;
    // The key drawn pressed in.
    bool IsKeyDrawnDown(const QString& objectName) const;

    TSelKeyList& SelKeyList() { return FSelKeyList; }
    const TSelKeyList& SelKeyList() const { return FSelKeyList; }
    const TKeyboardOptions& Options() const { return FOptions; }

    // Events. PlaySound: an effect; Redraw: draw a frame now; Close: the
    // learner pressed Escape; Pause: hold the window thread for ms.
    std::function<void(TKeyboardSound)> OnPlaySound;
    std::function<void()> OnRedraw;
    std::function<void()> OnClose;
    std::function<void(int)> OnPause;
    // Called when a problem drifted out of view unanswered, before the next
    // one is picked.
    std::function<void()> OnMissed;
    // Called when the finger flight ends (the screen closes its message).
    std::function<void()> OnFingerFlightEnded;

    // The panel's visible half-width at its reference depth; a drifting
    // problem is missed beyond it plus 5.
    float MaxVisibleX = 0;

    // State read by the scene and the tests.
    int FAniTick = 0;
    std::uint16_t FDownedKey = 0;
    int FProblemAniTick = 1;
    int FBackAniTick = 0;
    std::uint32_t FElapsedTime = 0;
    std::uint32_t FProblemElapsedTime = 0;
    int FProblemPosShift = 0;
    int FThunderTick = 0;
    // Step of the explosion: 0 none, 1 to 5 playing, 100 the one-tick blank
    // after a missed problem left the view.
    int FExplosionAniTick = 0;
    bool FIsRainy = false;
    int FFingerShift = 0;
    bool FProblemPosShift_Canceled = false;
    int FProblemShellShift = 7;
    int FCorrectCount = 0;
    bool FKeydownProcessed = false;
    bool FStartAniFinished = false;
    bool FStartFingerAniFinished = true;
    QString FKeyDownModelName;
    int FCorrectAnswer = -1;

    static constexpr int kExplosionMissed = 100;

private:
    int RandomBelow(int n) const;
    int RandomSign() const { return RandomBelow(2) == 0 ? 1 : -1; }
    void Play(TKeyboardSound sound) const;
    void Redraw() const;
    // A wrong key or a miss.
    void CountFailure();
    void UpdateProblemDrift();

    TSelKeyList& FSelKeyList;
    TKeyboardOptions FOptions;
    std::function<int(int)> FRandom;
};
