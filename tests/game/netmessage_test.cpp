// Cutting the peer's messages out of the received stream, and reading their fields.
#include "game/netmessage.h"
#include "support/qtprint.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <random>

namespace {

// What a message applies, in short: the keyword's name and its fields.
QString describe(const GameMessage& m)
{
    static const char* const names[] = {"?",      "Nome",  "Dados",      "Iniciar", "Cartas", "Jogar", "Descarta",
                                        "Correu", "Vorla", "ReageVorla", "Manda11", "Chat",   "Alerta"};
    QString d = names[m.kind];
    if (!m.text.isEmpty())
        d += " " + m.text;
    if (m.number)
        d += " " + QString::number(m.number);
    if (m.kind == GameMessage::Cartas)
        d += " " + QString::number(m.cards[0]) + ".." + QString::number(m.cards[6]);
    for (const auto& option : m.options)
        if (option)
            d += *option ? " T" : " F";
    return d;
}

// Feeds the reads one after another, as the socket delivers them, to a reader
// that waits for the name or rules given; a line's rest that came in a later
// read is joined to it, as the history shows it. `held` gets the longest text
// held after a read.
QStringList feed(const QStringList& reads, QString* held = nullptr, GameMessage::Kind expected = GameMessage::Dados)
{
    MessageReader reader;
    reader.Expect(expected);
    QStringList out;
    if (held)
        held->clear();
    for (const QString& read : reads) {
        for (const GameMessage& m : reader.Take(read)) {
            if (m.continued && !out.isEmpty())
                out.last() += m.text;
            else
                out << describe(m);
        }
        if (held && reader.Held().size() >= held->size())
            *held = reader.Held();
    }
    return out;
}

struct Case {
    QStringList reads;
    QStringList applied;
    GameMessage::Kind expected = GameMessage::Dados; // as the guest's reader at the start
};

TEST(MessageCutting, TypedTextStaysTextAndRealMessagesAreEachTakenOnce)
{
    const Case cases[] = {
        // Joined real messages, each once; text before any keyword belongs to none.
        {{"Jogar:#2Vorla:Chat:#oiAlerta:"}, {"Jogar 2", "Vorla", "Chat oi", "Alerta"}},
        {{"ReageVorla:#1Vorla:"}, {"ReageVorla 1", "Vorla"}},
        {{"Cartas:##5#12#33#1#40#17#22#Manda11:"}, {"Cartas 5..22", "Manda11"}},
        {{"garbageIniciar:"}, {"Iniciar"}},
        // A keyword in typed text, alone or with text after it, stays text.
        {{"Chat:#Correu:"}, {"Chat Correu:"}},
        {{"Chat:#Jogar:#2"}, {"Chat Jogar:"}},
        {{"Chat:#Vorla:Correu:"}, {"Chat Vorla:", "Correu"}},
        {{"Chat:#eu digo Vorla: vamos?"}, {"Chat eu digo Vorla: vamos?"}},
        {{"Chat:#eu digo Vorla: vamos?Jogar:#1"}, {"Chat eu digo Vorla: vamos?", "Jogar 1"}},
        {{"Chat:#ver Cartas:##1#2 já"}, {"Chat ver Cartas:"}},
        {{"Nome:#Ana Vorla: SilvaIniciar:"}, {"Nome Ana Vorla: Silva", "Iniciar"}, GameMessage::Nome},
        {{"Chat:#Manda11:Chat:#Iniciar:"}, {"Chat Manda11:", "Chat Iniciar:"}},
        // The host's name may hold "#" and a keyword: the options are the last three fields.
        {{"Dados:#Ana Vorla:#True#False#True"}, {"Dados Ana Vorla: T F T"}},
        {{"Dados:#Zé#False Correu:#False#True#FalseIniciar:"}, {"Dados Zé#False Correu: F T F", "Iniciar"}},
        // A line split over reads keeps its whole text; the next read continues it
        // unless it begins with whole messages.
        {{"Chat:#oi ", "Vorla: já"}, {"Chat oi Vorla: já"}},
        {{"Chat:#oi ", "Correu:#mesmo"}, {"Chat oi Correu:"}},
        {{"Chat:#oi", "Correu:"}, {"Chat oi", "Correu"}},
        {{"Chat:#oiMan", "da11:"}, {"Chat oi", "Manda11"}},
        {{"Chat:#oi Vor", "ge"}, {"Chat oi Vorge"}},
        {{"Chat:#a#b", "c"}, {"Chat a"}},
        {{"Chat:", "#ola"}, {"Chat ola"}},
        {{"Dados:#Ana#True#False#Tr", "ue"}, {"Dados Ana T F T"}},
        // The host's settings after a line, split over reads, are still the host's
        // settings; a line that only held "Dados:#" runs on once a message follows.
        {{"Chat:#oi", "Dados:#Ana#Fal", "se#True#True"}, {"Chat oi", "Dados Ana F T T"}},
        {{"Chat:#oiDados:#Ana#Fal", "se#True#True"}, {"Chat oi", "Dados Ana F T T"}},
        {{"Chat:#eu Dados:#oi", " tudo bem", "Jogar:#1"}, {"Chat eu Dados:", "Jogar 1"}},
        // A host without a name.
        {{"Dados:##True#False#TrueIniciar:"}, {"Dados T F T", "Iniciar"}},
        // A name or a line without its "#" is no message.
        {{"Chat:Cartas:##5#12#33#1#40#17#22#"}, {"Cartas 5..22"}},
        {{"Dados:Iniciar:"}, {"Iniciar"}},
        // A name or rules not awaited end at the next keyword; each is awaited once.
        {{"Dados:#x#Talvez#1#", "Jogar:#2"}, {"Jogar 2"}, GameMessage::Unknown},
        {{"Chat:#oi Dados:", "#x#Talvez#1#Jogar:#2"}, {"Chat oi ", "Jogar 2"}, GameMessage::Unknown},
        {{"Chat:#oi", "Dados:#Intruso", "Iniciar:"}, {"Chat oi", "Iniciar"}, GameMessage::Unknown},
        {{"Chat:#oi Nome:", "#Eva", "Vorla:"}, {"Chat oi ", "Vorla"}, GameMessage::Unknown},
        {{"Dados:#Eva#False#True#True", "Correu:"}, {"Correu"}, GameMessage::Nome},
        {{"Nome:#Eva", "Correu:"}, {"Correu"}},
        {{"Dados:#Ana#True#False#True", "Dados:#Eva#False#False#False", "Jogar:#1"}, {"Dados Ana T F T", "Jogar 1"}},
        {{"Dados:#Ana#True#False#TrueDados:#x#1Iniciar:Chat:#oiDados:##False#False#True"},
         {"Dados Ana T F T", "Iniciar", "Chat oi"}},
        {{"Nome:#Ana", "Jogar:#1", "Nome:#Eva", "Vorla:"}, {"Nome Ana", "Jogar 1", "Vorla"}, GameMessage::Nome},
        // Without the "#" behind it, a name or rules keyword, awaited or not, is
        // typed text, also when a read ends before the character after it.
        {{"Chat:#os Dados: vamos la"}, {"Chat os Dados: vamos la"}, GameMessage::Unknown},
        {{"Chat:#os Dad", "os:", " vamos la"}, {"Chat os Dados: vamos la"}, GameMessage::Unknown},
        {{"Chat:#os Dados: vamos la", "Dados:#Rui#True#False#True"}, {"Chat os Dados: vamos la", "Dados Rui T F T"}},
        {{"Chat:#boa Nome:", "Jogar:#1"}, {"Chat boa Nome:", "Jogar 1"}, GameMessage::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(feed(c.reads, nullptr, c.expected), c.applied) << c.reads.join(" | ").toStdString();
}

TEST(MessageCutting, AStreamSplitAnywhereGivesTheSameMessages)
{
    // The host's rules in their place, a line holding a name's keyword, a name and
    // the rules again out of their place.
    const QString all = "Dados:#Zé#False Vorla:#True#False#TrueJogar:#3Chat:#Vorla: vamos?Chat:#meu Nome: Ana 5"
                        "Cartas:##5#12#33#1#40#17#22#Chat:#a#bcReageVorla:#2Nome:#RuiIniciar:"
                        "Chat:#oiDados:##False#False#TrueAlerta:";
    const QStringList whole = {"Dados Zé#False Vorla: T F T", "Jogar 3", "Chat Vorla: vamos?", "Chat meu Nome: Ana 5",
                               "Cartas 5..22", "Chat a", "ReageVorla 2", "Iniciar", "Chat oi", "Alerta"};
    ASSERT_EQ(feed({all}), whole);
    for (int i = 1; i < all.size(); ++i) {
        ASSERT_EQ(feed({all.left(i), all.mid(i)}), whole) << "cut at " << i;
        for (int j = i + 1; j < all.size(); j += 3)
            ASSERT_EQ(feed({all.left(i), all.mid(i, j - i), all.mid(j)}), whole) << "cuts at " << i << ", " << j;
    }
}

TEST(MessageCutting, HeldTextIsBounded)
{
    QString held;
    EXPECT_EQ(feed({QString(10000, 'x') + "Cartas:##1#2"}, &held), QStringList());
    EXPECT_EQ(held, "Cartas:##1#2");
    feed({"Cartas:##1#2" + QString(10000, 'x')}, &held);
    EXPECT_EQ(held, "");
    feed({"Dados:#" + QString(10000, 'x')}, &held);
    EXPECT_EQ(held, "") << "a name that never ends";
}

// A line or a name shows its first characters up to the bound, however it is cut
// into reads; the rest is dropped, and no read leaves any of it held to read again.
TEST(MessageCutting, ALineOrNameIsShownUpToItsBoundAndNothingOfItIsReadTwice)
{
    const qsizetype bound = MessageReader::kMaxText;
    const QString text = QString(bound + 10, 'a') + QString(2 * bound, 'b');
    for (const QString kind : {"Chat", "Nome"})
        for (const qsizetype readSize : {qsizetype(1), qsizetype(7), bound, 3 * bound}) {
            QStringList reads;
            for (qsizetype at = 0; at < text.size(); at += readSize)
                reads << text.mid(at, readSize);
            reads[0].prepend(kind + ":#");
            QString held;
            EXPECT_EQ(feed(reads << "Jogar:#3", &held, GameMessage::Nome),
                      (QStringList{kind + " " + text.left(bound), "Jogar 3"}))
                << kind.toStdString() << readSize;
            EXPECT_EQ(held, "");
        }
}

TEST(MessageReading, FieldsAreReadAndCheckedForEveryKeyword)
{
    GameMessage m = ReadMessage("Cartas:##5#12#33#1#40#17#22#");
    ASSERT_EQ(m.kind, GameMessage::Cartas);
    EXPECT_EQ(m.cards, (std::array<std::uint8_t, 7>{5, 12, 33, 1, 40, 17, 22}));
    for (const char* bad : {"Cartas:##5#12#33#1#40#17#", "Cartas:##5#12#33#1#41#17#22#", "Cartas:##0#12#33#1#40#17#22#",
                            "Cartas:##5#12#33#1#40#17#5#", "Cartas:##5#12#33#1#40#17#x#", "Cartas:##5#12#33#1#40#17#-2#",
                            "Cartas:##5#12#33#1#40#17#1000000000000#"})
        EXPECT_EQ(ReadMessage(bad).kind, GameMessage::Unknown) << bad;

    m = ReadMessage("Dados:#Rui#True#False#talvez");
    ASSERT_EQ(m.kind, GameMessage::Dados);
    EXPECT_EQ(m.text, "Rui");
    EXPECT_EQ(m.options[0], std::optional<bool>(true));
    EXPECT_EQ(m.options[1], std::optional<bool>(false));
    EXPECT_EQ(m.options[2], std::nullopt) << "a field that is no truth value changes nothing";

    for (int slot = 1; slot <= 3; ++slot) {
        EXPECT_EQ(ReadMessage("Jogar:#" + QString::number(slot)).number, slot);
        EXPECT_EQ(ReadMessage("Descarta:#" + QString::number(slot)).kind, GameMessage::Descarta);
        EXPECT_EQ(ReadMessage("ReageVorla:#" + QString::number(slot)).kind, GameMessage::ReageVorla);
    }
    for (const char* bad : {"Jogar:#0", "Jogar:#4", "Jogar:#", "Jogar:", "Descarta:#-1", "ReageVorla:#9", "ReageVorla:# 1",
                            "Chat:", "Nome:", "Dados:", "Chat:x"})
        EXPECT_EQ(ReadMessage(bad).kind, GameMessage::Unknown) << bad;

    EXPECT_EQ(ReadMessage("Chat:#a#b").text, "a") << "a line is cut at its first #";
    m = ReadMessage("Dados:#Zé#False#True#False#True");
    EXPECT_EQ(m.text, "Zé#False");
    EXPECT_EQ(m.options[0], std::optional<bool>(true));
    EXPECT_EQ(ReadMessage("vorla:").kind, GameMessage::Unknown) << "keywords are compared exactly";
    EXPECT_EQ(ReadMessage("Vorla:x").kind, GameMessage::Unknown);
    EXPECT_TRUE(ReadMessage("Alerta:").AppliesAtOnce());
    EXPECT_FALSE(ReadMessage("Iniciar:").AppliesAtOnce());
}

// Random and mutated messages: every message taken is read without failing, and
// every field read lies in its range.
TEST(MessageReading, RandomAndMutatedTextNeverGivesAFieldOutOfRange)
{
    const QStringList valid = {"Nome:#Ana", "Dados:#Rui#True#False#True", "Iniciar:", "Cartas:##5#12#33#1#40#17#22#",
                               "Jogar:#1", "Descarta:#3", "Correu:", "Vorla:", "ReageVorla:#2", "Manda11:",
                               "Chat:#oi", "Alerta:"};
    const QString alphabet = "#:0123456789-TrueFalsx " + valid.join("");
    std::mt19937 rng(20261207);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    MessageReader reader;
    int taken = 0;
    for (int round = 0; round < 20000; ++round) {
        QString read;
        if (pick(2) == 0) {
            for (int i = pick(40); i > 0; --i)
                read += alphabet.at(pick(alphabet.size()));
        } else {
            read = valid.at(pick(valid.size()));
            for (int i = pick(4); i > 0; --i) {
                const int at = pick(read.size() + 1);
                switch (pick(3)) {
                case 0: read.insert(at, alphabet.at(pick(alphabet.size()))); break;
                case 1: read.remove(at, 1); break;
                default: read = read.left(at); break;
                }
            }
        }
        std::vector<GameMessage> messages;
        ASSERT_NO_THROW(messages = reader.Take(read)) << read.toStdString();
        for (const GameMessage& m : messages) {
            ++taken;
            switch (m.kind) {
            case GameMessage::Cartas:
                for (auto c : m.cards)
                    ASSERT_TRUE(c >= 1 && c <= 40);
                break;
            case GameMessage::Jogar:
            case GameMessage::Descarta:
            case GameMessage::ReageVorla:
                ASSERT_TRUE(m.number >= 1 && m.number <= 3);
                break;
            case GameMessage::Dados:
                break;
            default:
                ASSERT_FALSE(m.text.contains('#'));
                break;
            }
        }
        ASSERT_LE(reader.Held().size(), 4096);
    }
    EXPECT_GT(taken, 2000);
}

} // namespace
