#include "keyboard/KeyboardExercise.h"

#include "gl/MaterialItem.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr std::uint16_t kKeyA = 0x41;
constexpr std::uint16_t kKeyQ = 0x51;
constexpr std::uint16_t kKeyJ = 0x4A;
constexpr std::uint16_t kKeyZ = 0x5A;
constexpr std::uint16_t kEscape = 27;

// The drill with its events recorded: a layout whose only drillable
// characters are "a" on A and "Q" (shifted) on Q, random answers 0.
class KeyboardExercise : public testing::Test {
protected:
    KeyboardExercise() {
        for (TKeyInfo& info : FLayout) {
            info.KeyGroup = kgStandard;
            info.DisplayChar[0] = info.DisplayChar[1] = QStringLiteral(" ");
        }
        FLayout[29].DisplayChar[0] = QStringLiteral("a"); // A
        FLayout[15].DisplayChar[1] = QStringLiteral("Q"); // Q, shifted
        FList.BuildList(FLayout, {kgStandard});
        FEx.OnPlaySound = [this](TKeyboardSound s) { FSounds.push_back(s); };
        FEx.OnRedraw = [this] { ++FRedraws; };
        FEx.OnClose = [this] { ++FCloses; };
        FEx.OnPause = [this](int ms) { FPauses.push_back(ms); };
        FEx.MaxVisibleX = 100;
    }

    void Start(bool sound, bool move = false, bool finger = false) {
        FEx.Initialize({sound, move, finger});
        FEx.NextProblem();
    }
    // Makes the current problem the unshifted "a" (code 58) or the shifted
    // "Q" (code 31).
    void Want(bool shifted) {
        for (int i = 0; i < 4 && FList.SelShift() != shifted; ++i)
            FEx.NextProblem();
        ASSERT_EQ(FList.SelShift(), shifted);
    }
    // A press and release of the right answer.
    void Answer() {
        const bool shifted = FList.SelShift();
        const std::uint16_t key = FList.SelKey();
        const TShiftState shift = shifted ? TShiftState(ssShift) : TShiftState(0);
        FEx.KeyDown(key, shift);
        FEx.KeyUp(key, shift);
    }
    void Wrong() {
        FEx.KeyDown(kKeyZ, 0);
        FEx.KeyUp(kKeyZ, 0);
    }
    // Settles the problem as the scene's frames would: twelve entry steps.
    void Settle() {
        for (int i = 0; i < 12; ++i)
            FEx.EntryStep();
    }
    int Count(TKeyboardSound s) const { return int(std::count(FSounds.begin(), FSounds.end(), s)); }

    TEnglishKeyboardLayout FLayout;
    TSelKeyList FList{[](int) { return 0; }};
    TKeyboardExercise FEx{FList, [](int) { return 0; }};
    std::vector<TKeyboardSound> FSounds;
    std::vector<int> FPauses;
    int FRedraws = 0;
    int FCloses = 0;
};

} // namespace

TEST_F(KeyboardExercise, StreakBringsRainAndThunderAndAWrongKeyRestartsIt) {
    Start(true);
    // Three wrong keys start the rain.
    Wrong();
    Wrong();
    EXPECT_EQ(FEx.FCorrectCount, -2);
    EXPECT_FALSE(FEx.FIsRainy);
    Wrong();
    EXPECT_EQ(FEx.FCorrectCount, -3);
    EXPECT_TRUE(FEx.FIsRainy);
    EXPECT_EQ(FEx.FCorrectAnswer, -1); // released

    // A correct answer after failures starts at +1; three stop the rain.
    Answer();
    EXPECT_EQ(FEx.FCorrectCount, 1);
    EXPECT_TRUE(FEx.FIsRainy);
    Answer();
    Answer();
    EXPECT_EQ(FEx.FCorrectCount, 3);
    EXPECT_FALSE(FEx.FIsRainy);
    Answer();
    Answer();
    EXPECT_EQ(FEx.FCorrectCount, 5);

    // +5 then a wrong key is -1, not +4.
    FEx.KeyDown(kKeyZ, 0);
    EXPECT_EQ(FEx.FCorrectAnswer, 0);
    EXPECT_EQ(FEx.FCorrectCount, -1);
    FEx.KeyUp(kKeyZ, 0);

    // Seven in a row: thunder, the streak resets to 0 and the next starts at 1.
    for (int i = 0; i < 6; ++i)
        Answer();
    EXPECT_EQ(FEx.FThunderTick, 0);
    const int explosionsBefore = Count(ksExplosion);
    Answer();
    EXPECT_EQ(FEx.FThunderTick, 1);
    EXPECT_EQ(FEx.FCorrectCount, 0);
    EXPECT_EQ(Count(ksThunder), 1);
    EXPECT_EQ(Count(ksExplosion), explosionsBefore); // thunder replaces the explosion sound
    Answer();
    EXPECT_EQ(FEx.FCorrectCount, 1);

    // The thunder runs to step 8 on every second tick, then stops.
    for (int i = 0; i < 14; ++i)
        FEx.Tick();
    EXPECT_EQ(FEx.FThunderTick, 8);
    FEx.Tick();
    FEx.Tick();
    EXPECT_EQ(FEx.FThunderTick, 0);
}

