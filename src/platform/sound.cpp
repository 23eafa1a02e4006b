#include "platform/sound.h"

#include "platform/files/files.h"

#include <QApplication>
#include <QtEndian>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace sound {
namespace {

// A sound effect lasts seconds: 8 MB is 47 s of CD-quality stereo.
constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;
constexpr int kStepMs = 20;        // how long the worker goes without checking for a newer sound
constexpr long kSyncGraceMs = 2000; // a blocking play gives up this long after the sound's end

// ---- RIFF/WAVE -------------------------------------------------------------

quint32 U32(const QByteArray& b, qint64 at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 U16(const QByteArray& b, qint64 at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

bool ReadFormat(const QByteArray& b, qint64 at, qint64 size, Wave& wave)
{
    constexpr quint16 kPcm = 1;
    if (size < 16 || U16(b, at) != kPcm)
        return false;
    wave.channels = U16(b, at + 2);
    const quint32 rate = U32(b, at + 4);
    const quint16 blockAlign = U16(b, at + 12);
    wave.bitsPerSample = U16(b, at + 14);
    if (wave.channels < 1 || wave.channels > 2)
        return false;
    if (wave.bitsPerSample != 8 && wave.bitsPerSample != 16)
        return false;
    if (rate < 1000 || rate > 192000 || blockAlign != wave.FrameBytes())
        return false;
    wave.sampleRate = static_cast<int>(rate);
    return true;
}

// ---- ALSA ------------------------------------------------------------------

void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

class AlsaOutput final : public Output {
public:
    ~AlsaOutput() override
    {
        if (pcm_)
            snd_pcm_close(pcm_);
    }

    bool Open(const Wave& wave) override
    {
        const QByteArray device = qEnvironmentVariable("MIRVO_SOUND_DEVICE", QStringLiteral("default")).toLocal8Bit();
        // Non-blocking, so a busy device fails at once and writes never hang.
        if (snd_pcm_open(&pcm_, device.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            pcm_ = nullptr;
            return false;
        }
        const snd_pcm_format_t format = wave.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        constexpr unsigned kLatencyUs = 100000;
        if (snd_pcm_set_params(pcm_, format, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(wave.channels),
                               static_cast<unsigned>(wave.sampleRate), 1, kLatencyUs) < 0)
            return false;
        rate_ = wave.sampleRate;
        return true;
    }

    long Write(const char* data, long frames, int waitMs) override
    {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm_, data, static_cast<snd_pcm_uframes_t>(frames));
        if (n == -EAGAIN) {
            snd_pcm_wait(pcm_, waitMs);
            return 0;
        }
        if (n < 0)
            return snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0 ? -1 : 0;
        return n;
    }

    long RemainingMs() override
    {
        // A sound shorter than the buffer never reaches the start threshold.
        if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(pcm_);
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm_, &delay) < 0 || delay <= 0)
            return 0;
        return static_cast<long>(delay * 1000LL / rate_) + 1;
    }

    void Stop() override { snd_pcm_drop(pcm_); }

private:
    snd_pcm_t* pcm_ = nullptr;
    int rate_ = 1;
};

// ---- hooks -----------------------------------------------------------------

std::mutex g_hookMutex;
OutputFactory g_outputFactory;
std::function<void()> g_beep;

std::unique_ptr<Output> MakeOutput()
{
    std::lock_guard lock(g_hookMutex);
    if (g_outputFactory)
        return g_outputFactory();
    return std::make_unique<AlsaOutput>();
}

void Beep()
{
    std::function<void()> beep;
    {
        std::lock_guard lock(g_hookMutex);
        beep = g_beep;
    }
    if (beep)
        beep();
    else
        QApplication::beep();
}

// ---- the player --------------------------------------------------------------

// One worker thread plays one sound at a time. Each request gets a ticket; a
// newer ticket makes the worker drop the sound it is playing.
class Player {
public:
    static Player& Instance()
    {
        static Player player;
        return player;
    }

    ~Player()
    {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        if (worker_.joinable())
            worker_.join();
    }

    void PlayAsync(Wave wave) { Submit(std::move(wave)); }

