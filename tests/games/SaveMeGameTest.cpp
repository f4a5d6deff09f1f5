#include "games/SaveMeGame.h"

#include <cmath>
#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

namespace {

// A random source that answers queued values first and then draws from a
// seeded generator; it counts every draw by its range.
class TTestRandom {
public:
    explicit TTestRandom(unsigned seed = 1)
        : FEngine(seed) {}

    std::deque<int> Queue;
    std::map<int, int> Draws; // range n -> number of draws

    int operator()(int n) {
        ++Draws[n];
        if (!Queue.empty()) {
            const int v = Queue.front();
            Queue.pop_front();
            return v;
        }
        return std::uniform_int_distribution<int>(0, n - 1)(FEngine);
    }

private:
    std::mt19937 FEngine;
};

// A game wired as the window wires it: every repaint advances the Earth
// fly-in, as drawing the scene does.
struct TGameRig {
    explicit TGameRig(unsigned seed = 1)
        : Random(seed)
        , Game([this](int n) { return Random(n); }, [] { return QDate(2026, 12, 9); }) {
        Game.OnRepaint = [](TSaveMeGame* game) { game->StepEarthFlyIn(); };
        Game.OnGameFinished = [this](TSaveMeGame*, int score, int level, const QString& language) {
            ++Finished;
            FinishedScore = score;
            FinishedLevel = level;
            FinishedLanguage = language;
        };
        Game.OnClearInput = [this](TSaveMeGame*) { ++Clears; };
        Game.OnMoonRemoved = [this](TSaveMeGame*, TGameEnemy* moon) {
            ++Removed;
            if (moon->FExplosionType == etCollision)
                ++Impacts;
        };
    }

    // Starts, closes the story and repaints until the Earth has flown in,
    // without a tick: no moon yet.
    void Start(const QStringList& lines, int level = 1,
               const QString& file = QStringLiteral("/x/Text/[영어] words.game")) {
        Game.StartGame(file, level, lines);
        Game.EnterPressed(QString());
        while (Game.EarthFlyInRunning())
            Game.StepEarthFlyIn();
    }

    // Spawns until `count` moons exist (a spawn may find no free place).
    void SpawnUntil(int count) {
        for (int tries = 0; int(Game.Enemies().size()) < count && tries < 1000; ++tries)
            Game.SpawnMoon();
        ASSERT_EQ(int(Game.Enemies().size()), count);
    }

    TGameEnemy* Moon(int index) const { return Game.Enemies().at(std::size_t(index)).get(); }

    TTestRandom Random;
    TSaveMeGame Game;
    int Finished = 0;
    int FinishedScore = -1;
    int FinishedLevel = -1;
    QString FinishedLanguage;
    int Clears = 0;
    int Removed = 0;
    int Impacts = 0;
};

QStringList Words(int count) {
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << QStringLiteral("word%1").arg(i, 3, 10, QLatin1Char('0'));
    return words;
}

} // namespace

TEST(SaveMeGameRules, TablesLanguageLabelAndStory) {
    for (int level = 1; level <= TSaveMeGame::LastLevel; ++level) {
        const TSaveMeLevel& row = TSaveMeGame::LevelInfo(level);
        EXPECT_EQ(row.SpawnPeriod, 21 - 2 * level);
        // Round(level x 1.3) with halves to even: 6.5 at level 5 gives 6.
        EXPECT_EQ(row.Bonus, int(std::nearbyint(level * 1.3))) << level;
        EXPECT_LE(row.FewestAtOnce, row.MostAtOnce);
    }
    EXPECT_EQ(TSaveMeGame::LevelInfo(8).MoonsPerLevel, 150);
    EXPECT_EQ(TSaveMeGame::LevelInfo(9).MostAtOnce, 12); // clamped

    EXPECT_EQ(TSaveMeGame::LanguageOf(QStringLiteral("/a/Text/동물 [한글].game")),
              QStringLiteral("한글"));
    EXPECT_EQ(TSaveMeGame::LanguageOf(QStringLiteral("/a/Text/[영어]x[y].game")),
              QStringLiteral("영어"));
    EXPECT_EQ(TSaveMeGame::LanguageOf(QStringLiteral("/a/Text/plain.game")), QString());
    EXPECT_EQ(TSaveMeGame::LanguageOf(QStringLiteral("/a]b/[c].game")), QString());
    EXPECT_EQ(TSaveMeGame::LanguageOf(QStringLiteral("/a/[open.game")), QString());

    const QStringList story = TSaveMeGame::StoryLines(QDate(2026, 3, 1));
    EXPECT_EQ(story.first(), QStringLiteral("2026년 3월의 어느날 "));
    EXPECT_EQ(story.last().trimmed(), QStringLiteral("PRESS ENTER"));
    EXPECT_TRUE(story.contains(QStringLiteral("지구의 위기입니다.")));
    EXPECT_EQ(TSaveMeGame::ItemText(siFake), QStringLiteral("  꽝! 다음 기회에~"));
    EXPECT_EQ(TSaveMeGame::ItemText(siNone), QString());
}

