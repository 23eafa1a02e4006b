#include "platform/ansi.h"
// The shared helpers, a new object's properties, and the errors of setters and
// calls made at the wrong time or with wrong arguments.
#include "sockettest.h"

#include <limits>

using namespace sockettest;
using namespace modSocketMaster;

TEST(SocketMaster, ErrorTextsAndNumberConverters)
{
    EXPECT_EQ(GetErrorDescription(10035), "Resource temporarily unavailable.");
    EXPECT_EQ(GetErrorDescription(10061), "Connection refused.");
    EXPECT_EQ(GetErrorDescription(11004), "Valid name, no data record of requested type.");
    for (const int unknown : {0, 10059, 10066, 11005, -1})
        EXPECT_EQ(GetErrorDescription(unknown), "Unknown error.") << unknown;

    EXPECT_EQ(HiWord(static_cast<std::int32_t>(0x80010002u)), 32769);
    EXPECT_EQ(HiWord(-1), 65535);
    EXPECT_EQ(LoWord(static_cast<std::int32_t>(0x80010002u)), 2);
    EXPECT_EQ(UnsignedToInteger(65535), -1);
    EXPECT_EQ(UnsignedToInteger(32768), -32768);
    EXPECT_EQ(UnsignedToInteger(1236), 1236);
    EXPECT_EQ(Raised([] { UnsignedToInteger(65536); }).left(2), "6 ");
    EXPECT_EQ(Raised([] { UnsignedToInteger(-1); }).left(2), "6 ");
    EXPECT_EQ(IntegerToUnsigned(-1), 65535);
    EXPECT_EQ(IntegerToUnsigned(1236), 1236);
}

TEST(SocketMaster, TextTravelsAsWindows1252)
{
    const QString text = QString::fromUtf8("Sá€ção\u0081");
    const QByteArray bytes = ansi::FromUnicode(text);
    EXPECT_EQ(bytes, QByteArray::fromHex("53e180e7e36f81"));
    EXPECT_EQ(ansi::ToUnicode(bytes), text);
    QByteArray all(256, 0);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    EXPECT_EQ(ansi::FromUnicode(ansi::ToUnicode(all)), all) << "every byte comes back";
    EXPECT_EQ(ansi::FromUnicode(QString::fromUtf8("中")), "?");
}

TEST(CNetSocketProperties, ANewObjectIsClosedWithoutSocket)
{
    CNetSocket s;
    EXPECT_EQ(s.State(), sckClosed);
    EXPECT_EQ(s.SocketHandle(), -1);
    EXPECT_EQ(s.LocalPort(), 0);
    EXPECT_EQ(s.Protocol(), sckTCPProtocol);
    EXPECT_EQ(s.RemotePort(), 0);
    EXPECT_TRUE(s.RemoteHost().isEmpty());
    EXPECT_TRUE(s.RemoteHostIP().isEmpty());
    EXPECT_EQ(s.BytesReceived(), 0);
    s.Tag("x");
    EXPECT_EQ(s.Tag(), "x");
    char own[256] = {};
    ::gethostname(own, sizeof own - 1);
    EXPECT_EQ(s.LocalHostName(), QString::fromLatin1(own));
    EXPECT_EQ(s.LocalIP(), "127.0.0.1") << "the machine's first address; here only loopback is up";
    s.CloseSck(); // nothing to close
    EXPECT_EQ(s.State(), sckClosed);
}

