#include "platform/winsock/winsock.h"

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ws {
namespace {

thread_local std::int32_t lastError = 0;
int startups = 0;
SOCKET lastSocket = 0;

struct Sock {
    int fd = -1;
    int type = SockStream;
    bool listening = false;
    bool connecting = false;
    bool connected = false;
    // The selection: where events go, and which.
    HWND hWnd = 0;
    std::uint32_t wMsg = 0;
    std::int32_t lEvent = 0;
    bool readPosted = false;  // FD_READ or FD_ACCEPT waits for the next receive or accept
    bool closed = false;      // FD_CLOSE, or a failed FD_CONNECT, has been posted
    bool writeWanted = false; // a send would have blocked: FD_WRITE when there is room
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
};

// Leaked: a notifier must not outlive the event loop, and the loop may end first.
std::map<SOCKET, Sock>& sockets = *new std::map<SOCKET, Sock>;

int Fail(std::int32_t error)
{
    lastError = error;
    return SOCKET_ERROR;
}

int FailErrno()
{
    return Fail(ErrorFromErrno(errno));
}

Sock* Find(SOCKET s)
{
    const auto found = sockets.find(s);
    if (found != sockets.end())
        return &found->second;
    lastError = WSAENOTSOCK;
    return nullptr;
}

sockaddr_in ToPosix(const SockAddrIn& a)
{
    sockaddr_in p{};
    p.sin_family = AF_INET;
    p.sin_port = a.sin_port;
    p.sin_addr.s_addr = a.sin_addr;
    return p;
}

void FromPosix(const sockaddr_in& p, SockAddrIn* a)
{
    if (!a)
        return;
    a->sin_family = AfInet;
    a->sin_port = p.sin_port;
    a->sin_addr = p.sin_addr.s_addr;
}

void Notify(const Sock& k, SOCKET s, std::int32_t event, std::int32_t error)
{
    if (k.lEvent & event)
        PostMessage(k.hWnd, k.wMsg, s, WSAMAKESELECTREPLY(event, error));
}

// Watches only what can lead to an event now, so that no notifier fires again
// and again for a condition nobody will clear.
void Arm(Sock& k)
{
    if (!k.readable)
        return;
    k.readable->setEnabled(!k.readPosted && !k.closed
                           && (k.listening || k.connected || k.type == SockDgram));
    k.writable->setEnabled(k.connecting || k.writeWanted);
}

void OnReadable(SOCKET s)
{
    Sock* k = Find(s);
    if (!k)
        return;
    if (k->listening) {
        k->readPosted = true;
        Notify(*k, s, FdAccept, 0);
    } else if (k->type == SockDgram) {
        k->readPosted = true;
        Notify(*k, s, FdRead, 0);
    } else {
        char probe;
        const auto n = ::recv(k->fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            k->readPosted = true;
            Notify(*k, s, FdRead, 0);
        } else if (n == 0) {
            k->closed = true;
            Notify(*k, s, FdClose, 0);
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            k->closed = true;
            Notify(*k, s, FdClose, errno == ECONNRESET ? WSAECONNRESET : WSAECONNABORTED);
        }
    }
    Arm(*k);
}

void OnWritable(SOCKET s)
{
    Sock* k = Find(s);
    if (!k)
        return;
    if (k->connecting) {
        int error = 0;
        socklen_t len = sizeof error;
        ::getsockopt(k->fd, SOL_SOCKET, SO_ERROR, &error, &len);
        k->connecting = false;
        if (error == 0) {
            k->connected = true;
            Notify(*k, s, FdConnect, 0);
            Notify(*k, s, FdWrite, 0);
        } else {
            k->closed = true;
            Notify(*k, s, FdConnect, ErrorFromErrno(error));
        }
    } else if (k->writeWanted) {
        k->writeWanted = false;
        Notify(*k, s, FdWrite, 0);
    }
    Arm(*k);
}

void Select(Sock& k, SOCKET s, HWND hWnd, std::uint32_t wMsg, std::int32_t lEvent)
{
    k.hWnd = hWnd;
    k.wMsg = wMsg;
    k.lEvent = lEvent;
    ::fcntl(k.fd, F_SETFL, ::fcntl(k.fd, F_GETFL) | O_NONBLOCK);
    if (!k.readable) {
        k.readable = std::make_unique<QSocketNotifier>(k.fd, QSocketNotifier::Read);
        k.writable = std::make_unique<QSocketNotifier>(k.fd, QSocketNotifier::Write);
        QObject::connect(k.readable.get(), &QSocketNotifier::activated, [s] { OnReadable(s); });
        QObject::connect(k.writable.get(), &QSocketNotifier::activated, [s] { OnWritable(s); });
    }
    Arm(k);
}

SOCKET Add(int fd, int type)
{
    Sock& k = sockets[++lastSocket];
    k.fd = fd;
    k.type = type;
    return lastSocket;
}

bool IsDatagram(const Sock& k)
{
    return k.type == SockDgram;
}

// A datagram longer than the caller's buffer: the buffer holds its head.
int Received(const Sock& k, ssize_t n, int len)
{
    if (n < 0)
        return FailErrno();
    if (IsDatagram(k) && n > len)
        return Fail(WSAEMSGSIZE);
    return static_cast<int>(n);
}

// A send that would block asks for FD_WRITE once there is room again.
int Sent(Sock& k, ssize_t n)
{
    if (n >= 0)
        return static_cast<int>(n);
    const int err = errno;
    if (err == EAGAIN || err == EWOULDBLOCK) {
        k.writeWanted = true;
        Arm(k);
    }
    return Fail(ErrorFromErrno(err));
}

int ReceiveFlags(const Sock& k, int flags)
{
    return ((flags & MsgPeek) ? MSG_PEEK : 0) | (IsDatagram(k) ? MSG_TRUNC : 0);
}

// A listening port must be free again as soon as its last connection has ended,
// as it was on the original platform; a socket that still holds the port (or
// listens on it) makes a bind fail all the same.
void ReuseAddress(const Sock& k)
{
    const int on = 1;
    ::setsockopt(k.fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

int PosixOption(int optname)
{
    switch (optname) {
    case SoBroadcast: return SO_BROADCAST;
    case SoKeepAlive: return SO_KEEPALIVE;
    case SoSndBuf: return SO_SNDBUF;
    case SoRcvBuf: return SO_RCVBUF;
    default: return -1;
    }
}

// A socket option as the system knows it: level and option (-1 for one that is
// not offered), and how many of the system's units make one of the caller's.
struct PosixOpt {
    int level;
    int option;
    int scale = 1;
};

PosixOpt PosixOption(int level, int optname)
{
    if (level == SolSocket)
        return {SOL_SOCKET, PosixOption(optname)};
    if (level != IpProtoTcp)
        return {-1, -1};
    switch (optname) {
    case TcpKeepIdle: return {IPPROTO_TCP, TCP_KEEPIDLE};
    case TcpKeepCnt: return {IPPROTO_TCP, TCP_KEEPCNT};
    case TcpKeepIntvl: return {IPPROTO_TCP, TCP_KEEPINTVL};
    case TcpMaxRt: return {IPPROTO_TCP, TCP_USER_TIMEOUT, 1000}; // milliseconds in the system
    default: return {IPPROTO_TCP, -1};
    }
}

} // namespace

std::int32_t WSAStartup(std::uint16_t version)
{
    if ((version & 0xFF) < 1)
        return WSAVERNOTSUPPORTED;
    ++startups;
    return 0;
}

std::int32_t WSACleanup()
{
    if (startups == 0)
        return Fail(WSANOTINITIALISED);
    --startups;
    return 0;
}

std::int32_t WSAGetLastError()
{
    return lastError;
}

void WSASetLastError(std::int32_t error)
{
    lastError = error;
}

std::int32_t ErrorFromErrno(int err)
{
    switch (err) {
    case EINTR: return WSAEINTR;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case EAGAIN: return WSAEWOULDBLOCK;
    case EINPROGRESS: return WSAEINPROGRESS;
    case EALREADY: return WSAEALREADY;
    case EBADF:
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED:
    case EPIPE: return WSAECONNABORTED;
    case ECONNRESET: return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case EHOSTUNREACH:
    case EHOSTDOWN: return WSAEHOSTUNREACH;
    default: return WSAEINVAL;
    }
}

SOCKET socket(int af, int type, int protocol)
{
    if (startups == 0)
        return Fail(WSANOTINITIALISED);
    if (af != AfInet)
        return Fail(WSAEAFNOSUPPORT);
    if (type == SockStream && protocol != 0 && protocol != IpProtoTcp)
        return Fail(WSAEPROTONOSUPPORT);
    if (type == SockDgram && protocol != 0 && protocol != IpProtoUdp)
        return Fail(WSAEPROTONOSUPPORT);
    if (type != SockStream && type != SockDgram)
        return Fail(WSAESOCKTNOSUPPORT);
    const int fd = ::socket(AF_INET, (type == SockStream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return FailErrno();
    return Add(fd, type);
}

int closesocket(SOCKET s)
{
    const auto found = sockets.find(s);
    if (found == sockets.end())
        return Fail(WSAENOTSOCK);
    const int fd = found->second.fd;
    sockets.erase(found); // the notifiers go before their descriptor
    ::close(fd);
    return 0;
}

int bind(SOCKET s, const SockAddrIn& name)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    if (name.sin_family != AfInet)
        return Fail(WSAEAFNOSUPPORT);
    if (k->type == SockStream && name.sin_port != 0)
        ReuseAddress(*k);
    const sockaddr_in p = ToPosix(name);
    if (::bind(k->fd, reinterpret_cast<const sockaddr*>(&p), sizeof p) != 0)
        return FailErrno();
    return 0;
}

int connect(SOCKET s, const SockAddrIn& name)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    if (name.sin_family != AfInet)
        return Fail(WSAEAFNOSUPPORT);
    if (name.sin_addr == InaddrAny)
        return Fail(WSAEADDRNOTAVAIL);
    const sockaddr_in p = ToPosix(name);
    const int r = ::connect(k->fd, reinterpret_cast<const sockaddr*>(&p), sizeof p);
    if (k->hWnd == 0) { // blocking
        if (r != 0)
            return FailErrno();
        k->connected = true;
        return 0;
    }
    if (r == 0) {
        k->connected = true;
        Notify(*k, s, FdConnect, 0);
        Notify(*k, s, FdWrite, 0);
    } else if (errno == EINPROGRESS) {
        k->connecting = true;
    } else if (errno == ECONNREFUSED || errno == ENETUNREACH || errno == EHOSTUNREACH
               || errno == ETIMEDOUT) {
        k->closed = true;
        Notify(*k, s, FdConnect, ErrorFromErrno(errno));
    } else {
        return FailErrno();
    }
    Arm(*k);
    return Fail(WSAEWOULDBLOCK);
}

int listen(SOCKET s, int backlog)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    ReuseAddress(*k); // also for the connections it accepts
    if (::listen(k->fd, backlog) != 0)
        return FailErrno();
    k->listening = true;
    Arm(*k);
    return 0;
}

SOCKET accept(SOCKET s, SockAddrIn* addr)
{
    Sock* k = Find(s);
    if (!k)
        return INVALID_SOCKET;
    sockaddr_in p{};
    socklen_t len = sizeof p;
    const int flags = SOCK_CLOEXEC | (k->hWnd ? SOCK_NONBLOCK : 0);
    const int fd = ::accept4(k->fd, reinterpret_cast<sockaddr*>(&p), &len, flags);
    const int err = errno;
    k->readPosted = false;
    Arm(*k);
    if (fd < 0)
        return Fail(ErrorFromErrno(err));
    FromPosix(p, addr);
    const SOCKET accepted = Add(fd, SockStream);
    Sock& n = sockets[accepted];
    n.connected = true;
    if (k->hWnd) {
        Select(n, accepted, k->hWnd, k->wMsg, k->lEvent);
        Notify(n, accepted, FdWrite, 0);
    }
    return accepted;
}

int send(SOCKET s, const char* buf, int len, int /*flags*/)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    const auto n = ::send(k->fd, buf, static_cast<size_t>(len), MSG_NOSIGNAL);
    return Sent(*k, n);
}

int recv(SOCKET s, char* buf, int len, int flags)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    const auto n = ::recv(k->fd, buf, static_cast<size_t>(len), ReceiveFlags(*k, flags));
    const int err = errno;
    k->readPosted = false;
    Arm(*k);
    errno = err;
    return Received(*k, n, len);
}

