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
    if (a.keys.size() != b.keys.size())
        return false;
    for (std::size_t k = 0; k < a.keys.size(); ++k) {
        const registry::Key& x = a.keys[k];
        const registry::Key& y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size())
            return false;
        for (std::size_t v = 0; v < x.values.size(); ++v)
            if (x.values[v].name != y.values[v].name || x.values[v].bytes != y.values[v].bytes)
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
