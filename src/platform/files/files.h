#pragma once
// Files the program reads and replaces. A reader takes only a regular file,
// never a FIFO or a device that would block it or never end, and only up to a
// bound that fits what it reads. A writer replaces a file whole or not at all.
// Qt Core alone, so that every layer, the card pictures included, may use it.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace files {

// Opens `file` on the file at `path` for reading when that is a regular file,
// a link to one included; a FIFO or a device is refused without waiting for a
// writer. False, leaving `file` closed, when it is missing or anything else.
bool OpenRegular(QFile& file, const QString& path);

// The whole of the regular file at `path` when it holds at most `maxBytes`;
// nothing when it is missing, not a regular file, longer or unreadable.
std::optional<QByteArray> ReadRegular(const QString& path, qint64 maxBytes);

// Where the file kept at `path` lies: `path` itself when that is a regular
// file or nothing stands there yet; for a link, the regular file it leads to,
// by its path with every link resolved. Nothing when it is or leads to
// anything else: a FIFO, a device, a folder, or a link to nowhere.
std::optional<QString> RegularTarget(const QString& path);

// Puts `bytes` in place of the file at `path`: written to a new file in the
// same folder, synced, then renamed over it, so that a link at `path` is
// replaced rather than followed. The new file keeps the permissions of the
// regular file it replaces. False when any step fails (a full disk, say); the
// file at `path` is then exactly as it was and the new one is removed.
bool ReplaceWhole(const QString& path, const QByteArray& bytes);

// Removes the new files that a ReplaceWhole of `path` left behind when its
// program was killed midway; none other. Only for a caller that holds a lock
// under which every ReplaceWhole of `path` runs.
void RemoveLeftovers(const QString& path);

} // namespace files
