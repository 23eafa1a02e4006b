// A file replaced whole or not at all, whichever step of the write fails.
#include "platform/files/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>

namespace {

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// While it lives, no file of this process may grow past `bytes`: a longer
// write fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int);
};

TEST(ReplaceWhole, AFailedWriteOrRenameLeavesTheFileAsItWasAndNoTemporary)
{
    struct Case {
        const char* step;
        QString (*target)(const QTemporaryDir& dir); // where the new file goes
        bool limited;                               // the write is cut short
    };
    const Case cases[] = {
        {"the write", [](const QTemporaryDir& dir) { return dir.filePath("dados"); }, true},
        // A folder stands where the file would go, and holds a file of its own.
        {"the rename", [](const QTemporaryDir& dir) { return dir.filePath("pasta"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        QTemporaryDir dir;
        ASSERT_TRUE(files::ReplaceWhole(dir.filePath("dados"), "antigo"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("pasta"));
        ASSERT_TRUE(files::ReplaceWhole(dir.filePath("pasta/dentro"), "antigo"));
        const QString target = c.target(dir);
        bool replaced = true;
        {
            const FileSizeLimit limit(c.limited ? 4096 : RLIM_INFINITY);
            replaced = files::ReplaceWhole(target, QByteArray(8192, 'n'));
        }
        EXPECT_FALSE(replaced);
        EXPECT_EQ(Read(dir.filePath("dados")), "antigo");
        EXPECT_EQ(Read(dir.filePath("pasta/dentro")), "antigo");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  (QStringList{"dados", "pasta"}));
    }
}

} // namespace
