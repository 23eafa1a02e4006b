#pragma once
// What the table and dialog tests share: a fresh match on the loaded table,
// cards chosen by strength, seeds that make a draw come out as wanted, and a
// player who answers the raise-answer dialog with given buttons.
#include "game/frmMSG.h"
#include "game/frmVenceu.h"
#include "game/frmVorla.h"
#include "game/frmVorlada.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/random.h"
#include "shell/modFunoes.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace gametest {

inline frmVorla& Table()
{
    return frmVorla::Get();
}

// A fresh match against the computer on a cleared table, no dialog open, with
// the old manilhas, the full deck and sound off.
inline void FreshMatch()
{
    frmVorlada::UnloadIfLoaded();
    frmMSG::UnloadIfLoaded();
    frmVenceu::UnloadIfLoaded();
    ResetMatch();
    Players(1).Name = "Ana";
    Players(2).Name = "Computador";
    Hand.NetworkGame = Hand.PlayInDark = Hand.SoundOn = Hand.ShowComputerCards = Hand.NewManilha = false;
    Hand.DirtyDeck = true;
    StopAnimation = OptionsChanged = false;
    PopupMessage.clear();
    CardBack = 1;
    ClearTable();
    Table().PlayInProgress = false;
    Table().lblVorla.Caption = "Vorla";
    Table().lblVorla.Enabled = true;
}

// Each test starts from a fresh match and leaves the same behind; a message
// box nobody expected fails it.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override { Fresh(); }

    static void Fresh()
    {
        FreshMatch();
        vb::SetMsgBoxResponder([](const vb::MsgBoxRequest& r) {
            ADD_FAILURE() << "unexpected message box: " << r.prompt.toStdString();
            return int(vb::vbOK);
        });
        vb::Randomize(1);
    }
};

// Looks at the game again and again while it runs, from the event loop. Each
// look schedules the next one before it acts, so that looks go on inside the
// waits its own action starts (a timer would not fire again while its handler
// runs).
class Looker {
public:
    ~Looker() { Stop(); }

    void Start(std::function<void()> look, int intervalMs = 0)
    {
        look_ = std::move(look);
        interval_ = intervalMs;
        running_ = std::make_shared<bool>(true);
        schedule();
    }
    void Stop()
    {
        if (running_)
            *running_ = false;
    }

private:
    void schedule()
    {
        QTimer::singleShot(interval_, [this, running = running_] {
            if (!*running)
                return;
            schedule();
            look_();
        });
    }

    std::function<void()> look_;
    int interval_ = 0;
    std::shared_ptr<bool> running_;
};

// A card of the given strength under the current manilha rule; 0 for 0.
inline std::uint8_t CardOf(int strength)
{
    for (int n = 1; n <= 40 && strength != 0; ++n)
        if (CardValue(static_cast<std::uint8_t>(n)) == strength)
            return static_cast<std::uint8_t>(n);
    return 0;
}

// Puts cards of these strengths into player p's slots 1 to 3 (0: empty slot).
inline void Hold(int p, std::array<int, 3> strengths)
{
    for (int i = 1; i <= 3; ++i)
        Players(p).Cards(i) = CardOf(strengths[i - 1]);
}

// Deals a hand on the table with the given player to lead. The next hand is
// again led by the local player, so that a hand ended by a test deals at once
// (no cut) and the computer does not lead it.
inline void DealTo(int turn)
{
    Hand.Turn = static_cast<std::int16_t>(turn);
    Hand.PlayerLeads = false;
    Table().StartGame();
    Hand.PlayerLeads = false;
}

// Seeds the generator with the first seed for which wanted() holds right after
// seeding, and leaves it seeded so: the next draws replay what wanted() saw.
inline void SeedWhere(const std::function<bool()>& wanted)
{
    for (std::uint64_t seed = 1; seed < 10000; ++seed) {
        vb::Randomize(seed);
        if (wanted()) {
            vb::Randomize(seed);
            return;
        }
    }
    ADD_FAILURE() << "no seed gives the wanted draw";
}

// Answers each showing of the raise-answer dialog with the next button of the
// list, the way a player clicks it, and notes what the dialog offered.
class RaiseAnswerer {
public:
    struct Offer {
        int stake; // when the dialog was shown
        QString shout;
        QString raiseAgain; // the raise-again button's caption, empty when it is hidden
    };

    explicit RaiseAnswerer(std::deque<int> answers) : answers_(std::move(answers))
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    std::vector<Offer> offers;

private:
    void poll()
    {
        frmVorlada* dialog = frmVorlada::IfLoaded();
        if (!dialog || !dialog->isVisible())
            return;
        const frmVorlada& d = *dialog;
        offers.push_back({Hand.Stake, d.lblGrito.Caption, d.Retorno(2).Visible() ? d.Retorno(2).Caption() : ""});
        int answer = 1;
        if (answers_.empty())
            ADD_FAILURE() << "the answer dialog was shown once more than expected";
        else {
            answer = answers_.front();
            answers_.pop_front();
        }
        dialog->Retorno(answer).ClickWith();
    }

    std::deque<int> answers_;
    QTimer timer_;
};

} // namespace gametest
