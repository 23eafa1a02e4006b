#pragma once
// Where the program finds its data: the sound folder "Sons" and the help file.
// The program runs from its build tree (data copied beside the executable) and
// installed (data under share/), so each look-up tries those places in turn.
#include <QString>
#include <QStringList>

namespace datapath {

// The folder of the running executable.
QString ProgramFolder();

// The installed data folder (share/<program>), derived from the executable's folder.
QString InstalledDataFolder();

// The "Sons" folders to search, in order: under the current directory, beside
// the program, in the installed data folder (duplicates removed).
QStringList SoundFolders();

// The full path of a sound file, matched by name without regard to letter case,
// from the first folder of SoundFolders() that holds it; empty when none does
// or the name is not a plain file name.
QString SoundFile(const QString& name);

// The full path of the help file "Ajuda.chm": beside the program, then in the
// installed data folder; empty when neither exists.
QString HelpFile();

// A file named `name`, without regard to letter case, directly inside `folder`;
// an exact match wins over others. Empty when there is none.
QString FindFileNoCase(const QString& folder, const QString& name);

} // namespace datapath
