#pragma once
// The about box: the program's name, a picture, the version line and two
// links, one to the program's own help and one that starts a mail to support.
// A link shows a hand pointer and blue underlined text while the pointer is
// over it, and opens its target (its Tag) on a click.
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/picturebox.h"

class frmSobre : public vb::FormBase<frmSobre> {
public:
    frmSobre();

    // Controls, in their design state.
    vb::Label Label1;
    vb::Label Label2;
    vb::Image Image1;
    vb::Label lbSoftware;
    vb::Label lblSite;
    vb::ControlArray<vb::Label, 2, 2> lblInfo;
    vb::ControlArray<vb::Label, 0, 1> lblLink;

    // Handlers. Where the original dragged the label to show its hand pointer,
    // the pointer's moving over the label, its leaving and the click stand in.
    void Form_Load() override;
    void lblLink_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void lblLink_MouseLeave(int Index);
    void lblLink_Click(int Index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeControls();
    void wireHandlers();
    // The label's look when the pointer is not over it.
    void plain(int Index);
};
