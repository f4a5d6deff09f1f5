#include "games/ScoreList.h"

#include "app/RavlinError.h"
#include "platform/CodePage949.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace {

const QDateTime kNow(QDate(2026, 3, 7), QTime(9, 5, 1));

QByteArray Cp(const char* text) {
    return EncodeCp949(QString::fromUtf8(text));
}

TScoreRec Rec(const char* name, int score, int level = 3, const char* language = "영어") {
    TScoreRec rec;
    rec.name = Cp(name);
    rec.score = score;
    rec.DateTime = QStringLiteral("2025-12-31  23:59:59");
    rec.Level = std::uint16_t(level);
    rec.GameLanguage = Cp(language);
    return rec;
}

// A board file with one entry per score, in the given order.
void WriteBoard(const QString& path, const std::vector<int>& scores) {
    QByteArray data;
    int n = 0;
    for (int score : scores)
        data += TScoreList::EncodeRecord(Rec(qPrintable(QStringLiteral("p%1").arg(++n)), score));
    ASSERT_TRUE(WriteFileBytes(path, data));
}

std::vector<int> Ranks(const TScoreList& list) {
    std::vector<int> ranks;
    for (const TScoreRec& rec : list.Items())
        ranks.push_back(rec.rank);
    return ranks;
}

// Answers the name prompt and counts how often it was asked.
struct TNamePrompt {
    std::optional<QString> Answer;
    int Asked = 0;
    TScoreList::TAskName Callback() {
        return [this] {
            ++Asked;
            return Answer;
        };
    }
};

class ScoreListTest : public testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath(QStringLiteral("cscore.dat"));
};

} // namespace

TEST_F(ScoreListTest, RecordRoundTripKeepsEveryFieldAndHidesThePlainText) {
    const TScoreRec rec = Rec("홍길동abc", 123456, 9, "한글");
    const QByteArray record = TScoreList::EncodeRecord(rec);
    ASSERT_EQ(record.size(), TScoreList::RecordSize);
    // Scrambled: neither the name nor the score digits are stored as such.
    EXPECT_FALSE(record.contains(Cp("홍길동")));
    EXPECT_FALSE(record.contains("123456"));
    EXPECT_FALSE(record.contains("2025"));
    // Length bytes of the five fields.
    EXPECT_EQ(int(record[0]), 9);
    EXPECT_EQ(int(record[21]), 6);
    EXPECT_EQ(int(record[37]), 20);
    EXPECT_EQ(int(record[78]), 1);
    EXPECT_EQ(int(record[80]), 4);

    const TScoreRec back = TScoreList::DecodeRecord(record);
    EXPECT_EQ(back.name, rec.name);
    EXPECT_EQ(back.score, rec.score);
    EXPECT_EQ(back.DateTime, rec.DateTime);
    EXPECT_EQ(back.Level, rec.Level);
    EXPECT_EQ(back.GameLanguage, rec.GameLanguage);
    EXPECT_EQ(back.rank, 0);
    EXPECT_FALSE(back.You);
}

TEST_F(ScoreListTest, SavedBoardReadsBackInOrderAndSavesToTheSameBytes) {
    {
        TScoreList list(FPath);
        list.Add(Rec("셋째", 300));
        list.Add(Rec("first", 900, 8));
        list.Add(Rec("둘째", 500, 2, "한글"));
        list.SaveScore();
    }
    const QByteArray saved = ReadFileBytes(FPath);
    ASSERT_EQ(saved.size(), 3 * TScoreList::RecordSize);

    TScoreList list(FPath);
    list.ReadScore();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(0).name, QByteArray("first"));
    EXPECT_EQ(list.Item(1).name, Cp("둘째"));
    EXPECT_EQ(list.Item(1).GameLanguage, Cp("한글"));
    EXPECT_EQ(list.Item(2).score, 300);
    list.SaveScore();
    EXPECT_EQ(ReadFileBytes(FPath), saved);
}

