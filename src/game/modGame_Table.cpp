// The rules module's operations on the main table window.
#include "game/frmVorla.h"
#include "game/modGame.h"

void ClearTable()
{
    frmVorla& table = frmVorla::Get();
    table.picLance(1).Visible = false;
    table.picLance(2).Visible = false;
    table.imgSombra.Visible = false;
    table.lblbaralho.Visible = false;
    table.CartaVira.Visible = false;
    table.lblMens.Caption = "";
    for (int i = 1; i <= 4; ++i)
        table.picBar(i).Visible = false;
    for (int i = 1; i <= 3; ++i) {
        table.picJog(i).Visible = false;
        table.picMac(i).Visible = false;
        table.Jogada1(i).Visible = false;
        table.Jogada2(i).Visible = false;
        table.lblVenceu(i).Visible = false;
    }
    for (int i = 1; i <= 40; ++i)
        table.picCarta(i).Visible = false;
    table.PlaceFlyingCards();
}

void UpdateScoreBoard()
{
    frmVorla& table = frmVorla::Get();
    table.lblNome(0).Caption = Players(1).Name;
    table.lblNome(1).Caption = Players(1).Name;
    table.lblRodada(1).Caption = QString::number(Players(1).Points);
    table.lblTotal(1).Caption = QString::number(Players(1).MatchesWon);
    table.lblNome(2).Caption = Players(2).Name;
    table.lblNome(3).Caption = Players(2).Name;
    table.lblRodada(2).Caption = QString::number(Players(2).Points);
    table.lblTotal(2).Caption = QString::number(Players(2).MatchesWon);
    table.lblValendo.Caption = "Valendo " + QString::number(Hand.Stake);
}
