// The sound output: an SDL audio device at 44100 Hz, 16-bit stereo, whose callback runs the
// mixer. Without a device the game stays silent and everything else works the same.
#pragma once

// Opens and starts the device; false (silence) when there is none.
bool OpenAudio();
void CloseAudio();
