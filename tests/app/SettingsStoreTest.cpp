#include "app/SettingsStore.h"

#include "app/Folders.h"
#include "app/RavlinError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>

TEST(SettingsStore, FreshProfileLoadsEveryDefault) {
    TScopedSettingsDir settings;
    LoadSentenceSetup();
    EXPECT_EQ(SentenceSetup.SpeedLimit, 150);
    EXPECT_FALSE(SentenceSetup.UseSpeedLimit);
    EXPECT_TRUE(SentenceSetup.UseSound);
    EXPECT_TRUE(SentenceSetup.ShowWrongJohap);
    EXPECT_EQ(SentenceSetup.LineCount, 1);
    EXPECT_EQ(SentenceSetup.BackImage,
              "1" + AppDir() + "Images/best_wood.jpg|1" + AppDir() + "Models/Maps/White_Cloud.png");
    EXPECT_EQ(SentenceSetup.FontColor, 0xFF000008u);
    EXPECT_EQ(SentenceSetup.FontSize, 22);
    EXPECT_EQ(SentenceSetup.FontName, QStringLiteral("굴림체"));
    EXPECT_TRUE(SentenceSetup.FontBold);
    EXPECT_FALSE(SentenceSetup.FontItalic);
    EXPECT_EQ(SentenceSetup.WrongMarkColor, 255u);
    EXPECT_TRUE(SentenceSetup.TextName.isEmpty());

    LoadKeyboardSetup();
    EXPECT_TRUE(KeyboardSetup.UseSound);
    EXPECT_TRUE(KeyboardSetup.ShowFinger);
    EXPECT_TRUE(KeyboardSetup.AlwaysShowEnglish);
    EXPECT_TRUE(KeyboardSetup.MoveProblem);
    EXPECT_EQ(KeyboardSetup.languageIndex, 0);
    EXPECT_EQ(KeyboardSetup.TextureFileName, QStringLiteral("[key] wood.bmp"));
    EXPECT_EQ(KeyboardSetup.FontName, QStringLiteral("굴림체"));
    EXPECT_EQ(KeyboardSetup.FontSize, 16);
    EXPECT_EQ(KeyboardSetup.FontColor, 0u);
    EXPECT_TRUE(KeyboardSetup.FontBold);
    EXPECT_FALSE(KeyboardSetup.FontItalic);

    LoadSaveMeGameSetUp();
    EXPECT_TRUE(SaveMeGameSetUp.UseSound);
    EXPECT_TRUE(SaveMeGameSetUp.UseBGM);
    EXPECT_EQ(SaveMeGameSetUp.GameLevel, 1);
    EXPECT_EQ(SaveMeGameSetUp.FontName, QStringLiteral("궁서"));
    EXPECT_EQ(SaveMeGameSetUp.FontSize, 36);
    EXPECT_TRUE(SaveMeGameSetUp.FontBold);
    EXPECT_FALSE(SaveMeGameSetUp.FontItalic);
    EXPECT_TRUE(SaveMeGameSetUp.TextName.isEmpty());

    // Loading alone never creates the file.
    EXPECT_FALSE(QFile::exists(SettingsIniPath()));
}

TEST(SettingsStore, LineCountOutsideOneToFifteenLoadsAsOne) {
    TScopedSettingsDir settings;
    for (const auto& [stored, expected] :
         {std::pair{"0", 1}, {"16", 1}, {"15", 15}, {"-3", 1}, {"7", 7}}) {
        ASSERT_TRUE(WriteFileBytes(SettingsIniPath(),
                                   QByteArray("[SentenceSetup]\nLineCount=") + stored + "\n"));
        LoadSentenceSetup();
        EXPECT_EQ(SentenceSetup.LineCount, expected) << stored;
    }
}

TEST(SettingsStore, HangulInputChoiceRoundTripsAndUnknownValuesAreAutomatic) {
    TScopedSettingsDir settings;
    LoadSentenceSetup();
    EXPECT_EQ(SentenceSetup.HangulInput, 0);
    SentenceSetup.HangulInput = 2;
    SaveSentenceSetup();
    SentenceSetup.HangulInput = 0;
    LoadSentenceSetup();
    EXPECT_EQ(SentenceSetup.HangulInput, 2);
    for (const char* stored : {"3", "-1", "x"}) {
        ASSERT_TRUE(WriteFileBytes(SettingsIniPath(),
                                   QByteArray("[SentenceSetup]\nHangulInput=") + stored + "\n"));
        LoadSentenceSetup();
        EXPECT_EQ(SentenceSetup.HangulInput, 0) << stored;
    }
}

