#include "platform/files/files.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

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

bool ReplaceWhole(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool whole = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    whole = ::close(fd) == 0 && whole; // a file system may report a failed write only here
    if (whole && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}

} // namespace files
