#include "platform/registry.h"
#include "platform/files/files.h"
#include "platform/registrytext.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace registry {
namespace {

// How long a write waits for another copy's write to finish.
constexpr int kLockWaitMs = 3000;
// The store holds eight short values; a longer file is none of ours, and no
// change may make the store longer, as it would then read as none.
constexpr qint64 kMaxStoreBytes = 4 * 1024 * 1024;

QString FullPath(Hive hive, const QString& key)
{
    QString path;
    switch (hive) {
    case Hive::LocalMachine:
        path = QStringLiteral("HKEY_LOCAL_MACHINE");
        break;
    }
    return key.isEmpty() ? path : path + u'\\' + key;
}

// A section header holds the key's path as it is, so it must stay on one line.
bool FitsHeader(const QString& path)
{
    return std::none_of(path.begin(), path.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

// The store's lock, held while it lives: an advisory lock on an open file, so
// that the system lets it go when its holder ends, however it ends. The lock
// file stays; what it holds does not matter. A link there is not followed,
// so that it makes no file where it leads: the lock is not taken then.
class StoreLock {
public:
    explicit StoreLock(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600))
    {
    }
    ~StoreLock()
    {
        if (fd_ >= 0)
            ::close(fd_); // lets the lock go
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // False when another holder keeps it longer than waitMs, or there is no lock file.
    bool Take(int waitMs)
    {
        if (fd_ < 0)
            return false;
        const QDeadlineTimer deadline(waitMs);
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK || deadline.hasExpired())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

private:
    int fd_;
};

// The store as it stands: the file that holds it (the one a link there leads
// to) and its text, empty when there is no file yet. Nothing when what stands
// there cannot be read as a store: no regular file, or longer than the bound.
struct Stored {
    QString file;
    QByteArray text;
};

std::optional<Stored> Load()
{
    const std::optional<QString> file = files::RegularTarget(StorePath());
    if (!file)
        return std::nullopt;
    if (!QFileInfo::exists(*file))
        return Stored{*file, {}};
    const std::optional<QByteArray> text = files::ReadRegular(*file, kMaxStoreBytes);
    if (!text)
        return std::nullopt;
    return Stored{*file, *text};
}

} // namespace

QString StorePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base)) // unset, empty or relative: the default
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/" PROGRAM_NAME "/registry");
}

std::optional<QByteArray> QueryValue(Hive hive, const QString& key, const QString& name)
{
    const std::optional<Stored> store = Load();
    if (!store)
        return std::nullopt;
    return Find(store->text, FullPath(hive, key), name);
}

bool SetValue(Hive hive, const QString& key, const QString& name, const QByteArray& bytes)
{
    const QString path = FullPath(hive, key);
    if (!FitsHeader(path))
        return false;
    const QString file = StorePath();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    // Read, change and replace under a lock, so that two copies writing at
    // once cannot lose each other's values.
    StoreLock lock(file + QStringLiteral(".lock"));
    if (!lock.Take(kLockWaitMs))
        return false;
    const std::optional<Stored> store = Load();
    if (!store)
        return false;
    const QByteArray text = Put(store->text, path, name, bytes);
    if (text.size() > kMaxStoreBytes)
        return false;
    files::RemoveLeftovers(store->file);
    return files::ReplaceWhole(store->file, text);
}

} // namespace registry
