#include "platform/ResourceSoundPlayer.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

namespace {

class ResourceSoundPlayerTest : public testing::Test {
protected:
    TScopedEnv FDriver{"SDL_AUDIODRIVER", "dummy"};
};

TEST_F(ResourceSoundPlayerTest, EveryStoredSoundPlaysByItsNameInAnyCase) {
    TResourceSoundPlayer player;
    for (const char* name : {"WRONGKEY", "CORRECTKEY", "APPLAUSE", "BUBBLE", "EXPLOSION",
                             "EXPLOSION2", "GOOD_EXPLOSION", "THUNDER"}) {
        player.Play(QString::fromLatin1(name).toLower());
        EXPECT_EQ(player.Playing(), QLatin1String(name));
    }
}

TEST_F(ResourceSoundPlayerTest, ANewSoundCutsTheOneStillPlaying) {
    TResourceSoundPlayer player;
    player.Play(QStringLiteral("APPLAUSE"));
    ASSERT_EQ(player.Playing(), QStringLiteral("APPLAUSE"));
    player.Play(QStringLiteral("WRONGKEY"));
    EXPECT_EQ(player.Playing(), QStringLiteral("WRONGKEY"));
    player.Play(QStringLiteral("WRONGKEY")); // the same one starts over
    EXPECT_EQ(player.Playing(), QStringLiteral("WRONGKEY"));
    player.Stop();
    EXPECT_TRUE(player.Playing().isEmpty());
}

TEST_F(ResourceSoundPlayerTest, AnUnknownNamePlaysNothing) {
    TResourceSoundPlayer player;
    player.Play(QStringLiteral("NO_SUCH_SOUND"));
    EXPECT_TRUE(player.Playing().isEmpty());
    player.Play(QString());
    EXPECT_TRUE(player.Playing().isEmpty());
}

TEST_F(ResourceSoundPlayerTest, WithoutASoundDeviceNothingIsHeard) {
    TScopedEnv noDevice("SDL_AUDIODRIVER", "no-such-driver");
    TResourceSoundPlayer player;
    player.Play(QStringLiteral("CORRECTKEY"));
    EXPECT_TRUE(player.Playing().isEmpty());
    player.Stop();
}

} // namespace
