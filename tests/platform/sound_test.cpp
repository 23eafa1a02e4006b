// The sound call: flags, the worker that plays without waiting, and the wave reader.
#include "platform/sound.h"

#include "platform/datapath.h"
#include "support/oddfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// "At once", with room for a loaded machine: each wait it rules out lasts 800 ms or more.
constexpr long kAtOnceMs = 500;

long MsSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

QByteArray Le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray Le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray Chunk(const char* id, const QByteArray& body, qint64 statedLength = -1)
{
    const quint32 length = statedLength < 0 ? body.size() : static_cast<quint32>(statedLength);
    QByteArray c = QByteArray(id, 4) + Le32(length) + body;
    if (body.size() & 1)
        c += '\0';
    return c;
}

QByteArray Format(int tag, int channels, int rate, int bits, int blockAlign = -1)
{
    if (blockAlign < 0)
        blockAlign = channels * bits / 8;
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) + Le16(bits);
}

QByteArray Riff(const QByteArray& chunks)
{
    return "RIFF" + Le32(4 + chunks.size()) + "WAVE" + chunks;
}

// A mono 8-bit wave whose every sample is `tag`, so the output can tell sounds apart.
QByteArray TaggedWave(char tag, int ms, int rate = 8000)
{
    return Riff(Chunk("fmt ", Format(1, 1, rate, 8)) + Chunk("data", QByteArray(rate * ms / 1000, tag)));
}

// What the fake output saw of one sound.
struct Played {
    char tag = 0;
    long frames = 0;
    long written = 0;
    bool stopped = false;
    bool closed = false;
};

// Shared by the fake outputs; outlives the worker's use of them.
struct Recorder {
    std::mutex mutex;
    std::vector<Played> sounds;
    int openDelayMs = 0;
    bool realTime = true; // false: frames are taken as fast as they come

    std::vector<Played> Snapshot()
    {
        std::lock_guard lock(mutex);
        return sounds;
    }
};

// Plays in real time (sleeping as long as the frames last) with a short tail, like a device.
class PacedOutput final : public sound::Output {
public:
    explicit PacedOutput(std::shared_ptr<Recorder> rec) : rec_(std::move(rec)) {}
    ~PacedOutput() override
    {
        if (index_ >= 0) {
            std::lock_guard lock(rec_->mutex);
            rec_->sounds[index_].closed = true;
        }
    }

    bool Open(const sound::Wave& wave) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(rec_->openDelayMs));
        std::lock_guard lock(rec_->mutex);
        rate_ = wave.sampleRate;
        index_ = static_cast<int>(rec_->sounds.size());
        rec_->sounds.push_back({wave.samples.isEmpty() ? '\0' : wave.samples[0], wave.Frames()});
        return true;
    }

    long Write(const char*, long frames, int waitMs) override
    {
        const long n = std::min<long>(frames, rate_ * waitMs / 1000);
        if (rec_->realTime)
            std::this_thread::sleep_for(std::chrono::milliseconds(n * 1000 / rate_));
        std::lock_guard lock(rec_->mutex);
        rec_->sounds[index_].written += n;
        allWritten_ = Clock::now();
        return n;
    }

    long RemainingMs() override { return std::max(0L, kTailMs - MsSince(allWritten_)); }

    void Stop() override
    {
        std::lock_guard lock(rec_->mutex);
        rec_->sounds[index_].stopped = true;
    }

    static constexpr long kTailMs = 60;

private:
    std::shared_ptr<Recorder> rec_;
    int index_ = -1;
    int rate_ = 8000;
    Clock::time_point allWritten_ = Clock::now();
};

class TempFiles {
public:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString Missing() const { return dir_.filePath(QStringLiteral("nao-existe.wav")); }

private:
    QTemporaryDir dir_;
};

class SoundPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        rec_ = std::make_shared<Recorder>();
        sound::SetOutputFactory([rec = rec_] { return std::make_unique<PacedOutput>(rec); });
        sound::SetBeep([this] { ++beeps_; });
    }

    void TearDown() override
    {
        // A blocking play of a tiny sound waits until the worker is done with ours.
        rec_->openDelayMs = 0;
        sound::PlaySound(files_.Write("fim.wav", TaggedWave('z', 1)), sound::NoDefault);
        sound::SetOutputFactory(nullptr);
        sound::SetBeep(nullptr);
    }

    // Waits (bounded by a limit only a fault reaches) until the recorder holds
    // a sound with `tag` for which `holds` is true.
    bool WaitFor(char tag, const std::function<bool(const Played&)>& holds)
    {
        const auto end = Clock::now() + 30s;
        while (Clock::now() < end) {
            for (const Played& p : rec_->Snapshot())
                if (p.tag == tag && holds(p))
                    return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }
    bool WaitClosed(char tag)
    {
        return WaitFor(tag, [](const Played& p) { return p.closed; });
    }
    bool WaitPlaying(char tag)
    {
        return WaitFor(tag, [](const Played& p) { return p.written > 0; });
    }

    std::shared_ptr<Recorder> rec_;
    TempFiles files_;
    int beeps_ = 0;
};

