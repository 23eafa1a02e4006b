// The table's connection to a remote copy: sending, the reader that applies the
// peer's messages, and the socket's other events.
#include "game/frmMSG.h"
#include "game/frmVenceu.h"
#include "game/frmVorla.h"
#include "game/frmVorlada.h"
#include "game/modGame.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "netplay/frmListen.h"
#include "platform/forms/handlers.h"
#include "platform/forms/msgbox.h"
#include "platform/winsock/winsock.h"
#include "shell/modFunoes.h"
#include "shell/modReg.h"
#include "socket/CNetSocket.h"

#include <QScopedValueRollback>
#include <QTimer>

#include <stdexcept>

namespace {
// The steps running for the current peer, and which peer that is.
int stepDepth = 0;
std::uint64_t peerSerial = 0;

// More game messages than any step could leave waiting: a conforming peer has
// at most a few on their way (a play, a raise, its answer, a deal).
constexpr std::size_t kMaxPending = 256;

// A peer that vanished without a word is found within a couple of minutes,
// whether the connection was quiet or held a message not yet acknowledged.
constexpr std::int32_t kKeepAliveIdleSeconds = 60;
constexpr std::int32_t kKeepAliveIntervalSeconds = 10;
constexpr std::int32_t kKeepAliveProbes = 6;
constexpr std::int32_t kLostPeerSeconds = kKeepAliveIdleSeconds + kKeepAliveProbes * kKeepAliveIntervalSeconds;

// Whether m is the reply the wait is for, which it then ends: only a reply that
// arrived after the message that began the wait went out.
bool endsWait(std::optional<std::uint64_t>& wait, const GameMessage& m)
{
    if (!wait || m.sentBefore < *wait)
        return false;
    wait.reset();
    return true;
}
} // namespace

GameStep::GameStep() : peer_(peerSerial)
{
    ++stepDepth;
}

GameStep::~GameStep()
{
    if (peer_ != peerSerial || --stepDepth != 0)
        return;
    if (frmVorla* table = frmVorla::IfLoaded(); table && !table->pending_.empty())
        table->afterReader(&frmVorla::applyPending);
}

bool GameStep::Running()
{
    return stepDepth > 0;
}

bool frmVorla::EnviarDados(const QString& Dados)
{
    try {
        if (Hand.NetworkGame && Socket && Socket->State() == sckConnected) {
            Socket->SendData(vb::Variant(Dados));
            // A chat line or a nudge is no step of the game: the peer's replies
            // are judged by the game messages sent before them.
            if (!ReadMessage(Dados).AppliesAtOnce())
                ++gameSent_;
            return true;
        }
    } catch (...) {
        // A failed send is reported by the result alone.
    }
    return false;
}

// Sends a message that the peer answers: the wait for that answer, none when
// nothing was sent.
std::optional<std::uint64_t> frmVorla::ask(const QString& message)
{
    if (!EnviarDados(message))
        return std::nullopt;
    return gameSent_;
}

void frmVorla::NewSocket()
{
    CloseConnection();
    Socket = std::make_shared<CNetSocket>();
    // Events of a socket that has been replaced meanwhile are not the table's any more.
    const std::weak_ptr<CNetSocket> own = Socket;
    const auto mine = [this, own] { return !own.expired() && Socket == own.lock(); };
    const auto run = [mine](const char* name, const std::function<void()>& handler) {
        if (mine())
            vb::RunHandler(handler, name);
    };
    Socket->On.DataArrival = [this, run](std::int32_t n) {
        run("frmVorla_Socket_DataArrival", [this, n] { Socket_DataArrival(n); });
    };
    Socket->On.Connect = [this, run] { run("frmVorla_Socket_Connect", [this] { Socket_Connect(); }); };
    Socket->On.ConnectionRequest = [this, run](std::int32_t id) {
        run("frmVorla_Socket_ConnectionRequest", [this, id] { Socket_ConnectionRequest(id); });
    };
    Socket->On.CloseSck = [this, run] { run("frmVorla_Socket_CloseSck", [this] { Socket_CloseSck(); }); };
    Socket->On.Error = [this, run](std::int16_t, QString&, std::int32_t, const QString&, const QString&, std::int32_t,
                                   bool&) { run("frmVorla_SOCKET_ERROR", [this] { Socket_Error(); }); };
}

void frmVorla::CloseConnection()
{
    if (Socket) {
        try {
            Socket->CloseSck();
        } catch (...) {
            // A socket that cannot close is released all the same.
        }
        Socket.reset();
    }
    forgetPeer();
    lblMenu(1).Enabled = true;
}

