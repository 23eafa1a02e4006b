// The table's judgement of a round and of the hand.
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/pace.h"
#include "shell/modFunoes.h"

#include <cmath>

void frmVorla::CheckTrick()
{
    if (Players(1).TableValue == 0 || Players(2).TableValue == 0) {
        if (Players(2).FaceDown)
            lblMens.Caption = QString::fromUtf8("O adversário descartou no baralho! Faça a sua jogada!");
        else if (Hand.Turn == 1)
            lblMens.Caption = QString::fromUtf8("Faça a sua jogada!");
        else
            lblMens.Caption = QString::fromUtf8("Aguarde o adversário fazer sua jogada!");
        return;
    }
    if (!vb::Array<int, 1, 3>::InRange(Hand.RoundNo))
        return;
    const MatchGuard match;
    const int r = Hand.RoundNo;
    const QString round = r == 1 ? "primeira" : "segunda";
    Hand.InputLocked = true;

    // A face-down card counts as nothing.
    if (Players(1).FaceDown)
        Players(1).TableValue = 0;
    else if (Players(2).FaceDown)
        Players(2).TableValue = 0;

    QString message;
    if (Players(2).TableValue > Players(1).TableValue) {
        message = QString::fromUtf8("Você perdeu a ") + round + QString::fromUtf8("! Aguarde o adversário tornar!");
        lblVenceu(r).Caption = Players(2).Name;
        Hand.RoundWinner(r) = 2;
        Hand.Turn = 2;
    } else if (Players(1).TableValue > Players(2).TableValue) {
        message = QString::fromUtf8("Você ganhou a ") + round + "! Torne outra carta!";
        lblVenceu(r).Caption = Players(1).Name;
        Hand.RoundWinner(r) = 1;
        Hand.Turn = 1;
    } else {
        message = "Embuxou a " + round + "! "
                  + (Hand.Turn == 1 ? QString("Torne outra carta!") : QString::fromUtf8("Aguarde o adversário jogar!"));
        lblVenceu(r).Caption = "Empate";
        Hand.RoundWinner(r) = 3;
    }

    int startTop[3], startLeft[3];
    for (int i = 1; i <= 2; ++i) {
        Players(i).TableValue = 0;
        Players(i).FaceDown = false;
        startTop[i] = picLance(i).Top;
        startLeft[i] = picLance(i).Left;
    }
    lblMens.Caption = "";
    vb::Pause(500);
    if (match.Replaced())
        return;

    // The round's two cards fly to their piles in ten steps.
    auto pile = [&](int i) -> vb::PictureBox& { return i == 1 ? Jogada1(r) : Jogada2(r); };
    for (int step = 1; step <= 10; ++step) {
        if (StopAnimation || match.Replaced())
            return;
        for (int i = 1; i <= 2; ++i) {
            picLance(i).Top = static_cast<int>(std::lround(picLance(i).Top + (pile(i).Top - startTop[i]) / 10.0));
            picLance(i).Left = static_cast<int>(std::lround(picLance(i).Left + (pile(i).Left - startLeft[i]) / 10.0));
        }
        vb::Pause(10);
    }

    picLance(1).Visible = false;
    picLance(2).Visible = false;
    picLance(1).Move(LanceLeft(1), LanceTop(1));
    picLance(2).Move(LanceLeft(2), LanceTop(2));
    Jogada1(r).Picture = picLance(1).Picture;
    Jogada2(r).Picture = picLance(2).Picture;
    Jogada1(r).Visible = true;
    Jogada2(r).Visible = true;
    lblVenceu(r).Visible = true;

    PlaySoundFile("cart1.wav", 1);
    vb::Pause(1000);
    if (match.Replaced())
        return;

    if (IsPlayingInDark()) {
        CartaVira.Picture = Frente(Hand.Vira).Picture;
        CartaVira.Enabled = true;
    }

    const int result = HandResult();
    if (result != 0) {
        Ganha(static_cast<std::uint8_t>(result));
        return;
    }
    Hand.InputLocked = (Hand.Turn != 1);
    Hand.RoundNo = Hand.RoundNo + 1;
    lblMens.Caption = message;
}
