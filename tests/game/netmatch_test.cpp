// A network match between this table and a scripted peer speaking the game
// messages over a loopback connection.
#include "socket/sockettest.h"
#include "tablefixture.h"

#include "game/netmessage.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "shell/modReg.h"
#include "platform/winsock/winsock.h"
#include "socket/CNetSocket.h"

#include <thread>

namespace {

using sockettest::WaitUntil;

// The other copy: a plain socket that the table, as the guest, connects to, or
// that connected to the table as the host.
class Peer {
public:
    // A guest already connected to the table, on fd.
    explicit Peer(int connected) : fd(connected) {}
    Peer()
    {
        int port = 0;
        listener_ = winsocktest::RawListen(&port);
        frmVorla& table = frmVorla::Get();
        table.NewSocket();
        table.Socket->Connect("127.0.0.1", port);
        fd = ::accept(listener_, nullptr, nullptr);
    }
    ~Peer()
    {
        if (fd >= 0)
            ::close(fd);
        if (listener_ >= 0)
            ::close(listener_);
    }
    void Send(const QString& text) { winsocktest::RawWrite(fd, text.toLatin1()); }
    // The next bytes the table sent, as many as the text expected has.
    QString Next(const QString& expected) { return QString::fromLatin1(winsocktest::RawRead(fd, expected.size())); }
    bool Nothing() { return !winsocktest::Readable(fd); }
    // The deal the table sent: "Cartas:" and its nine "#".
    QString NextDeal()
    {
        QString whole;
        while (whole.count('#') < 9 && whole.size() < 40)
            whole += Next("x");
        return whole;
    }
    // The table closed the connection (and sent nothing more).
    bool Closed()
    {
        char c = 0;
        return WaitUntil([&] { return winsocktest::Readable(fd); }) && ::recv(fd, &c, 1, 0) == 0;
    }
    void Leave()
    {
        ::close(fd);
        fd = -1;
    }

    int fd = -1;

private:
    int listener_ = -1;
};

class NetworkMatch : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        Hand.NetworkGame = true;
        ServerIP = "10.0.0.7";
        // The new-game dialog, when it opens, is closed the way the player cancels it.
        dialogs_.setInterval(1);
        QObject::connect(&dialogs_, &QTimer::timeout, [this] {
            if (auto* d = frmIniciar::IfLoaded(); d && d->isVisible()) {
                ++newGameDialogs;
                newGame(*d);
            }
        });
        dialogs_.start();
    }
    void TearDown() override
    {
        dialogs_.stop();
        frmBatePapo::UnloadIfLoaded();
        table().Socket.reset();
        TableTest::TearDown();
    }

    // The guest's start: connected, names and options exchanged, asking for the deal.
    void Start(Peer& peer)
    {
        ASSERT_EQ(peer.Next("Nome:#Ana"), "Nome:#Ana");
        peer.Send("Dados:#Rui#True#False#False");
        ASSERT_EQ(peer.Next("Iniciar:"), "Iniciar:");
    }

    // The table hosts: it listens, and returns the port the guest connects to.
    std::uint16_t Listen()
    {
        Hand.NetworkGame = true;
        table().NewSocket();
        table().Socket->Bind(0);
        table().Socket->Listen();
        return table().Socket->LocalPort();
    }
    bool Connected() { return WaitUntil([&] { return table().Socket->State() == sckConnected; }); }

    // The peer deals: its hand 1, 2, 3 (the low fours), the table's 5, 6, 7 (fives), turned card 40.
    void Deal(Peer& peer)
    {
        peer.Send("Cartas:##1#2#3#5#6#7#40#");
        ASSERT_TRUE(WaitUntil([&] { return table().picJog(3).Visible && !Hand.InputLocked; }));
    }

    // The table plays the card of its first slot, face up.
    void PlayFirstCard(Peer& peer)
    {
        table().picJog(1).ClickWith();
        ASSERT_EQ(peer.Next("Jogar:#1"), "Jogar:#1");
    }

    int newGameDialogs = 0;
    std::function<void(frmIniciar&)> newGame = [](frmIniciar& d) { d.cmdCancelar.ClickWith(); };

