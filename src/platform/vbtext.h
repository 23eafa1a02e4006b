#pragma once
// Text conversions of the runtime the game was written against.
#include <QString>

namespace vb {

// The first letter of each word in upper case, every other letter in lower
// case; words are separated by blanks ("JOAO silva" gives "Joao Silva").
QString ProperCase(const QString& text);

} // namespace vb
