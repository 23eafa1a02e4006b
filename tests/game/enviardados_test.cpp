// Sending a game message to the remote copy.
#include "socket/sockettest.h"
#include "tablefixture.h"

#include "platform/forms/pace.h"

namespace {

class Sending : public TableTest {
protected:
    void TearDown() override
    {
        table().Socket.reset();
        TableTest::TearDown();
    }
};

TEST_F(Sending, OnlyAConnectedNetworkGameSendsAndTheTextArrivesAsItWasWritten)
{
    EXPECT_FALSE(table().EnviarDados("Jogar:#1")) << "against the computer nothing is sent";

    sockettest::Connection link;
    table().Socket = link.client;
    EXPECT_FALSE(table().EnviarDados("Jogar:#1")) << "connected, but not a network game";

    Hand.NetworkGame = true;
    EXPECT_TRUE(table().EnviarDados(QString::fromUtf8("Chat:#olá")));
    ASSERT_TRUE(sockettest::WaitUntil([&] { return !link.serverLog.isEmpty(); }));
    vb::Variant received;
    link.server->GetData(received, vb::vbString);
    EXPECT_EQ(received.As<QString>(), QString::fromUtf8("Chat:#olá"));

    link.client->CloseSck();
    EXPECT_FALSE(table().EnviarDados("Jogar:#1")) << "a closed connection sends nothing";
}

} // namespace