TEST_F(KeyboardExercise, ThunderSoundsEvenWithEffectsOff) {
    Start(false);
    for (int i = 0; i < 7; ++i)
        Answer();
    EXPECT_EQ(Count(ksThunder), 1);
    EXPECT_EQ(Count(ksClick), 0);
    EXPECT_EQ(Count(ksExplosion), 0);
}

TEST_F(KeyboardExercise, ShiftAloneIsNeitherScoredNorWrongAndSinksBothShiftKeys) {
    Start(true);
    Want(false);
    FEx.KeyDown(VK_SHIFT, ssShift);
    EXPECT_EQ(FEx.FCorrectAnswer, -1);
    EXPECT_EQ(FEx.FCorrectCount, 0);
    EXPECT_FALSE(FEx.FKeydownProcessed);
    EXPECT_EQ(Count(ksExplosion), 0);
    EXPECT_EQ(FEx.FKeyDownModelName, "key_rshift_16");
    EXPECT_TRUE(FEx.IsKeyDrawnDown("key_rshift_16"));
    EXPECT_TRUE(FEx.IsKeyDrawnDown("Key_LShift_16"));
    EXPECT_FALSE(FEx.IsKeyDrawnDown("key_65"));
    FEx.KeyUp(VK_SHIFT, 0);
    EXPECT_FALSE(FEx.IsKeyDrawnDown("key_lshift_16"));
    EXPECT_EQ(FList.SelIndex(), 58); // still the same problem
}

TEST_F(KeyboardExercise, AShiftedProblemAdvancesOnlyWhileShiftIsStillHeld) {
    Start(true);
    Want(true);
    const int problem = FList.SelIndex();
    // Shift down, Q down: credited at the press.
    FEx.KeyDown(VK_SHIFT, ssShift);
    FEx.KeyDown(kKeyQ, ssShift);
    EXPECT_EQ(FEx.FCorrectAnswer, 1);
    EXPECT_EQ(FEx.FCorrectCount, 1);
    // Shift released first: the problem stays.
    FEx.KeyUp(VK_SHIFT, 0);
    FEx.KeyUp(kKeyQ, 0);
    EXPECT_EQ(FList.SelIndex(), problem);
    EXPECT_EQ(FEx.FExplosionAniTick, 0);
    EXPECT_TRUE(FPauses.empty());

    // Q released while Shift is held: the explosion starts, the list moves
    // on, and the window thread pauses 100 ms.
    FEx.KeyDown(VK_SHIFT, ssShift);
    FEx.KeyDown(kKeyQ, ssShift);
    FEx.KeyUp(kKeyQ, ssShift);
    EXPECT_EQ(FEx.FExplosionAniTick, 1);
    EXPECT_TRUE(FEx.FProblemPosShift_Canceled);
    EXPECT_NE(FList.SelIndex(), problem);
    EXPECT_EQ(FPauses, std::vector<int>{100});
    // Shift+Ctrl is wrong even with the right key.
    FEx.KeyUp(VK_SHIFT, 0);
    Want(true);
    FEx.KeyDown(kKeyQ, ssShift | ssCtrl);
    EXPECT_EQ(FEx.FCorrectAnswer, 0);
}

