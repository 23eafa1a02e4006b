// The table's small dialogs: the card-back chooser, the manilha chart, and
// what the table does around them and around the options and the about box.
#include "support/qtprint.h"
#include "tablefixture.h"

#include "game/frmBaralho.h"
#include "game/frmManilhas.h"
#include "platform/registry.h"
#include "shell/frmOption.h"
#include "shell/frmSobre.h"
#include "shell/modReg.h"

#include <QTemporaryDir>
#include <QWindow>

#include <optional>
#include <ostream>

namespace {

class TableDialogs : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", store_.path().toLocal8Bit());
    }
    void TearDown() override
    {
        looking_ = false;
        for (vb::Form* f : std::initializer_list<vb::Form*>{frmBaralho::IfLoaded(), frmManilhas::IfLoaded(),
                                                            frmOption::IfLoaded(), frmSobre::IfLoaded()})
            if (f)
                f->Unload();
        TableTest::TearDown();
        qputenv("XDG_CONFIG_HOME", savedConfig_);
    }

    // Acts on dialog F as the player once the table has shown it (inside its
    // modal loop), then closes it by its close box if it is still open.
    template <class F>
    void WhenShown(std::function<void(F&)> act)
    {
        looking_ = true;
        int tries = 0;
        look_ = [this, act, tries]() mutable {
            F* dialog = F::IfLoaded();
            if (!looking_)
                return;
            if (!dialog || !dialog->isVisible()) {
                if (++tries < 10000)
                    QTimer::singleShot(0, look_);
                return;
            }
            looking_ = false;
            ++dialogsSeen;
            act(*dialog);
            if (F* still = F::IfLoaded())
                still->close();
        };
        QTimer::singleShot(0, look_);
    }
    int dialogsSeen = 0;

    static std::optional<QString> Stored(const char* name)
    {
        const auto bytes = registry::QueryValue(registry::Hive::LocalMachine, SettingsKey, name);
        return bytes ? std::optional<QString>(QString::fromLatin1(*bytes)) : std::nullopt;
    }

    // A hand on the table: dealt with the local player cutting and leading.
    void DealAHand()
    {
        CutWhenAsked();
        Hand.PlayerLeads = true;
        Hand.Turn = 1;
        table().StartGame();
        ASSERT_EQ(cutsMade, 1);
        ASSERT_FALSE(Hand.InputLocked);
    }

private:
    QTemporaryDir store_;
    QByteArray savedConfig_;
    bool looking_ = false;
    std::function<void()> look_;
};

// A card is cut round: its corners are left out, its middle is kept.
bool CutRound(const vb::PictureBox& card)
{
    const QRegion shape = card.mask();
    return !shape.contains(QPoint(0, 0)) && !shape.contains(QPoint(70, 95)) && shape.contains(QPoint(35, 48))
           && shape.contains(QPoint(0, 48));
}

using CardBackChooser = TableDialogs;

TEST_F(CardBackChooser, ShowsTheTenBacksCutRoundUnderAHandPointer)
{
    frmBaralho& chooser = frmBaralho::Get();
    for (int i = 1; i <= 10; ++i) {
        vb::PictureBox& back = chooser.CartaVerso(i);
        EXPECT_TRUE(back.Picture() == table().Verso(i).Picture()) << i;
        EXPECT_EQ(back.Width(), 1065);
        EXPECT_EQ(back.Height(), 1440);
        EXPECT_TRUE(CutRound(back)) << i;
        EXPECT_EQ(back.GetMousePointer(), vb::MousePointer::Custom);
    }
    EXPECT_EQ(chooser.shpBaralho.BorderColor(), QColor(0xFF, 0x80, 0x00));
    EXPECT_EQ(chooser.shpBaralho.BorderWidth(), 6);
}

TEST_F(CardBackChooser, TheFrameFollowsThePointerFromBackToBack)
{
    frmBaralho& chooser = frmBaralho::Get();
    vb::Shape& frame = chooser.shpBaralho;
    auto surrounds = [&](int i) {
        const vb::PictureBox& back = chooser.CartaVerso(i);
        const int border = 6 * 15;
        return frame.Visible() && frame.Left < back.Left && frame.Top < back.Top
               && frame.Left + frame.Width > back.Left + back.Width
               && frame.Top + frame.Height > back.Top + back.Height && back.Left - frame.Left < border
               && back.Top - frame.Top < border;
    };
    for (int i : {3, 8, 10, 1}) {
        chooser.CartaVerso(i).RaiseMouseMove();
        EXPECT_TRUE(surrounds(i)) << i;
    }
    chooser.RaiseMouseMove(); // between the backs
    EXPECT_TRUE(surrounds(1)) << "the frame stays where it was last moved";
    EXPECT_TRUE(frame.testAttribute(Qt::WA_TransparentForMouseEvents)) << "the frame takes no click from a back";
}

