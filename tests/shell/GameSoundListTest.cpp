#include "shell/GameSoundList.h"

#include "platform/ResourceSoundPlayer.h"
#include "platform/SoundDevice.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <SDL_mixer.h>

namespace {

// A program folder of its own for every test, played through SDL's dummy
// driver, which consumes sound in real time like a sound card.
class GameSoundListTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Encoded = new QTemporaryDir;
        ASSERT_TRUE(WriteToneMp3(Encoded->filePath(QStringLiteral("short.mp3")), 0.3));
        ASSERT_TRUE(WriteToneMp3(Encoded->filePath(QStringLiteral("long.mp3")), 30.0));
    }
    static void TearDownTestSuite() {
        delete Encoded;
        Encoded = nullptr;
    }

    QString Base() const { return FBase.path() + QLatin1Char('/'); }
    void AddSong(const QString& name, const char* kind = "long") {
        QDir().mkpath(Base() + FSoundsFolder);
        ASSERT_TRUE(QFile::copy(Encoded->filePath(QLatin1String(kind) + QStringLiteral(".mp3")),
                                Base() + FSoundsFolder + QLatin1Char('/') + name));
    }
    static bool WaitUntilSilent(const TGameSoundList& sounds) {
        QDeadlineTimer deadline(20000);
        while (sounds.IsMusicPlaying() && !deadline.hasExpired())
            QThread::msleep(10);
        return !sounds.IsMusicPlaying();
    }

    static inline QTemporaryDir* Encoded = nullptr;
    TScopedEnv FDriver{"SDL_AUDIODRIVER", "dummy"};
    QTemporaryDir FBase;
    QString FSoundsFolder = QStringLiteral("Sounds");
};

TEST_F(GameSoundListTest, SongsAreTheGameMp3sOfTheSoundsFolderInNameOrder) {
    FSoundsFolder = QStringLiteral("sounds"); // the folder name's case does not matter
    AddSong(QStringLiteral("[game]b.mp3"));
    AddSong(QStringLiteral("[GAME]a.MP3"));
    AddSong(QStringLiteral("[game]d.mp3"));
    AddSong(QStringLiteral("menu.mp3"));
    AddSong(QStringLiteral("[game]c.ogg"));
    AddSong(QStringLiteral("x[game]e.mp3"));
    QDir().mkpath(Base() + QStringLiteral("sounds/[game]folder.mp3"));

    TGameSoundList sounds(FBase.path());
    ASSERT_EQ(sounds.SongCount(), 3);
    EXPECT_EQ(sounds.SongPath(0), Base() + QStringLiteral("sounds/[GAME]a.MP3"));
    EXPECT_EQ(sounds.SongPath(1), Base() + QStringLiteral("sounds/[game]b.mp3"));
    EXPECT_EQ(sounds.SongPath(2), Base() + QStringLiteral("sounds/[game]d.mp3"));
    EXPECT_EQ(sounds.CurrIndex(), -1);
}

TEST_F(GameSoundListTest, EffectsLoadFromTheProgramFolderAndPlayOnFreeChannels) {
    ASSERT_TRUE(WriteToneWave(Base() + QStringLiteral("BUTTON_CLICK.WAV"), 3.0));
    ASSERT_TRUE(WriteToneWave(Base() + QStringLiteral("thunder.wav"), 3.0));
    ASSERT_TRUE(WriteGarbage(Base() + QStringLiteral("Explosion.wav")));

    TGameSoundList sounds(FBase.path());
    ASSERT_TRUE(sounds.IsDeviceOpen());
    EXPECT_TRUE(sounds.ClickSnd);
    EXPECT_TRUE(sounds.ThunderSnd);
    EXPECT_FALSE(sounds.ExplSnd); // unreadable
    EXPECT_FALSE(sounds.MouseOverSnd);
    EXPECT_FALSE(sounds.ExplosionSnd);
    EXPECT_FALSE(sounds.BubbleSnd);
    EXPECT_FALSE(sounds.GoodSnd);
    EXPECT_FALSE(sounds.WrongSnd);

    // Every effect starts on a channel of its own; empty ones play nothing.
    sounds.Play(sounds.ClickSnd);
    sounds.Play(sounds.ClickSnd);
    sounds.Play(sounds.ThunderSnd);
    sounds.Play(sounds.ExplSnd);
    sounds.Play(sounds.WrongSnd);
    EXPECT_EQ(Mix_Playing(-1), 3);
    // ... never on the channel kept for the resource sounds.
    EXPECT_EQ(Mix_Playing(TSoundDevice::ResourceChannel), 0);
}

TEST_F(GameSoundListTest, WithoutSongsNextAndStopDoNothing) {
    TGameSoundList sounds(FBase.path()); // not even a "Sounds" folder
    EXPECT_EQ(sounds.SongCount(), 0);
    sounds.Next();
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), -1);
    EXPECT_FALSE(sounds.IsMusicPlaying());
    sounds.Stop();
    sounds.Init();
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), -1);
}

TEST_F(GameSoundListTest, NextReplaysTheOnlySongOnceItHasFinished) {
    AddSong(QStringLiteral("[game]only.mp3"), "short");
    TGameSoundList sounds(FBase.path());
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_TRUE(sounds.IsMusicPlaying());

    ASSERT_TRUE(WaitUntilSilent(sounds));
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_TRUE(sounds.IsMusicPlaying());
}

