#include "game/frmVorlada.h"

#include "game/modGame.h"
#include "platform/random.h"
#include "shell/modFunoes.h"
#include "widgets/modTrans.h"

#include <cmath>

frmVorlada::frmVorlada() : shpBorda(this), lblGrito(this), Retorno(this)
{
    SetBorderStyle(vb::vbBSNone);
    ScaleWidth = 5970;
    ScaleHeight = 1200;
    StartUpPosition = vb::vbStartUpOwner;
    BackColor = QColor(0xF1, 0xF1, 0xF1);
    lblGrito.Move(60, 240, 5865, 285);
    lblGrito.SetFont(vb::Font{"Arial", 12, true});
    lblGrito.Alignment = vb::vbCenter;
    lblGrito.Transparent = true;
    lblGrito.Caption = QString::fromUtf8("Voooooorlaaaaa... Vamos com três tentos!!!");
    const char* const captions[] = {"Aceitar", "Pedir 6", "Correr"};
    for (int i = 1; i <= 3; ++i) {
        Retorno(i).Move(495 + 1770 * (i - 1), 720, 1680, i == 3 ? 345 : 330);
        Retorno(i).SetFont(vb::Font{"Arial", 9, true});
        Retorno(i).Caption = captions[i - 1];
    }
    Retorno.Click = [this](int Index) { Retorno_Click(Index); };
}

QStringList frmVorlada::Shouts(int stake)
{
    switch (stake) {
    case 1:
        return {QString::fromUtf8("Vorla logo de cara!"), QString::fromUtf8("Voooooorlaaaaa... pra começar!"),
                "Voooooorlaaaaa... Vamos ver tuas cartas!", "Voooooorlaaaaa... suas Cartas!",
                "Voooooorlaaaaa... Marreco!", QString::fromUtf8("Voooooorlaaaaa... Ladrão!!!"),
                "Voooooorlaaaaa... Mostra logo as cartas!!!",
                QString::fromUtf8("Voooooorlaaaaa... Vamos com três tentos!!!")};
    case 3:
        return {"Seeeeeiiiiisss... Vamos ver se aguenta!!!", QString::fromUtf8("Seeeeeiiiiisss... Marréco!!!"),
                "Seeeeeiiiiisss... Vamos ver quem pode mais!!!", QString::fromUtf8("Seeeeeiiiiisss... Freguêis !!!!"),
                QString::fromUtf8("Seeeeeiiiiisss... Agora você aprende a jogar!!!"),
                QString::fromUtf8("Seeeeeiiiiisss... Vem quente que eu tô fervendo!!!")};
    case 6:
        return {"Noooovvvveee... Vamos ver se aguenta!!!", "Noooovvvveee... Vamos ver quem pode mais!!!!!!",
                "Noooovvvveee... Mostra logo as cartas!!!", "Noooovvvveee... Toma nove !!!!", "Nove Mareco !!!!!"};
    case 9:
        return {"Doooozzzeeee... Pra acabar!!!", "Doooozzzeeee... Manda que eu quero ver!!!", "Toma Doze",
                "Doze Marreco !!!!!", "Doze 12 12 12 1 2 !!!"};
    default:
        return {};
    }
}

void frmVorlada::Form_Load()
{
    SetFormTransparency(*this, 220);
    shpBorda.Move(15, 15, ScaleWidth - 15, ScaleHeight - 15);
    struct Rung {
        int stake;
        const char* raiseAgain; // none for the raise to 12
        const char* sound;
    };
    static const Rung rungs[] = {{1, "Pedir 6", "vorla.wav"},
                                 {3, "Pedir 9", "seis.wav"},
                                 {6, "Pedir 12", "nove.wav"},
                                 {9, nullptr, "doze.wav"}};
    // At any other stake there is nothing to raise to.
    Retorno(2).Visible = false;
    for (const Rung& rung : rungs) {
        if (rung.stake != Hand.Stake)
            continue;
        if (rung.raiseAgain) {
            Retorno(2).Caption = rung.raiseAgain;
            Retorno(2).Visible = true;
        }
        const QStringList shouts = Shouts(rung.stake);
        lblGrito.Caption = shouts.at(static_cast<int>(std::floor(shouts.size() * vb::Rnd())));
        PlaySoundFile(rung.sound, 1);
    }
}

void frmVorlada::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // Only an answer closes the dialog; a close request would leave a stale answer.
    if (UnloadMode == vb::vbFormControlMenu)
        Cancel = 1;
}

void frmVorlada::Retorno_Click(int Index)
{
    if (Index != 3)
        RaiseStake();
    Hand.LastRaiser = 2;
    Hand.RaiseAnswer = static_cast<std::uint8_t>(Index);
    Unload();
}
