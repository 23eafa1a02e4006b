// Addresses as text, and host look-ups: blocking, asynchronous, cancelled, and
// the machine's own name.
#include "platform/winsock/resolver.h"
#include "platform/winsock/winsock.h"
#include "platform/winsock_support.h"

#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <cstdlib>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ws;
using winsocktest::WaitUntil;

TEST(WinsockResolver, DottedTextConvertsBothWays)
{
    EXPECT_EQ(ws::inet_addr("192.168.0.1"), htonl(0xC0A80001));
    EXPECT_EQ(ws::inet_ntoa(htonl(0xC0A80001)), "192.168.0.1");
    EXPECT_EQ(ws::inet_ntoa(htonl(0x0A00FF00)), "10.0.255.0");
    EXPECT_EQ(ws::inet_addr(""), InaddrAny);
    for (const char* bad : {"localhost", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.-4", " 1.2.3.4", "1.2.3.4x"})
        EXPECT_EQ(ws::inet_addr(bad), InaddrNone) << bad;
}

TEST(WinsockResolver, BlockingLookUpFindsLoopbackAndReportsMissingNames)
{
    const auto local = ws::gethostbyname("localhost");
    ASSERT_TRUE(local);
    EXPECT_EQ(local->h_addr_list.front(), htonl(INADDR_LOOPBACK));
    EXPECT_FALSE(ws::gethostbyname("no-such-host.invalid"));
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
}

namespace {

struct Answer {
    std::int32_t task = 0;
    std::int32_t lParam = 0;
    int count = 0;
};

HWND AnsweringWindow(Answer* answer)
{
    const HWND hWnd = CreateMessageWindow();
    SetWindowProc(hWnd, [answer](HWND, std::uint32_t, std::int32_t w, std::int32_t l) {
        answer->task = w;
        answer->lParam = l;
        ++answer->count;
        return 0;
    });
    return hWnd;
}

} // namespace

TEST(WinsockResolver, AsynchronousLookUpPostsItsResultOnce)
{
    Answer answer;
    const HWND hWnd = AnsweringWindow(&answer);
    auto found = std::make_shared<HostEnt>();
    const HANDLE task = WSAAsyncGetHostByName(hWnd, 0x8000, "localhost", found);
    ASSERT_NE(task, 0);
    ASSERT_TRUE(WaitUntil([&] { return answer.count == 1; }));
    EXPECT_EQ(answer.task, task);
    EXPECT_EQ(answer.lParam >> 16, 0);
    EXPECT_EQ(found->h_addr_list.front(), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(WSACancelAsyncRequest(task), SOCKET_ERROR) << "a finished look-up cannot be cancelled";
    EXPECT_EQ(WSAGetLastError(), WSAEALREADY);

    auto missing = std::make_shared<HostEnt>();
    const HANDLE second = WSAAsyncGetHostByName(hWnd, 0x8000, "nowhere.invalid", missing);
    EXPECT_NE(second, task);
    ASSERT_TRUE(WaitUntil([&] { return answer.count == 2; }));
    EXPECT_EQ(answer.task, second);
    EXPECT_EQ(answer.lParam >> 16, WSAHOST_NOT_FOUND);
    DestroyWindow(hWnd);
}

TEST(WinsockResolver, ACancelledLookUpPostsNothing)
{
    Answer answer;
    const HWND hWnd = AnsweringWindow(&answer);
    int cancelled = 0;
    for (int i = 0; i < 20; ++i) {
        const HANDLE task = WSAAsyncGetHostByName(hWnd, 0x8000, "localhost", std::make_shared<HostEnt>());
        if (WSACancelAsyncRequest(task) == 0)
            ++cancelled;
    }
    EXPECT_GT(cancelled, 0);
    // Every look-up that was not cancelled answers; then no other one does.
    EXPECT_TRUE(WaitUntil([&] { return answer.count >= 20 - cancelled; }, 20000));
    winsocktest::ProcessFor(100);
    EXPECT_EQ(answer.count, 20 - cancelled);
    EXPECT_EQ(WSACancelAsyncRequest(987654), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    DestroyWindow(hWnd);
}

// In a network namespace of its own, with two interfaces beside loopback, the
// machine's name gives their addresses in interface order and no loopback.
TEST(WinsockResolver, OwnHostNameGivesTheInterfaceAddresses)
{
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(77);
        if (std::system("ip link set lo up && ip tuntap add dev mvA mode tun && ip tuntap add dev mvB mode tun"
                        " && ip addr add 10.9.8.7/24 dev mvA && ip addr add 10.9.9.1/24 dev mvB"
                        " && ip link set mvA up && ip link set mvB up")
            != 0)
            _exit(77);
        QByteArray name;
        ws::gethostname(&name);
        const auto own = ws::gethostbyname(name.toUpper());
        const bool right = own && own->h_addr_list.size() == 2 && own->h_addr_list[0] == htonl(0x0A090807)
                           && own->h_addr_list[1] == htonl(0x0A090901);
        _exit(right ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no right to make a network namespace here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Here only loopback is up, and it stands in for the machine.
    QByteArray name;
    ASSERT_EQ(ws::gethostname(&name), 0);
    const auto own = ws::gethostbyname(name);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->h_addr_list, std::vector<std::uint32_t>{htonl(INADDR_LOOPBACK)});
}