TEST_F(KeyboardExercise, KeyRepeatFollowsTheSoundSetting) {
    // X11 delivers a held key as auto-repeat release/press pairs.
    auto hold = [this](std::uint16_t key, int repeats) {
        FEx.KeyDown(key, 0);
        for (int i = 0; i < repeats; ++i) {
            FEx.KeyUp(key, 0, true);
            FEx.KeyDown(key, 0);
        }
    };
    Start(true);
    Want(false);
    hold(kKeyA, 10);
    EXPECT_EQ(FEx.FCorrectCount, 1); // scored once
    EXPECT_EQ(Count(ksClick), 1);    // repeats are silent
    EXPECT_EQ(Count(ksExplosion), 1);
    EXPECT_EQ(FList.SelIndex(), 58); // auto-repeat releases do not advance
    EXPECT_EQ(FEx.FExplosionAniTick, 0);
    FEx.KeyUp(kKeyA, 0);
    EXPECT_EQ(FEx.FExplosionAniTick, 1);

    // Effects off: every repeat of a held correct key scores again, until
    // thunder.
    Start(false);
    Want(false);
    hold(kKeyA, 5);
    EXPECT_EQ(FEx.FCorrectCount, 6);
    hold(kKeyA, 0);
    EXPECT_EQ(FEx.FThunderTick, 1);
    EXPECT_EQ(FEx.FCorrectCount, 0);

    // A wrong key counts on every event, repeats included.
    Start(true);
    hold(kKeyZ, 3);
    EXPECT_EQ(FEx.FCorrectCount, -4);
    EXPECT_TRUE(FEx.FIsRainy);
}

TEST_F(KeyboardExercise, AnUnansweredProblemDriftsAfterThreeAndAHalfSecondsAndIsMissed) {
    Start(true);
    Settle();
    EXPECT_EQ(FEx.FProblemAniTick, 12);
    EXPECT_EQ(FEx.FProblemElapsedTime, 0u);
    for (int i = 0; i < 34; ++i)
        FEx.Tick();
    EXPECT_EQ(FEx.FProblemPosShift, 0);
    FEx.Tick();                         // 3500 ms
    EXPECT_EQ(FEx.FProblemPosShift, 1); // random 0 picks +1
    EXPECT_FLOAT_EQ(FEx.GetProblemXOffset(), 3);
    for (int i = 0; i < 10; ++i)
        FEx.Tick();
    EXPECT_EQ(FEx.FProblemPosShift, 11);
    EXPECT_FLOAT_EQ(FEx.GetProblemXOffset(), 33);
    FEx.Tick();
    EXPECT_FLOAT_EQ(FEx.GetProblemXOffset(), 36);
    FEx.Tick();
    EXPECT_FLOAT_EQ(FEx.GetProblemXOffset(), 43);
    EXPECT_FLOAT_EQ(FEx.DriftOffset().x, 43);

    // MaxVisibleX 100: the miss comes once the offset reaches 105 (22 steps,
    // 106 units), not one step earlier.
    const int problem = FList.SelIndex();
    while (FEx.FProblemPosShift < 21) {
        FEx.Tick();
        EXPECT_EQ(FEx.FCorrectCount, 0);
    }
    EXPECT_FLOAT_EQ(FEx.GetProblemXOffset(), 99);
    FEx.Tick();
    EXPECT_EQ(FEx.FCorrectCount, -1);
    EXPECT_EQ(FEx.FExplosionAniTick, TKeyboardExercise::kExplosionMissed);
    EXPECT_EQ(std::abs(FEx.FProblemAniTick), 1);
    EXPECT_NE(FList.SelIndex(), problem);
    EXPECT_EQ(FEx.FProblemPosShift, 0);
    EXPECT_FALSE(FEx.FProblemPosShift_Canceled);
    // One blank tick, then the next problem's entry begins.
    FEx.Tick();
    EXPECT_EQ(FEx.FExplosionAniTick, 0);
    EXPECT_EQ(std::abs(FEx.FProblemAniTick), 1);
}

