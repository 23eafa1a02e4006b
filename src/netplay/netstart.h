#pragma once
// The start of a network game, as the new-game dialog chose it (IsServer,
// ServerIP): the host listens on the game port and waits in its waiting window
// (returning when it closes); the guest starts connecting and returns at once.
// The rest arrives as events of the table's socket.
void StartNetworkGame();

// The game port, on both sides.
constexpr int GamePort = 1236;
