#include "games/ClockwigGame.h"

#include "games/ClockwigWords.h"

#include <deque>
#include <gtest/gtest.h>
#include <QSet>

namespace {

// A game whose random draws are scripted and whose events are recorded.
class ClockwigGameTest : public testing::Test {
protected:
    std::deque<int> FRandom;
    std::vector<TClockwigSound> FSounds;
    std::vector<int> FLevelUps;
    int FGameOvers = 0;
    int FCompletes = 0;
    TClockwigGame Game{[this](int n) {
                           if (FRandom.empty())
                               return n - 1;
                           const int v = FRandom.front();
                           FRandom.pop_front();
                           EXPECT_LT(v, n);
                           return v;
                       },
                       [] { return QTime(12, 34, 56); }};

    void Begin(int level = 1, TRotation rotation = clockwise, int language = 1,
               bool soundOff = false) {
        Game.OnPlaySound = [this](TClockwigGame*, TClockwigSound s) { FSounds.push_back(s); };
        Game.OnLevelUp = [this](TClockwigGame*, int l) { FLevelUps.push_back(l); };
        Game.OnGameOver = [this](TClockwigGame*) { ++FGameOvers; };
        Game.OnGameComplete = [this](TClockwigGame*) { ++FCompletes; };
        Game.SetLevel(level);
        Game.SetLanguage(language);
        Game.SetSoundOff(soundOff);
        Game.SetRotation(rotation);
        Game.SetTimerInterval();
        Game.Start();
    }

    int IndexOf(const char* word) const {
        return int(Game.Words(Game.Language()).indexOf(QString::fromUtf8(word)));
    }

    // Draws a word; `trick` is the first draw (0 to 4 ask for a yellow word,
    // 16 for a plain one) and `start` the label the free-label scan starts at.
    void Place(const char* word, int start, int trick = 16) {
        FRandom.insert(FRandom.end(), {trick, IndexOf(word), start - 1});
        Game.ProblemClockTimer();
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Game.ShowClockTimer();
    }

    // Fixes one word placed at label 1 (the label is free again afterwards).
    void FixOne() {
        Place("cat", 1);
        Game.CheckAnswer(QStringLiteral("cat "));
    }

    int Count(TClockwigSound sound) const {
        return int(std::count(FSounds.begin(), FSounds.end(), sound));
    }
};

} // namespace

TEST(ClockwigWords, ListsHoldTheirWordsWithTheNamedDuplicates) {
    QStringList english;
    EngListAdd(english);
    ASSERT_EQ(english.size(), 118);
    EXPECT_EQ(english.mid(0, 10), QStringList({"top", "hobby", "program", "rabbit", "add", "giraff",
                                               "jeffry", "dog", "glory", "cat"}));
    for (const QString& w : english) {
        EXPECT_TRUE(w.size() >= 3 && w.size() <= 10) << w.toStdString();
        for (QChar c : w)
            EXPECT_TRUE(c >= QLatin1Char('a') && c <= QLatin1Char('z')) << w.toStdString();
    }
    QStringList korean;
    HanListAdd(korean);
    ASSERT_EQ(korean.size(), 156);
    EXPECT_EQ(korean.mid(0, 10),
              QStringList({"바다사자", "호랑이", "따뜻한빵", "우유", "빵가루", "훌쩍대다", "식혜",
                           "넓은바다", "수정과", "푸른하늘"}));
    for (const QString& w : korean) {
        EXPECT_TRUE(w.size() >= 1 && w.size() <= 5) << w.toStdString();
        for (QChar c : w)
            EXPECT_TRUE(c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3) << w.toStdString();
    }

    auto twice = [](const QStringList& list) {
        QStringList dup;
        for (const QString& w : list) {
            if (list.count(w) == 2 && !dup.contains(w))
                dup << w;
            EXPECT_LE(list.count(w), 2);
        }
        dup.sort();
        return dup;
    };
    EXPECT_EQ(twice(english), QStringList({"clock", "glass", "kiss", "through"}));
    EXPECT_EQ(twice(korean), QStringList({"달리기", "뻐꾸기", "호랑이"}));
}

