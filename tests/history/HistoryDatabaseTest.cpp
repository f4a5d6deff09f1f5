#include "history/HistoryDatabase.h"

#include "app/Folders.h"
#include "history/HistoryRecorder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <thread>

namespace {

THistoryKeyFact Fact(int kind, const QString& item, bool wrong, int ms, int code = -1) {
    THistoryKeyFact fact;
    fact.Kind = kind;
    fact.Item = item;
    fact.Code = code;
    fact.Strokes = 1;
    fact.Wrong = wrong;
    fact.Ms = ms;
    return fact;
}

THistorySession Session(int activity, qint64 ended, const QString& source, int speed) {
    THistorySession s;
    s.Activity = activity;
    s.Started = ended - 60000;
    s.Ended = ended;
    s.Source = source;
    s.Pages = 1;
    s.Speed = speed;
    s.Accuracy = 0.9;
    return s;
}

qint64 Count(THistoryDatabase& db, const char* table) {
    QSqlQuery query(db.Connection());
    query.exec(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table));
    return query.next() ? query.value(0).toLongLong() : -1;
}

const qint64 kDay = 24LL * 60 * 60 * 1000;
const qint64 kNow = 1'800'000'000'000LL;

class HistoryDatabaseTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name = QStringLiteral("history.sqlite")) const {
        return FDir.filePath(name);
    }
    QTemporaryDir FDir;
};

TEST_F(HistoryDatabaseTest, RecordsSessionsAndSumsFactsPerItem) {
    THistoryDatabase db(PathOf());
    ASSERT_TRUE(db.IsOpen()) << db.LastError().toStdString();
    EXPECT_EQ(db.SchemaVersion(), THistoryDatabase::kSchemaVersion);
    QSqlQuery mode(db.Connection());
    ASSERT_TRUE(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
    EXPECT_EQ(mode.value(0).toString(), "wal");
    QSqlQuery keys(db.Connection());
    ASSERT_TRUE(keys.exec(QStringLiteral("PRAGMA foreign_keys")) && keys.next());
    EXPECT_EQ(keys.value(0).toInt(), 1);
    mode.finish();
    keys.finish();

    THistorySession s = Session(haSentence, kNow, QStringLiteral("애국가.txt"), 200);
    ASSERT_TRUE(db.RecordSession(s, {Fact(hfJamo, "ㅢ", true, 400), Fact(hfJamo, "ㅢ", false, 200),
                                     Fact(hfChar, "a", false, 100)}));
    EXPECT_GT(s.Id, 0);
    // The second page updates the same session and adds its facts.
    const qint64 id = s.Id;
    s.Pages = 2;
    s.Speed = 260;
    s.Ended = kNow + 30000;
    ASSERT_TRUE(db.RecordSession(s, {Fact(hfJamo, "ㅢ", true, 600)}));
    EXPECT_EQ(s.Id, id);

    THistoryFilter filter;
    filter.Activity = haSentence;
    const auto sessions = db.Sessions(filter);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].Pages, 2);
    EXPECT_EQ(sessions[0].Speed, 260);
    EXPECT_EQ(sessions[0].Source, "애국가.txt");
    EXPECT_EQ(db.Facts(id).size(), 4u);

    const auto stats = db.KeyStats(filter);
    const auto ui = std::find_if(stats.begin(), stats.end(),
                                 [](const THistoryKeyStat& st) { return st.Item == "ㅢ"; });
    ASSERT_NE(ui, stats.end());
    EXPECT_EQ(ui->Count, 3);
    EXPECT_EQ(ui->Wrong, 2);
    EXPECT_EQ(ui->TotalMs, 1200);

    // Other activities and sources are kept apart.
    filter.Activity = haKeyboard;
    EXPECT_TRUE(db.Sessions(filter).empty());
    filter.Activity = haSentence;
    filter.Source = QStringLiteral("other.txt");
    EXPECT_TRUE(db.Sessions(filter).empty());
    EXPECT_TRUE(db.KeyStats(filter).empty());
}

