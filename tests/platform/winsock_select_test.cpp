// Sockets with asynchronous selection: which events are posted, when, how
// often, with which error numbers, and that waiting costs no CPU.
#include "platform/winsock/winsock.h"
#include "platform/winsock_support.h"

#include <gtest/gtest.h>

#include <netinet/tcp.h>
#include <vector>

using namespace ws;
using namespace winsocktest;

namespace {

struct Note {
    SOCKET socket;
    std::int32_t event;
    std::int32_t error;
    bool operator==(const Note&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Note& n)
{
    return os << "{" << n.socket << ", event " << n.event << ", error " << n.error << "}";
}

class WinsockSelect : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(WSAStartup(0x0101), 0);
        hWnd = CreateMessageWindow();
        SetWindowProc(hWnd, [this](HWND, std::uint32_t, std::int32_t w, std::int32_t l) {
            notes.push_back({w, l & 0xFFFF, static_cast<std::int32_t>(static_cast<std::uint32_t>(l) >> 16)});
            return 0;
        });
    }
    void TearDown() override
    {
        DestroyWindow(hWnd);
        WSACleanup();
    }

    SOCKET Selected(int type = SockStream)
    {
        const SOCKET s = ws::socket(AfInet, type, 0);
        EXPECT_NE(s, INVALID_SOCKET);
        EXPECT_EQ(WSAAsyncSelect(s, hWnd, 0x8001, FdRead | FdWrite | FdAccept | FdConnect | FdClose), 0);
        return s;
    }

    static SockAddrIn To(int port)
    {
        SockAddrIn a;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

    // A selected socket connected to a plain peer, with its first notes taken.
    SOCKET Connected(int* peer)
    {
        int port = 0;
        const int listener = RawListen(&port);
        const SOCKET s = Selected();
        EXPECT_EQ(ws::connect(s, To(port)), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
        EXPECT_TRUE(WaitUntil([&] { return notes.size() == 2; }));
        EXPECT_EQ(notes, (std::vector<Note>{{s, FdConnect, 0}, {s, FdWrite, 0}}));
        *peer = ::accept(listener, nullptr, nullptr);
        ::close(listener);
        notes.clear();
        return s;
    }

    // Nothing more is posted, and the event loop sleeps while it waits: a
    // notifier that spins wakes it thousands of times in 300 ms.
    void ExpectQuietAndIdle()
    {
        const auto before = notes.size();
        int turns = 0;
        WaitUntil([&] {
            ++turns;
            return false;
        }, 300);
        EXPECT_EQ(notes.size(), before);
        EXPECT_LT(turns, 300) << "a notifier spins";
    }

    HWND hWnd = 0;
    std::vector<Note> notes;
};

} // namespace

TEST_F(WinsockSelect, ReadIsPostedOnceUntilTheNextReceiveAndCloseOnceAfterTheData)
{
    int peer = -1;
    const SOCKET s = Connected(&peer);
    RawWrite(peer, "abc");
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 1; }));
    RawWrite(peer, "def");
    ExpectQuietAndIdle(); // FD_READ waits for a receive
    char buf[16];
    EXPECT_EQ(ws::recv(s, buf, 2, 0), 2);
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 2; })); // data remains
    EXPECT_EQ(ws::recv(s, buf, sizeof buf, 0), 4);
    EXPECT_EQ(QByteArray(buf, 4), "cdef");
    ::close(peer);
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 3; }));
    EXPECT_EQ(notes, (std::vector<Note>{{s, FdRead, 0}, {s, FdRead, 0}, {s, FdClose, 0}}));
    ExpectQuietAndIdle();
    EXPECT_EQ(ws::recv(s, buf, sizeof buf, 0), 0);
    EXPECT_EQ(ws::recv(s, buf, sizeof buf, 0), 0);
    ExpectQuietAndIdle();
    ws::closesocket(s);
}