TEST_F(ScoreListTest, EqualScoresShareARankAndTheNextScoreTakesTheNextRank) {
    WriteBoard(FPath, {400, 300, 500, 400});
    TScoreList list(FPath);
    list.ReadScore();
    EXPECT_EQ(Ranks(list), (std::vector<int>{1, 2, 2, 3}));
    EXPECT_EQ(list.Item(0).score, 500);
    EXPECT_EQ(list.Item(3).score, 300);
}

TEST_F(ScoreListTest, MissingFileIsAnEmptyBoardAndATrailingPieceIsIgnored) {
    TScoreList empty(FPath);
    empty.ReadScore();
    EXPECT_EQ(empty.Count(), 0);

    WriteBoard(FPath, {10, 20});
    ASSERT_TRUE(WriteFileBytes(FPath, ReadFileBytes(FPath) + QByteArray(50, 'x')));
    TScoreList list(FPath);
    list.ReadScore();
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(ScoreListTest, DamagedRecordStopsTheLoadAndLeavesListAndFileAlone) {
    WriteBoard(FPath, {10, 20});
    TScoreList list(FPath);
    list.ReadScore();

    // A score field that no longer reads as a number.
    QByteArray data = ReadFileBytes(FPath);
    data[TScoreList::RecordSize + 22] = char(0xB0);
    data[TScoreList::RecordSize + 23] = char(0xA1);
    ASSERT_TRUE(WriteFileBytes(FPath, data));
    EXPECT_THROW(list.ReadScore(), ERavlinError);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(ReadFileBytes(FPath), data);

    // A length byte beyond the field's capacity.
    data = ReadFileBytes(FPath);
    data[TScoreList::RecordSize + 21] = char(15);
    data[0] = char(21);
    ASSERT_TRUE(WriteFileBytes(FPath, data));
    TScoreList other(FPath);
    EXPECT_THROW(other.ReadScore(), ERavlinError);
    EXPECT_EQ(other.Count(), 0);
}

TEST_F(ScoreListTest, ScoreZeroNeverAsksAndNeverTouchesTheFile) {
    WriteBoard(FPath, {10, 20});
    const QByteArray before = ReadFileBytes(FPath);
    TScoreList list(FPath);
    list.ReadScore();
    TNamePrompt prompt;
    prompt.Answer = QStringLiteral("nobody");
    EXPECT_EQ(list.SubmitResult(0, 3, "x", prompt.Callback(), kNow), -1);
    EXPECT_EQ(prompt.Asked, 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(ReadFileBytes(FPath), before);
}

TEST_F(ScoreListTest, NewEntryIsMarkedRankedAndStored) {
    WriteBoard(FPath, {500, 100});
    TScoreList list(FPath);
    list.ReadScore();
    TNamePrompt prompt;
    prompt.Answer = QStringLiteral("  김철수\t ");
    const int index = list.SubmitResult(300, 4, Cp("한글"), prompt.Callback(), kNow);
    EXPECT_EQ(prompt.Asked, 1);
    ASSERT_EQ(index, 1);
    const TScoreRec& rec = list.Item(1);
    EXPECT_TRUE(rec.You);
    EXPECT_EQ(rec.rank, 2);
    EXPECT_EQ(rec.name, Cp("김철수"));
    EXPECT_EQ(rec.DateTime, QStringLiteral("2026-03-07  09:05:01"));
    EXPECT_EQ(rec.Level, 4);

    TScoreList reread(FPath);
    reread.ReadScore();
    ASSERT_EQ(reread.Count(), 3);
    EXPECT_EQ(reread.Item(1).name, Cp("김철수"));
    EXPECT_FALSE(reread.Item(1).You);
}

TEST_F(ScoreListTest, NamesAreCutToTwentyBytesBetweenCharacters) {
    TScoreList list(FPath);
    TNamePrompt prompt;
    prompt.Answer = QStringLiteral("가나다라마바사아자차카타");
    list.SubmitResult(50, 1, "x", prompt.Callback(), kNow);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0).name, Cp("가나다라마바사아자차"));

    // One Latin letter first: the tenth syllable would straddle byte 20, so
    // it goes whole instead of leaving half a character behind.
    prompt.Answer = QStringLiteral("a가나다라마바사아자차");
    list.SubmitResult(40, 1, "x", prompt.Callback(), kNow);
    EXPECT_EQ(list.Item(1).name, Cp("a가나다라마바사아자"));

    TScoreList reread(FPath);
    reread.ReadScore();
    EXPECT_EQ(reread.Item(0).name, Cp("가나다라마바사아자차"));
    EXPECT_EQ(reread.Item(1).name, Cp("a가나다라마바사아자"));
}

