#include "platform/files/files.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

// A new file is named for the one it replaces, with this mark and then six
// letters or digits that make it unique.
constexpr char kNewFileMark[] = ".saving-";
constexpr int kUniqueLength = 6;

bool IsRegular(const struct stat& st)
{
    return S_ISREG(st.st_mode);
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Gives the new file `fd` the permissions of the regular file at `target`, if
// there is one.
bool TakePermissions(int fd, const QByteArray& target)
{
    struct stat st {};
    return ::lstat(target.constData(), &st) != 0 || !IsRegular(st) || ::fchmod(fd, st.st_mode & 0777) == 0;
}

bool IsUniqueTail(QStringView tail)
{
    return tail.size() == kUniqueLength && std::all_of(tail.begin(), tail.end(), [](QChar c) {
               return c.unicode() < 0x80 && c.isLetterOrNumber();
           });
}

} // namespace

bool OpenRegular(QFile& file, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // Looked at before it is opened, so that no device is ever opened, and
    // again once open, as the name may have been given to another file meanwhile.
    if (name.isEmpty() || ::stat(name.constData(), &st) != 0 || !IsRegular(st))
        return false;
    // Without blocking: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &st) != 0 || !IsRegular(st)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> ReadRegular(const QString& path, qint64 maxBytes)
{
    QFile file;
    if (!OpenRegular(file, path))
        return std::nullopt;
    const qint64 size = file.size();
    if (size > maxBytes)
        return std::nullopt;
    // One byte more than it held tells a file that grew while it was read.
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() > size || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QString> RegularTarget(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (name.isEmpty())
        return std::nullopt;
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT ? std::optional(path) : std::nullopt;
    if (IsRegular(st))
        return path;
    if (!S_ISLNK(st.st_mode))
        return std::nullopt;
    char* resolved = ::realpath(name.constData(), nullptr);
    if (!resolved)
        return std::nullopt;
    const QByteArray target(resolved);
    std::free(resolved);
    if (::stat(target.constData(), &st) != 0 || !IsRegular(st))
        return std::nullopt;
    return QFile::decodeName(target);
}

bool ReplaceWhole(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + kNewFileMark + QByteArray(kUniqueLength, 'X');
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool whole = TakePermissions(fd, target) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    whole = ::close(fd) == 0 && whole; // a file system may report a failed write only here
    if (whole && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}

void RemoveLeftovers(const QString& path)
{
    const QFileInfo target(path);
    const QString stem = target.fileName() + QLatin1String(kNewFileMark);
    const QDir folder = target.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (name.startsWith(stem) && IsUniqueTail(QStringView(name).sliced(stem.size())))
            ::unlink(QFile::encodeName(folder.filePath(name)).constData());
    }
}

} // namespace files
