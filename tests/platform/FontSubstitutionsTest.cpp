#include "platform/FontSubstitutions.h"

#include <gtest/gtest.h>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>

// The test main installs the substitutions, as the program does at start.
TEST(FontSubstitutions, WindowsFacesResolveToInstalledFacesWithHangulLatinAndKana) {
    const struct {
        const char* Face;
        const char* Expected;
    } cases[] = {{"굴림체", "NanumGothicCoding"},
                 {"굴림", "NanumGothic"},
                 {"궁서", "NanumMyeongjo"},
                 {"Tahoma", "DejaVu Sans"},
                 {"MS Sans Serif", "DejaVu Sans"}};
    for (const auto& c : cases) {
        const QFont font(QString::fromUtf8(c.Face));
        EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.Expected)) << c.Face;
    }
    // The Korean faces carry Hangul, Latin and the kana of the Japanese layouts.
    for (const char* face : {"굴림체", "굴림", "궁서"}) {
        const QFontMetrics metrics{QFont(QString::fromUtf8(face))};
        for (char32_t ch : {U'닭', U'A', U'ひ', U'カ', U'ㅃ'})
            EXPECT_TRUE(metrics.inFontUcs4(ch)) << face << " lacks U+" << std::hex << unsigned(ch);
    }
}