private:
    QTimer dialogs_;
};

TEST_F(NetworkMatch, TheGuestTakesTheHostsNameAndRulesAndDealsTheCardsItIsSent)
{
    Hand.NewManilha = true;
    Hand.DirtyDeck = false;
    Players(1).Points = 5; // the guest's match starts over when it connects
    Peer peer;
    Start(peer);
    EXPECT_EQ(Players(2).Name, "Rui");
    EXPECT_TRUE(Hand.DirtyDeck);
    EXPECT_FALSE(Hand.NewManilha);
    EXPECT_FALSE(Hand.PlayInDark);
    EXPECT_EQ(Players(1).Points, 0);
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, SettingsKey, "IP", ""), "10.0.0.7");
    ASSERT_TRUE(frmBatePapo::Loaded());
    EXPECT_TRUE(frmBatePapo::Get().isVisible());
    EXPECT_FALSE(table().lblMenu(1).Enabled()) << "no options while connected";
    EXPECT_EQ(table().lblNome(2).Caption(), "Rui");

    Deal(peer);
    EXPECT_EQ(Players(1).Cards(1), 5);
    EXPECT_EQ(Players(1).Cards(3), 7);
    EXPECT_EQ(Players(2).Cards(1), 1);
    EXPECT_EQ(Hand.Vira, 40);
    EXPECT_EQ(Hand.Turn, 1);
    EXPECT_EQ(table().lblMens.Caption(), QString::fromUtf8("Você começa o jogo!"));

    // A deal nobody asked for is ignored.
    peer.Send("Cartas:##11#12#13#15#16#17#20#");
    winsocktest::ProcessFor(50);
    EXPECT_EQ(Players(1).Cards(1), 5);
}

TEST_F(NetworkMatch, PlaysAnswersAndRunsTravelBothWays)
{
    Peer peer;
    Start(peer);
    Deal(peer);

    // The peer's play arrives while the table's own card is still flying: it is
    // applied after the local play has landed, and the round is decided once.
    peer.Send("Jogar:#2");
    table().picJog(1).ClickWith();
    EXPECT_EQ(peer.Next("Jogar:#1"), "Jogar:#1");
    ASSERT_TRUE(WaitUntil([] { return Hand.RoundNo == 2; }));
    EXPECT_EQ(Hand.RoundWinner(1), 1) << "a five beats a four";
    EXPECT_EQ(Hand.Turn, 1);
    EXPECT_EQ(Players(2).Cards(2), 0);
    EXPECT_TRUE(table().Jogada2(1).Visible());
    EXPECT_EQ(table().Jogada2(1).Picture(), table().Frente(2).Picture());

    // A play out of turn, of an empty slot or out of range changes nothing.
    peer.Send("Jogar:#1");
    peer.Send("Descarta:#2");
    peer.Send("Jogar:#7");
    winsocktest::ProcessFor(50);
    EXPECT_EQ(Players(2).Cards(1), 1);
    EXPECT_FALSE(Players(2).FaceDown);

    // The table raises; the peer raises back to six; the player accepts.
    gametest::RaiseAnswerer answerer({1});
    table().lblVorla.ClickWith();
    EXPECT_EQ(peer.Next("Vorla:"), "Vorla:");
    peer.Send("ReageVorla:#2");
    EXPECT_EQ(peer.Next("ReageVorla:#1"), "ReageVorla:#1");
    ASSERT_EQ(answerer.offers.size(), 1u);
    EXPECT_EQ(answerer.offers[0].stake, 3) << "the dialog opens at the peer's stake";
    EXPECT_EQ(Hand.Stake, 6);
    EXPECT_FALSE(Hand.InputLocked);
    peer.Send("ReageVorla:#1");
    winsocktest::ProcessFor(50);
    EXPECT_EQ(Hand.Stake, 6) << "an answer nobody asked for changes nothing";

    // The peer runs: the table scores the stake and, leading next, asks for the deal.
    peer.Send("Correu:");
    EXPECT_EQ(peer.Next("Iniciar:"), "Iniciar:");
    EXPECT_EQ(Players(1).Points, 6);
    EXPECT_EQ(table().lblMens.Caption(), QString::fromUtf8("Aguarde o adversário cortar o baralho!"));
}

