#pragma once
// The sound call the game was written against: play a .wav file either without
// waiting (a later sound cuts it off) or to its end, blocking the caller. Sound
// goes out through ALSA on the device named by MIRVO_SOUND_DEVICE ("default"
// when unset); with no device or server the call returns at once, silently.
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace sound {

// Bits of the flags argument.
enum Flag : int {
    Async = 1,     // return at once; the sound plays on a worker thread
    NoDefault = 2, // a missing or unplayable file is silent instead of beeping
};

// The longest a sound plays: the game's own last under 2 s, and a blocking play
// holds the table, so a longer file is cut off here rather than at its end.
constexpr long kMaxPlayMs = 5000;

// Plays the file at `path`, at most its first kMaxPlayMs; one sound plays at a
// time, so starting one stops a sound still playing. Without Async the call
// returns when the sound has ended and processes no events meanwhile. A missing
// or unplayable file beeps unless NoDefault is set. Returns true when the file
// was handed to the player.
bool PlaySound(const QString& path, int flags);

// Linear PCM samples of a RIFF/WAVE file, as stored (little-endian, interleaved).
struct Wave {
    int channels = 0;        // 1 or 2
    int sampleRate = 0;      // frames per second
    int bitsPerSample = 0;   // 8 (unsigned) or 16 (signed)
    QByteArray samples;      // whole frames only

    int FrameBytes() const { return channels * bitsPerSample / 8; }
    long Frames() const { return samples.size() / FrameBytes(); }
    long DurationMs() const { return static_cast<long>(Frames() * 1000LL / sampleRate); }
};

// Reads a RIFF/WAVE file's PCM samples; nothing when the bytes are not a wave
// file this player understands (other encodings, more channels, damaged headers).
std::optional<Wave> ParseWave(const QByteArray& bytes);

// Where the samples go. The worker opens one output per sound and drops it when
// the sound ends or is cut off. Tests put their own in place of the ALSA one.
class Output {
public:
    virtual ~Output() = default;
    // Prepares to play frames in the wave's format; false when nothing can play them.
    virtual bool Open(const Wave& wave) = 0;
    // Takes up to `frames` frames, waiting at most `waitMs` for room; returns
    // the number taken (0 when there was no room yet) or -1 when output failed.
    virtual long Write(const char* data, long frames, int waitMs) = 0;
    // Called once everything is written: milliseconds still to be heard.
    virtual long RemainingMs() = 0;
    // Discards what has not been heard yet.
    virtual void Stop() = 0;
};

using OutputFactory = std::function<std::unique_ptr<Output>()>;
// Replaces the ALSA output (nullptr restores it).
void SetOutputFactory(OutputFactory factory);
// Replaces the beep played for a missing file (nullptr restores QApplication::beep).
void SetBeep(std::function<void()> beep);

} // namespace sound
