#pragma once
// The logon name of the user running the program.
#include <QString>

#include <cstddef>

namespace username {

// The user's name from the user database, as stored there; empty when it
// cannot be read.
QString LogonName();

// The same, starting the look-up with a buffer of `bufferSize` bytes, which
// grows for as long as the entry does not fit. LogonName() starts with the
// size the system suggests.
QString LogonName(std::size_t bufferSize);

} // namespace username
