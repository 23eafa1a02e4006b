#pragma once
// Helpers for tests of the socket class: a log of an object's events, the
// error a call raises, and a connected pair of objects on loopback.
#include "support/qtprint.h"
#include "platform/winsock_support.h"
#include "socket/CNetSocket.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace sockettest {

using namespace winsocktest;

// Every event of the object, in order, as text.
inline void Record(CNetSocket& s, QStringList* log)
{
    s.On.CloseSck = [log] { log->append("CloseSck"); };
    s.On.Connect = [log] { log->append("Connect"); };
    s.On.ConnectionRequest = [log](std::int32_t) { log->append("ConnectionRequest"); };
    s.On.DataArrival = [log](std::int32_t n) { log->append(QString("DataArrival %1").arg(n)); };
    s.On.Error = [log](std::int16_t number, QString& description, std::int32_t, const QString& source,
                       const QString&, std::int32_t, bool&) {
        log->append(QString("Error %1 %2 %3").arg(number).arg(description, source));
    };
    s.On.SendComplete = [log] { log->append("SendComplete"); };
    s.On.SendProgress = [log](std::int32_t sent, std::int32_t left) {
        log->append(QString("SendProgress %1 %2").arg(sent).arg(left));
    };
}

// What a call raises, as "number description source", or "none".
inline QString Raised(const std::function<void()>& call)
{
    try {
        call();
    } catch (const SocketError& e) {
        return QString("%1 %2 %3").arg(e.Number).arg(e.Description, e.Source);
    }
    return "none";
}

inline const QString kOutOfRange =
    "The argument passed to a function was not in the correct format or in the specified range.";
inline const QString kWrongState = "Wrong protocol or connection state for the requested transaction or request";

// A listening object, a client connected to it by address, and the server
// object that accepted the connection; the logs start empty once both are connected.
struct Connection {
    Connection()
    {
        listener->Bind(0);
        listener->Listen();
        listener->On.ConnectionRequest = [this](std::int32_t id) { server->Accept(id); };
        Record(*client, &clientLog);
        Record(*server, &serverLog);
        client->Connect("127.0.0.1", listener->LocalPort());
        EXPECT_TRUE(WaitUntil([&] { return client->State() == sckConnected && server->State() == sckConnected; }));
        clientLog.clear();
        serverLog.clear();
    }

    std::shared_ptr<CNetSocket> listener = std::make_shared<CNetSocket>();
    std::shared_ptr<CNetSocket> client = std::make_shared<CNetSocket>();
    std::shared_ptr<CNetSocket> server = std::make_shared<CNetSocket>();
    QStringList clientLog;
    QStringList serverLog;
};

// A client object connected to a plain socket, for byte-exact checks.
struct RawPeer {
    RawPeer()
    {
        int port = 0;
        const int listener = RawListen(&port);
        Record(*client, &log);
        client->Connect("127.0.0.1", port);
        EXPECT_TRUE(WaitUntil([&] { return client->State() == sckConnected; }));
        peer = ::accept(listener, nullptr, nullptr);
        ::close(listener);
        log.clear();
    }
    ~RawPeer() { ::close(peer); }

    std::shared_ptr<CNetSocket> client = std::make_shared<CNetSocket>();
    int peer = -1;
    QStringList log;
};

} // namespace sockettest
