// Finding sounds and the help file.
#include "platform/datapath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

// Runs a test from a scratch folder holding a "Sons" folder of its own.
class SoundLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = QDir::currentPath();
        ASSERT_TRUE(QDir(work_.path()).mkdir(QStringLiteral("Sons")));
        ASSERT_TRUE(QDir::setCurrent(work_.path()));
        sons_ = QDir(work_.path()).filePath(QStringLiteral("Sons"));
    }
    void TearDown() override { QDir::setCurrent(saved_); }

    QTemporaryDir work_;
    QString saved_;
    QString sons_;
};

TEST_F(SoundLookup, NamesMatchWithoutRegardToCase)
{
    Touch(sons_ + "/correu.wav");
    Touch(sons_ + "/Perdeu1.wav");

    EXPECT_EQ(datapath::SoundFile("Correu.wav"), sons_ + "/correu.wav");
    EXPECT_EQ(datapath::SoundFile("correu.wav"), sons_ + "/correu.wav");
    EXPECT_EQ(datapath::SoundFile("PERDEU1.WAV"), sons_ + "/Perdeu1.wav");
    EXPECT_TRUE(datapath::SoundFile("Perdeu2.wav").isEmpty());
}

TEST_F(SoundLookup, ExactNameWinsAndOnlyPlainNamesAreLookedUp)
{
    Touch(sons_ + "/Chat.wav");
    Touch(sons_ + "/CHAT.wav");
    ASSERT_TRUE(QDir(sons_).mkdir("Pasta.wav"));
    Touch(work_.path() + "/fora.wav");

    EXPECT_EQ(datapath::SoundFile("CHAT.wav"), sons_ + "/CHAT.wav");
    EXPECT_EQ(datapath::SoundFile("Chat.wav"), sons_ + "/Chat.wav");
    EXPECT_TRUE(datapath::SoundFile("pasta.wav").isEmpty()) << "a folder is no sound";
    EXPECT_TRUE(datapath::SoundFile("../fora.wav").isEmpty());
    EXPECT_TRUE(datapath::SoundFile("").isEmpty());
    EXPECT_TRUE(datapath::SoundFile("..").isEmpty());
}

TEST_F(SoundLookup, CurrentFolderComesFirstThenTheProgramsData)
{
    const QStringList folders = datapath::SoundFolders();
    ASSERT_GE(folders.size(), 2);
    EXPECT_EQ(folders.first(), QDir::cleanPath(sons_));
    EXPECT_EQ(folders.at(1), QDir::cleanPath(datapath::ProgramFolder() + "/Sons"));
    EXPECT_EQ(folders.last(), QDir::cleanPath(datapath::InstalledDataFolder() + "/Sons"));
    // Installed, the data lies in share/<program> beside bin/.
    EXPECT_TRUE(datapath::InstalledDataFolder().endsWith("/share/mirvo-vorla"));
    EXPECT_EQ(QDir::cleanPath(datapath::InstalledDataFolder() + "/../../"),
              QDir::cleanPath(datapath::ProgramFolder() + "/.."));
}

} // namespace
