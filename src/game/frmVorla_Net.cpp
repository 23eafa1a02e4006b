// The table's connection to a remote copy.
#include "game/frmVorla.h"
#include "game/modGame.h"

bool frmVorla::EnviarDados(const QString&)
{
    // Without a connected game socket there is nobody to send to.
    return false;
}
