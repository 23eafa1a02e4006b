// The address-echo page as a server may send it: whatever it holds, the
// address read from it is a piece of the page after "Address:", with no space
// round it and no tag in it.
#include "netplay/addressecho.h"
#include "platform/ansi.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Fail(const char* what, const QString& page)
{
    std::fprintf(stderr, "%s\npage: %s\n", what, page.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString page = ansi::ToUnicode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QString address = AddressFromEchoPage(page);
    if (address.startsWith(u' ') || address.endsWith(u' '))
        Fail("spaces round the address", page);
    if (address.contains(QStringLiteral("</"), Qt::CaseInsensitive))
        Fail("a closing tag inside the address", page);
    const qsizetype mark = page.indexOf(QStringLiteral("Address:"), 0, Qt::CaseInsensitive);
    if (!address.isEmpty() && (mark < 0 || page.indexOf(address, mark + 8) < 0))
        Fail("an address that is not on the page after its mark", page);
    return 0;
}
