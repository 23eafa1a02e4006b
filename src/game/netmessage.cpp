#include "game/netmessage.h"

#include "shell/modFunoes.h"

#include <QStringList>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

struct Keyword {
    const char* text;
    GameMessage::Kind kind;
};

constexpr Keyword kKeywords[] = {
    {"Nome:", GameMessage::Nome},       {"Dados:", GameMessage::Dados},     {"Iniciar:", GameMessage::Iniciar},
    {"Cartas:", GameMessage::Cartas},   {"Jogar:", GameMessage::Jogar},     {"Descarta:", GameMessage::Descarta},
    {"Correu:", GameMessage::Correu},   {"Vorla:", GameMessage::Vorla},     {"ReageVorla:", GameMessage::ReageVorla},
    {"Manda11:", GameMessage::Manda11}, {"Chat:", GameMessage::Chat},       {"Alerta:", GameMessage::Alerta},
};
constexpr qsizetype kLongestKeyword = 11;

// The received text can grow no longer than this without a whole message.
constexpr qsizetype kMaxHeld = 4096;

qsizetype length(const Keyword& k)
{
    return qsizetype(qstrlen(k.text));
}

// The letters keywords begin with: most text is passed over on its first letter.
constexpr QStringView kFirstLetters = u"NDICJVRMA";

// The keyword starting at position i, or none.
const Keyword* keywordAt(const QString& s, qsizetype i)
{
    if (i >= s.size() || !kFirstLetters.contains(s[i]))
        return nullptr;
    const QStringView rest = QStringView(s).mid(i);
    for (const Keyword& k : kKeywords)
        if (rest.startsWith(QLatin1String(k.text)))
            return &k;
    return nullptr;
}

// Whether the text from i to its end is the start of a keyword and no more.
bool keywordStartAt(const QString& s, qsizetype i)
{
    const QStringView rest = QStringView(s).mid(i);
    if (rest.isEmpty() || rest.size() >= kLongestKeyword)
        return false;
    return std::any_of(std::begin(kKeywords), std::end(kKeywords), [&](const Keyword& k) {
        return rest.size() < length(k) && QLatin1String(k.text).startsWith(rest);
    });
}

// The first position at or after from where a keyword starts, -1 for none.
qsizetype nextKeyword(const QString& s, qsizetype from)
{
    for (qsizetype i = from; i < s.size(); ++i)
        if (keywordAt(s, i))
            return i;
    return -1;
}

// The length of the end of s that is the start of a keyword and no more.
qsizetype keywordStartAtEnd(const QString& s)
{
    for (qsizetype n = std::min(s.size(), kLongestKeyword - 1); n > 0; --n)
        if (keywordStartAt(s, s.size() - n))
            return n;
    return 0;
}

bool isFreeText(GameMessage::Kind kind)
{
    return kind == GameMessage::Nome || kind == GameMessage::Chat;
}

// Whether a message of that kind sends its line, name or rules after a "#"
// right behind its keyword: without one, the keyword is typed text.
bool textAfterHash(GameMessage::Kind kind)
{
    return isFreeText(kind) || kind == GameMessage::Dados;
}

bool hasSlot(GameMessage::Kind kind)
{
    return kind == GameMessage::Jogar || kind == GameMessage::Descarta || kind == GameMessage::ReageVorla;
}

constexpr qsizetype kRanOut = -2;
constexpr qsizetype kMalformed = -1;

// Reads the seven cards of "Cartas:" exactly as sent ("##" then each card and
// "#") from j: where they end, kRanOut when the text ends in a start of them, or
// kMalformed.
qsizetype cardsEnd(const QString& s, qsizetype j)
{
    const qsizetype n = s.size();
    for (int i = 0; i < 2; ++i, ++j) {
        if (j == n)
            return kRanOut;
        if (s[j] != '#')
            return kMalformed;
    }
    for (int card = 0; card < 7; ++card) {
        qsizetype d = j;
        while (d < n && d - j < 2 && s[d] >= '0' && s[d] <= '9')
            ++d;
        const int value = s.mid(j, d - j).toInt();
        const bool fits = d == j || (s[j] != '0' && value <= 40);
        if (!fits)
            return kMalformed;
        if (d == n)
            return kRanOut;
        if (d == j || s[d] != '#')
            return kMalformed;
        j = d + 1;
    }
    return j;
}

// Where the three options of "Dados:" ("#True#False#True") begin, for a text
// that ends at e with them; -1 when it does not.
qsizetype optionsStart(const QString& s, qsizetype e)
{
    for (int i = 0; i < 3; ++i) {
        const QStringView before = QStringView(s).left(e);
        if (before.endsWith(QLatin1String("#True")))
            e -= 5;
        else if (before.endsWith(QLatin1String("#False")))
            e -= 6;
        else
            return -1;
    }
    return e;
}

// Whether a message of that kind carries a name or a line that runs to where
// the next message begins: a chat line always, a name or the host's rules only
// where this copy waits for them.
bool named(GameMessage::Kind kind, GameMessage::Kind expected)
{
    return kind == GameMessage::Chat || (kind == expected && (kind == GameMessage::Nome || kind == GameMessage::Dados));
}

