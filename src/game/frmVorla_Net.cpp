// The table's connection to a remote copy: sending, the reader that applies the
// peer's messages, and the socket's other events.
#include "game/frmVorla.h"
#include "game/frmVorlada.h"
#include "game/modGame.h"
#include "game/netmessage.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "netplay/frmListen.h"
#include "platform/forms/handlers.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "shell/modFunoes.h"
#include "shell/modReg.h"
#include "socket/CNetSocket.h"

#include <QTimer>

namespace {
int stepDepth = 0;
} // namespace

GameStep::GameStep()
{
    ++stepDepth;
}

GameStep::~GameStep()
{
    if (--stepDepth == 0) {
        frmVorla* table = frmVorla::IfLoaded();
        if (table && !table->pending_.empty())
            QTimer::singleShot(0, table, [table] { vb::RunHandler([table] { table->applyPending(); }); });
    }
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
            // What the peer answers is accepted only when it was asked for.
            if (Dados == "Iniciar:")
                dealAsked_ = true;
            else if (Dados == "Vorla:" || Dados == "ReageVorla:#2")
                answerAsked_ = true;
            return true;
        }
    } catch (...) {
        // A failed send is reported by the result alone.
    }
    return false;
}

void frmVorla::NewSocket()
{
    forgetPeer();
    Socket = std::make_shared<CNetSocket>();
    // Events of a socket that has been replaced meanwhile are not the table's any more.
    const std::weak_ptr<CNetSocket> own = Socket;
    const auto mine = [this, own] { return !own.expired() && Socket == own.lock(); };
    const auto run = [mine](const std::function<void()>& handler) {
        if (mine())
            vb::RunHandler(handler);
    };
    Socket->On.DataArrival = [this, run](std::int32_t n) { run([this, n] { Socket_DataArrival(n); }); };
    Socket->On.Connect = [this, run] { run([this] { Socket_Connect(); }); };
    Socket->On.ConnectionRequest = [this, run](std::int32_t id) { run([this, id] { Socket_ConnectionRequest(id); }); };
    Socket->On.CloseSck = [this, run] { run([this] { Socket_CloseSck(); }); };
    Socket->On.Error = [this, run](std::int16_t, QString&, std::int32_t, const QString&, const QString&, std::int32_t,
                                   bool&) { run([this] { Socket_Error(); }); };
}

// Nothing heard from the earlier peer applies any more.
void frmVorla::forgetPeer()
{
    received_.clear();
    pending_.clear();
    dealAsked_ = answerAsked_ = false;
}

void frmVorla::Socket_DataArrival(std::int32_t)
{
    vb::Variant data;
    Socket->GetData(data, vb::vbString);
    received_ += data.ToString();
    for (const QString& text : TakeMessages(received_)) {
        const GameMessage m = ReadMessage(text);
        if (m.AppliesAtOnce())
            ApplyMessage(m);
        else if (m.kind != GameMessage::Unknown)
            pending_.push_back(text);
    }
    applyPending();
}

void frmVorla::applyPending()
{
    while (!GameStep::Running() && !pending_.empty()) {
        const QString text = pending_.front();
        pending_.pop_front();
        const GameStep step;
        ApplyMessage(ReadMessage(text));
    }
}