void frmVorla::KeepKindOfGame()
{
    // Another "Jogar" while a start is under way keeps the kind from before it.
    if (!kindBeforeStart_ || !Socket || Socket->State() == sckClosed)
        kindBeforeStart_ = KindOfGame{Hand.NetworkGame, IsServer};
}

void frmVorla::StartFailed()
{
    if (!kindBeforeStart_)
        return;
    Hand.NetworkGame = kindBeforeStart_->NetworkGame;
    IsServer = kindBeforeStart_->IsServer;
    kindBeforeStart_.reset();
}

// Nothing heard from the earlier peer applies any more, and none of its steps
// holds back the next peer's messages.
void frmVorla::forgetPeer()
{
    reader_.Clear();
    pending_.clear();
    ++peerSerial;
    stepDepth = 0;
    connected_ = false;
    dealAsked_ = dealAwaited_ = answerAsked_ = std::nullopt;
}

void frmVorla::Socket_DataArrival(std::int32_t)
{
    // Nothing the reader applies waits, so it never runs inside itself; were it
    // to, the text stays with the socket for the next read.
    if (reading_)
        throw std::logic_error("the reader ran inside itself");
    const QScopedValueRollback<bool> reading(reading_, true);
    vb::Variant data;
    Socket->GetData(data, vb::vbString);
    const std::vector<GameMessage> messages = reader_.Take(data.ToString());
    // The game messages are queued before any chat line applies, so that
    // nothing can come between them.
    for (const GameMessage& m : messages)
        if (!m.AppliesAtOnce() && !queueMessage(m))
            return;
    for (const GameMessage& m : messages)
        if (m.AppliesAtOnce())
            ApplyMessage(m);
    if (!pending_.empty())
        afterReader(&frmVorla::applyPending);
}

// False when the peer sent more than a step could ever wait for: such a peer
// cannot be followed any more and is treated as gone.
bool frmVorla::queueMessage(const GameMessage& m)
{
    if (pending_.size() < kMaxPending) {
        pending_.push_back(m);
        pending_.back().sentBefore = gameSent_;
        return true;
    }
    Socket->CloseSck();
    forgetPeer();
    afterReader(&frmVorla::peerGone);
    return false;
}

// Runs a step of the reader's once the reader has returned, so that it never
// runs inside the reader.
void frmVorla::afterReader(void (frmVorla::*step)())
{
    QTimer::singleShot(0, this, [this, step] {
        vb::RunHandler([this, step] { (this->*step)(); }, "frmVorla_Socket_DataArrival");
    });
}

void frmVorla::applyPending()
{
    while (!GameStep::Running() && !pending_.empty()) {
        const GameMessage m = pending_.front();
        pending_.pop_front();
        ApplyMessage(m);
    }
}

void frmVorla::ApplyMessage(const GameMessage& m)
{
    using Apply = void (frmVorla::*)(const GameMessage&);
    // In the order of GameMessage::Kind.
    static constexpr Apply apply[] = {
        nullptr,           &frmVorla::onNome,      &frmVorla::onDados,      &frmVorla::onIniciar,
        &frmVorla::onCartas, &frmVorla::onJogar,   &frmVorla::onDescarta,   &frmVorla::onCorreu,
        &frmVorla::onVorla,  &frmVorla::onReageVorla, &frmVorla::onManda11, &frmVorla::onChat,
        &frmVorla::onAlerta,
    };
    static_assert(std::size(apply) == GameMessage::Alerta + 1);
    if (m.kind == GameMessage::Unknown)
        return;
    const GameStep step;
    (this->*apply[m.kind])(m);
}

// The steps the host and the guest take alike when they learn who plays them.
void frmVorla::startWithPeer(const QString& name, std::uint8_t turn, const QString& wait)
{
    frmBatePapo::Get().Show();
    lblMenu(1).Enabled = false;
    PlaySoundFile("iniciar.wav", 1);
    Hand.Turn = turn;
    Hand.PlayerLeads = turn == 2;
    lblMens.Caption = wait;
    Players(2).Name = name;
}

// The guest names itself once, as its first message to the waiting host; the
// rest of that name may follow in later reads. The reader takes no other
// "Nome:", which would reset the turn in mid-match.
void frmVorla::onNome(const GameMessage& m)
{
    if (m.continued) {
        Players(2).Name += m.text;
        UpdateScoreBoard();
        return;
    }
    startWithPeer(m.text, 2, QString::fromUtf8("Aguardando aguardando confirmação para começar o jogo!"));
    // The host deals the first hand, once the guest has its rules.
    dealAwaited_ = ask("Dados:#" + NameAsField(Players(1).Name) + "#" + WireBool(Hand.DirtyDeck) + "#" +
                       WireBool(Hand.NewManilha) + "#" + WireBool(Hand.PlayInDark));
    UpdateScoreBoard();
}

