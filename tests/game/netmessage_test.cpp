// Cutting the peer's messages out of the received text, and reading their fields.
#include "game/netmessage.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <random>

namespace {

QStringList take(QString& received)
{
    QStringList out;
    for (const QString& m : TakeMessages(received))
        out << m;
    return out;
}

// Feeds the reads one after another, as the socket delivers them.
QStringList feed(const QStringList& reads, QString* left = nullptr)
{
    QString received;
    QStringList out;
    for (const QString& read : reads) {
        received += read;
        out << take(received);
    }
    if (left)
        *left = received;
    return out;
}

TEST(MessageCutting, JoinedMessagesAreEachTakenOnceWhole)
{
    QString rest;
    EXPECT_EQ(feed({"Jogar:#2Vorla:Chat:#oiAlerta:"}, &rest), QStringList({"Jogar:#2", "Vorla:", "Chat:#oi", "Alerta:"}));
    EXPECT_EQ(rest, "");
    // The answer to a raise holds the raise's keyword; it stays one message.
    EXPECT_EQ(feed({"ReageVorla:#1Vorla:"}), QStringList({"ReageVorla:#1", "Vorla:"}));
    EXPECT_EQ(feed({"Cartas:##5#12#33#1#40#17#22#Manda11:"}),
              QStringList({"Cartas:##5#12#33#1#40#17#22#", "Manda11:"}));
    EXPECT_EQ(feed({"garbageIniciar:"}), QStringList({"Iniciar:"})) << "text before a keyword belongs to none";
}

TEST(MessageCutting, AMessageSplitOverReadsIsTakenOnceWhenWhole)
{
    const QString deal = "Cartas:##5#12#33#1#40#17#22#";
    const QString dados = "Dados:#Ana#True#False#True";
    const QString all = "Jogar:#3" + deal + dados + "ReageVorla:#2Iniciar:";
    const QStringList whole = {"Jogar:#3", deal, dados, "ReageVorla:#2", "Iniciar:"};
    // Every place of one cut, and every pair of cuts.
    for (int i = 1; i < all.size(); ++i) {
        EXPECT_EQ(feed({all.left(i), all.mid(i)}), whole) << "cut at " << i;
        for (int j = i + 1; j < all.size(); ++j)
            ASSERT_EQ(feed({all.left(i), all.mid(i, j - i), all.mid(j)}), whole) << "cuts at " << i << ", " << j;
    }
    QString rest;
    EXPECT_EQ(feed({"Dados:#Ana#True#False#Tr"}, &rest), QStringList());
    EXPECT_EQ(rest, "Dados:#Ana#True#False#Tr") << "a truth value still coming";
    EXPECT_EQ(feed({"Chat:", "#ola"}), QStringList({"Chat:#ola"}));
}

TEST(MessageCutting, AFreeTextEndsWithItsReadAndKeepsItsLastLetters)
{
    // A line that ends in the first letters of a keyword is still whole.
    EXPECT_EQ(feed({"Chat:#ABC", "Jogar:#1"}), QStringList({"Chat:#ABC", "Jogar:#1"}));
    EXPECT_EQ(feed({"Nome:#Ana Vor"}), QStringList({"Nome:#Ana Vor"}));
    QString rest;
    EXPECT_EQ(feed({"lixo sem palavra"}, &rest), QStringList());
    EXPECT_EQ(rest, "");
    EXPECT_EQ(feed({QString(10000, 'x') + "Cartas:##1#2"}, &rest), QStringList());
    EXPECT_EQ(rest, "Cartas:##1#2");
    feed({"Cartas:##1#2" + QString(10000, 'x')}, &rest);
    EXPECT_EQ(rest, "") << "held text is bounded";
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
    for (const char* bad : {"Jogar:#0", "Jogar:#4", "Jogar:#", "Jogar:", "Descarta:#-1", "ReageVorla:#9", "ReageVorla:# 1"})
        EXPECT_EQ(ReadMessage(bad).kind, GameMessage::Unknown) << bad;

    EXPECT_EQ(ReadMessage("Chat:#a#b").text, "a") << "a line is cut at its first #";
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
    QString received;
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
        received += read;
        for (const QString& text : TakeMessages(received)) {
            ++taken;
            GameMessage m;
            ASSERT_NO_THROW(m = ReadMessage(text)) << text.toStdString();
            switch (m.kind) {
            case GameMessage::Cartas:
                for (auto c : m.cards)
                    ASSERT_TRUE(c >= 1 && c <= 40) << text.toStdString();
                break;
            case GameMessage::Jogar:
            case GameMessage::Descarta:
            case GameMessage::ReageVorla:
                ASSERT_TRUE(m.number >= 1 && m.number <= 3) << text.toStdString();
                break;
            default:
                ASSERT_FALSE(m.text.contains('#'));
                break;
            }
        }
        ASSERT_LE(received.size(), 4096);
    }
    EXPECT_GT(taken, 2000);
}

} // namespace
