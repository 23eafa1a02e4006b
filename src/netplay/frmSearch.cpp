#include "netplay/frmSearch.h"

#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "shell/dialoglook.h"
#include "socket/CNetSocket.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr std::int32_t kLocatorPort = 1244;

// Every step of the search runs with errors ignored: a failing step is skipped.
template <class Step>
void Ignoring(Step step)
{
    try {
        step();
    } catch (const SocketError&) {
    }
}

vb::Picture PersonIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x2B, 0x4F, 0x8C), 1));
    painter.setBrush(QColor(0x4F, 0x86, 0xD9));
    QPainterPath shoulders;
    shoulders.moveTo(1.5, 15.5);
    shoulders.cubicTo(1.5, 9.5, 14.5, 9.5, 14.5, 15.5);
    shoulders.closeSubpath();
    painter.drawPath(shoulders);
    painter.setBrush(QColor(0xF2, 0xC9, 0x9E));
    painter.setPen(QPen(QColor(0x9C, 0x6B, 0x3F), 1));
    painter.drawEllipse(QRectF(4.5, 1.5, 7, 7.5));
    return vb::MakePicture(pixmap);
}

void label(vb::Label& l, int left, int top, int width, int height)
{
    l.Move(left, top, width, height);
    l.Alignment = vb::vbCenter;
    l.ForeColor = Qt::black;
    l.BackColor = look::Face;
}

} // namespace

frmSearch::frmSearch()
    : lblInfo(this), lsvSearch(this), GlossProgress(this), lblSearch(this), cmdSelecionar(this), cmdClose(this),
      tmrSearch(this), imlSmall(PersonIcon())
{
    Caption = "Localizar Jogadores";
    BackColor = look::Face;
    SetBorderStyle(vb::vbFixedDialog);
    ScaleWidth = 5940;
    ScaleHeight = 3300;
    StartUpPosition = vb::vbStartUpOwner;
    placeControls();

    tmrSearch.Enabled = false;
    tmrSearch.Interval = 75;
    tmrSearch.OnTimer = [this] { tmrSearch_Timer(); };
    cmdSelecionar.Click = [this] { cmdSelecionar_Click(); };
    cmdClose.Click = [this] { cmdClose_Click(); };
    lsvSearch.DblClick = [this] { lsvSearch_DblClick(); };
}

void frmSearch::placeControls()
{
    label(lblInfo, 150, 60, 4095, 270);
    lsvSearch.Move(150, 330, 4095, 2310);
    lsvSearch.AddColumn("Jogador", 1440);
    lsvSearch.AddColumn("IP", 2000);
    GlossProgress.Move(135, 2715, 4140, 225);
    label(lblSearch, 150, 3000, 4095, 270);
    lblSearch.Caption = "Localizando jogador. Por favor, aguarde...";
    cmdSelecionar.Move(4400, 360, 1400, 375);
    cmdSelecionar.Caption = "Selecionar";
    cmdSelecionar.Enabled = false;
    cmdClose.Move(4400, 795, 1400, 375);
    cmdClose.Caption = "Fechar";
}

void frmSearch::Form_Activate()
{
    Client = std::make_shared<CNetSocket>();
    Client->On.DataArrival = [this](std::int32_t bytesTotal) { Client_DataArrival(bytesTotal); };
    lblInfo.Caption = "";
    Ignoring([&] { Prefix = Client->LocalIP(); });
    while (!Prefix.isEmpty() && !Prefix.endsWith('.'))
        Prefix.chop(1);
    // Without an address to take the subnet from there is nothing to probe.
    if (Prefix.isEmpty())
        Octet = 255;
    GlossProgress.Value = 0;
    GlossProgress.Max = 254;
    SearchNextHost();
}

void frmSearch::SearchNextHost()
{
    tmrSearch.Enabled = false;
    Ignoring([&] { Client->CloseSck(); });
    if (Octet < 255)
        ++Octet;
    if (Octet > LastOctet) {
        EndSearch();
        return;
    }
    GlossProgress.Value = Octet;
    Ignoring([&] { Client->Connect(Prefix + QString::number(Octet), kLocatorPort); });
    tmrSearch.Enabled = true;
}

void frmSearch::EndSearch()
{
    lblSearch.Top = GlossProgress.Top + 100;
    GlossProgress.Visible = false;
    lblSearch.Caption = "Busca encerrada!";
    if (lsvSearch.Count() == 0) {
        const QString none = QString::fromUtf8("Nenhum jogador disponível neste momento.");
        lblInfo.Caption = none;
        vb::MsgBox(none, vb::vbOKOnly | vb::vbInformation, "Aviso!");
        Unload();
        return;
    }
    lblInfo.Caption = "Selecione um jogador na lista!";
    cmdSelecionar.Enabled = true;
}

void frmSearch::tmrSearch_Timer()
{
    SearchNextHost();
}

void frmSearch::Client_DataArrival(std::int32_t)
{
    vb::Variant name;
    Ignoring([&] { Client->GetData(name, vb::vbString); });
    const int row = lsvSearch.AddItem(name.ToString(), imlSmall);
    lsvSearch.SetSubItem(row, 1, Prefix + QString::number(Octet));
    lblInfo.Caption = QString::number(lsvSearch.Count()) + QString::fromUtf8(" - Jogador encontrado(s) até o momento.");
    SearchNextHost();
}

void frmSearch::cmdSelecionar_Click()
{
    const int row = lsvSearch.SelectedIndex();
    if (row == 0) {
        vb::MsgBox("Selecione um jogador na lista!", vb::vbOKOnly | vb::vbInformation);
        return;
    }
    ServerIP = lsvSearch.SubItem(row, 1);
    Unload();
}

void frmSearch::lsvSearch_DblClick()
{
    if (cmdSelecionar.Enabled)
        cmdSelecionar_Click();
}

void frmSearch::cmdClose_Click()
{
    Unload();
}

void frmSearch::Form_Unload(int&)
{
    tmrSearch.Enabled = false;
    if (Client) {
        Ignoring([&] { Client->CloseSck(); });
        Client.reset();
    }
}