// The host's name and rules answer the guest's name; the reader takes them once.
void frmVorla::onDados(const GameMessage& m)
{
    startWithPeer(m.text, 1, QString::fromUtf8("Aguarde o adversário cortar o baralho!"));
    // The host's rules hold for this run only; the saved options stay.
    if (m.options[0])
        Hand.DirtyDeck = *m.options[0];
    if (m.options[1])
        Hand.NewManilha = *m.options[1];
    if (m.options[2])
        Hand.PlayInDark = *m.options[2];
    UpdateScoreBoard();
    dealAsked_ = ask("Iniciar:");
}

// A deal asked for at any other time would drop the hand in play unscored.
void frmVorla::onIniciar(const GameMessage& m)
{
    if (!endsWait(dealAwaited_, m))
        return;
    const MatchGuard match;
    Hand.InputLocked = true;
    ShuffleAndDeal();
    ShuffleAndCut();
    if (match.Replaced() || StopAnimation)
        return;
    EnviarDados("Cartas:#" + Hand.DealtCards);
    DealHand();
}

void frmVorla::onCartas(const GameMessage& m)
{
    if (!endsWait(dealAsked_, m))
        return;
    Hand.InputLocked = true;
    for (int i = 1; i <= 3; ++i) {
        Players(2).Cards(i) = m.cards[std::size_t(i - 1)];
        Players(1).Cards(i) = m.cards[std::size_t(i + 2)];
    }
    Hand.Vira = m.cards[6];
    DealHand();
}

void frmVorla::onJogar(const GameMessage& m)
{
    PlayOpponentCard(m.number);
}

void frmVorla::onDescarta(const GameMessage& m)
{
    // Only a play that the table takes turns the card down.
    if (Hand.Turn != 2 || Players(2).Cards(m.number) == 0)
        return;
    Players(2).FaceDown = true;
    PlayOpponentCard(m.number);
}

void frmVorla::onCorreu(const GameMessage&)
{
    Hand.InputLocked = true;
    lblMens.Caption = QString::fromUtf8("Não tenho nada eu corro !");
    PlaySoundFile("Correu.wav", 2);
    Ganha(1);
}

void frmVorla::onVorla(const GameMessage&)
{
    if (peerMayRaise())
        applyVorla();
}

// The peer raises only as this table's raise label would let a player: during a
// hand (the peer still holds a card), on its turn, below twelve, not while a
// player has 11 points, and not once this player has answered its raise, until
// this player has raised in turn.
bool frmVorla::peerMayRaise()
{
    const bool holdsACard = picMac(1).Visible || picMac(2).Visible || picMac(3).Visible;
    return holdsACard && Hand.Turn == 2 && Hand.Stake < 12 && !AnyAtEleven() && Hand.LastRaiser != 2;
}

// Only the answer this copy waits for counts. Raising again is offered below
// "Doze" and never in a hand at 11 points.
void frmVorla::onReageVorla(const GameMessage& m)
{
    if ((m.number == 2 && (Hand.Stake >= 9 || AnyAtEleven())) || !endsWait(answerAsked_, m))
        return;
    applyAnswer(m.number);
}

void frmVorla::onManda11(const GameMessage&)
{
    Hand.Stake = 3;
    UpdateScoreBoard();
    lblMens.Caption = "O adversário mandou! " + YourMoveOr(QString::fromUtf8("Aguarde o adversário jogar!"));
    Hand.InputLocked = (Hand.Turn != 1);
}

void frmVorla::onChat(const GameMessage& m)
{
    frmBatePapo& chat = frmBatePapo::Get();
    if (m.continued)
        chat.ContinuePeerLine(m.text);
    else
        chat.AddPeerLine(Players(2).Name + " diz: " + m.text);
    chat.Flash();
}

void frmVorla::onAlerta(const GameMessage&)
{
    frmBatePapo::Get().Shake();
}

// The peer raised: the local player answers in the dialog.
void frmVorla::applyVorla()
{
    const MatchGuard match;
    Hand.InputLocked = true;
    frmVorlada::Get().Show(vb::vbModal, this);
    if (match.Replaced())
        return;
    const QString answer = "ReageVorla:#" + QString::number(Hand.RaiseAnswer);
    // Raising again, this copy waits for the peer's answer in turn.
    if (Hand.RaiseAnswer == 2)
        answerAsked_ = ask(answer);
    else
        EnviarDados(answer);
    answerOwnRaise();
}

