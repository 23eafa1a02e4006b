#pragma once
// The raise-answer dialog: the opponent's shout for the stake being raised, and
// the local player's answer: accept, raise again or run.
#include "platform/forms/commandbutton.h"
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/shape.h"

class frmVorlada : public vb::FormBase<frmVorlada> {
public:
    frmVorlada();

    vb::Shape shpBorda;
    vb::Label lblGrito;
    vb::ControlArray<vb::CommandButton, 1, 3> Retorno;

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Retorno_Click(int Index);

    // The shouts for a raise from the given stake (1, 3, 6 or 9).
    static QStringList Shouts(int stake);
};