TEST(SaveMeGameRules, TheStoryHoldsTheTimerUntilEnterThenThePauseHintFadesOut) {
    TGameRig rig;
    bool timer = true;
    rig.Game.OnTimerChanged = [&](TSaveMeGame*, bool enabled) { timer = enabled; };
    rig.Game.StartGame(QStringLiteral("/t/[한글] 낱말.game"), 3, {QStringLiteral("하나")});
    EXPECT_EQ(rig.Game.GameLanguageDesc(), QStringLiteral("한글"));
    EXPECT_EQ(rig.Game.GameLevel(), 3);
    EXPECT_TRUE(rig.Game.Message().Visible);
    EXPECT_TRUE(rig.Game.Message().Modal);
    EXPECT_EQ(rig.Game.Message().FontSize, 30);
    EXPECT_EQ(rig.Game.Message().Picture, QStringLiteral("Models\\Maps\\moon_collision.png"));
    EXPECT_EQ(rig.Game.Message().Lines.first(), QStringLiteral("2026년 12월의 어느날 "));
    EXPECT_FALSE(rig.Game.TimerEnabled());
    EXPECT_TRUE(rig.Game.EarthFlyInRunning());

    rig.Game.EnterPressed(QStringLiteral("  "));
    EXPECT_TRUE(timer);
    EXPECT_TRUE(rig.Game.Message().Visible); // the pause hint
    EXPECT_FALSE(rig.Game.Message().Modal);
    EXPECT_EQ(rig.Game.Message().Lines,
              QStringList{QStringLiteral("PageDown 키 => 일시정지 아이템")});
    EXPECT_EQ(rig.Clears, 1);
    for (int i = 0; i < 30; ++i)
        rig.Game.Tick();
    EXPECT_TRUE(rig.Game.Message().Visible);
    rig.Game.Tick();
    EXPECT_FALSE(rig.Game.Message().Visible);
    // The fly-in runs 70 repaints and then moons fill up to the fewest.
    while (rig.Game.EarthFlyInRunning())
        rig.Game.Tick();
    EXPECT_EQ(rig.Game.EarthAniTick().Tick, TSaveMeGame::FlyInTicks + 1);
    rig.Game.Tick();
    EXPECT_EQ(int(rig.Game.Enemies().size()), 1); // one distinct word only
}