TEST_F(NetworkMatch, TheTableDealsWhenAskedAndSendsTheCardsItDealt)
{
    CutWhenAsked();
    Peer peer;
    Start(peer);
    Deal(peer);
    peer.Send("Correu:"); // the hand ends at once; the table leads next and asks
    ASSERT_EQ(peer.Next("Iniciar:"), "Iniciar:");
    peer.Send("Cartas:##11#12#13#21#22#23#30#");
    ASSERT_TRUE(WaitUntil([&] { return Players(1).Cards(1) == 21 && table().picMac(3).Visible; }));
    peer.Send("Correu:"); // now the peer leads and the table deals
    ASSERT_TRUE(WaitUntil([] { return Players(1).Points == 2; }));
    peer.Send("Iniciar:");
    const QString whole = peer.NextDeal();
    ASSERT_TRUE(WaitUntil([&] { return table().picMac(3).Visible(); }));
    const GameMessage m = ReadMessage(whole);
    ASSERT_EQ(m.kind, GameMessage::Cartas) << whole.toStdString();
    EXPECT_GE(cutsMade, 1);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(m.cards[i - 1], Players(1).Cards(i)) << "the dealer's own cards come first";
        EXPECT_EQ(m.cards[i + 2], Players(2).Cards(i));
    }
    EXPECT_EQ(m.cards[6], Hand.Vira);
}

TEST_F(NetworkMatch, GameMessagesWaitForARunningStepWhileChatLinesDoNot)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    PlayFirstCard(peer);
    {
        const GameStep step;
        peer.Send("Jogar:#2");
        peer.Send("Chat:#vai");
        ASSERT_TRUE(WaitUntil([] { return frmBatePapo::Get().Chat.Text().contains("vai"); }));
        winsocktest::ProcessFor(50);
        EXPECT_EQ(Players(2).Cards(2), 2) << "the play waits for the step";
        EXPECT_EQ(Hand.RoundNo, 1);
    }
    ASSERT_TRUE(WaitUntil([] { return Hand.RoundNo == 2; }));
    EXPECT_EQ(Players(2).Cards(2), 0);
    EXPECT_EQ(Hand.RoundWinner(1), 1);
}

TEST_F(NetworkMatch, ChatLinesAndNudgesReachTheChatWindow)
{
    Peer peer;
    Start(peer);
    frmBatePapo& chat = frmBatePapo::Get();
    peer.Send("Chat:#bom jogo#resto");
    ASSERT_TRUE(WaitUntil([&] { return chat.Chat.Text().contains("diz"); }));
    EXPECT_EQ(chat.Chat.Text(), "Rui diz: bom jogo\r\n") << "cut before its first #";
    EXPECT_TRUE(WaitUntil([&] { return chat.Chat.BackColor() == frmBatePapo::HistoryColour; }));
    const int top = chat.Top;
    peer.Send("Alerta:Chat:#de novo");
    ASSERT_TRUE(WaitUntil([&] { return chat.Chat.Text().contains("de novo"); }));
    EXPECT_EQ(chat.Chat.Text(), "Rui diz: bom jogo\r\nRui diz: de novo\r\n");
    EXPECT_EQ(chat.Top, top) << "the nudge ends where it started";
    peer.Send("Chat:#meu Nome: Ana 5");
    peer.Send("Chat:#os Dados: vamos la");
    ASSERT_TRUE(WaitUntil([&] { return chat.Chat.Text().contains("Rui diz: os "); }));
    EXPECT_TRUE(chat.Chat.Text().endsWith("Rui diz: meu Nome: Ana 5\r\nRui diz: os Dados: vamos la\r\n"))
        << "the name or rules keyword without its \"#\" is typed text";
}

