// The table's connection to a remote copy.
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "socket/CNetSocket.h"

bool frmVorla::EnviarDados(const QString& Dados)
{
    try {
        if (Hand.NetworkGame && Socket && Socket->State() == sckConnected) {
            Socket->SendData(vb::Variant(Dados));
            return true;
        }
    } catch (...) {
        // A failed send is reported by the result alone.
    }
    return false;
}
