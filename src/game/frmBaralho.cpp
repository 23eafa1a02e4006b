#include "game/frmBaralho.h"

#include "art/cards.h"
#include "art/icons.h"
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/twips.h"
#include "shell/dialoglook.h"
#include "shell/modReg.h"
#include "widgets/modAutoShap.h"

namespace {

const QColor kOrange(0xFF, 0x80, 0x00);
constexpr int kFrameWidth = 6; // pixels

// A wide border was drawn centred on the shape's outline; ours lies inside the
// shape, so the frame reaches half its width beyond the card all round.
constexpr int kFrameOutside = kFrameWidth / 2 * vb::TwipsPerPixel;

} // namespace

frmBaralho::frmBaralho() : lblInfo(this), shpBaralho(this), CartaVerso(this)
{
    Caption = "Selecionar baralho";
    BackColor = look::Face;
    SetBorderStyle(vb::vbFixedToolWindow);
    ScaleWidth = 6210;
    ScaleHeight = 3870;
    StartUpPosition = vb::vbStartUpScreen;
    SetFont(vb::Font{"Arial", 9});

    lblInfo.Move(1275, 165, 3675, 240);
    lblInfo.Caption = "Clique no baralho a ser usado no jogo";
    lblInfo.ForeColor = QColor(0x40, 0x40, 0x40);
    lblInfo.Transparent = true;
    lblInfo.SetFont(vb::Font{"Arial", 9.75, true});
    lblInfo.WordWrap = false;

    shpBaralho.BorderWidth = kFrameWidth;
    shpBaralho.Visible = false; // until the pointer first reaches a back
    const int lefts[] = {195, 1395, 2595, 3795, 4965};
    for (int i = 1; i <= 10; ++i)
        CartaVerso(i).Move(lefts[(i - 1) % 5], i <= 5 ? 570 : 2130, 1065, 1440);

    CartaVerso.MouseMove = [this](int i, int b, int s, float x, float y) { CartaVerso_MouseMove(i, b, s, x, y); };
    CartaVerso.Click = [this](int i) { CartaVerso_Click(i); };
}

void frmBaralho::Form_Load()
{
    for (int i = 1; i <= 10; ++i) {
        CartaVerso(i).SetMousePointer(vb::MousePointer::Custom, art::HandCursor());
        CartaVerso(i).Picture = frmVorla::Get().Verso(i).Picture;
        AutoShapeFromPicture(CartaVerso(i), art::BackKey);
    }
    shpBaralho.BorderColor = kOrange;
}

void frmBaralho::CartaVerso_MouseMove(int Index, int, int, float, float)
{
    const vb::PictureBox& back = CartaVerso(Index);
    shpBaralho.Move(back.Left - kFrameOutside, back.Top - kFrameOutside, back.Width + 2 * kFrameOutside,
                    back.Height + 2 * kFrameOutside);
    shpBaralho.Visible = true;
}

void frmBaralho::CartaVerso_Click(int Index)
{
    CardBack = static_cast<std::uint8_t>(Index);
    RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "Verso", QString::number(CardBack));
    OptionsChanged = true;
    Unload();
}
