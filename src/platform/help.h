#pragma once
// Help: pages of a compiled HTML help file (.chm) shown by the help viewer, a
// process of its own (see helpviewer.h) that the first request starts and the
// later ones reuse. Only a help file whose structure is whole goes to the
// viewer; failures are silent and never reach the game.
#include <QString>

#include <functional>

namespace help {

// Shows the page `topic` (a path inside the help file, such as "NoEscuro.htm")
// of the help file at `chmPath`. Returns false, showing nothing, when the file
// cannot be read, is damaged or holds no such page, or no viewer can be run.
bool ShowTopic(const QString& chmPath, const QString& topic);

// Shows the help file's start page; false as for ShowTopic.
bool ShowIndex(const QString& chmPath);

// Tests see what would be shown (the help file and the topic, empty for the
// start page) instead of starting the viewer; an empty function restores it.
void SetRecorder(std::function<void(const QString& file, const QString& topic)> recorder);

} // namespace help