TEST(SettingsStore, SaveWritesOneSentenceSectionInTableOrder) {
    TScopedSettingsDir settings;
    LoadSentenceSetup();
    SentenceSetup.TextName = QStringLiteral("[한글]애국가");
    SentenceSetup.LineCount = 5;
    SaveSentenceSetup();

    const QString text = QString::fromUtf8(ReadFileBytes(SettingsIniPath()));
    EXPECT_EQ(text.count(QStringLiteral("[SentenceSetup]"), Qt::CaseInsensitive), 1)
        << text.toStdString();

    const char* order[] = {
        "SpeedLimit=", "UseSpeedLimit=",  "UseSound=", "ShowWrongJohap=", "LineCount=",
        "BackImage=",  "FontColor=",      "FontSize=", "FontName=",       "FontBold=",
        "FontItalic=", "WrongMarkColor=", "TextName=", "HangulInput="};
    qsizetype last = -1;
    for (const char* key : order) {
        const qsizetype at = text.indexOf(QLatin1String(key));
        ASSERT_GT(at, last) << key;
        last = at;
    }
    // Colours and Booleans in their stored forms.
    EXPECT_TRUE(text.contains(QStringLiteral("FontColor=-16777208")));
    EXPECT_TRUE(text.contains(QStringLiteral("FontBold=1")));
    EXPECT_TRUE(text.contains(QStringLiteral("FontItalic=0")));

    LoadSentenceSetup();
    EXPECT_EQ(SentenceSetup.TextName, QStringLiteral("[한글]애국가"));
    EXPECT_EQ(SentenceSetup.LineCount, 5);
}

TEST(SettingsStore, NamesIgnoreCaseBooleansAreNonZeroAndGarbageIsDefault) {
    TScopedSettingsDir settings;
    ASSERT_TRUE(WriteFileBytes(SettingsIniPath(), "[keyboardsetup]\n"
                                                  "usesound=0\n"
                                                  "SHOWFINGER=7\n"
                                                  "MoveProblem=-1\n"
                                                  "AlwaysShowEnglish=yes\n"
                                                  "FontSize=12pt\n"
                                                  "LanguageIndex= 3 \n"
                                                  "FontColor=99999999999\n"));
    LoadKeyboardSetup();
    EXPECT_FALSE(KeyboardSetup.UseSound);
    EXPECT_TRUE(KeyboardSetup.ShowFinger);
    EXPECT_TRUE(KeyboardSetup.MoveProblem);
    EXPECT_TRUE(KeyboardSetup.AlwaysShowEnglish); // not a number: default
    EXPECT_EQ(KeyboardSetup.FontSize, 16);        // not a number: default
    EXPECT_EQ(KeyboardSetup.languageIndex, 3);
    EXPECT_EQ(KeyboardSetup.FontColor, 0u); // out of 32-bit range: default
}

TEST(SettingsStore, SaveKeepsOtherSectionsAndRoundTripsEveryRecord) {
    TScopedSettingsDir settings;
    ASSERT_TRUE(WriteFileBytes(SettingsIniPath(),
                               "[clock]\nspeaker_off=1\n[FileHistory]\n(한글)text.txt=42\n"));

    LoadKeyboardSetup();
    KeyboardSetup.languageIndex = 8;
    KeyboardSetup.FontColor = RGBColor(1, 2, 3);
    KeyboardSetup.TextureFileName = QStringLiteral("[key] marble.png");
    SaveKeyboardSetup();

    LoadSaveMeGameSetUp();
    SaveMeGameSetUp.GameLevel = 4;
    SaveMeGameSetUp.UseBGM = false;
    SaveMeGameSetUp.TextName = QStringLiteral("동물 이름");
    SaveSaveMeGameSetUp();

    KeyboardSetup = {};
    SaveMeGameSetUp = {};
    LoadKeyboardSetup();
    LoadSaveMeGameSetUp();
    EXPECT_EQ(KeyboardSetup.languageIndex, 8);
    EXPECT_EQ(KeyboardSetup.FontColor, RGBColor(1, 2, 3));
    EXPECT_EQ(KeyboardSetup.TextureFileName, QStringLiteral("[key] marble.png"));
    EXPECT_EQ(SaveMeGameSetUp.GameLevel, 4);
    EXPECT_FALSE(SaveMeGameSetUp.UseBGM);
    EXPECT_EQ(SaveMeGameSetUp.TextName, QStringLiteral("동물 이름"));

    const TIniFile ini = OpenSettingsIni();
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("CLOCK"), QStringLiteral("Speaker_Off"), false));
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("(한글)text.txt")), 42);
}

