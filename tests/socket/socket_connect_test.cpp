// Connecting by address and by name, with every state and event on the way,
// and the ways a connect fails.
#include "sockettest.h"

#include <thread>

using namespace sockettest;

namespace {

// A listening object on a port the system chose; it takes every caller.
struct Host {
    Host()
    {
        listener->Bind(0);
        listener->Listen();
        listener->On.ConnectionRequest = [this](std::int32_t id) {
            accepted.push_back(std::make_shared<CNetSocket>());
            accepted.back()->Accept(id);
        };
    }
    std::int32_t Port() const { return listener->LocalPort(); }
    std::shared_ptr<CNetSocket> listener = std::make_shared<CNetSocket>();
    std::vector<std::shared_ptr<CNetSocket>> accepted;
};

} // namespace

TEST(CNetSocketConnect, ByAddressGoesToConnectingAtOnceAndConnectedWithTheEvent)
{
    Host host;
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    std::int32_t stateInEvent = -1;
    s.On.Connect = [&] {
        stateInEvent = s.State();
        log.append("Connect");
    };
    s.Connect("127.0.0.1", host.Port());
    EXPECT_EQ(s.State(), sckConnecting);
    EXPECT_NE(s.LocalPort(), 0) << "bound to a port the system chose";
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty() && host.accepted.size() == 1; }));
    EXPECT_EQ(log, QStringList{"Connect"});
    EXPECT_EQ(stateInEvent, sckConnected);
    EXPECT_EQ(s.RemoteHost(), "127.0.0.1");
    EXPECT_EQ(s.RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(s.RemotePort(), host.Port());
    EXPECT_EQ(s.LocalIP(), "127.0.0.1");
    EXPECT_EQ(s.LocalPort(), host.accepted[0]->RemotePort());
    EXPECT_EQ(host.accepted[0]->LocalPort(), host.Port());
}

TEST(CNetSocketConnect, ByNameResolvesFirst)
{
    Host host;
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    s.Connect("localhost", host.Port());
    EXPECT_EQ(s.State(), sckResolvingHost);
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, QStringList{"Connect"});
    EXPECT_EQ(s.State(), sckConnected);
    EXPECT_EQ(s.RemoteHost(), "localhost") << "the name given stays";
    EXPECT_EQ(s.RemoteHostIP(), "127.0.0.1");
}

TEST(CNetSocketConnect, ARefusedConnectIsAnErrorEventAndCloseSckStartsAgain)
{
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    s.Connect("127.0.0.1", FreePort());
    EXPECT_EQ(s.State(), sckConnecting);
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, QStringList{"Error 10061 Connection refused. CNetSocket.PostSocket"});
    EXPECT_EQ(s.State(), sckError);
    s.CloseSck();
    EXPECT_EQ(s.State(), sckClosed);
    EXPECT_EQ(s.SocketHandle(), -1);

    Host host;
    log.clear();
    s.Connect("127.0.0.1", host.Port());
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, QStringList{"Connect"});
}

TEST(CNetSocketConnect, AnErrorIsDisplayedOnlyWhenItsHandlerClearsCancelDisplay)
{
    QStringList shown;
    CNetSocket::SetErrorDisplay(
        [&](const QString& description, const QString& source) { shown << source + "|" + description; });
    for (bool cancel : {true, false}) {
        CNetSocket s;
        bool raised = false;
        s.On.Error = [&](std::int16_t, QString&, std::int32_t, const QString&, const QString&, std::int32_t,
                         bool& CancelDisplay) {
            raised = true;
            CancelDisplay = cancel;
        };
        s.Connect("127.0.0.1", FreePort());
        ASSERT_TRUE(WaitUntil([&] { return raised; }));
    }
    CNetSocket::SetErrorDisplay({});
    EXPECT_EQ(shown, QStringList{"CNetSocket.PostSocket|Connection refused."});
}

TEST(CNetSocketConnect, ANameThatDoesNotExistEndsInHostNotFound)
{
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    s.Connect("nowhere.invalid", 1236);
    EXPECT_EQ(s.State(), sckResolvingHost);
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, QStringList{"Error 11001 Host not found. CNetSocket.ConnectToIP"});
    EXPECT_EQ(s.State(), sckError);
}

