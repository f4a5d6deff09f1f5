#include "history/DrillRecorder.h"
#include "history/SentenceFacts.h"
#include "history/WeakKeyWeights.h"
#include "keyboard/SelKeyList.h"
#include "typing/TypingModel.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

// A composed syllable: its steps, then the commit.
void Compose(TTypingModel& model, std::initializer_list<QChar> steps, QChar commit) {
    model.CompositionStart();
    for (QChar c : steps)
        model.CompositionUpdate(c);
    model.CompositionCommit(commit);
    model.CompositionEnd();
}

TEST(SentenceFactsTest, SyllablesBreakIntoWholeJamoWithTheirTime) {
    quint32 now = 1000;
    TTypingModel model([&] { return now; });
    model.SetSentenceCount(1);
    model.SetProblem(0, QStringLiteral("의닭a"));
    now = 1000;
    Compose(model, {u'ㅇ', u'으', u'의'}, u'의');
    now = 1600;
    Compose(model, {u'ㄷ', u'다', u'닥'}, u'닥'); // the final is wrong
    now = 1700;
    model.TypeChar(u'b');

    const THistoryKeyFacts facts = TSentenceFacts::FromPage(model);
    std::vector<QString> items;
    for (const auto& f : facts)
        items.push_back(f.Item + (f.Wrong ? "!" : ""));
    EXPECT_EQ(items, (std::vector<QString>{"의", "ㅇ", "ㅢ", "닭!", "ㄷ", "ㅏ", "ㄺ!", "a!"}));
    // 닭 took 600 ms over four keystrokes: ㄷ 1, ㅏ 1, ㄺ 2.
    EXPECT_EQ(facts[3].Ms, 600);
    EXPECT_EQ(facts[4].Ms, 150);
    EXPECT_EQ(facts[6].Ms, 300);
    EXPECT_EQ(facts[6].Strokes, 2);
    EXPECT_EQ(facts[2].Strokes, 2); // ㅢ = ㅡ + ㅣ
    EXPECT_EQ(facts[7].Ms, 100);
}

TEST(SentenceFactsTest, BackspacedCharactersLeaveNoStaleTimes) {
    quint32 now = 0;
    TTypingModel model([&] { return now; });
    model.SetSentenceCount(1);
    model.SetProblem(0, QStringLiteral("ab"));
    now = 100;
    model.TypeChar(u'x');
    model.TypeChar(QChar(8));
    now = 400;
    model.TypeChar(u'a');
    const THistoryKeyFacts facts = TSentenceFacts::FromPage(model);
    ASSERT_EQ(facts.size(), 1u);
    EXPECT_FALSE(facts[0].Wrong);
    EXPECT_EQ(facts[0].Ms, 400 - int(model.StartTick()));
}

TEST(WeakKeyWeightsTest, WeightsStayWithinBoundsAndFavourWeakKeys) {
    QHash<int, THistoryKeyStat> stats;
    auto stat = [](int count, int wrong, int ms) {
        THistoryKeyStat s;
        s.Count = count;
        s.Wrong = wrong;
        s.TotalMs = qint64(ms) * count;
        return s;
    };
    stats[10] = stat(20, 0, 300);
    stats[12] = stat(20, 15, 900);
    stats[14] = stat(20, 1, 320);
    stats[16] = stat(1, 1, 5000); // too few facts to judge
    const auto w = TWeakKeyWeights::ForCodes(stats, {10, 12, 14, 16, 18});
    EXPECT_DOUBLE_EQ(w[10], TWeakKeyWeights::kMinWeight);
    EXPECT_DOUBLE_EQ(w[12], TWeakKeyWeights::kMaxWeight);
    EXPECT_GT(w[14], w[10]);
    EXPECT_DOUBLE_EQ(w[16], TWeakKeyWeights::kUnknownWeight);
    EXPECT_DOUBLE_EQ(w[18], TWeakKeyWeights::kUnknownWeight);
    std::vector<THistoryKeyStat> list;
    for (auto it = stats.begin(); it != stats.end(); ++it) {
        it->Code = it.key();
        list.push_back(*it);
    }
    const auto weakest = TWeakKeyWeights::Weakest(list, 10);
    ASSERT_GE(weakest.size(), 1u);
    EXPECT_EQ(weakest[0].Code, 12);
}

