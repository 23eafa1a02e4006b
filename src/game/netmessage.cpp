#include "game/netmessage.h"

#include "shell/modFunoes.h"

#include <algorithm>

namespace {

struct Keyword {
    const char* text;
    GameMessage::Kind kind;
};

// Free-text messages (a name, a chat line) end only where the next keyword begins.
constexpr Keyword kKeywords[] = {
    {"Nome:", GameMessage::Nome},       {"Dados:", GameMessage::Dados},     {"Iniciar:", GameMessage::Iniciar},
    {"Cartas:", GameMessage::Cartas},   {"Jogar:", GameMessage::Jogar},     {"Descarta:", GameMessage::Descarta},
    {"Correu:", GameMessage::Correu},   {"Vorla:", GameMessage::Vorla},     {"ReageVorla:", GameMessage::ReageVorla},
    {"Manda11:", GameMessage::Manda11}, {"Chat:", GameMessage::Chat},       {"Alerta:", GameMessage::Alerta},
};

// The text received can grow no longer than this without a whole message.
constexpr qsizetype kMaxHeld = 4096;

// The keyword starting at position i, or none.
const Keyword* keywordAt(const QString& s, qsizetype i)
{
    const QStringView rest = QStringView(s).mid(i);
    for (const Keyword& k : kKeywords)
        if (rest.startsWith(QLatin1String(k.text)))
            return &k;
    return nullptr;
}

// The first position at or after from where a keyword starts, -1 for none.
qsizetype nextKeyword(const QString& s, qsizetype from)
{
    for (qsizetype i = from; i < s.size(); ++i)
        if (keywordAt(s, i))
            return i;
    return -1;
}

// The longest end of s that is the start of a keyword without being one.
qsizetype keywordStartAtEnd(const QString& s)
{
    for (qsizetype n = std::min<qsizetype>(s.size(), 11); n > 0; --n) {
        const QStringView tail = QStringView(s).right(n);
        for (const Keyword& k : kKeywords) {
            const QLatin1String word(k.text);
            if (n < word.size() && word.startsWith(tail))
                return n;
        }
    }
    return 0;
}

bool isPrefixOfTruth(QStringView field)
{
    return QLatin1String("True").startsWith(field) || QLatin1String("False").startsWith(field);
}

// Whether the last message received can still grow: only the messages whose
// form is fixed can tell; a free text is whole once its "#" has come.
bool mayGrow(const Keyword& k, const QString& m)
{
    const qsizetype fields = m.count('#');
    const qsizetype afterKeyword = m.size() - qsizetype(qstrlen(k.text));
    switch (k.kind) {
    case GameMessage::Nome:
    case GameMessage::Chat:
        return fields == 0;
    case GameMessage::Jogar:
    case GameMessage::Descarta:
    case GameMessage::ReageVorla:
        return afterKeyword < 2;
    case GameMessage::Cartas:
        return fields < 9;
    case GameMessage::Dados: {
        if (fields < 4)
            return true;
        const QStringView last = QStringView(m).mid(m.lastIndexOf('#') + 1);
        return fields == 4 && isPrefixOfTruth(last) && last != QLatin1String("True") && last != QLatin1String("False");
    }
    default:
        return false;
    }
}

bool isFreeText(GameMessage::Kind kind)
{
    return kind == GameMessage::Nome || kind == GameMessage::Chat;
}

// A decimal number without sign or blank, within lo to hi.
std::optional<int> numberIn(const QString& field, int lo, int hi)
{
    if (field.isEmpty() || field.size() > 3 || !std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return std::nullopt;
    const int n = field.toInt();
    if (n < lo || n > hi)
        return std::nullopt;
    return n;
}

std::optional<bool> truthValue(const QString& field)
{
    if (field.compare("True", Qt::CaseInsensitive) == 0)
        return true;
    if (field.compare("False", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace

std::vector<QString> TakeMessages(QString& received)
{
    std::vector<QString> messages;
    const qsizetype first = nextKeyword(received, 0);
    if (first < 0) {
        received = received.right(keywordStartAtEnd(received));
        return messages;
    }
    received.remove(0, first); // text before any keyword belongs to no message
    for (;;) {
        const Keyword& k = *keywordAt(received, 0);
        const qsizetype next = nextKeyword(received, qsizetype(qstrlen(k.text)));
        if (next > 0) {
            messages.push_back(received.left(next));
            received.remove(0, next);
            continue;
        }
        // The last one: a fixed form ends before a keyword's first letters.
        const qsizetype held = isFreeText(k.kind) ? 0 : keywordStartAtEnd(received);
        const QString message = received.left(received.size() - held);
        if (!mayGrow(k, message)) {
            messages.push_back(message);
            received.remove(0, message.size());
        }
        break;
    }
    if (received.size() > kMaxHeld)
        received.clear();
    return messages;
}

GameMessage ReadMessage(QString message)
{
    GameMessage m;
    const QString keyword = GetField(message, 1, "#");
    const auto known = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                     [&](const Keyword& k) { return keyword == QLatin1String(k.text); });
    if (known == std::end(kKeywords))
        return m;
    const auto field = [&](int n) { return GetField(message, n, "#"); };
    switch (known->kind) {
    case GameMessage::Nome:
    case GameMessage::Chat:
        m.text = field(2);
        break;
    case GameMessage::Dados:
        m.text = field(2);
        for (int i = 0; i < 3; ++i)
            m.options[i] = truthValue(field(3 + i));
        break;
    case GameMessage::Cartas:
        for (int i = 0; i < 7; ++i) {
            const auto card = numberIn(field(3 + i), 1, 40);
            if (!card || std::count(m.cards.begin(), m.cards.begin() + i, *card) != 0)
                return GameMessage{};
            m.cards[i] = static_cast<std::uint8_t>(*card);
        }
        break;
    case GameMessage::Jogar:
    case GameMessage::Descarta:
    case GameMessage::ReageVorla: {
        const auto n = numberIn(field(2), 1, 3);
        if (!n)
            return GameMessage{};
        m.number = static_cast<std::uint8_t>(*n);
        break;
    }
    default:
        break;
    }
    m.kind = known->kind;
    return m;
}

QString WireBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