TEST_F(ClockwigGameTest, ClockLayoutPutsEverySlotOnItsHour) {
    Begin(1, clockwise);
    EXPECT_EQ(Game.SlotPoint(12), QPoint(0, -229));
    EXPECT_EQ(Game.SlotPoint(3), QPoint(222, 0));
    EXPECT_EQ(Game.SlotPoint(6), QPoint(0, 229));
    EXPECT_EQ(Game.SlotPoint(1), QPoint(111, -192));
    EXPECT_EQ(Game.SlotPoint(9), QPoint(-222, 0));
    EXPECT_EQ(Game.Label(5).Caption, QStringLiteral("5"));

    Begin(1, CounterClockWise);
    EXPECT_EQ(Game.SlotPoint(1), QPoint(111, -192));  // 1 o'clock
    EXPECT_EQ(Game.SlotPoint(2), QPoint(0, -229));    // 12 o'clock
    EXPECT_EQ(Game.SlotPoint(3), QPoint(-111, -192)); // 11 o'clock
    EXPECT_EQ(Game.SlotPoint(8), QPoint(0, 229));     // 6 o'clock
    EXPECT_EQ(Game.Label(1).Caption, QStringLiteral("1"));
    EXPECT_EQ(Game.Label(2).Caption, QStringLiteral("12"));
    EXPECT_EQ(Game.Label(12).Caption, QStringLiteral("2"));
}

TEST_F(ClockwigGameTest, TheRingTurnsOneSlotPerTickUnlessItStandsStill) {
    Begin(1, clockwise);
    EXPECT_EQ(Game.SlotOf(1), 1);
    Ticks(1);
    EXPECT_EQ(Game.SlotOf(1), 2);
    EXPECT_EQ(Game.SlotOf(12), 1);
    Ticks(11);
    EXPECT_EQ(Game.RotationOffset(), 12);
    EXPECT_EQ(Game.SlotOf(1), 1);
    Ticks(1);
    EXPECT_EQ(Game.RotationOffset(), 1);

    Begin(1, NoRotation);
    Ticks(5);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(Game.SlotOf(i), i);
}

TEST_F(ClockwigGameTest, NewWordTakesTheFirstFreeLabelByNumberFromTheDrawnStart) {
    Begin();
    Place("top", 11);
    Place("dog", 11);
    Place("cat", 11); // 11 and 12 are busy: the scan wraps to label 1
    EXPECT_EQ(Game.Label(11).Caption, QStringLiteral("top"));
    EXPECT_EQ(Game.Label(12).Caption, QStringLiteral("dog"));
    EXPECT_EQ(Game.Label(1).Caption, QStringLiteral("cat"));
    EXPECT_EQ(Game.BugAge(1), 0);
    EXPECT_EQ(Game.Label(1).FontColor, TClockwigGame::Black);
}

TEST_F(ClockwigGameTest, ClockNumbersCannotBeTypedAway) {
    Begin();
    Place("top", 7);
    Game.CheckAnswer(QStringLiteral("7 "));
    Game.CheckAnswer(QStringLiteral("  "));
    EXPECT_TRUE(FSounds.empty());
    EXPECT_EQ(Game.Score(), 0);
    EXPECT_EQ(Game.Label(7).Caption, QStringLiteral("top"));
    EXPECT_TRUE(Game.History()[13].isEmpty());
    // "-1" is no clock number: it is simply a wrong answer.
    Game.CheckAnswer(QStringLiteral("-1"));
    EXPECT_EQ(FSounds, std::vector<TClockwigSound>{csWrongKey});
}