// The drill set of the home row of the English layout.
struct TPickFixture {
    std::mt19937 gen{7};
    TSelKeyList list{[this](int n) { return int(gen() % unsigned(n)); }};
    TPickFixture() { list.BuildList(KeyboardLayout(0), {kgStandard}); }
};

TEST(WeightedPickTest, WeakEntriesComeUpMoreOftenNoneStarvesLastTwoRuleHolds) {
    TPickFixture f;
    ASSERT_GE(f.list.Count(), 6);
    QHash<int, double> weights;
    for (int i = 0; i < f.list.Count(); ++i)
        weights.insert(f.list.Items(i), 1.0);
    const int weak = f.list.Items(0);
    weights[weak] = 6.0;
    f.list.SetWeights(weights);
    std::map<int, int> seen;
    int prev1 = -1;
    int prev2 = -1;
    for (int i = 0; i < 6000; ++i) {
        f.list.NextProblem();
        const int code = f.list.SelIndex();
        EXPECT_NE(code, prev1);
        EXPECT_NE(code, prev2);
        prev1 = prev2;
        prev2 = code;
        ++seen[code];
    }
    int strongest = 0;
    for (int i = 1; i < f.list.Count(); ++i) {
        EXPECT_GT(seen[f.list.Items(i)], 150) << "entry " << f.list.Items(i) << " starves";
        strongest = std::max(strongest, seen[f.list.Items(i)]);
    }
    EXPECT_GT(seen[weak], 2 * strongest);
}

TEST(WeightedPickTest, WithoutWeightsTheDrillPicksAsBefore) {
    // The same random numbers give the same problems as the unweighted pick
    // always did: a uniform draw among the candidates.
    TPickFixture a;
    TPickFixture b;
    b.list.SetWeights({});
    std::mt19937 reference{7};
    QList<int> items;
    for (int i = 0; i < a.list.Count(); ++i)
        items.append(a.list.Items(i));
    int p1 = -1;
    int p2 = -1;
    for (int i = 0; i < 200; ++i) {
        QList<int> candidates;
        for (int code : items)
            if (code != p1 && code != p2)
                candidates.append(code);
        const int expected = candidates.at(int(reference() % unsigned(candidates.size())));
        a.list.NextProblem();
        b.list.NextProblem();
        ASSERT_EQ(a.list.SelIndex(), expected);
        ASSERT_EQ(b.list.SelIndex(), expected);
        p1 = p2;
        p2 = expected;
    }
}

TEST(DrillRecorderTest, FactsAndSessionFigures) {
    qint64 now = 1'000'000;
    TDrillRecorder drill([&] { return now; });
    drill.Start(QStringLiteral("영어 QWERTY"));
    drill.ProblemShown(60, QStringLiteral("A"));
    now += 500;
    drill.KeyJudged(false);
    drill.KeyJudged(true);
    drill.Answered();
    drill.ProblemShown(62, QStringLiteral("S"));
    now += 300;
    drill.KeyJudged(true);
    drill.Answered();
    drill.ProblemShown(64, QStringLiteral("D"));
    now += 4000;
    drill.Missed();
    ASSERT_EQ(drill.Facts().size(), 3u);
    EXPECT_TRUE(drill.Facts()[0].Wrong);
    EXPECT_EQ(drill.Facts()[0].Ms, 500);
    EXPECT_FALSE(drill.Facts()[1].Wrong);
    EXPECT_EQ(drill.Facts()[1].Code, 62);
    EXPECT_TRUE(drill.Facts()[2].Wrong);
    const THistorySession s = drill.Session();
    EXPECT_EQ(s.Activity, haKeyboard);
    EXPECT_EQ(s.Keystrokes, 3);
    EXPECT_NEAR(s.Accuracy, 1.0 / 3.0, 1e-9);
    EXPECT_EQ(s.Speed, 38); // 3 answers in 4.8 s
}

} // namespace
