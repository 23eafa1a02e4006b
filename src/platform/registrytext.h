#pragma once
// The settings store as its file holds it: sections that name a key, each
// followed by lines "name"="bytes". The text is the store: a value is read
// where it stands, and set by changing its own line or adding one, so that all
// else a person's editor left there (comments, lines the reader does not take,
// blanks, line ends, a byte-order mark) is written back as it was. Reading
// costs one pass over the text and no more memory than a line's worth.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace registry {

// A line "name"="bytes", blanks allowed around it and around the "=".
struct ValueLine {
    QString name;
    QByteArray bytes;
    qsizetype quotedFrom; // where the quoted bytes begin in the line
    qsizetype quotedTo;   // and where they end, past the closing quote
};

// Calls `visit` with each line of `text`, without its end ("\n" or "\r\n")
// and, for the first, without a UTF-8 byte-order mark, and with the place in
// `text` just past the line's end.
void ForEachLine(QByteArrayView text, const std::function<void(QByteArrayView line, qsizetype next)>& visit);

// The path of the key that a section line "[path]" names, in UTF-8, blanks
// allowed around the line; nothing for any other line.
std::optional<QByteArrayView> SectionPath(QByteArrayView line);

// The value that a line holds; nothing for any other line.
std::optional<ValueLine> ReadValueLine(QByteArrayView line);

// The bytes of the value `name` of the key at `path`; nothing when missing.
// Paths and names compare without regard to letter case, and of two lines
// that give the same value the later one counts.
std::optional<QByteArray> Find(QByteArrayView text, const QString& path, const QString& name);

// `text` with the value set: its bytes replaced in the line that gives them,
// else a line added after the key's last value, else a section added at the end.
QByteArray Put(QByteArrayView text, const QString& path, const QString& name, const QByteArray& bytes);

} // namespace registry
