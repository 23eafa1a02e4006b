#include "platform/registrytext.h"

#include <QList>

#include <optional>

namespace registry {
namespace {

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
std::optional<QByteArray> Unquote(const QByteArray& line, qsizetype& pos)
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

// A line "name"="bytes" into `key`; anything malformed is skipped.
void ParseValue(const QByteArray& line, Key& key)
{
    qsizetype pos = 0;
    const auto name = Unquote(line, pos);
    if (!name || pos >= line.size() || line[pos] != '=')
        return;
    ++pos;
    const auto bytes = Unquote(line, pos);
    if (bytes && line.mid(pos).trimmed().isEmpty())
        Put(key, QString::fromUtf8(*name), *bytes);
}

} // namespace

QString Folded(const QString& name)
{
    return name.toCaseFolded();
}

Key* FindKey(Store& store, const QString& path)
{
    const auto it = store.places.constFind(Folded(path));
    return it == store.places.cend() ? nullptr : &store.keys[*it];
}

Key& KeyAt(Store& store, const QString& path)
{
    if (Key* key = FindKey(store, path))
        return *key;
    store.places.insert(Folded(path), store.keys.size());
    store.keys.push_back(Key{path, {}, {}});
    return store.keys.back();
}

const Value* FindValue(const Key& key, const QString& name)
{
    const auto it = key.places.constFind(Folded(name));
    return it == key.places.cend() ? nullptr : &key.values[*it];
}

void Put(Key& key, const QString& name, const QByteArray& bytes)
{
    const QString folded = Folded(name);
    if (const auto it = key.places.constFind(folded); it != key.places.cend()) {
        key.values[*it].bytes = bytes;
        return;
    }
    key.places.insert(folded, key.values.size());
    key.values.push_back(Value{name, bytes});
}

Store Parse(const QByteArray& text)
{
    Store store;
    Key* current = nullptr;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[') && line.endsWith(']') && line.size() >= 2)
            current = &KeyAt(store, QString::fromUtf8(line.mid(1, line.size() - 2)));
        else if (line.startsWith('"') && current)
            ParseValue(line, *current);
    }
    return store;
}

QByteArray Format(const Store& store)
{
    QByteArray text = "; Settings. Values are bytes: \\\\, \\\" and \\xHH stand for a backslash,\n"
                      "; a quote and any byte outside printable ASCII.\n";
    for (const Key& key : store.keys) {
        text += "\n[" + key.path.toUtf8() + "]\n";
        for (const Value& value : key.values)
            text += Quote(value.name.toUtf8()) + '=' + Quote(value.bytes) + '\n';
    }
    return text;
}

} // namespace registry
