#include "platform/helpfile.h"

#include "platform/files/files.h"

#include <QHash>

#include <cstring>

namespace help {
namespace {

// Far above any help file of ours (tens of kilobytes), and all of it is read at once.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
constexpr quint64 kNoChunk = 0xFFFFFFFF;
constexpr quint64 kChunkHeaderBytes = 0x14; // of a listing chunk; an index chunk's is shorter
constexpr quint64 kFrameBytes = 0x8000;     // the compressed section's unit of size
constexpr quint64 kMinWindow = 1 << 15;
constexpr quint64 kMaxWindow = 1 << 21;
// Far above any real file, low enough that the library's 32-bit sums hold it.
constexpr quint64 kMaxResetInterval = 1 << 30;

const QString kControlData = QStringLiteral("::DataSpace/Storage/MSCompressed/ControlData");
const QString kContent = QStringLiteral("::DataSpace/Storage/MSCompressed/Content");
const QString kResetTable = QStringLiteral(
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");

// Thrown by any read or test that finds the file damaged.
struct Damaged {};

void Need(bool sound)
{
    if (!sound)
        throw Damaged{};
}

// An object of the directory: its section (0 stored, 1 compressed) and its
// place inside that section.
struct Entry {
    quint64 section = 0;
    quint64 offset = 0;
    quint64 length = 0;
};

// Bounds-checked little-endian reads of the file.
class Bytes {
public:
    explicit Bytes(const QByteArray& bytes) : bytes_(bytes) {}

    quint64 Size() const { return static_cast<quint64>(bytes_.size()); }

    bool Has(quint64 at, quint64 length) const { return at <= Size() && length <= Size() - at; }

    quint32 U32(quint64 at) const { return Little<quint32>(at); }
    quint64 U64(quint64 at) const { return Little<quint64>(at); }

    bool Tag(quint64 at, const char (&tag)[5]) const
    {
        return Has(at, 4) && std::memcmp(bytes_.constData() + at, tag, 4) == 0;
    }

    // A number of 7 bits a byte, the high bit set on every byte but the last,
    // read at `at` (moved past it) and ending before `end`.
    quint64 EncInt(quint64& at, quint64 end) const
    {
        quint64 value = 0;
        for (;;) {
            Need(at < end && at < Size() && value >> 57 == 0);
            const auto byte = static_cast<quint8>(bytes_[static_cast<qsizetype>(at++)]);
            value = value << 7 | (byte & 0x7F);
            if (!(byte & 0x80))
                return value;
        }
    }

    QString Name(quint64& at, quint64 end) const
    {
        const quint64 length = EncInt(at, end);
        Need(length > 0 && length <= end - at);
        const QString name = QString::fromUtf8(bytes_.constData() + at, static_cast<qsizetype>(length));
        at += length;
        return name;
    }

private:
    template <class T>
    T Little(quint64 at) const
    {
        Need(Has(at, sizeof(T)));
        T value = 0;
        for (quint64 i = sizeof(T); i-- > 0;)
            value = value << 8 | static_cast<quint8>(bytes_.at(static_cast<qsizetype>(at + i)));
        return value;
    }

    const QByteArray& bytes_;
};

// The directory: a header followed by chunks of equal size, each a listing
// ("PMGL") of objects or an index ("PMGI") of the listings.
class Directory {
public:
    Directory(const Bytes& file, quint64 at, quint64 length) : file_(file)
    {
        Need(file.Tag(at, "ITSP"));
        const quint64 header = file.U32(at + 0x08);
        chunkSize_ = file.U32(at + 0x10);
        chunks_ = file.U32(at + 0x2C);
        const quint64 root = file.U32(at + 0x1C);
        const quint64 first = file.U32(at + 0x20);
        Need(header >= 0x54 && header <= length && chunkSize_ > kChunkHeaderBytes + 2);
        Need(chunks_ >= 1 && chunks_ <= (length - header) / chunkSize_);
        Need(first < chunks_ && file.U32(at + 0x24) < chunks_ && (root == kNoChunk || root < chunks_));
        start_ = at + header;
        for (quint64 chunk = 0; chunk < chunks_; ++chunk)
            ReadChunk(chunk);
        FollowListings(first);
    }

    const QHash<QString, Entry>& Entries() const { return entries_; }

private:
    quint64 ChunkAt(quint64 chunk) const { return start_ + chunk * chunkSize_; }

    // Where the chunk's entries end: its last bytes are kept free.
    quint64 EntriesEnd(quint64 at) const
    {
        const quint64 free = file_.U32(at + 4);
        Need(free <= chunkSize_ - kChunkHeaderBytes);
        return at + chunkSize_ - free;
    }

    void ReadChunk(quint64 chunk)
    {
        const quint64 at = ChunkAt(chunk);
        if (file_.Tag(at, "PMGL"))
            return ReadListing(at);
        Need(file_.Tag(at, "PMGI"));
        const quint64 end = EntriesEnd(at);
        for (quint64 p = at + 8; p < end;) {
            file_.Name(p, end);
            Need(file_.EncInt(p, end) < chunks_);
        }
    }

    void ReadListing(quint64 at)
    {
        const quint64 end = EntriesEnd(at);
        for (quint64 p = at + kChunkHeaderBytes; p < end;) {
            const QString name = file_.Name(p, end);
            Entry entry;
            entry.section = file_.EncInt(p, end);
            entry.offset = file_.EncInt(p, end);
            entry.length = file_.EncInt(p, end);
            Need(entry.section <= 1);
            entries_.insert(name, entry);
        }
    }

    // The listings are chained from the first; the chain must end.
    void FollowListings(quint64 chunk) const
    {
        for (quint64 steps = 0; chunk != kNoChunk; ++steps) {
            Need(steps < chunks_ && chunk < chunks_ && file_.Tag(ChunkAt(chunk), "PMGL"));
            chunk = file_.U32(ChunkAt(chunk) + 0x10);
        }
    }

    const Bytes& file_;
    quint64 chunkSize_ = 0;
    quint64 chunks_ = 0;
    quint64 start_ = 0;
    QHash<QString, Entry> entries_;
};

// The stored object `name`: present, in the stored section, at least
// `minLength` long. Returns where it starts in the file.
quint64 StoredObject(const QHash<QString, Entry>& entries, quint64 content, const QString& name, quint64 minLength)
{
    const auto it = entries.constFind(name);
    Need(it != entries.cend() && it->section == 0 && it->length >= minLength);
    return content + it->offset;
}

bool PowerOfTwo(quint64 n)
{
    return n != 0 && (n & (n - 1)) == 0;
}

// The compressed section's parameters and reset table, against the size of
// its stored stream. Returns the section's uncompressed length.
quint64 CheckCompressedSection(const Bytes& file, const QHash<QString, Entry>& entries, quint64 content)
{
    const quint64 control = StoredObject(entries, content, kControlData, 0x18);
    Need(file.Tag(control + 4, "LZXC") && file.U32(control + 0x08) == 2);
    // Both counted in frames.
    const quint64 resetInterval = file.U32(control + 0x0C) * kFrameBytes;
    const quint64 window = file.U32(control + 0x10) * kFrameBytes;
    Need(PowerOfTwo(window) && window >= kMinWindow && window <= kMaxWindow);
    const quint64 windowsPerReset = file.U32(control + 0x14);
    Need(resetInterval != 0 && resetInterval <= kMaxResetInterval && resetInterval % (window / 2) == 0);
    Need(windowsPerReset != 0 && resetInterval / (window / 2) * windowsPerReset <= kMaxResetInterval / kFrameBytes);

    const quint64 tableLength = entries.value(kResetTable).length;
    const quint64 table = StoredObject(entries, content, kResetTable, 0x28);
    const quint64 count = file.U32(table + 0x04);
    const quint64 header = file.U32(table + 0x0C);
    const quint64 uncompressed = file.U64(table + 0x10);
    const quint64 compressed = file.U64(table + 0x18);
    Need(file.U32(table + 0x08) == 8 && header >= 0x28 && header <= tableLength);
    Need(count <= (tableLength - header) / 8 && file.U64(table + 0x20) == kFrameBytes);
    Need(compressed > 0 && compressed <= entries.value(kContent).length);
    StoredObject(entries, content, kContent, compressed);
    Need(uncompressed > 0 && count >= (uncompressed + kFrameBytes - 1) / kFrameBytes);
    quint64 previous = 0;
    for (quint64 i = 0; i < count; ++i) {
        const quint64 frame = file.U64(table + header + i * 8);
        Need(frame >= previous && frame <= compressed && (i > 0 || frame == 0));
        previous = frame;
    }
    return uncompressed;
}

QSet<QString> Check(const Bytes& file)
{
    Need(file.Tag(0, "ITSF"));
    const quint32 version = file.U32(0x04);
    const quint64 header = file.U32(0x08);
    Need((version == 2 || version == 3) && header >= (version == 3 ? 0x60u : 0x58u) && file.Has(0, header));
    Need(file.Has(file.U64(0x38), file.U64(0x40)));
    const quint64 directory = file.U64(0x48);
    const quint64 directoryLength = file.U64(0x50);
    Need(file.Has(directory, directoryLength));
    const quint64 content = version == 3 ? file.U64(0x58) : directory + directoryLength;
    Need(content <= file.Size());

    const Directory listing(file, directory, directoryLength);
    const QHash<QString, Entry>& entries = listing.Entries();
    bool compressed = false;
    for (const Entry& e : entries) {
        if (e.section == 0)
            Need(file.Has(content, e.offset) && file.Has(content + e.offset, e.length));
        compressed |= e.section == 1;
    }
    if (compressed) {
        const quint64 uncompressed = CheckCompressedSection(file, entries, content);
        for (const Entry& e : entries)
            Need(e.section == 0 || (e.offset <= uncompressed && e.length <= uncompressed - e.offset));
    }
    return QSet<QString>(entries.keyBegin(), entries.keyEnd());
}

} // namespace

std::optional<QSet<QString>> CheckedContents(const QByteArray& file)
{
    try {
        return Check(Bytes(file));
    } catch (const Damaged&) {
        return std::nullopt;
    }
}

std::optional<QSet<QString>> CheckedFileContents(const QString& path)
{
    const std::optional<QByteArray> bytes = files::ReadRegular(path, kMaxFileBytes);
    if (!bytes)
        return std::nullopt;
    return CheckedContents(*bytes);
}

QString PageName(QString topic)
{
    while (topic.startsWith(QLatin1Char('/')))
        topic.remove(0, 1);
    return QLatin1Char('/') + topic;
}

} // namespace help
