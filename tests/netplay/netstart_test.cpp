// The host's side of a network start: the game port, the waiting window and
// its answer to searching guests, and the chat window's sending.
#include "game/tablefixture.h"
#include "socket/sockettest.h"

#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "netplay/addressecho.h"
#include "netplay/frmListen.h"
#include "netplay/netstart.h"
#include "widgets/httpserver.h"
#include "socket/CNetSocket.h"

namespace {

using sockettest::WaitUntil;

class HostStart : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        Hand.NetworkGame = true;
        IsServer = true;
        Hand.DirtyDeck = false;
        Hand.NewManilha = true;
    }
    void TearDown() override
    {
        for (int fd : fds)
            ::close(fd);
        frmListen::UnloadIfLoaded();
        frmIniciar::UnloadIfLoaded();
        frmBatePapo::UnloadIfLoaded();
        table().Socket.reset();
        IsServer = false;
        TableTest::TearDown();
    }

    // Runs the start; while the waiting window is shown, runs the test's part.
    void StartWaiting(const std::function<void(frmListen&)>& whileWaiting)
    {
        // Posted before the start, so it runs inside the waiting window's own loop.
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            ASSERT_TRUE(frmListen::Loaded() && frmListen::Get().isVisible()) << "the host is not waiting";
            whileWaiting(frmListen::Get());
        });
        StartNetworkGame();
        if (!ran)
            ADD_FAILURE() << "the start returned without showing the waiting window"
                          << (boxes.empty() ? "" : ": " + boxes.back().prompt.toStdString());
    }

    int connectTo(int port)
    {
        const int fd = winsocktest::RawConnect(port);
        if (fd >= 0)
            fds.push_back(fd);
        return fd;
    }

    std::vector<int> fds;
};

TEST_F(HostStart, TheGuestsArrivalClosesTheWaitingWindowAndTheHostAnswersItsName)
{
    frmIniciar::Get().Show();
    Players(1).Points = 7; // the host starts the match over, as the guest does
    int guest = -1;
    StartWaiting([&](frmListen& waiting) {
        EXPECT_FALSE(frmIniciar::Loaded()) << "the dialog goes once the host waits";
        EXPECT_EQ(table().Socket->State(), sckListening);
        EXPECT_EQ(table().Socket->LocalPort(), GamePort);
        EXPECT_GE(waiting.List1.ListCount(), 1);
        guest = connectTo(GamePort);
    });
    EXPECT_FALSE(frmListen::Loaded());
    ASSERT_GE(guest, 0);
    EXPECT_EQ(table().Socket->State(), sckConnected);
    EXPECT_EQ(Players(1).Points, 0);

    winsocktest::RawWrite(guest, "Nome:#Zeca");
    EXPECT_EQ(winsocktest::RawRead(guest, 27), QByteArray("Dados:#Ana#False#True#False"));
    EXPECT_EQ(Players(2).Name, "Zeca");
    EXPECT_EQ(Hand.Turn, 2);
    EXPECT_TRUE(Hand.PlayerLeads);
    EXPECT_EQ(table().lblMens.Caption(), QString::fromUtf8("Aguardando aguardando confirmação para começar o jogo!"));
    EXPECT_TRUE(frmBatePapo::Loaded() && frmBatePapo::Get().isVisible());
    EXPECT_FALSE(table().lblMenu(1).Enabled());
}

TEST_F(HostStart, ATakenGamePortShowsWhyAndLeavesTheTableWithoutASocket)
{
    const int taken = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(GamePort);
    ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
    ::listen(taken, 1);
    fds.push_back(taken);
    frmIniciar::Get().Show();
    table().lblMens.Caption = "algo";
    StartNetworkGame();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt,
              QString::fromUtf8("Não foi possível abrir a porta para o servidor! As causas possíveis são:\r\n"
                                "1 - Você já têm o servidor aberto em outra janela.\r\n"
                                "2 - Algum programa de proteção (como Firewalls, Wingate) não está permitindo a "
                                "abertura da porta."));
    EXPECT_EQ(boxes[0].style, vb::vbCritical);
    EXPECT_FALSE(table().Socket);
    EXPECT_EQ(table().lblMens.Caption(), "");
    EXPECT_TRUE(frmIniciar::Loaded()) << "the player is back in the dialog";
    EXPECT_FALSE(frmListen::Loaded());
}

