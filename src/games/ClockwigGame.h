#pragma once

#include "app/Colors.h"

#include <array>
#include <functional>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTime>

enum TRotation { clockwise, CounterClockWise, NoRotation };

// The four timers of the game window, whose state the rules steer.
enum TClockwigTimer { ctShowClock, ctProblemClock, ctPauseTimer, ctSpecialTimer };

enum TClockwigSound { csWrongKey, csCorrectKey, csApplause };

// The sound resource a game sound is stored under ("WRONGKEY", ...).
QString ClockwigSoundName(TClockwigSound sound);

// What a timer should be doing. OnTimerChanged fires only for a real change
// (switched on or off, a new interval), and a real timer restarts then.
struct TClockwigTimerState {
    bool Enabled = false;
    int Interval = 1000;
};

// One of the twelve word labels round the clock.
struct TClockLabel {
    QString Caption;
    TColor Color = 0;
    TColor FontColor = 0;
    TColor BorderColor = 0;
};

// The rules of the Clockwig word game, without any window.
//
// Words ("bugs") appear on twelve labels standing in a ring like the hours of
// a clock; each must be typed before its border has gone from black to red,
// or one of nine lives is lost. Enough fixed words raise the level (1 to 8);
// the ring may turn. A goblin hides a trick behind some words, shown on a
// yellow label, which starts when that word is fixed.
//
// The window drives the game with its four timers (ShowClockTimer,
// ProblemClockTimer, PauseTimerTimer, SpecialTimerTimer) and the answers
// typed (CheckAnswer); the game reports back through its events. Labels are
// numbered 1 to 12; slots are the twelve places on the ring, also 1 to 12.
class TClockwigGame {
public:
    using TRandom = std::function<int(int n)>; // uniform in 0 .. n - 1
    using TClock = std::function<QTime()>;

    static constexpr int LabelCount = 12;
    static constexpr int HistoryCount = 14;
    static constexpr int StartLives = 9;
    static constexpr int ThunderCount = 7;
    static constexpr int NoSpecial = 5; // special state when no trick is pending or running
    static constexpr int LastLevel = 8;
    static constexpr int Radius = 222;

    static constexpr TColor Silver = RGBColor(192, 192, 192);
    static constexpr TColor Yellow = RGBColor(255, 255, 0);
    static constexpr TColor White = RGBColor(255, 255, 255);
    static constexpr TColor Black = RGBColor(0, 0, 0);

    // Without a random source the game draws from a generator seeded from
    // the clock; without a clock it reads the local time.
    explicit TClockwigGame(TRandom random = {}, TClock clock = {});

    // --- Set-up, before the window shows ---
    int Level() const { return FLevel; }
    void SetLevel(int level) { FLevel = level; }
    int Language() const { return FLanguage; } // 0 Korean game, 1 English game
    void SetLanguage(int language) { FLanguage = language == 0 ? 0 : 1; }
    bool SoundOff() const { return FSoundOff; }
    void SetSoundOff(bool value) { FSoundOff = value; }
    TRotation Rotation() const { return FRotation; }

    // Resets the game and lays out the clock for `rotation`.
    void SetRotation(TRotation rotation);
    // Applies the level table to the two game timers, the bug lifetime and
    // the level-up threshold. Levels outside 1 to 8 change nothing.
    void SetTimerInterval();
    // The window has shown: the game timers start and the history opens.
    void Start();

    // --- Timer ticks and answers ---
    void ShowClockTimer();
    void ProblemClockTimer();
    void PauseTimerTimer();
    void SpecialTimerTimer();
    // An answer confirmed with Space or Enter: the answer box's whole text.
    void CheckAnswer(const QString& text);

    // --- Label colouring and goblin tricks ---
    void SetIntCaption(int index);
    void SetLabelColor(int tick, int index);
    void ApplySpecialItem();
    void FreeSpecialItem();

    // Lightning: the window calls this on every paint while ShowThunder() > 0.
    // The first call after a trick starts places the bolts; every call counts
    // one paint. Returns the bolts' top-left corners.
    const std::array<QPoint, ThunderCount>& ThunderPaint();

    // --- State ---
    const TClockLabel& Label(int index) const { return FLabels.at(std::size_t(index - 1)); }
    int BugAge(int index) const { return FBugAge.at(std::size_t(index - 1)); }
    // The number a free label shows: the hour of its starting slot.
    QString ClockNumber(int index) const;
    // The slot label `index` stands in now, and a slot's offset from the
    // clock's centre point.
    int SlotOf(int index) const;
    QPoint SlotPoint(int slot) const { return FSlots.at(std::size_t(slot - 1)); }

