#include "netplay/frmListen.h"

#include "game/frmVorla.h"
#include "game/modGame.h"
#include "netplay/addressecho.h"
#include "netplay/frmIniciar.h"
#include "netplay/modGetAddress.h"
#include "platform/forms/handlers.h"
#include "shell/dialoglook.h"
#include "socket/CNetSocket.h"

#include <QPainter>
#include <QScopedValueRollback>

namespace {

constexpr std::int32_t kSearchPort = 1244;
// A searcher closes as soon as it has the name; one that stays silent, or whose
// link has gone, holds the locator no longer than this.
constexpr int kSearcherHoldMs = 5000;

// Three oval beads in a row, the brightest where the row is heading.
vb::Picture beads(bool brightestLeft)
{
    QPixmap pixmap(24, 15);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int shades[] = {0x20, 0x60, 0xA0}; // brightest blue first
    for (int i = 0; i < 3; ++i) {
        const int slot = brightestLeft ? i : 2 - i;
        painter.setBrush(QColor(shades[i], shades[i] + 0x30 > 0xFF ? 0xFF : shades[i] + 0x30, 0xFF - shades[i] / 2));
        painter.drawEllipse(QRectF(slot * 8 + 0.5, 3.5, 7, 8));
    }
    return vb::MakePicture(pixmap);
}

} // namespace

frmListen::frmListen()
    : cmdCancelar(this), List1(this), Label1(this), Shape1(this), ProgressBar(this), ImgGo(&ProgressBar),
      imgLeft(&ProgressBar), imgRight(&ProgressBar), Label4(this), AnimationTimer(this, false), tmrSearcher(this),
      DL1(this)
{
    Caption = "Jogos Online";
    BackColor = look::Face;
    SetBorderStyle(vb::vbFixedToolWindow);
    ScaleWidth = 5670;
    ScaleHeight = 2235;
    StartUpPosition = vb::vbStartUpOwner;
    SetFont(vb::Font{"Arial", 9});
    placeControls();
    AnimationTimer.Interval = 50;
    AnimationTimer.Enabled = false;
    AnimationTimer.OnTimer = [this] { AnimationTimer_Timer(); };
    tmrSearcher.Interval = kSearcherHoldMs;
    tmrSearcher.Enabled = false;
    tmrSearcher.OnTimer = [this] { tmrSearcher_Timer(); };
    cmdCancelar.Click = [this] { cmdCancelar_Click(); };
}

void frmListen::placeControls()
{
    List1.Move(120, 135, 1605, 930);
    Label1.Move(1845, 150, 3660, 975);
    Label1.SetFont(vb::Font{});
    Label1.ForeColor = look::Text;
    Label1.BackColor = look::Face;
    Label1.Caption = QString::fromUtf8("Você pode convidar um amigo para jogar com você\n"
                                       "através da internet ou rede local:\n\n"
                                       "Informe o seu IP, que é listado ao lado para o seu\n"
                                       "amigo e aguarde a entrada dele no jogo");
    Shape1.Move(1875, 1230, 2820, 195);
    Shape1.BorderColor = QColor(0x80, 0x80, 0x80);
    ProgressBar.Move(1890, 1245, 2790, 165);
    ProgressBar.BackColor = QColor(0xE0, 0xE0, 0xE0);
    ImgGo.Move(0, -30, 330, 225);
    imgLeft.Move(0, 600, 360, 225);
    imgLeft.Picture = beads(true);
    imgLeft.Visible = false;
    imgRight.Move(0, 600, 360, 225);
    imgRight.Picture = beads(false);
    imgRight.Visible = false;
    Label4.Move(1875, 1470, 2790, 210);
    Label4.SetFont(vb::Font{"Arial", 8.25, true});
    Label4.ForeColor = look::Text;
    Label4.BackColor = look::Face;
    Label4.Caption = QString::fromUtf8("Aguardando entrada do usuário ...");
    DL1.Visible = false;
    cmdCancelar.Move(4230, 1770, 1260, 375);
    cmdCancelar.Caption = "&Cancelar";
}