TEST_F(GameSoundListTest, NextWhilePlayingChangesNothingAndAdvancesAfterStop) {
    AddSong(QStringLiteral("[game]1.mp3"));
    AddSong(QStringLiteral("[game]2.mp3"));
    TGameSoundList sounds(FBase.path());

    sounds.Next();
    sounds.Next();
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_TRUE(sounds.IsMusicPlaying());

    sounds.Stop();
    EXPECT_FALSE(sounds.IsMusicPlaying());
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 1);
    EXPECT_TRUE(sounds.IsMusicPlaying());

    sounds.Stop();
    sounds.Next(); // past the last song: back to the first
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_TRUE(sounds.IsMusicPlaying());
}

TEST_F(GameSoundListTest, InitStartsThePlaylistAgainFromTheFirstSong) {
    AddSong(QStringLiteral("[game]1.mp3"));
    AddSong(QStringLiteral("[game]2.mp3"));
    TGameSoundList sounds(FBase.path());
    sounds.Next();
    sounds.Stop();
    sounds.Next();
    ASSERT_EQ(sounds.CurrIndex(), 1);

    sounds.Init();
    EXPECT_EQ(sounds.CurrIndex(), -1);
    sounds.Next(); // the song still playing does not hold back a fresh playlist
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_TRUE(sounds.IsMusicPlaying());
}

TEST_F(GameSoundListTest, ABrokenSongIsPassedOverSilently) {
    QDir().mkpath(Base() + QStringLiteral("Sounds"));
    ASSERT_TRUE(WriteGarbage(Base() + QStringLiteral("Sounds/[game]1 broken.mp3")));
    AddSong(QStringLiteral("[game]2 good.mp3"));
    TGameSoundList sounds(FBase.path());

    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_FALSE(sounds.IsMusicPlaying());
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 1);
    EXPECT_TRUE(sounds.IsMusicPlaying());
}

TEST_F(GameSoundListTest, SongsAreReadOnlyWhenTheyAreFirstPlayed) {
    AddSong(QStringLiteral("[game]1.mp3"));
    TGameSoundList sounds(FBase.path());
    // Decoded at start-up, the song would still play after its file is gone.
    ASSERT_TRUE(QFile::remove(Base() + QStringLiteral("Sounds/[game]1.mp3")));
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_FALSE(sounds.IsMusicPlaying());
}

TEST_F(GameSoundListTest, WithoutASoundDeviceEverythingIsSilent) {
    TScopedEnv noDevice("SDL_AUDIODRIVER", "no-such-driver");
    ASSERT_TRUE(WriteToneWave(Base() + QStringLiteral("button_click.wav"), 0.1));
    AddSong(QStringLiteral("[game]1.mp3"));

    TGameSoundList sounds(FBase.path());
    EXPECT_FALSE(sounds.IsDeviceOpen());
    EXPECT_FALSE(sounds.ClickSnd);
    EXPECT_EQ(sounds.SongCount(), 1);
    sounds.Play(sounds.ClickSnd);
    sounds.Next();
    EXPECT_EQ(sounds.CurrIndex(), 0);
    EXPECT_FALSE(sounds.IsMusicPlaying());
    sounds.Stop();

    TResourceSoundPlayer player;
    player.Play(QStringLiteral("WRONGKEY"));
    EXPECT_TRUE(player.Playing().isEmpty());
}

// The resource sound player shares the device with the sound list.
TEST_F(GameSoundListTest, ResourceSoundsAndEffectsNeverCutEachOther) {
    ASSERT_TRUE(WriteToneWave(Base() + QStringLiteral("thunder.wav"), 5.0));
    TGameSoundList sounds(FBase.path());
    for (int i = 0; i < TSoundDevice::EffectChannels; ++i)
        sounds.Play(sounds.ThunderSnd);
    ASSERT_EQ(Mix_Playing(-1), TSoundDevice::EffectChannels);

    TResourceSoundPlayer player;
    player.Play(QStringLiteral("APPLAUSE"));
    EXPECT_EQ(player.Playing(), QStringLiteral("APPLAUSE"));
    EXPECT_EQ(Mix_Playing(-1), TSoundDevice::EffectChannels + 1);

    sounds.Play(sounds.ThunderSnd); // every effect channel busy: nothing to cut
    EXPECT_EQ(player.Playing(), QStringLiteral("APPLAUSE"));
}

TEST_F(GameSoundListTest, APlayerClosingDoesNotCloseTheDeviceForTheSoundList) {
    AddSong(QStringLiteral("[game]1.mp3"));
    ASSERT_TRUE(WriteToneWave(Base() + QStringLiteral("bubble.wav"), 0.2));
    auto early = std::make_unique<TResourceSoundPlayer>();
    early->Play(QStringLiteral("THUNDER")); // opens the device before the sound list
    {
        TGameSoundList sounds(FBase.path());
        ASSERT_TRUE(sounds.IsDeviceOpen());
        EXPECT_EQ(early->Playing(), QStringLiteral("THUNDER"));
        sounds.Next();

        early.reset();
        TResourceSoundPlayer late;
        late.Play(QStringLiteral("BUBBLE"));
        EXPECT_EQ(late.Playing(), QStringLiteral("BUBBLE"));
        EXPECT_TRUE(sounds.IsMusicPlaying());
        sounds.Play(sounds.BubbleSnd);
        EXPECT_EQ(Mix_Playing(-1), 2);
    }
    // The last holder closed the library.
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
}

} // namespace