TEST_F(NetworkMatch, ThePeerLeavingDuringTheCutEndsTheMatchAndOffersANewGame)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    peer.Send("Correu:");
    ASSERT_EQ(peer.Next("Iniciar:"), "Iniciar:");
    peer.Send("Cartas:##11#12#13#21#22#23#30#");
    peer.Send("Correu:");
    ASSERT_TRUE(WaitUntil([] { return Players(1).Points == 2; }));
    // The table waits for the cut inside the reader; the peer leaves meanwhile.
    bool waitedForCut = false;
    QTimer leave;
    leave.setInterval(1);
    QObject::connect(&leave, &QTimer::timeout, [&] {
        if (peer.fd >= 0 && table().lblbaralho.Visible()) {
            waitedForCut = true;
            peer.Leave();
        }
    });
    leave.start();
    peer.Send("Iniciar:");
    ASSERT_TRUE(WaitUntil([&] { return newGameDialogs == 1; }));
    EXPECT_TRUE(waitedForCut);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "Rui saiu do Jogo!");
    EXPECT_EQ(boxes[0].style, vb::vbInformation);
    EXPECT_FALSE(table().lblbaralho.Visible());
    EXPECT_FALSE(table().picCarta(1).Visible());
    EXPECT_EQ(Players(1).Points, 0);
    EXPECT_EQ(Players(2).Name, "");
    EXPECT_FALSE(frmBatePapo::Loaded());
    EXPECT_TRUE(table().lblMenu(1).Enabled());
    EXPECT_TRUE(table().lblVorla.Enabled());
    EXPECT_FALSE(Hand.NetworkGame) << "the table plays no network game any more";
    winsocktest::ProcessFor(50);
    EXPECT_FALSE(table().picJog(1).Visible()) << "the cut that was waiting dealt nothing";
}

TEST_F(NetworkMatch, ThePeerLeavingWhileItsRaiseIsAnsweredClosesTheAnswerDialog)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    PlayFirstCard(peer);
    peer.Send("Jogar:#2");
    ASSERT_TRUE(WaitUntil([] { return Hand.RoundNo == 2 && !Hand.InputLocked; }));
    Hand.Turn = 2; // the peer's turn, as after a round it won
    QTimer leave;
    leave.setInterval(1);
    QObject::connect(&leave, &QTimer::timeout, [&] {
        if (peer.fd >= 0 && frmVorlada::Loaded() && frmVorlada::Get().isVisible())
            peer.Leave();
    });
    leave.start();
    peer.Send("Vorla:");
    ASSERT_TRUE(WaitUntil([&] { return newGameDialogs == 1; }));
    EXPECT_FALSE(frmVorlada::Loaded());
    winsocktest::ProcessFor(20);
    EXPECT_EQ(Hand.Stake, 1) << "the raise of the departed match counts for nothing";
}

// Back at the new-game dialog with input free, the table as a new match shows it.
void ExpectBackAtTheStart(frmVorla& table)
{
    EXPECT_FALSE(table.Socket);
    EXPECT_FALSE(Hand.NetworkGame);
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_FALSE(frmBatePapo::Loaded());
    EXPECT_TRUE(table.lblMenu(1).Enabled());
    EXPECT_EQ(table.lblVorla.Caption(), "Vorla") << "the first call again";
    EXPECT_FALSE(table.picJog(1).Visible());
    EXPECT_EQ(Players(1).Points, 0);
}

TEST_F(NetworkMatch, APeerThatVanishesInMidHandEndsTheMatchAsALeavingOne)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    std::int32_t probes = 0;
    ws::getsockopt(table().Socket->SocketHandle(), ws::SolSocket, ws::SoKeepAlive, &probes);
    EXPECT_EQ(probes, 1) << "a peer that vanishes without a word is found";
    std::int32_t unacknowledged = 0;
    ws::getsockopt(table().Socket->SocketHandle(), ws::IpProtoTcp, ws::TcpMaxRt, &unacknowledged);
    EXPECT_EQ(unacknowledged, 120) << "also with a message in flight, in the keep-alive's two minutes";
    table().lblVorla.ClickWith();
    ASSERT_EQ(peer.Next("Vorla:"), "Vorla:");
    peer.Send("ReageVorla:#1");
    ASSERT_TRUE(WaitUntil([&] { return table().lblVorla.Caption() == "Seis"; }));

    winsocktest::RawReset(peer.fd);
    peer.fd = -1;
    ASSERT_TRUE(WaitUntil([&] { return newGameDialogs == 1; }));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "Rui saiu do Jogo!");
    ExpectBackAtTheStart(table());
    table().lblMenu(0).ClickWith();
    EXPECT_EQ(newGameDialogs, 2) << "\"Novo Jogo\" opens again";
}

