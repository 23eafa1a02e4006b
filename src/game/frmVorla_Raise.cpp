// The local player's raise and run labels.
#include "game/frmVorla.h"
#include "game/modAI.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"

void frmVorla::lblVorla_Click()
{
    const GameStep step;
    if (!picJog(1).Visible && !picJog(2).Visible && !picJog(3).Visible)
        return;
    if (Hand.Stake >= 12 || Hand.InputLocked) {
        vb::Beep();
        return;
    }
    if (Hand.LastRaiser == 1 || Hand.Turn != 1) {
        showPopup("Aguarde a sua vez de vorlar!");
        return;
    }
    Hand.InputLocked = true;
    if (Hand.NetworkGame) {
        EnviarDados("Vorla:");
        lblMens.Caption = QString::fromUtf8("Aguarde o adversário se decidir!");
    } else {
        HandleRaise(1);
    }
}

void frmVorla::lblCorrer_Click()
{
    const GameStep step;
    if (Hand.Turn == 1 && !Hand.InputLocked) {
        Hand.InputLocked = true;
        EnviarDados("Correu:");
        lblMens.Caption = QString::fromUtf8("Deste jeito vai ser muito fácil de ganhar de você.");
        Ganha(2);
    } else {
        vb::Beep();
    }
}
