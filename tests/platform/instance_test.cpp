#include "platform/instance.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Exit codes of a peer, a copy of this test program that plays another copy of
// the game and ends before any test runs.
// Apart from 0, so that a peer that did not play its role cannot pass for one.
enum PeerExit { Activated = 10, NoCopy, NotFound, NotListening, TimedOut };

const char kPeerVariable[] = "MIRVO_INSTANCE_PEER";
const QString kTitle = u"Mirvo Vorla"_qs;
const QString kCancelled = u"Instancia Cancelada"_qs;

// The peer's roles, "<role>:<title>":
//   second  starts as the game does: a copy already running under the title
//           is asked to come to the front, and the peer ends;
//   crash   answers under the title, then dies leaving its socket behind;
//   hold    answers under the title until asked to activate.
void RunAsPeer()
{
    const QString order = qEnvironmentVariable(kPeerVariable);
    if (order.isEmpty())
        return;
    const QString role = order.section(u':', 0, 0);
    const QString title = order.section(u':', 1);
    instance::SetTitle(title);
    if (role == u"second") {
        if (!instance::PrevInstance())
            _Exit(NoCopy);
        const QString kept = instance::Title();
        instance::SetTitle(kCancelled);
        _Exit(instance::ActivateCopyTitled(kept) ? Activated : NotFound);
    }
    if (!QFileInfo::exists(instance::ServerName(title)))
        _Exit(NotListening);
    if (role == u"crash")
        _Exit(Activated);
    instance::SetActivateHandler([] { _Exit(Activated); });
    std::puts("ready");
    std::fflush(stdout);
    QEventLoop loop;
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    _Exit(TimedOut);
}
Q_COREAPP_STARTUP_FUNCTION(RunAsPeer)

class Instance : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = qgetenv("XDG_RUNTIME_DIR");
        savedDisplay_ = qgetenv("DISPLAY");
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        qputenv("DISPLAY", ":5");
        instance::SetActivateHandler([this] { ++activations_; });
    }
    void TearDown() override
    {
        instance::SetActivateHandler({});
        instance::SetTitle(u"fim do teste"_qs); // stops answering under the test's titles
        qputenv("XDG_RUNTIME_DIR", saved_);
        qputenv("DISPLAY", savedDisplay_);
    }

    void StartPeer(QProcess& peer, const QString& role, const QString& title, const QString& display = u":5"_qs)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kPeerVariable), role + u':' + title);
        env.insert(u"DISPLAY"_qs, display);
        peer.setProcessEnvironment(env);
        peer.start(QCoreApplication::applicationFilePath(), {u"--gtest_list_tests"_qs});
        ASSERT_TRUE(peer.waitForStarted());
    }

    // Runs a peer to its end while this copy keeps answering, then lets the
    // activations it asked for run. Returns its exit code.
    int RunPeer(const QString& role, const QString& title, const QString& display = u":5"_qs)
    {
        QProcess peer;
        StartPeer(peer, role, title, display);
        QEventLoop loop;
        QObject::connect(&peer, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        if (peer.state() != QProcess::NotRunning)
            loop.exec();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return peer.state() == QProcess::NotRunning && peer.exitStatus() == QProcess::NormalExit
                   ? peer.exitCode()
                   : -1;
    }

    QTemporaryDir runtime_;
    QByteArray saved_;
    QByteArray savedDisplay_;
    int activations_ = 0;
};

TEST_F(Instance, ASecondCopyAsksTheFirstToActivateAndEnds)
{
    instance::SetTitle(kTitle);
    EXPECT_FALSE(instance::PrevInstance());
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle), Activated);
    EXPECT_EQ(activations_, 1);
    // The first copy goes on answering; the second left its socket behind.
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle), Activated);
    EXPECT_EQ(activations_, 2);
    EXPECT_EQ(instance::Title(), kTitle);
}

