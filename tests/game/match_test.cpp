// Whole matches against the computer, played through the table's handlers the
// way a player would, by a seeded random player.
#include "game/frmMSG.h"
#include "game/frmVenceu.h"
#include "game/frmVorlada.h"
#include "platform/random.h"
#include "tablefixture.h"

#include <QTimer>
#include <random>

namespace {

// Acts whenever the game lets it: cuts the deck, answers the raise dialog and
// the eleven-point question, and on its turn plays, covers, raises or runs.
class RandomPlayer {
public:
    explicit RandomPlayer(unsigned seed) : random_(seed) {}

    void Act(frmVorla& table)
    {
        if (frmVorlada* dialog = frmVorlada::IfLoaded(); dialog && dialog->isVisible()) {
            int answer = pick(1, 3);
            if (!dialog->Retorno(answer).Visible)
                answer = 1;
            dialog->Retorno(answer).ClickWith();
            return;
        }
        if (table.lblbaralho.Visible) {
            table.picCarta(pick(1, 40)).ClickWith();
            return;
        }
        if (Hand.Turn != 1 || Hand.InputLocked || frmMSG::Loaded() || frmVenceu::Loaded())
            return;
        const int choice = pick(1, 100);
        if (choice <= 6) {
            table.lblVorla.ClickWith();
        } else if (choice <= 8) {
            table.lblCorrer.ClickWith();
        } else {
            const int slot = pick(1, 3);
            if (!table.picJog(slot).Visible)
                return;
            if (choice <= 14)
                table.picJog(slot).ClickWith(vb::vbRightButton); // cover (refused in round 1)
            table.picJog(slot).RaiseMouseMove();
            table.picJog(slot).ClickWith(vb::vbLeftButton);
        }
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::mt19937 random_;
};

// What a test sees of the match between two moments it looks.
struct Snapshot {
    int points[3];
    int won[3];
    int stake;
    QString dealt;
};

Snapshot snap()
{
    return {{0, Players(1).Points, Players(2).Points}, {0, Players(1).MatchesWon, Players(2).MatchesWon}, Hand.Stake,
            Hand.DealtCards};
}

class WholeMatch : public TableTest {};

TEST_F(WholeMatch, SeededPlayersPlayMatchesToTheirEndWithEveryRuleKept)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        Fresh();
        vb::Randomize(seed);
        RandomPlayer player(seed);
        answer = seed % 2 ? vb::vbYes : vb::vbNo; // the eleven-point question
        frmVorla& t = table();

        int matches = 0, hands = 0, cuts = 0, handOfLastCut = -1, handOfLastScore = -1, announcements = 0;
        bool cutShown = false;
        Snapshot last = snap();
        gametest::Looker looker;
        looker.Start([&] {
            const Snapshot now = snap();
            // Ranges: nothing ever leaves its domain.
            EXPECT_TRUE(Hand.Stake == 1 || Hand.Stake == 3 || Hand.Stake == 6 || Hand.Stake == 9 || Hand.Stake == 12)
                << int(Hand.Stake);
            EXPECT_LE(Hand.RoundNo, 3);
            for (int p = 1; p <= 2; ++p) {
                EXPECT_LE(Players(p).Points, 22);
                for (int i = 1; i <= 3; ++i)
                    EXPECT_LE(Players(p).Cards(i), 40);
            }
            // Scoring: once a hand at most (a hand of three tied rounds scores
            // nothing), one side gaining exactly the hand's stake.
            const int gain1 = now.points[1] - last.points[1], gain2 = now.points[2] - last.points[2];
            if (now.won[1] == last.won[1] && now.won[2] == last.won[2] && (gain1 > 0 || gain2 > 0)) {
                EXPECT_NE(hands, handOfLastScore) << "a hand scored twice";
                handOfLastScore = hands;
                EXPECT_TRUE(gain1 == 0 || gain2 == 0);
                EXPECT_EQ(gain1 + gain2, Hand.Stake);
            }
            // A match ends at 12 or more, with the announcement, and both start again from 0.
            for (int p = 1; p <= 2; ++p) {
                if (now.won[p] == last.won[p] + 1) {
                    ++matches;
                    EXPECT_TRUE(frmVenceu::Loaded());
                    EXPECT_GE(last.points[p], 12);
                    EXPECT_EQ(now.points[1] + now.points[2], 0);
                }
            }
            if (frmVenceu::Loaded() && now.won[1] + now.won[2] != last.won[1] + last.won[2])
                ++announcements;
            // The deal: the local player cuts every other hand.
            if (now.dealt != last.dealt && !now.dealt.isEmpty())
                ++hands;
            if (t.lblbaralho.Visible && !cutShown) {
                ++cuts;
                if (handOfLastCut >= 0) {
                    EXPECT_EQ(hands - handOfLastCut, 2) << "cuts alternate with hands without one";
                }
                handOfLastCut = hands;
            }
            cutShown = t.lblbaralho.Visible;
            last = now;
            if (matches >= 2) {
                StopAnimation = true; // ends every wait, as when the peer leaves
                ResetMatch();
                return;
            }
            player.Act(t);
        });
        Hand.PlayerLeads = true;
        Hand.Turn = 1;
        t.StartGame();
        vb::WaitUntil([&] { return matches >= 2; });
        looker.Stop();
        vb::DoEvents();
        EXPECT_EQ(matches, 2);
        EXPECT_EQ(announcements, 2);
        // However short the matches, the player cut every other hand dealt
        // (and perhaps the next, not yet dealt).
        EXPECT_GE(cuts, hands / 2);
        EXPECT_LE(cuts, hands / 2 + 1);
        StopAnimation = false;
    }
}

// The computer raises on some of its leads: the player accepts, so that every
// hand reaches the player's turn; the player then runs, which deals the next
// hand at once. Seven hands stay below 12 points, so no match ends on the way.
TEST_F(WholeMatch, ThePlayerLeadsTwoHandsThenTheComputerEveryOtherOneAfterTheCut)
{
    CutWhenAsked();
    frmVorla& t = table();
    std::vector<int> leaders;
    std::vector<bool> cuts;
    int cutsBefore = 0;
    gametest::Looker player;
    player.Start([&] {
        if (frmVorlada* dialog = frmVorlada::IfLoaded(); dialog && dialog->isVisible()) {
            dialog->Retorno(1).ClickWith();
            return;
        }
        if (leaders.size() == 7 || Hand.Turn != 1 || Hand.InputLocked || Hand.RoundNo != 1)
            return;
        leaders.push_back(t.picLance(2).Visible ? 2 : 1);
        cuts.push_back(cutsMade > cutsBefore);
        cutsBefore = cutsMade;
        t.lblCorrer.ClickWith();
    });
    // As the new-game dialog starts a game against the computer.
    Hand.PlayerLeads = true;
    Hand.Turn = 1;
    t.StartGame();
    vb::WaitUntil([&] { return leaders.size() == 7; });
    player.Stop();
    EXPECT_EQ(leaders, (std::vector<int>{1, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(cuts, (std::vector<bool>{true, false, true, false, true, false, true}));
}

} // namespace