TEST_F(WinsockSelect, AResetConnectionGivesCloseWithTheResetError)
{
    int peer = -1;
    const SOCKET s = Connected(&peer);
    RawReset(peer);
    ASSERT_TRUE(WaitUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, (std::vector<Note>{{s, FdClose, WSAECONNRESET}}));
    ExpectQuietAndIdle();
    ws::closesocket(s);
}

TEST_F(WinsockSelect, ARefusedConnectIsReportedByConnectNotByTheCall)
{
    int port = 0;
    ::close(RawListen(&port)); // a port where nobody listens
    const SOCKET s = Selected();
    EXPECT_EQ(ws::connect(s, To(port)), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    EXPECT_TRUE(notes.empty());
    ASSERT_TRUE(WaitUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, (std::vector<Note>{{s, FdConnect, WSAECONNREFUSED}}));
    ExpectQuietAndIdle();
    ws::closesocket(s);
}

TEST_F(WinsockSelect, AcceptIsPostedOnceUntilTheNextAcceptAndAcceptedSocketsInheritTheSelection)
{
    const SOCKET s = Selected();
    ASSERT_EQ(ws::bind(s, To(0)), 0);
    SockAddrIn bound;
    ws::getsockname(s, &bound);
    ASSERT_EQ(ws::listen(s, 5), 0);
    const int first = RawConnect(ntohs(bound.sin_port));
    const int second = RawConnect(ntohs(bound.sin_port));
    ASSERT_TRUE(WaitUntil([&] { return !notes.empty(); }));
    ExpectQuietAndIdle();
    ASSERT_EQ(notes, (std::vector<Note>{{s, FdAccept, 0}}));

    SockAddrIn caller;
    const SOCKET a = ws::accept(s, &caller);
    ASSERT_NE(a, INVALID_SOCKET);
    EXPECT_EQ(ntohs(caller.sin_port), LocalPortOf(first));
    EXPECT_EQ(caller.sin_addr, htonl(INADDR_LOOPBACK));
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 3; }));
    EXPECT_EQ(notes[1], (Note{a, FdWrite, 0}));
    EXPECT_EQ(notes[2], (Note{s, FdAccept, 0})) << "the second caller waits";
    RawWrite(first, "x");
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 4; }));
    EXPECT_EQ(notes[3], (Note{a, FdRead, 0}));
    ::close(first);
    ::close(second);
    ws::closesocket(a);
    ws::closesocket(s);
}

TEST_F(WinsockSelect, WriteIsPostedAgainOnlyAfterASendThatWouldBlockHasRoom)
{
    int peer = -1;
    const SOCKET s = Connected(&peer);
    const QByteArray chunk(1 << 16, 'x');
    qsizetype queued = 0;
    int n = 0;
    while ((n = ws::send(s, chunk.constData(), static_cast<int>(chunk.size()), 0)) > 0)
        queued += n;
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    ExpectQuietAndIdle();
    EXPECT_EQ(RawRead(peer, queued).size(), queued);
    ASSERT_TRUE(WaitUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, (std::vector<Note>{{s, FdWrite, 0}}));
    ::close(peer);
    ws::closesocket(s);
}

