#include "game/modGame.h"

#include <gtest/gtest.h>

namespace {

constexpr int Local = 1, Opponent = 2, Tie = 3, GoesOn = 0, Nobody = 3;

int ResultAfter(int round, int w1, int w2, int w3 = 0)
{
    Hand = {};
    Hand.RoundNo = static_cast<std::uint8_t>(round);
    Hand.RoundWinner(1) = static_cast<std::uint8_t>(w1);
    Hand.RoundWinner(2) = static_cast<std::uint8_t>(w2);
    Hand.RoundWinner(3) = static_cast<std::uint8_t>(w3);
    return HandResult();
}

TEST(HandResult, TheFirstRoundNeverDecides)
{
    for (int w1 : {Local, Opponent, Tie})
        EXPECT_EQ(ResultAfter(1, w1, 0), GoesOn) << w1;
    // Entries left by an earlier hand are not looked at.
    EXPECT_EQ(ResultAfter(1, Local, Local, Local), GoesOn);
}

TEST(HandResult, AfterTheSecondRound)
{
    struct Row {
        int w1, w2, result;
    };
    const Row rows[] = {
        {Local, Local, Local},         {Local, Tie, Local},           // a tie goes to round 1's winner
        {Opponent, Opponent, Opponent}, {Opponent, Tie, Opponent},
        {Tie, Local, Local},           {Tie, Opponent, Opponent},     // after a tie the second decides
        {Local, Opponent, GoesOn},     {Opponent, Local, GoesOn},     {Tie, Tie, GoesOn},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ResultAfter(2, row.w1, row.w2), row.result) << row.w1 << "," << row.w2;
        // A stale third entry of an earlier hand changes nothing.
        EXPECT_EQ(ResultAfter(2, row.w1, row.w2, Opponent), row.result) << row.w1 << "," << row.w2;
    }
}

TEST(HandResult, TheThirdRoundAlwaysEndsTheHand)
{
    for (int w1 : {Local, Opponent, Tie}) {
        for (int w2 : {Local, Opponent, Tie}) {
            EXPECT_EQ(ResultAfter(3, w1, w2, Local), Local) << w1 << w2;
            EXPECT_EQ(ResultAfter(3, w1, w2, Opponent), Opponent) << w1 << w2;
            // A tied third round goes to the winner of the first; three ties score nothing.
            EXPECT_EQ(ResultAfter(3, w1, w2, Tie), w1 == Tie ? Nobody : w1) << w1 << w2;
        }
    }
}

} // namespace
