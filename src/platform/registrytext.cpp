#include "platform/registrytext.h"

namespace registry {
namespace {

// What a new store file begins with.
constexpr char kHeader[] = "; Settings. Values are bytes: \\\\, \\\" and \\xHH stand for a backslash,\n"
                           "; a quote and any byte outside printable ASCII.\n";

QByteArray Quote(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out = "\"";
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '\\' || ch == '"') {
            out += '\\';
            out += ch;
        } else if (b >= 0x20 && b < 0x7F) {
            out += ch;
        } else {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 0xF];
        }
    }
    return out + '"';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The quoted text that starts at `pos`; `pos` ends past its closing quote.
std::optional<QByteArray> Unquote(QByteArrayView line, qsizetype& pos)
{
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    QByteArray out;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        if (line[pos] == '\\' || line[pos] == '"') {
            out += line[pos];
        } else if (line[pos] == 'x' && pos + 2 < line.size()
                   && HexDigit(line[pos + 1]) >= 0 && HexDigit(line[pos + 2]) >= 0) {
            out += static_cast<char>(HexDigit(line[pos + 1]) * 16 + HexDigit(line[pos + 2]));
            pos += 2;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

qsizetype SkipBlanks(QByteArrayView line, qsizetype pos)
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
    return pos;
}

bool SameName(QAnyStringView a, QAnyStringView b)
{
    return QAnyStringView::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Where a value stands in a store's text, and where a line for it would go.
struct Place {
    std::optional<QByteArray> bytes;
    qsizetype quotedFrom = -1; // its quoted bytes, in the text
    qsizetype quotedTo = -1;
    qsizetype after = -1; // past the last value line of the key's last section, or its section line
};

Place Locate(QByteArrayView text, const QString& path, const QString& name)
{
    Place place;
    bool inKey = false;
    ForEachLine(text, [&](QByteArrayView line, qsizetype next) {
        if (const auto section = SectionPath(line)) {
            inKey = SameName(QUtf8StringView(*section), path);
            if (inKey)
                place.after = next;
            return;
        }
        if (!inKey)
            return;
        const auto value = ReadValueLine(line);
        if (!value)
            return;
        place.after = next;
        if (SameName(value->name, name)) {
            const qsizetype at = line.data() - text.data();
            place = Place{value->bytes, at + value->quotedFrom, at + value->quotedTo, next};
        }
    });
    return place;
}

// `text` with `bytes` in place of what stands from `from` to `to`.
QByteArray Spliced(QByteArrayView text, qsizetype from, qsizetype to, QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(text.size() - (to - from) + bytes.size());
    out.append(text.first(from)).append(bytes).append(text.sliced(to));
    return out;
}

// `lines` put into `text` at `at`, where a line begins or the text ends; after
// a last line that has no end, one goes before them.
QByteArray Inserted(QByteArrayView text, qsizetype at, QByteArray lines)
{
    if (at > 0 && text[at - 1] != '\n')
        lines.prepend('\n');
    return Spliced(text, at, at, lines);
}

} // namespace

void ForEachLine(QByteArrayView text, const std::function<void(QByteArrayView line, qsizetype next)>& visit)
{
    constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    qsizetype from = text.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    while (from < text.size()) {
        const qsizetype newline = text.indexOf('\n', from);
        const qsizetype end = newline < 0 ? text.size() : newline;
        QByteArrayView line = text.sliced(from, end - from);
        if (line.endsWith('\r'))
            line.chop(1);
        from = newline < 0 ? text.size() : newline + 1;
        visit(line, from);
    }
}

std::optional<QByteArrayView> SectionPath(QByteArrayView line)
{
    const QByteArrayView held = line.trimmed();
    if (held.size() < 2 || !held.startsWith('[') || !held.endsWith(']'))
        return std::nullopt;
    return held.sliced(1, held.size() - 2);
}

std::optional<ValueLine> ReadValueLine(QByteArrayView line)
{
    const QByteArrayView held = line.trimmed();
    qsizetype pos = 0;
    const auto name = Unquote(held, pos);
    if (!name)
        return std::nullopt;
    pos = SkipBlanks(held, pos);
    if (pos >= held.size() || held[pos] != '=')
        return std::nullopt;
    const qsizetype quotedFrom = SkipBlanks(held, pos + 1);
    pos = quotedFrom;
    const auto bytes = Unquote(held, pos);
    if (!bytes || pos != held.size())
        return std::nullopt;
    const qsizetype offset = held.data() - line.data();
    return ValueLine{QString::fromUtf8(*name), *bytes, offset + quotedFrom, offset + pos};
}

std::optional<QByteArray> Find(QByteArrayView text, const QString& path, const QString& name)
{
    return Locate(text, path, name).bytes;
}

QByteArray Put(QByteArrayView text, const QString& path, const QString& name, const QByteArray& bytes)
{
    const Place place = Locate(text, path, name);
    if (place.bytes)
        return Spliced(text, place.quotedFrom, place.quotedTo, Quote(bytes));
    const QByteArray line = Quote(name.toUtf8()) + '=' + Quote(bytes) + '\n';
    if (place.after >= 0)
        return Inserted(text, place.after, line);
    const QByteArray section = "\n[" + path.toUtf8() + "]\n" + line;
    return Inserted(text, text.size(), text.isEmpty() ? kHeader + section : section);
}

} // namespace registry
