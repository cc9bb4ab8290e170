// SDL audio device feeding the mixer; see audio_device.h.
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

} // namespace

bool OpenAudio() {
    Platform& p = rt().platform;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = MIX_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = MIX_CHANNELS;
    want.samples = 1024;
    want.callback = Fill;
    want.userdata = &rt().mixer;
    SDL_AudioSpec got{};
    // No changes allowed: SDL converts if the hardware wants another format.
    p.audio = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
    if (p.audio == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(p.audio, 0);
    return true;
}

void CloseAudio() {
    Platform& p = rt().platform;
    if (p.audio == 0) return;
    SDL_CloseAudioDevice(p.audio);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    p.audio = 0;
}
