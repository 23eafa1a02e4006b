#pragma once
// The "Novo Jogo" window: the player's name and the kind of the next match,
// against the computer or on the network as host or guest. A match against
// the computer is dealt inside its "Jogar" handler. It is shown modally at
// start-up (no owner) and from the table's menu (the table as owner).
#include "platform/forms/button.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/frame.h"
#include "platform/forms/label.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/shape.h"
#include "platform/forms/textbox.h"

class frmIniciar : public vb::FormBase<frmIniciar> {
public:
    frmIniciar();

    // Controls, in their design state; stacking and tab order follow this order.
    vb::Label lblJogador;
    vb::Shape ln;
    vb::TextBox txtJogador;
    vb::Frame fraJogo;
    vb::Frame fraRede;
    vb::ControlArray<vb::PictureBox, 0, 1> picBugFix;
    vb::OptionButton optSozinho;
    vb::OptionButton optRede;
    vb::CheckBox chkServidor;
    vb::CheckBox chkCliente;
    vb::Label lblExemplo;
    vb::Shape ln2;
    vb::TextBox txtServer;
    vb::CommandButton cmdBuscar;
    vb::Label lblMens;
    vb::CommandButton cmdCancelar;
    vb::CommandButton cmdJogar;

    // Handlers.
    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void optRede_Click();
    void optSozinho_Click();
    void chkServidor_Click();
    void chkCliente_Click();
    void txtJogador_Change();
    void txtJogador_GotFocus();
    void txtJogador_LostFocus();
    void txtServer_GotFocus();
    void txtServer_LostFocus();
    void cmdBuscar_Click();
    void cmdCancelar_Click();
    void cmdJogar_Click();

private:
    void placeControls();
    void wireHandlers();
    // A guest's checks of the host: given, and answering. False stops "Jogar".
    bool hostAnswers();
    void startComputerGame();
};
