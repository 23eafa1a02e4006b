#pragma once
// The "Opções" window: sound, deck, the rule for both players at eleven
// points, the manilha rule and showing the computer's last cards. It edits the
// option flags of the match state only on OK, which also saves them; the table
// deals again when OK changed the deck or the manilha rule (OptionsChanged).
#include "platform/forms/button.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/frame.h"
#include "platform/forms/picturebox.h"

class frmOption : public vb::FormBase<frmOption> {
public:
    frmOption();

    // Controls, in their design state. Each frame holds a panel (picBugFix)
    // with the frame's two choices and its help picture.
    vb::Frame fraBaralho;
    vb::Frame fra11x11;
    vb::Frame fraManilhas;
    vb::ControlArray<vb::PictureBox, 0, 2> picBugFix;
    vb::ControlArray<vb::OptionButton, 1, 2> optTipoBar;
    vb::ControlArray<vb::OptionButton, 1, 2> opt11x11;
    vb::ControlArray<vb::OptionButton, 1, 2> optManilha;
    vb::ControlArray<vb::PictureBox, 0, 2> picHelp;
    vb::Image imgSom;
    vb::CheckBox chkSom;
    vb::CheckBox chkExibir;
    vb::Image imgON;
    vb::Image imgOff;
    vb::CommandButton cmdOk;
    vb::CommandButton cmdCancelar;

    // Handlers.
    void Form_Load() override;
    void chkSom_Click();
    void optManilha_Click(int Index);
    void picHelp_Click(int Index);
    void cmdOk_Click();
    void cmdCancelar_Click();

private:
    void placeControls();
    void wireHandlers();
};
