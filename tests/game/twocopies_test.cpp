// Network matches between two copies of the program: this test program runs a
// second time as the guest. In the whole match both players play as fast as the
// table lets them, choosing at random: the first card in hand, a raise or a run
// on their turn, any answer to a raise, playing or declining a hand at 11.
#include "socket/sockettest.h"
#include "support/qtprint.h"
#include "tablefixture.h"

#include "game/frmVorlada.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "platform/random.h"
#include "socket/CNetSocket.h"

#include <QProcess>

namespace {

using sockettest::WaitUntil;

const char* const kPortVariable = "MIRVO_TEST_HOST_PORT";

// Generous: the two copies share a loaded machine.
constexpr int kLimitMs = 60000;

class TwoCopies : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        answer = vb::vbYes; // "Você tem 11 pontos!": play the hand
        Hand.NetworkGame = true;
        player_.Start([this] { play(); }, 1);
    }
    void TearDown() override
    {
        player_.Stop();
        if (guest_.state() != QProcess::NotRunning) {
            guest_.kill();
            guest_.waitForFinished();
        }
        table().Socket.reset();
        frmBatePapo::UnloadIfLoaded(); // the next test starts with an empty history
        TableTest::TearDown();
    }

    // The guest's copy when this program runs as one.
    static bool IsGuest() { return !qgetenv(kPortVariable).isEmpty(); }

    // The guest connects to the host of the other copy.
    void JoinAsGuest()
    {
        Players(1).Name = "Guest";
        table().NewSocket();
        table().Socket->Connect("127.0.0.1", qgetenv(kPortVariable).toInt());
    }

    // The host listens and starts the guest's copy, which runs the same test.
    void HostAndStartTheGuest()
    {
        Players(1).Name = "Host";
        IsServer = true;
        table().NewSocket();
        table().Socket->Bind(0);
        table().Socket->Listen();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kPortVariable, QString::number(table().Socket->LocalPort()));
        guest_.setProcessEnvironment(env);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        guest_.start(QCoreApplication::applicationFilePath(),
                     {QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
        ASSERT_TRUE(guest_.waitForStarted());
        ASSERT_TRUE(WaitUntil([] { return Players(2).Name == "Guest"; }, kLimitMs));
    }

    // Leaves the match and returns the line the guest printed after "RESULT ".
    QString LeaveAndReadTheGuest()
    {
        table().Socket->CloseSck();
        if (!WaitUntil([&] { return guest_.state() == QProcess::NotRunning; }, kLimitMs))
            return "the guest did not end";
        const QString out = QString::fromUtf8(guest_.readAllStandardOutput());
        const qsizetype at = out.indexOf("RESULT ");
        return at < 0 ? out : out.mid(at + 7).section('\n', 0, 0);
    }

    // The guest's last word, for the host to read.
    static void Tell(const QString& result)
    {
        std::printf("RESULT %s\n", qUtf8Printable(result));
        std::fflush(stdout);
    }

    // One look at the table, acting where the player may.
    void play()
    {
        if (auto* d = frmIniciar::IfLoaded(); d && d->isVisible()) {
            peerLeft = true;
            d->cmdCancelar.ClickWith();
            return;
        }
        if (table().Socket)
            seen = Score() + "|" + State();
        if (table().lblbaralho.Visible()) {
            table().picCarta(7).ClickWith();
            return;
        }
        if (!playing)
            return;
        if (auto* d = frmVorlada::IfLoaded(); d && d->isVisible()) {
            const int answer = vb::RndUpTo(3); // at "Doze", raising again is no choice
            d->Retorno(d->Retorno(answer).Visible() ? answer : 1).ClickWith();
            return;
        }
        if (Hand.Turn != 1 || Hand.InputLocked || table().PlayInProgress || (holdsAfterAMatch && AMatchEnded()))
            return;
        const int choice = vb::RndUpTo(10);
        if (choice <= 2 && table().lblVorla.Enabled() && Hand.Stake < 12 && Hand.LastRaiser != 1) {
            table().lblVorla.ClickWith();
            return;
        }
        if (choice == 3) {
            table().lblCorrer.ClickWith();
            return;
        }
        for (int i = 1; i <= 3; ++i) {
            if (Players(1).Cards(i) != 0 && table().picJog(i).Visible()) {
                table().picJog(i).ClickWith();
                return;
            }
        }
    }

    static bool AMatchEnded() { return Players(1).MatchesWon + Players(2).MatchesWon >= 1; }
    // Both players' points and matches won, first those of the player of this
    // copy (1) or of the other copy (2).
    static QString Score(int self = 1)
    {
        const int other = 3 - self;
        return QString("%1:%2 %3:%4")
            .arg(Players(self).Points)
            .arg(Players(other).Points)
            .arg(Players(self).MatchesWon)
            .arg(Players(other).MatchesWon);
    }
    // Where the hand stands, for a match that stalls.
    QString State()
    {
        const frmVorlada* d = frmVorlada::IfLoaded();
        return QString("turn %1%2, stake %3, raiser %4, \"%5\"%6")
            .arg(Hand.Turn)
            .arg(Hand.InputLocked ? " locked" : "")
            .arg(Hand.Stake)
            .arg(Hand.LastRaiser)
            .arg(table().lblMens.Caption(), d && d->isVisible() ? ", answering a raise" : "");
    }

    bool peerLeft = false;
    bool playing = true; // plays cards and answers raises, besides cutting
    bool holdsAfterAMatch = false; // once a match has ended, acts no more on its turn
    QString seen; // the score and state while connected, as last looked at

private:
    gametest::Looker player_;
    QProcess guest_;
};

