// Sound: Ogg Vorbis files decoded into memory and played on channels mixed in the audio
// device's callback. Without an audio device every call still works and nothing is heard.
#pragma once
#include <memory>
#include <string>

struct TSoundData;
struct TChannelData;
using TSound = std::shared_ptr<TSoundData>;
using TChannel = std::shared_ptr<TChannelData>;

// Decodes the file's first second and leaves the rest to a background thread, so a long track
// returns at once and can play while it decodes. Null when the file is missing, not a regular
// file, not Ogg Vorbis, outside 8000 to 192000 Hz, longer than an hour, or damaged within
// that first second: the one-line reason, naming the file, goes to error when given and to
// stderr otherwise. flags 0 = play once.
TSound LoadSound(const std::string& path, int flags, std::string* error = nullptr);
// A new idle channel.
TChannel AllocChannel();
// Prepares the sound on the channel from its start, paused; returns the channel.
TChannel CueSound(const TSound& sound, const TChannel& channel);
void SetChannelVolume(const TChannel& channel, float volume);
// Plays the channel's sound faster and higher (above 1) or slower and lower, 0.25 to 4;
// a new cue starts at 1.
void SetChannelPitch(const TChannel& channel, float pitch);
void ResumeChannel(const TChannel& channel);
// Stops; the sound must be cued again to play.
void StopChannel(const TChannel& channel);
// 0 once the sound has played to its end or was stopped.
int ChannelPlaying(const TChannel& channel);
// Length of the whole sound in milliseconds, known before it is all decoded (0 for null).
int SoundLength(const TSound& sound);