TEST_F(ClockwigGameTest, OneAnswerFixesTheWordOnEveryLabelAndScoresEach) {
    Begin(2);
    Place("rabbit", 3);
    Place("rabbit", 8);
    Game.CheckAnswer(QStringLiteral("  rabbit "));
    EXPECT_EQ(Game.Score(), 2 * (3 + 6));
    EXPECT_EQ(Game.BugAge(3), -1);
    EXPECT_EQ(Game.BugAge(8), -1);
    EXPECT_EQ(Game.Label(8).Caption, QStringLiteral("8"));
    EXPECT_EQ(Game.Label(8).FontColor, TClockwigGame::Silver);
    EXPECT_EQ(Game.FixedInLevel(), 2);
    EXPECT_EQ(Count(csCorrectKey), 2);
    EXPECT_EQ(Game.History()[12], QStringLiteral("12:34:56  rabbit->3"));
    EXPECT_EQ(Game.History()[13], QStringLiteral("12:34:56  rabbit->8"));
    // The opening line scrolls up and off as lines are added at the bottom.
    EXPECT_TRUE(Game.History()[0].isEmpty());
}

TEST_F(ClockwigGameTest, AnswersMatchExactlyWithCaseAndOnlyBlanksTrimmed) {
    Begin();
    Place("cat", 1);
    Game.CheckAnswer(QStringLiteral("Cat "));
    Game.CheckAnswer(QStringLiteral("\tcat "));
    EXPECT_EQ(Game.Label(1).Caption, QStringLiteral("cat"));
    EXPECT_EQ(Count(csWrongKey), 2);
    Game.CheckAnswer(QStringLiteral("cat"));
    EXPECT_EQ(Game.Label(1).Caption, QStringLiteral("1"));
}

TEST_F(ClockwigGameTest, HistoryNamesTheClockNumberOfTheLabelCounterClockwise) {
    Begin(1, CounterClockWise);
    Place("dog", 1);
    Place("cat", 2);
    Game.CheckAnswer(QStringLiteral("dog"));
    Game.CheckAnswer(QStringLiteral("cat"));
    EXPECT_EQ(Game.History()[12], QStringLiteral("12:34:56  dog->1"));
    EXPECT_EQ(Game.History()[13], QStringLiteral("12:34:56  cat->12"));
}

TEST_F(ClockwigGameTest, LevelBonusRoundsHalvesToEven) {
    const int expected[] = {1, 3, 4, 5, 6, 8, 9, 10};
    for (int level = 1; level <= 8; ++level)
        EXPECT_EQ(TClockwigGame::LevelBonus(level), expected[level - 1]) << level;
}

TEST_F(ClockwigGameTest, TheTwentySixthWordRaisesLevelOneAndTheClockWaitsForTheMessage) {
    Begin(1);
    EXPECT_EQ(Game.Timer(ctShowClock).Interval, 2065);
    EXPECT_EQ(Game.Timer(ctProblemClock).Interval, 2160);
    EXPECT_EQ(Game.BugLifetime(), 32);
    bool clockStoodStill = false;
    Game.OnLevelUp = [&](TClockwigGame* g, int level) {
        FLevelUps.push_back(level);
        clockStoodStill = !g->Timer(ctShowClock).Enabled && !g->Timer(ctProblemClock).Enabled;
    };
    for (int i = 0; i < 25; ++i)
        FixOne();
    EXPECT_TRUE(FLevelUps.empty());
    EXPECT_EQ(Game.Level(), 1);
    FixOne();
    EXPECT_EQ(FLevelUps, std::vector<int>{2});
    EXPECT_TRUE(clockStoodStill);
    EXPECT_EQ(Game.Level(), 2);
    EXPECT_EQ(Game.FixedInLevel(), 0);
    EXPECT_TRUE(Game.Timer(ctShowClock).Enabled);
    EXPECT_TRUE(Game.Timer(ctProblemClock).Enabled);
    EXPECT_EQ(Game.Timer(ctShowClock).Interval, 1930);
    EXPECT_EQ(Game.Timer(ctProblemClock).Interval, 1920);
    EXPECT_EQ(Game.BugLifetime(), 28);
    EXPECT_EQ(Game.LevelUpThreshold(), 27);
    EXPECT_EQ(Game.Score(), 26 * (1 + 3));
}

