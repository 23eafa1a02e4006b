#include "platform/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace registry {
namespace {

struct Value {
    QString name;
    QByteArray bytes;
};

struct Key {
    QString path; // begins with the hive's name
    std::vector<Value> values;
};

using Store = std::vector<Key>;

// How long a write waits for another copy's write to finish.
constexpr int kLockWaitMs = 3000;

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

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A section header holds the key's path as it is, so it must stay on one line.
bool FitsHeader(const QString& path)
{
    return std::none_of(path.begin(), path.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

Key* FindKey(Store& store, const QString& path)
{
    for (Key& key : store) {
        if (SameName(key.path, path))
            return &key;
    }
    return nullptr;
}

Key& KeyAt(Store& store, const QString& path)
{
    if (Key* key = FindKey(store, path))
        return *key;
    store.push_back(Key{path, {}});
    return store.back();
}

void Put(Key& key, const QString& name, const QByteArray& bytes)
{
    for (Value& value : key.values) {
        if (SameName(value.name, name)) {
            value.bytes = bytes;
            return;
        }
    }
    key.values.push_back(Value{name, bytes});
}

QByteArray Quote(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out = "\"";
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '\\' || ch == '"') {
            out += '\\';
            out += ch;
        } else if (b >= 0x20 && b < 0x7F) {
            out += ch;
        } else {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 0xF];
        }
    }
    return out + '"';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The quoted text that starts at `pos`; `pos` ends past its closing quote.
std::optional<QByteArray> Unquote(const QByteArray& line, qsizetype& pos)
{
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    QByteArray out;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        if (line[pos] == '\\' || line[pos] == '"') {
            out += line[pos];
        } else if (line[pos] == 'x' && pos + 2 < line.size()
                   && HexDigit(line[pos + 1]) >= 0 && HexDigit(line[pos + 2]) >= 0) {
            out += static_cast<char>(HexDigit(line[pos + 1]) * 16 + HexDigit(line[pos + 2]));
            pos += 2;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// A line "name"="bytes" into `key`; anything malformed is skipped.
void ParseValue(const QByteArray& line, Key& key)
{
    qsizetype pos = 0;
    const auto name = Unquote(line, pos);
    if (!name || pos >= line.size() || line[pos] != '=')
        return;
    ++pos;
    const auto bytes = Unquote(line, pos);
    if (bytes && line.mid(pos).trimmed().isEmpty())
        Put(key, QString::fromUtf8(*name), *bytes);
}

Store Parse(const QByteArray& text)
{
    Store store;
    Key* current = nullptr;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[') && line.endsWith(']') && line.size() >= 2)
            current = &KeyAt(store, QString::fromUtf8(line.mid(1, line.size() - 2)));
        else if (line.startsWith('"') && current)
            ParseValue(line, *current);
    }
    return store;
}

QByteArray Format(const Store& store)
{
    QByteArray text = "; Settings. Values are bytes: \\\\, \\\" and \\xHH stand for a backslash,\n"
                      "; a quote and any byte outside printable ASCII.\n";
    for (const Key& key : store) {
        text += "\n[" + key.path.toUtf8() + "]\n";
        for (const Value& value : key.values)
            text += Quote(value.name.toUtf8()) + '=' + Quote(value.bytes) + '\n';
    }
    return text;
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

// The stored keys; an empty store when there is no file yet, nothing when the
// file exists but cannot be read.
std::optional<Store> Load()
{
    QFile file(StorePath());
    if (!file.exists())
        return Store{};
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Parse(file.readAll());
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
    for (const Value& value : found->values) {
        if (SameName(value.name, name))
            return value.bytes;
    }
    return std::nullopt;
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
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(Format(*store));
    return out.commit();
}

} // namespace registry
