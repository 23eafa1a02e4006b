#pragma once
// The short popup through which the table refuses a move: the text of
// PopupMessage, an error sound, and it closes itself after 2.5 seconds.
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/shape.h"
#include "platform/forms/timer.h"

class frmMSG : public vb::FormBase<frmMSG> {
public:
    frmMSG();

    vb::Label lblMessage;
    vb::Shape shpBorda;
    vb::Timer tmrClose;

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void tmrClose_Timer();
};
