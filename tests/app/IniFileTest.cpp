#include "app/IniFile.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

TEST(IniFile, SectionAndKeyNamesIgnoreCaseAndKeepFirstSpelling) {
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("a.ini"));
    ini.WriteInteger("SentenceSetup", "SpeedLimit", 10);
    ini.WriteInteger("SentenceSetUp", "LineCount", 3);
    ini.WriteInteger("SENTENCESETUP", "speedlimit", 20);

    EXPECT_EQ(ini.Sections(), QStringList{"SentenceSetup"});
    EXPECT_EQ(ini.ReadSection("sentencesetup"), (QStringList{"SpeedLimit", "LineCount"}));
    EXPECT_EQ(ini.ReadInteger("SentenceSetup", "SPEEDLIMIT", 0), 20);
}

TEST(IniFile, RoundTripsUtf8AndSingleLineValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.ini");
    {
        TIniFile ini(path);
        ini.WriteString("S", "Name", QStringLiteral("굴림체 ひらがな"));
        ini.WriteString("S", "Lines", QStringLiteral("one\ntwo\r\nthree"));
        ini.WriteString("S", "Empty", QString());
        ini.WriteInteger("S", "Min", INT_MIN);
        ini.UpdateFile();
    }
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "Name", {}), QStringLiteral("굴림체 ひらがな"));
    EXPECT_EQ(ini.ReadString("S", "Lines", {}), QStringLiteral("one two  three"));
    EXPECT_TRUE(ini.ValueExists("S", "Empty"));
    EXPECT_EQ(ini.ReadString("S", "Empty", "default"), QString());
    EXPECT_EQ(ini.ReadInteger("S", "Min", 0), INT_MIN);
    // Nothing else in the file: a line break in a value does not make keys.
    EXPECT_EQ(ini.ReadSection("S").size(), 4);
}

TEST(IniFile, UnchangedFileIsNotRewritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("c.ini");
    TIniFile ini(path);
    ini.ReadInteger("S", "K", 1);
    ini.UpdateFile();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(IniFile, EraseSectionAndDeleteKey) {
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("d.ini"));
    ini.WriteInteger("FileHistory", "a.txt", 1);
    ini.WriteInteger("FileHistory", "b.txt", 2);
    ini.DeleteKey("filehistory", "A.TXT");
    EXPECT_EQ(ini.ReadSection("FileHistory"), QStringList{"b.txt"});
    ini.EraseSection("FILEHISTORY");
    EXPECT_FALSE(ini.SectionExists("FileHistory"));
}
