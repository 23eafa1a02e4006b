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

namespace {

constexpr std::int32_t kSearchPort = 1244;

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
      imgLeft(&ProgressBar), imgRight(&ProgressBar), Label4(this), AnimationTimer(this, false), DL1(this)
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
    Localizador->Accept(requestID);
    Localizador->SendData(vb::Variant(Players(1).Name));
}

void frmListen::Localizador_CloseSck()
{
    Localizador->CloseSck();
    Localizador->Listen();
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
    Localizador.reset();
}