TEST(SaveMeGameRules, AnswersIgnoreAsciiCaseAndASharedWordScoresOnceWithTheNearerItem) {
    TGameRig rig;
    rig.Start({QStringLiteral("Apple : 사과 "), QStringLiteral("apple:능금")});
    rig.SpawnUntil(2);
    EXPECT_EQ(QStringList({rig.Moon(0)->Word, rig.Moon(1)->Word}).join(QLatin1Char(' ')).toLower(),
              QStringLiteral("apple apple"));
    EXPECT_NE(rig.Moon(0)->Word, rig.Moon(1)->Word);
    EXPECT_FALSE(rig.Moon(0)->Desc.isEmpty());
    // The nearer moon is the last in the list; only its item counts.
    rig.Moon(0)->FSpecialItem = siEnergyPlusOne;
    rig.Moon(1)->FSpecialItem = siStopItem;
    rig.Game.SetCollidedCount(2);

    rig.Game.CheckAnswer(QStringLiteral("apple : 사과")); // the description is no answer
    EXPECT_EQ(rig.Game.Score(), 0);
    rig.Game.CheckAnswer(QStringLiteral("APPLE"));
    EXPECT_EQ(rig.Game.Score(), 5 + 1);
    EXPECT_EQ(rig.Moon(0)->FExplosionType, etCorrectAnswer);
    EXPECT_EQ(rig.Moon(1)->FExplosionType, etCorrectAnswer);
    EXPECT_FALSE(rig.Moon(0)->LabelVisible);
    EXPECT_EQ(rig.Game.StopItemCount(), 4);
    EXPECT_EQ(rig.Game.CollidedCount(), 2);
    EXPECT_EQ(rig.Game.ExplosionCount(), 2);
    EXPECT_EQ(rig.Game.Message().Lines, QStringList{QStringLiteral("+ 6  일시정지 아이템")});
    EXPECT_FALSE(rig.Game.Message().Centred);

    // ASCII only: a Cyrillic capital is not the small letter.
    TGameRig cyrillic;
    cyrillic.Start({QStringLiteral("я")});
    cyrillic.SpawnUntil(1);
    cyrillic.Game.CheckAnswer(QStringLiteral("Я"));
    EXPECT_EQ(cyrillic.Game.Score(), 0);
    EXPECT_TRUE(cyrillic.Moon(0)->Flying());
}

TEST(SaveMeGameRules, ImpactsCostALifeThatAShotInTheFirstThreeStepsGivesBack) {
    TGameRig rig;
    rig.Start({QStringLiteral("moon"), QStringLiteral("star")});
    rig.Game.ApplyItem(siStop); // nothing moves or spawns meanwhile
    rig.SpawnUntil(2);
    for (int i = 0; i < 2; ++i)
        rig.Moon(i)->FPosition = {float(i * 200 - 100), 0, 141};

    rig.Game.Tick();
    EXPECT_EQ(rig.Game.CollidedCount(), 2);
    EXPECT_EQ(rig.Moon(0)->FExplosionType, etCollision);
    EXPECT_TRUE(rig.Moon(0)->LabelVisible); // an impacting moon keeps its label
    rig.Game.Tick();
    rig.Game.Tick();
    EXPECT_EQ(rig.Moon(0)->FExplosionStep, 3);
    const QString first = rig.Moon(0)->Word;
    rig.Game.CheckAnswer(first);
    EXPECT_EQ(rig.Game.CollidedCount(), 1);
    EXPECT_EQ(rig.Moon(0)->FExplosionType, etCorrectAnswer);
    EXPECT_FALSE(rig.Moon(0)->LabelVisible);

    rig.Game.Tick(); // the other impact reaches step 4: its label goes
    EXPECT_FALSE(rig.Moon(1)->LabelVisible);
    rig.Game.CheckAnswer(rig.Moon(1)->Word);
    EXPECT_EQ(rig.Game.CollidedCount(), 1);
    EXPECT_EQ(rig.Moon(1)->FExplosionType, etCollision);
    while (!rig.Game.Enemies().empty())
        rig.Game.Tick();
    EXPECT_EQ(rig.Impacts, 1);
    EXPECT_EQ(rig.Game.Lives(), 11);
}

TEST(SaveMeGameRules, ItemsAreDrawnOneInSixAndLimitedByMoonsAndPauseItems) {
    TGameRig rig;
    rig.Start({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
               QStringLiteral("four")});
    rig.Game.ApplyItem(siStop);
    // Random(lines), then Random(30) + Random(10) = 3 (mod 6) and Random(8).
    rig.Random.Queue = {0, 2, 1, 6};
    rig.Game.SetStopItemCount(5);
    ASSERT_TRUE(rig.Game.SpawnMoon());
    EXPECT_EQ(rig.Moon(0)->FSpecialItem, siFake);
    rig.Game.SetStopItemCount(4);
    rig.Random.Queue = {1, 9, 0, 6};
    ASSERT_TRUE(rig.Game.SpawnMoon());
    const auto items = [&] {
        std::multiset<int> s;
        for (const auto& moon : rig.Game.Enemies())
            s.insert(moon->FSpecialItem);
        return s;
    };
    EXPECT_EQ(items(), (std::multiset<int>{siStopItem, siFake}));
    // Two item moons on screen: a third draw of an item gives none.
    rig.Random.Queue = {2, 3, 0, 1};
    ASSERT_TRUE(rig.Game.SpawnMoon());
    EXPECT_EQ(items(), (std::multiset<int>{siNone, siStopItem, siFake}));
    // (a + b) mod 6 other than 3: no item.
    rig.Random.Queue = {3, 4, 0};
    ASSERT_TRUE(rig.Game.SpawnMoon());
    EXPECT_EQ(items().count(siNone), 2u);
}

