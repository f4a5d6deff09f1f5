#pragma once

#include <memory>
#include <QString>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;
class TSoundDevice;

// Frees an effect sample (SDL_mixer chunk).
struct TSoundSampleFree {
    void operator()(Mix_Chunk* chunk) const;
};

// An effect sample; empty when its file was missing or unreadable, or when
// there is no sound device. Playing an empty sample does nothing.
using TSoundSample = std::unique_ptr<Mix_Chunk, TSoundSampleFree>;

// The program's sound effects and background music: eight short effects that
// screens play on any free mixing channel, and a playlist of the songs
// "[game]*.mp3" in the "Sounds" folder that plays on the music channel.
//
// There is one instance, `GameSounds`, from start-up to the end of the
// program. Without a sound device, or with missing or broken files, every
// operation still works and nothing is heard.
//
// Used only from the window thread.
class TGameSoundList {
public:
    // Opens the sound device and collects the song list, then loads the
    // effects from `baseDir` (the program folder). Songs are decoded only
    // when they are first played, so start-up stays fast.
    explicit TGameSoundList(const QString& baseDir);
    // Stops every channel and the music, frees the songs, then the effects,
    // and closes the sound library last.
    ~TGameSoundList();
    TGameSoundList(const TGameSoundList&) = delete;
    TGameSoundList& operator=(const TGameSoundList&) = delete;

    // Restarts the playlist: the next `Next` plays the first song.
    void Init();
    // Starts the next song when none is playing (wrapping round after the
    // last); does nothing while the song started since `Init` still plays.
    void Next();
    // Stops the music channel.
    void Stop();

    // Plays an effect on any free channel; an empty sample plays nothing.
    void Play(const TSoundSample& effect) const;

    bool IsDeviceOpen() const;
    bool IsMusicPlaying() const;
    int CurrIndex() const { return FCurrIndex; }
    int SongCount() const { return int(FList.size()); }
    const QString& SongPath(int index) const { return FList.at(size_t(index)).Path; }

private:
    struct TMusicFree {
        void operator()(_Mix_Music* music) const;
    };
    struct TSong {
        QString Path;
        std::unique_ptr<_Mix_Music, TMusicFree> Music;
        bool LoadTried = false;
    };

    void LoadSongList();
    TSoundSample LoadEffect(const QString& fileName) const;
    _Mix_Music* SongMusic(TSong& song) const;

    // Declared first so that it is released last.
    std::unique_ptr<TSoundDevice> FDevice;

    int FCurrIndex = -1;
    std::vector<TSong> FList;
    _Mix_Music* FCurrSong = nullptr;
    QString FBaseDir;

public:
    TSoundSample ClickSnd;     // "button_click.wav"
    TSoundSample MouseOverSnd; // "RunAway.wav"
    TSoundSample ExplosionSnd; // "Explosion2.wav"
    TSoundSample ThunderSnd;   // "thunder.wav"
    TSoundSample BubbleSnd;    // "bubble.wav"
    TSoundSample GoodSnd;      // "Good_Explosion.wav"
    TSoundSample ExplSnd;      // "Explosion.wav"
    TSoundSample WrongSnd;     // "wrong_key.wav"
};

// The one sound list of the program: set at start-up, before any window is
// created, and cleared when the program ends. Null in programs (tests) that
// never create it, so callers outside the start-up code check it first.
extern TGameSoundList* GameSounds;