TEST_F(WinsockSelect, HandlesAreNeverReusedAndFailuresGiveTheirNumbers)
{
    const SOCKET first = ws::socket(AfInet, SockStream, IpProtoTcp);
    ws::closesocket(first);
    const SOCKET second = ws::socket(AfInet, SockStream, IpProtoTcp);
    EXPECT_NE(second, first);
    char buf[1];
    EXPECT_EQ(ws::recv(first, buf, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(ws::connect(second, To(0)), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED) << "blocking connect to a closed port";

    const SOCKET third = ws::socket(AfInet, SockStream, IpProtoTcp);
    SockAddrIn any = To(1236);
    any.sin_addr = InaddrAny;
    EXPECT_EQ(ws::connect(third, any), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);

    int port = 0;
    const int holder = RawListen(&port);
    EXPECT_EQ(ws::bind(third, To(port)), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);
    ::close(holder);
    ws::closesocket(second);
    ws::closesocket(third);

    ASSERT_EQ(WSACleanup(), 0);
    EXPECT_EQ(ws::socket(AfInet, SockStream, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    ASSERT_EQ(WSAStartup(0x0101), 0);
}

TEST_F(WinsockSelect, AListeningPortIsFreeAgainWhileItsLastConnectionWindsDown)
{
    for (const bool chosen : {false, true}) { // a given port, and one the system chose
        SockAddrIn name = To(0);
        if (!chosen) {
            int port = 0;
            ::close(RawListen(&port));
            name = To(port);
        }
        const SOCKET s = ws::socket(AfInet, SockStream, 0);
        ASSERT_EQ(ws::bind(s, name), 0);
        ws::getsockname(s, &name);
        ASSERT_EQ(ws::listen(s, 5), 0);
        const int caller = RawConnect(ntohs(name.sin_port));
        const SOCKET a = ws::accept(s, nullptr);
        ws::closesocket(a); // our side closes first and keeps the port in TIME_WAIT
        ws::closesocket(s);
        ::close(caller);
        const SOCKET again = ws::socket(AfInet, SockStream, 0);
        EXPECT_EQ(ws::bind(again, name), 0) << (chosen ? "chosen port" : "given port");
        ws::closesocket(again);
    }
}

TEST_F(WinsockSelect, ALongDatagramFillsTheBufferAndGivesMessageTooLong)
{
    const SOCKET u = Selected(SockDgram);
    ASSERT_EQ(ws::bind(u, To(0)), 0);
    SockAddrIn bound;
    ws::getsockname(u, &bound);
    int ignored = 0;
    const int sender = RawListen(&ignored, SOCK_DGRAM);
    const sockaddr_in to = Loopback(ntohs(bound.sin_port));
    ::sendto(sender, "hello", 5, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::sendto(sender, "hi", 2, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ASSERT_TRUE(WaitUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, (std::vector<Note>{{u, FdRead, 0}}));
    std::uint32_t pending = 0;
    ASSERT_EQ(ws::ioctlsocket(u, Fionread, &pending), 0);
    EXPECT_EQ(pending, 5u);
    char buf[8] = {};
    EXPECT_EQ(ws::recv(u, buf, 3, MsgPeek), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
    SockAddrIn from;
    EXPECT_EQ(ws::recvfrom(u, buf, 3, 0, &from), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
    EXPECT_EQ(QByteArray(buf, 3), "hel");
    EXPECT_EQ(ntohs(from.sin_port), LocalPortOf(sender));
    EXPECT_EQ(ws::recv(u, buf, sizeof buf, 0), 2) << "the rest of the long one is gone";
    ::close(sender);
    ws::closesocket(u);
}

// A message the peer does not acknowledge ends the connection after the time
// given in seconds, which the system counts in milliseconds.
TEST_F(WinsockSelect, TheMaximumRetransmissionTimeReachesTheSystemInMilliseconds)
{
    int peer = -1;
    const SOCKET s = Connected(&peer);
    ASSERT_EQ(ws::setsockopt(s, IpProtoTcp, TcpMaxRt, 120), 0);
    sockaddr_in mine{};
    socklen_t len = sizeof mine;
    ::getpeername(peer, reinterpret_cast<sockaddr*>(&mine), &len);
    int fd = 0; // the system's socket behind s: the one at the peer's far end
    for (sockaddr_in a{}; fd < 1024; ++fd)
        if (len = sizeof a; fd != peer && ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0
                            && a.sin_family == AF_INET && a.sin_port == mine.sin_port)
            break;
    int ms = 0;
    len = sizeof ms;
    ASSERT_EQ(::getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &ms, &len), 0);
    EXPECT_EQ(ms, 120000);
    EXPECT_EQ(ws::setsockopt(s, IpProtoTcp, TcpMaxRt, 1 << 30), SOCKET_ERROR) << "beyond the system's range";
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    ws::closesocket(s);
    ::close(peer);
}
