#pragma once
// The main table window: the one window the game is played in, alive for the
// whole run. It draws the table, both hands, the deck, the turned card, the
// trick piles, the score board, the message line, the raise and run labels and
// the menu over one background picture. Its game operations are written in
// files of their own, one per stage of a hand (deal, trick, scoring, card play,
// raises, messages); this file pair holds the window, its menu and its unload.
#include "game/netmessage.h"
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/picturebox.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

class CNetSocket;
class MatchGuard;

class frmVorla : public vb::FormBase<frmVorla> {
public:
    frmVorla();

    // Deal (shuffle, cut and deal).
    void StartGame();
    void ShuffleAndCut();
    void DealHand();

    // Trick: judges the round once both cards lie on the table.
    void CheckTrick();

    // Scoring: ends a hand with its result (1 local, 2 opponent, 3 nobody).
    void Ganha(std::uint8_t Vencedor);

    // Card play: the opponent puts the card of its hand slot on the table.
    void PlayOpponentCard(std::uint8_t Index);
    // The computer's turn: the raise it may call first, its pause, then the hand
    // slot it plays (0 when its raise ended the hand or it holds no card).
    std::uint8_t ComputerPlay();

    // Raises against the computer. Mode 1: the computer answers the player's
    // raise; mode 2: the computer raises and the player answers in the dialog.
    void HandleRaise(std::uint8_t mode);

    // Sends one message to the remote copy; true when it was sent.
    bool EnviarDados(const QString& Dados);

    // The game connection: a fresh socket with the table's handlers, replacing
    // (and so closing) the one before.
    void NewSocket();
    // Closes the game connection, if any, as when this player leaves; nothing
    // the peer sent or sends afterwards reaches the table.
    void CloseConnection();
    // Keeps the kind of game (NetworkGame, IsServer) as it stands before a
    // network start, and puts it back when that start does not connect.
    void KeepKindOfGame();
    void StartFailed();
    // Applies one message of the peer, as read from the wire.
    void ApplyMessage(const GameMessage& m);

    // Controls, in their design state.
    vb::Label Label1;
    vb::Image FrmMov;
    vb::Image imgMini;
    vb::Image imgClose;
    vb::ControlArray<vb::Label, 1, 3> lblVenceu;
    vb::Image imgSombra;
    vb::Label lblbaralho;
    vb::Label lblMens;
    vb::Label lblVorla;
    vb::Label lblCorrer;
    vb::Label lblValendo;
    vb::ControlArray<vb::Label, 0, 5> lblMenu;
    vb::Label lblPartidas;
    vb::Label Label2;
    vb::ControlArray<vb::Label, 0, 3> lblNome;
    vb::ControlArray<vb::Label, 1, 2> lblRodada;
    vb::Label Label3;
    vb::ControlArray<vb::Label, 1, 2> lblTotal;
    vb::ControlArray<vb::Image, 1, 40> Frente;
    vb::ControlArray<vb::Image, 1, 10> Verso;
    vb::ControlArray<vb::PictureBox, 1, 3> Jogada1;
    vb::ControlArray<vb::PictureBox, 1, 3> Jogada2;
    vb::PictureBox CartaVira;
    vb::ControlArray<vb::PictureBox, 1, 4> picBar;
    vb::ControlArray<vb::PictureBox, 1, 40> picCarta;
    vb::ControlArray<vb::PictureBox, 1, 3> picMac;
    vb::ControlArray<vb::PictureBox, 1, 3> picJog;
    vb::ControlArray<vb::PictureBox, 1, 2> picLance;

    // The connection to the remote copy in a network game, or none.
    std::shared_ptr<CNetSocket> Socket;

    // Set while a local card is being played.
    bool PlayInProgress = false;

