#pragma once
// The card-back chooser: the ten backs, cut round, with an orange frame that
// follows the pointer. A click makes that back the one of every face-down
// card, saves it and closes; the table then repaints its backs.
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/shape.h"

class frmBaralho : public vb::FormBase<frmBaralho> {
public:
    frmBaralho();

    // Controls, in their design state (the frame lies under the backs).
    vb::Label lblInfo;
    vb::Shape shpBaralho;
    vb::ControlArray<vb::PictureBox, 1, 10> CartaVerso;

    // Handlers.
    void Form_Load() override;
    void CartaVerso_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void CartaVerso_Click(int Index);
};