TEST(SettingsStore, FileHistoryNegativesReadAsZero) {
    TScopedSettingsDir settings;
    {
        TIniFile ini = OpenSettingsIni();
        WriteFileHistory(ini, QStringLiteral("a.txt"), -12);
        WriteFileHistory(ini, QStringLiteral("b.txt"), 30);
        CloseSettingsIni(ini);
    }
    const TIniFile ini = OpenSettingsIni();
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("a.txt")), 0);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("b.txt")), 30);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("missing.txt")), 0);
}

TEST(SettingsStore, GarbledFileLoadsAsDefaults) {
    TScopedSettingsDir settings;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919 + 13) % 256));
    ASSERT_TRUE(WriteFileBytes(SettingsIniPath(), garbage));

    LoadSentenceSetup();
    EXPECT_EQ(SentenceSetup.SpeedLimit, 150);
    EXPECT_EQ(SentenceSetup.LineCount, 1);
    // A save over a garbled file yields a readable one.
    SentenceSetup.SpeedLimit = 321;
    SaveSentenceSetup();
    SentenceSetup = {};
    LoadSentenceSetup();
    EXPECT_EQ(SentenceSetup.SpeedLimit, 321);
}

TEST(SettingsStore, FailedSaveReportsAndLeavesOldFileWhole) {
    TScopedSettingsDir settings;
    LoadSentenceSetup();
    SentenceSetup.SpeedLimit = 200;
    SaveSentenceSetup();
    const QByteArray before = ReadFileBytes(SettingsIniPath());

    // Make the folder unusable for the temporary file: a file in its place.
    const QString folder = SettingsDir();
    const QString moved = settings.DataHome() + "/moved";
    ASSERT_TRUE(QDir().rename(folder, moved));
    ASSERT_TRUE(WriteFileBytes(settings.DataHome() + "/Ravlin", "not a folder"));

    SentenceSetup.SpeedLimit = 999;
    EXPECT_THROW(SaveSentenceSetup(), ERavlinError);

    QFile::remove(settings.DataHome() + "/Ravlin");
    ASSERT_TRUE(QDir().rename(moved, folder));
    EXPECT_EQ(ReadFileBytes(SettingsIniPath()), before);
}

TEST(SettingsStore, FileHistoryKeysThatReadBackStayAsTheyAre) {
    TScopedSettingsDir settings;
    // Keys stored files rely on: written exactly as they always were.
    const QStringList plain = {"노래.txt",   "(한글)연습.txt", "(영어)x.txt", "a[1].txt",
                               "a;b #c.txt", "x y.txt",        "%3D.txt",     "(일어)노래.txt"};
    {
        TIniFile ini = OpenSettingsIni();
        int line = 1;
        for (const QString& key : plain) {
            EXPECT_EQ(StoredFileHistoryKey(key), key);
            WriteFileHistory(ini, key, line++);
        }
        CloseSettingsIni(ini);
    }
    const QString text = QString::fromUtf8(ReadFileBytes(SettingsIniPath()));
    int line = 1;
    for (const QString& key : plain)
        EXPECT_TRUE(text.contains(QLatin1Char('\n') + key + QStringLiteral("=%1\n").arg(line++)))
            << key.toStdString();
    const TIniFile ini = OpenSettingsIni();
    line = 1;
    for (const QString& key : plain)
        EXPECT_EQ(ReadFileHistory(ini, key), line++) << key.toStdString();
}

