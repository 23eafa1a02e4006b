#pragma once
// The computer opponent (player 2). It reads the match state directly,
// including the strengths of the player's hidden cards.
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

// The computer's turn: it may raise first, then chooses the hand slot to play.
// 0 when it has nothing to play any more (its raise ended the hand).
std::uint8_t ComputerPlay();

// Mode 1: the computer answers the player's raise; mode 2: the computer raises.
void HandleRaise(std::uint8_t mode);