TEST_F(KeyboardExercise, AnAnsweredProblemThatLeavesTheViewIsNoMiss) {
    Start(true);
    Want(false);
    Settle();
    FEx.FProblemPosShift = 21;
    FEx.FProblemElapsedTime = 5600;
    Answer();
    ASSERT_TRUE(FEx.FProblemPosShift_Canceled);
    FEx.Tick();
    EXPECT_EQ(FEx.FCorrectCount, 1);
    EXPECT_EQ(FEx.FExplosionAniTick, TKeyboardExercise::kExplosionMissed);
    EXPECT_FALSE(FEx.FProblemPosShift_Canceled);
}

TEST_F(KeyboardExercise, TheExplosionPlaysFiveStepsThenTheNextProblemEnters) {
    Start(true);
    Settle();
    Want(false);
    Answer();
    EXPECT_FALSE(FEx.CaptionVisible() && FEx.FExplosionAniTick == 0);
    std::vector<int> steps;
    for (int i = 0; i < 6; ++i) {
        FEx.Tick();
        steps.push_back(FEx.FExplosionAniTick);
    }
    EXPECT_EQ(steps, (std::vector<int>{2, 3, 4, 5, 0, 0}));
    EXPECT_EQ(std::abs(FEx.FProblemAniTick), 1);

    // The entry: six frames of two steps (caption then shell); the bubble
    // sounds once, at the shell's step.
    FSounds.clear();
    FEx.FProblemAniTick = 1;
    std::vector<float> ys;
    for (int frame = 0; frame < 6; ++frame) {
        const float caption = FEx.EntryStep().y;
        const float shell = FEx.EntryStep().y;
        if (frame < 5) {
            EXPECT_LT(shell, caption); // the shell is one step further in
        }
        ys.push_back(shell);
        if (frame == 2) {
            EXPECT_EQ(Count(ksBubble), 1);
        }
    }
    EXPECT_EQ(Count(ksBubble), 1);
    EXPECT_EQ(FEx.FProblemAniTick, 12);
    EXPECT_FLOAT_EQ(ys.back(), 0);
    EXPECT_EQ(FEx.EntryStep().y, 0);
    // From below and in front the offsets change sign, and the bubble
    // sounds too.
    FSounds.clear();
    FEx.FProblemAniTick = -1;
    const TGLArrayf3 first = FEx.EntryStep();
    EXPECT_LT(first.y, 0);
    EXPECT_GT(first.z, 0);
    for (int i = 0; i < 11; ++i)
        FEx.EntryStep();
    EXPECT_EQ(FEx.FProblemAniTick, -12);
    EXPECT_EQ(Count(ksBubble), 1);
}

TEST_F(KeyboardExercise, EscapeClosesAtOnceEvenDuringAnExplosion) {
    Start(true);
    Want(false);
    Answer();
    FEx.Tick();
    ASSERT_EQ(FEx.FExplosionAniTick, 2);
    const int count = FEx.FCorrectCount;
    FEx.KeyDown(kEscape, 0);
    EXPECT_EQ(FCloses, 1);
    EXPECT_EQ(FEx.FCorrectCount, count);
    EXPECT_EQ(FEx.FCorrectAnswer, -1);
}