TEST_F(HistoryDatabaseTest, PeriodFilterAndSourcesMostRecentFirst) {
    THistoryDatabase db(PathOf());
    THistorySession old = Session(haKeyboard, kNow - 40 * kDay, QStringLiteral("영어 QWERTY"), 30);
    THistorySession recent = Session(haKeyboard, kNow - kDay, QStringLiteral("한글 두벌식"), 40);
    ASSERT_TRUE(db.RecordSession(old, {Fact(hfKey, "A", true, 900, 60)}));
    ASSERT_TRUE(db.RecordSession(recent, {Fact(hfKey, "ㅁ", false, 500, 60)}));
    EXPECT_EQ(db.Sources(haKeyboard), QStringList({"한글 두벌식", "영어 QWERTY"}));
    THistoryFilter filter;
    filter.Activity = haKeyboard;
    filter.Since = kNow - 30 * kDay;
    const auto sessions = db.Sessions(filter);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].Speed, 40);
    const auto stats = db.KeyStats(filter);
    ASSERT_EQ(stats.size(), 1u);
    EXPECT_EQ(stats[0].Item, "ㅁ");
}

TEST_F(HistoryDatabaseTest, RecentDrillStatsTakeTheNewestFactsPerCode) {
    THistoryDatabase db(PathOf());
    // Long ago the key was always wrong; lately it is always right.
    THistorySession old = Session(haKeyboard, kNow - 10 * kDay, QStringLiteral("영어 QWERTY"), 30);
    THistoryKeyFacts bad(40, Fact(hfKey, "A", true, 2000, 60));
    ASSERT_TRUE(db.RecordSession(old, bad));
    THistorySession now = Session(haKeyboard, kNow, QStringLiteral("영어 QWERTY"), 30);
    THistoryKeyFacts good(30, Fact(hfKey, "A", false, 300, 60));
    ASSERT_TRUE(db.RecordSession(now, good));
    const auto stats = db.RecentDrillStats(QStringLiteral("영어 QWERTY"), 30);
    ASSERT_TRUE(stats.contains(60));
    EXPECT_EQ(stats[60].Count, 30);
    EXPECT_EQ(stats[60].Wrong, 0);
    EXPECT_TRUE(db.RecentDrillStats(QStringLiteral("한글 두벌식")).isEmpty());
}

TEST_F(HistoryDatabaseTest, MigratesAVersionOneFileKeepingItsRows) {
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "v1");
        old.setDatabaseName(PathOf());
        ASSERT_TRUE(old.open());
        QSqlQuery q(old);
        for (const char* sql :
             {"CREATE TABLE sessions (id INTEGER PRIMARY KEY, activity INTEGER NOT NULL,"
              " started INTEGER NOT NULL, ended INTEGER NOT NULL, source TEXT NOT NULL DEFAULT '',"
              " pages INTEGER NOT NULL DEFAULT 0, keystrokes INTEGER NOT NULL DEFAULT 0,"
              " speed INTEGER NOT NULL DEFAULT 0, accuracy REAL NOT NULL DEFAULT 0,"
              " level INTEGER NOT NULL DEFAULT 0, score INTEGER NOT NULL DEFAULT 0)",
              "CREATE TABLE key_facts (session_id INTEGER NOT NULL REFERENCES sessions(id)"
              " ON DELETE CASCADE, kind INTEGER NOT NULL, item TEXT NOT NULL,"
              " strokes INTEGER NOT NULL DEFAULT 0, wrong INTEGER NOT NULL DEFAULT 0,"
              " ms INTEGER NOT NULL DEFAULT 0)",
              "INSERT INTO sessions VALUES (1, 0, 1000, 1799999999000, 'a.txt', 3, 500, 180,"
              " 0.95, 0, 0)",
              "INSERT INTO key_facts VALUES (1, 1, 'ㄲ', 2, 1, 700)",
              "INSERT INTO key_facts VALUES (1, 1, 'ㄲ', 2, 0, 500)", "PRAGMA user_version=1"})
            ASSERT_TRUE(q.exec(QString::fromUtf8(sql))) << sql;
        old.close();
    }
    QSqlDatabase::removeDatabase("v1");

    THistoryDatabase db(PathOf());
    ASSERT_TRUE(db.IsOpen()) << db.LastError().toStdString();
    EXPECT_TRUE(db.RecoveredFile().isEmpty());
    EXPECT_EQ(db.SchemaVersion(), 2);
    THistoryFilter filter;
    const auto sessions = db.Sessions(filter);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].Speed, 180);
    // The summary was filled from the facts already there.
    const auto stats = db.KeyStats(filter);
    ASSERT_EQ(stats.size(), 1u);
    EXPECT_EQ(stats[0].Item, "ㄲ");
    EXPECT_EQ(stats[0].Count, 2);
    EXPECT_EQ(stats[0].Wrong, 1);
    EXPECT_EQ(stats[0].Code, -1);
    // New sessions go on from there.
    THistorySession s = Session(haSentence, kNow, QStringLiteral("a.txt"), 200);
    EXPECT_TRUE(db.RecordSession(s, {Fact(hfJamo, "ㄲ", false, 300)}));
    EXPECT_EQ(db.KeyStats(filter).size(), 1u);
}

