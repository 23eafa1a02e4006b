#pragma once
// Helpers for tests of the sockets layer and the socket class: waiting in the
// event loop for a condition, and plain POSIX sockets on loopback for the other
// end of a connection.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace winsocktest {

// A limit that only a fault reaches, also on a loaded machine under the sanitizers.
constexpr int kGenerousMs = 30000;

// Runs the event loop until done() holds or ms have passed; it sleeps in the
// loop between events. True when done() held.
inline bool WaitUntil(const std::function<bool()>& done, int ms = kGenerousMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer tick; // wakes the loop up to look at the clock
    tick.start(10);
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline void ProcessFor(int ms)
{
    WaitUntil([] { return false; }, ms);
}

inline sockaddr_in Loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A plain listening socket on a port the system chooses.
inline int RawListen(int* port, int type = SOCK_STREAM)
{
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    sockaddr_in a = Loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    if (type == SOCK_STREAM)
        ::listen(fd, 5);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    *port = ntohs(a.sin_port);
    return fd;
}

// A loopback port nobody listens on (one that was free a moment ago).
inline int FreePort()
{
    int port = 0;
    ::close(RawListen(&port));
    return port;
}

inline int RawConnect(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = Loopback(port);
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? fd : -1;
}

inline int LocalPortOf(int fd)
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

inline bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}

// Reads n bytes (or up to the end), running the event loop while none wait, so
// that the other end, in this thread, can go on sending.
inline QByteArray RawRead(int fd, qsizetype n, int ms = kGenerousMs)
{
    QByteArray got;
    bool ended = false;
    WaitUntil(
        [&] {
            while (!ended && got.size() < n && Readable(fd)) {
                char buf[65536];
                const auto r = ::recv(fd, buf, std::min<qsizetype>(sizeof buf, n - got.size()), 0);
                if (r <= 0)
                    ended = true;
                else
                    got.append(buf, r);
            }
            return ended || got.size() >= n;
        },
        ms);
    return got;
}

inline void RawWrite(int fd, const QByteArray& bytes)
{
    ::send(fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
}

// Closes with a reset instead of an orderly close.
inline void RawReset(int fd)
{
    const linger hard{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(fd);
}

// No more open descriptors than those now open: the next socket() fails.
class DescriptorLimit {
public:
    DescriptorLimit()
    {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        const int next = ::dup(0);
        ::close(next);
        rlimit tight = saved_;
        tight.rlim_cur = static_cast<rlim_t>(next);
        ::setrlimit(RLIMIT_NOFILE, &tight);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

} // namespace winsocktest
