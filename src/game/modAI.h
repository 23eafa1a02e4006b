#pragma once
// The computer opponent (player 2) decides; the table acts on its decisions. It
// reads the match state directly, including the strengths of the player's
// hidden cards, and changes nothing but the random generator's position.
#include <cstdint>

// Strengths of a player's cards still in hand: the highest, the lowest, and the
// middle one (see the .cpp); 0 when there is no such card.
std::uint8_t HighestCardValue(std::uint8_t p);
std::uint8_t LowestCardValue(std::uint8_t p);
std::uint8_t MiddleCardValue(std::uint8_t p);

// The computer's hand slot holding a card of strength v (the last such slot),
// 0 when none.
std::uint8_t AIFindCardSlot(std::uint8_t v);

// The computer's answer to a raise: 1 accept, 2 raise back, 3 run.
std::uint8_t AIEvaluateRaise();

// The start of the computer's turn: its draw q (1 to 5), which its choice of
// card reads again, and whether it calls a raise before it plays.
struct ComputerTurn {
    int q;
    bool Raises;
};
ComputerTurn StartComputerTurn();

// The card the computer plays on the match as it stands: its hand slot (0 when
// it holds none) and whether the card goes down covered.
struct ComputerCard {
    std::uint8_t Slot;
    bool FaceDown;
};
ComputerCard ChooseComputerCard(int q);