TEST_F(SoundPlayer, AsyncReturnsAtOnceAndANewSoundCutsOffTheOld)
{
    const QString longSound = files_.Write("longo.wav", TaggedWave('a', 2000));
    const QString shortSound = files_.Write("curto.wav", TaggedWave('b', 200));

    auto start = Clock::now();
    EXPECT_TRUE(sound::PlaySound(longSound, sound::Async));
    EXPECT_LT(MsSince(start), kAtOnceMs);
    ASSERT_TRUE(WaitPlaying('a'));
    start = Clock::now();
    EXPECT_TRUE(sound::PlaySound(shortSound, sound::Async));
    EXPECT_LT(MsSince(start), kAtOnceMs);

    ASSERT_TRUE(WaitClosed('b'));
    EXPECT_LT(MsSince(start), 1600) << "the long sound was played to its end first";
    const std::vector<Played> log = rec_->Snapshot();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].tag, 'a');
    EXPECT_TRUE(log[0].stopped);
    EXPECT_GT(log[0].written, 0);
    EXPECT_LT(log[0].written, log[0].frames);
    EXPECT_TRUE(log[0].closed);
    EXPECT_EQ(log[1].tag, 'b');
    EXPECT_FALSE(log[1].stopped);
    EXPECT_EQ(log[1].written, log[1].frames);
    EXPECT_EQ(beeps_, 0);
}

TEST_F(SoundPlayer, BlockingPlayLastsToTheEndAndStopsTheAsyncSound)
{
    const QString background = files_.Write("fundo.wav", TaggedWave('a', 2000));
    const QString call = files_.Write("aceito.wav", TaggedWave('c', 300));

    sound::PlaySound(background, sound::Async);
    ASSERT_TRUE(WaitPlaying('a'));
    const auto start = Clock::now();
    EXPECT_TRUE(sound::PlaySound(call, sound::NoDefault));
    const long took = MsSince(start);

    EXPECT_GE(took, 300 + PacedOutput::kTailMs - 20);
    EXPECT_LT(took, 1600) << "waited for the background sound";
    const std::vector<Played> log = rec_->Snapshot();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].stopped);
    EXPECT_EQ(log[1].tag, 'c');
    EXPECT_EQ(log[1].written, log[1].frames);
    EXPECT_TRUE(log[1].closed) << "returned before the sound had ended";
}

// A minute at 1,000 frames a second, as a blocking play and as one that is not
// waited for: both are cut off at the bound, not played for their length.
TEST_F(SoundPlayer, ALongFilePlaysNoLongerThanTheBound)
{
    rec_->realTime = false;
    const struct {
        char tag;
        int flags;
    } plays[] = {{'s', sound::NoDefault}, {'a', sound::Async}};
    for (const auto& p : plays) {
        EXPECT_TRUE(sound::PlaySound(files_.Write(QString(p.tag) + ".wav", TaggedWave(p.tag, 60000, 1000)), p.flags));
        ASSERT_TRUE(WaitClosed(p.tag));
    }
    for (const Played& p : rec_->Snapshot()) {
        EXPECT_EQ(p.frames, sound::kMaxPlayMs) << p.tag;
        EXPECT_EQ(p.written, p.frames) << p.tag;
    }
}

TEST_F(SoundPlayer, AsyncDoesNotWaitForASlowDevice)
{
    rec_->openDelayMs = 800;
    const auto start = Clock::now();
    EXPECT_TRUE(sound::PlaySound(files_.Write("move.wav", TaggedWave('m', 100)), sound::Async));
    EXPECT_LT(MsSince(start), kAtOnceMs);
    EXPECT_TRUE(WaitClosed('m'));
}

TEST_F(SoundPlayer, MissingFileBeepsUnlessTold)
{
    const auto start = Clock::now();
    EXPECT_FALSE(sound::PlaySound(files_.Missing(), sound::Async));
    EXPECT_EQ(beeps_, 1);
    EXPECT_FALSE(sound::PlaySound(files_.Missing(), sound::NoDefault));
    EXPECT_FALSE(sound::PlaySound(QString(), sound::NoDefault));
    EXPECT_EQ(beeps_, 1);
    EXPECT_LT(MsSince(start), kAtOnceMs);
    EXPECT_TRUE(rec_->Snapshot().empty());
}

TEST_F(SoundPlayer, DamagedFileIsRefusedLikeAMissingOne)
{
    const QString damaged = files_.Write("erro.wav", QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16));
    EXPECT_FALSE(sound::PlaySound(damaged, sound::Async));
    EXPECT_EQ(beeps_, 1);
    EXPECT_FALSE(sound::PlaySound(damaged, sound::NoDefault));
    EXPECT_EQ(beeps_, 1);
    EXPECT_TRUE(rec_->Snapshot().empty());
}

TEST_F(SoundPlayer, WhatIsNoRegularFileOrTooLongIsRefused)
{
    ForEachOddFile(files_.Missing(), 8 * 1024 * 1024, TaggedWave('w', 100),
                   [&] { EXPECT_FALSE(sound::PlaySound(files_.Missing(), sound::NoDefault)); });
}

