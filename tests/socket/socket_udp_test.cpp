// Datagrams on loopback.
#include "sockettest.h"

using namespace sockettest;

namespace {

struct Datagrams {
    Datagrams()
    {
        receiver.Protocol(sckUDPProtocol);
        receiver.Bind(0);
        sender.Protocol(sckUDPProtocol);
        sender.RemoteHost("127.0.0.1");
        sender.RemotePort(receiver.LocalPort());
        Record(sender, &senderLog);
    }
    CNetSocket receiver;
    CNetSocket sender;
    QStringList senderLog;
};

} // namespace

TEST(CNetSocketUdp, EachDatagramArrivesWithItsSender)
{
    Datagrams d;
    QStringList got;
    d.receiver.On.DataArrival = [&](std::int32_t n) {
        vb::Variant v = QString();
        d.receiver.GetData(v);
        got.append(QString("%1:%2").arg(n).arg(v.ToString()));
    };
    d.sender.SendData("one");
    d.sender.SendData("three");
    EXPECT_EQ(d.sender.State(), sckOpen);
    EXPECT_TRUE(d.senderLog.isEmpty()) << "no progress events for datagrams";
    ASSERT_TRUE(WaitUntil([&] { return got.size() == 2; }));
    ProcessFor(50);
    EXPECT_EQ(got, (QStringList{"3:one", "5:three"})) << "a datagram read by the handler is not followed by a drop";
    EXPECT_EQ(d.receiver.RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(d.receiver.RemotePort(), d.sender.LocalPort());
}

TEST(CNetSocketUdp, ADatagramTheHandlerLeavesIsDropped)
{
    Datagrams d;
    int arrivals = 0;
    QString last;
    d.receiver.On.DataArrival = [&](std::int32_t) {
        if (++arrivals == 1)
            return;
        vb::Variant v = QString();
        d.receiver.GetData(v);
        last = v.ToString();
    };
    d.sender.SendData("left");
    ASSERT_TRUE(WaitUntil([&] { return arrivals == 1; }));
    ProcessFor(20);
    d.sender.SendData("read");
    ASSERT_TRUE(WaitUntil([&] { return arrivals == 2; }));
    EXPECT_EQ(last, "read");
}

TEST(CNetSocketUdp, AShortReadGivesTheHeadAndMessageTooLong)
{
    Datagrams d;
    QString head;
    QString error;
    d.receiver.On.DataArrival = [&](std::int32_t) {
        vb::Variant v = QString();
        error = Raised([&] { d.receiver.GetData(v, {}, 3); });
        head = v.ToString();
    };
    d.sender.SendData("hello");
    ASSERT_TRUE(WaitUntil([&] { return !error.isEmpty(); }));
    EXPECT_EQ(head, "hel");
    EXPECT_EQ(error, "10040 Message too long. CNetSocket.RecvData");
    EXPECT_EQ(d.receiver.BytesReceived(), 0);
}

TEST(CNetSocketUdp, ReadsDeliverOnlyTheBytesOfOneDatagram)
{
    Datagrams d;
    QStringList got;
    d.receiver.On.DataArrival = [&](std::int32_t) {
        for (int i = 0; i < 2; ++i) {
            vb::Variant v;
            d.receiver.GetData(v, {}, 100);
            got.append(v.As<QByteArray>().toHex());
        }
    };
    d.sender.SendData(QByteArray("ab"));
    d.sender.SendData(QByteArray("cdef"));
    ASSERT_TRUE(WaitUntil([&] { return got.size() == 2; }));
    EXPECT_EQ(got, (QStringList{"6162", "63646566"}));
}

TEST(CNetSocketUdp, ConnectOnlyPreparesTheSocket)
{
    Datagrams d;
    QString got;
    d.receiver.On.DataArrival = [&](std::int32_t) {
        vb::Variant v = QString();
        d.receiver.GetData(v);
        got = v.ToString();
    };
    CNetSocket other;
    other.Protocol(sckUDPProtocol);
    other.Connect("127.0.0.1", d.receiver.LocalPort());
    EXPECT_EQ(other.State(), sckOpen);
    ProcessFor(20);
    EXPECT_TRUE(got.isEmpty()) << "nothing was sent";
    other.SendData("ping");
    ASSERT_TRUE(WaitUntil([&] { return !got.isEmpty(); }));
    EXPECT_EQ(got, "ping");
    EXPECT_EQ(d.receiver.RemotePort(), other.LocalPort());
}