TEST(CNetSocketConnect, CloseSckDuringTheLookUpEndsItQuietly)
{
    Host host;
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    s.Connect("localhost", host.Port());
    s.CloseSck();
    EXPECT_EQ(s.State(), sckClosed);
    ProcessFor(200);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(s.State(), sckClosed);
    EXPECT_TRUE(host.accepted.empty());
}

// A look-up that had already ended when CloseSck came cannot be cancelled; its
// answer must not steer the next connect.
TEST(CNetSocketConnect, TheAnswerOfAnEarlierLookUpIsIgnored)
{
    Host host;
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    s.Connect("nowhere.invalid", host.Port());
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // its answer is queued now
    s.CloseSck();
    s.Connect("localhost", host.Port());
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    ProcessFor(50);
    EXPECT_EQ(log, QStringList{"Connect"});

    // The other way round: a stale success must not connect a look-up that fails.
    s.CloseSck();
    log.clear();
    s.Connect("localhost", host.Port());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    s.CloseSck();
    s.Connect("nowhere.invalid", host.Port());
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    ProcessFor(50);
    EXPECT_EQ(log, QStringList{"Error 11001 Host not found. CNetSocket.ConnectToIP"});
}

TEST(CNetSocketConnect, TheAnyAddressCannotBeConnectedTo)
{
    CNetSocket direct;
    EXPECT_EQ(Raised([&] { direct.Connect("", 1236); }),
              "10049 Cannot assign requested address. CNetSocket.ConnectToIP");
    EXPECT_EQ(direct.State(), sckConnecting);

    // After a look-up no caller is there to catch it: it becomes the Error event.
    CNetSocket named;
    QStringList log;
    Record(named, &log);
    named.Connect("0", 1236); // a name that resolves to 0.0.0.0
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, QStringList{"Error 10049 Cannot assign requested address. CNetSocket.ConnectToIP"});
    EXPECT_EQ(named.State(), sckError);
}

TEST(CNetSocketConnect, BindToAChosenOrAGivenPort)
{
    CNetSocket first;
    first.Bind();
    EXPECT_EQ(first.State(), sckOpen);
    const std::int32_t port = first.LocalPort();
    EXPECT_NE(port, 0);
    first.CloseSck();
    EXPECT_EQ(first.LocalPort(), 0) << "the chosen port goes with the socket";

    CNetSocket given;
    given.Bind(port);
    EXPECT_EQ(given.LocalPort(), port);
    given.Listen();
    CNetSocket second;
    second.LocalPort(port);
    EXPECT_EQ(Raised([&] { second.Listen(); }), "10048 Address already in use. CNetSocket.BindInternal");
    EXPECT_EQ(second.State(), sckClosed);
    EXPECT_NE(second.SocketHandle(), -1) << "the socket stays";
    second.CloseSck();

    int held = 0;
    const int other = RawListen(&held); // another program's port
    second.LocalPort(held);
    EXPECT_EQ(Raised([&] { second.Bind(); }), "10048 Address already in use. CNetSocket.BindInternal");
    ::close(other);

    CNetSocket bad;
    EXPECT_EQ(Raised([&] { bad.Bind(0, "nowhere.invalid"); }), "40014 Invalid argument CNetSocket.BindInternal");
    EXPECT_EQ(Raised([&] { bad.Bind("abc"); }), "40018 Unsupported variant type. CNetSocket.BindInternal");
    EXPECT_EQ(Raised([&] { bad.Bind(65536); }), "40014 " + kOutOfRange + " CNetSocket.BindInternal");
    EXPECT_EQ(bad.State(), sckClosed);
}

TEST(CNetSocketConnect, AnObjectWhoseSocketCouldNotBeMadeStaysInError)
{
    CNetSocket s;
    QStringList log;
    Record(s, &log);
    {
        DescriptorLimit noMore;
        s.Connect("127.0.0.1", 1236);
    }
    EXPECT_EQ(log, QStringList{"Error 10024 Too many open files. CNetSocket.SocketExists"});
    EXPECT_EQ(s.State(), sckError);
    s.CloseSck();
    EXPECT_EQ(s.State(), sckError);
    EXPECT_EQ(Raised([&] { s.Connect("127.0.0.1", 1236); }).left(6), "40020 ");
    EXPECT_EQ(Raised([&] { s.Listen(); }).left(6), "40020 ");
}