TEST_F(ClockwigGameTest, TheHundredAndFirstWordAtLevelEightCompletesTheGameAtLevelNine) {
    Begin(8);
    EXPECT_EQ(Game.Timer(ctShowClock).Interval, 1120);
    EXPECT_EQ(Game.Timer(ctProblemClock).Interval, 480);
    for (int i = 0; i < 100; ++i)
        FixOne();
    EXPECT_EQ(FCompletes, 0);
    FixOne();
    EXPECT_EQ(FCompletes, 1);
    EXPECT_TRUE(FLevelUps.empty());
    EXPECT_EQ(Game.Level(), 9);
    EXPECT_TRUE(Game.Ended());
    EXPECT_FALSE(Game.Timer(ctShowClock).Enabled);
    EXPECT_FALSE(Game.Timer(ctProblemClock).Enabled);
    // Nothing moves once the game has ended.
    const int score = Game.Score();
    Place("dog", 2);
    Ticks(3);
    EXPECT_EQ(Game.Label(2).Caption, QStringLiteral("2"));
    EXPECT_EQ(Game.Score(), score);
}

TEST_F(ClockwigGameTest, AWordAgesFromBlackToRedAndCostsALifeWhenItExpires) {
    Begin(1, NoRotation);
    Place("glory", 4);
    Ticks(16);
    EXPECT_EQ(Game.Label(4).BorderColor, RGBColor(127, 0, 0));
    Ticks(16);
    EXPECT_EQ(Game.Label(4).BorderColor, RGBColor(255, 0, 0));
    EXPECT_EQ(Game.Lives(), 9);
    Ticks(1);
    EXPECT_EQ(Game.Lives(), 8);
    EXPECT_EQ(Game.BugAge(4), -1);
    EXPECT_EQ(Game.Label(4).Caption, QStringLiteral("4"));
    EXPECT_EQ(Game.Label(4).BorderColor, TClockwigGame::Black);
    EXPECT_EQ(FSounds, std::vector<TClockwigSound>{csWrongKey});
}

TEST_F(ClockwigGameTest, LosingTheLastLifeEndsTheGameOnce) {
    Begin(8, NoRotation);
    for (int i = 1; i <= 9; ++i)
        Place("dog", i);
    Ticks(13);
    EXPECT_EQ(Game.Lives(), 0);
    EXPECT_EQ(FGameOvers, 1);
    EXPECT_TRUE(Game.Ended());
    EXPECT_FALSE(Game.Timer(ctShowClock).Enabled);
    EXPECT_FALSE(Game.Timer(ctProblemClock).Enabled);
    EXPECT_FALSE(Game.Timer(ctPauseTimer).Enabled);
    Ticks(20);
    EXPECT_EQ(FGameOvers, 1);
}

TEST_F(ClockwigGameTest, AnExpiringYellowWordCostsALifeAndStartsNoTrick) {
    Begin(1, NoRotation);
    Place("dog", 5);
    Place("cat", 6, 2); // yellow: the screen-clearing trick is pending
    EXPECT_EQ(Game.Label(6).Color, TClockwigGame::Yellow);
    EXPECT_EQ(Game.SpecialState(), 2);
    Ticks(33);
    EXPECT_EQ(Game.Lives(), 7);
    EXPECT_EQ(Game.SpecialState(), TClockwigGame::NoSpecial);
    EXPECT_FALSE(Game.SpecialActive());
    EXPECT_EQ(Game.ShowThunder(), 0);
    EXPECT_TRUE(Game.StatusText().isEmpty());
    EXPECT_EQ(Game.Label(6).Color, TClockwigGame::White);
    // The next yellow word may come now.
    Place("top", 1, 4);
    EXPECT_EQ(Game.Label(1).Color, TClockwigGame::Yellow);
}

