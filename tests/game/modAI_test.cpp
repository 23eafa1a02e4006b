#include "game/modAI.h"

#include "gamefixture.h"

#include <set>

namespace {

using namespace gametest;

const std::set<int> EitherRandom = {1, 2};

// Every answer the evaluation gives over a run of seeds, the state staying as it is.
std::set<int> Answers()
{
    std::set<int> seen;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        vb::Randomize(seed);
        seen.insert(AIEvaluateRaise());
    }
    return seen;
}

struct Situation {
    const char* what;
    int round, firstRoundWinner;
    std::array<int, 3> mine, computers; // strengths in hand, 0 for an empty slot
    int t1, t2;                         // strengths on the table, 0 for none
    bool f1;                            // the player's card lies face down
    std::set<int> answers;
};

void Arrange(const Situation& s)
{
    Hand.RoundNo = static_cast<std::uint8_t>(s.round);
    Hand.RoundWinner(1) = static_cast<std::uint8_t>(s.firstRoundWinner);
    Hold(1, s.mine);
    Hold(2, s.computers);
    Players(1).TableValue = static_cast<std::uint8_t>(s.t1);
    Players(2).TableValue = static_cast<std::uint8_t>(s.t2);
    Players(1).FaceDown = s.f1;
}

using Evaluation = GameTest;

TEST_F(Evaluation, EachSituationOnBothSidesOfItsCondition)
{
    const std::array<int, 3> any = {5, 5, 0};
    const Situation situations[] = {
        // Round 1 is judged against the player's hidden cards.
        {"r1 his card: our best below it, middle no better: run", 1, 0, {12, 9, 5}, {10, 7, 4}, 11, 0, false, {3}},
        {"r1 his card: our best equal to it never runs", 1, 0, {12, 9, 5}, {11, 7, 4}, 11, 0, false, {2}},
        {"r1 his card: our middle better", 1, 0, {12, 6, 5}, {10, 7, 4}, 11, 0, false, {2}},
        {"r1 our card: below his best, his low no worse: run", 1, 0, {12, 9, 6}, {7, 5, 0}, 0, 10, false, {3}},
        {"r1 our card: not below his best", 1, 0, {12, 9, 6}, {7, 5, 0}, 0, 12, false, EitherRandom},
        {"r1 our card: his low below ours", 1, 0, {12, 9, 4}, {7, 5, 0}, 0, 10, false, EitherRandom},
        {"r1 empty table: our high plus low exceeds his", 1, 0, {10, 8, 4}, {12, 9, 5}, 0, 0, false, {1}},
        {"r1 empty table: equal sums run", 1, 0, {10, 8, 5}, {11, 9, 4}, 0, 0, false, {3}},
        // Round 2 after the computer won the first: the table is not looked at.
        {"r2 won: a K or better", 2, 2, any, {10, 4, 0}, 17, 0, false, EitherRandom},
        {"r2 won: below a K", 2, 2, any, {9, 4, 0}, 0, 0, false, {3}},
        // Round 2 after the player won the first.
        {"r2 lost, his card beaten and our low a K", 2, 1, any, {11, 10, 0}, 9, 0, false, EitherRandom},
        {"r2 lost, his card beaten but our low below a K", 2, 1, any, {11, 4, 0}, 9, 0, false, {3}},
        {"r2 lost, his card covered, our best a K", 2, 1, any, {10, 4, 0}, 13, 0, true, EitherRandom},
        {"r2 lost, his card covered, our best below a K", 2, 1, any, {9, 4, 0}, 13, 0, true, {3}},
        {"r2 lost, our card plus our low 20", 2, 1, any, {10, 0, 0}, 0, 10, false, {1}},
        {"r2 lost, our card plus our low 19", 2, 1, any, {10, 0, 0}, 0, 9, false, {3}},
        {"r2 lost, empty table, high plus low 20", 2, 1, any, {12, 8, 0}, 0, 0, false, {1}},
        {"r2 lost, empty table, high plus low 19", 2, 1, any, {12, 7, 0}, 0, 0, false, {3}},
        // Round 2 after a tied first round.
        {"r2 tied, his card equalled", 2, 3, any, {10, 4, 0}, 10, 0, false, {1}},
        {"r2 tied, his card not reached", 2, 3, any, {10, 4, 0}, 11, 0, false, {3}},
        {"r2 tied, our card a K", 2, 3, any, {4, 0, 0}, 0, 10, false, {1}},
        {"r2 tied, our card below a K", 2, 3, any, {13, 0, 0}, 0, 9, false, {3}},
        {"r2 tied, empty table, a K or better", 2, 3, any, {10, 4, 0}, 0, 0, false, EitherRandom},
        {"r2 tied, empty table, below a K", 2, 3, any, {9, 4, 0}, 0, 0, false, {3}},
        // Round 3: the first round's winner is not looked at.
        {"r3 his card beaten", 3, 2, any, {11, 0, 0}, 10, 0, false, {2}},
        {"r3 his card only equalled: run", 3, 1, any, {11, 0, 0}, 11, 0, false, {3}},
        {"r3 his card covered", 3, 1, any, {4, 0, 0}, 13, 0, true, {2}},
        {"r3 our card a K", 3, 1, any, {0, 0, 0}, 0, 10, false, EitherRandom},
        {"r3 our card below a K", 3, 2, any, {0, 0, 0}, 0, 9, false, {3}},
        {"r3 empty table, a K or better", 3, 3, any, {10, 0, 0}, 0, 0, false, EitherRandom},
        {"r3 empty table, below a K", 3, 3, any, {9, 0, 0}, 0, 0, false, {3}},
    };
    for (const Situation& s : situations) {
        Arrange(s);
        EXPECT_EQ(Answers(), s.answers) << s.what;
    }
}

