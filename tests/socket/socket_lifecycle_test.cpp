// The sockets service runs from the first object of a run to the end of the
// last, however many objects come and go.
#include "sockettest.h"

#include <algorithm>
#include <random>
#include <set>
#include <thread>

using namespace sockettest;

namespace {

bool ServiceRuns()
{
    const ws::SOCKET probe = ws::socket(ws::AfInet, ws::SockStream, 0);
    ws::closesocket(probe);
    return probe != ws::INVALID_SOCKET;
}

} // namespace

TEST(CNetSocketLifecycle, TheServiceRunsWhileAnyObjectLives)
{
    ASSERT_FALSE(ServiceRuns());
    auto first = std::make_unique<CNetSocket>();
    auto second = std::make_unique<CNetSocket>();
    first->Bind();
    first.reset();
    EXPECT_TRUE(ServiceRuns());
    second.reset();
    EXPECT_FALSE(ServiceRuns());
    CNetSocket third;
    EXPECT_TRUE(ServiceRuns());
}

TEST(CNetSocketLifecycle, ManyObjectsComeAndGo)
{
    std::vector<std::shared_ptr<CNetSocket>> objects;
    std::set<std::int32_t> handles;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 100; ++i) {
            objects.push_back(std::make_shared<CNetSocket>());
            objects.back()->Bind();
            EXPECT_TRUE(handles.insert(objects.back()->SocketHandle()).second) << "a handle came twice";
        }
        std::shuffle(objects.begin(), objects.end(), std::mt19937(round));
        objects.resize(50);
    }
    objects.clear();
    EXPECT_FALSE(ServiceRuns());

    Connection c; // everything starts again
    c.client->SendData("x");
    ASSERT_TRUE(WaitUntil([&] { return c.server->BytesReceived() == 1; }));
}

TEST(CNetSocketLifecycle, AnObjectEndingDuringItsLookUpGetsNoMessage)
{
    CNetSocket other; // keeps the window and the routing
    other.Bind();
    for (const int wait : {0, 300}) { // cancelled in time, and too late to cancel
        auto s = std::make_shared<CNetSocket>();
        s->Connect("localhost", 1236);
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        s.reset();
        ProcessFor(100);
    }
    SUCCEED();
}
