// The player's card play, raise and run on the table, against the computer.
#include "gamefixture.h"

namespace {

using namespace gametest;

const QString FirstRoundRefusal = QString::fromUtf8("Não é permitido descartar a carta na primeira rodada");
const QString ShowACard =
    QString::fromUtf8("O adversário já descartou nesta jogada! Você deve mostrar uma carta!");
const QString WaitToRaise = "Aguarde a sua vez de vorlar!";

vb::Picture PictureOf(const vb::PictureControl& control)
{
    return control.Picture;
}

bool ShowsBack(int slot)
{
    return PictureOf(Table().picJog(slot)) == PictureOf(Table().Verso(CardBack));
}

bool ShowsFace(int slot)
{
    return PictureOf(Table().picJog(slot)) == PictureOf(Table().Frente(Players(1).Cards(slot)));
}

void RightClick(int slot)
{
    Table().picJog(slot).ClickWith(vb::vbRightButton);
}

// A dealt hand in its second round, the player to play.
class CardPlay : public GameTest {
protected:
    void SecondRound()
    {
        DealTo(1);
        Hand.RoundNo = 2;
        Hand.RoundWinner(1) = 1;
    }
};

TEST_F(CardPlay, RightClickRefusedWithAPopup)
{
    DealTo(1);
    RightClick(2);
    EXPECT_EQ(PopupMessage, FirstRoundRefusal);
    EXPECT_FALSE(frmMSG::Loaded()) << "the popup has closed itself";
    EXPECT_EQ(Table().picJog(2).Tag, "");
    EXPECT_TRUE(ShowsFace(2));

    SecondRound();
    Players(2).FaceDown = true;
    RightClick(1);
    EXPECT_EQ(PopupMessage, ShowACard);
    EXPECT_EQ(Table().picJog(1).Tag, "");
    EXPECT_TRUE(ShowsFace(1));
}

TEST_F(CardPlay, RightClickOutOfTurnOrWhileLockedDoesNothing)
{
    DealTo(2);
    Hand.InputLocked = false;
    RightClick(1); // the first round, but not the player's turn: no popup either
    EXPECT_EQ(PopupMessage, "");
    SecondRound();
    Hand.InputLocked = true;
    RightClick(1);
    EXPECT_EQ(PopupMessage, "");
    EXPECT_EQ(Table().picJog(1).Tag, "");
    EXPECT_TRUE(ShowsFace(1));
}

TEST_F(CardPlay, AtMostOneCardIsCoveredAndACoveredCardTurnsBackUp)
{
    SecondRound();
    RightClick(1);
    EXPECT_EQ(Table().picJog(1).Tag, "Costas");
    EXPECT_TRUE(ShowsBack(1));

    RightClick(3);
    EXPECT_EQ(Table().picJog(1).Tag, "");
    EXPECT_TRUE(ShowsFace(1));
    EXPECT_EQ(Table().picJog(3).Tag, "Costas");
    EXPECT_TRUE(ShowsBack(3));

    RightClick(3);
    EXPECT_EQ(Table().picJog(3).Tag, "");
    EXPECT_TRUE(ShowsFace(3));
    EXPECT_EQ(PopupMessage, "");

    // A covered card played in round 2 keeps its tag; the last card can still be covered in round 3.
    RightClick(1);
    Players(1).Cards(1) = 0;
    Table().picJog(1).Visible = false;
    Hand.RoundNo = 3;
    RightClick(2);
    EXPECT_EQ(Table().picJog(2).Tag, "Costas");
    EXPECT_TRUE(ShowsBack(2));
}

TEST_F(CardPlay, LeftClickRefusedOutOfTurnOrWhileLocked)
{
    for (int turn : {1, 2}) {
        DealTo(turn);
        Hand.InputLocked = turn == 1;
        const bool locked = Hand.InputLocked;
        const auto before = Players(1).Cards;
        Table().picJog(2).ClickWith();
        EXPECT_EQ(Players(1).Cards(2), before(2)) << turn;
        EXPECT_EQ(Hand.Turn, turn);
        EXPECT_EQ(Hand.InputLocked, locked);
        EXPECT_FALSE(Table().picLance(1).Visible());
        EXPECT_FALSE(Table().PlayInProgress);
    }
}

TEST_F(CardPlay, ACoveredCardLosesTheRoundAndLiesOnThePileShowingItsBack)
{
    SecondRound();
    Hand.LastRaiser = 2; // the computer does not raise
    Hold(1, {13, 5, 0});
    Hold(2, {4, 6, 0});
    RightClick(1);
    Table().picJog(1).ClickWith();

    // The computer took the round with its lowest card and led the third with its last.
    EXPECT_EQ(Hand.RoundWinner(2), 2);
    EXPECT_EQ(PictureOf(Table().Jogada1(2)), PictureOf(Table().Verso(CardBack)));
    EXPECT_EQ(PictureOf(Table().Jogada2(2)), PictureOf(Table().Frente(CardOf(4))));
    EXPECT_EQ(Table().lblVenceu(2).Caption(), "Computador");
    EXPECT_EQ(Hand.RoundNo, 3);
    EXPECT_EQ(Players(1).Cards(1), 0);
    EXPECT_EQ(Players(2).Cards(1), 0);
    EXPECT_TRUE(Table().picLance(2).Visible());
    EXPECT_EQ(Hand.Turn, 1);
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_FALSE(Table().PlayInProgress);
    EXPECT_EQ(Table().lblMens.Caption(), QString::fromUtf8("Faça a sua jogada!"));
}

TEST_F(CardPlay, TheOpponentsCardNeedsItsTurnAndACardInTheSlot)
{
    DealTo(1);
    Table().PlayOpponentCard(1);
    EXPECT_NE(Players(2).Cards(1), 0) << "not its turn";
    Hand.Turn = 2;
    Players(2).Cards(2) = 0;
    for (int slot : {0, 2, 4})
        Table().PlayOpponentCard(static_cast<std::uint8_t>(slot));
    EXPECT_EQ(Hand.Turn, 2);
    EXPECT_FALSE(Table().picLance(2).Visible());
}

using RaiseAndRun = GameTest;

TEST_F(RaiseAndRun, TheRaiseLabelRefuses)
{
    struct Case {
        const char* what;
        bool handShown;
        int stake, lastRaiser, turn;
        bool locked;
        QString popup; // empty: a beep or nothing, never a popup
    };
    const Case cases[] = {
        {"no hand in play", false, 1, 0, 1, false, ""},
        {"stake 12 beeps before anything else", true, 12, 1, 2, false, ""},
        {"locked input beeps", true, 1, 1, 2, true, ""},
        {"own raise accepted", true, 3, 1, 1, false, WaitToRaise},
        {"not his turn", true, 1, 0, 2, false, WaitToRaise},
    };
    for (const Case& c : cases) {
        DealTo(1);
        if (!c.handShown)
            ClearTable();
        Hand.Stake = static_cast<std::uint8_t>(c.stake);
        Hand.LastRaiser = static_cast<std::uint8_t>(c.lastRaiser);
        Hand.Turn = static_cast<std::int16_t>(c.turn);
        Hand.InputLocked = c.locked;
        PopupMessage.clear();
        RaiseAnswerer player({}); // the computer must not be asked either

        Table().lblVorla.ClickWith();
        EXPECT_EQ(PopupMessage, c.popup) << c.what;
        EXPECT_EQ(Hand.Stake, c.stake) << c.what;
        EXPECT_EQ(Hand.LastRaiser, c.lastRaiser) << c.what;
        EXPECT_EQ(Hand.InputLocked, c.locked) << c.what;
        EXPECT_EQ(Players(1).Points + Players(2).Points, 0) << c.what;
    }
}

TEST_F(RaiseAndRun, RunningGivesTheOpponentTheStakeAndDealsTheNextHand)
{
    DealTo(1);
    Hand.Stake = 3;
    Table().lblCorrer.ClickWith();
    EXPECT_EQ(Players(2).Points, 3);
    EXPECT_EQ(Players(1).Points, 0);
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_EQ(Hand.RoundNo, 1);
    EXPECT_EQ(Table().lblRodada(2).Caption(), "3");
    EXPECT_TRUE(Table().picJog(3).Visible());
    EXPECT_FALSE(Hand.InputLocked);
}

TEST_F(RaiseAndRun, RunningIsRefusedOutOfTurnOrWhileLocked)
{
    for (int turn : {1, 2}) {
        DealTo(turn);
        Hand.InputLocked = turn == 1;
        const bool locked = Hand.InputLocked;
        Table().lblCorrer.ClickWith();
        EXPECT_EQ(Players(1).Points + Players(2).Points, 0) << turn;
        EXPECT_EQ(Hand.InputLocked, locked);
        EXPECT_EQ(Hand.Turn, turn);
    }
}

} // namespace
