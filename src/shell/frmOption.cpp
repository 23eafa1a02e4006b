#include "shell/frmOption.h"

#include "art/icons.h"
#include "game/modGame.h"
#include "platform/datapath.h"
#include "shell/dialogart.h"
#include "shell/dialoglook.h"
#include "shell/modFunoes.h"
#include "shell/modReg.h"

#include <QApplication>

namespace {

// The topic of each help picture, by its index.
const char* const kHelpTopics[] = {"BarSujoLimpo.htm", "NoEscuro.htm", "ManilhaNovaVelha.htm"};

void frame(vb::Frame& f, int left, const QString& caption)
{
    look::Frame(f, left, 120, 2085, 1350, caption);
}

void panel(vb::PictureBox& p)
{
    p.Move(30, 255, 2025, 1065);
    p.BackColor = look::Face;
}

void pair(vb::ControlArray<vb::OptionButton, 1, 2>& options, const char* first, const char* second)
{
    look::Choice(options(1), 120, 135, 1500, 285, QString::fromUtf8(first));
    look::Choice(options(2), 120, 570, 1500, 285, QString::fromUtf8(second));
}

void button(vb::CommandButton& b, int left, const QString& caption)
{
    b.Move(left, 2880, 1215, 375);
    b.Caption = caption;
}

} // namespace

frmOption::frmOption()
    : fraBaralho(this), fra11x11(this), fraManilhas(this), picBugFix(&fraBaralho), optTipoBar(&picBugFix(0)),
      opt11x11(&picBugFix(1)), optManilha(&picBugFix(2)), picHelp(&picBugFix(0)), imgSom(this), chkSom(this),
      chkExibir(this), imgON(this), imgOff(this), cmdOk(this), cmdCancelar(this)
{
    Caption = QString::fromUtf8("Opções");
    BackColor = look::Face;
    SetBorderStyle(vb::vbFixedDialog);
    ScaleWidth = 6555;
    ScaleHeight = 3465;
    StartUpPosition = vb::vbStartUpScreen;
    SetFont(vb::Font{"Arial", 9});
    placeControls();
    wireHandlers();
}

void frmOption::placeControls()
{
    frame(fraBaralho, 120, "Baralho");
    frame(fra11x11, 2235, QString::fromUtf8("Mão de Ferro (11x11)"));
    frame(fraManilhas, 4350, "Manilhas");
    vb::SetContainer(picBugFix(1), fra11x11);
    vb::SetContainer(picBugFix(2), fraManilhas);
    const qreal ratio = qApp->devicePixelRatio();
    const vb::Picture helpMark = vb::MakePicture(dialogart::HelpMark(ratio));
    for (int i = 0; i <= 2; ++i) {
        panel(picBugFix(i));
        if (i > 0)
            vb::SetContainer(picHelp(i), picBugFix(i));
        picHelp(i).Move(1680, 150, 255, 255);
        picHelp(i).BackColor = look::Face;
        picHelp(i).Picture = helpMark;
    }
    pair(optTipoBar, "Baralho Sujo", "Baralho Limpo");
    pair(opt11x11, "Normal", "No Escuro");
    pair(optManilha, "Manilha nova", "Manilha velha");

    imgON.Picture = vb::MakePicture(dialogart::SoundOn(ratio));
    imgOff.Picture = vb::MakePicture(dialogart::SoundOff(ratio));
    for (vb::Image* store : {&imgON, &imgOff}) {
        store->Move(0, 3600, 300, 300);
        store->Visible = false;
    }
    imgSom.Move(165, 1650, 300, 300);
    imgSom.Picture = imgOff.Picture;
    look::Choice(chkSom, 555, 1665, 2400, 285, "Som Desligado");
    look::Choice(chkExibir, 165, 2130, 6270, 285,
           "Exibir  as cartas  que restaram do computador ao terminar cada rodada");
    button(cmdOk, 3840, "&Ok");
    button(cmdCancelar, 5190, "&Cancelar");
}

void frmOption::wireHandlers()
{
    chkSom.Click = [this] { chkSom_Click(); };
    optManilha.Click = [this](int i) { optManilha_Click(i); };
    picHelp.Click = [this](int i) { picHelp_Click(i); };
    cmdOk.Click = [this] { cmdOk_Click(); };
    cmdCancelar.Click = [this] { cmdCancelar_Click(); };
}

// Setting a box from code runs its click handler as the player's click would,
// so the captions, the sound picture and the rule between deck and manilhas
// follow the stored options.
void frmOption::Form_Load()
{
    chkSom.Value = Hand.SoundOn ? vb::vbChecked : vb::vbUnchecked;
    imgSom.Picture = chkSom.Value == vb::vbChecked ? imgON.Picture : imgOff.Picture;
    optTipoBar(Hand.DirtyDeck ? 1 : 2).Value = true;
    opt11x11(Hand.PlayInDark ? 2 : 1).Value = true;
    chkExibir.Enabled = !Hand.NetworkGame;
    chkExibir.Value = Hand.ShowComputerCards ? vb::vbChecked : vb::vbUnchecked;
    optManilha(Hand.NewManilha ? 1 : 2).Value = true;
    for (int i = 0; i <= 2; ++i)
        picHelp(i).SetMousePointer(vb::MousePointer::Custom, art::HandCursor());
    // A guest plays by the host's rules: only the sound stays its own.
    if (Hand.NetworkGame && !IsServer) {
        for (vb::Frame* f : {&fraBaralho, &fra11x11, &fraManilhas})
            f->Enabled = false;
        for (int i = 1; i <= 2; ++i) {
            optTipoBar(i).Enabled = false;
            opt11x11(i).Enabled = false;
            optManilha(i).Enabled = false;
        }
    }
}

void frmOption::chkSom_Click()
{
    const bool on = chkSom.Value == vb::vbChecked;
    chkSom.Caption = on ? "Som Ligado" : "Som Desligado";
    imgSom.Picture = on ? imgON.Picture : imgOff.Picture;
}

// The 24-card deck has no place for the old manilhas, which are low cards.
void frmOption::optManilha_Click(int)
{
    optTipoBar(2).Enabled = optManilha(1).Value();
    if (optManilha(2).Value)
        optTipoBar(1).Value = true;
}

void frmOption::picHelp_Click(int Index)
{
    const QString helpFile = datapath::HelpFile();
    if (HelpFileFound(helpFile))
        ShowHelpTopic(helpFile, kHelpTopics[Index]);
}

void frmOption::cmdOk_Click()
{
    // Only the deck and the manilha rule change the hand on the table.
    if (optTipoBar(1).Value() != Hand.DirtyDeck)
        OptionsChanged = true;
    if (optManilha(1).Value() != Hand.NewManilha)
        OptionsChanged = true;
    Hand.SoundOn = chkSom.Value == vb::vbChecked;
    Hand.DirtyDeck = optTipoBar(1).Value;
    Hand.PlayInDark = opt11x11(2).Value;
    Hand.ShowComputerCards = chkExibir.Value == vb::vbChecked;
    Hand.NewManilha = optManilha(1).Value;
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "Som", BoolText(Hand.SoundOn));
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "Baralho Sujo", BoolText(Hand.DirtyDeck));
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "No Escuro", BoolText(Hand.PlayInDark));
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "Exibir Carta", BoolText(Hand.ShowComputerCards));
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "Manilha Nova", BoolText(Hand.NewManilha));
    Unload();
}

void frmOption::cmdCancelar_Click()
{
    Unload();
}
