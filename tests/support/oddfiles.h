// Files that a reader must take as missing.
#pragma once

#include "platform/files/files.h"

#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include <sys/stat.h>

// Puts at `path` in turn a FIFO, a link to /dev/zero and `whole`, a good file
// of its kind, made one byte longer than `maxBytes` (sparse: it takes no room),
// and runs `check` after each. A read that blocks or never ends is ended by the
// test's time-out.
inline void ForEachOddFile(const QString& path, qint64 maxBytes, const QByteArray& whole,
                           const std::function<void()>& check)
{
    const std::pair<const char*, std::function<bool()>> odd[] = {
        {"a FIFO", [&] { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"a link to /dev/zero", [&] { return QFile::link("/dev/zero", path); }},
        {"a file over the bound",
         [&] { return files::ReplaceWhole(path, whole) && QFile::resize(path, maxBytes + 1); }},
    };
    for (const auto& [what, make] : odd) {
        SCOPED_TRACE(what);
        QFile::remove(path);
        ASSERT_TRUE(make());
        check();
    }
}
