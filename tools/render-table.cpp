// Plays the first moves of a hand against the computer, offscreen, and saves a
// picture of the table: the README's screenshot and a quick look at the art.
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/pace.h"
#include "platform/random.h"
#include "shell/modFunoes.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-table OUTPUT.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    vb::SetPaceFactor(0);
    vb::Randomize(7);
    ResetMatch();
    Hand.DirtyDeck = Hand.NewManilha = true;
    CardBack = 3;
    Players(1).Name = "Ana";
    Players(1).Points = 5;
    Players(2).Points = 7;
    frmVorla& table = frmVorla::Get();
    table.Show();
    Hand.PlayerLeads = true;
    Hand.Turn = 1;
    std::function<void()> cut = [&] {
        if (table.lblbaralho.Visible)
            table.picCarta(12).ClickWith();
        else
            QTimer::singleShot(0, cut);
    };
    QTimer::singleShot(0, cut);
    table.StartGame();
    // The player leads a card and the computer answers; the round is decided.
    table.RaiseMouseMove();
    table.picJog(2).ClickWith();
    table.picJog(3).RaiseMouseMove();
    vb::DoEvents();
    return table.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
