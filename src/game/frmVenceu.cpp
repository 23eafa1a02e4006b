#include "game/frmVenceu.h"

#include "game/modGame.h"
#include "game/tableart.h"
#include "widgets/modTrans.h"

#include <QApplication>

namespace {
void whiteLabel(vb::Label& l, int left, int top, int width, int height, double size, int alignment)
{
    l.Move(left, top, width, height);
    l.SetFont(vb::Font{"Arial", size, true});
    l.ForeColor = Qt::white;
    l.Transparent = true;
    l.Alignment = alignment;
}
} // namespace

frmVenceu::frmVenceu() : lblVencedor(this), lblNome(this), lblPlacar(this), tmrClose(this)
{
    SetBorderStyle(vb::vbBSNone);
    ScaleWidth = 6045;
    ScaleHeight = 2775;
    StartUpPosition = vb::vbStartUpOwner;
    BackColor = QColor(0x80, 0x80, 0x80);
    Picture = vb::MakePicture(tableart::WinnerPanel(qApp->devicePixelRatio()));
    whiteLabel(lblVencedor, 2445, 645, 1110, 285, 12, vb::vbLeftJustify);
    lblVencedor.WordWrap = false;
    lblVencedor.AutoSize = true;
    lblVencedor.Caption = "Vencedor";
    for (int i = 1; i <= 2; ++i) {
        whiteLabel(lblNome(i), i == 1 ? 450 : 3165, 1050, 2340, 285, 12, vb::vbCenter);
        lblNome(i).Caption = i == 1 ? "JOGADOR 1" : "JOGADOR 2";
        whiteLabel(lblPlacar(i), i == 1 ? 450 : 3165, 1395, 2340, 615, 26.25, vb::vbCenter);
        lblPlacar(i).Caption = "0";
    }
    tmrClose.Enabled = false;
    tmrClose.Interval = 4000;
    tmrClose.OnTimer = [this] { tmrClose_Timer(); };
}

void frmVenceu::Form_Load()
{
    SetFormTransparency(*this, 220);
    UpdateScoreBoard();
    lblVencedor.Caption = Players(1).Points >= 12 ? Players(1).Name : Players(2).Name;
    for (int i = 1; i <= 2; ++i) {
        lblNome(i).Caption = Players(i).Name;
        lblPlacar(i).Caption = QString::number(Players(i).MatchesWon);
        Players(i).Points = 0;
    }
    tmrClose.Enabled = true;
}

void frmVenceu::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // It has no close box: only its timer closes it.
    if (UnloadMode == vb::vbFormControlMenu)
        Cancel = 1;
}

void frmVenceu::tmrClose_Timer()
{
    tmrClose.Enabled = false;
    Unload();
}