    void PlayToEnd(Wave wave)
    {
        const auto limit = std::chrono::milliseconds(wave.DurationMs() + kSyncGraceMs);
        const std::uint64_t ticket = Submit(std::move(wave));
        std::unique_lock lock(mutex_);
        done_.wait_for(lock, limit, [&] { return finished_ >= ticket; });
    }

private:
    Player()
    {
        snd_lib_error_set_handler(SilentAlsaError);
        worker_ = std::thread([this] { Run(); });
    }

    std::uint64_t Submit(Wave wave)
    {
        std::uint64_t ticket;
        {
            std::lock_guard lock(mutex_);
            ticket = ++latest_;
            pending_ = std::move(wave);
        }
        wake_.notify_all();
        return ticket;
    }

    void Run()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return quit_ || pending_.has_value(); });
            if (quit_)
                return;
            const Wave wave = std::move(*pending_);
            pending_.reset();
            const std::uint64_t ticket = latest_;
            lock.unlock();
            PlayOne(wave, ticket);
            lock.lock();
            finished_ = ticket;
            done_.notify_all();
        }
    }

    bool Superseded(std::uint64_t ticket)
    {
        std::lock_guard lock(mutex_);
        return quit_ || latest_ != ticket;
    }

    // Sleeps up to ms, waking early when a newer sound arrives.
    void Pause(std::uint64_t ticket, long ms)
    {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return quit_ || latest_ != ticket; });
    }

    void PlayOne(const Wave& wave, std::uint64_t ticket)
    {
        const std::unique_ptr<Output> out = MakeOutput();
        if (!out || !out->Open(wave))
            return;
        const long total = wave.Frames();
        const long chunk = std::max<long>(1, wave.sampleRate * kStepMs / 1000);
        for (long done = 0; done < total;) {
            if (Superseded(ticket))
                return out->Stop();
            const long n = out->Write(wave.samples.constData() + done * wave.FrameBytes(),
                                      std::min(chunk, total - done), kStepMs);
            if (n < 0)
                return;
            done += n;
        }
        for (long left = out->RemainingMs(); left > 0; left = out->RemainingMs()) {
            if (Superseded(ticket))
                return out->Stop();
            Pause(ticket, std::min<long>(left, kStepMs));
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_; // a new request or quit, for the worker
    std::condition_variable done_; // a request finished, for a blocking caller
    std::optional<Wave> pending_;
    std::uint64_t latest_ = 0;
    std::uint64_t finished_ = 0;
    bool quit_ = false;
    std::thread worker_;
};

// The file's samples, up to kMaxPlayMs of them.
std::optional<Wave> LoadWave(const QString& path)
{
    const std::optional<QByteArray> bytes = files::ReadRegular(path, kMaxFileBytes);
    if (!bytes)
        return std::nullopt;
    std::optional<Wave> wave = ParseWave(*bytes);
    if (wave)
        wave->samples.truncate(kMaxPlayMs * wave->sampleRate / 1000 * wave->FrameBytes());
    return wave;
}

} // namespace

std::optional<Wave> ParseWave(const QByteArray& b)
{
    const qint64 size = b.size();
    if (size < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wave wave;
    bool haveFormat = false;
    std::optional<QByteArray> samples;
    for (qint64 at = 12; at + 8 <= size;) {
        const QByteArray id = b.mid(at, 4);
        const qint64 length = U32(b, at + 4);
        const qint64 body = at + 8;
        const qint64 available = std::min(length, size - body);
        if (id == "fmt ") {
            if (available < length || !ReadFormat(b, body, length, wave))
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data" && !samples) {
            // Writers that stream often leave the length wrong: take what is there.
            samples = b.mid(body, available);
        }
        at = body + length + (length & 1);
    }
    if (!haveFormat || !samples)
        return std::nullopt;
    wave.samples = samples->left(samples->size() - samples->size() % wave.FrameBytes());
    return wave;
}

bool PlaySound(const QString& path, int flags)
{
    std::optional<Wave> wave = LoadWave(path);
    if (!wave) {
        if (!(flags & NoDefault))
            Beep();
        return false;
    }
    if (flags & Async)
        Player::Instance().PlayAsync(std::move(*wave));
    else
        Player::Instance().PlayToEnd(std::move(*wave));
    return true;
}

void SetOutputFactory(OutputFactory factory)
{
    std::lock_guard lock(g_hookMutex);
    g_outputFactory = std::move(factory);
}

void SetBeep(std::function<void()> beep)
{
    std::lock_guard lock(g_hookMutex);
    g_beep = std::move(beep);
}

} // namespace sound
