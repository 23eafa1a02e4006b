// The table's part of every hand's start: the cut and the deal.
#include "game/frmVorla.h"
#include "game/modAI.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "shell/modFunoes.h"

void frmVorla::StartGame()
{
    const MatchGuard match;
    Hand.InputLocked = true;
    ShuffleAndDeal();
    Players(2).Name = "Computador";
    if (Hand.PlayerLeads)
        ShuffleAndCut();
    if (!match.Replaced())
        DealHand();
}

void frmVorla::ShuffleAndCut()
{
    // A click left over from an earlier spread must not cut this deck.
    const MatchGuard match;
    Hand.DeckCut = false;
    ClearTable();
    PlaySoundFile("Embaralhar.wav", 1);
    for (int i = 40; i >= 1; --i) {
        picCarta(i).Picture = Verso(CardBack).Picture;
        picCarta(i).Visible = true;
        vb::Pause(15);
        if (match.Replaced())
            return;
    }
    lblbaralho.Visible = true;

    bool stopped = false;
    vb::WaitUntil([&] {
        if (OptionsChanged) {
            OptionsChanged = false;
            for (int i = 1; i <= 40; ++i)
                picCarta(i).Picture = Verso(CardBack).Picture;
        }
        stopped = StopAnimation || match.Replaced();
        return stopped || Hand.DeckCut;
    });
    if (stopped)
        return;

    Hand.DeckCut = false;
    lblbaralho.Visible = false;
    for (int i = 1; i <= 40; ++i) {
        picCarta(i).Visible = false;
        vb::Pause(15);
        if (match.Replaced())
            return;
    }
    for (int i = 1; i <= 4; ++i) {
        picBar(i).Picture = Verso(CardBack).Picture;
        picBar(i).Visible = true;
    }
}

void frmVorla::DealHand()
{
    const MatchGuard match;
    CountNewHand();
    Hand.RoundNo = 1;
    Hand.Stake = 1;
    Hand.LastRaiser = 0;
    // A hand dealt again in the middle of a raised one starts from the first call.
    ShowStake();
    lblVorla.Enabled = !AnyAtEleven();
    lblMens.Caption = "";
    for (int p = 1; p <= 2; ++p) {
        Players(p).TableValue = 0;
        Players(p).FaceDown = false;
    }
    for (int i = 1; i <= 4; ++i) {
        picBar(i).Picture = Verso(CardBack).Picture;
        picBar(i).Visible = true;
    }
    for (int i = 1; i <= 3; ++i)
        picJog(i).Move(HandLeft(i), HandTop);

    // A peer that leaves during a flight empties the hands: each flight is checked.
    for (int i = 1; i <= 3; ++i) {
        picBar(1).Visible = true;
        if (!flyCard(picBar(1), picJog(i), match))
            return;
        picJog(i).Picture = IsPlayingInDark() ? Verso(CardBack).Picture : Frente(Players(1).Cards(i)).Picture;
        picJog(i).Visible = true;
        picJog(i).Tag = "";
        picBar(1).Visible = true;
        if (!flyCard(picBar(1), picMac(i), match))
            return;
        picMac(i).Picture = Verso(CardBack).Picture;
        picMac(i).Visible = true;
    }
    vb::Pause(200);
    if (match.Replaced())
        return;

    CartaVira.Picture = IsPlayingInDark() ? Verso(CardBack).Picture : Frente(Hand.Vira).Picture;
    CartaVira.Enabled = !IsPlayingInDark();
    CartaVira.Visible = Hand.NewManilha;

    if (!AnyAtEleven()) {
        lblMens.Caption = Hand.Turn == 1 ? QString::fromUtf8("Você começa o jogo!")
                                         : QString::fromUtf8("Aguarde o adversário jogar!");
        Hand.InputLocked = (Hand.Turn != 1);
    }
    Hand.PlayerLeads = !Hand.PlayerLeads;

    if (BothAtEleven()) {
        lblMens.Caption = "A rodada vale o jogo! " + YourMoveOr(QString::fromUtf8("Aguarde o adversário jogar!"));
        Hand.InputLocked = (Hand.Turn != 1);
    } else if (Players(1).Points == 11) {
        const int answer = vb::MsgBox(QString::fromUtf8("Você tem 11 pontos! Deseja jogar com estas cartas?"),
                                      vb::vbYesNo | vb::vbQuestion);
        if (match.Replaced())
            return;
        if (answer == vb::vbYes) {
            Hand.Stake = 3;
            UpdateScoreBoard();
            EnviarDados("Manda11:");
            lblMens.Caption = YourMoveOr(QString::fromUtf8("Aguarde o adversário jogar!"));
            Hand.InputLocked = (Hand.Turn != 1);
        } else {
            Hand.InputLocked = true;
            EnviarDados("Correu:");
            Ganha(2);
        }
    } else if (Players(2).Points == 11) {
        if (!Hand.NetworkGame) {
            if (MiddleCardValue(2) > MiddleCardValue(1) || HighestCardValue(2) > HighestCardValue(1)) {
                Hand.Stake = 3;
                UpdateScoreBoard();
                Hand.InputLocked = (Hand.Turn != 1);
            } else {
                lblMens.Caption = QString::fromUtf8("Não tenho nada eu corro !");
                PlaySoundFile("correu.wav", 1);
                Ganha(1);
            }
        } else {
            lblMens.Caption = QString::fromUtf8("Aguarde o adversário decidir se vai jogar!");
        }
    }
}