TEST(SaveMeGameRules, RunningItemsStopSpawningAndCountDown) {
    TGameRig rig;
    rig.Start(Words(40));
    rig.Game.Tick();
    ASSERT_GE(rig.Game.Enemies().size(), 1u);

    // Stop: moons stand still for 30 ticks, nothing spawns.
    rig.Game.PageDownPressed();
    EXPECT_EQ(rig.Game.StopItemCount(), 2);
    EXPECT_EQ(rig.Game.SpecialItem(), siStop);
    const TGLArrayf3 before = rig.Moon(0)->FPosition;
    const std::size_t count = rig.Game.Enemies().size();
    for (int i = 0; i < 28; ++i)
        rig.Game.Tick();
    EXPECT_EQ(rig.Game.Enemies().size(), count);
    EXPECT_EQ(rig.Moon(0)->FPosition.x, before.x);
    EXPECT_EQ(rig.Moon(0)->FPosition.z, before.z);
    // PageDown during a stop uses up an item and only advances the stop.
    rig.Game.PageDownPressed();
    EXPECT_EQ(rig.Game.StopItemCount(), 1);
    EXPECT_EQ(rig.Game.SpecialItem(), siNone); // step 30 reached
    EXPECT_EQ(rig.Game.SpecialStep(), 0);

    // Speed-up runs 20 ticks, hidden words 30; neither lets moons spawn.
    rig.Game.ApplyItem(siSpeedUp);
    for (int i = 0; i < 18; ++i)
        rig.Game.Tick();
    EXPECT_EQ(rig.Game.SpecialItem(), siSpeedUp);
    rig.Game.Tick();
    EXPECT_EQ(rig.Game.SpecialItem(), siNone);
    rig.Game.ApplyItem(siHideText);
    const std::size_t hidden = rig.Game.Enemies().size();
    for (int i = 0; i < 25; ++i) {
        rig.Game.Tick();
        EXPECT_LE(rig.Game.Enemies().size(), hidden);
    }

    // A life back only when one was lost; a pause item more.
    TGameRig other;
    other.Game.ApplyItem(siEnergyPlusOne);
    EXPECT_EQ(other.Game.CollidedCount(), 0);
    other.Game.SetCollidedCount(3);
    other.Game.ApplyItem(siEnergyPlusOne);
    EXPECT_EQ(other.Game.CollidedCount(), 2);
    other.Game.ApplyItem(siStopItem);
    EXPECT_EQ(other.Game.StopItemCount(), 4);
    other.Game.ApplyItem(siFake);
    EXPECT_EQ(other.Game.SpecialItem(), siNone);
}

TEST(SaveMeGameRules, TheBombItemExplodesEveryMoonAndClearsTheInput) {
    TGameRig rig;
    rig.Start(Words(20));
    rig.Game.ApplyItem(siStop);
    rig.SpawnUntil(3);
    TGameEnemy* nearest = rig.Moon(2);
    nearest->FSpecialItem = siAllExplode;
    const int clears = rig.Clears;
    rig.Game.CheckAnswer(nearest->Word);
    for (const auto& moon : rig.Game.Enemies()) {
        EXPECT_FALSE(moon->Flying());
        EXPECT_FALSE(moon->LabelVisible);
    }
    EXPECT_EQ(rig.Moon(0)->FExplosionType, etBomb);
    EXPECT_EQ(rig.Game.ExplosionCount(), 3);
    EXPECT_GT(rig.Clears, clears);
    EXPECT_EQ(rig.Game.Score(), int(nearest->Word.size()) + 1);
}

