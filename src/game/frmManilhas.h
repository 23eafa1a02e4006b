#pragma once
// The manilha chart: the four manilhas of the turned card, strongest first,
// with a short explanation of the rule. The table shows it when the player
// clicks the turned card.
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/picturebox.h"

class frmManilhas : public vb::FormBase<frmManilhas> {
public:
    frmManilhas();

    // Controls, in their design state; each card lies over the one before.
    vb::ControlArray<vb::PictureBox, 1, 4> picManilha;
    vb::Label Label1;
    vb::Label Label2;
    vb::Label Label3;
    vb::Label Label4;
    vb::Label Label5;
    vb::Label Label6;
    vb::Label Label7;
    vb::Label Label8;
    vb::Label Label9;
    vb::Label Label10;

    void Form_Load() override;
};