void frmVorla::ApplyMessage(const GameMessage& m)
{
    const GameStep step;
    switch (m.kind) {
    case GameMessage::Nome:
        frmBatePapo::Get().Show();
        lblMenu(1).Enabled = false;
        PlaySoundFile("iniciar.wav", 1);
        Hand.Turn = 2;
        Hand.PlayerLeads = true;
        lblMens.Caption = QString::fromUtf8("Aguardando aguardando confirmação para começar o jogo!");
        Players(2).Name = m.text;
        EnviarDados("Dados:#" + Players(1).Name + "#" + WireBool(Hand.DirtyDeck) + "#" + WireBool(Hand.NewManilha) +
                    "#" + WireBool(Hand.PlayInDark));
        UpdateScoreBoard();
        break;
    case GameMessage::Dados:
        frmBatePapo::Get().Show();
        lblMenu(1).Enabled = false;
        PlaySoundFile("iniciar.wav", 1);
        Hand.Turn = 1;
        Hand.PlayerLeads = false;
        lblMens.Caption = QString::fromUtf8("Aguarde o adversário cortar o baralho!");
        Players(2).Name = m.text;
        // The host's rules hold for this run only; the saved options stay.
        if (m.options[0])
            Hand.DirtyDeck = *m.options[0];
        if (m.options[1])
            Hand.NewManilha = *m.options[1];
        if (m.options[2])
            Hand.PlayInDark = *m.options[2];
        UpdateScoreBoard();
        EnviarDados("Iniciar:");
        break;
    case GameMessage::Iniciar: {
        const MatchGuard match;
        Hand.InputLocked = true;
        ShuffleAndDeal();
        ShuffleAndCut();
        if (match.Replaced() || StopAnimation)
            return;
        EnviarDados("Cartas:#" + Hand.DealtCards);
        DealHand();
        break;
    }
    case GameMessage::Cartas:
        if (!dealAsked_)
            return;
        dealAsked_ = false;
        Hand.InputLocked = true;
        for (int i = 1; i <= 3; ++i) {
            Players(2).Cards(i) = m.cards[i - 1];
            Players(1).Cards(i) = m.cards[i + 2];
        }
        Hand.Vira = m.cards[6];
        DealHand();
        break;
    case GameMessage::Descarta:
        // Only a play that the table takes turns the card down.
        if (Hand.Turn != 2 || Players(2).Cards(m.number) == 0)
            return;
        Players(2).FaceDown = true;
        PlayOpponentCard(m.number);
        break;
    case GameMessage::Jogar:
        PlayOpponentCard(m.number);
        break;
    case GameMessage::Correu:
        Hand.InputLocked = true;
        lblMens.Caption = QString::fromUtf8("Não tenho nada eu corro !");
        PlaySoundFile("Correu.wav", 2);
        Ganha(1);
        break;
    case GameMessage::Vorla:
        if (Hand.Stake >= 12)
            return;
        applyVorla();
        break;
    case GameMessage::ReageVorla:
        if (!answerAsked_)
            return;
        answerAsked_ = false;
        applyAnswer(m.number);
        break;
    case GameMessage::Manda11:
        Hand.Stake = 3;
        UpdateScoreBoard();
        lblMens.Caption = "O adversário mandou! " + YourMoveOr(QString::fromUtf8("Aguarde o adversário jogar!"));
        Hand.InputLocked = (Hand.Turn != 1);
        break;
    case GameMessage::Chat: {
        frmBatePapo& chat = frmBatePapo::Get();
        chat.AddLine(Players(2).Name + " diz: " + m.text);
        chat.Flash();
        break;
    }
    case GameMessage::Alerta:
        ShakeForm(frmBatePapo::Get());
        break;
    case GameMessage::Unknown:
        break;
    }
}

// The peer raised: the local player answers in the dialog.
void frmVorla::applyVorla()
{
    const MatchGuard match;
    Hand.InputLocked = true;
    frmVorlada::Get().Show(vb::vbModal, this);
    if (match.Replaced())
        return;
    EnviarDados("ReageVorla:#" + QString::number(Hand.RaiseAnswer));
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
    ClearTable();
    ResetMatch();
    UpdateScoreBoard();
    EnviarDados("Nome:#" + Players(1).Name);
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "IP", ServerIP);
    if (auto* dialog = frmIniciar::IfLoaded())
        dialog->Unload();
}

void frmVorla::Socket_ConnectionRequest(std::int32_t requestID)
{
    Socket->CloseSck();
    Socket->Accept(requestID);
    // Both copies start the match from nothing, so that the eleven-point rules agree.
    forgetPeer();
    ClearTable();
    ResetMatch();
    UpdateScoreBoard();
    if (auto* waiting = frmListen::IfLoaded())
        waiting->Unload();
}

void frmVorla::Socket_CloseSck()
{
    StopAnimation = true;
    forgetPeer();
    lblVorla.Enabled = true;
    Socket->CloseSck();
    vb::MsgBox(Players(2).Name + " saiu do Jogo!", vb::vbInformation);
    ClearTable();
    ResetMatch();
    UpdateScoreBoard();
    if (auto* chat = frmBatePapo::IfLoaded())
        chat->Unload();
    // A raise of the departed peer is answered by nobody.
    if (auto* answer = frmVorlada::IfLoaded())
        answer->Unload();
    lblMenu(1).Enabled = true;
    // The table plays no network game until the next one starts.
    Hand.NetworkGame = false;
    frmIniciar::Get().Show(vb::vbModal, this);
}

void frmVorla::Socket_Error()
{
    Socket->CloseSck();
}
