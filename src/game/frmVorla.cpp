#include "game/frmVorla.h"

#include "art/cache.h"
#include "art/cards.h"
#include "art/icons.h"
#include "game/frmBaralho.h"
#include "game/frmManilhas.h"
#include "game/modGame.h"
#include "game/tableart.h"
#include "game/tablelayout.h"
#include "netplay/frmIniciar.h"
#include "platform/datapath.h"
#include "platform/program.h"
#include "shell/frmOption.h"
#include "shell/frmSobre.h"
#include "shell/modFunoes.h"
#include "shell/modReg.h"
#include "socket/CNetSocket.h"
#include "widgets/mdlBorder.h"
#include "widgets/modAutoShap.h"

#include <QApplication>

namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kDarkBlue(0x00, 0x00, 0x80);
const QColor kCardBack(0xC0, 0xC0, 0xC0);
constexpr int kCardWidth = 1065;
constexpr int kCardHeight = 1440;

const vb::Font kSansSerifBold{"MS Sans Serif", 8.25, true};
const vb::Font kTimes{"Times New Roman", 14.25};
const vb::Font kArialBold{"Arial", 9, true};
const vb::Font kNarrowBold{"Arial Narrow", 9.75, true};
const vb::Font kNarrow{"Arial Narrow", 9};

void place(vb::Control& c, const tablelayout::TwipRect& r)
{
    c.Move(r.Left, r.Top, r.Width, r.Height);
}

void label(vb::Label& l, const tablelayout::TwipRect& r, const QString& caption, const vb::Font& font,
           QColor colour = Qt::black, int alignment = vb::vbLeftJustify)
{
    place(l, r);
    l.Caption = caption;
    l.SetFont(font);
    l.ForeColor = colour;
    l.Alignment = alignment;
    l.BackColor = QColor(tableart::PanelColour);
}

// Labels drawn straight onto the table, with no back colour of their own.
void transparent(std::initializer_list<vb::Label*> labels)
{
    for (vb::Label* l : labels)
        l->Transparent = true;
}

void card(vb::PictureBox& p, int left, int top, bool visible = false)
{
    p.Move(left, top, kCardWidth, kCardHeight);
    p.BackColor = kCardBack;
    p.Visible = visible;
    // Faces and backs both come and go in every box: their corners never show.
    KeepShapedToPicture(p, {art::FaceKey, art::BackKey});
}

// The picture stores lie below the visible area.
void store(vb::Image& i)
{
    i.Move(0, 8000, kCardWidth, kCardHeight);
    i.Visible = false;
}

} // namespace

frmVorla::frmVorla()
    : Label1(this), FrmMov(this), imgMini(this), imgClose(this), lblVenceu(this), imgSombra(this), lblbaralho(this),
      lblMens(this), lblVorla(this), lblCorrer(this), lblValendo(this), lblMenu(this), lblPartidas(this),
      Label2(this), lblNome(this), lblRodada(this), Label3(this), lblTotal(this), Frente(this), Verso(this),
      Jogada1(this), Jogada2(this), CartaVira(this), picBar(this), picCarta(this), picMac(this), picJog(this),
      picLance(this)
{
    Caption = "Mirvo Vorla";
    ScaleWidth = 11940;
    ScaleHeight = 7695;
    BackColor = QColor(0xFF, 0x00, 0xFF);
    StartUpPosition = vb::vbStartUpScreen;
    SetFont(vb::Font{"Arial", 9});
    placeControls();
    paintCards();
    wireHandlers();
}