TEST(SettingsStore, FileHistoryKeysThatWouldNotReadBackAreEscaped) {
    TScopedSettingsDir settings;
    // Keys the INI syntax would read as a comment, a section, a shorter key
    // or a key and a value.
    const QStringList awkward = {"#노래.txt",    ";노래.txt",      "a=b.txt",   "=.txt",
                                 " 노래.txt",    "\t노래.txt",     "노래.txt ", "[일어]노래.txt",
                                 " [일어]a.txt", "[한글 노래.txt", "a%=b.txt",  "a\nb.txt",
                                 "[]",           "#[x]=y; .txt "};
    ASSERT_TRUE(WriteFileBytes(SettingsIniPath(), "[FileHistory]\n노래.txt=99\nb.txt=7\n"));
    {
        TIniFile ini = OpenSettingsIni();
        int line = 1;
        for (const QString& key : awkward) {
            EXPECT_FALSE(TIniFile::KeyRoundTrips(key)) << key.toStdString();
            const QString stored = StoredFileHistoryKey(key);
            EXPECT_TRUE(stored.startsWith(u'/')) << key.toStdString();
            EXPECT_TRUE(TIniFile::KeyRoundTrips(stored)) << stored.toStdString();
            WriteFileHistory(ini, key, line++);
        }
        CloseSettingsIni(ini);
    }
    const TIniFile ini = OpenSettingsIni();
    int line = 1;
    for (const QString& key : awkward)
        EXPECT_EQ(ReadFileHistory(ini, key), line++) << key.toStdString();
    // The texts whose names they resemble keep their own positions.
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("노래.txt")), 99);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("b.txt")), 7);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("a")), 0);
    // Nothing but the one section.
    EXPECT_EQ(ini.Sections(), QStringList{"FileHistory"});
    EXPECT_EQ(ini.ReadSection(QStringLiteral("FileHistory")).size(), awkward.size() + 2);
    EXPECT_EQ(StoredFileHistoryKey(QStringLiteral("a=b %.txt  ")),
              QStringLiteral("/a%3Db %25.txt%20%20"));
}

TEST(SettingsStore, FileHistoryReadsTheKeyAsItIsAndDropsLeftoverSections) {
    TScopedSettingsDir settings;
    // A file from an older version: "[일어]노래.txt=5" was read back as a
    // section, and a file edited by hand may hold an awkward key as it is.
    ASSERT_TRUE(WriteFileBytes(SettingsIniPath(), "[FileHistory]\na.txt=3\n[일어]노래.txt=5\n"
                                                  "[SentenceSetup]\nSpeedLimit=200\n"));
    {
        TIniFile ini = OpenSettingsIni();
        EXPECT_TRUE(ini.SectionExists(QStringLiteral("일어")));
        EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("[일어]노래.txt")), 0);
        WriteFileHistory(ini, QStringLiteral("[일어]노래.txt"), 8);
        CloseSettingsIni(ini);
    }
    const TIniFile ini = OpenSettingsIni();
    EXPECT_EQ(ini.Sections(), (QStringList{"FileHistory", "SentenceSetup"}));
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("[일어]노래.txt")), 8);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("a.txt")), 3);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("SentenceSetup"), QStringLiteral("SpeedLimit"), 0),
              200);
}

TEST(SettingsStore, EscapedKeyIsReadBeforeThePlainSpelling) {
    TScopedSettingsDir settings;
    // The key as it is, where a reader that was not confused by it wrote it.
    TIniFile ini(SettingsIniPath());
    ini.WriteInteger(QStringLiteral("FileHistory"), QStringLiteral("a=b.txt"), 4);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("a=b.txt")), 4);
    WriteFileHistory(ini, QStringLiteral("a=b.txt"), 6);
    EXPECT_EQ(ReadFileHistory(ini, QStringLiteral("a=b.txt")), 6);
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("FileHistory"), QStringLiteral("a=b.txt")));
}

TEST(SettingsStore, ASaveRemovesTheTemporaryFileOfAnInterruptedOne) {
    TScopedSettingsDir settings;
    LoadSentenceSetup();
    SaveSentenceSetup();
    // A save killed between writing and renaming left its temporary file.
    const QString leftover = SettingsIniPath() + QStringLiteral(".xYzAbC");
    ASSERT_TRUE(WriteFileBytes(leftover, ReadFileBytes(SettingsIniPath())));
    {
        QFile file(leftover);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-300),
                                     QFileDevice::FileModificationTime));
    }
    SentenceSetup.SpeedLimit = 222;
    SaveSentenceSetup();
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_EQ(QDir(SettingsDir()).entryList(QDir::Files), QStringList{"Ravlin.ini"});
}
