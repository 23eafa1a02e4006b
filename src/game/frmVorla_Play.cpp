// Card play by mouse, and the opponent's card reaching the table.
#include "game/frmMSG.h"
#include "game/frmVorla.h"
#include "game/modAI.h"
#include "game/modGame.h"
#include "platform/forms/pace.h"
#include "shell/modFunoes.h"

void frmVorla::showPopup(const QString& text)
{
    PopupMessage = text;
    frmMSG::Get().Show(vb::vbModal);
}

bool frmVorla::flyCard(vb::Control& card, const vb::Control& target, const MatchGuard& match)
{
    AnimateCardMove(card, target, 15, [&match] { return !match.Replaced(); });
    return !match.Replaced();
}

void frmVorla::picJog_MouseDown(int Index, int Button, int, float, float)
{
    const GameStep step;
    if (Button != vb::vbRightButton || Hand.Turn == 2 || Hand.InputLocked)
        return;
    if (Hand.RoundNo == 1) {
        showPopup(QString::fromUtf8("Não é permitido descartar a carta na primeira rodada"));
        return;
    }
    if (Players(2).FaceDown) {
        showPopup(QString::fromUtf8("O adversário já descartou nesta jogada! Você deve mostrar uma carta!"));
        return;
    }
    for (int i = 1; i <= 3; ++i) {
        if (i != Index && picJog(i).Tag == "Costas") {
            picJog(i).Tag = "";
            // A covered card already played keeps its tag but has no face left.
            if (Players(1).Cards(i) != 0)
                picJog(i).Picture = Frente(Players(1).Cards(i)).Picture;
        }
    }
    if (picJog(Index).Tag != "Costas") {
        picJog(Index).Tag = "Costas";
        picJog(Index).Picture = Verso(CardBack).Picture;
    } else {
        picJog(Index).Tag = "";
        picJog(Index).Picture = Frente(Players(1).Cards(Index)).Picture;
    }
}

void frmVorla::picJog_MouseMove(int Index, int, int, float, float)
{
    if (PlayInProgress || imgSombra.Visible)
        return;
    picJog(Index).Move(HandLeft(Index) - 15, HandTop - 15);
    imgSombra.Visible = true;
    imgSombra.Move(picJog(Index).Left + 15, HandTop);
}

void frmVorla::picJog_MouseUp(int Index, int Button, int Shift, float X, float Y)
{
    if (Button == vb::vbRightButton) {
        Form_MouseMove(Button, Shift, X, Y);
        return;
    }
    if (Button != vb::vbLeftButton || Hand.Turn != 1 || Hand.InputLocked)
        return;
    const GameStep step;
    // A slot already played has no card to play (a click on a stale picture).
    if (Players(1).Cards(Index) == 0 || !vb::Array<int, 1, 3>::InRange(Hand.RoundNo))
        return;
    const MatchGuard match;
    Hand.Turn = 2;
    Hand.InputLocked = true;
    PlayInProgress = true;
    Players(1).FaceDown = (picJog(Index).Tag == "Costas");
    if (Players(1).FaceDown) {
        picJog(Index).Picture = Verso(CardBack).Picture;
        vb::Pause(200);
        EnviarDados("Descarta:#" + QString::number(Index));
    } else {
        picJog(Index).Picture = Frente(Players(1).Cards(Index)).Picture;
        EnviarDados("Jogar:#" + QString::number(Index));
    }
    imgSombra.Visible = false;
    vb::DoEvents();
    if (!flyCard(picJog(Index), picLance(1), match)) {
        PlayInProgress = false;
        return;
    }
    picLance(1).Picture = picJog(Index).Picture;
    picLance(1).ZOrder(0);
    picLance(1).Visible = true;
    Jogada1(Hand.RoundNo).ZOrder(0);
    Players(1).TableValue = CardValue(Players(1).Cards(Index));
    Players(1).Cards(Index) = 0;
    CheckTrick();
    PlayInProgress = false;
    if (!match.Replaced() && !Hand.NetworkGame && Hand.Turn == 2)
        PlayOpponentCard(ComputerPlay());
}

std::uint8_t frmVorla::ComputerPlay()
{
    const MatchGuard match;
    const HandGuard hand;
    Hand.InputLocked = true;
    const ComputerTurn turn = StartComputerTurn();
    if (turn.Raises) {
        HandleRaise(2);
        // A run from that raise has scored this hand and dealt the next one.
        if (match.Replaced() || hand.Replaced())
            return 0;
    }
    vb::Pause(500);
    if (match.Replaced())
        return 0;
    const ComputerCard card = ChooseComputerCard(turn.q);
    if (card.Slot != 0)
        Players(2).FaceDown = card.FaceDown;
    return card.Slot;
}

void frmVorla::PlayOpponentCard(std::uint8_t Index)
{
    // Slot 0 means the computer had no card to play after all (its own raise
    // ended the hand); a slot must hold a card.
    if (Hand.Turn != 2 || !vb::Array<int, 1, 3>::InRange(Index) || Players(2).Cards(Index) == 0)
        return;
    if (!vb::Array<int, 1, 3>::InRange(Hand.RoundNo))
        return;
    const MatchGuard match;
    Hand.Turn = 1;
    picMac(Index).Picture = Players(2).FaceDown ? Verso(CardBack).Picture : Frente(Players(2).Cards(Index)).Picture;
    flyCard(picMac(Index), picLance(2), match);
    vb::DoEvents();
    if (match.Replaced())
        return;
    picLance(2).Picture = picMac(Index).Picture;
    picLance(2).ZOrder(0);
    picLance(2).Visible = true;
    Jogada2(Hand.RoundNo).ZOrder(0);
    Players(2).TableValue = CardValue(Players(2).Cards(Index));
    Players(2).Cards(Index) = 0;
    Hand.InputLocked = false;
    CheckTrick();
    if (!match.Replaced() && !Hand.NetworkGame && Hand.Turn == 2)
        PlayOpponentCard(ComputerPlay());
}
