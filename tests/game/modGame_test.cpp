#include "game/modGame.h"

#include "platform/random.h"
#include "shell/modFunoes.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// Each test starts from, and leaves behind, the state of a fresh program.
class MatchState : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override { Fresh(); }

    static void Fresh()
    {
        Players = {};
        Hand = {};
        OptionsChanged = IsServer = StopAnimation = false;
        ServerIP.clear();
        PopupMessage.clear();
        CardBack = 0;
    }
};

// The cards that beat every rank under the current rule, with their strengths.
std::map<int, int> Manilhas()
{
    std::map<int, int> found;
    for (int n = 1; n <= 40; ++n)
        if (CardValue(static_cast<std::uint8_t>(n)) > 13)
            found[n] = CardValue(static_cast<std::uint8_t>(n));
    return found;
}

std::map<int, int> RankAsManilhas(int firstCard)
{
    return {{firstCard, 17}, {firstCard + 1, 16}, {firstCard + 2, 15}, {firstCard + 3, 14}};
}

using CardModel = MatchState;

TEST_F(CardModel, OrdinaryCardsRankFourToThreeAndAnEmptySlotFallsBelowThem)
{
    Hand.NewManilha = false;
    const std::set<int> oldManilhas = {1, 14, 16, 31};
    for (int n = 1; n <= 40; ++n) {
        if (!oldManilhas.contains(n)) {
            EXPECT_EQ(CardValue(static_cast<std::uint8_t>(n)), (n - 1) / 4 + 4) << n;
        }
    }
    for (bool rule : {false, true}) {
        Hand.NewManilha = rule;
        Hand.Vira = 5;
        EXPECT_EQ(CardValue(0), 3);
    }
}

TEST_F(CardModel, OldRuleHasFourFixedManilhasWhateverTheTurnedCard)
{
    Hand.NewManilha = false;
    Hand.DirtyDeck = true;
    for (int vira : {0, 1, 13, 36, 40}) {
        Hand.Vira = static_cast<std::uint8_t>(vira);
        EXPECT_EQ(Manilhas(), (std::map<int, int>{{1, 17}, {14, 16}, {31, 15}, {16, 14}}));
        EXPECT_EQ(CardValue(13), 7); // the other 7s are ordinary
    }
}

TEST_F(CardModel, NewRuleMakesTheNextRankManilhasAndWrapsPerDeck)
{
    Hand.NewManilha = true;
    for (bool dirty : {true, false}) {
        Hand.DirtyDeck = dirty;
        const int lowest = dirty ? 0 : 4; // rank group of the deck's weakest rank
        for (int vira = dirty ? 1 : 17; vira <= 40; ++vira) {
            Hand.Vira = static_cast<std::uint8_t>(vira);
            const int next = (vira - 1) / 4 == 9 ? lowest : (vira - 1) / 4 + 1;
            EXPECT_EQ(Manilhas(), RankAsManilhas(next * 4 + 1)) << "turned " << vira;
            EXPECT_EQ(CardValue(Hand.Vira), (vira - 1) / 4 + 4); // the turned card stays ordinary
        }
    }
}

TEST_F(MatchState, ElevenPointTests)
{
    struct Case {
        int p1, p2;
        bool both, any;
    };
    for (const Case c : {Case{11, 11, true, true}, Case{12, 11, false, true}, Case{11, 0, false, true},
                         Case{3, 11, false, true}, Case{12, 12, false, false}, Case{10, 22, false, false}}) {
        Players(1).Points = static_cast<std::uint8_t>(c.p1);
        Players(2).Points = static_cast<std::uint8_t>(c.p2);
        EXPECT_EQ(BothAtEleven(), c.both) << c.p1 << ":" << c.p2;
        EXPECT_EQ(AnyAtEleven(), c.any) << c.p1 << ":" << c.p2;
        Hand.PlayInDark = true;
        EXPECT_EQ(IsPlayingInDark(), c.both);
        Hand.PlayInDark = false;
        EXPECT_FALSE(IsPlayingInDark());
    }
}

TEST_F(MatchState, StakeLadder)
{
    const std::map<int, std::pair<int, QString>> ladder = {
        {1, {3, "Vorla"}}, {3, {6, "Seis"}}, {6, {9, "Nove"}}, {9, {12, "Doze"}},
        {12, {0, ""}},     {0, {0, ""}},     {2, {0, ""}},     {255, {0, ""}}};
    for (const auto& [stake, next] : ladder) {
        Hand.Stake = static_cast<std::uint8_t>(stake);
        EXPECT_EQ(NextStake(), next.first) << stake;
        EXPECT_EQ(StakeCallName(), next.second) << stake;
    }
}

