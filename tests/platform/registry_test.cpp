#include "platform/registry.h"
#include "support/folderenv.h"
#include "support/oddfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

using registry::Hive;

const QString kKey = u"SOFTWARE\\Teste"_qs;

// Root passes over file permissions; the thread that makes this gives that up
// while it lives, so that a read-only folder binds root too.
class BoundByPermissions {
public:
    BoundByPermissions()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct bound[2] = {saved_[0], saved_[1]};
        bound[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        dropped_ = ::syscall(SYS_capset, &header_, bound) == 0;
    }
    ~BoundByPermissions()
    {
        if (dropped_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    BoundByPermissions(const BoundByPermissions&) = delete;
    BoundByPermissions& operator=(const BoundByPermissions&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

// While it lives, a write that takes any file of this process past `bytes`
// fails, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

class Registry : public ::testing::Test {
protected:
    static QByteArray FileText()
    {
        QFile file(registry::StorePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteFile(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(registry::StorePath()).absolutePath());
        QFile file(registry::StorePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    TemporaryFolderVariable config_{"XDG_CONFIG_HOME"};
};

TEST_F(Registry, LivesInTheUsersConfigFolder)
{
    EXPECT_EQ(registry::StorePath(), config_.Folder().path() + u"/mirvo-vorla/registry"_qs);
    qputenv("XDG_CONFIG_HOME", "relative/path"); // not absolute: ignored
    EXPECT_EQ(registry::StorePath(), QDir::homePath() + u"/.config/mirvo-vorla/registry"_qs);
}

TEST_F(Registry, MissingStoreKeyOrValueReadsAsNothingAndEmptyStaysEmpty)
{
    EXPECT_FALSE(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs));
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, QByteArray()));
    const auto empty = registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_FALSE(registry::QueryValue(Hive::LocalMachine, kKey, u"IP"_qs));
    EXPECT_FALSE(registry::QueryValue(Hive::LocalMachine, u"SOFTWARE\\Outra"_qs, u"Nome"_qs));
}

TEST_F(Registry, EveryByteRoundTripsInAReadableFile)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QByteArray tricky("\"=\\x41\"\n[x]\r\n", 14);
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Todos"_qs, all));
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome \"aspas\" =\\"_qs, tricky));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Todos"_qs), all);
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome \"aspas\" =\\"_qs), tricky);

    const QByteArray text = FileText();
    EXPECT_TRUE(text.contains("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Teste]\n"));
    for (char c : text)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(static_cast<unsigned char>(c));
}

TEST_F(Registry, WritesKeepOtherValuesAndKeysAndNamesIgnoreCase)
{
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Verso"_qs, "3"));
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Som"_qs, "True"));
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, u"SOFTWARE\\Outra"_qs, u"Verso"_qs, "9"));
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, u"software\\TESTE"_qs, u"VERSO"_qs, "7"));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"verso"_qs), QByteArray("7"));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Som"_qs), QByteArray("True"));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, u"SOFTWARE\\Outra"_qs, u"Verso"_qs),
              QByteArray("9"));
    EXPECT_EQ(FileText().count("erso\"="), 2); // one entry per key, not one per write
}

TEST_F(Registry, ReadsSeeWhatAnotherCopyWrote)
{
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"IP"_qs, "a"));
    WriteFile("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Teste]\n\"IP\"=\"b\"\n");
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"IP"_qs), QByteArray("b"));
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Som"_qs, "False"));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"IP"_qs), QByteArray("b"));
}

TEST_F(Registry, MalformedLinesAreSkippedAndTheRestIsRead)
{
    WriteFile("\"Solto\"=\"antes de qualquer chave\"\n"
              "; comment\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Teste]\r\n"
              "\"Bom\"=\"1\\x41\\\\\"\r\n"
              "\"SemFim\"=\"abc\n"
              "\"Hex\"=\"\\xG1\"\n"
              "\"Sobra\"=\"x\" lixo\n"
              "\"SemIgual\" \"x\"\n"
              "Verso=2\n"
              "\"Ultimo\"=\"\\x0\"\n"
              "\"Nome\"=\"Ana\"\n");
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Bom"_qs), QByteArray("1A\\"));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs), QByteArray("Ana"));
    for (const char* name : {"Solto", "SemFim", "Hex", "Sobra", "SemIgual", "Verso", "Ultimo"})
        EXPECT_FALSE(registry::QueryValue(Hive::LocalMachine, kKey, QString::fromLatin1(name)))
            << name;
}

