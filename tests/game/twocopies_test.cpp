// A whole network match between two copies of the program: this test program
// runs a second time as the guest, and both players play as fast as the table
// lets them (first card in hand, accept every raise, play every hand at 11).
#include "socket/sockettest.h"
#include "tablefixture.h"

#include "game/frmVorlada.h"
#include "netplay/frmIniciar.h"
#include "socket/CNetSocket.h"

#include <QProcess>

namespace {

const char* const kPortVariable = "MIRVO_TEST_HOST_PORT";

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
        table().Socket.reset();
        TableTest::TearDown();
    }

    // One look at the table, acting where the player may.
    void play()
    {
        if (auto* d = frmIniciar::IfLoaded(); d && d->isVisible()) {
            peerLeft = true;
            d->cmdCancelar.ClickWith();
            return;
        }
        if (auto* d = frmVorlada::IfLoaded(); d && d->isVisible()) {
            d->Retorno(1).ClickWith();
            return;
        }
        if (table().lblbaralho.Visible()) {
            table().picCarta(7).ClickWith();
            return;
        }
        if (Hand.Turn != 1 || Hand.InputLocked || table().PlayInProgress)
            return;
        for (int i = 1; i <= 3; ++i) {
            if (Players(1).Cards(i) != 0 && table().picJog(i).Visible()) {
                table().picJog(i).ClickWith();
                return;
            }
        }
    }

    bool peerLeft = false;

private:
    gametest::Looker player_;
};

TEST_F(TwoCopies, PlayAMatchToItsEndAndAgreeOnTheScore)
{
    const QByteArray port = qgetenv(kPortVariable);
    if (!port.isEmpty()) {
        // The guest: plays until the host leaves, then tells what it saw last.
        Players(1).Name = "Guest";
        table().NewSocket();
        table().Socket->Connect("127.0.0.1", port.toInt());
        int won[3] = {0, 0, 0};
        sockettest::WaitUntil(
            [&] {
                if (!peerLeft) {
                    won[1] = Players(1).MatchesWon;
                    won[2] = Players(2).MatchesWon;
                }
                return peerLeft;
            },
            60000);
        std::printf("RESULT %d %d\n", won[1], won[2]);
        std::fflush(stdout);
        return;
    }

    Players(1).Name = "Host";
    IsServer = true;
    table().NewSocket();
    table().Socket->Bind(0);
    table().Socket->Listen();
    QProcess guest;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kPortVariable, QString::number(table().Socket->LocalPort()));
    guest.setProcessEnvironment(env);
    guest.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=TwoCopies.PlayAMatchToItsEndAndAgreeOnTheScore"});
    ASSERT_TRUE(guest.waitForStarted());
    ASSERT_TRUE(sockettest::WaitUntil([] { return Players(2).Name == "Guest"; }, 10000));
    ASSERT_TRUE(sockettest::WaitUntil([] { return Players(1).MatchesWon + Players(2).MatchesWon >= 1; }, 60000))
        << "points " << int(Players(1).Points) << " to " << int(Players(2).Points);
    // Both copies have scored the same last hand once the next deal has begun.
    sockettest::WaitUntil([this] { return table().picJog(3).Visible(); }, 2000);
    const int hostWon = Players(1).MatchesWon, guestWon = Players(2).MatchesWon;
    table().Socket->CloseSck();
    ASSERT_TRUE(sockettest::WaitUntil([&] { return guest.state() == QProcess::NotRunning; }, 20000));
    const QString out = QString::fromLatin1(guest.readAllStandardOutput());
    const qsizetype at = out.indexOf("RESULT ");
    ASSERT_GE(at, 0) << out.toStdString();
    const QStringList seen = out.mid(at + 7).section('\n', 0, 0).split(' ');
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].toInt(), guestWon) << "the guest counts its own match won";
    EXPECT_EQ(seen[1].toInt(), hostWon);
    EXPECT_EQ(hostWon + guestWon, 1);
}

} // namespace
