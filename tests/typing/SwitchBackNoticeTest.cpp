#include "typing/SwitchBackNotice.h"

#include <gtest/gtest.h>

TEST(SwitchBackNotice, HoldsBackLatinWhereHangulIsDueOncePerPage) {
    TSwitchBackNotice n;
    EXPECT_FALSE(n.HoldBack(u'g', u'한')); // not a Korean text
    n.SetKoreanText(true);
    EXPECT_FALSE(n.HoldBack(u'g', u'x'));    // Latin due
    EXPECT_FALSE(n.HoldBack(u'1', u'한'));   // not a letter
    EXPECT_FALSE(n.HoldBack(u'g', QChar())); // past the end of the line
    EXPECT_FALSE(n.Given());
    EXPECT_TRUE(n.HoldBack(u'g', u'한'));
    EXPECT_TRUE(n.HoldBack(u'k', u'한')); // while it shows
    EXPECT_TRUE(n.Visible());
    n.HangulArrived();
    EXPECT_FALSE(n.Visible());
    EXPECT_FALSE(n.HoldBack(u'g', u'ㄱ')); // given on this page already
    n.NewPage();
    EXPECT_TRUE(n.HoldBack(u'g', u'ㄱ'));
    // Any other character hides it (a space, Backspace).
    EXPECT_FALSE(n.HoldBack(u'\b', u'ㄱ'));
    EXPECT_FALSE(n.Visible());
    EXPECT_TRUE(n.Given());
    n.SetKoreanText(false);
    n.NewPage();
    EXPECT_FALSE(n.HoldBack(u'g', u'한'));
}