void frmListen::Form_Activate()
{
    if (activated_)
        return;
    activated_ = true;
    AnimationTimer.Enabled = true;
    GetLocalAddresses();
    listenForSearches();
    List1.AddItem(LocalAddresses.LocalIP1);
    const QString second = secondAddress();
    // The page is read while events run: a guest may have come, or the host
    // cancelled, and then the window is gone and takes nothing more.
    if (!IsLoaded() || isHidden())
        return;
    if (IsValidIP(second) && second != LocalAddresses.LocalIP1)
        List1.AddItem(second);
}

void frmListen::listenForSearches()
{
    Localizador = std::make_shared<CNetSocket>();
    Localizador->On.ConnectionRequest = [this](std::int32_t id) {
        vb::RunHandler([this, id] { Localizador_ConnectionRequest(id); });
    };
    Localizador->On.CloseSck = [this] { vb::RunHandler([this] { Localizador_CloseSck(); }); };
    Localizador->On.DataArrival = [this](std::int32_t) { vb::RunHandler([this] { Localizador_DataArrival(); }); };
    Localizador->On.Error = [this](std::int16_t, QString&, std::int32_t, const QString&, const QString&, std::int32_t,
                                   bool&) { vb::RunHandler([this] { Localizador_Error(); }); };
    try {
        Localizador->LocalPort(kSearchPort);
        Localizador->Listen();
    } catch (const SocketError&) {
        // Without the search port the host still waits; searches just do not find it.
    }
}

QString frmListen::secondAddress()
{
    if (IsValidIP(LocalAddresses.LocalIP2))
        return LocalAddresses.LocalIP2;
    const QString page = AddressEchoURL();
    return page.isEmpty() ? QString() : AddressFromEchoPage(DL1.GetURL(page));
}

void frmListen::AnimationTimer_Timer()
{
    if (ImgGo.Picture() == imgRight.Picture()) {
        const float limit = static_cast<float>(ProgressBar.Width) - (static_cast<float>(ImgGo.Width) + 75.0f);
        if (static_cast<float>(ImgGo.Left) >= limit)
            ImgGo.Picture = imgLeft.Picture();
        else
            ImgGo.Left = ImgGo.Left + 100;
    } else if (ImgGo.Left <= 0) {
        ImgGo.Picture = imgRight.Picture();
    } else {
        ImgGo.Left = ImgGo.Left - 100;
    }
}

void frmListen::Localizador_ConnectionRequest(std::int32_t requestID)
{
    Localizador->CloseSck();
    try {
        Localizador->Accept(requestID);
        // Started first: a send that fails ends the connection and stops it again.
        tmrSearcher.Enabled = true;
        Localizador->SendData(vb::Variant(Players(1).Name));
    } catch (const SocketError&) {
        listenAgain();
    }
}

void frmListen::Localizador_CloseSck()
{
    listenAgain();
}

// A searcher sends nothing; whatever one sends anyway is not kept.
void frmListen::Localizador_DataArrival()
{
    vb::Variant ignored;
    Localizador->GetData(ignored);
}

// A reset or a failed connection ends the search connection as a close does.
void frmListen::Localizador_Error()
{
    listenAgain();
}

void frmListen::tmrSearcher_Timer()
{
    listenAgain();
}

void frmListen::listenAgain()
{
    tmrSearcher.Enabled = false;
    // A socket that cannot be made reports it through the Error event, which
    // would lead back here.
    if (relistening_)
        return;
    const QScopedValueRollback guard(relistening_, true);
    try {
        Localizador->CloseSck();
        Localizador->Listen(); // the local port is still the search port
    } catch (const SocketError&) {
        // As at the start: without the search port searches just do not find this host.
    }
}

void frmListen::cmdCancelar_Click()
{
    Hide();
    frmVorla& table = frmVorla::Get();
    if (table.Socket)
        table.Socket->CloseSck();
    table.StartFailed();
    table.lblMens.Caption = "";
    Unload();
    frmIniciar::Get().Show(vb::vbModal, &table);
}

void frmListen::Form_Unload(int&)
{
    if (Localizador) {
        try {
            Localizador->CloseSck();
        } catch (const SocketError&) {
        }
        // Its events must not reach this window any more.
        Localizador->On = {};
    }
    AnimationTimer.Enabled = false;
    tmrSearcher.Enabled = false;
    Localizador.reset();
}