TEST_F(HostStart, TheWaitingWindowAnswersOneSearcherAtATimeWithThePlayersName)
{
    vb::SetPaceFactor(1); // a searcher that stays is held for the whole bound, seconds
    Players(1).Name = QString::fromUtf8("Joé");
    StartWaiting([&](frmListen& waiting) {
        const int first = connectTo(1244);
        ASSERT_GE(first, 0);
        EXPECT_EQ(winsocktest::RawRead(first, 3), QByteArray("Jo\xE9")) << "the bare name, one byte a letter";
        EXPECT_LT(connectTo(1244), 0) << "a second searcher is refused meanwhile";
        ::close(first);
        fds.erase(std::find(fds.begin(), fds.end(), first));
        ASSERT_TRUE(WaitUntil([&] { return waiting.Localizador->State() == sckListening; }));
        const int third = connectTo(1244);
        ASSERT_GE(third, 0);
        EXPECT_EQ(winsocktest::RawRead(third, 3), QByteArray("Jo\xE9"));

        // The host gives up: the game port closes and the dialog is shown again.
        QTimer::singleShot(0, [] {
            vb::WaitUntil([] { return frmIniciar::Loaded() && frmIniciar::Get().isVisible(); });
            EXPECT_EQ(frmVorla::Get().Socket->State(), sckClosed);
            frmIniciar::Get().cmdCancelar.ClickWith();
        });
        waiting.cmdCancelar.ClickWith();
    });
    EXPECT_FALSE(frmListen::Loaded());
    EXPECT_LT(connectTo(1244), 0) << "the search port closes with the window";
    EXPECT_LT(connectTo(GamePort), 0);
}

// However a search connection ends, the next searcher gets the name; one that
// stays after the name is closed by the host (at once at the tests' pace, and
// out of the tests' reach where the searcher ends it).
TEST_F(HostStart, EveryEndOfASearchConnectionLeavesTheHostFindable)
{
    Players(1).Name = "Ana";
    const std::vector<std::tuple<const char*, double, std::function<void(int)>>> endings = {
        {"reset before the name", 10, winsocktest::RawReset},
        {"reset after the name", 10, [](int fd) { winsocktest::RawRead(fd, 3); winsocktest::RawReset(fd); }},
        {"orderly close", 10, ::close},
        {"silent searcher", 0,
         [](int fd) {
             EXPECT_EQ(winsocktest::RawRead(fd, 1 << 16), QByteArray("Ana"));
             char c;
             EXPECT_EQ(::recv(fd, &c, 1, MSG_DONTWAIT), 0) << "the host closes";
             ::close(fd);
         }},
    };
    // A searcher probes again, as a later search would, until it is let in or has the name.
    const auto connected = [] {
        int fd = -1;
        WaitUntil([&] { return (fd = winsocktest::RawConnect(1244)) >= 0; });
        return fd;
    };
    const auto findsTheName = [] {
        const int fd = winsocktest::RawConnect(1244);
        const bool found = fd >= 0 && winsocktest::RawRead(fd, 3) == "Ana";
        ::close(fd);
        return found;
    };
    StartWaiting([&](frmListen& waiting) {
        for (const auto& [how, pace, end] : endings) {
            vb::SetPaceFactor(pace);
            end(connected());
            if (!WaitUntil(findsTheName)) {
                ADD_FAILURE() << "the host is not found after a " << how;
                break;
            }
        }
        QTimer::singleShot(0, [] { frmIniciar::Get().cmdCancelar.ClickWith(); });
        waiting.cmdCancelar.ClickWith();
    });
}

TEST_F(HostStart, WithOneAddressTheWaitingWindowAlsoListsTheExternalOneFromTheEchoPage)
{
    // Inside the test's namespace the machine has the loopback address alone.
    LocalHttpServer echo;
    echo.Route("/ip", {"200 OK", "<html><body>Current IP Address: 203.0.113.9 </body></html>"});
    qputenv("MIRVO_ADDRESS_ECHO_URL", echo.Url("/ip").toLatin1());
    QStringList listed;
    // The page is read while the window shows: look again until its line is
    // there (or a while has passed), then give up waiting.
    int looks = 0;
    std::function<void()> look = [&] {
        frmListen& waiting = frmListen::Get();
        if (waiting.List1.ListCount() < 2 && ++looks < 200) {
            QTimer::singleShot(10, look);
            return;
        }
        for (int i = 0; i < waiting.List1.ListCount(); ++i)
            listed << waiting.List1.List(i);
        // Giving up shows the new-game dialog again, modally: cancel that too.
        QTimer::singleShot(0, [] { frmIniciar::Get().cmdCancelar.ClickWith(); });
        waiting.cmdCancelar.ClickWith();
    };
    StartWaiting([&](frmListen&) { look(); });
    qputenv("MIRVO_ADDRESS_ECHO_URL", "");
    EXPECT_EQ(listed, (QStringList{"127.0.0.1", "203.0.113.9"}));
    ASSERT_EQ(echo.Requests.size(), 1);
}

