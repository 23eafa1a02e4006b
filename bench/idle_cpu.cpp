// CPU used while the game waits for the player: for the cut of the deck, and
// for the player's card. Both waits should cost next to nothing.
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/pace.h"
#include "shell/modFunoes.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double wallSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

constexpr int kWaitMs = 3000;

void report(const char* what, double cpu, double wall)
{
    std::printf("%-34s %6.3f s CPU in %5.2f s: %5.2f %% of one core\n", what, cpu, wall, 100.0 * cpu / wall);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ResetMatch();
    Hand.DirtyDeck = Hand.NewManilha = true;
    CardBack = 1;
    Players(1).Name = "Ana";
    frmVorla& table = frmVorla::Get();
    table.Show();

    // The cut: the deck is spread and the table waits for a click.
    double cpu = 0, wall = 0;
    std::function<void()> awaitSpread = [&] {
        if (!table.lblbaralho.Visible) {
            QTimer::singleShot(1, awaitSpread);
            return;
        }
        cpu = cpuSeconds();
        wall = wallSeconds();
        QTimer::singleShot(kWaitMs, [&] {
            report("waiting for the cut:", cpuSeconds() - cpu, wallSeconds() - wall);
            table.picCarta(20).ClickWith();
        });
    };
    QTimer::singleShot(0, awaitSpread);
    Hand.PlayerLeads = true;
    Hand.Turn = 1;
    table.StartGame();

    // The player's turn: nothing happens until a card is clicked.
    QEventLoop idle;
    QTimer::singleShot(kWaitMs, &idle, &QEventLoop::quit);
    cpu = cpuSeconds();
    wall = wallSeconds();
    idle.exec();
    report("waiting for the player's card:", cpuSeconds() - cpu, wallSeconds() - wall);
    return 0;
}
