#pragma once
// Text as the settings store and the network carry it: Windows-1252, one byte
// per character, no terminator.
#include <QByteArray>
#include <QString>

namespace ansi {

// One byte per QChar, so the byte count always equals the text's length.
// Characters Windows-1252 cannot hold become '?'.
QByteArray FromUnicode(const QString& text);

// One QChar per byte. The five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, as
// Windows does, so any bytes survive a round trip through text.
QString ToUnicode(const QByteArray& bytes);

} // namespace ansi
