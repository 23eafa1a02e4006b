// The peer's stream as the game reads it, waiting for the peer's name or for
// the host's rules. Whatever arrives, the reader holds no more than its bound
// and applies only messages that stand exactly formed, in order, in what was
// received, and at most one name or rules message. A stream of messages as a
// peer writes them (lines and names holding any text) gives the same messages
// however it is cut into reads.
#include "game/netmessage.h"
#include "platform/ansi.h"

#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

constexpr qsizetype kMaxHeld = 4096;
constexpr const char* kKeywords[] = {"",       "Nome:",  "Dados:",      "Iniciar:", "Cartas:", "Jogar:", "Descarta:",
                                     "Correu:", "Vorla:", "ReageVorla:", "Manda11:", "Chat:",   "Alerta:"};

// Control characters shown as \xHH, so that a report prints whole.
QString Shown(const QString& text)
{
    QString shown;
    for (QChar c : text)
        shown += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return shown;
}

void Fail(const QString& what, const QString& stream)
{
    std::fprintf(stderr, "%s\nstream: %s\n", Shown(what).toUtf8().constData(), Shown(stream).toUtf8().constData());
    std::abort();
}

QString Describe(const GameMessage& m)
{
    QString d = QString::number(m.kind) + '|' + m.text + '|' + QString::number(m.number);
    for (auto card : m.cards)
        d += ',' + QString::number(card);
    for (const auto& option : m.options)
        d += option ? (*option ? "T" : "F") : "-";
    return d;
}

// The messages of the reads in turn; a rest of a line that came in a later
// read is joined to the line, as the chat history shows it.
QStringList Feed(const QStringList& reads, const QString& stream, GameMessage::Kind expected)
{
    MessageReader reader;
    reader.Expect(expected);
    std::vector<GameMessage> taken;
    for (const QString& read : reads) {
        for (const GameMessage& m : reader.Take(read)) {
            if (m.kind == GameMessage::Unknown)
                Fail("a message that reads as nothing was applied", stream);
            if ((m.kind == GameMessage::Nome || m.kind == GameMessage::Dados) && !m.continued &&
                std::exchange(expected, GameMessage::Unknown) != m.kind)
                Fail("a name or rules message out of its place was applied", stream);
            if (m.continued && !taken.empty())
                taken.back().text += m.text;
            else
                taken.push_back(m);
            if (taken.back().kind != GameMessage::Dados && taken.back().text.size() > MessageReader::kMaxText)
                Fail("a line or name goes past its bound", stream);
        }
        if (reader.Held().size() > kMaxHeld)
            Fail("the reader holds more than its bound", stream);
    }
    QStringList out;
    for (const GameMessage& m : taken)
        out << Describe(m);
    return out;
}

// The message as the peer writes it.
QString Wire(const GameMessage& m)
{
    QString w = kKeywords[m.kind];
    switch (m.kind) {
    case GameMessage::Nome:
    case GameMessage::Chat:
        return w + '#' + m.text;
    case GameMessage::Dados:
        w += '#' + m.text;
        for (const auto& option : m.options)
            w += '#' + (option ? WireBool(*option) : QStringLiteral("?"));
        return w;
    case GameMessage::Cartas:
        w += '#';
        for (auto card : m.cards)
            w += '#' + QString::number(card);
        return w + '#';
    case GameMessage::Jogar:
    case GameMessage::Descarta:
    case GameMessage::ReageVorla:
        return w + '#' + QString::number(m.number);
    default:
        return w;
    }
}

