// Renders the table's dialogs offscreen and saves a picture of each, for a
// look at their layout: the options (as host and as guest), the card backs with
// the frame on one of them, the manilha chart and the about box with a link
// under the pointer, and the game's own windows: the raise answer, the popup
// and the winner announcement.
#include "game/frmBaralho.h"
#include "game/frmMSG.h"
#include "game/frmManilhas.h"
#include "game/frmVenceu.h"
#include "game/frmVorlada.h"
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/pace.h"
#include "platform/instance.h"
#include "shell/frmOption.h"
#include "shell/frmSobre.h"
#include "shell/modFunoes.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

bool save(vb::Form& form, const QString& file)
{
    form.Show();
    vb::DoEvents();
    const bool saved = form.grab().save(file);
    form.Unload();
    vb::DoEvents();
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-dialogs OUTPUT-FOLDER\n");
        return 2;
    }
    QApplication app(argc, argv);
    instance::SetTitle("Mirvo Vorla");
    vb::SetPaceFactor(0);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    ResetMatch();
    Hand.SoundOn = Hand.DirtyDeck = Hand.NewManilha = true;
    CardBack = 3;
    Hand.Vira = 13;
    frmVorla::Get();

    bool ok = save(frmOption::Get(), out.filePath("options.png"));
    Hand.NetworkGame = true;
    Hand.NewManilha = Hand.SoundOn = false;
    ok = save(frmOption::Get(), out.filePath("options-guest.png")) && ok;
    Hand.NetworkGame = false;

    frmBaralho& backs = frmBaralho::Get();
    backs.CartaVerso(7).RaiseMouseMove();
    ok = save(backs, out.filePath("backs.png")) && ok;
    ok = save(frmManilhas::Get(), out.filePath("manilhas.png")) && ok;
    Hand.Vira = 40;
    Hand.DirtyDeck = false;
    ok = save(frmManilhas::Get(), out.filePath("manilhas-short-deck.png")) && ok;

    frmSobre& about = frmSobre::Get();
    about.lblLink(1).RaiseMouseMove();
    ok = save(about, out.filePath("about.png")) && ok;

    Hand.Stake = 3;
    ok = save(frmVorlada::Get(), out.filePath("raise-answer.png")) && ok;
    PopupMessage = "Aguarde a sua vez de vorlar!";
    ok = save(frmMSG::Get(), out.filePath("popup.png")) && ok;
    Players(1).Name = "Ana";
    Players(2).Name = "Computador";
    Players(1).Points = 12;
    Players(1).MatchesWon = 2;
    Players(2).MatchesWon = 1;
    ok = save(frmVenceu::Get(), out.filePath("winner.png")) && ok;
    return ok ? 0 : 1;
}