    int Score() const { return FScore; }
    int Lives() const { return FLives; }
    int FixedInLevel() const { return FFixedInLevel; }
    int LevelUpThreshold() const { return FLevelUpThreshold; }
    int BugLifetime() const { return FBugLifetime; }
    int SpecialElapsed() const { return FSpecialElapsed; }
    int SpecialState() const { return FSpecialState; }
    bool SpecialActive() const { return FSpecialActive; }
    int RotationOffset() const { return FRotationOffset; }
    int FrameToggle() const { return FFrameToggle; }
    int ShowThunder() const { return FShowThunder; }
    int CorrectAnswerCount() const { return FCorrectAnswerCount; }
    const QString& StatusText() const { return FStatusText; }
    const QStringList& History() const { return FHistory; } // His1 .. His14
    const TClockwigTimerState& Timer(TClockwigTimer timer) const {
        return FTimers.at(std::size_t(timer));
    }
    const QStringList& Words(int language) const { return language == 0 ? FHanList : FEngList; }
    // Game over or game complete has been reported; the game takes no more
    // ticks or answers.
    bool Ended() const { return FEnded; }

    // Points for a fixed word besides its length at `level`: Round(level × 1.3).
    static int LevelBonus(int level);
    // "hh:mm:ss" and two blanks.
    static QString TimeText(const QTime& time);

    // --- Events ---
    std::function<void(TClockwigGame* Sender, int Index)> OnLabelChanged;
    std::function<void(TClockwigGame* Sender)> OnCountersChanged; // score, level, lives
    std::function<void(TClockwigGame* Sender)> OnHistoryChanged;
    std::function<void(TClockwigGame* Sender)> OnStatusChanged;
    std::function<void(TClockwigGame* Sender)> OnRepaint;
    std::function<void(TClockwigGame* Sender, int Frame)> OnDrawFigure;
    std::function<void(TClockwigGame* Sender, TClockwigTimer Timer)> OnTimerChanged;
    std::function<void(TClockwigGame* Sender, TClockwigSound Sound)> OnPlaySound;
    std::function<void(TClockwigGame* Sender)> OnClearAnswer;
    // The level rose to `Level` (2 to 8): the window tells the player, modally.
    std::function<void(TClockwigGame* Sender, int Level)> OnLevelUp;
    // Lives ran out / level 8 was cleared. The timers have stopped; the window
    // submits the score and closes.
    std::function<void(TClockwigGame* Sender)> OnGameOver;
    std::function<void(TClockwigGame* Sender)> OnGameComplete;

private:
    TClockLabel& LabelRef(int index) { return FLabels.at(std::size_t(index - 1)); }
    int& AgeRef(int index) { return FBugAge.at(std::size_t(index - 1)); }
    void ResetLabel(int index);
    void LabelChanged(int index);
    void CountersChanged();
    void PlaySound(TClockwigSound sound);
    void EnableTimer(TClockwigTimer timer, bool enabled);
    void SetTimerIntervalOf(TClockwigTimer timer, int interval);
    void LevelUp();
    void GameOver();
    QTime Now() const;

    TRandom FRandom;
    TClock FClock;
    QStringList FEngList;
    QStringList FHanList;

    int FLevel = 1;
    int FFixedInLevel = 0;
    int FLevelUpThreshold = 25;
    int FBugLifetime = 32;
    int FSpecialElapsed = -1;
    int FScore = 0;
    int FLives = StartLives;
    TRotation FRotation = clockwise;
    int FRotationOffset = 0;
    int FSpecialState = NoSpecial;
    bool FSpecialActive = false;
    bool FSoundOff = false;
    int FLanguage = 0;
    int FFrameToggle = 1;
    int FShowThunder = 0;
    int FCorrectAnswerCount = 0;
    bool FEnded = false;
    QString FStatusText;

    std::array<TClockLabel, LabelCount> FLabels{};
    std::array<int, LabelCount> FBugAge{};
    std::array<QPoint, LabelCount> FSlots{};
    std::array<QPoint, ThunderCount> FThunderPos{};
    std::array<TClockwigTimerState, 4> FTimers{};
    QStringList FHistory;
};