TEST_F(ClockwigGameTest, OnlyOneTrickAtATimeAndNoneWhenEveryLabelIsBusy) {
    Begin();
    Place("dog", 1, 0);
    Place("cat", 2, 3); // a trick is pending: plain word
    EXPECT_EQ(Game.SpecialState(), 0);
    EXPECT_EQ(Game.Label(2).Color, TClockwigGame::White);

    Begin();
    for (int i = 1; i <= 12; ++i)
        Place("dog", i);
    Place("cat", 1, 4);
    EXPECT_EQ(Game.SpecialState(), TClockwigGame::NoSpecial);
}

TEST_F(ClockwigGameTest, WithoutRotationTheDizzyTrickNeverComes) {
    Begin(1, NoRotation);
    Place("dog", 1, 1);
    EXPECT_EQ(Game.SpecialState(), TClockwigGame::NoSpecial);
    EXPECT_EQ(Game.Label(1).Color, TClockwigGame::White);
    Place("cat", 2, 0);
    EXPECT_EQ(Game.SpecialState(), 0);

    Begin(1, clockwise);
    Place("dog", 1, 1);
    EXPECT_EQ(Game.SpecialState(), 1);
}

TEST_F(ClockwigGameTest, DizzyTrickRunsTheClockFastForSixTicks) {
    Begin(3);
    Place("dog", 1, 1);
    Game.CheckAnswer(QStringLiteral("dog"));
    EXPECT_TRUE(Game.SpecialActive());
    EXPECT_EQ(Game.Timer(ctShowClock).Interval, 300);
    EXPECT_TRUE(Game.Timer(ctSpecialTimer).Enabled);
    EXPECT_EQ(Game.StatusText(), QStringLiteral("깨비의 심술 - 어지럽게 하기"));
    Ticks(5);
    EXPECT_TRUE(Game.SpecialActive());
    Ticks(1);
    EXPECT_FALSE(Game.SpecialActive());
    EXPECT_EQ(Game.Timer(ctShowClock).Interval, 2200 - 135 * 3);
    EXPECT_FALSE(Game.Timer(ctSpecialTimer).Enabled);
    EXPECT_TRUE(Game.StatusText().isEmpty());
}

TEST_F(ClockwigGameTest, HiddenWordsTrickDrawsTextInTheBackgroundColour) {
    Begin(1, NoRotation);
    Place("dog", 1);
    Place("cat", 2, 0);
    Game.CheckAnswer(QStringLiteral("cat"));
    EXPECT_EQ(Game.Label(1).FontColor, TClockwigGame::White);
    Ticks(1);
    EXPECT_EQ(Game.Label(1).FontColor, TClockwigGame::White);
    EXPECT_EQ(Game.Label(3).FontColor, TClockwigGame::Silver); // free labels keep their number
    Ticks(5);
    EXPECT_FALSE(Game.SpecialActive());
    EXPECT_EQ(Game.Label(1).FontColor, TClockwigGame::Black);
}

TEST_F(ClockwigGameTest, CleaningTrickClearsEveryLabelWithoutCost) {
    Begin();
    Place("dog", 1);
    Place("top", 2);
    Place("cat", 3, 2);
    Game.CheckAnswer(QStringLiteral("cat"));
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(Game.BugAge(i), -1);
        EXPECT_EQ(Game.Label(i).Caption, QString::number(i));
    }
    EXPECT_EQ(Game.Lives(), 9);
    EXPECT_EQ(Game.Score(), 1 + 3);
    EXPECT_GT(Game.ShowThunder(), 0);
}

