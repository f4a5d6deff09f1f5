#pragma once

#include <map>
#include <memory>
#include <QString>

struct Mix_Chunk;
class TSoundDevice;

// Plays the short WAVE sounds stored in the program ("WRONGKEY",
// "CORRECTKEY", "APPLAUSE", "BUBBLE", "EXPLOSION", "EXPLOSION2",
// "GOOD_EXPLOSION", "THUNDER"), one at a time and without waiting: starting a
// sound cuts the one still playing. Names ignore letter case.
//
// The sounds play on the mixer channel kept for them (see TSoundDevice), so
// the game's effects and music are never cut; the player opens the sound
// device itself when the game's sound list has not. No device, an unknown
// name or a broken sound: nothing is heard.
//
// The device is opened on the first `Play`, so a window that never plays a
// sound never touches it. Used only from the window thread.
class TResourceSoundPlayer {
public:
    TResourceSoundPlayer();
    ~TResourceSoundPlayer();
    TResourceSoundPlayer(const TResourceSoundPlayer&) = delete;
    TResourceSoundPlayer& operator=(const TResourceSoundPlayer&) = delete;

    void Play(const QString& name);
    void Stop();

    // The name (upper case) of the sound now playing; empty when silent.
    QString Playing() const;

    // The Qt resource that holds the sound `name`.
    static QString ResourcePath(const QString& name);

private:
    struct TChunkFree {
        void operator()(Mix_Chunk* chunk) const;
    };
    using TChunk = std::unique_ptr<Mix_Chunk, TChunkFree>;

    Mix_Chunk* Sound(const QString& key);

    // Declared first so that it is released after the samples.
    std::unique_ptr<TSoundDevice> FDevice;
    bool FDeviceTried = false;
    // Decoded sounds by upper-case name; a null entry marks one that failed.
    std::map<QString, TChunk> FSounds;
};