TEST(SaveMeGameRules, SpawningGivesUpAfterFiftyDrawsAndFiftySixPlacements) {
    TGameRig blank;
    blank.Start({QString(), QStringLiteral("  \t"), QStringLiteral(":only a description")});
    blank.Random.Draws.clear();
    EXPECT_FALSE(blank.Game.SpawnMoon());
    EXPECT_EQ(blank.Random.Draws[3], TSaveMeGame::LineDraws);

    TGameRig empty;
    empty.Start({});
    empty.Game.Tick();
    EXPECT_TRUE(empty.Game.Enemies().empty());

    // A view so narrow that every place clamps onto one point next to a
    // moon already there: 56 tries, no moon.
    TGameRig crowded;
    crowded.Start({QStringLiteral("a"), QStringLiteral("b")});
    crowded.Game.ApplyItem(siStop);
    TSaveMeView view = crowded.Game.View();
    view.MaxVisible.x = view.MaxVisible.y = 15 * view.Scale;
    view.MinVisible.x = view.MinVisible.y = -15 * view.Scale;
    crowded.Game.SetView(view);
    crowded.SpawnUntil(1);
    EXPECT_NEAR(crowded.Moon(0)->FPosition.x, 0, 1e-4);
    EXPECT_NEAR(crowded.Moon(0)->FPosition.y, 0, 1e-4);
    crowded.Moon(0)->FPosition.z = 35;
    crowded.Random.Draws.clear();
    EXPECT_FALSE(crowded.Game.SpawnMoon());
    EXPECT_EQ(crowded.Random.Draws[60], TSaveMeGame::PlacementTries);
}

TEST(SaveMeGameRules, AFileWithTwoUsableLinesAtLevelEightDoesNotHang) {
    TGameRig rig;
    rig.Start({QStringLiteral("alpha"), QString(), QStringLiteral("beta"), QStringLiteral("alpha")},
              8);
    for (int i = 0; i < 200 && !rig.Game.Ended(); ++i) {
        const int before = rig.Random.Draws[4];
        rig.Game.Tick();
        EXPECT_LE(rig.Game.Enemies().size(), 2u);
        // At most the periodic spawn and one top-up attempt, 50 draws each.
        EXPECT_LE(rig.Random.Draws[4] - before, 2 * TSaveMeGame::LineDraws);
    }
    EXPECT_GT(rig.Random.Draws[4], 0);
}