void frmVorla::answerOwnRaise()
{
    switch (Hand.RaiseAnswer) {
    case 1:
        lblMens.Caption = QString::fromUtf8("Você aceitou! ") + YourMoveOr("Aguarde ele jogar!");
        Hand.InputLocked = (Hand.Turn != 1);
        ShowStake();
        break;
    case 2:
        ShowStake();
        break;
    case 3:
        lblMens.Caption = QString::fromUtf8("Deste jeito vai ser muito fácil de ganhar de você.");
        Ganha(2);
        break;
    default:
        break;
    }
}

// The peer answered the local player's raise.
void frmVorla::applyAnswer(std::uint8_t answer)
{
    switch (answer) {
    case 1:
        RaiseStake();
        ShowStake();
        Hand.InputLocked = (Hand.Turn != 1);
        lblMens.Caption = QString::fromUtf8("O adversário aceitou! ") + YourMoveOr("Aguarde ele jogar!");
        PlaySoundFile("aceito.wav", 2);
        Hand.LastRaiser = 1;
        break;
    case 2:
        RaiseStake();
        ShowStake();
        applyVorla();
        break;
    case 3:
        lblMens.Caption = QString::fromUtf8("Não tenho nada eu corro !");
        PlaySoundFile("correu.wav", 2);
        Ganha(1);
        break;
    default:
        break;
    }
}

void frmVorla::Socket_Connect()
{
    connected_ = true;
    kindBeforeStart_.reset();
    watchForLostPeer();
    ClearTable();
    ResetMatch();
    UpdateScoreBoard();
    if (EnviarDados("Nome:#" + NameAsField(Players(1).Name)))
        reader_.Expect(GameMessage::Dados);
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "IP", ServerIP);
    frmIniciar::UnloadIfLoaded();
}

void frmVorla::Socket_ConnectionRequest(std::int32_t requestID)
{
    Socket->CloseSck();
    Socket->Accept(requestID);
    // Both copies start the match from nothing, so that the eleven-point rules agree.
    forgetPeer();
    connected_ = true;
    reader_.Expect(GameMessage::Nome);
    kindBeforeStart_.reset();
    watchForLostPeer();
    ClearTable();
    ResetMatch();
    UpdateScoreBoard();
    frmListen::UnloadIfLoaded();
}

// The system probes a quiet connection and gives up on a message the peer does
// not acknowledge in the same time, so that a peer that vanished without a word
// ends the connection with an error.
void frmVorla::watchForLostPeer()
{
    const ws::SOCKET s = Socket->SocketHandle();
    ws::setsockopt(s, ws::SolSocket, ws::SoKeepAlive, 1);
    ws::setsockopt(s, ws::IpProtoTcp, ws::TcpKeepIdle, kKeepAliveIdleSeconds);
    ws::setsockopt(s, ws::IpProtoTcp, ws::TcpKeepIntvl, kKeepAliveIntervalSeconds);
    ws::setsockopt(s, ws::IpProtoTcp, ws::TcpKeepCnt, kKeepAliveProbes);
    ws::setsockopt(s, ws::IpProtoTcp, ws::TcpMaxRt, kLostPeerSeconds);
}

void frmVorla::Socket_CloseSck()
{
    peerGone();
}

// An error on the game connection ends the match as the peer's close does; a
// connection that was never made ends silently, the kind of game as before.
void frmVorla::Socket_Error()
{
    if (connected_) {
        peerGone();
        return;
    }
    Socket->CloseSck();
    StartFailed();
}

void frmVorla::peerGone()
{
    StopAnimation = true;
    CloseConnection();
    lblVorla.Enabled = true;
    closeMatchWindows();
    vb::MsgBox(Players(2).Name + " saiu do Jogo!", vb::vbInformation);
    ClearTable();
    ResetMatch();
    ShowStake();
    frmBatePapo::UnloadIfLoaded();
    // The table plays no network game until the next one starts.
    Hand.NetworkGame = false;
    frmIniciar::Get().Show(vb::vbModal, this);
}

// Every window that waits on the departed match: the eleven-point question, the
// answer to its raise, the popup and the winner.
void frmVorla::closeMatchWindows()
{
    vb::CloseMsgBoxes();
    frmVorlada::UnloadIfLoaded();
    frmMSG::UnloadIfLoaded();
    frmVenceu::UnloadIfLoaded();
}