TEST_F(ScoreListTest, BelowRankTwentyEveryScoreIsAddedWithoutQualifying) {
    std::vector<int> scores;
    for (int i = 0; i < 19; ++i)
        scores.push_back(1000 - i * 10);
    WriteBoard(FPath, scores);
    TScoreList list(FPath);
    list.ReadScore();
    TNamePrompt prompt;
    prompt.Answer = QStringLiteral("last");
    EXPECT_EQ(list.SubmitResult(1, 1, "x", prompt.Callback(), kNow), 19);
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(list.Item(19).rank, 20);
}

TEST_F(ScoreListTest, FullBoardDropsWhatRanksBelowTwentyWhetherOrNotTheScoreQualifies) {
    // 22 distinct scores: ranks 1 to 22 (written by an older board).
    std::vector<int> scores;
    for (int i = 0; i < 22; ++i)
        scores.push_back(2200 - i * 100);
    WriteBoard(FPath, scores);

    TScoreList list(FPath);
    list.ReadScore();
    TNamePrompt prompt;
    prompt.Answer = QStringLiteral("low");
    EXPECT_EQ(list.SubmitResult(5, 1, "x", prompt.Callback(), kNow), -1);
    EXPECT_EQ(prompt.Asked, 0);
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(ReadFileBytes(FPath).size(), 20 * TScoreList::RecordSize);

    // A tie with the lowest kept score qualifies; the entry at rank 21 goes.
    prompt.Answer = QStringLiteral("tie");
    EXPECT_EQ(list.SubmitResult(300, 1, "x", prompt.Callback(), kNow), 20);
    EXPECT_EQ(prompt.Asked, 1);
    ASSERT_EQ(list.Count(), 21);
    EXPECT_EQ(list.Item(19).rank, 20);
    EXPECT_EQ(list.Item(20).rank, 20);
    EXPECT_EQ(list.Items().back().score, 300);

    // A better score pushes the two entries ranked 20 off the board.
    prompt.Answer = QStringLiteral("top");
    EXPECT_EQ(list.SubmitResult(5000, 1, "x", prompt.Callback(), kNow), 0);
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(list.Items().back().score, 400);
    TScoreList reread(FPath);
    reread.ReadScore();
    EXPECT_EQ(reread.Count(), 20);
}

TEST_F(ScoreListTest, CancelledOrBlankNameAddsNothingButTheBoardIsStillTrimmed) {
    std::vector<int> scores;
    for (int i = 0; i < 21; ++i)
        scores.push_back(2100 - i * 100);
    WriteBoard(FPath, scores);
    TScoreList list(FPath);
    list.ReadScore();
    TNamePrompt prompt; // cancelled
    EXPECT_EQ(list.SubmitResult(9999, 2, "x", prompt.Callback(), kNow), -1);
    EXPECT_EQ(prompt.Asked, 1);
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(ReadFileBytes(FPath).size(), 20 * TScoreList::RecordSize);

    prompt.Answer = QStringLiteral(" \t ");
    EXPECT_EQ(list.SubmitResult(9999, 2, "x", prompt.Callback(), kNow), -1);
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(list.YouIndex(), -1);
}

TEST_F(ScoreListTest, FailedSaveReportsAndKeepsTheOldFile) {
    WriteBoard(FPath, {10});
    const QByteArray before = ReadFileBytes(FPath);
    TScoreList list(FDir.filePath(QStringLiteral("no-such-folder/cscore.dat")));
    list.Add(Rec("a", 5));
    EXPECT_THROW(list.SaveScore(), ERavlinError);
    EXPECT_EQ(ReadFileBytes(FPath), before);
}