TEST(SaveMeGameRules, MoonsSpiralInApproachWhenNearAndStayInView) {
    TGameRig rig;
    rig.Start({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    rig.Game.ApplyItem(siStop);
    rig.SpawnUntil(3);
    TGameEnemy* far = rig.Moon(0);
    TGameEnemy* near = rig.Moon(1);
    TGameEnemy* axis = rig.Moon(2);
    far->FPosition = {110, 0, 0};
    near->FPosition = {0, -50, 20};
    axis->FPosition = {0, 0, -60};
    for (TGameEnemy* m : {far, near, axis})
        m->FTowardRatio = 1;

    rig.Game.ApplyItem(siSpeedUp); // replaces the stop: 1.7 times as fast
    rig.Game.MoveMoons();
    const TSaveMeLevel& level = TSaveMeGame::LevelInfo(1);
    EXPECT_NEAR(std::hypot(far->FPosition.x, far->FPosition.y), 110 * level.RadiusFactor - 0.2f,
                1e-3);
    EXPECT_NEAR(std::atan2(far->FPosition.y, far->FPosition.x), level.AngleStep * 1.7f, 1e-4);
    EXPECT_EQ(far->FPosition.z, 0); // not near: no approach
    EXPECT_NEAR(near->FPosition.z, 20 + 1.7f * level.ApproachSpeed, 1e-4);
    // A moon on the view axis keeps a defined position.
    EXPECT_TRUE(std::isfinite(axis->FPosition.x) && std::isfinite(axis->FPosition.y));
    EXPECT_GT(axis->FPosition.z, -60);
    EXPECT_EQ(near->LabelPosition.z, near->FPosition.z + 8);

    // Closer to the viewer the visible rectangle is smaller: the moon is
    // pulled in until its box fits.
    rig.Game.ApplyItem(siSpeedUp);
    for (int i = 0; i < 20 && rig.Game.SpecialItem() == siSpeedUp; ++i)
        rig.Game.ApplyItem(siSpeedUp);
    ASSERT_EQ(rig.Game.SpecialItem(), siNone);
    far->FPosition = {100, 60, 60};
    rig.Game.MoveMoons();
    const TSaveMeView& v = rig.Game.View();
    const float k = (far->FPosition.z + 3) * v.Scale / 45;
    const float maxX = v.MaxViewPort0.x + (v.MaxViewPort45.x - v.MaxViewPort0.x) * k;
    const float maxY = v.MaxViewPort0.y + (v.MaxViewPort45.y - v.MaxViewPort0.y) * k;
    EXPECT_LE((far->FPosition.x + 12) * v.Scale, maxX);
    EXPECT_LE((std::abs(far->FPosition.y) + 6) * v.Scale, maxY);
    // No more than needed: one side of the box touches the rectangle.
    EXPECT_GT(std::max((far->FPosition.x + 12) * v.Scale / maxX,
                       (std::abs(far->FPosition.y) + 6) * v.Scale / maxY),
              0.99f);
    EXPECT_EQ(far->FPosition.z, 60);
    // Right before the Earth the rectangle is too small: 71 shrinks at most.
    far->FPosition = {60, 20, 120};
    rig.Game.MoveMoons();
    const float d = std::hypot(60.0f, 20.0f);
    const float r = d * level.RadiusFactor * (1 - (100 - d) / 70 * 0.01f) * 0.995f;
    EXPECT_NEAR(std::hypot(far->FPosition.x, far->FPosition.y), r * std::pow(0.995f, 71.0f), 1e-2);
}

TEST(SaveMeGameRules, MoonsThatMeetBreakUpAsAnImpact) {
    TGameRig rig;
    rig.Start({QStringLiteral("a"), QStringLiteral("b")});
    rig.Game.ApplyItem(siStop);
    rig.SpawnUntil(2);
    rig.Moon(0)->FPosition = {-50, 0, 10};
    rig.Moon(1)->FPosition = {-50, 11, 10};
    rig.Game.Tick();
    EXPECT_EQ(rig.Moon(0)->FExplosionType, etCollision);
    EXPECT_TRUE(rig.Moon(1)->Flying());
    EXPECT_EQ(rig.Game.CollidedCount(), 1);
    // An explosion lasts seven ticks; then the moon is gone.
    for (int i = 0; i < 6; ++i)
        rig.Game.Tick();
    EXPECT_EQ(rig.Game.Enemies().size(), 1u);
    EXPECT_EQ(rig.Removed, 1);
}

TEST(SaveMeGameRules, TheLevelEndsWhenItsLastDestroyedMoonIsGone) {
    TGameRig rig;
    int backgrounds = 0;
    rig.Game.OnNewBackground = [&](TSaveMeGame*) { ++backgrounds; };
    rig.Game.OnMoonAdded = [](TSaveMeGame*, TGameEnemy* moon) { moon->FSpecialItem = siNone; };
    rig.Start(Words(200));
    int expectedScore = 0;
    bool sawFullCountWithMoonsLeft = false;
    for (int tick = 0; tick < 5000 && rig.Game.GameLevel() == 1; ++tick) {
        rig.Game.Tick();
        for (int i = int(rig.Game.Enemies().size()) - 1; i >= 0; --i) {
            if (i >= int(rig.Game.Enemies().size()))
                continue;
            TGameEnemy* moon = rig.Moon(i);
            if (moon->LabelVisible && moon->Flying()) {
                expectedScore += int(moon->Word.size()) + 1;
                rig.Game.CheckAnswer(moon->Word);
            }
        }
        if (rig.Game.GameLevel() == 1 && rig.Game.ExplosionCount() >= 50 &&
            !rig.Game.Enemies().empty()) {
            sawFullCountWithMoonsLeft = true;
            EXPECT_FALSE(rig.Game.SpawnMoon());
        }
    }
    ASSERT_EQ(rig.Game.GameLevel(), 2);
    EXPECT_TRUE(sawFullCountWithMoonsLeft);
    EXPECT_EQ(rig.Game.Score(), expectedScore);
    EXPECT_EQ(rig.Game.ExplosionCount(), 0);
    EXPECT_EQ(backgrounds, 1);
    EXPECT_FALSE(rig.Game.TimerEnabled());
    EXPECT_TRUE(rig.Game.Message().Modal);
    EXPECT_EQ(rig.Game.Message().Lines.first(), QStringLiteral("START LEVEL 2"));
    EXPECT_EQ(rig.Game.Message().FontSize, 50);
    EXPECT_TRUE(rig.Game.EarthFlyInRunning());
    EXPECT_EQ(rig.Game.Lives(), 12 - rig.Impacts);
    EXPECT_EQ(rig.Game.StopItemCount(), 3);
    // Enter starts level 2.
    rig.Game.EnterPressed(QString());
    EXPECT_TRUE(rig.Game.TimerEnabled());
}

TEST(SaveMeGameRules, ASeededGameLeftAloneEndsInGameOverWithTheEarthExploding) {
    TGameRig rig(7);
    TSaveMeMessage last;
    int timerOff = 0;
    rig.Game.OnMessageShow = [&](TSaveMeGame*, const TSaveMeMessage& m) { last = m; };
    rig.Game.OnTimerChanged = [&](TSaveMeGame*, bool on) { timerOff += on ? 0 : 1; };
    rig.Start(Words(100), 2);
    int tick = 0;
    int livesSeen = rig.Game.Lives();
    while (!rig.Game.Ended() && tick < 20000) {
        rig.Game.Tick();
        ++tick;
        EXPECT_LE(rig.Game.Lives(), livesSeen); // nothing gives a life back
        livesSeen = rig.Game.Lives();
        if (rig.Game.FailGameStep() > 0) {
            EXPECT_TRUE(rig.Game.Enemies().empty() || !rig.Moon(0)->Flying());
        }
    }
    ASSERT_TRUE(rig.Game.Ended());
    EXPECT_EQ(rig.Finished, 1);
    EXPECT_EQ(rig.FinishedScore, 0);
    EXPECT_EQ(rig.FinishedLevel, 2);
    EXPECT_EQ(rig.FinishedLanguage, QStringLiteral("영어"));
    EXPECT_GE(rig.Game.CollidedCount(), 12);
    EXPECT_GT(rig.Game.FailGameStep(), TSaveMeGame::FailGameSteps);
    EXPECT_EQ(last.Lines, QStringList{QStringLiteral("GAME OVER !!")});
    EXPECT_EQ(last.FontSize, 150);
    EXPECT_FALSE(rig.Game.TimerEnabled());
    // The game has ended: ticks and keys change nothing any more.
    const int step = rig.Game.FailGameStep();
    rig.Game.Tick();
    rig.Game.EnterPressed(QStringLiteral("word001"));
    rig.Game.PageDownPressed();
    EXPECT_EQ(rig.Game.FailGameStep(), step);
    EXPECT_EQ(rig.Finished, 1);
}

TEST(SaveMeGameRules, ClearingTheLastLevelShowsTheFinalMessageAndSubmitsOnce) {
    TGameRig rig(3);
    rig.Game.OnMoonAdded = [](TSaveMeGame*, TGameEnemy* moon) { moon->FSpecialItem = siNone; };
    rig.Start(Words(300), 8);
    TSaveMeMessage last;
    rig.Game.OnMessageShow = [&](TSaveMeGame*, const TSaveMeMessage& m) { last = m; };
    for (int tick = 0; tick < 20000 && !rig.Game.Ended(); ++tick) {
        rig.Game.Tick();
        for (int i = int(rig.Game.Enemies().size()) - 1; i >= 0; --i) {
            if (i < int(rig.Game.Enemies().size()) && rig.Moon(i)->LabelVisible)
                rig.Game.CheckAnswer(rig.Moon(i)->Word);
        }
    }
    ASSERT_TRUE(rig.Game.Ended());
    EXPECT_EQ(rig.Finished, 1);
    EXPECT_EQ(rig.FinishedLevel, 8);
    EXPECT_GT(rig.FinishedScore, 150 * 10);
    EXPECT_EQ(last.Lines.last(), QStringLiteral("당신이 타비로입니다."));
    EXPECT_EQ(last.FontSize, 46);
}
