#include "netplay/modGetAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <optional>

LocalAddressInfo LocalAddresses;

namespace {

const QString kNoIP = QStringLiteral("No IP");
constexpr char kEchoData[] = "Echo this"; // sent without its terminator
constexpr std::size_t kEchoDataSize = sizeof kEchoData - 1;
constexpr int kEchoWaitMs = 250;

QString dotted(const in_addr& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

bool onlyDigits(const QString& text, bool dotsToo = false)
{
    for (const QChar c : text)
        if ((c < '0' || c > '9') && !(dotsToo && c == '.'))
            return false;
    return true;
}

// The address of a text IsValidIP accepts, each part read as decimal.
in_addr addressOf(const QString& text)
{
    std::uint32_t value = 0;
    for (const QString& part : text.split('.'))
        value = (value << 8) | static_cast<std::uint32_t>(part.toUInt());
    in_addr address{};
    address.s_addr = htonl(value);
    return address;
}

// The IPv4 addresses of the interfaces that are up, in interface order; the
// loopback ones only when there is no other. None when they cannot be read.
std::optional<QStringList> interfaceAddresses()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return std::nullopt;
    QStringList others, loopback;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP))
            continue;
        const QString text = dotted(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr);
        ((i->ifa_flags & IFF_LOOPBACK) ? loopback : others) << text;
    }
    freeifaddrs(list);
    return others.isEmpty() ? loopback : others;
}

std::uint16_t checksum(const unsigned char* data, std::size_t size)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

class IcmpSocket {
public:
    // An unprivileged ICMP socket where the system allows one, else a raw one.
    IcmpSocket()
    {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd_ < 0) {
            fd_ = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
            raw_ = fd_ >= 0;
        }
    }
    ~IcmpSocket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    IcmpSocket(const IcmpSocket&) = delete;
    IcmpSocket& operator=(const IcmpSocket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    // Sends one echo request and waits for its reply until the deadline.
    bool Echo(const in_addr& target, std::chrono::milliseconds wait);

private:
    bool send(const in_addr& target);
    bool isOurReply(const unsigned char* data, std::size_t size, const in_addr& target) const;

    int fd_ = -1;
    bool raw_ = false;
    std::uint16_t id_ = 0;
    std::uint16_t sequence_ = 0;
};

bool IcmpSocket::send(const in_addr& target)
{
    static std::uint16_t nextSequence = 0;
    sequence_ = ++nextSequence;
    // The kernel puts its own identifier into the requests of an unprivileged socket.
    id_ = static_cast<std::uint16_t>(getpid());
    std::array<unsigned char, sizeof(icmphdr) + kEchoDataSize> packet{};
    icmphdr header{};
    header.type = ICMP_ECHO;
    header.un.echo.id = htons(id_);
    header.un.echo.sequence = htons(sequence_);
    std::memcpy(packet.data(), &header, sizeof header);
    std::memcpy(packet.data() + sizeof header, kEchoData, kEchoDataSize);
    const std::uint16_t sum = htons(checksum(packet.data(), packet.size()));
    std::memcpy(packet.data() + offsetof(icmphdr, checksum), &sum, sizeof sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = target;
    if (sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0)
        return false;
    if (!raw_) {
        sockaddr_in local{};
        socklen_t size = sizeof local;
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) == 0)
            id_ = ntohs(local.sin_port);
    }
    return true;
}

bool IcmpSocket::isOurReply(const unsigned char* data, std::size_t size, const in_addr& target) const
{
    if (raw_) {
        // A raw socket sees every ICMP packet with its IP header: our own
        // request on loopback, other programs' replies.
        if (size < sizeof(iphdr))
            return false;
        iphdr ip{};
        std::memcpy(&ip, data, sizeof ip);
        const std::size_t headerSize = ip.ihl * 4u;
        if (ip.saddr != target.s_addr || headerSize < sizeof ip || size < headerSize)
            return false;
        data += headerSize;
        size -= headerSize;
    }
    if (size != sizeof(icmphdr) + kEchoDataSize)
        return false;
    icmphdr reply{};
    std::memcpy(&reply, data, sizeof reply);
    return reply.type == ICMP_ECHOREPLY && reply.code == 0 && ntohs(reply.un.echo.id) == id_ &&
           ntohs(reply.un.echo.sequence) == sequence_ &&
           std::memcmp(data + sizeof reply, kEchoData, kEchoDataSize) == 0;
}

bool IcmpSocket::Echo(const in_addr& target, std::chrono::milliseconds wait)
{
    using Clock = std::chrono::steady_clock;
    if (!send(target))
        return false;
    const auto deadline = Clock::now() + wait;
    std::array<unsigned char, 1500> buffer{};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd ready{fd_, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        const ssize_t got = recv(fd_, buffer.data(), buffer.size(), 0);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false; // an ICMP error about our request
        }
        if (isOurReply(buffer.data(), static_cast<std::size_t>(got), target))
            return true;
    }
}

} // namespace

QString GetIPFromHostName(const QString& name)
{
    // Digits and dots that make no valid address name no host either; the
    // resolver would read "1.2.3" as 1.2.0.3.
    if (name.isEmpty() || (onlyDigits(name, true) && !IsValidIP(name)))
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &found) != 0 || !found)
        return {};
    const QString text = dotted(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
    freeaddrinfo(found);
    return text;
}

LocalAddressInfo LocalAddressesFrom(const QStringList& addresses)
{
    LocalAddressInfo info;
    QString earlier;
    for (const QString& address : addresses) {
        info.LocalIP1 = earlier;
        info.LocalIP2 = address;
        earlier = address;
    }
    if (info.LocalIP1.isEmpty()) {
        info.LocalIP1 = info.LocalIP2.isEmpty() ? kNoIP : info.LocalIP2;
        info.LocalIP2 = kNoIP;
    } else if (info.LocalIP2.isEmpty()) {
        info.LocalIP2 = kNoIP;
    }
    for (const QString& address : addresses)
        if (address != info.LocalIP1 && address != info.LocalIP2)
            info.OtherLocalIPs += address + "\r\n";
    if (info.OtherLocalIPs.isEmpty())
        info.OtherLocalIPs = kNoIP;
    return info;
}

bool GetLocalAddresses()
{
    const std::optional<QStringList> addresses = interfaceAddresses();
    if (!addresses)
        return false;
    LocalAddresses = LocalAddressesFrom(*addresses);
    return true;
}

bool IsValidIP(const QString& text)
{
    const QStringList parts = text.split('.');
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3 || !onlyDigits(part) || part.toInt() > 255)
            return false;
    }
    return true;
}

bool PingHost(const QString& host)
{
    if (!IsValidIP(host))
        return !GetIPFromHostName(host).isEmpty();
    const in_addr address = addressOf(host);
    if (address.s_addr == INADDR_NONE)
        return false;
    IcmpSocket icmp;
    if (!icmp.IsOpen())
        return true;
    return icmp.Echo(address, std::chrono::milliseconds(kEchoWaitMs));
}
