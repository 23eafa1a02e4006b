// Sending and receiving on a connection: byte images of every type, the send
// loop with its progress events, the receive buffer, and the peer's close.
#include "sockettest.h"

#include <thread>

using namespace sockettest;

TEST(CNetSocketTransfer, EveryTypeTravelsAsItsLittleEndianImage)
{
    RawPeer p;
    const std::vector<std::pair<vb::Variant, QByteArray>> cases = {
        {std::uint8_t{0xAB}, "ab"},
        {std::int16_t{1}, "0100"},
        {std::int16_t{-2}, "feff"},
        {std::int32_t{1}, "01000000"},
        {1.5f, "0000c03f"},
        {-2.0, "00000000000000c0"},
        {vb::Currency{12345678}, "4e61bc0000000000"},
        {vb::Date{2.5}, "0000000000000440"},
        {true, "ffff"},
        {false, "0000"},
        {QString::fromUtf8("Nome:Zé€"), "4e6f6d653a5ae980"},
        {QByteArray::fromHex("00ff10"), "00ff10"},
    };
    for (const auto& [value, hex] : cases) {
        p.log.clear();
        p.client->SendData(value);
        const QByteArray image = QByteArray::fromHex(hex);
        EXPECT_EQ(p.log, (QStringList{QString("SendProgress %1 0").arg(image.size()), "SendComplete"}))
            << "all sent before SendData returns, type " << value.VarType();
        EXPECT_EQ(RawRead(p.peer, image.size()).toHex(), hex) << "type " << value.VarType();
    }
    p.log.clear();
    p.client->SendData(QString());
    p.client->SendData(QByteArray());
    EXPECT_TRUE(p.log.isEmpty());
    EXPECT_FALSE(Readable(p.peer));
}

TEST(CNetSocketTransfer, GetDataMakesValuesOfTheirImages)
{
    RawPeer p;
    RawWrite(p.peer, QByteArray::fromHex("feff" "0100" "2a000000" "0000c03f" "00000000000000c0"
                                         "4e61bc0000000000" "0000000000000440" "ab" "4142"));
    ASSERT_TRUE(WaitUntil([&] { return p.client->BytesReceived() == 39; }));
    const auto take = [&](std::int32_t type) {
        vb::Variant v;
        p.client->GetData(v, type);
        return v;
    };
    EXPECT_EQ(take(vb::vbInteger), vb::Variant(std::int16_t{-2}));
    EXPECT_EQ(take(vb::vbBoolean), vb::Variant(true)) << "any non-zero value is true";
    EXPECT_EQ(take(vb::vbLong), vb::Variant(std::int32_t{42}));
    EXPECT_EQ(take(vb::vbSingle), vb::Variant(1.5f));
    EXPECT_EQ(take(vb::vbDouble), vb::Variant(-2.0));
    EXPECT_EQ(take(vb::vbCurrency), vb::Variant(vb::Currency{12345678}));
    EXPECT_EQ(take(vb::vbDate), vb::Variant(vb::Date{2.5}));
    EXPECT_EQ(take(vb::vbByte), vb::Variant(std::uint8_t{0xAB}));

    vb::Variant kept = std::int32_t{7};
    p.client->GetData(kept); // two bytes wait, a Long needs four
    EXPECT_EQ(kept, vb::Variant(std::int32_t{7}));
    vb::Variant text = QString();
    p.client->GetData(text, vb::vbLong); // the variable's own type wins
    EXPECT_EQ(text, vb::Variant(QString("AB")));
    p.client->GetData(text);
    EXPECT_EQ(text, vb::Variant(QString())) << "nothing buffered gives empty text";
    vb::Variant bytes;
    p.client->GetData(bytes);
    EXPECT_EQ(bytes, vb::Variant(QByteArray())) << "no type at all gives a byte array";
}

TEST(CNetSocketTransfer, TheReceiveBufferCountsWhatWasNotTaken)
{
    RawPeer p;
    RawWrite(p.peer, "12345");
    ASSERT_TRUE(WaitUntil([&] { return !p.log.isEmpty(); }));
    RawWrite(p.peer, "678");
    ASSERT_TRUE(WaitUntil([&] { return p.log.size() == 2; }));
    EXPECT_EQ(p.log, (QStringList{"DataArrival 5", "DataArrival 8"}));
    EXPECT_EQ(p.client->BytesReceived(), 8);
    RawWrite(p.peer, "90");
    ASSERT_TRUE(WaitUntil([&] { return p.client->BytesReceived() == 10; }));

    vb::Variant part = QString();
    p.client->PeekData(part, {}, 4);
    EXPECT_EQ(part, vb::Variant(QString("1234")));
    EXPECT_EQ(p.client->BytesReceived(), 10);
    p.client->GetData(part, {}, 4);
    EXPECT_EQ(part, vb::Variant(QString("1234")));
    EXPECT_EQ(p.client->BytesReceived(), 6);
    p.client->GetData(part, {}, 0);
    EXPECT_EQ(part, vb::Variant(QString()));
    p.client->GetData(part, {}, "all"); // not a number: what is there
    EXPECT_EQ(part, vb::Variant(QString("567890")));
    EXPECT_EQ(p.client->BytesReceived(), 0);
}