TEST_F(CardBackChooser, AClickChoosesSavesAndCloses)
{
    frmBaralho::Get().CartaVerso(7).ClickWith();
    EXPECT_EQ(CardBack, 7);
    EXPECT_EQ(Stored("Verso"), "7");
    EXPECT_TRUE(OptionsChanged);
    EXPECT_FALSE(frmBaralho::Loaded());
}

TEST_F(CardBackChooser, TheTableRepaintsEveryFaceDownCardAndLeavesTheFaces)
{
    frmVorla& t = table();
    const vb::Picture oldBack = t.Verso(1).Picture;
    const vb::Picture otherBack = t.Verso(2).Picture;
    const vb::Picture face = t.Frente(9).Picture;
    const vb::Picture newBack = t.Verso(7).Picture;
    for (int i = 1; i <= 4; ++i)
        t.picBar(i).Picture = oldBack;
    // What a hand in the dark with a card played face down leaves on the table.
    t.picJog(1).Picture = oldBack;
    t.picJog(2).Picture = face;
    t.picJog(3).Picture = otherBack; // not the back the deck shows
    t.picMac(1).Picture = oldBack;
    t.picMac(2).Picture = face; // the computer's card shown at the end of a hand
    t.picMac(3).Picture = vb::Picture();
    t.Jogada1(1).Picture = face;
    t.Jogada2(1).Picture = oldBack;
    t.Jogada1(2).Picture = oldBack;
    t.Jogada2(2).Picture = face;
    t.Jogada1(3).Picture = t.Jogada2(3).Picture = vb::Picture();
    t.CartaVira.Picture = oldBack;
    t.picLance(1).Picture = face;
    t.picLance(2).Picture = oldBack;
    t.picCarta(5).Picture = oldBack;

    WhenShown<frmBaralho>([](frmBaralho& chooser) { chooser.CartaVerso(7).ClickWith(); });
    t.lblMenu(2).ClickWith();
    ASSERT_EQ(dialogsSeen, 1);
    EXPECT_EQ(Stored("Verso"), "7");

    auto is = [](const vb::PictureBox& card, const vb::Picture& picture) { return card.Picture() == picture; };
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(is(t.picBar(i), newBack)) << "deck " << i;
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(is(t.picMac(i), newBack)) << "opponent's hand " << i;
    EXPECT_TRUE(is(t.picJog(1), newBack));
    EXPECT_TRUE(is(t.picJog(2), face));
    EXPECT_TRUE(is(t.picJog(3), otherBack));
    EXPECT_TRUE(is(t.Jogada1(1), face));
    EXPECT_TRUE(is(t.Jogada2(1), newBack));
    EXPECT_TRUE(is(t.Jogada1(2), newBack));
    EXPECT_TRUE(is(t.Jogada2(2), face));
    EXPECT_TRUE(is(t.Jogada1(3), nullptr));
    EXPECT_TRUE(is(t.CartaVira, newBack));
    EXPECT_TRUE(is(t.picLance(1), face));
    EXPECT_TRUE(is(t.picLance(2), newBack));
    EXPECT_TRUE(is(t.picCarta(5), oldBack)) << "the spread deck takes the back at the next cut";
}

TEST_F(CardBackChooser, ClosedWithoutAChoiceNothingChanges)
{
    frmVorla& t = table();
    const vb::Picture oldBack = t.Verso(1).Picture;
    t.picBar(1).Picture = t.picMac(1).Picture = oldBack;
    Hand.InputLocked = true; // the chooser opens even while the opponent plays
    OptionsChanged = true;
    WhenShown<frmBaralho>([](frmBaralho& chooser) { chooser.CartaVerso(4).RaiseMouseMove(); });
    t.lblMenu(2).ClickWith();
    ASSERT_EQ(dialogsSeen, 1);
    EXPECT_FALSE(OptionsChanged) << "the menu clears it before showing the chooser";
    EXPECT_EQ(CardBack, 1);
    EXPECT_FALSE(Stored("Verso"));
    EXPECT_TRUE(t.picBar(1).Picture() == oldBack);
    EXPECT_TRUE(t.picMac(1).Picture() == oldBack);
}

using ManilhaChart = TableDialogs;

