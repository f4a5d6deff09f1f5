#include "shell/GameSoundList.h"

#include "app/Folders.h"
#include "app/MediaPath.h"
#include "platform/SoundDevice.h"

#include <QDir>
#include <QFile>
#include <SDL_mixer.h>

TGameSoundList* GameSounds = nullptr;

namespace {

bool IsGameSong(const QString& fileName) {
    return fileName.startsWith(QLatin1String("[game]"), Qt::CaseInsensitive) &&
           fileName.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
}

} // namespace

void TSoundSampleFree::operator()(Mix_Chunk* chunk) const {
    Mix_FreeChunk(chunk);
}

void TGameSoundList::TMusicFree::operator()(_Mix_Music* music) const {
    Mix_FreeMusic(music);
}

TGameSoundList::TGameSoundList(const QString& baseDir)
    : FDevice(std::make_unique<TSoundDevice>())
    , FBaseDir(WithTrailingSeparator(baseDir)) {
    LoadSongList();
    ClickSnd = LoadEffect(QStringLiteral("button_click.wav"));
    MouseOverSnd = LoadEffect(QStringLiteral("RunAway.wav"));
    ExplosionSnd = LoadEffect(QStringLiteral("Explosion2.wav"));
    ThunderSnd = LoadEffect(QStringLiteral("thunder.wav"));
    BubbleSnd = LoadEffect(QStringLiteral("bubble.wav"));
    GoodSnd = LoadEffect(QStringLiteral("Good_Explosion.wav"));
    ExplSnd = LoadEffect(QStringLiteral("Explosion.wav"));
    WrongSnd = LoadEffect(QStringLiteral("wrong_key.wav"));
}

TGameSoundList::~TGameSoundList() {
    if (FDevice->IsOpen()) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
    }
    FCurrSong = nullptr;
    FList.clear();
    ClickSnd.reset();
    MouseOverSnd.reset();
    ExplosionSnd.reset();
    ThunderSnd.reset();
    BubbleSnd.reset();
    GoodSnd.reset();
    ExplSnd.reset();
    WrongSnd.reset();
    FDevice.reset();
}

void TGameSoundList::LoadSongList() {
    const QString folder = PathIgnoringCase(FBaseDir, QStringLiteral("Sounds")) + QLatin1Char('/');
    // Name order, as the original platform's directory listing returns it;
    // a raw listing here would follow the file system's hashing instead.
    const QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        if (IsGameSong(name))
            FList.push_back(TSong{folder + name, nullptr, false});
    }
}

TSoundSample TGameSoundList::LoadEffect(const QString& fileName) const {
    if (!FDevice->IsOpen())
        return nullptr;
    const QString path = PathIgnoringCase(FBaseDir, fileName);
    return TSoundSample(Mix_LoadWAV(QFile::encodeName(path).constData()));
}

_Mix_Music* TGameSoundList::SongMusic(TSong& song) const {
    if (!song.LoadTried && FDevice->IsOpen()) {
        song.LoadTried = true;
        song.Music.reset(Mix_LoadMUS(QFile::encodeName(song.Path).constData()));
    }
    return song.Music.get();
}

void TGameSoundList::Init() {
    FCurrIndex = -1;
    FCurrSong = nullptr;
}

void TGameSoundList::Next() {
    if (FList.empty())
        return;
    if (FCurrIndex != -1 && IsMusicPlaying())
        return;
    FCurrIndex = FCurrIndex + 1 < int(FList.size()) ? FCurrIndex + 1 : 0;
    FCurrSong = SongMusic(FList[size_t(FCurrIndex)]);
    if (FCurrSong)
        Mix_PlayMusic(FCurrSong, 0);
}

void TGameSoundList::Stop() {
    if (FDevice->IsOpen())
        Mix_HaltMusic();
}

void TGameSoundList::Play(const TSoundSample& effect) const {
    if (effect && FDevice->IsOpen())
        Mix_PlayChannel(-1, effect.get(), 0);
}

bool TGameSoundList::IsDeviceOpen() const {
    return FDevice->IsOpen();
}

bool TGameSoundList::IsMusicPlaying() const {
    return FDevice->IsOpen() && Mix_PlayingMusic();
}