TEST_F(TwoCopies, PlayAMatchWithRaisesAndRunsToItsEndAndAgreeOnTheScore)
{
    for (int i = 0; i < 32; ++i) // "Você tem 11 pontos!": play the hand or decline it
        answers.push_back(vb::RndUpTo(2) == 1 ? vb::vbYes : vb::vbNo);
    if (IsGuest()) {
        // Plays until the host leaves, then tells what it saw last; the host
        // gives up on a stalled match first, so that this tells where it stalled.
        JoinAsGuest();
        WaitUntil([&] { return peerLeft; }, 2 * kLimitMs);
        Tell(seen);
        return;
    }

    // Once a match has ended the host holds its next turn: the guest then waits
    // for it, and both copies have scored every hand.
    holdsAfterAMatch = true;
    HostAndStartTheGuest();
    const bool held = WaitUntil(
        [] { return AMatchEnded() && Hand.Turn == 1 && !Hand.InputLocked && !GameStep::Running(); }, kLimitMs);
    const QString host = Score() + "|" + State(), asTheGuestSeesIt = Score(2);
    const QString guest = LeaveAndReadTheGuest();
    ASSERT_TRUE(held) << "the match stalled: host " << host.toStdString() << "; guest " << guest.toStdString();
    EXPECT_EQ(guest.section('|', 0, 0).toStdString(), asTheGuestSeesIt.toStdString())
        << "host " << host.toStdString();
}

// What a copy holds of the hand: stake, both scores and both hands, from its own side.
QString HandState()
{
    QString state = QString("%1 %2:%3").arg(Hand.Stake).arg(Players(1).Points).arg(Players(2).Points);
    for (int p = 1; p <= 2; ++p)
        for (int i = 1; i <= 3; ++i)
            state += QString(i == 1 ? " %1" : ",%1").arg(Players(p).Cards(i));
    return state;
}

// The same hand seen from the other side: the players change places.
QString FromTheOtherSide(const QString& state)
{
    const QStringList f = state.split(' ');
    return QString("%1 %2 %3 %4").arg(f[0], f[1].section(':', 1) + ":" + f[1].section(':', 0, 0), f[3], f[2]);
}

TEST_F(TwoCopies, ChatLinesHoldingKeywordsInMidHandStayText)
{
    playing = false;
    const QStringList lines = {"Correu:", "Vorla:", "Jogar:#2", "eu digo Vorla: vamos?"};
    if (IsGuest()) {
        JoinAsGuest();
        // The guest leads the first hand; instead of playing it chats.
        if (!WaitUntil([this] { return table().picJog(3).Visible() && !Hand.InputLocked; }, kLimitMs))
            return Tell("no deal");
        frmBatePapo& chat = frmBatePapo::Get();
        for (const QString& line : lines) {
            chat.Enviar.Text = line;
            chat.cmdEnviar.ClickWith();
        }
        if (!WaitUntil([&] { return chat.Chat.Text().contains("Host diz: visto"); }, kLimitMs))
            return Tell("no answer");
        Tell(HandState() + "|" + chat.Chat.Text().split("\r\n", Qt::SkipEmptyParts).join('/'));
        WaitUntil([&] { return peerLeft; }, kLimitMs);
        return;
    }

    HostAndStartTheGuest();
    frmBatePapo& chat = frmBatePapo::Get();
    ASSERT_TRUE(WaitUntil([&] { return chat.Chat.Text().contains("vamos?"); }, kLimitMs));
    chat.Enviar.Text = "visto";
    chat.cmdEnviar.ClickWith();
    // A line is shown cut at its first "#" on the other side, as typed on its own.
    QStringList history, own;
    for (const QString& line : lines) {
        history << "Guest diz: " + QString(line).section('#', 0, 0);
        own << "Guest diz: " + line;
    }
    EXPECT_EQ(chat.Chat.Text().split("\r\n", Qt::SkipEmptyParts), history + QStringList{"Host diz: visto"});
    const QString hostState = HandState();
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_EQ(Players(1).Points + Players(2).Points, 0);
    EXPECT_TRUE(Players(2).Cards(2) != 0 && Players(1).Cards(3) != 0) << hostState.toStdString();

    const QString guest = LeaveAndReadTheGuest();
    ASSERT_TRUE(guest.contains('|')) << guest.toStdString();
    EXPECT_EQ(guest.section('|', 0, 0), FromTheOtherSide(hostState)) << "both copies hold the same hand";
    EXPECT_EQ(guest.section('|', 1), (own + QStringList{"Host diz: visto"}).join('/'))
        << "the guest's history shows its own lines whole too";
}

} // namespace