TEST_F(NetworkMatch, ThePeerLeavingDuringTheElevenPointQuestionClosesItAndTheNextPeerIsAnsweredAtOnce)
{
    auto peer = std::make_unique<Peer>();
    Start(*peer);
    Players(1).Points = 11;
    bool questionClosed = false;
    const auto previous = vb::SetMsgBoxResponder([&](const vb::MsgBoxRequest& r) {
        boxes.push_back(r);
        if (!r.prompt.startsWith(QString::fromUtf8("Você tem 11 pontos!")))
            return int(vb::vbOK);
        peer->Leave(); // and the player does not answer
        vb::WaitUntil([&] { return r.Closed(); });
        questionClosed = true;
        return int(vb::vbYes);
    });
    // The next match begins from the new-game dialog while the question's step is still on the stack.
    std::unique_ptr<Peer> next;
    newGame = [&](frmIniciar&) {
        if (next)
            return;
        Hand.NetworkGame = true; // as "Jogar" on the network sets it
        next = std::make_unique<Peer>();
    };
    peer->Send("Cartas:##1#2#3#5#6#7#40#");
    ASSERT_TRUE(WaitUntil([&] { return next != nullptr; }));
    ASSERT_EQ(next->Next("Nome:#Ana"), "Nome:#Ana");
    next->Send("Dados:#Lia#True#True#False");
    EXPECT_EQ(next->Next("Iniciar:"), "Iniciar:");
    EXPECT_EQ(Players(2).Name, "Lia");
    EXPECT_TRUE(questionClosed);
    vb::SetMsgBoxResponder(previous);
}

TEST_F(NetworkMatch, ThePeerLeavingDuringTheDealsFirstFlightEndsTheDealThere)
{
    Peer peer;
    Start(peer);
    gametest::Looker leave;
    leave.Start([&] {
        if (peer.fd >= 0 && Players(1).Cards(1) != 0 && table().picBar(1).Top() != 3300)
            peer.Leave(); // the first card is on its way to the hand
    });
    peer.Send("Cartas:##1#2#3#5#6#7#40#");
    // A deal that went on would index the emptied hand: the handler hook fails the test.
    ASSERT_TRUE(WaitUntil([&] { return newGameDialogs == 1; }));
    winsocktest::ProcessFor(20);
    EXPECT_FALSE(table().picJog(1).Visible());
    EXPECT_FALSE(table().picMac(1).Visible());
}

TEST_F(NetworkMatch, AComputerGameStartedWhileConnectedLeavesThePeerBehind)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    CutWhenAsked();
    frmIniciar::Get().cmdJogar.ClickWith(); // "Jogar contra o computador"
    ASSERT_EQ(Players(2).Name, "Computador");
    EXPECT_TRUE(peer.Closed()) << "the peer sees this player leave";
    const int points = Players(1).Points;
    peer.Send("Correu:");
    peer.Send("Chat:#ainda aqui");
    winsocktest::ProcessFor(50);
    EXPECT_EQ(Players(1).Points, points);
    EXPECT_EQ(newGameDialogs, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(frmBatePapo::Loaded());
    EXPECT_TRUE(table().lblMenu(1).Enabled());
}

TEST_F(NetworkMatch, ABurstOfChatLinesNeitherNestsTheReaderNorHoldsTheTable)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    frmBatePapo& chat = frmBatePapo::Get();
    // At the real pace, one line at every turn of the event loop, so that lines
    // arrive while others flash.
    vb::SetPaceFactor(1);
    constexpr int kLines = 1000;
    int sent = 0;
    gametest::Looker sender;
    sender.Start([&] {
        if (sent < kLines)
            peer.Send("Chat:#linha " + QString::number(++sent));
    });
    // A reader that nested would have failed the test through the handler hook.
    ASSERT_TRUE(WaitUntil([&] { return chat.Chat.Text().contains("linha " + QString::number(kLines) + "\r\n"); }));
    EXPECT_EQ(chat.Chat.Text().count("Rui diz: linha "), kLines);
    table().picJog(1).ClickWith();
    EXPECT_EQ(peer.Next("Jogar:#1"), "Jogar:#1") << "the table answers at once";
    EXPECT_TRUE(WaitUntil([&] { return chat.Chat.BackColor() == frmBatePapo::HistoryColour; }));
    vb::SetPaceFactor(0);
}