TEST_F(Evaluation, NoRaiseBackFromNineOnAndAcceptOutsideTheRounds)
{
    Arrange({"r3 his card beaten", 3, 2, {5, 5, 0}, {11, 0, 0}, 10, 0, false, {}});
    for (int stake : {1, 3, 6, 9, 12}) {
        Hand.Stake = static_cast<std::uint8_t>(stake);
        EXPECT_EQ(Answers(), std::set<int>{stake >= 9 ? 1 : 2}) << stake;
    }
    Arrange({"r3 empty table", 3, 3, {5, 5, 0}, {10, 0, 0}, 0, 0, false, {}});
    Hand.Stake = 9;
    EXPECT_EQ(Answers(), std::set<int>{1});

    for (int round : {0, 4}) {
        Hand.RoundNo = static_cast<std::uint8_t>(round);
        EXPECT_EQ(Answers(), std::set<int>{1}) << round;
    }
}

TEST_F(Evaluation, CardValuesOfAHand)
{
    struct Case {
        std::array<int, 3> hand;
        int highest, middle, lowest;
    };
    for (const Case& c : {Case{{5, 7, 10}, 10, 7, 5}, Case{{10, 5, 7}, 10, 7, 5}, Case{{5, 5, 10}, 10, 0, 5},
                          Case{{10, 10, 5}, 10, 0, 5}, Case{{5, 10, 0}, 10, 5, 5}, Case{{0, 14, 0}, 14, 14, 14},
                          Case{{0, 0, 0}, 0, 0, 0}}) {
        Hold(2, c.hand);
        EXPECT_EQ(HighestCardValue(2), c.highest);
        EXPECT_EQ(MiddleCardValue(2), c.middle) << c.hand[0] << " " << c.hand[1] << " " << c.hand[2];
        EXPECT_EQ(LowestCardValue(2), c.lowest);
    }
    Hold(2, {5, 4, 5});
    EXPECT_EQ(AIFindCardSlot(5), 3) << "the last slot of that strength";
    EXPECT_EQ(AIFindCardSlot(6), 0);
}

// The computer's choice of card on the match as it stands.
class CardChoice : public GameTest {
protected:
    int Play(int round, int firstRoundWinner, std::array<int, 3> computers, int t1 = 0, bool f1 = false, int q = 1)
    {
        Arrange({"", round, firstRoundWinner, {5, 6, 0}, computers, t1, 0, f1, {}});
        chosen = ChooseComputerCard(q);
        return chosen.Slot;
    }
    ComputerCard chosen{};
};