void frmVorla::placeControls()
{
    for (int i = 1; i <= 3; ++i) {
        card(picJog(i), HandLeft(i), HandTop);
        card(picMac(i), HandLeft(i), OpponentTop);
        picMac(i).Enabled = false;
        card(Jogada1(i), 375, 1065 + 2070 * (i - 1));
        card(Jogada2(i), 855, 1200 + 2070 * (i - 1));
        label(lblVenceu(i), {375, 810 + 2070 * (i - 1), 1545, 255}, "Venceu", kSansSerifBold, kWhite);
        lblVenceu(i).Visible = false;
    }
    card(picLance(1), LanceLeft(1), LanceTop(1));
    card(picLance(2), LanceLeft(2), LanceTop(2));
    card(CartaVira, 7815, 2760);
    CartaVira.SetMousePointer(vb::MousePointer::Custom, art::HandCursor());
    for (int i = 1; i <= 4; ++i)
        card(picBar(i), 0, 0);
    PlaceFlyingCards();
    // The stack: each back slightly offset from the one below, the first on top.
    for (int i : {3, 4, 2, 1})
        picBar(i).ZOrder(0);
    for (int n = 1; n <= 40; ++n)
        card(picCarta(n), n <= 21 ? 3030 + 105 * (n - 1) : 5220 + 105 * (n - 22), 3240);

    imgSombra.Move(0, 7800, 1155, 1545);
    label(lblbaralho, {2955, 4710, 5340, 315}, "Clique sobre a carta que deseja cortar o baralho", kTimes, kWhite);
    lblbaralho.Visible = false;
    lblbaralho.WordWrap = false;
    lblbaralho.AutoSize = true; // the prompt is wider than its design box in our fonts
    label(lblMens, {195, 7215, 10245, 315}, "", kTimes, kWhite, vb::vbCenter);
    label(lblVorla, tablelayout::lblVorla, "Vorla", kArialBold, Qt::black, vb::vbCenter);
    label(lblCorrer, tablelayout::lblCorrer, "Correr", kArialBold, Qt::black, vb::vbCenter);
    label(lblValendo, tablelayout::lblValendo, "Valendo 1", kSansSerifBold, QColor(0x40, 0x40, 0x40));

    const char* const menu[] = {"Novo Jogo", "Opções", "Baralho", "Ajuda", "Sobre", "Sair"};
    for (int i = 0; i <= 5; ++i)
        label(lblMenu(i), tablelayout::lblMenu[i], QString::fromUtf8(menu[i]), kNarrowBold, Qt::black,
              vb::vbCenter);

    label(lblPartidas, tablelayout::lblPartidas, "Placar", kSansSerifBold, kDarkBlue);
    label(Label2, tablelayout::Label2, QString::fromUtf8("Mão Atual:"), kSansSerifBold, kDarkBlue);
    for (int i = 0; i <= 3; ++i)
        label(lblNome(i), tablelayout::lblNome[i], i <= 1 ? "Jogador" : "Computador", kNarrow);
    for (int i = 1; i <= 2; ++i) {
        label(lblRodada(i), tablelayout::lblRodada[i - 1], "0", kNarrow);
        label(lblTotal(i), tablelayout::lblTotal[i - 1], "0", kNarrow);
    }
    label(Label3, tablelayout::Label3, "Placar Geral:", kSansSerifBold, kDarkBlue);
    label(Label1, {165, 75, 1005, 225}, "Mirvo Vorla", vb::Font{"Arial", 9});
    transparent({&lblVenceu(1), &lblVenceu(2), &lblVenceu(3), &lblbaralho, &lblMens, &lblVorla, &lblCorrer});
    for (int i = 0; i <= 5; ++i)
        transparent({&lblMenu(i)});

    FrmMov.Move(0, 0, 11115, 390);
    place(imgMini, tablelayout::imgMini);
    place(imgClose, tablelayout::imgClose);
    for (int n = 1; n <= 40; ++n)
        store(Frente(n));
    for (int n = 1; n <= 10; ++n)
        store(Verso(n));
}

void frmVorla::PlaceFlyingCards()
{
    picBar(1).Move(8265, 3300);
    picBar(2).Move(8235, 3270);
    picBar(3).Move(8175, 3210);
    picBar(4).Move(8205, 3240);
    for (int i = 1; i <= 3; ++i) {
        picMac(i).Move(HandLeft(i), OpponentTop);
        picJog(i).Move(HandLeft(i), HandTop);
    }
    for (int i = 1; i <= 2; ++i)
        picLance(i).Move(LanceLeft(i), LanceTop(i));
}

QString frmVorla::YourMoveOr(const QString& wait)
{
    return Hand.Turn == 1 ? QString::fromUtf8("Faça a sua jogada!") : wait;
}

// The background is needed at once and comes from the picture cache; a card is
// painted when first dealt or shown.
void frmVorla::paintCards()
{
    const qreal ratio = qApp->devicePixelRatio();
    Picture = vb::MakePicture(
        art::Cached(QStringLiteral("table"), tableart::TableSize, ratio, [ratio] { return tableart::Table(ratio); }));
    imgSombra.SetPictureSource([ratio] { return art::Shadow(ratio); });
    for (int n = 1; n <= 40; ++n)
        Frente(n).SetPictureSource([n, ratio] { return art::Face(n, ratio); });
    for (int n = 1; n <= 10; ++n)
        Verso(n).SetPictureSource([n, ratio] { return art::Back(n, ratio); });
}