TEST_F(Instance, OnlyACopyOnTheSameDisplayCounts)
{
    instance::SetTitle(kTitle);
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle, u":6"_qs), NoCopy) << "another display is another session";
    EXPECT_EQ(activations_, 0);
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle, u":5.0"_qs), Activated) << "screen 0 of the same display";
    EXPECT_EQ(activations_, 1);
}

TEST_F(Instance, WithoutARunningCopyTheSecondStartsNormally)
{
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle), NoCopy);
    EXPECT_FALSE(instance::ActivateCopyTitled(kTitle));
    EXPECT_EQ(activations_, 0);
}

TEST_F(Instance, AChangedTitleNoLongerAnswersUnderTheOldOne)
{
    instance::SetTitle(kTitle);
    instance::SetTitle(kCancelled);
    EXPECT_EQ(instance::Title(), kCancelled);
    EXPECT_FALSE(QFileInfo::exists(instance::ServerName(kTitle)));
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle), NoCopy);
    EXPECT_EQ(RunPeer(u"second"_qs, kCancelled), Activated);
    EXPECT_EQ(activations_, 1);
}

TEST_F(Instance, TheSocketOfACrashedCopyDoesNotBlockAStart)
{
    ASSERT_EQ(RunPeer(u"crash"_qs, kTitle), Activated);
    ASSERT_TRUE(QFileInfo::exists(instance::ServerName(kTitle)));
    instance::SetTitle(kTitle);
    EXPECT_FALSE(instance::PrevInstance());
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle), Activated);
    EXPECT_EQ(activations_, 1);
}

TEST_F(Instance, ASocketNoOneListensOnDoesNotBlockAStart)
{
    // Bound but never listening: what a copy killed at the wrong moment leaves.
    const QByteArray path = QFile::encodeName(instance::ServerName(kTitle));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(std::size_t(path.size()), sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
    instance::SetTitle(kTitle);
    EXPECT_EQ(RunPeer(u"second"_qs, kTitle), Activated);
}

TEST_F(Instance, ThisCopyFindsALiveCopyAndLeavesItsSocketAlone)
{
    QProcess first;
    StartPeer(first, u"hold"_qs, kTitle);
    ASSERT_TRUE(first.waitForReadyRead(20000));
    ASSERT_EQ(first.readLine().trimmed(), "ready");
    // The start-up steps of a second copy, run here.
    instance::SetTitle(kTitle);
    ASSERT_TRUE(instance::PrevInstance());
    const QString kept = instance::Title();
    instance::SetTitle(kCancelled);
    EXPECT_TRUE(instance::ActivateCopyTitled(kept));
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), Activated);
    EXPECT_EQ(activations_, 0);
}

TEST_F(Instance, LongTitlesGetShortSocketNamesOfTheirOwn)
{
    const QString a(300, u'a');
    const QString b = QString(299, u'a') + u'b';
    EXPECT_LE(QFile::encodeName(instance::ServerName(a)).size(), 107);
    EXPECT_NE(instance::ServerName(a), instance::ServerName(b));
    EXPECT_NE(instance::ServerName(u"a/b"_qs), instance::ServerName(u"a_b"_qs));
    EXPECT_EQ(QFileInfo(instance::ServerName(u"../x/y"_qs)).absolutePath(), runtime_.path());
}

TEST_F(Instance, WithoutARuntimeFolderSocketsGoToAPrivateTemporaryFolder)
{
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    qunsetenv("XDG_RUNTIME_DIR");
    const QString name = instance::ServerName(kTitle);
    const QString folder = temp.path() + u"/mirvo-vorla-"_qs + QString::number(geteuid());
    const auto permissions = QFileInfo(folder).permissions();
    // A folder others may enter is not private: no socket goes there.
    QFile::setPermissions(folder, permissions | QFile::ReadOther | QFile::ExeOther);
    const QString opened = instance::ServerName(kTitle);
    qputenv("TMPDIR", savedTemp);
    EXPECT_EQ(QFileInfo(name).absolutePath(), folder);
    EXPECT_EQ(permissions & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                              | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::Permissions());
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
