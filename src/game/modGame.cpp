#include "game/modGame.h"

#include "platform/random.h"
#include "shell/modFunoes.h"

#include <algorithm>

vb::Array<PlayerInfo, 1, 2> Players;
HandInfo Hand;
bool OptionsChanged = false;
QString ServerIP;
bool IsServer = false;
std::uint8_t CardBack = 0;

namespace {

// Rank groups divide with the floor, so that an empty slot (0) falls below
// the weakest rank instead of into it.
int RankGroup(int n)
{
    return n >= 1 ? (n - 1) / 4 : (n - 4) / 4;
}

std::uint8_t NewManilhaValue(int n, std::uint8_t base)
{
    int b = (RankGroup(Hand.Vira) + 1) * 4;
    if (b > 36)
        b -= Hand.DirtyDeck ? 40 : 24; // after the 3 come the 4s, or the Qs of the short deck
    const int place = n - b;
    return place >= 1 && place <= 4 ? static_cast<std::uint8_t>(18 - place) : base;
}

std::uint8_t OldManilhaValue(int n, std::uint8_t base)
{
    switch (n) {
    case 1: return 17;
    case 14: return 16;
    case 31: return 15;
    case 16: return 14;
    default: return base;
    }
}

const QString FullDeckList = QStringLiteral(
    "1#2#3#4#5#6#7#8#9#10#11#12#13#14#15#16#17#18#19#20#"
    "21#22#23#24#25#26#27#28#29#30#31#32#33#34#35#36#37#38#39#40#");
const QString ShortDeckList = QStringLiteral(
    "17#18#19#20#21#22#23#24#25#26#27#28#29#30#31#32#33#34#35#36#37#38#39#40#");

std::uint8_t CardField(int n)
{
    return static_cast<std::uint8_t>(GetField(Hand.DealtCards, n, QStringLiteral("#")).toUInt());
}

} // namespace

std::uint8_t CardValue(std::uint8_t n)
{
    const auto base = static_cast<std::uint8_t>(RankGroup(n) + 4);
    return Hand.NewManilha ? NewManilhaValue(n, base) : OldManilhaValue(n, base);
}

bool BothAtEleven()
{
    return Players(1).Points == 11 && Players(2).Points == 11;
}

bool AnyAtEleven()
{
    return Players(1).Points == 11 || Players(2).Points == 11;
}

bool IsPlayingInDark()
{
    return BothAtEleven() && Hand.PlayInDark;
}

std::uint8_t NextStake()
{
    switch (Hand.Stake) {
    case 1: return 3;
    case 3: return 6;
    case 6: return 9;
    case 9: return 12;
    default: return 0;
    }
}

void RaiseStake()
{
    Hand.Stake = std::max(Hand.Stake, NextStake());
}

QString StakeCallName()
{
    switch (Hand.Stake) {
    case 1: return QStringLiteral("Vorla");
    case 3: return QStringLiteral("Seis");
    case 6: return QStringLiteral("Nove");
    case 9: return QStringLiteral("Doze");
    default: return {};
    }
}

QString NameAsField(const QString& name)
{
    return QString(name).remove('#');
}

namespace {
// Counts the matches started; a step that waited compares it with its own.
std::uint64_t matchSerial = 0;
std::uint64_t handSerial = 0;
} // namespace

void ResetMatch()
{
    Players(2).Name.clear();
    for (int i = 1; i <= 3; ++i) {
        Players(1).Cards(i) = 0;
        Players(2).Cards(i) = 0;
        Hand.RoundWinner(i) = 0;
    }
    for (PlayerInfo& player : Players) {
        player.Points = 0;
        player.MatchesWon = 0;
        player.FaceDown = false;
        player.TableValue = 0;
    }
    Hand.Vira = 0;
    Hand.RoundNo = 0;
    Hand.LastRaiser = 0;
    Hand.RaiseAnswer = 0;
    Hand.Stake = 1;
    Hand.DealtCards.clear();
    Hand.Turn = 0;
    Hand.PlayerLeads = false;
    Hand.InputLocked = true;
    ++matchSerial;
}

MatchGuard::MatchGuard() : serial_(matchSerial) {}

bool MatchGuard::Replaced() const
{
    return serial_ != matchSerial;
}

HandGuard::HandGuard() : serial_(handSerial) {}

bool HandGuard::Replaced() const
{
    return serial_ != handSerial;
}

void CountNewHand()
{
    ++handSerial;
}

void AddMatchWon(PlayerInfo& player)
{
    if (player.MatchesWon < 255)
        ++player.MatchesWon;
}

void ShuffleAndDeal()
{
    const QString sep = QStringLiteral("#");
    QString list = Hand.DirtyDeck ? FullDeckList : ShortDeckList;
    Hand.DealtCards.clear();
    int remaining = Hand.DirtyDeck ? 40 : 24;
    const int last = remaining - 7;
    while (remaining > last) {
        const int k = vb::RndUpTo(remaining);
        // The first look-up gives the list its leading "#", so every card,
        // the first included, then stands between two separators.
        const QString x = GetField(list, k, sep);
        const QString card = sep + x + sep;
        const qsizetype at = list.indexOf(card);
        if (at < 0)
            continue;
        Hand.DealtCards += x + sep;
        list.replace(at, card.size(), sep);
        --remaining;
    }
    for (int i = 1; i <= 3; ++i) {
        Players(1).Cards(i) = CardField(i);
        Players(2).Cards(i) = CardField(i + 3);
    }
    Hand.Vira = CardField(7);
}

int HandResult()
{
    const auto& w = Hand.RoundWinner;
    switch (Hand.RoundNo) {
    case 2:
        if (w(1) == 1 && (w(2) == 1 || w(2) == 3))
            return 1;
        if (w(1) == 2 && (w(2) == 2 || w(2) == 3))
            return 2;
        if (w(1) == 3 && (w(2) == 1 || w(2) == 2))
            return w(2);
        return 0;
    case 3:
        if (w(3) == 1 || w(3) == 2)
            return w(3);
        if (w(1) == 1 || w(1) == 2)
            return w(1); // a tied third round goes to the winner of the first
        return 3;
    default:
        return 0;
    }
}
