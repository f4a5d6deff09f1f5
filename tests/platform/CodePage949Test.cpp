#include "platform/CodePage949.h"

#include <gtest/gtest.h>

TEST(CodePage949, RoundTripsHangulIncludingExtendedSyllables) {
    // 똠 and 햏 lie outside EUC-KR's 2350 syllables but inside code page 949.
    const QString text = QStringLiteral("한글 ABC 똠방각하 햏 ㄱㅏ");
    const QByteArray bytes = EncodeCp949(text);
    EXPECT_EQ(bytes.left(2), QByteArray("\xC7\xD1")); // 한
    EXPECT_EQ(DecodeCp949(bytes), text);
}

TEST(CodePage949, InvalidInputNeverFails) {
    // A lead byte without its trail byte at the end, and a stray byte.
    const QString decoded = DecodeCp949(QByteArray("A\xC7\xD1\xFF"
                                                   "B\xC7"));
    EXPECT_TRUE(decoded.startsWith(QStringLiteral("A한")));
    EXPECT_TRUE(decoded.contains(QLatin1Char('B')));
    EXPECT_TRUE(decoded.contains(QChar(0xFFFD)));
    // Characters the code page lacks become '?'.
    EXPECT_EQ(EncodeCp949(QStringLiteral("a😀b")), QByteArray("a?b"));
}

TEST(CodePage949, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8(QByteArray()));
    EXPECT_TRUE(IsValidUtf8(QStringLiteral("한글").toUtf8()));
    EXPECT_FALSE(IsValidUtf8(EncodeCp949(QStringLiteral("한글"))));
}

TEST(CodePage949, Utf8ValidationRejectsOverlongSurrogatesAndCutOffSequences) {
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xC0\xAF")));         // overlong '/'
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xED\xA0\x80")));     // surrogate
    EXPECT_FALSE(IsValidUtf8(QByteArray("ab\xE2\x82")));       // cut off
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xF4\x90\x80\x80"))); // past U+10FFFF
    EXPECT_TRUE(IsValidUtf8(QByteArray("\xF0\x9F\x98\x80")));  // emoji
}

TEST(CodePage949, DecodeTextFollowsTheByteOrderMarkThenUtf8ThenTheCodePage) {
    const QString text = QStringLiteral("한글 text");
    EXPECT_EQ(DecodeText(text.toUtf8()), text);
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF" + text.toUtf8()), text); // the mark is dropped
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (const QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    EXPECT_EQ(DecodeText(le), text);
    EXPECT_EQ(DecodeText(be), text);
    EXPECT_EQ(DecodeText(EncodeCp949(text)), text);
    EXPECT_EQ(DecodeText(QByteArray()), QString());
}
