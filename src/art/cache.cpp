#include "art/cache.h"

#include "art/canvas.h"
#include "platform/files/files.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>

#include <elf.h>
#include <link.h>

#include <cstring>

namespace art {
namespace {

constexpr quint32 Magic = 0x4D565043;  // "MVPC"

// The GNU build id of the program: it changes with any change to its code.
int ReadBuildId(dl_phdr_info* info, size_t, void* out)
{
    auto& id = *static_cast<QByteArray*>(out);
    for (int i = 0; i < info->dlpi_phnum && id.isEmpty(); ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_NOTE)
            continue;
        const size_t align = segment.p_align == 8 ? 8 : 4;
        const auto padded = [align](size_t n) { return (n + align - 1) & ~(align - 1); };
        const char* note = reinterpret_cast<const char*>(info->dlpi_addr + segment.p_vaddr);
        const char* const end = note + segment.p_memsz;
        while (note + sizeof(ElfW(Nhdr)) <= end) {
            const auto* header = reinterpret_cast<const ElfW(Nhdr)*>(note);
            const char* name = note + sizeof(ElfW(Nhdr));
            const char* desc = name + padded(header->n_namesz);
            if (header->n_type == NT_GNU_BUILD_ID && header->n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0)
                id = QByteArray(desc, int(header->n_descsz));
            note = desc + padded(header->n_descsz);
        }
    }
    return 1;  // the first object is the program itself
}

// The version of the painting code: the program's build and the Qt that paints.
// Empty when the program carries no build id; nothing is cached then.
const QByteArray& PaintingVersion()
{
    static const QByteArray version = [] {
        QByteArray id;
        dl_iterate_phdr(ReadBuildId, &id);
        return id.isEmpty() ? id : id.toHex() + '/' + qVersion();
    }();
    return version;
}

QString EntryPath(const QString& name, QSize logical, qreal dpr)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QStringLiteral("%1/mirvo-vorla/pictures/%2-%3x%4@%5.pic")
        .arg(folder, name)
        .arg(logical.width())
        .arg(logical.height())
        .arg(dpr);
}

// A check value of the pixels that is the same in every run (FNV-1a over 64-bit
// words), to tell a damaged entry; not meant to withstand a deliberate change.
quint64 Hash(const QImage& image)
{
    const uchar* bytes = image.constBits();
    const qsizetype size = image.sizeInBytes();
    quint64 hash = 14695981039346656037ull;
    qsizetype at = 0;
    for (quint64 word; at + 8 <= size; at += 8) {
        std::memcpy(&word, bytes + at, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; at < size; ++at)
        hash = (hash ^ bytes[at]) * 1099511628211ull;
    return hash;
}

// The bytes of the pixels of an image of `pixels` in `format`: its lines, each
// padded to 32 bits, as QImage keeps them.
qint64 PixelBytes(QSize pixels, QImage::Format format)
{
    const qint64 line = (qint64(pixels.width()) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    return line * pixels.height();
}

// The entry's picture when its header matches this build and key and its pixels
// their hash; a null image otherwise. Only a regular file is read, and only as
// far as its header says: the pixels it tells of must be all that follows it.
QImage Read(const QString& path, QSize logical, qreal dpr)
{
    QFile file;
    if (!files::OpenRegular(file, path))
        return {};
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    QByteArray version;
    QSize size, pixels;
    double ratio = 0;
    qint32 format = 0;
    quint64 hash = 0;
    in >> magic >> version >> size >> ratio >> pixels >> format >> hash;
    if (in.status() != QDataStream::Ok || magic != Magic || version != PaintingVersion() || size != logical
        || ratio != dpr || pixels.isEmpty() || pixels.width() > 8192 || pixels.height() > 8192
        || format <= QImage::Format_Invalid || format >= QImage::NImageFormats
        || file.size() - file.pos() != PixelBytes(pixels, QImage::Format(format)))
        return {};
    QImage image(pixels, QImage::Format(format));
    if (image.isNull() || in.readRawData(reinterpret_cast<char*>(image.bits()), int(image.sizeInBytes()))
                              != image.sizeInBytes()
        || Hash(image) != hash)
        return {};
    return image;
}

// The entry is written beside its place and put there whole: whatever stood
// there, a link to another file included, is replaced, never written through.
void Write(const QString& path, QSize logical, qreal dpr, const QImage& image)
{
    QByteArray entry;
    QDataStream out(&entry, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << Magic << PaintingVersion() << logical << double(dpr) << image.size() << qint32(image.format())
        << Hash(image);
    out.writeRawData(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
    QDir().mkpath(QFileInfo(path).path());
    files::ReplaceWhole(path, entry);
}

}  // namespace

QPixmap Cached(const QString& name, QSize logical, qreal dpr, const std::function<QPixmap()>& paint)
{
    dpr = SaneRatio(dpr);
    if (PaintingVersion().isEmpty())
        return paint();
    const QString path = EntryPath(name, logical, dpr);
    if (QImage kept = Read(path, logical, dpr); !kept.isNull())
        return Finish(std::move(kept), dpr);
    const QPixmap painted = paint();
    Write(path, logical, dpr, painted.toImage());
    return painted;
}

}  // namespace art
