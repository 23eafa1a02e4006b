#include "tablefixture.h"

#include "game/frmBaralho.h"
#include "shell/modReg.h"

namespace {

class Table : public TableTest {};

TEST_F(Table, NewGameAndOptionsAreRefusedWhileInputIsLockedTheRestAlwaysWork)
{
    frmVorla& t = table();
    Hand.InputLocked = true;
    for (int i : {0, 1}) {
        t.lblMenu(i).ForeColor = Qt::white;
        OptionsChanged = true;
        t.lblMenu(i).ClickWith();
        EXPECT_TRUE(OptionsChanged) << "item " << i << " did something";
        EXPECT_EQ(t.lblMenu(i).ForeColor(), QColor(Qt::white)) << "not even the colour is reset";
    }
    t.lblMenu(2).ForeColor = Qt::white;
    OptionsChanged = true;
    bool chooserShown = false;
    QTimer::singleShot(0, [&] {
        chooserShown = frmBaralho::Loaded();
        if (chooserShown)
            frmBaralho::Get().close();
    });
    t.lblMenu(2).ClickWith();
    EXPECT_TRUE(chooserShown);
    EXPECT_FALSE(OptionsChanged);
    EXPECT_EQ(t.lblMenu(2).ForeColor(), vb::GetSystemColor(vb::SystemColor::ButtonText));
}

TEST_F(Table, LeavingSavesTheNameAndEndsTheProgram)
{
    Players(1).Name = "Joana Prado";
    table().lblMenu(5).ClickWith();
    EXPECT_TRUE(ended);
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, SettingsKey, "Nome", "?"), "Joana Prado");
}

TEST_F(Table, HoverLiftsACardAndTheFeltPutsItBackUnlessOneIsBeingPlayed)
{
    frmVorla& t = table();
    t.picJog(2).Visible = true;
    t.RaiseMouseMove(); // the pointer crosses the felt first
    t.picJog(2).RaiseMouseMove();
    EXPECT_EQ(t.picJog(2).Left(), 4770);
    EXPECT_EQ(t.picJog(2).Top(), 5760);
    EXPECT_TRUE(t.imgSombra.Visible);
    EXPECT_EQ(t.imgSombra.Left(), 4785);
    t.picJog(3).RaiseMouseMove();
    EXPECT_EQ(t.picJog(3).Top(), frmVorla::HandTop) << "one card lifted at a time";

    t.PlayInProgress = true;
    t.RaiseMouseMove();
    EXPECT_EQ(t.picJog(2).Top(), 5760);
    t.PlayInProgress = false;
    t.RaiseMouseMove();
    EXPECT_EQ(t.picJog(2).Top(), frmVorla::HandTop);
    EXPECT_FALSE(t.imgSombra.Visible);
}

TEST_F(Table, TheDealShowsBothHandsTheTurnedCardAndWhoBegins)
{
    frmVorla& t = table();
    CutWhenAsked();
    Hand.PlayerLeads = true;
    Hand.Turn = 1;
    t.StartGame();
    EXPECT_EQ(cutsMade, 1);
    EXPECT_FALSE(Hand.PlayerLeads) << "every deal inverts the lead flag";
    EXPECT_EQ(Hand.RoundNo, 1);
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_EQ(t.lblMens.Caption(), QString::fromUtf8("Você começa o jogo!"));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(t.picJog(i).Visible);
        EXPECT_TRUE(t.picJog(i).Picture == t.Frente(Players(1).Cards(i)).Picture);
        EXPECT_TRUE(t.picMac(i).Picture == t.Verso(CardBack).Picture);
        EXPECT_FALSE(t.picCarta(i).Visible);
    }
    EXPECT_TRUE(t.CartaVira.Visible);
    EXPECT_TRUE(t.CartaVira.Picture == t.Frente(Hand.Vira).Picture);
    EXPECT_EQ(Players(2).Name, "Computador");
}

TEST_F(Table, UnderTheOldRuleTheTurnedCardIsNeverShown)
{
    Hand.NewManilha = false;
    Hand.Turn = 2;
    table().StartGame(); // no cut: the lead flag is clear
    EXPECT_FALSE(table().CartaVira.Visible);
    EXPECT_TRUE(Hand.InputLocked);
    EXPECT_EQ(table().lblMens.Caption(), QString::fromUtf8("Aguarde o adversário jogar!"));
}

TEST_F(Table, AStrayClickOnTheLastSpreadDoesNotCutTheNextDeck)
{
    frmVorla& t = table();
    Hand.DeckCut = true; // left over from before
    bool waitedForTheCut = false;
    std::function<void()> look = [&] {
        if (!t.lblbaralho.Visible) {
            QTimer::singleShot(0, look);
            return;
        }
        waitedForTheCut = !Hand.DeckCut;
        t.picCarta(40).ClickWith();
    };
    QTimer::singleShot(0, look);
    t.ShuffleAndCut();
    EXPECT_TRUE(waitedForTheCut);
    EXPECT_FALSE(t.lblbaralho.Visible);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(t.picBar(i).Visible);
}

TEST_F(Table, AMatchReplacedWhileTheSpreadIsPutAwayGetsNoDeckStack)
{
    frmVorla& t = table();
    bool cut = false, replaced = false;
    std::function<void()> look = [&] {
        if (t.lblbaralho.Visible) {
            t.picCarta(40).ClickWith();
            cut = true;
        }
        if (!cut || t.picCarta(1).Visible) {
            QTimer::singleShot(0, look);
            return;
        }
        // The spread is being put away: the peer leaves now.
        ResetMatch();
        ClearTable();
        replaced = true;
    };
    QTimer::singleShot(0, look);
    t.ShuffleAndCut();
    ASSERT_TRUE(replaced);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(t.picBar(i).Visible) << i;
}

