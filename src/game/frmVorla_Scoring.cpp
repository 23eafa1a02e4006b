// The end of a hand: the score, the end of a match, and the next hand.
#include "game/frmVenceu.h"
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/pace.h"

void frmVorla::Ganha(std::uint8_t Vencedor)
{
    const MatchGuard match;
    Hand.InputLocked = true;
    lblCorrer.Enabled = true;

    if (Vencedor == 1 || Vencedor == 2)
        Players(Vencedor).Points = static_cast<std::uint8_t>(Players(Vencedor).Points + Hand.Stake);
    UpdateScoreBoard();
    lblVorla.Caption = "Vorla";
    lblVorla.Enabled = !AnyAtEleven();
    vb::Pause(1200);
    if (match.Replaced())
        return;

    if (!Hand.NetworkGame) {
        for (int i = 1; i <= 3; ++i) {
            if (Players(2).Cards(i) != 0 && Hand.ShowComputerCards)
                picMac(i).Picture = Frente(Players(2).Cards(i)).Picture;
            if (Players(1).Cards(i) != 0 && Hand.PlayInDark)
                picJog(i).Picture = Frente(Players(1).Cards(i)).Picture;
        }
    }

    if (Players(1).Points >= 12 || Players(2).Points >= 12) {
        const int winner = Players(1).Points >= 12 ? 1 : 2;
        lblMens.Caption = winner == 1 ? QString::fromUtf8("Você ganhou a partida!")
                                      : QString::fromUtf8("Você perdeu a partida!");
        AddMatchWon(Players(winner));
        frmVenceu::Get().Show(vb::vbModal, this);
        if (match.Replaced())
            return;
    } else if (Vencedor == 1) {
        lblMens.Caption = QString::fromUtf8("Você ganhou a carteada!");
    } else if (Vencedor == 2) {
        lblMens.Caption = QString::fromUtf8("Você perdeu a carteada!");
    } else if (Vencedor == 3) {
        lblMens.Caption = QString::fromUtf8("Empatou!, ninguém ganha pontos!");
    }

    Hand.Stake = 1;
    UpdateScoreBoard();
    vb::Pause(1000);
    if (match.Replaced())
        return;
    Hand.Turn = Hand.PlayerLeads ? 2 : 1;
    ClearTable();
    for (int i = 1; i <= 4; ++i)
        picBar(i).Visible = true;

    if (Hand.NetworkGame) {
        // The hand is over: no answer to a raise is awaited any more, and the
        // copy that does not ask for the next deal makes it, when the peer
        // asks after it had this copy's last message of the hand.
        answerAsked_.reset();
        if (Hand.PlayerLeads) {
            dealAwaited_.reset();
            dealAsked_ = ask("Iniciar:");
            lblMens.Caption = QString::fromUtf8("Aguarde o adversário cortar o baralho!");
        } else {
            dealAwaited_ = gameSent_;
        }
        return;
    }
    StartGame();
    if (!match.Replaced() && Hand.Turn == 2)
        PlayOpponentCard(ComputerPlay());
}
