#include "platform/files/files.h"
#include "platform/registry.h"
#include "support/folderenv.h"
#include "support/oddfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {

using registry::Hive;

const QString kKey = u"SOFTWARE\\Teste"_qs;
// The longest store that is read, and so the longest that is written.
constexpr qint64 kBound = 4 * 1024 * 1024;

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

    static bool Save(const QByteArray& name)
    {
        return registry::SetValue(Hive::LocalMachine, kKey, QString::fromLatin1(name), name + " novo");
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
    ForEachOddFile(registry::StorePath(), kBound, FileText(),
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

TEST_F(Registry, AHandEditedFileReadsTheSameAndASaveChangesOnlyItsValue)
{
    const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Teste]";
    const std::pair<const char*, QByteArray> cases[] = {
        {"a byte-order mark", "\xEF\xBB\xBF" + key + "\n\"Verso\"=\"3\"\n\"Nome\"=\"Ana\"\n"},
        {"blanks and tabs around a section line", " \t" + key + " \t\n\"Verso\"=\"3\"\n\"Nome\"=\"Ana\"\n"},
        {"blanks and tabs around the equals sign", key + "\n  \"Verso\" = \"3\"\n\"Nome\"\t=\t\"Ana\" \n"},
        {"CRLF line ends", key + "\r\n\"Verso\"=\"3\"\r\n\"Nome\"=\"Ana\"\r\n"},
        {"comments", "; as minhas\n" + key + "\n# verso\n\"Verso\"=\"3\"\n\"Nome\"=\"Ana\"\n"},
        {"a malformed line", key + "\n\"Verso\"=\"3\"\n\"Som\"=\"sem fim\n\"Nome\"=\"Ana\"\n"},
        {"an unknown section", "[Outra coisa]\nchave=valor\n\n" + key + "\n\"Verso\"=\"3\"\n\"Nome\"=\"Ana\"\n"},
    };
    for (const auto& [what, text] : cases) {
        SCOPED_TRACE(what);
        WriteFile(text);
        EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Verso"_qs), QByteArray("3"));
        EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs), QByteArray("Ana"));
        ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, "Bia"));
        const QByteArray changed = QByteArray(text).replace("\"Ana\"", "\"Bia\"");
        EXPECT_EQ(FileText(), changed);
        // A new value is a line of its own after the key's last value.
        ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"IP"_qs, "x"));
        EXPECT_EQ(FileText().replace("\"IP\"=\"x\"\n", ""), changed);
        EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"IP"_qs), QByteArray("x"));
    }
}

TEST_F(Registry, ALinkToAFileStaysAndTheFileKeepsItsPermissions)
{
    QTemporaryDir mine;
    const QString elsewhere = mine.filePath(u"definicoes"_qs);
    const std::pair<const char*, QString> cases[] = {
        {"a plain file", registry::StorePath()},
        {"a link to a file in another folder", elsewhere},
    };
    ASSERT_TRUE(Save("Antes")); // makes the folder
    for (const auto& [what, file] : cases) {
        SCOPED_TRACE(what);
        QFile::remove(registry::StorePath());
        ASSERT_TRUE(files::ReplaceWhole(file, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Teste]\n\"Verso\"=\"3\"\n"));
        ASSERT_TRUE(file == registry::StorePath() || QFile::link(file, registry::StorePath()));
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);

        ASSERT_TRUE(Save("Nome"));
        EXPECT_EQ(QFileInfo(registry::StorePath()).symLinkTarget(), file == elsewhere ? file : QString());
        EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Verso"_qs), QByteArray("3"));
        EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs), QByteArray("Nome novo"));
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
    }
}

TEST_F(Registry, ALinkToAnythingElseIsLeftAlone)
{
    ASSERT_TRUE(Save("Antes"));
    QTemporaryDir mine;
    const QString nowhere = mine.filePath(u"nada"_qs);
    const QString fifo = mine.filePath(u"fifo"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto kind = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
    };
    const QString store = registry::StorePath();
    const std::tuple<const char*, QString, QString> cases[] = {
        {"the store linked to nowhere", store, nowhere},
        {"the store linked to a FIFO", store, fifo},
        {"the lock linked to nowhere", store + u".lock"_qs, nowhere},
    };
    for (const auto& [what, link, target] : cases) {
        SCOPED_TRACE(what);
        const QString aside = mine.filePath(u"guardado"_qs);
        ASSERT_TRUE(QFile::rename(link, aside) && QFile::link(target, link));
        const auto before = kind(target);
        EXPECT_FALSE(Save("Nome"));
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
        EXPECT_EQ(kind(target), before);
        ASSERT_TRUE(QFile::remove(link) && QFile::rename(aside, link));
    }
}

TEST_F(Registry, AStoreIsNeverWrittenPastTheLengthItIsReadUpTo)
{
    const QByteArray start = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Teste]\n\"Nome\"=\"\"\n";
    WriteFile(start);
    const QByteArray filling(kBound - start.size(), 'a');
    ASSERT_TRUE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, filling));
    EXPECT_EQ(registry::QueryValue(Hive::LocalMachine, kKey, u"Nome"_qs), filling);
    const QByteArray atTheBound = FileText();
    EXPECT_FALSE(registry::SetValue(Hive::LocalMachine, kKey, u"Nome"_qs, filling + 'a'));
    EXPECT_FALSE(Save("IP"));
    EXPECT_EQ(FileText(), atTheBound);
}

TEST_F(Registry, ASaveRemovesWhatAKilledSaveLeftAndNothingElse)
{
    ASSERT_TRUE(Save("Antes"));
    // A save writes "registry.saving-" and six letters or digits, then renames it.
    const QStringList left = {u"registry.saving-Ab12Cd"_qs, u"registry.saving-000000"_qs};
    const QStringList others = {u"registry.saving-Ab12C"_qs, u"registry.saving-Ab12Cde"_qs,
                                u"registry.saving-Ab.2Cd"_qs, u"registry.backup"_qs, u"outro.saving-Ab12Cd"_qs};
    const QDir folder = QFileInfo(registry::StorePath()).dir();
    for (const QString& name : left + others)
        ASSERT_TRUE(files::ReplaceWhole(folder.filePath(name), "x"));
    ASSERT_TRUE(Save("Nome"));
    QStringList there = folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    QStringList kept = others + QStringList{u"registry"_qs, u"registry.lock"_qs};
    there.sort();
    kept.sort();
    EXPECT_EQ(there, kept);
}

} // namespace
