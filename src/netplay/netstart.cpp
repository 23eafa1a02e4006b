#include "netplay/netstart.h"

#include "game/frmVorla.h"
#include "game/modGame.h"
#include "netplay/frmIniciar.h"
#include "netplay/frmListen.h"
#include "platform/forms/msgbox.h"
#include "socket/CNetSocket.h"

namespace {
constexpr std::int32_t kAddressInUse = 10048;
}

void StartNetworkGame()
{
    frmVorla& table = frmVorla::Get();
    try {
        table.NewSocket();
        table.Socket->CloseSck();
        if (IsServer) {
            table.Socket->LocalPort(GamePort);
            table.Socket->Listen();
            frmIniciar::UnloadIfLoaded();
            frmListen::Get().Show(vb::vbModal, &table);
        } else {
            table.Socket->Connect(ServerIP, GamePort);
        }
    } catch (const SocketError& e) {
        if (e.Number == kAddressInUse)
            vb::MsgBox(QString::fromUtf8("Não foi possível abrir a porta para o servidor! As causas possíveis são:\r\n"
                                         "1 - Você já têm o servidor aberto em outra janela.\r\n"
                                         "2 - Algum programa de proteção (como Firewalls, Wingate) não está "
                                         "permitindo a abertura da porta."),
                       vb::vbCritical);
        else
            vb::MsgBox(QString::fromUtf8("Erro nº ") + QString::number(e.Number) + "\r\n" + e.Description,
                       vb::vbCritical);
        table.Socket.reset();
        table.StartFailed();
        table.lblMens.Caption = "";
    }
}