TEST(WaitingWindow, TextBetweenMarksAndTheBeadsTurningAtBothEnds)
{
    EXPECT_EQ(GetTextBetween("<b>ADDRESS: 1.2.3.4</b>", "Address:", "</"), " 1.2.3.4");
    EXPECT_EQ(GetTextBetween("Address: 1.2.3.4", "Address:", "</"), "");
    EXPECT_EQ(GetTextBetween("nada</b>", "Address:", "</"), "");

    frmListen& w = frmListen::Get();
    w.AnimationTimer.Enabled = false;
    w.AnimationTimer_Timer();
    EXPECT_EQ(w.ImgGo.Picture(), w.imgRight.Picture()) << "the first tick turns right at the left end";
    EXPECT_EQ(w.ImgGo.Left(), 0);
    int ticks = 0;
    while (w.ImgGo.Picture() == w.imgRight.Picture() && ++ticks < 100)
        w.AnimationTimer_Timer();
    // 2790 - (330 + 75) = 2385: the beads turn at the first step at or past it.
    EXPECT_EQ(w.ImgGo.Left(), 2400);
    w.AnimationTimer_Timer();
    EXPECT_EQ(w.ImgGo.Left(), 2300);
    w.Unload();
}

class ChatWindow : public TableTest {
protected:
    void TearDown() override
    {
        frmBatePapo::UnloadIfLoaded();
        table().Socket.reset();
        TableTest::TearDown();
    }
    // What the other end got: waited for, or looked for a moment only where
    // nothing should come.
    QString received(sockettest::Connection& link, int waitMs = winsocktest::kGenerousMs)
    {
        WaitUntil([&] { return !link.serverLog.isEmpty(); }, waitMs);
        link.serverLog.clear();
        vb::Variant data;
        link.server->GetData(data, vb::vbString);
        return data.ToString();
    }
};

TEST_F(ChatWindow, LinesAreSentWholeAndWrittenToTheOwnHistory)
{
    sockettest::Connection link;
    table().Socket = link.client;
    Hand.NetworkGame = true;
    frmBatePapo& chat = frmBatePapo::Get();
    chat.Show();
    chat.Enviar.SetFocus();
    chat.Enviar.RaiseKeys("\r");
    EXPECT_EQ(received(link, 500), "") << "an empty line sends nothing";
    EXPECT_EQ(chat.Chat.Text(), "");

    chat.Enviar.Text = "oi #1";
    chat.Enviar.RaiseKeys("\r");
    EXPECT_EQ(received(link), "Chat:#oi #1");
    EXPECT_EQ(chat.Chat.Text(), "Ana diz: oi #1\r\n");
    EXPECT_EQ(chat.Enviar.Text(), "");

    chat.cmdAlerta.ClickWith();
    EXPECT_EQ(received(link), "Alerta:");
    EXPECT_EQ(chat.Chat.Text(), "Ana diz: oi #1\r\n") << "a nudge that went leaves the history";

    // The hidden word turns the opponent's cards up and sends nothing; another case is a line.
    Players(2).Cards(1) = 9;
    Players(2).Cards(2) = 0; // played
    table().picMac(1).Visible = true;
    table().picMac(2).Visible = true;
    table().picMac(2).Picture = table().Verso(1).Picture();
    chat.Enviar.Text = "Quorp";
    chat.cmdEnviar.ClickWith();
    EXPECT_EQ(received(link, 500), "");
    EXPECT_EQ(table().picMac(1).Picture(), table().Frente(9).Picture());
    EXPECT_EQ(table().picMac(2).Picture(), table().Verso(1).Picture());
    chat.Enviar.Text = "quorp";
    chat.cmdEnviar.ClickWith();
    EXPECT_EQ(received(link), "Chat:#quorp");

    // Without the connection: a line goes nowhere; the nudge wipes the history with the notice.
    link.client->CloseSck();
    chat.Enviar.Text = "ola";
    chat.cmdEnviar.ClickWith();
    EXPECT_EQ(chat.Enviar.Text(), "ola");
    chat.cmdAlerta.ClickWith();
    EXPECT_EQ(chat.Chat.Text(),
              QString::fromUtf8("\r\nSeu contato parece estar offline, assim, você não pode pedir sua atenção"));
    EXPECT_EQ(chat.Chat.BackColor(), frmBatePapo::FlashColour);
    EXPECT_TRUE(WaitUntil([&] { return chat.Chat.BackColor() == frmBatePapo::HistoryColour; }));
}

} // namespace