// The received text read from its end: at every position, whether the text from
// there on reads as exactly-formed messages, the last of which may still be
// arriving; and, while this copy waits for the host's rules, where the host's
// name of a "Dados:" may end.
class Stream {
public:
    Stream(const QString& s, GameMessage::Kind expected)
        : s_(s), expected_(expected), formed_(std::size_t(s.size()) + 1, false)
    {
        if (expected == GameMessage::Dados)
            dadosEndFrom_.assign(std::size_t(s.size()) + 2, kNoEnd);
        for (qsizetype i = s.size(); i >= 0; --i) {
            formed_[std::size_t(i)] = formedAt(i);
            if (!dadosEndFrom_.empty())
                noteDadosEnd(i);
        }
    }

    bool Formed(qsizetype i) const { return formed_[std::size_t(i)]; }
    GameMessage::Kind Expected() const { return expected_; }

    // Where a chat line or name whose text starts at t ends: before the first
    // keyword after some text from which on all reads as messages, or at the end.
    qsizetype FreeTextEnd(qsizetype t) const
    {
        for (qsizetype k = t + 1; k < s_.size(); ++k)
            if (boundary(k))
                return k;
        return s_.size();
    }

    // Where the "Dados:" whose name starts at t ends, -1 while it may still grow.
    qsizetype DadosEnd(qsizetype t) const
    {
        const qsizetype end = dadosEndFrom_.empty() ? kNoEnd : dadosEndFrom_[std::size_t(t)];
        return end == kNoEnd ? -1 : end;
    }

private:
    static constexpr qsizetype kNoEnd = std::numeric_limits<qsizetype>::max();

    // A message may begin at k, and all from k on reads as messages.
    bool boundary(qsizetype k) const
    {
        return k == s_.size() || ((keywordAt(s_, k) || keywordStartAt(s_, k)) && Formed(k));
    }

    // Keeps, for every position t, the first place from t on where the three
    // options of a "Dados:" end at a boundary: a "Dados:" whose name starts at t
    // ends there. Entries for t come from places after t, so they are all in by
    // the time the scan from the end reaches t.
    void noteDadosEnd(qsizetype i)
    {
        const qsizetype options = optionsStart(s_, i);
        if (options >= 0 && boundary(i))
            dadosEndFrom_[std::size_t(options)] = std::min(dadosEndFrom_[std::size_t(options)], i);
        dadosEndFrom_[std::size_t(i)] = std::min(dadosEndFrom_[std::size_t(i)], dadosEndFrom_[std::size_t(i) + 1]);
    }

    bool formedAt(qsizetype i) const
    {
        const qsizetype n = s_.size();
        if (i == n || keywordStartAt(s_, i))
            return true;
        const Keyword* k = keywordAt(s_, i);
        if (!k)
            return false;
        const qsizetype j = i + length(*k);
        if (j == n)
            return true;
        // A name or rules this copy does not wait for runs to the next keyword;
        // without the "#" behind its keyword it is typed text.
        if ((k->kind == GameMessage::Nome || k->kind == GameMessage::Dados) && !named(k->kind, expected_)) {
            if (s_[j] != '#')
                return false;
            const qsizetype next = nextKeyword(s_, j);
            return next < 0 || Formed(next);
        }
        switch (k->kind) {
        case GameMessage::Cartas: {
            const qsizetype end = cardsEnd(s_, j);
            return end == kRanOut || (end >= 0 && Formed(end));
        }
        case GameMessage::Nome:
        case GameMessage::Chat:
            return s_[j] == '#';
        case GameMessage::Dados:
            // Whole, or still arriving: no keyword after it tells yet that it was text.
            return s_[j] == '#' && (j + 1 == n || DadosEnd(j + 1) >= 0 || nextKeyword(s_, j + 1) < 0);
        default:
            break;
        }
        if (!hasSlot(k->kind))
            return Formed(j);
        if (s_[j] != '#')
            return false;
        if (j + 1 == n)
            return true;
        return s_[j + 1] >= '1' && s_[j + 1] <= '3' && Formed(j + 2);
    }

    const QString& s_;
    GameMessage::Kind expected_;
    std::vector<bool> formed_;
    std::vector<qsizetype> dadosEndFrom_; // kept only while the host's rules are awaited
};

// Whether a message of fixed form taken whole so far can still grow.
bool mayGrow(const Keyword& k, const QString& m)
{
    if (hasSlot(k.kind))
        return m.size() - length(k) < 2;
    return k.kind == GameMessage::Cartas && m.count('#') < 9;
}

// Where a message of fixed form that starts at i ends: at the next keyword, or
// at the end less a keyword's first letters; -1 while it may still grow.
qsizetype fixedEnd(const QString& s, const Keyword& k, qsizetype i)
{
    const qsizetype next = nextKeyword(s, i + length(k));
    if (next > 0)
        return next;
    const qsizetype end = s.size() - keywordStartAtEnd(s);
    return mayGrow(k, s.mid(i, end - i)) ? -1 : end;
}

