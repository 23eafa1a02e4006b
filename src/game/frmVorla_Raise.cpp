// The local player's raise and run labels, and the raises against the computer.
#include "game/frmVorla.h"
#include "game/frmVorlada.h"
#include "game/modAI.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/random.h"
#include "shell/modFunoes.h"

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
        answerAsked_ = ask("Vorla:");
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

void frmVorla::ShowStake()
{
    lblVorla.Caption = StakeCallName();
    UpdateScoreBoard();
}

void frmVorla::HandleRaise(std::uint8_t mode)
{
    if (mode == 1) {
        switch (AIEvaluateRaise()) {
        case 1:
            RaiseStake();
            Hand.InputLocked = (Hand.Turn != 1);
            Hand.LastRaiser = 1;
            PlaySoundFile("aceito.wav", 2);
            ShowStake();
            break;
        case 2:
            RaiseStake();
            ShowStake();
            HandleRaise(2);
            break;
        default:
            PlaySoundFile("Correu.wav", 2);
            lblMens.Caption = QString::fromUtf8("Você deve estar blefando, mas eu vou correr.");
            Ganha(1);
            break;
        }
        return;
    }

    const MatchGuard match;
    frmVorlada::Get().Show(vb::vbModal, this);
    if (match.Replaced())
        return;
    switch (Hand.RaiseAnswer) {
    case 1:
        Hand.InputLocked = (Hand.Turn != 1);
        ShowStake();
        break;
    case 2:
        ShowStake();
        HandleRaise(1);
        break;
    default:
        PlaySoundFile("Perdeu" + QString::number(vb::RndUpTo(3)) + ".wav", 2);
        Ganha(2);
        break;
    }
}
