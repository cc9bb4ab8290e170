// SDL audio device feeding the mixer, and its recovery when devices come and go; see
// audio_device.h.
#include "runtime/audio_device.h"
#include "runtime/context.h"
#include "runtime/mixer.h"
#include <cstring>

namespace {

// Runs on SDL's audio thread, with the runtime's mixer.
void Fill(void* mixer, Uint8* stream, int bytes) {
    std::memset(stream, 0, static_cast<size_t>(bytes));
    MixAudio(*static_cast<Mixer*>(mixer), reinterpret_cast<int16_t*>(stream),
             bytes / (2 * MIX_CHANNELS));
}

// The default output device, started; 0 when none can be opened now.
SDL_AudioDeviceID OpenDefault() {
    SDL_AudioSpec want{};
    want.freq = MIX_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = MIX_CHANNELS;
    // 512 frames (11.6 ms): an effect starts within one game frame of being played.
    want.samples = 512;
    want.callback = Fill;
    want.userdata = &rt().mixer;
    SDL_AudioSpec got{};
    // No changes allowed: SDL converts if the hardware wants another format.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
    if (device != 0) SDL_PauseAudioDevice(device, 0);
    return device;
}

void CloseDevice() {
    Platform& p = rt().platform;
    if (p.audio != 0) SDL_CloseAudioDevice(p.audio);
    p.audio = 0;
}

} // namespace

bool OpenAudio() {
    Platform& p = rt().platform;
    if (!p.audioWanted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        p.audioWanted = true;
    }
    if (p.audio == 0) p.audio = OpenDefault();
    return p.audio != 0;
}

void CloseAudio() {
    Platform& p = rt().platform;
    if (!p.audioWanted) return;
    CloseDevice();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    p.audioWanted = false;
}

bool AudioPlaying() {
    const Platform& p = rt().platform;
    return p.audio != 0 && SDL_GetAudioDeviceStatus(p.audio) == SDL_AUDIO_PLAYING;
}

void AudioDeviceEvent(const SDL_Event& event) {
    Platform& p = rt().platform;
    if (!p.audioWanted || event.adevice.iscapture) return;
    if (event.type == SDL_AUDIODEVICEREMOVED) {
        // Only the loss of the device being played matters. The sounds keep their places in
        // the mixer; only the output is gone.
        if (event.adevice.which != p.audio) return;
        CloseDevice();
    } else if (event.type != SDL_AUDIODEVICEADDED || p.audio != 0) {
        return;
    }
    // The system's default may already be another device (speakers once headphones are
    // out); else the next device added is tried.
    p.audio = OpenDefault();
}