TEST_F(KeyboardExercise, OpeningSpinsInThenTheFingersFlyWhileTheKeysKeepThePlainTint) {
    Start(true, true, true);
    Want(true); // Q shifted: left hand, right Shift
    float angle = 0, scale = 0, d = 0;
    ASSERT_TRUE(FEx.OpeningSpin(angle, scale));
    EXPECT_FLOAT_EQ(angle, 300);
    EXPECT_FLOAT_EQ(scale, 0);
    // During the opening every drill key shows the plain tint, the problem
    // key too, and the Shift keys none.
    EXPECT_EQ(FEx.TextureSuffix("key_81"), "Selected");
    EXPECT_EQ(FEx.TextureSuffix("key_65"), "Selected");
    EXPECT_EQ(FEx.TextureSuffix("key_rshift_16"), "");
    EXPECT_EQ(FEx.TextureSuffix("key_90"), "");
    EXPECT_FALSE(FEx.CaptionVisible());
    for (int i = 0; i < 6; ++i)
        FEx.Tick();
    ASSERT_TRUE(FEx.OpeningSpin(angle, scale));
    EXPECT_FLOAT_EQ(angle, 150);
    EXPECT_FLOAT_EQ(scale, 0.5f);
    for (int i = 0; i < 7; ++i)
        FEx.Tick();
    EXPECT_FALSE(FEx.OpeningSpin(angle, scale));
    EXPECT_TRUE(FEx.FStartAniFinished);
    EXPECT_FALSE(FEx.FStartFingerAniFinished);
    ASSERT_TRUE(FEx.FingerFlight(d));
    EXPECT_NEAR(d, (14.4f - 1.5f) * 40 / 12, 1e-4);
    int ended = 0;
    FEx.OnFingerFlightEnded = [&] { ++ended; };
    while (FEx.FAniTick < 26)
        FEx.Tick();
    EXPECT_TRUE(FEx.FingerFlight(d));
    EXPECT_FLOAT_EQ(d, 0);
    FEx.Tick();
    EXPECT_FALSE(FEx.FingerFlight(d));
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(FEx.OpeningFinished());

    // Afterwards: the problem key focused, the right Shift focused for a
    // left-hand shifted problem, the other drill keys plain.
    EXPECT_EQ(FEx.TextureSuffix("key_81"), "Focused");
    EXPECT_EQ(FEx.TextureSuffix("KEY_RSHIFT_16"), "Focused");
    EXPECT_EQ(FEx.TextureSuffix("key_lshift_16"), "");
    EXPECT_EQ(FEx.TextureSuffix("key_65"), "Selected");
    EXPECT_EQ(FEx.TextureSuffix("BackPlane"), "");
    FEx.FIsRainy = true;
    EXPECT_EQ(FEx.TextureSuffix("BackPlane"), "Focused");
    EXPECT_EQ(FEx.TextureSuffix("ProblemShell"), "");
    // The fingers: the left little finger strikes Q, lifted; the right
    // little finger holds the right Shift.
    bool lifted = false;
    EXPECT_EQ(FEx.FingerTargetName("Finger_Left5", lifted), "key_81");
    EXPECT_TRUE(lifted);
    EXPECT_EQ(FEx.FingerTargetName("finger_right5", lifted), "key_rshift_16");
    EXPECT_TRUE(lifted);
    EXPECT_EQ(FEx.FingerTargetName("Finger_Left3", lifted), "key_68");
    EXPECT_FALSE(lifted);
    EXPECT_EQ(FEx.FingerTargetName("Finger_Right5x", lifted), "");
}

TEST_F(KeyboardExercise, WithFingersHiddenTheOpeningEndsWithTheSpin) {
    Start(false, false, false);
    EXPECT_TRUE(FEx.FStartFingerAniFinished);
    // No redraws from the timer during the opening without motion or fingers.
    const int redraws = FRedraws;
    for (int i = 0; i < 13; ++i)
        FEx.Tick();
    EXPECT_EQ(FRedraws, redraws);
    float angle = 0, scale = 0;
    EXPECT_FALSE(FEx.OpeningSpin(angle, scale));
    EXPECT_TRUE(FEx.OpeningFinished());
    // With the motion off the shell floats nowhere.
    FEx.Tick();
    FEx.Tick();
    EXPECT_EQ(FEx.FProblemShellShift, 8);
    EXPECT_NEAR(FEx.FloatingOffset().x, 0, 1e-6);
    EXPECT_NEAR(FEx.FloatingOffset().y, 0, 1e-6);
}

