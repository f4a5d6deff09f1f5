#include "typing/SentenceText.h"

#include "app/RavlinError.h"
#include "platform/CodePage949.h"
#include "TestSupport.h"
#include "typing/SentencePageFit.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
}

QString LoadError(TSentenceText& text, const QString& path) {
    try {
        text.Load(path, 10, 100);
    } catch (const ERavlinError& e) {
        return e.Message();
    }
    return {};
}

} // namespace

TEST(SentenceTextWrap, CutsLongLinesAtTheLimitAndJoinsTheRestWithTheNextLine) {
    // 10 pixels a character, 100 pixels: the tenth character reaches the
    // limit, so a display line holds nine.
    const QStringList lines = TSentenceText::WrapLines(
        {QStringLiteral("abcdefghijklmnop"), QStringLiteral("  xyz  "), QStringLiteral("end")}, 10,
        100);
    // The second file line is cut as well, so its rest joins the third.
    EXPECT_EQ(lines, (QStringList{QStringLiteral("abcdefghi"), QStringLiteral("jklmnop x"),
                                  QStringLiteral("yz end")}));
}

TEST(SentenceTextWrap, WideCharactersCountDoubleAndCutsMayFallInsideWords) {
    const QStringList lines =
        TSentenceText::WrapLines({QStringLiteral("가나다라마바사 아자")}, 10, 100);
    // 가..마 = 100 at 마: four syllables; then 마바사 (60) + space (70) + 아 (90) + 자 (110).
    EXPECT_EQ(lines, (QStringList{QStringLiteral("가나다라"), QStringLiteral("마바사 아"),
                                  QStringLiteral("자")}));
}

TEST(SentenceTextWrap, BlankLinesAreDroppedAndEndACutParagraph) {
    const QStringList lines = TSentenceText::WrapLines(
        {QStringLiteral(""), QStringLiteral("\tone two three four"), QStringLiteral("   "),
         QStringLiteral("five"), QStringLiteral("")},
        10, 100);
    // "one two t" is cut; its rest "hree four" meets the blank line and ends
    // there instead of joining "five".
    EXPECT_EQ(lines, (QStringList{QStringLiteral("one two t"), QStringLiteral("hree four"),
                                  QStringLiteral("five")}));
    EXPECT_TRUE(TSentenceText::WrapLines({QStringLiteral(" "), QString()}, 10, 100).isEmpty());
}

TEST(SentenceTextWrap, ACharacterWiderThanTheLimitStillMovesOn) {
    const QStringList lines = TSentenceText::WrapLines({QStringLiteral("가나")}, 60, 100);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("가"), QStringLiteral("나")}));
}

TEST(SentenceTextLoad, DetectsTheEncodingAndNamesTheFileInErrors) {
    QTemporaryDir dir;
    const QString korean = QStringLiteral("동해 물과 백두산이\r\n마르고 닳도록\n");
    const QStringList expected{QStringLiteral("동해 물과 백두산이"),
                               QStringLiteral("마르고 닳도록")};
    TSentenceText text;

    text.Load(WriteFile(dir, "utf8.txt", korean.toUtf8()), 10, 1000);
    EXPECT_EQ(text.Lines(), expected);
    text.Load(WriteFile(dir, "bom.txt", "\xEF\xBB\xBF" + korean.toUtf8()), 10, 1000);
    EXPECT_EQ(text.Lines(), expected);
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(korean.utf16()), korean.size() * 2);
    text.Load(WriteFile(dir, "utf16.txt", utf16), 10, 1000);
    EXPECT_EQ(text.Lines(), expected);
    // Older texts are in code page 949, which is never valid UTF-8 for Hangul.
    const QByteArray cp949 = EncodeCp949(korean);
    ASSERT_FALSE(IsValidUtf8(cp949));
    text.Load(WriteFile(dir, "cp949.txt", cp949), 10, 1000);
    EXPECT_EQ(text.Lines(), expected);

    const QString missing = dir.filePath("없는글.txt");
    EXPECT_EQ(LoadError(text, missing), missing + QStringLiteral(" 파일이 존재하지 않습니다."));
    QDir(dir.path()).mkdir("folder.txt");
    const QString folder = dir.filePath("folder.txt");
    EXPECT_EQ(LoadError(text, folder), folder + QStringLiteral(" 파일을 불러올 수 없습니다."));
}

TEST(SentenceTextPaging, PagesForwardAndBackAndStopsAtBothEnds) {
    TSentenceText text;
    text.SetLines({"l0", "l1", "l2", "l3", "l4"});
    QStringList page;

    EXPECT_EQ(text.PrevPage(2, page), TSentenceText::prAtStart);
    ASSERT_EQ(text.NextPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"l0", "l1"}));
    EXPECT_EQ(text.PrevPage(2, page), TSentenceText::prAtStart); // still the first page
    EXPECT_EQ(text.CurrTextLine(), 2);

    ASSERT_EQ(text.NextPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"l2", "l3"}));
    ASSERT_EQ(text.NextPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"l4", ""}));
    EXPECT_EQ(text.CurrTextLine(), 6);

    ASSERT_EQ(text.PrevPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"l2", "l3"}));
    EXPECT_EQ(text.CurrTextLine(), 4);
    ASSERT_EQ(text.NextPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"l4", ""}));
    EXPECT_EQ(text.NextPage(2, page), TSentenceText::prAtEnd);
}