TEST_F(ManilhaChart, ShowsTheFourCardsOfTheRankAboveTheTurnedCardStrongestFirst)
{
    struct Case {
        int vira;
        bool fullDeck;
        int first; // the card of suit 1 shown first
    };
    const Case cases[] = {
        {13, true, 17},  // 7 of clubs: the queens
        {16, false, 17}, // 7 of diamonds, short deck: still the queens
        {40, true, 1},   // 3 of diamonds: the 4s
        {37, true, 1},   // 3 of clubs
        {40, false, 17}, // 3 with the short deck: the queens, its lowest cards
        {34, true, 37},  // 2 of hearts: the 3s
        {1, true, 5},    // 4 of clubs: the 5s
        {29, false, 33}, // ace of clubs: the 2s
    };
    for (const Case& c : cases) {
        Hand.Vira = static_cast<std::uint8_t>(c.vira);
        Hand.DirtyDeck = c.fullDeck;
        frmManilhas& chart = frmManilhas::Get();
        for (int i = 1; i <= 4; ++i) {
            EXPECT_TRUE(chart.picManilha(i).Picture() == table().Frente(c.first + i - 1).Picture())
                << "turned " << c.vira << ", place " << i;
            EXPECT_TRUE(CutRound(chart.picManilha(i))) << i;
        }
        chart.Unload();
    }
}

TEST_F(ManilhaChart, AClickOnTheTurnedCardShowsTheChartOverTheTable)
{
    DealAHand();
    frmVorla& t = table();
    ASSERT_TRUE(t.CartaVira.Visible);
    const int vira = Hand.Vira;
    const int first = vira >= 37 ? 1 : (vira - 1) / 4 * 4 + 5;
    WhenShown<frmManilhas>([&](frmManilhas& chart) {
        EXPECT_TRUE(chart.IsModal());
        EXPECT_EQ(chart.windowHandle()->transientParent(), t.windowHandle()) << "owned by the table";
        EXPECT_TRUE(chart.picManilha(1).Picture() == t.Frente(first).Picture());
    });
    t.CartaVira.ClickWith();
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_FALSE(frmManilhas::Loaded());
    EXPECT_EQ(Hand.Vira, vira);
}

using TableOptions = TableDialogs;

TEST_F(TableOptions, ANewDeckDealsTheHandAgainWithThePlayerCuttingAndLeading)
{
    DealAHand();
    frmVorla& t = table();
    t.lblMens.Caption = "";
    // A raise of this hand was accepted: the label offers the next call.
    Hand.Stake = 3;
    t.lblVorla.Caption = "Seis";
    WhenShown<frmOption>([](frmOption& d) {
        d.optTipoBar(2).ClickWith();
        d.cmdOk.ClickWith();
    });
    t.lblMenu(1).ClickWith();
    ASSERT_EQ(dialogsSeen, 1);
    EXPECT_EQ(cutsMade, 2) << "dealt again, the local player cutting";
    EXPECT_FALSE(Hand.DirtyDeck);
    for (int p = 1; p <= 2; ++p)
        for (int i = 1; i <= 3; ++i)
            EXPECT_GE(Players(p).Cards(i), 17) << "from the short deck";
    EXPECT_GE(Hand.Vira, 17);
    EXPECT_EQ(t.lblMens.Caption(), QString::fromUtf8("Você começa o jogo!"));
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_EQ(Hand.Stake, 1);
    EXPECT_EQ(t.lblVorla.Caption(), "Vorla") << "the new hand's first call";
    EXPECT_EQ(Stored("Baralho Sujo"), "False");
}

TEST_F(TableOptions, OtherChangesOrNoHandOnTheTableDealNothing)
{
    DealAHand();
    frmVorla& t = table();
    const QString dealt = Hand.DealtCards;
    WhenShown<frmOption>([](frmOption& d) {
        d.chkSom.ClickWith();
        d.opt11x11(2).ClickWith();
        d.cmdOk.ClickWith();
    });
    t.lblMenu(1).ClickWith();
    ASSERT_EQ(dialogsSeen, 1);
    EXPECT_EQ(cutsMade, 1);
    EXPECT_EQ(Hand.DealtCards, dealt);
    EXPECT_TRUE(Hand.PlayInDark);

    ClearTable(); // between matches: no hand card shown
    WhenShown<frmOption>([](frmOption& d) {
        d.optManilha(2).ClickWith();
        d.cmdOk.ClickWith();
    });
    t.lblMenu(1).ClickWith();
    ASSERT_EQ(dialogsSeen, 2);
    EXPECT_FALSE(Hand.NewManilha);
    EXPECT_EQ(cutsMade, 1);
    EXPECT_EQ(Hand.DealtCards, dealt);
}

TEST_F(TableOptions, TheAboutBoxOpensFromTheMenuAndChangesNothing)
{
    frmVorla& t = table();
    Hand.InputLocked = true;
    WhenShown<frmSobre>([](frmSobre& about) {
        EXPECT_TRUE(about.IsModal());
        EXPECT_TRUE(about.lbSoftware.Caption().startsWith("Software: "));
    });
    t.lblMenu(4).ClickWith();
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_FALSE(frmSobre::Loaded());
    EXPECT_TRUE(Hand.InputLocked);
}

} // namespace
