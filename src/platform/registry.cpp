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
// The store holds eight short values; a file this long is none of ours.
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
// file stays; what it holds does not matter.
class StoreLock {
public:
    explicit StoreLock(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
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

// The stored keys; an empty store when there is no file yet, nothing when
// what stands there cannot be read as one (not a regular file, or far longer
// than any store the program writes).
std::optional<Store> Load()
{
    const QString path = StorePath();
    if (!QFileInfo::exists(path))
        return Store{};
    const std::optional<QByteArray> text = files::ReadRegular(path, kMaxStoreBytes);
    if (!text)
        return std::nullopt;
    return Parse(*text);
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
    auto store = Load();
    if (!store)
        return std::nullopt;
    Key* found = FindKey(*store, FullPath(hive, key));
    if (!found)
        return std::nullopt;
    const Value* value = FindValue(*found, name);
    if (!value)
        return std::nullopt;
    return value->bytes;
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
    auto store = Load();
    if (!store)
        return false;
    Put(KeyAt(*store, path), name, bytes);
    return files::ReplaceWhole(file, Format(*store));
}

} // namespace registry
