#include "platform/ResourceSoundPlayer.h"

#include "platform/SoundDevice.h"

#include <QFile>
#include <SDL_mixer.h>

void TResourceSoundPlayer::TChunkFree::operator()(Mix_Chunk* chunk) const {
    Mix_FreeChunk(chunk);
}

TResourceSoundPlayer::TResourceSoundPlayer() = default;

TResourceSoundPlayer::~TResourceSoundPlayer() {
    Stop();
    FSounds.clear();
    FDevice.reset();
}

QString TResourceSoundPlayer::ResourcePath(const QString& name) {
    return QStringLiteral(":/platform/resources/%1.wav").arg(name.toUpper());
}

Mix_Chunk* TResourceSoundPlayer::Sound(const QString& key) {
    const auto found = FSounds.find(key);
    if (found != FSounds.end())
        return found->second.get();

    Mix_Chunk* chunk = nullptr;
    QFile file(ResourcePath(key));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        // The chunk gets its own converted copy of the samples.
        chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.constData(), int(bytes.size())), 1);
    }
    FSounds.emplace(key, TChunk(chunk));
    return chunk;
}

void TResourceSoundPlayer::Play(const QString& name) {
    if (!FDeviceTried) {
        FDeviceTried = true;
        FDevice = std::make_unique<TSoundDevice>();
    }
    if (!FDevice->IsOpen())
        return;
    Mix_Chunk* chunk = Sound(name.toUpper());
    if (!chunk)
        return;
    // Starting on a given channel replaces whatever that channel plays.
    Mix_PlayChannel(TSoundDevice::ResourceChannel, chunk, 0);
}

void TResourceSoundPlayer::Stop() {
    if (FDevice && FDevice->IsOpen())
        Mix_HaltChannel(TSoundDevice::ResourceChannel);
}

QString TResourceSoundPlayer::Playing() const {
    if (!FDevice || !FDevice->IsOpen() || !Mix_Playing(TSoundDevice::ResourceChannel))
        return {};
    const Mix_Chunk* current = Mix_GetChunk(TSoundDevice::ResourceChannel);
    for (const auto& [key, chunk] : FSounds) {
        if (chunk.get() == current)
            return key;
    }
    return {};
}
