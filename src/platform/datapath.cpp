#include "platform/datapath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace datapath {
namespace {
const QString kSoundFolder = QStringLiteral("Sons");
const QString kHelpFile = QStringLiteral("Ajuda.chm");
} // namespace

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString InstalledDataFolder()
{
    return QDir::cleanPath(ProgramFolder() + QLatin1Char('/') + QStringLiteral(PROGRAM_DATADIR_FROM_BIN));
}

QStringList SoundFolders()
{
    QStringList folders;
    for (const QString& base : {QDir::currentPath(), ProgramFolder(), InstalledDataFolder()}) {
        const QString folder = QDir::cleanPath(base + QLatin1Char('/') + kSoundFolder);
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QString FindFileNoCase(const QString& folder, const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".")
        || name == QLatin1String(".."))
        return {};
    const QFileInfo exact(folder + QLatin1Char('/') + name);
    if (exact.isFile())
        return exact.filePath();
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + entry;
    }
    return {};
}

QString SoundFile(const QString& name)
{
    for (const QString& folder : SoundFolders()) {
        const QString path = FindFileNoCase(folder, name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString HelpFile()
{
    for (const QString& folder : {ProgramFolder(), InstalledDataFolder()}) {
        const QFileInfo file(folder + QLatin1Char('/') + kHelpFile);
        if (file.isFile())
            return file.filePath();
    }
    return {};
}

} // namespace datapath