TEST_F(ClockwigGameTest, BatteryTrickStopsTheClockForSixPauseTicks) {
    Begin(1, NoRotation);
    Place("dog", 1);
    Place("cat", 2, 3);
    Game.CheckAnswer(QStringLiteral("cat"));
    EXPECT_FALSE(Game.Timer(ctShowClock).Enabled);
    EXPECT_FALSE(Game.Timer(ctProblemClock).Enabled);
    EXPECT_TRUE(Game.Timer(ctPauseTimer).Enabled);
    EXPECT_EQ(Game.Timer(ctPauseTimer).Interval, 600);
    EXPECT_EQ(Game.ShowThunder(), 0); // no lightning for this one
    for (int i = 0; i < 5; ++i)
        Game.PauseTimerTimer();
    EXPECT_TRUE(Game.SpecialActive());
    Game.PauseTimerTimer();
    EXPECT_FALSE(Game.SpecialActive());
    EXPECT_TRUE(Game.Timer(ctShowClock).Enabled);
    EXPECT_TRUE(Game.Timer(ctProblemClock).Enabled);
    EXPECT_FALSE(Game.Timer(ctPauseTimer).Enabled);
}

TEST_F(ClockwigGameTest, ALevelUpDuringTheBatteryTrickLeavesTheClockStopped) {
    Begin(1, NoRotation);
    for (int i = 0; i < 24; ++i)
        FixOne();
    Place("cat", 2, 3);
    Game.CheckAnswer(QStringLiteral("cat")); // 25th: the battery trick
    FixOne();                                // 26th: level 2
    ASSERT_EQ(Game.Level(), 2);
    EXPECT_FALSE(Game.Timer(ctShowClock).Enabled);
    EXPECT_FALSE(Game.Timer(ctProblemClock).Enabled);
    EXPECT_TRUE(Game.Timer(ctPauseTimer).Enabled);
    for (int i = 0; i < 6; ++i)
        Game.PauseTimerTimer();
    EXPECT_TRUE(Game.Timer(ctShowClock).Enabled);
    EXPECT_EQ(Game.Timer(ctShowClock).Interval, 1930);
}

TEST_F(ClockwigGameTest, LightningBoltsArePlacedOnceAndDriftDownLeft) {
    Begin();
    Place("cat", 2, 4);
    Game.CheckAnswer(QStringLiteral("cat"));
    EXPECT_EQ(Game.StatusText(), QStringLiteral("깨비의 장난 - 메롱~~"));
    ASSERT_EQ(Game.ShowThunder(), 1);
    for (int i = 0; i < 14; ++i)
        FRandom.push_back(i % 2 ? 39 : 29);
    const auto first = Game.ThunderPaint();
    EXPECT_EQ(first[0], QPoint(50 * 4 + 29, 70 * 2 + 39));
    EXPECT_EQ(first[2], QPoint(50 * 6 + 29, 70 * 1 + 39));
    EXPECT_EQ(Game.ShowThunder(), 2);
    Game.SpecialTimerTimer();
    const auto moved = Game.ThunderPaint();
    EXPECT_EQ(moved[0], first[0] + QPoint(-35, 45));
    EXPECT_EQ(Game.ShowThunder(), 3);
}

TEST_F(ClockwigGameTest, EverySeventhWordInARowApplaudsAndAMissRestartsTheCount) {
    Begin();
    for (int i = 0; i < 7; ++i)
        FixOne();
    EXPECT_EQ(Count(csCorrectKey), 6);
    EXPECT_EQ(FSounds.back(), csApplause);
    for (int i = 0; i < 6; ++i)
        FixOne();
    Game.CheckAnswer(QStringLiteral("nothing"));
    FixOne();
    EXPECT_EQ(Count(csApplause), 1);
    EXPECT_EQ(Game.CorrectAnswerCount(), 1);
}

TEST_F(ClockwigGameTest, SoundOffPlaysNothing) {
    Begin(1, clockwise, 1, true);
    Place("dog", 1);
    Game.CheckAnswer(QStringLiteral("dog"));
    Game.CheckAnswer(QStringLiteral("cow"));
    Place("top", 1);
    Ticks(33);
    EXPECT_TRUE(FSounds.empty());
    EXPECT_EQ(Game.Lives(), 8);
}
