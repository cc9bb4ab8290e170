// The sound output: an SDL audio device at 44100 Hz, 16-bit stereo, whose callback runs the
// mixer. Without a device the game stays silent and everything else works the same. A device
// that goes away (headphones unplugged) is closed and the game plays on silently; the default
// device is opened again at once when there is one, else as soon as SDL reports a new one.
#pragma once

union SDL_Event;

// Opens and starts the default device; false (silence) when there is none for now. A game
// that asked for sound keeps asking: a device that appears later is opened then.
bool OpenAudio();
void CloseAudio();
// True while a device is open and playing the mixer.
bool AudioPlaying();
// Handles SDL's audio device events (added, removed); called by the event pump.
void AudioDeviceEvent(const SDL_Event& event);
