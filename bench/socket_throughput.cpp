// Throughput of a bulk transfer and the round trip of a short message between
// two socket objects on loopback, each beside the same with plain blocking
// POSIX sockets. Run inside a private network namespace:
//   unshare -n -- bash -c 'ip link set lo up; build/bench/bench_socket_throughput'
#include "socket/CNetSocket.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qsizetype kBulk = 16 << 20;
const QByteArray kMessage = "Jogar:#2";

void RunUntil(const bool& done)
{
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Two connected objects; the server object is the one that accepted.
struct ObjectPair {
    ObjectPair()
    {
        listener->Bind(0);
        listener->Listen();
        bool accepted = false;
        listener->On.ConnectionRequest = [&](std::int32_t id) {
            server->Accept(id);
            accepted = true;
        };
        bool connected = false;
        client->On.Connect = [&] { connected = true; };
        client->Connect("127.0.0.1", listener->LocalPort());
        RunUntil(connected);
        RunUntil(accepted);
        client->On = {};
        listener->On = {};
    }
    std::shared_ptr<CNetSocket> listener = std::make_shared<CNetSocket>();
    std::shared_ptr<CNetSocket> client = std::make_shared<CNetSocket>();
    std::shared_ptr<CNetSocket> server = std::make_shared<CNetSocket>();
};

// Two connected blocking sockets.
struct PosixPair {
    PosixPair()
    {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener, 1);
        socklen_t len = sizeof a;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
        client = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        server = ::accept(listener, nullptr, nullptr);
        ::close(listener);
    }
    ~PosixPair()
    {
        ::close(client);
        ::close(server);
    }
    int client = -1;
    int server = -1;
};

void ReadExactly(int fd, char* buf, qsizetype n)
{
    for (qsizetype got = 0; got < n;) {
        const auto r = ::recv(fd, buf + got, static_cast<size_t>(n - got), 0);
        if (r <= 0)
            return;
        got += r;
    }
}

void CNetSocketBulk(benchmark::State& state)
{
    ObjectPair pair;
    const QByteArray payload(kBulk, 'x');
    qsizetype received = 0;
    bool done = false;
    pair.server->On.DataArrival = [&](std::int32_t) {
        vb::Variant bytes;
        pair.server->GetData(bytes);
        received += bytes.As<QByteArray>().size();
        done = received >= kBulk;
    };
    for (auto _ : state) {
        received = 0;
        done = false;
        pair.client->SendData(payload);
        RunUntil(done);
    }
    state.SetBytesProcessed(state.iterations() * kBulk);
}

void PosixBulk(benchmark::State& state)
{
    PosixPair pair;
    const QByteArray payload(kBulk, 'x');
    QByteArray sink(1 << 16, Qt::Uninitialized);
    for (auto _ : state) {
        std::thread sender([&] {
            for (qsizetype sent = 0; sent < kBulk;)
                sent += ::send(pair.client, payload.constData() + sent, static_cast<size_t>(kBulk - sent), 0);
        });
        for (qsizetype got = 0; got < kBulk;)
            got += ::recv(pair.server, sink.data(), static_cast<size_t>(sink.size()), 0);
        sender.join();
    }
    state.SetBytesProcessed(state.iterations() * kBulk);
}

void CNetSocketRoundTrip(benchmark::State& state)
{
    ObjectPair pair;
    pair.server->On.DataArrival = [&](std::int32_t) {
        vb::Variant text = QString();
        pair.server->GetData(text);
        pair.server->SendData(text);
    };
    bool answered = false;
    pair.client->On.DataArrival = [&](std::int32_t) {
        vb::Variant text = QString();
        pair.client->GetData(text);
        answered = true;
    };
    for (auto _ : state) {
        answered = false;
        pair.client->SendData(QString::fromLatin1(kMessage));
        RunUntil(answered);
    }
}

void PosixRoundTrip(benchmark::State& state)
{
    PosixPair pair;
    const int on = 1;
    ::setsockopt(pair.client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(pair.server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::thread echo([&] {
        char buf[64];
        for (;;) {
            const auto r = ::recv(pair.server, buf, sizeof buf, 0);
            if (r <= 0)
                return;
            ::send(pair.server, buf, static_cast<size_t>(r), 0);
        }
    });
    char buf[64];
    for (auto _ : state) {
        ::send(pair.client, kMessage.constData(), static_cast<size_t>(kMessage.size()), 0);
        ReadExactly(pair.client, buf, kMessage.size());
    }
    ::shutdown(pair.client, SHUT_RDWR);
    echo.join();
}

} // namespace

BENCHMARK(CNetSocketBulk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PosixBulk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CNetSocketRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(PosixRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
