#include "game/frmMSG.h"

#include "shell/modFunoes.h"
#include "widgets/modTrans.h"

frmMSG::frmMSG() : lblMessage(this), shpBorda(this), tmrClose(this)
{
    SetBorderStyle(vb::vbBSNone);
    ScaleWidth = 5970;
    ScaleHeight = 1200;
    StartUpPosition = vb::vbStartUpScreen;
    BackColor = QColor(0x15, 0x77, 0x43);
    lblMessage.Move(45, 285, 5895, 765);
    lblMessage.Alignment = vb::vbCenter;
    lblMessage.Transparent = true;
    lblMessage.ForeColor = QColor(0x07, 0x2D, 0x17);
    lblMessage.SetFont(vb::Font{"Arial", 15, true});
    shpBorda.BorderColor = QColor(0x93, 0xF5, 0xC1);
    shpBorda.BorderWidth = 2;
    tmrClose.Enabled = false;
    tmrClose.Interval = 2500;
    tmrClose.OnTimer = [this] { tmrClose_Timer(); };
}

void frmMSG::Form_Load()
{
    SetFormTransparency(*this, 220);
    shpBorda.Move(15, 15, ScaleWidth - 15, ScaleHeight - 15);
    lblMessage.Caption = PopupMessage;
    lblMessage.repaint();
    PlaySoundFile("erro.wav", 1);
    tmrClose.Enabled = true;
}

void frmMSG::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // It has no close box: only its timer closes it.
    if (UnloadMode == vb::vbFormControlMenu)
        Cancel = 1;
}

void frmMSG::tmrClose_Timer()
{
    tmrClose.Enabled = false;
    Unload();
}
