// The raise-answer dialog, the popup and the winner announcement.
#include "gamefixture.h"

#include "platform/forms/pace.h"

#include <set>
#include <string>

namespace {

using namespace gametest;

using AnswerDialog = GameTest;

TEST_F(AnswerDialog, ShoutAndRaiseAgainForEachStake)
{
    struct Rung {
        int stake;
        int shouts;          // how many different shouts it draws from
        const char* call;    // what every shout of the list says
        const char* raiseAgain;
    };
    for (const Rung& rung : {Rung{1, 8, "Vo", "Pedir 6"}, Rung{3, 6, "Seeeeeiiiiisss... ", "Pedir 9"},
                             Rung{6, 5, "No", "Pedir 12"}, Rung{9, 5, "oz", nullptr}}) {
        Hand.Stake = static_cast<std::uint8_t>(rung.stake);
        std::set<QString> drawn;
        for (std::uint64_t seed = 1; seed <= 200; ++seed) {
            vb::Randomize(seed);
            frmVorlada& dialog = frmVorlada::Get();
            drawn.insert(dialog.lblGrito.Caption);
            EXPECT_EQ(dialog.Retorno(2).Visible(), rung.raiseAgain != nullptr) << rung.stake;
            if (rung.raiseAgain) {
                EXPECT_EQ(dialog.Retorno(2).Caption(), rung.raiseAgain);
            }
            dialog.Unload();
        }
        EXPECT_EQ(static_cast<int>(drawn.size()), rung.shouts) << rung.stake;
        for (const QString& shout : drawn)
            EXPECT_TRUE(shout.contains(rung.call)) << shout.toStdString();
    }

    // Past the ladder there is nothing to raise to, and no shout is drawn.
    for (int stake : {12, 0, 2}) {
        Hand.Stake = static_cast<std::uint8_t>(stake);
        frmVorlada& dialog = frmVorlada::Get();
        EXPECT_FALSE(dialog.Retorno(2).Visible()) << stake;
        EXPECT_EQ(dialog.lblGrito.Caption(), QString::fromUtf8("Voooooorlaaaaa... Vamos com três tentos!!!"));
        dialog.Unload();
    }
}

TEST_F(AnswerDialog, EachAnswerSetsTheResultAndUnloads)
{
    struct Case {
        int stake, answer, stakeAfter;
    };
    for (const Case& c : {Case{1, 1, 3}, Case{1, 2, 3}, Case{1, 3, 1}, Case{3, 2, 6}, Case{6, 1, 9}, Case{9, 1, 12},
                          Case{9, 3, 9}, Case{12, 1, 12}, Case{12, 2, 12}}) {
        Hand.Stake = static_cast<std::uint8_t>(c.stake);
        Hand.LastRaiser = 1;
        Hand.RaiseAnswer = 0;
        RaiseAnswerer player({c.answer});
        frmVorlada::Get().Show(vb::vbModal, &Table());
        EXPECT_EQ(Hand.Stake, c.stakeAfter) << c.stake << " answered " << c.answer;
        EXPECT_EQ(Hand.LastRaiser, 2);
        EXPECT_EQ(Hand.RaiseAnswer, c.answer);
        EXPECT_FALSE(frmVorlada::Loaded());
    }
}

TEST_F(AnswerDialog, ACloseRequestIsRefused)
{
    Hand.Stake = 3;
    Hand.RaiseAnswer = 0;
    bool stayed = false;
    QTimer::singleShot(0, [&] {
        frmVorlada& dialog = frmVorlada::Get();
        dialog.close();
        stayed = frmVorlada::Loaded() && dialog.isVisible() && Hand.RaiseAnswer == 0;
        dialog.Retorno(3).ClickWith();
    });
    frmVorlada::Get().Show(vb::vbModal, &Table());
    EXPECT_TRUE(stayed);
    EXPECT_EQ(Hand.RaiseAnswer, 3);
    EXPECT_EQ(Hand.Stake, 3);
}

using Popup = GameTest;

TEST_F(Popup, ShowsTheMessageAndClosesItself)
{
    for (const char* text : {"Aguarde a sua vez de vorlar!", "Outra coisa"}) {
        PopupMessage = text;
        frmMSG& popup = frmMSG::Get();
        EXPECT_EQ(popup.lblMessage.Caption(), text);
        popup.Show(vb::vbModal);
        EXPECT_FALSE(frmMSG::Loaded()) << text;
    }
}

using Announcement = GameTest;

TEST_F(Announcement, NamesTheWinnerShowsMatchesWonAndStartsTheNextMatch)
{
    struct Case {
        int points1, points2, won1, won2;
        QString winner;
    };
    for (const Case& c : {Case{12, 7, 2, 1, "Ana"}, Case{13, 11, 1, 0, "Ana"}, Case{11, 14, 0, 3, "Computador"},
                          Case{7, 12, 4, 5, "Computador"}}) {
        Players(1).Points = static_cast<std::uint8_t>(c.points1);
        Players(2).Points = static_cast<std::uint8_t>(c.points2);
        Players(1).MatchesWon = static_cast<std::uint8_t>(c.won1);
        Players(2).MatchesWon = static_cast<std::uint8_t>(c.won2);
        frmVenceu& announcement = frmVenceu::Get();
        EXPECT_EQ(announcement.lblVencedor.Caption(), c.winner);
        EXPECT_EQ(announcement.lblNome(1).Caption(), "Ana");
        EXPECT_EQ(announcement.lblNome(2).Caption(), "Computador");
        EXPECT_EQ(announcement.lblPlacar(1).Caption(), QString::number(c.won1));
        EXPECT_EQ(announcement.lblPlacar(2).Caption(), QString::number(c.won2));
        // The table's score board shows the final points; the new match starts at 0.
        EXPECT_EQ(Table().lblRodada(1).Caption(), QString::number(c.points1));
        EXPECT_EQ(Table().lblRodada(2).Caption(), QString::number(c.points2));
        EXPECT_EQ(Players(1).Points, 0);
        EXPECT_EQ(Players(2).Points, 0);
        announcement.Show(vb::vbModal, &Table());
        EXPECT_FALSE(frmVenceu::Loaded());
    }
}

// Two self-closing windows, one opened over the other: the one below closes
// when its time comes although another is above it, and both callers return.
class StackedWindows : public GameTest {
protected:
    // At the normal pace no timer fires during the test: the test gives the
    // ticks itself, the lower window's first.
    void SetUp() override
    {
        GameTest::SetUp();
        vb::SetPaceFactor(1);
    }
    void TearDown() override
    {
        vb::SetPaceFactor(0);
        GameTest::TearDown();
    }