// The real ALSA output, on devices that cannot block: the test main selects the
// silent "null" device; a name that matches no device must be just as quiet.
TEST(SoundDevice, NullAndUnknownDevicesReturnPromptly)
{
    TempFiles files;
    const QString path = files.Write("doze.wav", TaggedWave('d', 3000, 22050));
    const QByteArray saved = qgetenv("MIRVO_SOUND_DEVICE");
    for (const char* device : {"null", "mirvo_sem_dispositivo"}) {
        qputenv("MIRVO_SOUND_DEVICE", device);
        const auto start = Clock::now();
        EXPECT_TRUE(sound::PlaySound(path, sound::Async)) << device;
        EXPECT_TRUE(sound::PlaySound(path, sound::NoDefault)) << device;
        EXPECT_LT(MsSince(start), 2000) << device << " played the whole sound";
    }
    qputenv("MIRVO_SOUND_DEVICE", saved);
}

TEST(WaveFile, ReadsPcmLayouts)
{
    // 16-bit stereo, with an odd-sized chunk before the samples (padded to even).
    const QByteArray stereoSamples(4 * 10, '\x01');
    const QByteArray stereo = Riff(Chunk("fmt ", Format(1, 2, 44100, 16)) + Chunk("LIST", QByteArray(3, 'x'))
                                   + Chunk("data", stereoSamples));
    std::optional<sound::Wave> w = sound::ParseWave(stereo);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->channels, 2);
    EXPECT_EQ(w->sampleRate, 44100);
    EXPECT_EQ(w->bitsPerSample, 16);
    EXPECT_EQ(w->Frames(), 10);

    // 8-bit mono whose data length claims more than the file holds: what is there plays.
    const QByteArray overstated = Riff(Chunk("fmt ", Format(1, 1, 11025, 8)) + Chunk("data", QByteArray(50, 'q'), 100000));
    w = sound::ParseWave(overstated);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Frames(), 50);
    EXPECT_EQ(w->samples, QByteArray(50, 'q'));

    // 16-bit with a trailing half frame: only whole frames are kept.
    const QByteArray ragged = Riff(Chunk("fmt ", Format(1, 1, 22050, 16)) + Chunk("data", QByteArray(7, '\x02')));
    w = sound::ParseWave(ragged);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->samples.size(), 6);
}

TEST(WaveFile, RefusesWhatItCannotPlay)
{
    const QByteArray data = Chunk("data", QByteArray(100, '\0'));
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"not RIFF", "RIFX" + Le32(4) + "WAVE"},
        {"not WAVE", Riff(QByteArray()).replace(8, 4, "AVI ")},
        {"no format", Riff(data)},
        {"no samples", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)))},
        {"float samples", Riff(Chunk("fmt ", Format(3, 1, 8000, 32)) + data)},
        {"24-bit", Riff(Chunk("fmt ", Format(1, 1, 8000, 24)) + data)},
        {"three channels", Riff(Chunk("fmt ", Format(1, 3, 8000, 16)) + data)},
        {"no channels", Riff(Chunk("fmt ", Format(1, 0, 8000, 16, 2)) + data)},
        {"zero rate", Riff(Chunk("fmt ", Format(1, 1, 0, 16)) + data)},
        {"block size lies", Riff(Chunk("fmt ", Format(1, 2, 8000, 16, 1)) + data)},
        {"short format", Riff(Chunk("fmt ", Format(1, 1, 8000, 8).left(10)) + data)},
        {"format cut off", Riff(Chunk("fmt ", Format(1, 1, 8000, 8))).left(30)},
        {"huge chunk before format", Riff(Chunk("junk", QByteArray(4, 'j'), 0xFFFFFFFFu) + Chunk("fmt ", Format(1, 1, 8000, 8)) + data)},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(sound::ParseWave(c.bytes)) << c.what;
}

// Every sound the game names is shipped, short, and readable by the player;
// "correu.wav" and "Correu.wav" are one file.
TEST(GameSounds, AllNamedSoundsAreShippedAndPlayable)
{
    const char* names[] = {"Alerta.wav", "Move.wav", "cart1.wav", "Embaralhar.wav", "correu.wav", "Correu.wav",
                           "Chat.wav", "aceito.wav", "iniciar.wav", "vorla.wav", "seis.wav", "nove.wav",
                           "doze.wav", "Perdeu1.wav", "Perdeu2.wav", "Perdeu3.wav", "erro.wav"};
    for (const QString& folder : {QStringLiteral(SOURCE_DIR "/assets/Sons"), QStringLiteral(BINARY_DIR "/Sons")}) {
        for (const char* name : names) {
            const QString path = datapath::FindFileNoCase(folder, name);
            ASSERT_FALSE(path.isEmpty()) << name << " in " << folder.toStdString();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const std::optional<sound::Wave> wave = sound::ParseWave(file.readAll());
            ASSERT_TRUE(wave) << name;
            EXPECT_GT(wave->DurationMs(), 50) << name;
            EXPECT_LT(wave->DurationMs(), 1500) << name;
        }
    }
}

} // namespace
