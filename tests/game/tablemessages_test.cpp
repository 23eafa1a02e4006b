// What the message line tells the player as rounds and hands end.
#include "tablefixture.h"

namespace {

using gametest::Hold;

class Messages : public TableTest {
protected:
    // Both cards of the round lie on the table; the trick is judged.
    void judge(int round, int firstRound, int turn, int mine, int computers)
    {
        gametest::DealTo(1);
        Hand.RoundNo = static_cast<std::uint8_t>(round);
        Hand.RoundWinner(1) = static_cast<std::uint8_t>(firstRound);
        Hand.RoundWinner(2) = 3;
        Hand.Turn = static_cast<std::int16_t>(turn);
        Players(1).TableValue = static_cast<std::uint8_t>(mine);
        Players(2).TableValue = static_cast<std::uint8_t>(computers);
        table().CheckTrick();
    }
};

TEST_F(Messages, EachRoundResultSaysWhoPlaysNext)
{
    struct Case {
        int round, firstRound, turn, mine, computers;
        const char* message;
        int next;
    };
    for (const Case& c : {
             Case{1, 0, 1, 10, 5, "Você ganhou a primeira! Torne outra carta!", 1},
             Case{1, 0, 1, 5, 10, "Você perdeu a primeira! Aguarde o adversário tornar!", 2},
             Case{1, 0, 1, 7, 7, "Embuxou a primeira! Torne outra carta!", 1},
             Case{1, 0, 2, 7, 7, "Embuxou a primeira! Aguarde o adversário jogar!", 2},
             Case{2, 1, 1, 5, 10, "Você perdeu a segunda! Aguarde o adversário tornar!", 2},
             Case{2, 2, 2, 10, 5, "Você ganhou a segunda! Torne outra carta!", 1},
         }) {
        Fresh();
        judge(c.round, c.firstRound, c.turn, c.mine, c.computers);
        EXPECT_EQ(table().lblMens.Caption(), QString::fromUtf8(c.message));
        EXPECT_EQ(Hand.Turn, c.next) << c.message;
        EXPECT_EQ(Hand.InputLocked, c.next != 1) << c.message;
        EXPECT_EQ(Hand.RoundNo, c.round + 1) << c.message;
    }
}

TEST_F(Messages, AHandThatEndsShowsOnlyItsResult)
{
    struct Case {
        int round, firstRound, mine, computers;
        const char* result;
    };
    for (const Case& c : {
             Case{2, 3, 5, 10, "Você perdeu a carteada!"}, // a tied first round, the second lost
             Case{2, 1, 10, 5, "Você ganhou a carteada!"},
             Case{3, 3, 7, 7, "Empatou!, ninguém ganha pontos!"},
         }) {
        Fresh();
        const QStringList shown = shownDuring([&] { judge(c.round, c.firstRound, 1, c.mine, c.computers); });
        ASSERT_FALSE(shown.isEmpty()) << c.result;
        EXPECT_EQ(shown.front(), QString::fromUtf8(c.result)) << "no round message before it";
    }
}

TEST_F(Messages, TheComputerRunningFromTheRaiseSaysItThinksThePlayerBluffs)
{
    gametest::DealTo(1);
    Hold(1, {13, 12, 11});
    Hold(2, {4, 5, 6});
    const QStringList shown = shownDuring([&] { table().lblVorla.ClickWith(); });
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.mid(0, 2), (QStringList{QString::fromUtf8("Você deve estar blefando, mas eu vou correr."),
                                            QString::fromUtf8("Você ganhou a carteada!")}));
}

} // namespace
