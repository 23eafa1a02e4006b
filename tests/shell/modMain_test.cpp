// The settings start-up reads, with their defaults and the guards on what a
// damaged store may hold.
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/winsock_support.h"
#include "shell/modFunoes.h"
#include "shell/modMain.h"
#include "shell/modReg.h"
#include "socket/CNetSocket.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class StartupSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", folder_.path().toLocal8Bit());
        Hand = {};
        CardBack = 0;
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", previous_); }

    static void Store(const QString& value, const QString& text)
    {
        RegSaveString(HKEY_LOCAL_MACHINE, SettingsKey, value, text);
    }

private:
    QTemporaryDir folder_;
    QByteArray previous_;
};

TEST_F(StartupSettings, AFirstRunTakesEveryDefault)
{
    ReadSettings();
    EXPECT_EQ(CardBack, 1);
    EXPECT_TRUE(Hand.SoundOn);
    EXPECT_TRUE(Hand.DirtyDeck);
    EXPECT_FALSE(Hand.PlayInDark);
    EXPECT_EQ(ServerIP, "");
    EXPECT_EQ(Players(1).Name, GetLoggedUserName());
    EXPECT_FALSE(Hand.ShowComputerCards);
    EXPECT_TRUE(Hand.NewManilha);
}

TEST_F(StartupSettings, StoredValuesAreReadInTheirOwnForms)
{
    Store("Verso", "7");
    Store("Som", "false");
    Store("No Escuro", "-1");
    Store("IP", "192.168.0.2");
    Store("Nome", "JOAO da SILVA");
    Store("Exibir Carta", "TRUE");
    ReadSettings();
    EXPECT_EQ(CardBack, 7);
    EXPECT_FALSE(Hand.SoundOn);
    EXPECT_TRUE(Hand.PlayInDark) << "any number but 0 is true";
    EXPECT_EQ(ServerIP, "192.168.0.2");
    EXPECT_EQ(Players(1).Name, "Joao Da Silva");
    EXPECT_TRUE(Hand.ShowComputerCards);

    Store("Nome", "");
    ReadSettings();
    EXPECT_EQ(Players(1).Name, "") << "an empty name is a name, not a missing one";
}

TEST_F(StartupSettings, DamagedValuesFallBackToSafeOnes)
{
    for (const char* back : {"abc", "0", "11", "300", "-2"}) {
        Store("Verso", back);
        ReadSettings();
        EXPECT_EQ(CardBack, 1) << "a back outside the ten there are: " << back;
    }
    Store("Som", "talvez");
    Store("No Escuro", "");
    ReadSettings();
    EXPECT_TRUE(Hand.SoundOn) << "an unreadable Boolean keeps its default";
    EXPECT_FALSE(Hand.PlayInDark);

    // The old manilhas with the short deck cannot be chosen; it is read as the full deck.
    Store("Manilha Nova", "False");
    Store("Baralho Sujo", "False");
    ReadSettings();
    EXPECT_FALSE(Hand.NewManilha);
    EXPECT_TRUE(Hand.DirtyDeck);
}

TEST(StartupDisplays, ASocketErrorItsHandlerLetsThroughIsShownInAMessageBox)
{
    InstallSocketErrorBox();
    QString shown;
    const auto previous = vb::SetMsgBoxResponder([&](const vb::MsgBoxRequest& box) {
        shown = box.title + "|" + box.prompt;
        return int(vb::vbOK);
    });
    CNetSocket s;
    s.On.Error = [](std::int16_t, QString&, std::int32_t, const QString&, const QString&, std::int32_t,
                    bool& CancelDisplay) { CancelDisplay = false; };
    s.Connect("127.0.0.1", winsocktest::FreePort());
    const bool reached = winsocktest::WaitUntil([&] { return !shown.isEmpty(); });
    vb::SetMsgBoxResponder(previous);
    CNetSocket::SetErrorDisplay({});
    ASSERT_TRUE(reached);
    EXPECT_EQ(shown, "CNetSocket.PostSocket|Connection refused.");
}

} // namespace
