#pragma once
// The winner announcement at the end of a match: the winner, both names and
// the matches each has won. Loading it starts the next match (both players'
// points go back to 0); it closes itself after 4 seconds.
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/timer.h"

class frmVenceu : public vb::FormBase<frmVenceu> {
public:
    frmVenceu();

    vb::Label lblVencedor;
    vb::ControlArray<vb::Label, 1, 2> lblNome;
    vb::ControlArray<vb::Label, 1, 2> lblPlacar;
    vb::Timer tmrClose;

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void tmrClose_Timer();
};