TEST_F(Table, BothAtElevenInTheDarkDealsFaceDownWithoutAQuestion)
{
    frmVorla& t = table();
    Players(1).Points = Players(2).Points = 11;
    Hand.PlayInDark = true;
    Hand.Turn = 1;
    t.StartGame();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_FALSE(t.lblVorla.Enabled) << "no raises in an eleven-point hand";
    EXPECT_FALSE(t.CartaVira.Enabled);
    EXPECT_TRUE(t.CartaVira.Picture == t.Verso(CardBack).Picture);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(t.picJog(i).Picture == t.Verso(CardBack).Picture);
    EXPECT_EQ(t.lblMens.Caption(), QString::fromUtf8("A rodada vale o jogo! Faça a sua jogada!"));
}

TEST_F(Table, ThePlayerAtElevenPlaysForThreeOrGivesTheHandAway)
{
    frmVorla& t = table();
    Players(1).Points = 11;
    Hand.Turn = 1;
    answer = vb::vbYes;
    t.StartGame();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QString::fromUtf8("Você tem 11 pontos! Deseja jogar com estas cartas?"));
    EXPECT_EQ(boxes[0].style, vb::vbYesNo | vb::vbQuestion);
    EXPECT_EQ(Hand.Stake, 3);
    EXPECT_EQ(t.lblValendo.Caption(), "Valendo 3");
    EXPECT_FALSE(Hand.InputLocked);

    // Declining: the opponent scores the hand's 1 point and the next hand is dealt.
    answers = {vb::vbNo}; // then yes
    CutWhenAsked();
    Players(2).Points = 4;
    boxes.clear();
    t.DealHand();
    EXPECT_EQ(Players(2).Points, 5);
    EXPECT_GE(boxes.size(), 2u) << "the next hand asks again";
}

TEST_F(Table, AnElevenPointAnswerGivenAfterTheMatchWasReplacedChangesNothing)
{
    for (int reply : {vb::vbYes, vb::vbNo}) {
        Players(1).Points = 11;
        Players(2).Points = 4;
        Hand.Turn = 1;
        // The peer leaves while the question is open: the match is reset under it.
        vb::SetMsgBoxResponder([reply](const vb::MsgBoxRequest&) {
            ResetMatch();
            return reply;
        });
        table().StartGame();
        EXPECT_EQ(Players(1).Points, 0) << reply;
        EXPECT_EQ(Players(2).Points, 0) << reply;
        EXPECT_EQ(Hand.Stake, 1) << reply;
        EXPECT_TRUE(Hand.InputLocked) << reply;
    }
}

TEST_F(Table, TheComputerAtElevenRunsWithAWeakHand)
{
    frmVorla& t = table();
    CutWhenAsked();
    Players(2).Points = 11;
    Hand.NewManilha = false;
    Players(1).Cards(1) = 1; // the strongest manilha
    Players(1).Cards(2) = 40;
    Players(1).Cards(3) = 36;
    Players(2).Cards(1) = 5;
    Players(2).Cards(2) = 9;
    Players(2).Cards(3) = 6;
    Hand.Vira = 20;
    Hand.Turn = 1;
    const QStringList shown = shownDuring([&] { t.DealHand(); });
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.mid(0, 2), (QStringList{QString::fromUtf8("Não tenho nada eu corro !"),
                                            QString::fromUtf8("Você ganhou a carteada!")}));
    // The local player scores the hand's single point; the next deal may see
    // the computer run again.
    EXPECT_GE(Players(1).Points, 1);
    EXPECT_EQ(Players(2).Points, 11);
}

TEST_F(Table, AStoppedFlightLeavesNothingOutOfPlaceAfterTheTableIsCleared)
{
    frmVorla& t = table();
    t.picBar(1).Move(1000, 1000);
    t.picMac(2).Move(5000, 3000);
    t.picLance(1).Move(375, 1065);
    ClearTable();
    EXPECT_EQ(t.picBar(1).Left(), 8265);
    EXPECT_EQ(t.picBar(1).Top(), 3300);
    EXPECT_EQ(t.picMac(2).Left(), 4785);
    EXPECT_EQ(t.picMac(2).Top(), 555);
    EXPECT_EQ(t.picLance(1).Left(), 4860);
    EXPECT_FALSE(t.picLance(1).Visible);
}

TEST_F(Table, ADealWhoseMatchIsReplacedInItsFirstFlightStopsThere)
{
    frmVorla& t = table();
    Hand.Turn = 1;
    ShuffleAndDeal();
    bool replaced = false;
    std::vector<QPoint> deckAfter;
    gametest::Looker looker;
    looker.Start([&] {
        if (replaced) {
            deckAfter.emplace_back(t.picBar(1).Left, t.picBar(1).Top);
            return;
        }
        replaced = true;
        ResetMatch();
        ClearTable();
    });
    t.DealHand();
    vb::DoEvents();
    looker.Stop();
    ASSERT_FALSE(deckAfter.empty());
    for (const QPoint& p : deckAfter)
        EXPECT_EQ(p, QPoint(8265, 3300)) << "the new match's deck stack stays in its place";
    EXPECT_FALSE(t.picJog(1).Visible) << "no card of the old deal is shown";
}

} // namespace