TEST_F(NetworkMatch, AFloodOfGameMessagesWhileAStepRunsEndsTheConnection)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    {
        const GameStep step;
        QString flood;
        for (int i = 0; i < 1000; ++i)
            flood += "Manda11:";
        peer.Send(flood);
        ASSERT_TRUE(WaitUntil([&] { return newGameDialogs == 1; }));
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "Rui saiu do Jogo!");
    ExpectBackAtTheStart(table());
    EXPECT_TRUE(peer.Closed());
}

TEST_F(NetworkMatch, NoRaiseWhileAPlayerHasElevenPoints)
{
    Peer peer;
    Start(peer);
    Players(2).Points = 11;
    Players(1).Points = 11; // both: the hand is played for the match, at stake 1
    Deal(peer);
    gametest::RaiseAnswerer answerer({});
    Hand.Turn = 2;
    peer.Send("Vorla:");
    peer.Send("Jogar:#1"); // applied after whatever the raise did
    ASSERT_TRUE(WaitUntil([] { return Players(2).Cards(1) == 0; }));
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_TRUE(answerer.offers.empty());
}

TEST_F(NetworkMatch, ANameOrTheHostsRulesOutOfTheirPlaceChangeNothing)
{
    Players(1).Name = "A#n#a"; // a field holds no "#": the rules stay fields 3 to 5 of "Dados:"
    // As the guest: the host's name and rules come once, in answer to its name.
    Peer host;
    Start(host);
    Deal(host);
    PlayFirstCard(host);
    host.Send("Dados:#Eva#False#True#True");
    host.Send("Nome:#Eva");
    host.Send("Dados:#x#Talvez#1#Dados:#Intruso"); // each ends where the next message begins
    host.Send("Jogar:#2"); // applied after them, in order
    ASSERT_TRUE(WaitUntil([] { return Hand.RoundNo == 2; }));
    EXPECT_EQ(Players(2).Name, "Rui");
    EXPECT_TRUE(Hand.DirtyDeck && !Hand.NewManilha && !Hand.PlayInDark) << "the rules stay the host's first";
    EXPECT_TRUE(host.Nothing()) << "neither is answered";
    host.Leave();
    ASSERT_TRUE(WaitUntil([&] { return newGameDialogs == 1; }));

    // As the host: the guest names itself once, first thing, and sends no rules.
    CutWhenAsked();
    Peer guest(winsocktest::RawConnect(Listen()));
    ASSERT_TRUE(Connected());
    guest.Send("Nome:#Lia");
    ASSERT_EQ(guest.Next("Dados:#Ana#True#False#False"), "Dados:#Ana#True#False#False");
    guest.Send("Nome:#Zoe");
    guest.Send("Dados:#Intruso");
    guest.Send("Dados:#Rui#False#True#True");
    guest.Send("Iniciar:");
    EXPECT_EQ(guest.Next("Cartas:"), "Cartas:") << "the second name is not answered";
    EXPECT_EQ(Players(2).Name, "Lia");
    EXPECT_TRUE(Hand.DirtyDeck && !Hand.NewManilha && !Hand.PlayInDark) << "the host keeps its rules";
}

