#include "platform/SoundDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

// Samples per mixing buffer: about 23 ms, short enough for key feedback.
constexpr int BufferSamples = 1024;

} // namespace

TSoundDevice::TSoundDevice() {
    // SDL's audio brings up its event subsystem, which would otherwise take
    // over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;

    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) > 0) {
        // Already open: join with the very format it runs in, which only
        // counts the device up instead of reopening it.
        FOpen = Mix_OpenAudio(rate, format, channels, BufferSamples) == 0;
    } else {
        Mix_Init(MIX_INIT_MP3);
        FOpen = Mix_OpenAudio(MixingRate, MIX_DEFAULT_FORMAT, 2, BufferSamples) == 0;
        if (FOpen) {
            Mix_AllocateChannels(EffectChannels + 1);
            Mix_ReserveChannels(ResourceChannel + 1);
        } else {
            Mix_Quit();
        }
    }
    if (!FOpen)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

TSoundDevice::~TSoundDevice() {
    if (!FOpen)
        return;
    Mix_CloseAudio();
    if (Mix_QuerySpec(nullptr, nullptr, nullptr) == 0)
        Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