TEST_F(KeyboardExercise, SlowTicksCycleTheFingerLiftAndTheFloatingPhase) {
    Start(false, true, true);
    std::vector<int> lifts;
    std::vector<int> phases;
    for (int i = 0; i < 12; ++i) {
        FEx.Tick();
        if (i % 2 == 1) {
            lifts.push_back(FEx.FFingerShift);
            phases.push_back(FEx.FProblemShellShift);
        }
    }
    EXPECT_EQ(lifts, (std::vector<int>{5, 10, 6, 2, 0, 5}));
    EXPECT_EQ(phases, (std::vector<int>{8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(FEx.FBackAniTick, 6);
    FEx.FProblemShellShift = 4; // a quarter turn
    EXPECT_NEAR(FEx.FloatingOffset().x, 3.5, 1e-5);
    EXPECT_NEAR(FEx.FloatingOffset().y, 2.5, 1e-5);
}

TEST_F(KeyboardExercise, ObjectsTakeTheirCodesHomeKeysAndColours) {
    EXPECT_EQ(TKeyboardExercise::KeyCodeOfObject("key_65"), 65);
    EXPECT_EQ(TKeyboardExercise::KeyCodeOfObject("Key_LShift_16"), 16);
    EXPECT_EQ(TKeyboardExercise::KeyCodeOfObject("key_rshift_16"), 16);
    EXPECT_EQ(TKeyboardExercise::KeyCodeOfObject("key_x"), 0);
    EXPECT_EQ(TKeyboardExercise::KeyCodeOfObject("Finger_Left2"), -1);
    const char* fingers[] = {"Finger_Left5",  "Finger_Left4",  "Finger_Left3",  "Finger_Left2",
                             "Finger_Right2", "Finger_Right3", "Finger_Right4", "Finger_Right5"};
    const int homes[] = {65, 83, 68, 70, 74, 75, 76, 186};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(TKeyboardExercise::GetHomeKeyCode(fingers[i]), homes[i]);
    EXPECT_EQ(TKeyboardExercise::GetHomeKeyCode("Finger_Left1"), 0);

    Start(true, false, true);
    Want(false); // "a": left little finger
    TMaterialItem cap;
    cap.Name = "KeyCap_Material";
    cap.map_kd = "old.png";
    FEx.MaterialProperty("", cap, "/pictures/[key] wood.png");
    EXPECT_EQ(cap.map_kd, "/pictures/[key] wood.png");
    EXPECT_TRUE(cap.map_ka.isEmpty());
    EXPECT_FLOAT_EQ(cap.Specular.A, 0);
    FEx.MaterialProperty("", cap, "");
    EXPECT_FALSE(cap.HasTexture());

    TMaterialItem finger;
    finger.Name = "FingerMat";
    FEx.FAniTick = 19;
    FEx.MaterialProperty("Finger_Left5", finger, "");
    // Not highlighted during the opening; translucency grows during flight.
    EXPECT_NEAR(finger.Diffuse.G, 223 / 255.0, 1e-5);
    EXPECT_NEAR(finger.Tr, 7 * 0.65 / 14.4, 1e-5);
    FEx.FStartAniFinished = FEx.FStartFingerAniFinished = true;
    FEx.MaterialProperty("Finger_Left5", finger, "");
    EXPECT_NEAR(finger.Diffuse.R, 253 / 255.0, 1e-5);
    EXPECT_NEAR(finger.Diffuse.G, 48 / 255.0, 1e-5);
    EXPECT_FLOAT_EQ(finger.Diffuse.A, 1);
    EXPECT_FLOAT_EQ(finger.Tr, 0.65f);
    FEx.MaterialProperty("Finger_Left4", finger, "");
    EXPECT_NEAR(finger.Diffuse.G, 223 / 255.0, 1e-5);

    TMaterialItem shell;
    shell.Name = "ShellMat";
    FEx.MaterialProperty("ProblemShell", shell, "");
    EXPECT_NEAR(shell.Diffuse.G, 220 / 255.0, 1e-5);
    EXPECT_FLOAT_EQ(shell.Diffuse.A, 0.45f);
    FEx.KeyDown(kKeyJ, 0);
    FEx.MaterialProperty("ProblemShell", shell, "");
    EXPECT_FLOAT_EQ(shell.Diffuse.R, 1);
    EXPECT_FLOAT_EQ(shell.Diffuse.G, 0);
    FEx.KeyUp(kKeyJ, 0);
    FEx.KeyDown(kKeyA, 0);
    FEx.MaterialProperty("ProblemShell", shell, "");
    EXPECT_FLOAT_EQ(shell.Diffuse.R, 0);
    EXPECT_NEAR(shell.Diffuse.G, 128 / 255.0, 1e-5);
    EXPECT_FLOAT_EQ(shell.Tr, 0.5f);
}