TEST_F(CardChoice, FollowsWithTheCheapestWinnerElseATieElseTheLowest)
{
    EXPECT_EQ(Play(1, 0, {4, 9, 11}, 10), 3);
    EXPECT_EQ(Play(1, 0, {14, 11, 4}, 10), 2) << "an ace is cheaper than a manilha";
    EXPECT_EQ(Play(1, 0, {4, 7, 10}, 10), 3) << "a tie";
    EXPECT_EQ(Play(1, 0, {10, 4, 7}, 10), 1) << "a tie";
    EXPECT_EQ(Play(1, 0, {6, 4, 5}, 10), 2) << "the lowest";
}

TEST_F(CardChoice, GivesAStrongFirstLeadAwayWhenHoldingAManilhaAndAMiddleCard)
{
    EXPECT_EQ(Play(1, 0, {8, 4, 14}, 13), 2);
    EXPECT_EQ(Play(1, 0, {8, 4, 14}, 11), 2);
    EXPECT_EQ(Play(1, 0, {8, 4, 14}, 10), 3) << "a lead below an ace is beaten";
    EXPECT_EQ(Play(1, 0, {7, 4, 14}, 13), 3) << "no middle card of a Q or better";
    EXPECT_EQ(Play(1, 0, {8, 4, 12}, 11), 3) << "no 3 or manilha: it beats the ace";
    EXPECT_EQ(Play(2, 1, {8, 4, 14}, 13), 3) << "only in the first round";
}

TEST_F(CardChoice, EqualCardsLowestTakesTheLastSlotAndFollowingTheFirst)
{
    EXPECT_EQ(Play(2, 1, {5, 5, 13}, 4), 1) << "the cheapest winner in the first slot";
    EXPECT_EQ(Play(2, 1, {5, 5, 13}, 13, true), 2) << "a covered card is answered with the lowest";
    EXPECT_EQ(Play(3, 1, {5, 0, 0}, 17, true), 1);
}

TEST_F(CardChoice, LeadsWithTheHighestOrAfterWinningTheFirstWithTheLowest)
{
    EXPECT_EQ(Play(1, 0, {9, 13, 4}), 2);
    EXPECT_EQ(Play(3, 2, {0, 0, 9}), 3);
    EXPECT_EQ(Play(2, 2, {13, 4, 0}), 2);
    EXPECT_FALSE(chosen.FaceDown);
}

TEST_F(CardChoice, SecondLeadGoesDownCoveredOnlyWithAManilhaAndTheRightDraw)
{
    struct Case {
        std::array<int, 3> computers;
        int q, myPoints;
        bool covered;
    };
    for (const Case& c : {Case{{14, 4, 0}, 3, 0, true}, Case{{14, 4, 0}, 1, 0, false}, Case{{14, 4, 0}, 5, 0, false},
                          Case{{13, 4, 0}, 3, 0, false}, Case{{14, 4, 0}, 3, 11, false}}) {
        Players(1).Points = static_cast<std::uint8_t>(c.myPoints);
        EXPECT_EQ(Play(2, 2, c.computers, 0, false, c.q), 2);
        EXPECT_EQ(chosen.FaceDown, c.covered) << c.computers[0] << " q " << c.q << " at " << c.myPoints;
    }
}

TEST_F(CardChoice, InTheDarkARandomCardItHoldsAndNothingWithoutCards)
{
    Hand.PlayInDark = true;
    Players(1).Points = Players(2).Points = 11;
    std::set<int> chosenSlots;
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        vb::Randomize(seed);
        chosenSlots.insert(Play(1, 0, {13, 0, 4}, 10));
    }
    EXPECT_EQ(chosenSlots, (std::set<int>{1, 3}));
    EXPECT_EQ(Play(3, 1, {0, 0, 0}), 0);
    Hand.PlayInDark = false;
    EXPECT_EQ(Play(3, 1, {0, 0, 0}), 0);
}

// Raises against the computer, on a dealt hand, through the labels and the answer dialog.
using Raises = GameTest;