TEST_F(Registry, AnUnwritableFolderFailsTheWriteAndReadsFallBack)
{
    // The folder cannot be made: a file stands where it should go.
    QFile blocker(config_.Folder().filePath(u"ficheiro"_qs));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toLocal8Bit());
    EXPECT_FALSE(registry::SetValue(Hive::LocalMachine, kKey, u"Som"_qs, "True"));
    EXPECT_FALSE(registry::QueryValue(Hive::LocalMachine, kKey, u"Som"_qs));
}

TEST_F(Registry, AReadOnlyFolderKeepsTheOldStore)
{
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Som"_qs, "True"));
    const QString folder = QFileInfo(registry::StorePath()).absolutePath();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    bool writable = true;
    bool written = true;
    std::optional<QByteArray> value;
    {
        const BoundByPermissions bound;
        writable = ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) == 0;
        written = registry::SetValue(Hive::LocalMachine, kKey, u"Som"_qs, "False");
        value = registry::QueryValue(Hive::LocalMachine, kKey, u"Som"_qs);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (writable)
        GTEST_SKIP() << "permissions do not bind this user";
    EXPECT_FALSE(written);
    EXPECT_EQ(value, QByteArray("True"));
}

TEST_F(Registry, AWriteReplacesTheFileWholeAndLeavesNoTemporaries)
{
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, "Ana"));
    QFile old(registry::StorePath());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray before = FileText();
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, QByteArray(5000, 'x')));
    // A reader that opened the old file still sees it whole: the new one was
    // put in its place, not written over it.
    EXPECT_EQ(old.readAll(), before);
    EXPECT_EQ(QDir(QFileInfo(registry::StorePath()).absolutePath()).entryList(QDir::Files),
              (QStringList{u"registry"_qs, u"registry.lock"_qs}));
}

TEST_F(Registry, WritersAtTheSameTimeLoseNothing)
{
    constexpr int kEach = 8;
    auto writer = [](char tag) {
        for (int i = 0; i < kEach; ++i)
            registry::SetValue(Hive::LocalMachine, kKey, QString(u"%1%2"_qs).arg(tag).arg(i), "v");
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    for (char tag : {'a', 'b'}) {
        for (int i = 0; i < kEach; ++i)
            EXPECT_TRUE(registry::QueryValue(Hive::LocalMachine, kKey, QString(u"%1%2"_qs).arg(tag).arg(i)))
                << tag << i;
    }
}

TEST_F(Registry, ALockFileLeftByACopyThatDiedHoldsNoWriteBack)
{
    // A copy killed just after making the lock file leaves it empty.
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Antes"_qs, "1"));
    QFile lock(registry::StorePath() + u".lock"_qs);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
    lock.close();

    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Depois"_qs, "2"));
    EXPECT_LT(took.elapsed(), 2000) << "the write waited for a lock nobody holds";
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Antes"_qs), QByteArray("1"));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Depois"_qs), QByteArray("2"));
}

TEST_F(Registry, WhatIsNoStoreReadsAsMissing)
{
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, "Ana"));
    ForEachOddFile(registry::StorePath(), 4 * 1024 * 1024, FileText(),
                   [] { EXPECT_FALSE(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs)); });
}

TEST_F(Registry, AFailedWriteLeavesTheStoreAsItWas)
{
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, "Ana"));
    const QByteArray before = FileText();
    {
        const FileSizeLimit fullDisk(4096);
        EXPECT_FALSE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, QByteArray(8192, 'B')));
    }
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(QDir(QFileInfo(registry::StorePath()).absolutePath()).entryList(QDir::Files),
              (QStringList{u"registry"_qs, u"registry.lock"_qs}));
}

} // namespace
