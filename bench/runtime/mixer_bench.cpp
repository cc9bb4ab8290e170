// What the audio callback costs per device buffer (512 frames, 11.6 ms of sound): the music
// alone, and the music with the busiest mix of effects a match makes (three thuds at other
// pitches, the goal chord and a firework pop). The effects' share of the callback's time is
// the difference against the buffer's duration.
#include "runtime/mixer.h"
#include "runtime/runtime.h"
#include "runtime/sound.h"
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

constexpr int BUFFER = 512;

std::string media(const char* name) {
    return std::string(VANTORIX_MEDIA_DIR) + "/" + name;
}

// Plays the sound on a channel from its start, looping it whenever it has ended.
struct Voice {
    TSound sound;
    TChannel channel = AllocChannel();
    float pitch = 1;
    void keepplaying() {
        if (ChannelPlaying(channel)) return;
        CueSound(sound, channel);
        SetChannelVolume(channel, 0.5f);
        SetChannelPitch(channel, pitch);
        ResumeChannel(channel);
    }
};

void mixwith(benchmark::State& state, std::vector<Voice>& voices) {
    std::vector<int16_t> buffer(BUFFER * MIX_CHANNELS);
    for (auto _ : state) {
        state.PauseTiming();
        for (Voice& v : voices) v.keepplaying();
        std::fill(buffer.begin(), buffer.end(), 0);
        state.ResumeTiming();
        MixAudio(buffer.data(), BUFFER);
        benchmark::DoNotOptimize(buffer.data());
    }
    for (Voice& v : voices) StopChannel(v.channel);
    // Time per buffer over the buffer's duration, in per cent.
    state.counters["buffer%"] = benchmark::Counter(BUFFER / (100.0 * MIX_RATE),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void BM_CallbackMusicOnly(benchmark::State& state) {
    std::vector<Voice> voices(1);
    voices[0].sound = LoadSound(media("tutto.ogg"), 0);
    mixwith(state, voices);
}
BENCHMARK(BM_CallbackMusicOnly)->Unit(benchmark::kMicrosecond);

void BM_CallbackMusicAndEffects(benchmark::State& state) {
    std::vector<Voice> voices(6);
    voices[0].sound = LoadSound(media("tutto.ogg"), 0);
    const TSound thud = LoadSound(media("thud.ogg"), 0);
    const float pitches[3] = {0.7f, 1.1f, 1.6f};
    for (int i = 0; i < 3; ++i) voices[1 + i].sound = thud, voices[1 + i].pitch = pitches[i];
    voices[4].sound = LoadSound(media("goal.ogg"), 0);
    voices[5].sound = LoadSound(media("pop.ogg"), 0);
    mixwith(state, voices);
}
BENCHMARK(BM_CallbackMusicAndEffects)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    RuntimeOptions options;
    options.video = VideoMode::None;
    options.virtualClock = true;
    options.sound = false; // the benchmark is the callback: no device calls it meanwhile
    if (!InitRuntime(options)) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ShutdownRuntime();
    return 0;
}
