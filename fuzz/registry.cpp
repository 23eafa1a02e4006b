// The settings file as a damaged or hand-edited copy may hold it. Whatever it
// holds, setting a value must keep every other value that was read, byte for
// byte, and every line but the one it changes; and the value set reads back.
#include "platform/registrytext.h"

#include <QByteArrayList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const QString kPath = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fuzz");
const QString kName = QStringLiteral("Valor");

struct Read {
    std::vector<std::pair<QString, QString>> values; // key path and value name, as the file gives them
    QByteArrayList lines;
};

Read ReadAll(const QByteArray& text)
{
    Read read;
    QString section;
    registry::ForEachLine(text, [&](QByteArrayView line, qsizetype) {
        read.lines.append(line.toByteArray());
        if (const auto path = registry::SectionPath(line))
            section = QString::fromUtf8(*path);
        else if (const auto value = registry::ReadValueLine(line))
            read.values.emplace_back(section, value->name);
    });
    return read;
}

void Fail(const char* what, const QByteArray& input, const QByteArray& written)
{
    std::fprintf(stderr, "%s\ninput: %s\nwritten: %s\n", what, input.toPercentEncoding().constData(),
                 written.toPercentEncoding().constData());
    std::abort();
}

bool IsSet(const QString& path, const QString& name)
{
    return path.compare(kPath, Qt::CaseInsensitive) == 0 && name.compare(kName, Qt::CaseInsensitive) == 0;
}

// Every line of `before` is in `after`, in order, but for lines that set the value.
bool KeepsLines(const Read& before, const Read& after)
{
    qsizetype at = 0;
    for (const QByteArray& line : before.lines) {
        const auto value = registry::ReadValueLine(line);
        if (value && value->name.compare(kName, Qt::CaseInsensitive) == 0)
            continue;
        while (at < after.lines.size() && after.lines[at] != line)
            ++at;
        if (at++ == after.lines.size())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    // The input as a value's bytes, beside what the file held.
    const QByteArray written = registry::Put(input, kPath, kName, input);
    if (registry::Find(written, kPath, kName) != input)
        Fail("a written value read back otherwise", input, written);
    const Read before = ReadAll(input);
    for (const auto& [path, name] : before.values) {
        if (!IsSet(path, name) && registry::Find(written, path, name) != registry::Find(input, path, name))
            Fail("a value read from the file changed when another was set", input, written);
    }
    if (!KeepsLines(before, ReadAll(written)))
        Fail("a line of the file was lost when a value was set", input, written);
    return 0;
}