void CheckFields(const GameMessage& m, const QString& stream)
{
    switch (m.kind) {
    case GameMessage::Nome:
    case GameMessage::Chat:
        if (m.text.contains('#'))
            Fail("a line or name holds a field separator", stream);
        break;
    case GameMessage::Cartas:
        for (std::size_t i = 0; i < m.cards.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (m.cards[i] == m.cards[j])
                    Fail("a card was dealt twice", stream);
        for (auto card : m.cards)
            if (card < 1 || card > 40)
                Fail("a card out of the deck", stream);
        break;
    case GameMessage::Jogar:
    case GameMessage::Descarta:
    case GameMessage::ReageVorla:
        if (m.number < 1 || m.number > 3)
            Fail("a slot out of range", stream);
        break;
    default:
        break;
    }
}

// Every message taken from the whole stream stands after the one before it:
// a name or a line exactly as the peer writes it, numbers (read leniently: a
// leading zero, fields after the last) after their keyword and in range.
void CheckFormedInOrder(const QString& stream, GameMessage::Kind expected)
{
    MessageReader reader;
    reader.Expect(expected);
    qsizetype at = 0;
    for (const GameMessage& m : reader.Take(stream)) {
        if (m.continued)
            Fail("a fresh reader continued a line", stream);
        CheckFields(m, stream);
        const bool numbers = m.kind == GameMessage::Cartas || m.kind == GameMessage::Jogar ||
                             m.kind == GameMessage::Descarta || m.kind == GameMessage::ReageVorla;
        const QString wire = numbers ? QString(kKeywords[m.kind]) + '#' : Wire(m);
        const qsizetype found = stream.indexOf(wire, at);
        if (found < 0)
            Fail("not found as received, or out of order: " + wire, stream);
        at = found + wire.size();
    }
}

// A stream of messages as a peer writes them, and whether it may be cut into
// reads anywhere: not when typed text holds a colon or a "#", as there the wire
// cannot tell a line holding a keyword or a name holding options from a line or
// a name and a message, and the reading depends on where a read ends.
struct PeerStream {
    QString text;
    bool cutAnywhere = true;
};

// The input's lines as messages: the first character of a line picks the kind,
// the rest gives its text or numbers.
PeerStream Written(const QString& input)
{
    PeerStream stream;
    for (const QString& line : input.split('\n')) {
        if (line.isEmpty())
            continue;
        GameMessage m;
        m.kind = GameMessage::Kind(line[0].unicode() % GameMessage::Alerta + 1);
        const QString rest = line.mid(1);
        m.text = rest;
        m.number = std::uint8_t(rest.isEmpty() ? 1 : rest[0].unicode() % 3 + 1);
        for (std::size_t i = 0; i < m.options.size(); ++i)
            m.options[i] = (line[0].unicode() >> (4 + i) & 1) != 0;
        std::vector<std::uint8_t> deck(40);
        for (std::size_t c = 0; c < deck.size(); ++c)
            deck[c] = std::uint8_t(c + 1);
        for (std::size_t i = 0; i < m.cards.size(); ++i) {
            const std::size_t pick = i + (qsizetype(i) < rest.size() ? rest[i].unicode() : 0) % (deck.size() - i);
            std::swap(deck[i], deck[pick]);
            m.cards[i] = deck[i];
        }
        const bool typedLine = m.kind == GameMessage::Nome || m.kind == GameMessage::Chat;
        if ((typedLine || m.kind == GameMessage::Dados) && (rest.contains(':') || rest.contains('#')))
            stream.cutAnywhere = false;
        if (typedLine && rest.isEmpty()) // an empty line reads on into the message after it
            stream.cutAnywhere = false;
        stream.text += Wire(m);
    }
    return stream;
}

// The text cut at two places, picked by the bytes.
QStringList Cut(const QString& text, std::uint8_t a, std::uint8_t b)
{
    const qsizetype first = a * (text.size() + 1) / 256;
    const qsizetype second = first + b * (text.size() - first + 1) / 256;
    return {text.left(first), text.mid(first, second - first), text.mid(second)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QString input = ansi::ToUnicode(QByteArray(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2)));
    if (input.size() > kMaxHeld / 4) // the peer's stream stays within the held bound
        return 0;
    const GameMessage::Kind expected = (data[0] ^ data[1]) & 1 ? GameMessage::Nome : GameMessage::Dados;
    CheckFormedInOrder(input, expected);
    Feed(Cut(input, data[0], data[1]), input, expected);

    const PeerStream stream = Written(input);
    if (!stream.cutAnywhere || stream.text.size() > kMaxHeld)
        return 0;
    const QStringList reads = Cut(stream.text, data[0], data[1]);
    const QStringList whole = Feed({stream.text}, stream.text, expected);
    const QStringList cut = Feed(reads, stream.text, expected);
    if (cut != whole)
        Fail("cutting the stream into reads changed its messages\nreads: " + reads.join(" | ") +
                 "\nwhole: " + whole.join(" / ") + "\ncut: " + cut.join(" / "),
             stream.text);
    return 0;
}