TEST(CNetSocketTransfer, ALargeSendGoesOutInPartsWithOneSendComplete)
{
    RawPeer p;
    QByteArray first(8 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < first.size(); ++i)
        first[i] = static_cast<char>(i * 7 / 3);
    const QByteArray second(1 << 20, 'z');
    p.client->SendData(first);
    ASSERT_FALSE(p.log.isEmpty()) << "the peer does not read: the send stops part way";
    EXPECT_TRUE(p.log.last().startsWith("SendProgress "));
    EXPECT_FALSE(p.log.last().endsWith(" 0"));
    const auto before = p.log.size();
    p.client->SendData(second); // only appended: a send is under way
    EXPECT_EQ(p.log.size(), before);

    EXPECT_EQ(RawRead(p.peer, first.size() + second.size()), first + second);
    ASSERT_TRUE(WaitUntil([&] { return p.log.last() == "SendComplete"; }));
    EXPECT_EQ(p.log.count("SendComplete"), 1);
    qint64 sent = 0;
    for (const QString& e : p.log)
        if (e.startsWith("SendProgress "))
            sent += e.split(' ')[1].toLongLong();
    EXPECT_EQ(sent, first.size() + second.size());
    EXPECT_EQ(p.log[p.log.size() - 2], QString("SendProgress %1 0").arg(p.log[p.log.size() - 2].split(' ')[1]));
}

TEST(CNetSocketTransfer, ThePeersCloseComesAfterItsDataAndKeepsTheSocket)
{
    Connection c;
    QString got;
    c.client->On.DataArrival = [&](std::int32_t n) {
        c.clientLog.append(QString("DataArrival %1").arg(n));
        vb::Variant v = QString();
        c.client->GetData(v);
        got += v.ToString();
    };
    c.server->SendData("bye");
    c.server->CloseSck();
    ASSERT_TRUE(WaitUntil([&] { return c.clientLog.contains("CloseSck"); }));
    EXPECT_EQ(c.clientLog, (QStringList{"DataArrival 3", "CloseSck"}));
    EXPECT_EQ(got, "bye");
    EXPECT_EQ(c.client->State(), sckClosing);
    EXPECT_NE(c.client->SocketHandle(), -1);
    EXPECT_EQ(Raised([&] { c.client->SendData("x"); }).left(6), "40006 ");
    c.client->CloseSck();
    EXPECT_EQ(c.client->State(), sckClosed);
    EXPECT_EQ(c.serverLog, (QStringList{"SendProgress 3 0", "SendComplete"})) << "a local close raises nothing";
}

TEST(CNetSocketTransfer, DataStillWaitingAtTheCloseIsDeliveredBeforeIt)
{
    RawPeer p;
    RawWrite(p.peer, "tail");
    std::uint32_t waiting = 0;
    for (int i = 0; i < 500 && waiting < 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ws::ioctlsocket(p.client->SocketHandle(), ws::Fionread, &waiting);
    }
    // The close as the platform may report it: before the data was read.
    p.client->WndProc(0, modSocketMaster::SOCKET_MESSAGE, p.client->SocketHandle(), ws::FdClose);
    EXPECT_EQ(p.log, (QStringList{"DataArrival 4", "CloseSck"}));
    EXPECT_EQ(p.client->State(), sckClosing);
    ProcessFor(50);
    EXPECT_EQ(p.log.size(), 2);
}

TEST(CNetSocketTransfer, AResetConnectionIsAnErrorEvent)
{
    RawPeer p;
    RawReset(p.peer);
    p.peer = -1;
    ASSERT_TRUE(WaitUntil([&] { return !p.log.isEmpty(); }));
    EXPECT_EQ(p.log, QStringList{"Error 10054 Connection reset by peer. CNetSocket.PostSocket"});
    EXPECT_EQ(p.client->State(), sckError);
}

TEST(CNetSocketTransfer, AnObjectReleasedInItsOwnEventEndsWhenTheEventHasReturned)
{
    Connection c;
    auto sentinel = std::make_shared<int>();
    const std::weak_ptr<int> alive = sentinel;
    c.client->On.SendComplete = [sentinel] {}; // goes when the object ends
    sentinel.reset();
    bool aliveInHandler = false;
    c.client->On.CloseSck = [&] {
        c.client.reset();
        aliveInHandler = !alive.expired();
    };
    c.server->CloseSck();
    ASSERT_TRUE(WaitUntil([&] { return !c.client; }));
    EXPECT_TRUE(aliveInHandler);
    EXPECT_TRUE(alive.expired());
}

TEST(CNetSocketTransfer, AnObjectReleasedWhileConnectedClosesWithoutEvents)
{
    Connection c;
    c.client.reset();
    ASSERT_TRUE(WaitUntil([&] { return !c.serverLog.isEmpty(); }));
    EXPECT_EQ(c.serverLog, QStringList{"CloseSck"});
}
