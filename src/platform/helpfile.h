#pragma once
// The structure of a compiled HTML help file (.chm), checked before the file
// reaches the help library: the library trusts the file's headers, directory
// and compression tables, and a damaged one ends the process that reads it.
#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

namespace help {

// The names of the objects inside the help file ("/index.htm", ...) when its
// headers, its directory and the tables of its compressed section are whole,
// with every size and offset in range; nothing when any of them is damaged.
std::optional<QSet<QString>> CheckedContents(const QByteArray& file);

// The same for the file at `path`; nothing when it cannot be read.
std::optional<QSet<QString>> CheckedFileContents(const QString& path);

// The name inside the help file of the page `topic` ("NoEscuro.htm" is
// "/NoEscuro.htm").
QString PageName(QString topic);

} // namespace help
