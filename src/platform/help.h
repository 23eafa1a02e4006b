#pragma once
// The help viewer: shows pages of a compiled HTML help file (.chm) in a small
// window of our own, read with chmlib, with links between the pages and their
// pictures. One viewer window serves every request; failures are silent.
#include <QString>

namespace help {

// Shows the page `topic` (a path inside the help file, such as "NoEscuro.htm")
// of the help file at `chmPath`. Returns false, showing nothing, when the file
// cannot be read or holds no such page.
bool ShowTopic(const QString& chmPath, const QString& topic);

// Shows the help file's start page (its default topic, else "index.htm").
bool ShowIndex(const QString& chmPath);

} // namespace help