// In each state of a match the peer sends what has no place there, then what
// has: the first changes nothing and is not answered, the second is applied.
TEST_F(NetworkMatch, ARaiseAnAnswerOrADealOutOfItsPlaceChangesNothing)
{
    CutWhenAsked();
    gametest::RaiseAnswerer answerer({1}); // the one raise in its place is accepted
    Peer peer;
    Start(peer);
    struct State {
        QString name;
        std::function<void()> reach;
        QStringList outOfPlace;
        std::function<void()> inPlace;
    };
    const std::vector<State> states = {
        {"the table waits for the answer to its \"Doze\"",
         [&] {
             Deal(peer);
             Hand.Stake = 9;
             table().lblVorla.ClickWith();
             EXPECT_EQ(peer.Next("Vorla:"), "Vorla:");
         },
         {"Vorla:", "Iniciar:", "ReageVorla:#2"},
         [&] { peer.Send("ReageVorla:#3"); EXPECT_TRUE(WaitUntil([] { return Players(1).Points == 9; })); }},
        {"between hands, the table asked for the deal", [&] { EXPECT_EQ(peer.Next("Iniciar:"), "Iniciar:"); },
         {"Vorla:", "ReageVorla:#1", "Iniciar:"},
         [&] {
             peer.Send("Cartas:##11#12#13#21#22#23#30#");
             EXPECT_TRUE(WaitUntil([&] { return Players(1).Cards(1) == 21 && table().picMac(3).Visible(); }));
         }},
        {"the peer's turn, its raise accepted",
         [&] { peer.Send("Vorla:"); EXPECT_EQ(peer.Next("ReageVorla:#1"), "ReageVorla:#1"); },
         {"Vorla:", "ReageVorla:#1", "Iniciar:"},
         [&] { peer.Send("Jogar:#1"); EXPECT_TRUE(WaitUntil([] { return Players(2).Cards(1) == 0; })); }},
    };
    for (const State& state : states) {
        SCOPED_TRACE(state.name.toStdString());
        state.reach();
        const int stake = Hand.Stake;
        const std::size_t offers = answerer.offers.size();
        // A chat line after them applies at once; they, at the next turn of the event loop.
        peer.Send(state.outOfPlace.join("") + "Chat:#" + state.name);
        ASSERT_TRUE(WaitUntil([&] { return frmBatePapo::Get().Chat.Text().endsWith(state.name + "\r\n"); }));
        vb::DoEvents();
        EXPECT_TRUE(peer.Nothing());
        EXPECT_EQ(answerer.offers.size(), offers);
        EXPECT_EQ(Hand.Stake, stake);
        state.inPlace();
    }
}