// Where the message that starts at i ends; -1 while it may still grow.
qsizetype messageEnd(const Stream& stream, const QString& s, const Keyword& k, qsizetype i)
{
    const qsizetype j = i + length(k);
    // Held until the next character tells a message from the keyword typed in a line.
    if (j == s.size() && textAfterHash(k.kind))
        return -1;
    if (!named(k.kind, stream.Expected()))
        return fixedEnd(s, k, i);
    if (s[j] == '#' && j + 1 == s.size())
        return -1;
    if (s[j] != '#')
        return fixedEnd(s, k, i);
    return k.kind == GameMessage::Dados ? stream.DadosEnd(j + 1) : stream.FreeTextEnd(j + 1);
}

// A decimal number without sign or blank, within lo to hi.
std::optional<int> numberIn(const QString& field, int lo, int hi)
{
    if (field.isEmpty() || field.size() > 3 ||
        !std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
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

// The host's name and options: the options are the last three fields, so that
// the name before them may hold "#".
void readDados(const QString& message, GameMessage& m)
{
    const QStringList fields = message.split('#');
    const qsizetype options = std::max<qsizetype>(fields.size() - 3, 2);
    m.text = fields.mid(1, options - 1).join('#');
    for (int i = 0; i < 3; ++i)
        m.options[std::size_t(i)] = truthValue(fields.value(options + i));
}

} // namespace

std::vector<GameMessage> MessageReader::Take(const QString& read)
{
    const QString s = held_ + read;
    held_.clear();
    std::optional<Stream> stream(std::in_place, s, expected_);
    std::vector<GameMessage> messages;
    qsizetype at = 0;
    if (open_ != GameMessage::Unknown && !stream->Formed(0)) {
        at = stream->FreeTextEnd(0);
        const GameMessage rest = continuation(QStringView(s).left(at));
        if (!rest.text.isEmpty())
            messages.push_back(rest);
    }
    while (at < s.size()) {
        const Keyword* k = keywordAt(s, at);
        if (!k) {
            if (keywordStartAt(s, at))
                break;
            ++at; // text before any keyword belongs to no message
            continue;
        }
        const qsizetype end = messageEnd(*stream, s, *k, at);
        if (end < 0)
            break;
        const QString text = s.mid(at, end - at);
        GameMessage m = ReadMessage(text);
        // The name or the rules this copy waits for are taken once; any other changes nothing.
        if ((m.kind == GameMessage::Nome || m.kind == GameMessage::Dados) && m.kind != expected_)
            m = GameMessage{};
        else if (m.kind != GameMessage::Unknown && m.kind == expected_) {
            // Read anew once, now that no name or rules are awaited: a second
            // one later in this read ends at the next keyword like the others.
            expected_ = GameMessage::Unknown;
            stream.emplace(s, expected_);
        }
        m.text.truncate(kMaxText);
        // Free text may go on in the next read until a message after it is whole.
        open_ = GameMessage::Unknown;
        if (isFreeText(m.kind))
            openText(m, text);
        if (m.kind != GameMessage::Unknown)
            messages.push_back(m);
        at = end;
    }
    held_ = s.mid(at);
    if (held_.size() > kMaxHeld)
        held_.clear();
    return messages;
}

// A line or a name begins, shown up to its first "#" and its bound.
void MessageReader::openText(const GameMessage& m, const QString& text)
{
    open_ = m.kind;
    openLength_ = m.text.size();
    openShown_ = text.count('#') == 1 && openLength_ < kMaxText;
}

// The rest of the open line or name that came in this read, as far as it is shown.
GameMessage MessageReader::continuation(QStringView text)
{
    GameMessage rest;
    rest.kind = open_;
    rest.continued = true;
    if (!openShown_)
        return rest;
    const qsizetype hash = text.indexOf(u'#');
    rest.text = text.left(std::min(hash < 0 ? text.size() : hash, kMaxText - openLength_)).toString();
    openLength_ += rest.text.size();
    openShown_ = hash < 0 && openLength_ < kMaxText;
    return rest;
}

void MessageReader::Clear()
{
    held_.clear();
    expected_ = open_ = GameMessage::Unknown;
}

GameMessage ReadMessage(QString message)
{
    GameMessage m;
    const QString whole = message;
    const QString keyword = GetField(message, 1, "#");
    const auto known = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                     [&](const Keyword& k) { return keyword == QLatin1String(k.text); });
    if (known == std::end(kKeywords))
        return m;
    const auto field = [&](int n) { return GetField(message, n, "#"); };
    // A name or a line is sent after a "#"; without one the message is not whole.
    if (textAfterHash(known->kind) && !whole.startsWith(QLatin1String(known->text) + u'#'))
        return m;
    switch (known->kind) {
    case GameMessage::Nome:
    case GameMessage::Chat:
        m.text = field(2);
        break;
    case GameMessage::Dados:
        readDados(whole, m);
        break;
    case GameMessage::Cartas:
        for (int i = 0; i < 7; ++i) {
            const auto card = numberIn(field(3 + i), 1, 40);
            if (!card || std::count(m.cards.begin(), m.cards.begin() + i, *card) != 0)
                return GameMessage{};
            m.cards[std::size_t(i)] = static_cast<std::uint8_t>(*card);
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
