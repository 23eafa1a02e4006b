#include "platform/winsock/resolver.h"

#include "platform/winsock/winsock.h"

#include <QList>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <ifaddrs.h>
#include <mutex>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <set>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace ws {
namespace {

struct Lookup {
    HostEnt host;
    std::int32_t error = 0;
};

void AddOnce(std::vector<std::uint32_t>& list, std::uint32_t address)
{
    if (std::find(list.begin(), list.end(), address) == list.end())
        list.push_back(address);
}

// IPv4 addresses of the interfaces that are up, in interface order; loopback
// only when there is nothing else.
std::vector<std::uint32_t> InterfaceAddresses()
{
    std::vector<std::uint32_t> others;
    std::vector<std::uint32_t> loopback;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return others;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP))
            continue;
        const auto address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr;
        AddOnce((i->ifa_flags & IFF_LOOPBACK) ? loopback : others, address);
    }
    ::freeifaddrs(list);
    return others.empty() ? loopback : others;
}

bool IsOwnName(const QByteArray& name)
{
    char own[HOST_NAME_MAX + 1] = {};
    return ::gethostname(own, sizeof own - 1) == 0 && name.compare(own, Qt::CaseInsensitive) == 0;
}

bool IsReservedInvalid(QByteArray name)
{
    if (name.endsWith('.'))
        name.chop(1);
    name = name.toLower();
    return name == "invalid" || name.endsWith(".invalid");
}

std::int32_t ErrorFromLookup(int code)
{
    switch (code) {
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return WSANO_DATA;
    case EAI_MEMORY: return WSAENOBUFS;
    case EAI_SYSTEM: return ErrorFromErrno(errno);
    default: return WSANO_RECOVERY;
    }
}

Lookup Resolve(const QByteArray& name)
{
    Lookup result;
    if (IsReservedInvalid(name)) {
        result.error = WSAHOST_NOT_FOUND;
        return result;
    }
    if (IsOwnName(name))
        result.host.h_addr_list = InterfaceAddresses();
    if (!result.host.h_addr_list.empty())
        return result;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int code = ::getaddrinfo(name.constData(), nullptr, &hints, &list);
    if (code != 0) {
        result.error = ErrorFromLookup(code);
        return result;
    }
    for (const addrinfo* i = list; i; i = i->ai_next)
        AddOnce(result.host.h_addr_list, reinterpret_cast<const sockaddr_in*>(i->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(list);
    return result;
}

// Look-ups still running. The worker of a task takes it out when it ends, a
// cancel when it stops it first; whichever comes second finds it gone. Leaked,
// so that a worker still running at exit never meets a destroyed object.
struct Tasks {
    std::mutex lock;
    std::set<HANDLE> running;
    HANDLE last = 0;
};

Tasks& RunningTasks()
{
    static auto* tasks = new Tasks;
    return *tasks;
}

void RunLookup(HANDLE task, HWND hWnd, std::uint32_t wMsg, QByteArray name, std::shared_ptr<HostEnt> buf)
{
    const Lookup result = Resolve(name);
    Tasks& tasks = RunningTasks();
    std::lock_guard guard(tasks.lock);
    if (tasks.running.erase(task) == 0)
        return; // cancelled
    *buf = result.host;
    PostMessage(hWnd, wMsg, task, WSAMAKESELECTREPLY(0, result.error));
}

} // namespace

std::uint32_t inet_addr(const QByteArray& cp)
{
    if (cp.isEmpty())
        return InaddrAny;
    const QList<QByteArray> parts = cp.split('.');
    if (parts.size() != 4)
        return InaddrNone;
    std::uint32_t host = 0;
    for (const QByteArray& part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok);
        const bool digits = !part.isEmpty() && part.size() <= 3
                            && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!ok || !digits || value > 255)
            return InaddrNone;
        host = host << 8 | value;
    }
    return htonl(host);
}

QByteArray inet_ntoa(std::uint32_t in)
{
    const std::uint32_t host = ntohl(in);
    return QByteArray::number(host >> 24) + '.' + QByteArray::number((host >> 16) & 0xFF) + '.'
           + QByteArray::number((host >> 8) & 0xFF) + '.' + QByteArray::number(host & 0xFF);
}

int gethostname(QByteArray* name)
{
    char own[HOST_NAME_MAX + 1] = {};
    if (::gethostname(own, sizeof own - 1) != 0) {
        WSASetLastError(ErrorFromErrno(errno));
        return SOCKET_ERROR;
    }
    *name = own;
    return 0;
}

std::optional<HostEnt> gethostbyname(const QByteArray& name)
{
    Lookup result = Resolve(name);
    if (result.error != 0) {
        WSASetLastError(result.error);
        return std::nullopt;
    }
    return std::move(result.host);
}

HANDLE WSAAsyncGetHostByName(HWND hWnd, std::uint32_t wMsg, const QByteArray& name,
                             std::shared_ptr<HostEnt> buf)
{
    Tasks& tasks = RunningTasks();
    std::lock_guard guard(tasks.lock);
    const HANDLE task = ++tasks.last;
    try {
        std::thread(RunLookup, task, hWnd, wMsg, name, std::move(buf)).detach();
    } catch (const std::system_error&) {
        WSASetLastError(WSAENOBUFS);
        return 0;
    }
    tasks.running.insert(task);
    return task;
}

int WSACancelAsyncRequest(HANDLE hAsyncTaskHandle)
{
    Tasks& tasks = RunningTasks();
    std::lock_guard guard(tasks.lock);
    if (tasks.running.erase(hAsyncTaskHandle) == 1)
        return 0;
    const bool known = hAsyncTaskHandle > 0 && hAsyncTaskHandle <= tasks.last;
    WSASetLastError(known ? WSAEALREADY : WSAEINVAL);
    return SOCKET_ERROR;
}

} // namespace ws