TEST_F(MatchState, ResetMatchClearsTheMatchAndKeepsOptionsNamesAndSignals)
{
    for (int p = 1; p <= 2; ++p) {
        PlayerInfo& player = Players(p);
        player.Cards(1) = 5; player.Cards(2) = 6; player.Cards(3) = 7;
        player.Points = 11; player.MatchesWon = 4; player.TableValue = 9; player.FaceDown = true;
        player.Name = p == 1 ? "Ana" : "Computador";
    }
    Hand = {9, 3, {}, 2, 3, 12, "#1#2#3#4#5#6#7#", 2, true, true, true, true, true, true, false, true, true};
    Hand.RoundWinner(1) = 1; Hand.RoundWinner(2) = 2; Hand.RoundWinner(3) = 3;
    OptionsChanged = true; ServerIP = "10.0.0.2"; IsServer = true; CardBack = 7;
    StopAnimation = true; PopupMessage = "x";

    ResetMatch();

    for (int p = 1; p <= 2; ++p) {
        const PlayerInfo& player = Players(p);
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(player.Cards(i), 0);
        EXPECT_EQ(player.Points, 0);
        EXPECT_EQ(player.MatchesWon, 0);
        EXPECT_EQ(player.TableValue, 0);
        EXPECT_FALSE(player.FaceDown);
    }
    EXPECT_EQ(Players(1).Name, "Ana");
    EXPECT_EQ(Players(2).Name, "");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(Hand.RoundWinner(i), 0);
    EXPECT_EQ(Hand.Vira, 0);
    EXPECT_EQ(Hand.RoundNo, 0);
    EXPECT_EQ(Hand.LastRaiser, 0);
    EXPECT_EQ(Hand.RaiseAnswer, 0);
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_EQ(Hand.DealtCards, "");
    EXPECT_EQ(Hand.Turn, 0);
    EXPECT_FALSE(Hand.PlayerLeads);
    EXPECT_TRUE(Hand.InputLocked);
    // Options, connection and signals stay as they were.
    EXPECT_TRUE(Hand.NetworkGame && Hand.DirtyDeck && Hand.PlayInDark && Hand.SoundOn && Hand.DeckCut
                && Hand.ShowComputerCards && Hand.NewManilha);
    EXPECT_TRUE(OptionsChanged && IsServer && StopAnimation);
    EXPECT_EQ(ServerIP, "10.0.0.2");
    EXPECT_EQ(CardBack, 7);
    EXPECT_EQ(PopupMessage, "x");
}

TEST_F(MatchState, MatchesWonCountsUpAndStopsAt255)
{
    PlayerInfo& player = Players(1);
    AddMatchWon(player);
    EXPECT_EQ(player.MatchesWon, 1);
    player.MatchesWon = 254;
    AddMatchWon(player);
    EXPECT_EQ(player.MatchesWon, 255);
    AddMatchWon(player);
    EXPECT_EQ(player.MatchesWon, 255);
    EXPECT_EQ(Players(2).MatchesWon, 0);
}

// The seven cards of the last deal in drawing order.
std::vector<int> Dealt()
{
    return {Players(1).Cards(1), Players(1).Cards(2), Players(1).Cards(3), Players(2).Cards(1),
            Players(2).Cards(2),  Players(2).Cards(3), Hand.Vira};
}

using Shuffle = MatchState;

TEST_F(Shuffle, DealsSevenDistinctCardsOfTheDeckEvenlyAndRecordsThem)
{
    for (bool dirty : {true, false}) {
        Hand.DirtyDeck = dirty;
        const int first = dirty ? 1 : 17;
        const int deals = 4000;
        std::map<int, int> seen, firstDraws;
        vb::Randomize(dirty ? 1 : 2);
        for (int d = 0; d < deals; ++d) {
            ShuffleAndDeal();
            const std::vector<int> cards = Dealt();
            QString expected = QStringLiteral("#");
            for (int c : cards) {
                ASSERT_GE(c, first);
                ASSERT_LE(c, 40);
                ++seen[c];
                expected += QString::number(c) + "#";
            }
            ASSERT_EQ(std::set<int>(cards.begin(), cards.end()).size(), 7u);
            ASSERT_EQ(Hand.DealtCards, expected);
            ++firstDraws[cards.front()];
        }
        const int size = 41 - first;
        ASSERT_EQ(static_cast<int>(seen.size()), size);
        const double perCard = deals * 7.0 / size;
        for (const auto& [card, count] : seen) {
            EXPECT_NEAR(count, perCard, perCard * 0.2) << card;
            EXPECT_NEAR(firstDraws[card], double(deals) / size, deals * 0.4 / size) << card;
        }
        EXPECT_GT(firstDraws[first], 0); // the head of the list can be the first draw
    }
}

TEST_F(Shuffle, TheProgramsGeneratorReplaysADeal)
{
    Hand.DirtyDeck = true;
    vb::Randomize(77);
    ShuffleAndDeal();
    const QString once = Hand.DealtCards;
    ShuffleAndDeal();
    EXPECT_NE(Hand.DealtCards, once);
    vb::Randomize(77);
    ShuffleAndDeal();
    EXPECT_EQ(Hand.DealtCards, once);
}

TEST_F(Shuffle, DealtCardsFillTheCardFieldsOfTheCardsMessage)
{
    Hand.DirtyDeck = false;
    vb::Randomize(5);
    ShuffleAndDeal();
    QString message = "Cartas:#" + Hand.DealtCards;
    EXPECT_EQ(GetField(message, 1, "#"), "Cartas:");
    EXPECT_EQ(GetField(message, 2, "#"), "");
    const std::vector<int> cards = Dealt();
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(GetField(message, i + 3, "#").toInt(), cards[i]);
    EXPECT_EQ(GetField(message, 10, "#"), "");
}

} // namespace