    // Handlers.
    void CartaVira_Click();
    void imgMini_Click();
    void imgClose_Click();
    void FrmMov_MouseDown(int Button, int Shift, float X, float Y);
    void picCarta_Click(int Index);
    void lblMenu_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void lblCorrer_MouseMove(int Button, int Shift, float X, float Y);
    void lblVorla_MouseMove(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y) override;
    void lblMenu_Click(int Index);
    void Form_Unload(int& Cancel) override;
    void picJog_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void picJog_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void picJog_MouseUp(int Index, int Button, int Shift, float X, float Y);
    void lblVorla_Click();
    void lblCorrer_Click();
    void Socket_DataArrival(std::int32_t bytesTotal);
    void Socket_Connect();
    void Socket_ConnectionRequest(std::int32_t requestID);
    void Socket_CloseSck();
    void Socket_Error();

    // The hand cards' rest places.
    static constexpr int HandTop = 5775;
    static constexpr int HandLeft(int slot) { return 3465 + 1320 * (slot - 1); }
    // The opponent's hand lies above, in the same columns.
    static constexpr int OpponentTop = 555;
    // The resting places of the two cards on the table, by player.
    static constexpr int LanceLeft(int player) { return player == 1 ? 4860 : 5340; }
    static constexpr int LanceTop(int player) { return player == 1 ? 3165 : 3300; }

    // Puts every card that flies (the deck stack, both hands, the table cards)
    // at its design place; a flight stopped half way leaves its card elsewhere.
    void PlaceFlyingCards();

    // "Faça a sua jogada!" on the local player's turn, else the given wait.
    static QString YourMoveOr(const QString& wait);

private:
    void placeControls();
    void paintCards();
    void wireHandlers();
    void chooseCardBack();
    void showPopup(const QString& text);
    // The raise label offers the next call and the board shows the stake.
    void ShowStake();
    // Flies a card in the usual 15 steps while the step's match stays on the
    // table; false when the match was replaced meanwhile.
    bool flyCard(vb::Control& card, const vb::Control& target, const MatchGuard& match);

    // The reader's side: the received stream, the game messages waiting for a
    // running step, and what this copy asked the peer for.
    std::optional<std::uint64_t> ask(const QString& message);
    void afterReader(void (frmVorla::*step)());
    void applyPending();
    bool queueMessage(const GameMessage& m);
    void forgetPeer();
    void peerGone();
    void closeMatchWindows();
    void watchForLostPeer();
    // One member per message of the peer: its guard, then its action.
    void onNome(const GameMessage& m);
    void onDados(const GameMessage& m);
    void startWithPeer(const QString& name, std::uint8_t turn, const QString& wait);
    void onIniciar(const GameMessage& m);
    void onCartas(const GameMessage& m);
    void onJogar(const GameMessage& m);
    void onDescarta(const GameMessage& m);
    void onCorreu(const GameMessage& m);
    void onVorla(const GameMessage& m);
    void onReageVorla(const GameMessage& m);
    void onManda11(const GameMessage& m);
    void onChat(const GameMessage& m);
    void onAlerta(const GameMessage& m);
    bool peerMayRaise();
    void applyVorla();
    void answerOwnRaise();
    void applyAnswer(std::uint8_t answer);
    MessageReader reader_;
    std::deque<GameMessage> pending_;
    bool reading_ = false;
    bool connected_ = false;
    // What this copy waits for from the peer, as the count of game messages it
    // had sent when the wait began: a reply counts only when it arrived after
    // that, so one queued while a dialog was open cannot count later.
    std::uint64_t gameSent_ = 0;
    std::optional<std::uint64_t> dealAsked_;   // this copy asked the peer to deal
    std::optional<std::uint64_t> dealAwaited_; // this copy deals when the peer asks
    std::optional<std::uint64_t> answerAsked_; // this copy raised and waits for the answer
    struct KindOfGame {
        bool NetworkGame;
        bool IsServer;
    };
    std::optional<KindOfGame> kindBeforeStart_;
    friend class GameStep;
};

// A game step that may wait (flights, pauses, dialogs): game messages from the
// peer that arrive meanwhile wait, and are applied in order once no step runs.
// Steps of a departed peer's match hold nothing back.
class GameStep {
public:
    GameStep();
    ~GameStep();
    GameStep(const GameStep&) = delete;
    GameStep& operator=(const GameStep&) = delete;
    static bool Running();

private:
    std::uint64_t peer_;
};
