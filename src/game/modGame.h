#pragma once
// The match state shared by every window of the game, the card model, the stake
// ladder and the draw of a hand's seven cards.
//
// Cards are numbered 1 to 40, four consecutive numbers per rank in the order
// 4, 5, 6, 7, Q, J, K, A, 2, 3; the suit is (n - 1) mod 4 + 1; 0 is an empty
// slot. The 24-card deck holds 17 to 40. Players are 1 (local) and 2 (opponent).
#include "platform/vbarray.h"

#include <QString>
#include <cstdint>

struct PlayerInfo {
    vb::Array<std::uint8_t, 1, 3> Cards; // hand slots; a played slot is 0
    std::uint8_t Points = 0;             // 11 is the eleven-point state, 12 or more wins
    std::uint8_t MatchesWon = 0;         // stops at 255 (AddMatchWon)
    std::uint8_t TableValue = 0;         // strength of the card on the table, 0 for none
    QString Name;
    bool FaceDown = false;               // the card on the table lies face down
};

struct HandInfo {
    std::uint8_t Vira = 0;                      // the turned card
    std::uint8_t RoundNo = 0;                   // 1 to 3
    vb::Array<std::uint8_t, 1, 3> RoundWinner;  // 1, 2, 3 for a tie, 0 not played
    std::uint8_t LastRaiser = 0;
    std::uint8_t RaiseAnswer = 0;               // 1 accept, 2 raise again, 3 run
    std::uint8_t Stake = 0;                     // 1, 3, 6, 9 or 12
    QString DealtCards;                         // "#c1#c2#...#c7#"
    std::int16_t Turn = 0;                      // who acts next, 0 before the first deal
    bool PlayerLeads = false;                   // deal and lead alternation
    bool NetworkGame = false;
    bool DirtyDeck = false;                     // 40 cards; otherwise 24
    bool PlayInDark = false;
    bool SoundOn = false;
    bool DeckCut = false;
    bool InputLocked = false;
    bool ShowComputerCards = false;
    bool NewManilha = false;                    // manilhas follow the turned card
};

extern vb::Array<PlayerInfo, 1, 2> Players;
extern HandInfo Hand;
extern bool OptionsChanged;
extern QString ServerIP;
extern bool IsServer;
extern std::uint8_t CardBack; // 1 to 10

// Strength of card n under the current manilha rule: 4 to 13 for ordinary
// cards, 17 down to 14 for the manilhas of suits 1 to 4; an empty slot is 3.
std::uint8_t CardValue(std::uint8_t n);

bool BothAtEleven();
bool AnyAtEleven();
bool IsPlayingInDark();

// The stake after one more accepted raise (0 past 12), and the name of that call.
std::uint8_t NextStake();
QString StakeCallName();
// An accepted raise: the stake goes one step up the ladder; 12 stays 12.
void RaiseStake();

// A player's name as the game's messages carry it, in one field: without the
// field separator "#", which would move the fields after it.
QString NameAsField(const QString& name);

// A fresh match: hands, points, matches won, the hand record and the opponent's
// name are cleared; options, the local name and the connection flags are kept.
void ResetMatch();

// Game steps wait (pauses, flights, modal windows) while other handlers run; a
// step remembers the match it started in and, after each wait, returns without
// further effect when that match has been replaced (the peer left, a new game).
class MatchGuard {
public:
    MatchGuard();
    bool Replaced() const;

private:
    std::uint64_t serial_;
};

// The same for a hand: a step that waited returns when another hand has been
// dealt meanwhile (its own raise ended the hand and the next one began).
class HandGuard {
public:
    HandGuard();
    bool Replaced() const;

private:
    std::uint64_t serial_;
};
// Marks the start of a new hand on the table.
void CountNewHand();

// Counts one more match won; the count stays at 255 once it gets there.
void AddMatchWon(PlayerInfo& player);

// Draws seven distinct cards of the current deck into both hands and the
// turned card, and records them in Hand.DealtCards.
void ShuffleAndDeal();

// The table's side of the match state (they draw on the main window).
// Hides every card picture of the table and empties the message line; the cards
// that fly go back to their own places, whatever a stopped flight left.
void ClearTable();
// Writes the score board: names, points of the match, matches won and the stake.
void UpdateScoreBoard();

// The hand's result after the round Hand.RoundNo from the rounds' winners:
// 1 the local player scores, 2 the opponent, 3 nobody, 0 the hand goes on.
int HandResult();
