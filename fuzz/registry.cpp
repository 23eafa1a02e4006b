// The settings file as a damaged or hand-edited copy may hold it. Whatever it
// holds, a write must keep every value that was read, byte for byte: the text
// the store writes reads back as the same keys, names and bytes.
#include "platform/registrytext.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool Same(const registry::Store& a, const registry::Store& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k].path != b[k].path || a[k].values.size() != b[k].values.size())
            return false;
        for (std::size_t v = 0; v < a[k].values.size(); ++v)
            if (a[k].values[v].name != b[k].values[v].name || a[k].values[v].bytes != b[k].values[v].bytes)
                return false;
    }
    return true;
}

void CheckWrittenReadsBack(const registry::Store& store, const QByteArray& input, const char* what)
{
    const QByteArray text = registry::Format(store);
    if (!Same(registry::Parse(text), store)) {
        std::fprintf(stderr, "%s\ninput: %s\nwritten: %s\n", what, input.toPercentEncoding().constData(),
                     text.constData());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    registry::Store store = registry::Parse(input);
    CheckWrittenReadsBack(store, input, "a value read from the file changed when written back");
    // The input as a value's bytes, beside what the file held.
    registry::Put(registry::KeyAt(store, QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fuzz")), QStringLiteral("Valor"),
                  input);
    CheckWrittenReadsBack(store, input, "a written value read back otherwise");
    return 0;
}
