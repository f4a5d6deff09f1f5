#pragma once

// One share of the process's audio output.
//
// SDL_mixer drives a single output device per process, and reopening it with
// a different format closes it for everybody. The game's sound list and the
// resource sound player each hold a TSoundDevice: the first holder opens the
// device, later holders join it with exactly the format it was opened with,
// and the last one to go closes the library.
//
// The mixer has 33 channels: channel 0 is kept for the resource sounds, so
// the 32 channels 1 to 32 are the free channels that effects are mixed on and
// a resource sound never cuts an effect (nor an effect a resource sound).
//
// A device that cannot be opened (no sound card, no server, a busy or broken
// device) leaves the share closed; callers then play nothing.
class TSoundDevice {
public:
    // 44100 Hz, 16-bit stereo: the format every medium of the program is made in.
    static constexpr int MixingRate = 44100;
    // The channels effects are started on ("any free channel").
    static constexpr int EffectChannels = 32;
    // The channel kept for the resource sound player.
    static constexpr int ResourceChannel = 0;

    TSoundDevice();
    ~TSoundDevice();
    TSoundDevice(const TSoundDevice&) = delete;
    TSoundDevice& operator=(const TSoundDevice&) = delete;

    bool IsOpen() const { return FOpen; }

private:
    bool FOpen = false;
};