TEST(CNetSocketProperties, SettersCheckRangeAndState)
{
    CNetSocket s;
    s.RemotePort(65535);
    EXPECT_EQ(s.RemotePort(), 65535);
    EXPECT_EQ(Raised([&] { s.RemotePort(65536); }), "40014 " + kOutOfRange + " CNetSocket.RemotePort");
    EXPECT_EQ(Raised([&] { s.RemotePort(-1); }), "40014 " + kOutOfRange + " CNetSocket.RemotePort");
    EXPECT_EQ(Raised([&] { s.LocalPort(70000); }), "40014 " + kOutOfRange + " CNetSocket.LocalPort");
    EXPECT_EQ(s.RemotePort(), 65535);
    EXPECT_EQ(s.LocalPort(), 0);

    Connection c;
    const QString state = "40020 Invalid operation at current state CNetSocket.";
    EXPECT_EQ(Raised([&] { c.client->RemotePort(1); }), state + "RemotePort");
    EXPECT_EQ(Raised([&] { c.client->RemoteHost("x"); }), state + "RemoteHost");
    EXPECT_EQ(Raised([&] { c.client->LocalPort(1); }), state + "LocalPort");
    EXPECT_EQ(Raised([&] { c.client->Protocol(sckUDPProtocol); }), state + "Protocol");
    EXPECT_EQ(Raised([&] { c.client->Connect("127.0.0.1", 1); }), state + "Connect");
    EXPECT_EQ(Raised([&] { c.client->Bind(); }), state + "Bind");
    EXPECT_EQ(Raised([&] { c.client->Listen(); }), state + "Listen");
    EXPECT_EQ(Raised([&] { c.client->Accept(c.server->SocketHandle()); }), state + "Accept");
    EXPECT_EQ(Raised([&] { c.listener->LocalPort(1); }), state + "LocalPort");
    EXPECT_EQ(c.client->State(), sckConnected);

    CNetSocket udp;
    udp.Protocol(sckUDPProtocol);
    udp.Bind(0);
    udp.RemotePort(1236);
    udp.RemoteHost("127.0.0.1");
    EXPECT_EQ(udp.RemotePort(), 1236);
    EXPECT_EQ(Raised([&] { udp.LocalPort(1); }), state + "LocalPort");
}

TEST(CNetSocketProperties, ConnectChecksItsArgumentsBeforeAnythingElse)
{
    CNetSocket s;
    EXPECT_EQ(Raised([&] { s.Connect("somewhere", 0); }), "40014 " + kOutOfRange + " CNetSocket.Connect");
    EXPECT_EQ(s.RemoteHost(), "somewhere") << "the host is stored before the port is tested";
    EXPECT_EQ(Raised([&] { s.Connect("somewhere", 65536); }), "40014 " + kOutOfRange + " CNetSocket.Connect");
    EXPECT_EQ(Raised([&] { s.Connect("somewhere", "abc"); }), "40018 Unsupported variant type. CNetSocket.Connect");
    EXPECT_EQ(Raised([&] { s.Connect("somewhere", vb::Variant::Null()); }),
              "40018 Unsupported variant type. CNetSocket.Connect");
    EXPECT_EQ(s.State(), sckClosed);
    EXPECT_EQ(s.SocketHandle(), -1);
    EXPECT_EQ(s.RemotePort(), 0);
}

TEST(CNetSocketProperties, DataCallsRefuseTheWrongStateAndType)
{
    CNetSocket s;
    vb::Variant data = QString();
    EXPECT_EQ(Raised([&] { s.SendData("x"); }), "40006 " + kWrongState + " CNetSocket.SendData");
    EXPECT_EQ(Raised([&] { s.GetData(data); }), "40006 " + kWrongState + " CNetSocket.GetData");
    EXPECT_EQ(Raised([&] { s.PeekData(data); }), "40006 " + kWrongState + " CNetSocket.PeekData");

    RawPeer p;
    EXPECT_EQ(Raised([&] { p.client->SendData(vb::Variant::Null()); }),
              "40018 Unsupported variant type. CNetSocket.SendData");
    EXPECT_EQ(Raised([&] { p.client->SendData(vb::Variant()); }),
              "40018 Unsupported variant type. CNetSocket.SendData");
    vb::Variant empty;
    EXPECT_EQ(Raised([&] { p.client->GetData(empty, vb::vbObject); }),
              "40018 Unsupported variant type. CNetSocket.RecvData");
    EXPECT_EQ(Raised([&] { p.client->GetData(data, {}, -1); }), "40014 " + kOutOfRange + " CNetSocket.GetData");
    EXPECT_EQ(Raised([&] { p.client->PeekData(data, {}, -1); }), "40014 " + kOutOfRange + " CNetSocket.PeekData");
    EXPECT_TRUE(p.log.isEmpty());
}
