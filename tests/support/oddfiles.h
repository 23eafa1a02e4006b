// Files that a reader of the program must take as missing or damaged, and a
// guard that ends the test program when such a read blocks or never ends (a
// thread blocked in a read cannot be stopped, and the test must not hang).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

struct OddFile {
    const char* what;
    std::function<bool(const QString& path)> make; // puts it at the path; false when it could not
};

// A FIFO, a link to /dev/zero, a good file of its kind (`whole`) made one byte
// longer than `maxBytes` (sparse, so it takes no room) and a file of `damaged`.
inline std::vector<OddFile> OddFiles(qint64 maxBytes, const QByteArray& whole, const QByteArray& damaged)
{
    const auto name = [](const QString& path) { return QFile::encodeName(path); };
    return {
        {"a FIFO", [=](const QString& path) { return ::mkfifo(name(path).constData(), 0600) == 0; }},
        {"a link to /dev/zero",
         [=](const QString& path) { return ::symlink("/dev/zero", name(path).constData()) == 0; }},
        {"a file over the bound",
         [=](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.write(whole) == whole.size()
                    && file.resize(maxBytes + 1);
         }},
        {"a damaged file",
         [=](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size();
         }},
    };
}

// Puts the odd file at `path`, in place of whatever stood there.
inline bool PutOddFile(const OddFile& odd, const QString& path)
{
    QFile::remove(path);
    return odd.make(path);
}

// While it lives, ends the test program with a failure when it has lived for
// longer than a generous limit: the work in its scope blocked or never ended.
class EndsWithin {
public:
    explicit EndsWithin(std::string what, std::chrono::seconds limit = std::chrono::seconds(60))
        : watcher_([this, what = std::move(what), limit] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "%s: still not ended after %lld s\n", what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(EXIT_FAILURE);
              }
          })
    {
    }
    ~EndsWithin()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        watcher_.join();
    }
    EndsWithin(const EndsWithin&) = delete;
    EndsWithin& operator=(const EndsWithin&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread watcher_; // last: it starts once the rest is made
};