    static void TickPopup()
    {
        if (auto* popup = frmMSG::IfLoaded())
            popup->tmrClose_Timer();
    }
    static void TickAnnouncement()
    {
        if (auto* announcement = frmVenceu::IfLoaded())
            announcement->tmrClose_Timer();
    }

    void ShowPopup()
    {
        PopupMessage = "x";
        frmMSG::Get().Show(vb::vbModal);
        journal.push_back(frmVenceu::Loaded() ? "popup returned over the announcement" : "popup returned");
    }
    void ShowAnnouncement()
    {
        Players(1).Points = 12;
        frmVenceu::Get().Show(vb::vbModal, &Table());
        journal.push_back(frmMSG::Loaded() ? "announcement returned under the popup" : "announcement returned");
    }

    // Shows `lower`, then `upper` over it; inside the upper window's loop the
    // lower window's tick comes, then the upper's.
    void Stack(std::function<void()> lower, std::function<void()> upper, void (*lowerTick)(),
               void (*upperTick)())
    {
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                lowerTick();
                lowerClosedUnderneath = !frmMSG::Loaded() || !frmVenceu::Loaded();
                QTimer::singleShot(0, upperTick);
            });
            upper();
        });
        lower();
    }

    std::vector<std::string> journal;
    bool lowerClosedUnderneath = false;
};

TEST_F(StackedWindows, AnAnnouncementBelowAPopup)
{
    Stack([this] { ShowAnnouncement(); }, [this] { ShowPopup(); }, TickAnnouncement, TickPopup);
    EXPECT_TRUE(lowerClosedUnderneath);
    EXPECT_EQ(journal, (std::vector<std::string>{"popup returned", "announcement returned"}));
    EXPECT_FALSE(frmMSG::Loaded() || frmVenceu::Loaded());
}

TEST_F(StackedWindows, APopupBelowAnAnnouncement)
{
    Stack([this] { ShowPopup(); }, [this] { ShowAnnouncement(); }, TickPopup, TickAnnouncement);
    EXPECT_TRUE(lowerClosedUnderneath);
    EXPECT_EQ(journal, (std::vector<std::string>{"announcement returned", "popup returned"}));
    EXPECT_FALSE(frmMSG::Loaded() || frmVenceu::Loaded());
}

} // namespace
