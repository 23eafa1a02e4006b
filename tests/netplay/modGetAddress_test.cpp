#include "netplay/modGetAddress.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

bool writeSetting(const char* path, const char* value)
{
    std::ofstream file(path);
    file << value;
    file.close();
    return file.good();
}

bool loopbackUp()
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    const bool up = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0 &&
                    (request.ifr_flags |= IFF_UP, ioctl(fd, SIOCSIFFLAGS, &request) == 0);
    if (fd >= 0)
        close(fd);
    return up;
}

// Takes the right to open raw sockets away from this process.
bool dropRawSockets()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective &= ~(1u << CAP_NET_RAW);
    data[0].permitted &= ~(1u << CAP_NET_RAW);
    return syscall(SYS_capset, &header, data) == 0;
}

enum class Sockets { Raw, Unprivileged, None };

// Runs body in a child process with a network namespace of its own, in which
// only the loopback interface exists and is up, and with the ICMP sockets the
// case asks for. Whatever it sends stays in there. The child's answer comes
// back through a pipe; no answer means the machine gives no such namespace.
std::optional<std::string> inPrivateNetwork(Sockets sockets, const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        const bool ready = unshare(CLONE_NEWNET) == 0 && loopbackUp() &&
                           writeSetting("/proc/sys/net/ipv4/ping_group_range",
                                        sockets == Sockets::Unprivileged ? "0 2147483647" : "1 0") &&
                           (sockets == Sockets::Raw || dropRawSockets());
        if (!ready)
            _exit(2);
        const std::string answer = body();
        const bool written = write(pipeFds[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        _exit(written ? 0 : 3);
    }
    close(pipeFds[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

#define IN_PRIVATE_NETWORK(result, sockets, body)                                                                     \
    const std::optional<std::string> result = inPrivateNetwork(sockets, body);                                       \
    if (!result)                                                                                                      \
        GTEST_SKIP() << "no private network namespace for this process";

// The ping's result, and whether it came within the wait (and, when it came
// late, after the whole wait).
std::string ping(const char* host)
{
    using namespace std::chrono;
    const auto start = steady_clock::now();
    const bool reachable = PingHost(host);
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    std::string answer = reachable ? "reachable" : "unreachable";
    if (took > 1000)
        answer += " too late";
    return answer;
}

TEST(IsValidIPTest, FourDecimalPartsUpTo255)
{
    for (const char* valid : {"192.168.0.2", "0.0.0.0", "255.255.255.255", "10.0.0.001", "127.0.0.1"})
        EXPECT_TRUE(IsValidIP(valid)) << valid;
    for (const char* invalid : {"", "No IP", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.1000", "1..2.3", "1.2.3.",
                                " 1.2.3.4", "1.2.3.4 ", "1,2.3.4", "-1.2.3.4", "+1.2.3.4", "1.2.3.a", "1.2.3.٣",
                                "1.2.3.0x1", "localhost"})
        EXPECT_FALSE(IsValidIP(invalid)) << invalid;
}

TEST(LocalAddressesTest, LastTwoFirstAndTheRestAfter)
{
    const auto none = LocalAddressesFrom({});
    EXPECT_EQ(none.LocalIP1, "No IP");
    EXPECT_EQ(none.LocalIP2, "No IP");
    EXPECT_EQ(none.OtherLocalIPs, "No IP");

    const auto one = LocalAddressesFrom({"10.0.0.5"});
    EXPECT_EQ(one.LocalIP1, "10.0.0.5");
    EXPECT_EQ(one.LocalIP2, "No IP");
    EXPECT_EQ(one.OtherLocalIPs, "No IP");

    const auto two = LocalAddressesFrom({"10.0.0.5", "192.168.1.7"});
    EXPECT_EQ(two.LocalIP1, "10.0.0.5");
    EXPECT_EQ(two.LocalIP2, "192.168.1.7");
    EXPECT_EQ(two.OtherLocalIPs, "No IP");

    const auto four = LocalAddressesFrom({"A", "B", "C", "D"});
    EXPECT_EQ(four.LocalIP1, "C");
    EXPECT_EQ(four.LocalIP2, "D");
    EXPECT_EQ(four.OtherLocalIPs, "A\r\nB\r\n");
}

TEST(LocalAddressesTest, ComeFromTheInterfacesLoopbackOnlyWhenAlone)
{
    auto listed = [] {
        GetLocalAddresses();
        return (LocalAddresses.LocalIP1 + "|" + LocalAddresses.LocalIP2 + "|" + LocalAddresses.OtherLocalIPs)
            .toStdString();
    };
    IN_PRIVATE_NETWORK(alone, Sockets::Raw, listed);
    EXPECT_EQ(*alone, "127.0.0.1|No IP|No IP");

    IN_PRIVATE_NETWORK(three, Sockets::Raw, [&] {
        const int made = std::system("ip link add v0 type veth peer name v1 && ip link set v0 up &&"
                                     " ip addr add 10.9.0.1/24 dev v0 && ip addr add 10.9.0.2/24 dev v0 &&"
                                     " ip addr add 10.9.0.3/24 dev v0 && ip addr add 10.9.1.1/24 dev v1");
        return made == 0 ? listed() : std::string("no veth pair");
    });
    if (*three == "no veth pair")
        GTEST_SKIP() << "no veth pair in a private namespace here";
    EXPECT_EQ(*three, "10.9.0.2|10.9.0.3|10.9.0.1\r\n") << "v1 is down and loopback is left out";
}

TEST(PingHostTest, LoopbackAnswersOverEitherKindOfSocket)
{
    IN_PRIVATE_NETWORK(raw, Sockets::Raw, [] { return ping("127.0.0.1"); });
    EXPECT_EQ(*raw, "reachable");
    IN_PRIVATE_NETWORK(unprivileged, Sockets::Unprivileged, [] { return ping("127.0.0.1"); });
    EXPECT_EQ(*unprivileged, "reachable");
}

TEST(PingHostTest, NoRouteOrNoAnswerIsUnreachableWithinTheWait)
{
    IN_PRIVATE_NETWORK(noRoute, Sockets::Raw, [] { return ping("10.255.255.1"); });
    EXPECT_EQ(*noRoute, "unreachable");
    IN_PRIVATE_NETWORK(noRouteUnprivileged, Sockets::Unprivileged, [] { return ping("10.255.255.1"); });
    EXPECT_EQ(*noRouteUnprivileged, "unreachable");

    // The host is there but does not answer echoes: the whole wait, then unreachable.
    IN_PRIVATE_NETWORK(silent, Sockets::Raw, [] {
        if (!writeSetting("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1"))
            return std::string("no setting");
        const auto start = std::chrono::steady_clock::now();
        std::string answer = ping("127.0.0.1");
        if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(240))
            answer += " without waiting";
        return answer;
    });
    EXPECT_EQ(*silent, "unreachable");
}

TEST(PingHostTest, WithoutAnyIcmpSocketTheHostCountsAsReachable)
{
    IN_PRIVATE_NETWORK(result, Sockets::None, [] { return ping("10.255.255.1"); });
    EXPECT_EQ(*result, "reachable");
}

TEST(PingHostTest, NamesOnlyHaveToResolve)
{
    IN_PRIVATE_NETWORK(result, Sockets::Raw, [] {
        std::string answer;
        for (const char* host : {"localhost", "no-such-host.invalid", "1.2.3", "255.255.255.255", ""})
            answer += ping(host) + ";";
        answer += GetIPFromHostName("localhost").toStdString();
        return answer;
    });
    EXPECT_EQ(*result, "reachable;unreachable;unreachable;unreachable;unreachable;127.0.0.1")
        << "a name resolves; digits and dots that are no address name nothing; the broadcast address sends no echo";
}

} // namespace
