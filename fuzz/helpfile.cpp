// A damaged help file: the structure check must refuse every file that the
// help library cannot read safely. A file the check accepts is handed to the
// library as the viewer does, and every object it names is read in full.
#include "platform/helpfile.h"

#include <QByteArray>
#include <QFile>

#include <chm_lib.h>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr LONGINT64 kMaxObjectBytes = 32 * 1024 * 1024; // the viewer reads no larger object

// The help library opens files by name: one file per fuzzing process, in memory.
const QByteArray& FilePath()
{
    static const QByteArray path = "/dev/shm/fuzz-helpfile-" + QByteArray::number(getpid()) + ".chm";
    return path;
}

void ReadAll(const QSet<QString>& names)
{
    chmFile* chm = chm_open(FilePath().constData());
    if (!chm)
        return;
    for (const QString& name : names) {
        chmUnitInfo unit{};
        if (chm_resolve_object(chm, name.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS ||
            static_cast<LONGINT64>(unit.length) > kMaxObjectBytes)
            continue;
        QByteArray bytes(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
        chm_retrieve_object(chm, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(unit.length));
    }
    chm_close(chm);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto contents = help::CheckedContents(bytes);
    if (!contents)
        return 0;
    QFile file(QString::fromUtf8(FilePath()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();
    ReadAll(*contents);
    file.remove();
    return 0;
}