TEST(SentenceTextPaging, ResumedPagesSkipBlankLinesAndBackUpFromTheLastLine) {
    TSentenceText text;
    text.SetLines({"l0", "l1", "  ", "l3", "l4", "l5"});
    QStringList page;
    text.SetCurrTextLine(1);
    ASSERT_EQ(text.NextPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"l1", "l3"}));
    EXPECT_EQ(text.CurrTextLine(), 4);

    // A page resumed at line 1 backs up to show the first line at the bottom.
    text.SetCurrTextLine(3);
    ASSERT_EQ(text.PrevPage(2, page), TSentenceText::prShown);
    EXPECT_EQ(page, (QStringList{"", "l0"}));
    EXPECT_EQ(text.CurrTextLine(), 1);

    EXPECT_EQ(text.ClampResumeLine(3), 3);
    EXPECT_EQ(text.ClampResumeLine(6), 5);
    EXPECT_EQ(text.ClampResumeLine(60), 5);
}

TEST(SentenceTextPaging, AnEmptyTextIsExhaustedAtOnce) {
    TSentenceText text;
    QStringList page;
    EXPECT_EQ(text.NextPage(3, page), TSentenceText::prAtEnd);
    EXPECT_EQ(text.ClampResumeLine(4), -1);
}

TEST(FileHistoryKey, ReplacesTheBracketedLanguagePrefixes) {
    EXPECT_EQ(FileHistoryKey(QStringLiteral("/a/b/Text/[한글]애국가.txt")),
              QStringLiteral("(한글)애국가.txt"));
    EXPECT_EQ(FileHistoryKey(QStringLiteral("/a/Text/[영어]Gettysburg.txt")),
              QStringLiteral("(영어)Gettysburg.txt"));
    EXPECT_EQ(FileHistoryKey(QStringLiteral("/a/Text/x[한글].txt")), QStringLiteral("x[한글].txt"));
    EXPECT_EQ(FileHistoryKey(QStringLiteral("[일본어]いろは.txt")),
              QStringLiteral("[일본어]いろは.txt"));
}

TEST(IsKoreanText, HangulTextsAreKoreanLatinAndKanaTextsAreNot) {
    EXPECT_TRUE(IsKoreanText("/t/Text/[한글]abc.txt", {"abc"}));
    EXPECT_TRUE(IsKoreanText("/t/Text/애국가.txt", {"동해물과 백두산이", "마르고 닳도록"}));
    // English words in a Korean text, a Korean word in an English one.
    EXPECT_TRUE(IsKoreanText("x.txt", {"타자 연습 program을 시작합니다"}));
    EXPECT_FALSE(IsKoreanText("x.txt", {"The word kimchi (김치) is Korean."}));
    EXPECT_FALSE(IsKoreanText("/t/Text/[영어]x.txt", {"A Bcd"}));
    EXPECT_FALSE(IsKoreanText("/t/Text/[일어]노래.txt", {"さくら さくら 野山も里も"}));
    EXPECT_FALSE(IsKoreanText("한글.txt", {}));
    EXPECT_FALSE(IsKoreanText("x.txt", {"1234 !?"}));
}

TEST(SentencePageFit, ShrinksUntilThePageFitsTheScreen) {
    // 15 lines of a 40-pixel font on a 768-pixel screen.
    const TSentencePageFit fit = FitSentencePage(15, 40, 5, 43, 768);
    const int n = fit.SentenceCount;
    EXPECT_EQ(n, 5);
    const int b = 85 * n + 43 * (n - 1) + 5;
    EXPECT_EQ(fit.Height, b + 60); // the 30-pixel margin above and below
    EXPECT_EQ(fit.TextOffsetY, 30);
    EXPECT_LE(fit.Height, 668);
    EXPECT_GT(85 * 6 + 43 * 5 + 5 + 60, 668); // one more line would not fit

    // Short pages are centred in a 500-pixel window.
    const TSentencePageFit small = FitSentencePage(2, 20, 5, 23, 768);
    EXPECT_EQ(small.SentenceCount, 2);
    EXPECT_EQ(small.Height, 500);
    EXPECT_EQ(small.TextOffsetY, (500 - (45 * 2 + 23 + 5)) / 2);

    // One line always stays, however small the screen.
    EXPECT_EQ(FitSentencePage(3, 40, 5, 43, 200).SentenceCount, 1);
}