// The peer raises and, while the player answers, slips in an answer or a deal,
// then sends the real one once the player's answer has asked for it: what was
// slipped in answers nothing the player asked later, the real one is applied.
TEST_F(NetworkMatch, AnAnswerOrADealSlippedInWhileThePlayerAnswersARaiseCountsForNothingLater)
{
    CutWhenAsked();
    std::unique_ptr<Peer> peer;
    QString slipped;
    int button = 0;
    // The slipped message goes with a line that tells when the table has read
    // it; then the player answers.
    gametest::Looker player;
    player.Start([&] {
        frmVorlada* dialog = frmVorlada::IfLoaded();
        if (!dialog || !dialog->isVisible())
            return;
        if (!slipped.isEmpty())
            peer->Send(std::exchange(slipped, QString()) + "Chat:#lido");
        else if (frmBatePapo::Get().Chat.Text().endsWith("lido\r\n"))
            dialog->Retorno(button).ClickWith();
    });
    int cuts = 0;
    struct Case {
        const char* name;
        bool hosting;
        QString slipped;
        int button;         // 2 "Pedir 6", 3 "Correr"
        QString reply, real; // what the table sends after the answer, and the peer's real message
        std::function<bool()> applied;
    };
    const Case cases[] = {
        {"an accept, then the real run from \"Seis\"", false, "ReageVorla:#1", 2, "ReageVorla:#2", "ReageVorla:#3",
         [] { return Players(1).Points == 3 && Hand.Stake == 1; }},
        {"a run, then the real accept of \"Seis\"", true, "ReageVorla:#3", 2, "ReageVorla:#2", "ReageVorla:#1",
         [] { return Hand.Stake == 6 && Hand.LastRaiser == 1 && Players(1).Points == 0; }},
        {"a deal, then the real deal the table asks for", false, "Cartas:##1#2#3#8#9#10#40#", 3,
         "ReageVorla:#3Iniciar:", "Cartas:##11#12#13#21#22#23#30#",
         [&] { return Players(1).Cards(1) == 21 && table().picJog(3).Visible(); }},
        {"a request to deal, then the real one", true, "Iniciar:", 3, "ReageVorla:#3", "Iniciar:",
         [&] { return cutsMade == cuts + 1 && table().picJog(3).Visible(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.hosting) {
            peer = std::make_unique<Peer>(winsocktest::RawConnect(Listen()));
            ASSERT_TRUE(Connected());
            peer->Send("Nome:#Lia");
            ASSERT_EQ(peer->Next("Dados:#Ana#True#False#False"), "Dados:#Ana#True#False#False");
            peer->Send("Iniciar:");
            peer->NextDeal();
        } else {
            Hand.NetworkGame = true; // as "Jogar" on the network sets it
            peer = std::make_unique<Peer>();
            Start(*peer);
            Deal(*peer);
            PlayFirstCard(*peer); // the peer's turn
        }
        slipped = c.slipped;
        button = c.button;
        cuts = cutsMade;
        peer->Send("Vorla:");
        ASSERT_EQ(peer->Next(c.reply), c.reply);
        // What was slipped in has had its turn.
        ASSERT_TRUE(WaitUntil([] { return !GameStep::Running(); }));
        vb::DoEvents();
        EXPECT_EQ(cutsMade, cuts) << "no deal before the peer asks";
        peer->Send(c.real);
        EXPECT_TRUE(WaitUntil(c.applied)) << "stake " << int(Hand.Stake) << ", points " << int(Players(1).Points);
        const int dialogs = newGameDialogs;
        peer->Leave();
        ASSERT_TRUE(WaitUntil([&] { return newGameDialogs > dialogs; }));
    }
}

// Counts the moves of a window.
struct MoveCounter : QObject {
    explicit MoveCounter(QWidget& window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override { return (moves += event->type() == QEvent::Move), false; }
    int moves = 0;
};

TEST_F(NetworkMatch, FloodsOfLinesOrNudgesAreReadOnceAndTheTableAnswersAfterThem)
{
    Peer peer;
    Start(peer);
    Deal(peer);
    frmBatePapo& chat = frmBatePapo::Get();
    int sends = 0;
    // Sends the bytes, then a line that tells when the table has read them.
    const auto sendAll = [&](const QByteArray& bytes) {
        const QByteArray end = "fim " + QByteArray::number(++sends);
        std::thread sender([&] { winsocktest::RawWrite(peer.fd, bytes + "Chat:#" + end); });
        const bool read = WaitUntil([&] { return chat.Chat.Text().endsWith("Rui diz: " + end + "\r\n"); });
        sender.join();
        return read;
    };

    // Ten thousand lines in one burst: the history keeps its last whole lines.
    QByteArray burst;
    for (int i = 1; i <= 10000; ++i)
        burst += "Chat:#linha " + QByteArray::number(i);
    ASSERT_TRUE(sendAll(burst));
    const QString history = chat.Chat.Text();
    EXPECT_LE(history.size() - history.count("\r\n"), frmBatePapo::HistoryTail);
    EXPECT_TRUE(history.startsWith("Rui diz: linha ")) << "whole lines go";
    EXPECT_TRUE(history.endsWith("Rui diz: linha 10000\r\nRui diz: fim 1\r\n"));

    const MoveCounter counter(chat);
    ASSERT_TRUE(sendAll(QByteArray("Alerta:").repeated(300)));
    const int shake = counter.moves;
    ASSERT_TRUE(sendAll("Alerta:"));
    EXPECT_GT(counter.moves - shake, 0) << "a nudge shakes the chat window";
    EXPECT_EQ(shake, counter.moves - shake) << "three hundred nudges in one burst shake as one does";

    table().picJog(1).ClickWith();
    EXPECT_EQ(peer.Next("Jogar:#1"), "Jogar:#1") << "the table answers";
}

TEST_F(NetworkMatch, AFailedConnectionClosesTheSocketAndSaysNothing)
{
    int port = 0;
    const int unused = winsocktest::RawListen(&port);
    ::close(unused);
    table().NewSocket();
    table().Socket->Connect("127.0.0.1", port);
    ASSERT_TRUE(WaitUntil([&] { return table().Socket->State() == sckClosed; }));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(Hand.NetworkGame);
}

} // namespace