int sendto(SOCKET s, const char* buf, int len, int /*flags*/, const SockAddrIn& to)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    if (to.sin_addr == InaddrAny)
        return Fail(WSAEADDRNOTAVAIL);
    const sockaddr_in p = ToPosix(to);
    const auto n = ::sendto(k->fd, buf, static_cast<size_t>(len), MSG_NOSIGNAL,
                            reinterpret_cast<const sockaddr*>(&p), sizeof p);
    return Sent(*k, n);
}

int recvfrom(SOCKET s, char* buf, int len, int flags, SockAddrIn* from)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    sockaddr_in p{};
    socklen_t plen = sizeof p;
    const auto n = ::recvfrom(k->fd, buf, static_cast<size_t>(len), ReceiveFlags(*k, flags),
                              reinterpret_cast<sockaddr*>(&p), &plen);
    const int err = errno;
    k->readPosted = false;
    Arm(*k);
    FromPosix(p, from);
    errno = err;
    return Received(*k, n, len);
}

int getsockname(SOCKET s, SockAddrIn* name)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    sockaddr_in p{};
    socklen_t len = sizeof p;
    if (::getsockname(k->fd, reinterpret_cast<sockaddr*>(&p), &len) != 0)
        return FailErrno();
    FromPosix(p, name);
    return 0;
}