TEST_F(Raises, ComputerAcceptsTheVorlaAndTheRaiserWaitsForItsRaise)
{
    DealTo(1);
    Hold(1, {4, 5, 6});
    Hold(2, {13, 12, 11});
    Table().lblVorla.ClickWith();
    EXPECT_EQ(Hand.Stake, 3);
    EXPECT_EQ(Hand.LastRaiser, 1);
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_EQ(Table().lblVorla.Caption(), "Seis");
    EXPECT_EQ(Table().lblValendo.Caption(), "Valendo 3");

    Table().lblVorla.ClickWith();
    EXPECT_EQ(PopupMessage, "Aguarde a sua vez de vorlar!");
    EXPECT_EQ(Hand.Stake, 3);
}

TEST_F(Raises, ComputerRunsAndThePlayerScoresTheUnraisedStake)
{
    DealTo(1);
    Hand.Stake = 6;
    Hand.LastRaiser = 2;
    Hold(1, {13, 12, 11});
    Hold(2, {4, 5, 6});
    Table().lblVorla.ClickWith();
    EXPECT_EQ(Players(1).Points, 6);
    EXPECT_EQ(Players(2).Points, 0);
    EXPECT_EQ(Hand.Stake, 1) << "the next hand is dealt";
    EXPECT_EQ(Hand.RoundNo, 1);
    EXPECT_EQ(Hand.LastRaiser, 0);
}

TEST_F(Raises, ComputerRaisesBackAndThePlayerAnswersInTheDialog)
{
    DealTo(1);
    Hand.RoundNo = 2;
    Hand.RoundWinner(1) = 2;
    Hold(2, {10, 4, 0});
    SeedWhere([] { return AIEvaluateRaise() == 2; });
    RaiseAnswerer player({1});
    Table().lblVorla.ClickWith();
    ASSERT_EQ(player.offers.size(), 1u);
    EXPECT_EQ(player.offers[0].stake, 3) << "the player's own raise counts";
    EXPECT_EQ(player.offers[0].raiseAgain, "Pedir 9");
    EXPECT_EQ(Hand.Stake, 6);
    EXPECT_EQ(Hand.LastRaiser, 2);
    EXPECT_EQ(Hand.RaiseAnswer, 1);
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_EQ(Table().lblVorla.Caption(), "Nove");
    EXPECT_EQ(Table().lblValendo.Caption(), "Valendo 6");
}

TEST_F(Raises, AtNineTheComputerOnlyAcceptsAndTwelveTakesNoRaise)
{
    DealTo(1);
    Hand.RoundNo = 2;
    Hand.RoundWinner(1) = 2;
    Hold(2, {10, 4, 0});
    Hand.Stake = 6;
    SeedWhere([] { return AIEvaluateRaise() == 2; });
    Hand.Stake = 9;
    RaiseAnswerer player({});
    Table().lblVorla.ClickWith();
    EXPECT_TRUE(player.offers.empty());
    EXPECT_EQ(Hand.Stake, 12);
    EXPECT_EQ(Hand.LastRaiser, 1);
    EXPECT_EQ(Table().lblVorla.Caption(), "");

    Hand.LastRaiser = 0;
    Table().lblVorla.ClickWith();
    EXPECT_EQ(Hand.LastRaiser, 0) << "not asked again";
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_EQ(PopupMessage, "") << "a beep, no popup";
}

