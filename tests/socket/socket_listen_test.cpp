// Listening and accepting: the connection request, the holder of a connection
// until it is accepted, and what a handler may do with it.
#include "sockettest.h"

using namespace sockettest;

namespace {

// A listening object on a port the system chose, with remote fields of its own.
struct Listening {
    Listening()
    {
        listener->RemoteHost("before");
        listener->RemotePort(77);
        listener->Bind(0);
        listener->Listen();
        Record(*listener, &log);
    }
    int Port() const { return listener->LocalPort(); }
    std::shared_ptr<CNetSocket> listener = std::make_shared<CNetSocket>();
    QStringList log;
};

} // namespace

TEST(CNetSocketListen, ARequestNobodyAcceptsIsClosedAndTheListenerGoesOn)
{
    Listening l;
    QString seen;
    l.listener->On.ConnectionRequest = [&](std::int32_t) {
        seen = QString("%1|%2|%3").arg(l.listener->RemoteHost(), l.listener->RemoteHostIP()).arg(l.listener->RemotePort());
    };
    const int caller = RawConnect(l.Port());
    ASSERT_TRUE(WaitUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, QString("|127.0.0.1|%1").arg(LocalPortOf(caller))) << "who calls, during the event";
    EXPECT_EQ(l.listener->State(), sckListening);
    EXPECT_EQ(l.listener->RemoteHost(), "before");
    EXPECT_EQ(l.listener->RemotePort(), 77);
    EXPECT_EQ(l.listener->RemoteHostIP(), "");
    EXPECT_EQ(RawRead(caller, 1), "") << "closed right after the event";
    ::close(caller);

    seen.clear();
    const int next = RawConnect(l.Port());
    ASSERT_TRUE(WaitUntil([&] { return !seen.isEmpty(); })) << "still listening";
    ::close(next);
}

TEST(CNetSocketListen, TheListenerCanCloseAndAcceptOnItselfAsTheGameHostDoes)
{
    Listening l;
    l.listener->On.ConnectionRequest = [&](std::int32_t id) {
        l.listener->CloseSck();
        l.listener->Accept(id);
    };
    CNetSocket guest;
    QStringList guestLog;
    Record(guest, &guestLog);
    guest.Connect("127.0.0.1", l.Port());
    ASSERT_TRUE(WaitUntil([&] { return l.listener->State() == sckConnected && guest.State() == sckConnected; }));
    EXPECT_EQ(l.listener->RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(l.listener->RemotePort(), guest.LocalPort());
    EXPECT_EQ(l.listener->RemoteHost(), "");
    EXPECT_EQ(l.listener->LocalIP(), "127.0.0.1");

    guest.SendData("Nome:Ana");
    ASSERT_TRUE(WaitUntil([&] { return l.listener->BytesReceived() == 8; }));
    l.listener->SendData("Nome:Rui#True#False#True");
    ASSERT_TRUE(WaitUntil([&] { return guest.BytesReceived() == 24; }));
    EXPECT_EQ(l.log, (QStringList{"DataArrival 8", "SendProgress 24 0", "SendComplete"}));

    const int another = RawConnect(l.Port());
    EXPECT_EQ(another, -1) << "no longer listening";
}

TEST(CNetSocketListen, DataAndCloseThatCameBeforeAcceptAreDeliveredByIt)
{
    Listening l;
    auto accepter = std::make_shared<CNetSocket>();
    QStringList log;
    Record(*accepter, &log);
    QString got;
    accepter->On.DataArrival = [&](std::int32_t n) {
        log.append(QString("DataArrival %1").arg(n));
        vb::Variant v = QString();
        accepter->GetData(v);
        got = v.ToString();
    };
    l.listener->On.ConnectionRequest = [&](std::int32_t id) {
        ProcessFor(100); // the holder sees the data and the close meanwhile
        accepter->Accept(id);
    };
    const int caller = RawConnect(l.Port());
    RawWrite(caller, "hello");
    ::close(caller);
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, (QStringList{"DataArrival 5", "CloseSck"}));
    EXPECT_EQ(got, "hello");
    EXPECT_EQ(accepter->State(), sckClosing);
    EXPECT_EQ(l.listener->State(), sckListening);
}

TEST(CNetSocketListen, AcceptAfterTheEventOrOfAnOwnedSocketLeavesTheObjectAsItWas)
{
    Listening l;
    std::int32_t request = 0;
    l.listener->On.ConnectionRequest = [&](std::int32_t id) { request = id; };
    const int caller = RawConnect(l.Port());
    ASSERT_TRUE(WaitUntil([&] { return request != 0; }));
    CNetSocket late;
    EXPECT_EQ(Raised([&] { late.Accept(request); }),
              "10038 Socket operation on nonsocket. CNetSocket.ProcessOptions");
    EXPECT_EQ(late.SocketHandle(), -1) << "no dead handle is kept";
    EXPECT_EQ(late.State(), sckClosed);
    ::close(caller);

    Connection c;
    CNetSocket thief;
    EXPECT_EQ(Raised([&] { thief.Accept(c.server->SocketHandle()); }), "40006 " + kWrongState + " CNetSocket.Accept");
    EXPECT_EQ(thief.SocketHandle(), -1);
    thief.CloseSck();
    c.server->SendData("still mine");
    EXPECT_EQ(c.serverLog.last(), "SendComplete");
}
