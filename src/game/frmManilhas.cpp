#include "game/frmManilhas.h"

#include "art/cards.h"
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "shell/dialoglook.h"
#include "widgets/modAutoShap.h"

namespace {

void label(vb::Label& l, int left, int top, int width, int height, const char* caption, bool bold = false)
{
    l.Move(left, top, width, height);
    l.SetFont(vb::Font{"MS Sans Serif", 8.25, bold});
    l.ForeColor = QColor(0x40, 0x40, 0x40);
    l.Transparent = true;
    // A caption of one line stays on one line: our fonts are a little wider
    // than the boxes were made for.
    if (height < 300) {
        l.WordWrap = false;
        l.AutoSize = true;
    }
    l.Caption = QString::fromUtf8(caption);
}

} // namespace

frmManilhas::frmManilhas()
    : picManilha(this), Label1(this), Label2(this), Label3(this), Label4(this), Label5(this), Label6(this),
      Label7(this), Label8(this), Label9(this), Label10(this)
{
    Caption = "Manilhas";
    BackColor = look::Face;
    SetBorderStyle(vb::vbFixedToolWindow);
    ScaleWidth = 7245;
    ScaleHeight = 3105;
    StartUpPosition = vb::vbStartUpOwner;
    SetFont(vb::Font{"Arial", 9});

    const int places[][2] = {{165, 480}, {870, 720}, {1590, 960}, {2325, 1185}};
    for (int i = 1; i <= 4; ++i)
        picManilha(i).Move(places[i - 1][0], places[i - 1][1], 1065, 1440);
    label(Label1, 225, 225, 315, 195, "ZAP");
    label(Label2, 1275, 465, 675, 195, "Escopeta");
    label(Label3, 1980, 705, 690, 195, "Espadilha");
    label(Label4, 2685, 945, 705, 195, "Pica fumo");
    label(Label5, 645, 2715, 2055, 195, "Da mais forte para mais fraca");
    label(Label6, 3660, 315, 3225, 195, "As 4 manilhas são definidas pela carta virada.");
    label(Label7, 3660, 735, 3345, 645,
          "As manilhas são as cartas mais fortes, sendo que uma manilha pode ser mais forte que outra, "
          "dependendo do naipe.");
    label(Label8, 3660, 1575, 3195, 525, "Os valores das demais cartas não se alteram com os naipes.");
    label(Label9, 3660, 2175, 3495, 195, "Veja a sequencia da maior para a menor:", true);
    label(Label10, 3660, 2415, 3165, 195, "MANILHAS - 3 - 2 - A - K -  J - Q - 7 - 6 - 5 - 4");
}

void frmManilhas::Form_Load()
{
    // The first card (suit 1) of the rank above the turned card's; above the 3s
    // come the lowest cards of the deck in play.
    int n = ((Hand.Vira - 1) / 4) * 4 + 5;
    if (n > 40)
        n = Hand.DirtyDeck ? n - 40 : 17;
    for (int i = 1; i <= 4; ++i) {
        picManilha(i).Picture = frmVorla::Get().Frente(n).Picture;
        AutoShapeFromPicture(picManilha(i), art::FaceKey);
        n = n + 1;
    }
}
