#include "netplay/frmBatePapo.h"

#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "shell/modFunoes.h"
#include "socket/CNetSocket.h"

namespace {
// How long the window system takes to play a shake's moves out: a nudge within
// it would only pile more moves behind them.
constexpr int kShakeMs = 1000;
} // namespace

frmBatePapo::frmBatePapo() : cmdAlerta(this), Chat(this), Enviar(this), cmdEnviar(this)
{
    Caption = "Bate-papo ";
    BackColor = Qt::black;
    SetBorderStyle(vb::vbFixedToolWindow);
    ScaleWidth = 7950;
    ScaleHeight = 2460;
    Chat.Move(0, 0, 7935, 2100);
    Chat.BackColor = HistoryColour;
    Chat.ForeColor = Qt::white;
    Enviar.Move(0, 2115, 5940, 330);
    cmdEnviar.Move(5955, 2115, 1005, 345);
    cmdEnviar.Caption = "&Enviar";
    cmdAlerta.Move(6960, 2115, 1005, 345);
    cmdAlerta.Caption = "&Alerta";
    cmdEnviar.Click = [this] { cmdEnviar_Click(); };
    cmdAlerta.Click = [this] { cmdAlerta_Click(); };
    Enviar.KeyPress = [this](int& KeyAscii) { Enviar_KeyPress(KeyAscii); };
    flashEnd_.setSingleShot(true);
    QObject::connect(&flashEnd_, &QTimer::timeout, this, [this] { Chat.BackColor = HistoryColour; });
    shakeEnd_.setSingleShot(true);
}

void frmBatePapo::AddLine(const QString& line)
{
    Chat.Append(line + "\r\n");
    Chat.KeepTail(HistoryTail);
    peerLineOpen_ = false;
}

void frmBatePapo::AddPeerLine(const QString& line)
{
    AddLine(line);
    peerLineOpen_ = true;
}

void frmBatePapo::ContinuePeerLine(const QString& text)
{
    if (!peerLineOpen_) {
        AddPeerLine(Players(2).Name + " diz: " + text);
        return;
    }
    Chat.Append(text, true);
    Chat.KeepTail(HistoryTail);
}

void frmBatePapo::Flash()
{
    if (!flashEnd_.isActive()) {
        Chat.BackColor = FlashColour;
        PlaySoundFile("Chat.wav", 1);
    }
    flashEnd_.start(vb::Paced(200));
}

void frmBatePapo::Shake()
{
    if (shakeEnd_.isActive())
        return;
    ShakeForm(*this);
    shakeEnd_.start(vb::Paced(kShakeMs));
}

void frmBatePapo::cmdEnviar_Click()
{
    const auto& socket = frmVorla::Get().Socket;
    if (!socket || socket->State() != sckConnected) {
        vb::Beep();
        return;
    }
    const QString text = Enviar.Text;
    if (text == "Quorp") {
        frmVorla& table = frmVorla::Get();
        for (int i = 1; i <= 3; ++i) {
            if (table.picMac(i).Visible && Players(2).Cards(i) != 0)
                table.picMac(i).Picture = table.Frente(Players(2).Cards(i)).Picture;
            if (IsPlayingInDark() && table.picJog(i).Visible && Players(1).Cards(i) != 0)
                table.picJog(i).Picture = table.Frente(Players(1).Cards(i)).Picture;
        }
        Enviar.Text = "";
        return;
    }
    if (text.isEmpty())
        return;
    frmVorla::Get().EnviarDados("Chat:#" + text);
    AddLine(Players(1).Name + " diz: " + text);
    Enviar.Text = "";
    Enviar.SetFocus();
}

void frmBatePapo::cmdAlerta_Click()
{
    if (frmVorla::Get().EnviarDados("Alerta:"))
        return;
    Chat.Text = "\r\nSeu contato parece estar offline, assim, você não pode pedir sua atenção";
    peerLineOpen_ = false;
    Flash();
}

void frmBatePapo::Enviar_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        KeyAscii = 0;
        cmdEnviar_Click();
    }
}