void frmVorla::wireHandlers()
{
    CartaVira.Click = [this] { CartaVira_Click(); };
    imgMini.Click = [this] { imgMini_Click(); };
    imgClose.Click = [this] { imgClose_Click(); };
    FrmMov.MouseDown = [this](int b, int s, float x, float y) { FrmMov_MouseDown(b, s, x, y); };
    picCarta.Click = [this](int i) { picCarta_Click(i); };
    lblMenu.MouseMove = [this](int i, int b, int s, float x, float y) { lblMenu_MouseMove(i, b, s, x, y); };
    lblMenu.Click = [this](int i) { lblMenu_Click(i); };
    lblCorrer.MouseMove = [this](int b, int s, float x, float y) { lblCorrer_MouseMove(b, s, x, y); };
    lblVorla.MouseMove = [this](int b, int s, float x, float y) { lblVorla_MouseMove(b, s, x, y); };
    lblVorla.Click = [this] { lblVorla_Click(); };
    lblCorrer.Click = [this] { lblCorrer_Click(); };
    picJog.MouseDown = [this](int i, int b, int s, float x, float y) { picJog_MouseDown(i, b, s, x, y); };
    picJog.MouseMove = [this](int i, int b, int s, float x, float y) { picJog_MouseMove(i, b, s, x, y); };
    picJog.MouseUp = [this](int i, int b, int s, float x, float y) { picJog_MouseUp(i, b, s, x, y); };
}

void frmVorla::CartaVira_Click()
{
    frmManilhas::Get().Show(vb::vbModal, this);
}

void frmVorla::imgMini_Click()
{
    WindowState = vb::vbMinimized;
}

void frmVorla::imgClose_Click()
{
    Unload();
}

void frmVorla::FrmMov_MouseDown(int, int, float, float)
{
    DragForm(*this);
}

void frmVorla::picCarta_Click(int)
{
    Hand.DeckCut = true;
}

void frmVorla::lblMenu_MouseMove(int Index, int, int, float, float)
{
    lblMenu(Index).ForeColor = kWhite;
}

void frmVorla::lblCorrer_MouseMove(int, int, float, float)
{
    lblCorrer.ForeColor = kWhite;
}

void frmVorla::lblVorla_MouseMove(int, int, float, float)
{
    lblVorla.ForeColor = kWhite;
}

void frmVorla::Form_MouseMove(int, int, float, float)
{
    if (imgSombra.Visible && !PlayInProgress) {
        for (int i = 1; i <= 3; ++i)
            picJog(i).Move(HandLeft(i), HandTop);
        imgSombra.Visible = false;
    }
    const QColor buttonText = vb::GetSystemColor(vb::SystemColor::ButtonText);
    for (int i = decltype(lblMenu)::LBound; i <= decltype(lblMenu)::UBound; ++i)
        lblMenu(i).ForeColor = buttonText;
    lblCorrer.ForeColor = buttonText;
    lblVorla.ForeColor = buttonText;
}

void frmVorla::lblMenu_Click(int Index)
{
    if ((Index == 0 || Index == 1) && Hand.InputLocked)
        return;
    OptionsChanged = false;
    lblMenu(Index).ForeColor = vb::GetSystemColor(vb::SystemColor::ButtonText);
    switch (Index) {
    case 0:
        frmIniciar::Get().Show(vb::vbModal);
        break;
    case 1:
        frmOption::Get().Show(vb::vbModal);
        // A new deck or manilha rule deals the hand on the table again, the
        // local player cutting and leading.
        if ((picJog(1).Visible || picJog(2).Visible || picJog(3).Visible) && OptionsChanged) {
            Hand.PlayerLeads = true;
            Hand.Turn = 1;
            StartGame();
        }
        break;
    case 2:
        chooseCardBack();
        break;
    case 3:
        ShowHelpIndex(datapath::HelpFile());
        break;
    case 4:
        frmSobre::Get().Show(vb::vbModal);
        break;
    case 5:
        Unload();
        break;
    }
}

// Every face-down card takes the back chosen: the opponent's hand and the deck
// stack whatever they showed, the other cards only where they showed the old
// back. The spread deck takes it at the next cut.
void frmVorla::chooseCardBack()
{
    const vb::Picture oldBack = picBar(1).Picture;
    frmBaralho::Get().Show(vb::vbModal);
    if (!OptionsChanged)
        return;
    const vb::Picture newBack = Verso(CardBack).Picture;
    const auto repaint = [&](vb::PictureBox& card) {
        if (card.Picture() == oldBack)
            card.Picture = newBack;
    };
    for (int i = 1; i <= 3; ++i) {
        repaint(picJog(i));
        repaint(Jogada1(i));
        repaint(Jogada2(i));
        picBar(i).Picture = newBack;
        picMac(i).Picture = newBack;
    }
    repaint(CartaVira);
    repaint(picLance(1));
    repaint(picLance(2));
    picBar(4).Picture = newBack;
}

void frmVorla::Form_Unload(int&)
{
    try {
        if (Socket)
            Socket->CloseSck();
    } catch (...) {
    }
    try {
        RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, "Nome", Players(1).Name);
    } catch (...) {
    }
    vb::End();
}