TEST_F(Raises, ThePlayerAnswersTheComputersRaise)
{
    struct Case {
        int stake, answer, stakeAfter, points1, points2;
    };
    // A weak computer runs from a raise again; a run scores the stake before the raise.
    for (const Case& c : {Case{1, 1, 3, 0, 0}, Case{6, 3, 1, 0, 6}, Case{3, 2, 1, 6, 0}}) {
        Fresh();
        DealTo(2);
        Hold(1, {13, 12, 11});
        Hold(2, {4, 5, 6});
        Hand.Stake = static_cast<std::uint8_t>(c.stake);
        RaiseAnswerer player({c.answer});
        Table().HandleRaise(2);
        ASSERT_EQ(player.offers.size(), 1u);
        EXPECT_TRUE(frmVorlada::Shouts(c.stake).contains(player.offers[0].shout));
        EXPECT_EQ(Hand.Stake, c.stakeAfter) << c.stake << " answered " << c.answer;
        EXPECT_EQ(Players(1).Points, c.points1) << c.stake << " answered " << c.answer;
        EXPECT_EQ(Players(2).Points, c.points2) << c.stake << " answered " << c.answer;
        if (c.answer == 1) {
            EXPECT_EQ(Hand.LastRaiser, 2);
            EXPECT_TRUE(Hand.InputLocked) << "the computer is still to play";
            EXPECT_EQ(Table().lblVorla.Caption(), "Seis");
            EXPECT_EQ(Table().lblValendo.Caption(), "Valendo 3");
        }
    }
}

TEST_F(Raises, OneExchangeClimbsTheWholeLadderAndEndsAtTwelve)
{
    // Round 3, the player has led a card the computer beats: it always raises back.
    DealTo(2);
    Arrange({"", 3, 1, {0, 0, 0}, {11, 0, 0}, 10, 0, false, {}});
    RaiseAnswerer player({2, 2});
    Table().HandleRaise(2);
    ASSERT_EQ(player.offers.size(), 2u);
    EXPECT_EQ(player.offers[0].stake, 1);
    EXPECT_EQ(player.offers[1].stake, 6);
    EXPECT_EQ(player.offers[1].raiseAgain, "Pedir 12");
    EXPECT_EQ(Hand.Stake, 12);
    EXPECT_EQ(Hand.LastRaiser, 1);
    EXPECT_EQ(Table().lblVorla.Caption(), "");
}

TEST_F(Raises, ComputersOwnRaiseBeforeItsCard)
{
    for (int answer : {1, 3}) {
        Fresh();
        DealTo(2);
        Hold(1, {4, 5, 6});
        Hold(2, {13, 12, 11});
        SeedWhere([] { return vb::RndUpTo(5) == 4 && AIEvaluateRaise() != 3; });
        RaiseAnswerer player({answer});
        const int slot = Table().ComputerPlay();
        ASSERT_EQ(player.offers.size(), 1u) << answer;
        if (answer == 1) {
            EXPECT_EQ(Hand.Stake, 3);
            EXPECT_EQ(slot, 1) << "it leads its highest card";
        } else {
            // The run scored the hand and the next one was dealt inside the raise.
            EXPECT_EQ(Players(2).Points, 1);
            EXPECT_EQ(slot, 0);
            EXPECT_EQ(Hand.Turn, 1);
            EXPECT_FALSE(Hand.InputLocked) << "the player leads the new hand";
            EXPECT_EQ(Hand.RoundNo, 1);
        }
    }
}

TEST_F(Raises, NoRaiseAfterThePlayerAnsweredOrWhenTheEvaluationRuns)
{
    DealTo(2);
    Hold(1, {13, 12, 11});
    Hold(2, {4, 5, 6});
    RaiseAnswerer player({});
    SeedWhere([] { return vb::RndUpTo(5) == 4; });
    EXPECT_EQ(Table().ComputerPlay(), 3) << "its evaluation runs: it leads without raising";
    Hold(1, {4, 5, 6});
    Hold(2, {13, 12, 11});
    Hand.LastRaiser = 2;
    SeedWhere([] { return vb::RndUpTo(5) == 4 && AIEvaluateRaise() != 3; });
    EXPECT_EQ(Table().ComputerPlay(), 1);
    EXPECT_TRUE(player.offers.empty());
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_TRUE(Hand.InputLocked) << "the player waits for the computer's card";
}

TEST_F(Raises, TheComputersCoveredSecondLeadGoesDownCovered)
{
    DealTo(2);
    Arrange({"", 2, 2, {5, 6, 0}, {14, 4, 0}, 0, 0, false, {}});
    SeedWhere([] { return StartComputerTurn().q == 3; });
    EXPECT_EQ(Table().ComputerPlay(), 2);
    EXPECT_TRUE(Players(2).FaceDown);
}

} // namespace