TEST_F(HistoryDatabaseTest, CorruptFileIsSetAsideAndPracticeGoesOn) {
    TScopedSettingsDir settings;
    const QString path = THistoryDatabase::DefaultPath();
    const QByteArray junk(4096, 'x');
    ASSERT_TRUE(WriteFileBytes(path, junk));
    const QString ini = SettingsDir() + QStringLiteral("Ravlin.ini");
    ASSERT_TRUE(WriteFileBytes(ini, "[Keyboard]\nLanguageIndex=1\n"));

    int told = 0;
    QString movedTo;
    THistoryRecorder recorder;
    recorder.OnRecovered = [&](const QString& file) {
        ++told;
        movedTo = file;
    };
    EXPECT_TRUE(recorder.RecordGame(haClockwig, QStringLiteral("한글"), 3, 1200));
    EXPECT_TRUE(recorder.RecordGame(haClockwig, QStringLiteral("한글"), 4, 1500));
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(QFileInfo(movedTo).fileName().startsWith("history.sqlite.corrupt-"));
    EXPECT_EQ(ReadFileBytes(movedTo), junk);
    EXPECT_EQ(ReadFileBytes(ini), "[Keyboard]\nLanguageIndex=1\n");
    THistoryFilter filter;
    filter.Activity = haClockwig;
    EXPECT_EQ(recorder.Database()->Sessions(filter).size(), 2u);

    // A fresh program start finds a sound file and says nothing.
    THistoryDatabase again;
    EXPECT_TRUE(again.IsOpen());
    EXPECT_TRUE(again.RecoveredFile().isEmpty());
}

TEST_F(HistoryDatabaseTest, FileOfANewerProgramIsLeftAlone) {
    {
        THistoryDatabase db(PathOf());
        QSqlQuery(db.Connection()).exec(QStringLiteral("PRAGMA user_version=99"));
    }
    const QByteArray before = ReadFileBytes(PathOf());
    THistoryDatabase db(PathOf());
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.RecoveredFile().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(PathOf()));
    THistorySession s = Session(haSentence, kNow, "a", 1);
    EXPECT_FALSE(db.RecordSession(s, {}));
    EXPECT_EQ(QDir(FDir.path()).entryList({"*.corrupt-*"}, QDir::Files).size(), 0);
}

TEST_F(HistoryDatabaseTest, TwoWritersShareTheFile) {
    const QString path = PathOf();
    { THistoryDatabase create(path); }
    constexpr int kPerWriter = 40;
    auto writer = [&](int activity, int* written) {
        THistoryDatabase db(path);
        for (int i = 0; i < kPerWriter && db.IsOpen(); ++i) {
            THistorySession s = Session(activity, kNow + i, QStringLiteral("w"), i);
            THistoryKeyFacts facts(20, Fact(hfKey, "A", i % 2 == 0, 300, 60));
            if (db.RecordSession(s, facts))
                ++*written;
        }
    };
    int first = 0;
    int second = 0;
    std::thread a(writer, int(haKeyboard), &first);
    std::thread b(writer, int(haSentence), &second);
    a.join();
    b.join();
    EXPECT_EQ(first, kPerWriter);
    EXPECT_EQ(second, kPerWriter);
    THistoryDatabase db(path);
    EXPECT_EQ(Count(db, "sessions"), 2 * kPerWriter);
    EXPECT_EQ(Count(db, "key_facts"), 2 * kPerWriter * 20);
    THistoryFilter filter;
    filter.Activity = haKeyboard;
    const auto stats = db.KeyStats(filter);
    ASSERT_EQ(stats.size(), 1u);
    EXPECT_EQ(stats[0].Count, kPerWriter * 20);
}

TEST_F(HistoryDatabaseTest, CsvQuotesFieldsThatNeedIt) {
    THistoryDatabase db(PathOf());
    THistorySession s = Session(haOrbalon, kNow, QStringLiteral("words, \"best\""), 0);
    s.Level = 5;
    s.Score = 4200;
    ASSERT_TRUE(db.RecordSession(s, {}));
    const QList<QByteArray> lines = db.SessionsCsv().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0],
              "activity,started,ended,source,pages,keystrokes,speed,accuracy,level,score");
    EXPECT_TRUE(lines[1].startsWith("Orbalon,"));
    EXPECT_TRUE(lines[1].contains(",\"words, \"\"best\"\"\",1,0,0,90.0,5,4200"))
        << lines[1].toStdString();
}

} // namespace
