#include "netplay/addressecho.h"

#include <QtGlobal>

namespace {
// Dyn's public check page, offered for clients that need their own address:
// "<body>Current IP Address: a.b.c.d</body>".
constexpr char kDefaultEchoURL[] = "http://checkip.dyndns.org/";

// Spaces only, as tabs and line breaks are no padding of the page's address.
QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}
} // namespace

QString AddressEchoURL()
{
    if (qEnvironmentVariableIsSet("MIRVO_ADDRESS_ECHO_URL"))
        return qEnvironmentVariable("MIRVO_ADDRESS_ECHO_URL");
    return QString::fromLatin1(kDefaultEchoURL);
}

QString GetTextBetween(const QString& text, const QString& startMark, const QString& endMark)
{
    const qsizetype start = text.indexOf(startMark, 0, Qt::CaseInsensitive);
    if (start < 0)
        return {};
    const QString rest = text.mid(start + startMark.size());
    const qsizetype end = rest.indexOf(endMark, 0, Qt::CaseInsensitive);
    if (end < 0)
        return {};
    return rest.left(end);
}

QString AddressFromEchoPage(const QString& page)
{
    return trimSpaces(GetTextBetween(page, QStringLiteral("Address:"), QStringLiteral("</")));
}