int getpeername(SOCKET s, SockAddrIn* name)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    sockaddr_in p{};
    socklen_t len = sizeof p;
    if (::getpeername(k->fd, reinterpret_cast<sockaddr*>(&p), &len) != 0)
        return FailErrno();
    FromPosix(p, name);
    return 0;
}

int getsockopt(SOCKET s, int level, int optname, std::int32_t* optval)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    if (level == SolSocket && optname == SoMaxMsgSize) {
        if (!IsDatagram(*k))
            return Fail(WSAENOPROTOOPT);
        *optval = 65507; // the largest IPv4 datagram payload
        return 0;
    }
    const auto [posixLevel, option, scale] = PosixOption(level, optname);
    if (posixLevel < 0)
        return Fail(WSAEINVAL);
    if (option < 0)
        return Fail(WSAENOPROTOOPT);
    int value = 0;
    socklen_t len = sizeof value;
    if (::getsockopt(k->fd, posixLevel, option, &value, &len) != 0)
        return FailErrno();
    *optval = value / scale;
    return 0;
}

int setsockopt(SOCKET s, int level, int optname, std::int32_t optval)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    const auto [posixLevel, option, scale] = PosixOption(level, optname);
    if (posixLevel < 0)
        return Fail(WSAEINVAL);
    if (option < 0)
        return Fail(WSAENOPROTOOPT);
    if (optval > std::numeric_limits<int>::max() / scale || optval < std::numeric_limits<int>::min() / scale)
        return Fail(WSAEINVAL);
    const int value = optval * scale;
    if (::setsockopt(k->fd, posixLevel, option, &value, sizeof value) != 0)
        return FailErrno();
    return 0;
}

int ioctlsocket(SOCKET s, std::uint32_t cmd, std::uint32_t* argp)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    if (cmd != Fionread)
        return Fail(WSAEINVAL);
    int pending = 0;
    if (::ioctl(k->fd, FIONREAD, &pending) != 0)
        return FailErrno();
    *argp = static_cast<std::uint32_t>(pending);
    return 0;
}

int WSAAsyncSelect(SOCKET s, HWND hWnd, std::uint32_t wMsg, std::int32_t lEvent)
{
    Sock* k = Find(s);
    if (!k)
        return SOCKET_ERROR;
    if (hWnd == 0 || !GetWindowProc(hWnd))
        return Fail(WSAEINVAL);
    Select(*k, s, hWnd, wMsg, lEvent);
    return 0;
}

} // namespace ws
