// Field cutting and Windows-1252 text, as received text meets them: any bytes
// survive a round trip through text, text the code page cannot hold becomes
// "?" one for one, and the fields GetField cuts are the text's own fields.
#include "platform/ansi.h"
#include "shell/modFunoes.h"

#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "%s\ntext: %s\n", what, text.toUtf8().constData());
    std::abort();
}

void CheckCodePage(const QByteArray& bytes)
{
    const QString text = ansi::ToUnicode(bytes);
    if (text.size() != bytes.size() || ansi::FromUnicode(text) != bytes)
        Fail("bytes changed on their way through text", text);
    // The same input read as UTF-16: every character stays or becomes "?".
    const QString wide(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    const QString back = ansi::ToUnicode(ansi::FromUnicode(wide));
    if (back.size() != wide.size())
        Fail("a character took more or less than one byte", wide);
    for (qsizetype i = 0; i < wide.size(); ++i)
        if (back[i] != wide[i] && back[i] != u'?')
            Fail("a character became another one", wide);
}

void CheckFields(QString text, const QString& separator)
{
    const QString given = text;
    GetField(text, 1, separator);
    QString expected = given;
    if (!expected.startsWith(separator))
        expected.prepend(separator);
    if (!expected.endsWith(separator))
        expected.append(separator);
    if (text != expected)
        Fail("the text was not closed by separators", given);
    // Qt's split cuts at the same places, from the left; the last piece has no
    // separator after it.
    const QStringList pieces = text.split(separator);
    for (int n = -1; n <= pieces.size() + 1; ++n) {
        const QString field = GetField(text, n, separator);
        const bool inside = n >= 1 && n <= pieces.size() - 2;
        if (field != (inside ? pieces[n] : QString()))
            Fail(qPrintable(QStringLiteral("field %1 is not the text's own").arg(n)), given);
    }
    if (text != expected)
        Fail("reading a field changed the text", given);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckCodePage(bytes);
    if (size < 1)
        return 0;
    // The first byte picks the separator: "#" as the game uses, or the next one to three characters.
    const QString rest = ansi::ToUnicode(bytes.mid(1));
    const int length = data[0] % 4;
    if (length == 0)
        CheckFields(rest, QStringLiteral("#"));
    else if (rest.size() > length)
        CheckFields(rest.mid(length), rest.left(length));
    return 0;
}
