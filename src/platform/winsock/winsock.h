#pragma once
// IPv4 sockets with the calling contract of the platform the game was written
// for, on POSIX sockets and the Qt event loop:
// - handles are our own ids, never reused within a run, so that a notification
//   still queued for a closed socket can never reach a newer one;
// - a failing call returns SOCKET_ERROR (or INVALID_SOCKET) and leaves that
//   platform's error number for WSAGetLastError;
// - asynchronous selection posts each network event to a message window:
//   FD_READ once until the next receive, FD_WRITE after the connect or accept
//   and again only when a send that would block has room, FD_ACCEPT once until
//   the next accept, FD_CONNECT once with its error, FD_CLOSE once (0 for an
//   orderly close, 10053 or 10054 for an abort). An accepted socket inherits the
//   selection of the listening one. A selected socket is non-blocking.
// All calls belong to the user-interface thread.
#include "platform/winsock/msgwindow.h"

#include <cstdint>

namespace ws {

using SOCKET = std::int32_t;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;

constexpr int AfInet = 2;
constexpr int SockStream = 1;
constexpr int SockDgram = 2;
constexpr int IpProtoTcp = 6;
constexpr int IpProtoUdp = 17;

constexpr int SolSocket = 0xFFFF;
constexpr int SoKeepAlive = 0x08;
constexpr int SoBroadcast = 0x20;
constexpr int SoSndBuf = 0x1001;
constexpr int SoRcvBuf = 0x1002;
constexpr int SoMaxMsgSize = 0x2003;
// Level IpProtoTcp: the keep-alive probes' idle time and interval (seconds) and
// count; the longest time sent data may wait for the peer's acknowledgement
// before the connection is dropped (seconds, 0 for the system's default).
constexpr int TcpKeepIdle = 3;
constexpr int TcpMaxRt = 5;
constexpr int TcpKeepCnt = 16;
constexpr int TcpKeepIntvl = 17;
constexpr std::uint32_t Fionread = 0x4004667F;
constexpr int MsgPeek = 2;

constexpr std::uint32_t InaddrAny = 0;
constexpr std::uint32_t InaddrNone = 0xFFFFFFFF;

// Network events of asynchronous selection.
constexpr std::int32_t FdRead = 1;
constexpr std::int32_t FdWrite = 2;
constexpr std::int32_t FdAccept = 8;
constexpr std::int32_t FdConnect = 16;
constexpr std::int32_t FdClose = 32;

// The error numbers.
enum : std::int32_t {
    WSAEINTR = 10004,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEDESTADDRREQ = 10039,
    WSAEMSGSIZE = 10040,
    WSAEPROTOTYPE = 10041,
    WSAENOPROTOOPT = 10042,
    WSAEPROTONOSUPPORT = 10043,
    WSAESOCKTNOSUPPORT = 10044,
    WSAEOPNOTSUPP = 10045,
    WSAEPFNOSUPPORT = 10046,
    WSAEAFNOSUPPORT = 10047,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAENETRESET = 10052,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAEHOSTUNREACH = 10065,
    WSAVERNOTSUPPORTED = 10092,
    WSANOTINITIALISED = 10093,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
    WSANO_RECOVERY = 11003,
    WSANO_DATA = 11004,
};

// An IPv4 address record; port and address in network byte order.
struct SockAddrIn {
    std::uint16_t sin_family = AfInet;
    std::uint16_t sin_port = 0;
    std::uint32_t sin_addr = 0;
};

// The parameter of a selection message: the event in the low and the error in
// the high 16 bits.
constexpr std::int32_t WSAMAKESELECTREPLY(std::int32_t event, std::int32_t error)
{
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(error) << 16)
                                      | (static_cast<std::uint32_t>(event) & 0xFFFF));
}

// Counted start and stop of the service; socket() needs a started service
// (else 10093).
std::int32_t WSAStartup(std::uint16_t version);
std::int32_t WSACleanup();
std::int32_t WSAGetLastError();
void WSASetLastError(std::int32_t error);
// The error number that stands for a POSIX errno value.
std::int32_t ErrorFromErrno(int err);

SOCKET socket(int af, int type, int protocol);
int closesocket(SOCKET s);
int bind(SOCKET s, const SockAddrIn& name);
// A selected socket never connects at once: the call fails with 10035 and
// FD_CONNECT follows, also when the refusal was immediate. 0.0.0.0 gives 10049.
int connect(SOCKET s, const SockAddrIn& name);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, SockAddrIn* addr);
int send(SOCKET s, const char* buf, int len, int flags);
// On a datagram socket a datagram longer than len fills buf and gives 10040.
int recv(SOCKET s, char* buf, int len, int flags);
int sendto(SOCKET s, const char* buf, int len, int flags, const SockAddrIn& to);
int recvfrom(SOCKET s, char* buf, int len, int flags, SockAddrIn* from);
int getsockname(SOCKET s, SockAddrIn* name);
int getpeername(SOCKET s, SockAddrIn* name);
int getsockopt(SOCKET s, int level, int optname, std::int32_t* optval);
int setsockopt(SOCKET s, int level, int optname, std::int32_t optval);
int ioctlsocket(SOCKET s, std::uint32_t cmd, std::uint32_t* argp);
// Posts the events of lEvent to the window as message wMsg with the socket as
// wParam and WSAMAKESELECTREPLY(event, error) as lParam.
int WSAAsyncSelect(SOCKET s, HWND hWnd, std::uint32_t wMsg, std::int32_t lEvent);

} // namespace ws
