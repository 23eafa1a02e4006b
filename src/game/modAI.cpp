#include "game/modAI.h"

#include "game/modGame.h"
#include "platform/random.h"

#include <algorithm>

std::uint8_t HighestCardValue(std::uint8_t p)
{
    std::uint8_t highest = 0;
    for (int i = 1; i <= 3; ++i)
        if (Players(p).Cards(i) != 0)
            highest = std::max(highest, CardValue(Players(p).Cards(i)));
    return highest;
}

std::uint8_t LowestCardValue(std::uint8_t p)
{
    std::uint8_t lowest = HighestCardValue(p);
    for (int i = 1; i <= 3; ++i)
        if (Players(p).Cards(i) != 0)
            lowest = std::min(lowest, CardValue(Players(p).Cards(i)));
    return lowest;
}

// Walks the slots in order: an empty slot gives the lowest; a card neither the
// highest nor the lowest is the middle one; when the walk passes all three
// (two cards share the highest or the lowest strength) there is none.
std::uint8_t MiddleCardValue(std::uint8_t p)
{
    const std::uint8_t highest = HighestCardValue(p);
    const std::uint8_t lowest = LowestCardValue(p);
    for (int i = 1; i <= 3; ++i) {
        const std::uint8_t card = Players(p).Cards(i);
        if (card == 0)
            return lowest;
        const std::uint8_t value = CardValue(card);
        if (value != highest && value != lowest)
            return value;
    }
    return 0;
}

std::uint8_t AIFindCardSlot(std::uint8_t v)
{
    std::uint8_t slot = 0;
    for (int i = 1; i <= 3; ++i)
        if (CardValue(Players(2).Cards(i)) == v)
            slot = static_cast<std::uint8_t>(i);
    return slot;
}

namespace {

// The evaluation table: the first value when the condition holds, else the second.
int evaluate(int r)
{
    const int H1 = HighestCardValue(1), M1 = MiddleCardValue(1), L1 = LowestCardValue(1);
    const int H2 = HighestCardValue(2), M2 = MiddleCardValue(2), L2 = LowestCardValue(2);
    const int T1 = Players(1).TableValue, T2 = Players(2).TableValue;
    const bool F1 = Players(1).FaceDown;
    auto pick = [](bool holds, int yes, int no) { return holds ? yes : no; };

    switch (Hand.RoundNo) {
    case 1:
        if (T1 != 0)
            return pick(H2 < T1 && M1 >= M2, 3, 2);
        if (T2 != 0)
            return pick(T2 < H1 && L1 >= L2, 3, r);
        return pick(H1 + L1 < H2 + L2, 1, 3);
    case 2:
        if (Hand.RoundWinner(1) == 2)
            return pick(H2 >= 10, r, 3);
        if (Hand.RoundWinner(1) == 1) {
            if (T1 != 0)
                return pick((H2 > T1 && L2 >= 10) || (F1 && H2 >= 10), r, 3);
            if (T2 != 0)
                return pick(T2 + L2 >= 20, 1, 3);
            return pick(H2 + L2 >= 20, 1, 3);
        }
        if (T1 != 0)
            return pick(H2 >= T1, 1, 3);
        if (T2 != 0)
            return pick(T2 >= 10, 1, 3);
        return pick(H2 >= 10, r, 3);
    case 3:
        if (T1 != 0)
            return pick(H2 > T1 || F1, 2, 3);
        if (T2 != 0)
            return pick(T2 >= 10, r, 3);
        return pick(H2 >= 10, r, 3);
    default:
        return 0;
    }
}

// Cheapest card that beats the player's face-up card, else one that ties it,
// else the lowest.
std::uint8_t followCard(int T1, int L2)
{
    for (int v = T1 + 1; v <= 17; ++v)
        for (int i = 1; i <= 3; ++i)
            if (Players(2).Cards(i) != 0 && CardValue(Players(2).Cards(i)) == v)
                return static_cast<std::uint8_t>(i);
    for (int i = 1; i <= 3; ++i)
        if (Players(2).Cards(i) != 0 && CardValue(Players(2).Cards(i)) == T1)
            return static_cast<std::uint8_t>(i);
    return AIFindCardSlot(static_cast<std::uint8_t>(L2));
}

bool holdsAnyCard()
{
    for (int i = 1; i <= 3; ++i)
        if (Players(2).Cards(i) != 0)
            return true;
    return false;
}

} // namespace

std::uint8_t AIEvaluateRaise()
{
    const int r = vb::RndUpTo(2);
    int result = evaluate(r);
    if (result == 2 && Hand.Stake >= 9)
        result = 1; // the raise to 12 can only be accepted
    if (result == 0)
        result = 1;
    return static_cast<std::uint8_t>(result);
}

ComputerTurn StartComputerTurn()
{
    const int q = vb::RndUpTo(5);
    const int e = AIEvaluateRaise();
    return {q, q == 4 && e != 3 && Hand.LastRaiser != 2 && !AnyAtEleven() && Hand.Stake < 12};
}

ComputerCard ChooseComputerCard(int q)
{
    if (!holdsAnyCard())
        return {0, false};
    const int H2 = HighestCardValue(2), M2 = MiddleCardValue(2), L2 = LowestCardValue(2);
    const int T1 = Players(1).TableValue;
    const bool F1 = Players(1).FaceDown;
    const auto lowest = ComputerCard{AIFindCardSlot(static_cast<std::uint8_t>(L2)), false};

    if (IsPlayingInDark()) {
        int k;
        do
            k = vb::RndUpTo(3);
        while (Players(2).Cards(k) == 0);
        return {static_cast<std::uint8_t>(k), false};
    }
    if (Hand.RoundNo == 1 && T1 >= 11 && H2 >= 13 && L2 <= 7 && M2 >= 8)
        return lowest;
    if (Hand.RoundNo == 2 && Hand.RoundWinner(1) == 2)
        return {lowest.Slot, H2 >= 14 && !AnyAtEleven() && q == 3};
    if (T1 != 0 && !F1)
        return {followCard(T1, L2), false};
    return F1 ? lowest : ComputerCard{AIFindCardSlot(static_cast<std::uint8_t>(H2)), false};
}
