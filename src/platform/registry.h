#pragma once
// The settings store that stands in for the system registry: keys under a
// hive, named values in each key, and the exact bytes of every value. It lives
// in one per-user file, $XDG_CONFIG_HOME/<program>/registry (~/.config when
// XDG_CONFIG_HOME is unset), written so that a crash or a full disk leaves
// either the old or the new file, never a mix. Other copies of the program may
// write the same file, so every read takes it afresh. A link there to a regular
// file stays: the file it leads to is replaced. What stands there and is not a
// regular file, or is longer than the store's bound, reads as no store and is
// never written over; a change that would take the store past it is refused.
//
// The file is plain text, one key per section:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Some Key]
//   "Value name"="bytes"
// where \\, \" and \xHH stand for a backslash, a quote and any byte outside
// printable ASCII. Key and value names compare without regard to letter case.
// A change rewrites only the line of its value, so a hand-edited file keeps
// everything else it holds (registrytext.h).
#include <QByteArray>
#include <QString>

#include <optional>

namespace registry {

enum class Hive { LocalMachine };

// The file that holds the store.
QString StorePath();

// The bytes of a value; nothing when the key or the value is missing or the
// store cannot be read. A value stored empty is an empty array, not nothing.
std::optional<QByteArray> QueryValue(Hive hive, const QString& key, const QString& name);

// Stores a value, creating its key when missing. False when the store could not
// be written (an unwritable folder or a full disk, an unreadable store, a store
// that would grow past its bound); nothing changes then.
bool SetValue(Hive hive, const QString& key, const QString& name, const QByteArray& bytes);

} // namespace registry
