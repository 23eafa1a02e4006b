// The hidden message window: posted messages, their order, the replaceable
// procedure, and messages for a window that has gone.
#include "platform/winsock/msgwindow.h"
#include "platform/winsock_support.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace ws;
using winsocktest::WaitUntil;

namespace {

struct Message {
    std::uint32_t uMsg;
    std::int32_t wParam;
    std::int32_t lParam;
    bool operator==(const Message&) const = default;
};

// A window whose procedure records what reaches it.
struct RecordingWindow {
    RecordingWindow() : hWnd(CreateMessageWindow())
    {
        SetWindowProc(hWnd, [this](HWND, std::uint32_t m, std::int32_t w, std::int32_t l) {
            got.push_back({m, w, l});
            return 0;
        });
    }
    ~RecordingWindow() { DestroyWindow(hWnd); }
    HWND hWnd;
    std::vector<Message> got;
};

} // namespace

TEST(WinsockWindow, MessagesArriveLaterInOrderAlsoFromOtherThreads)
{
    RecordingWindow window;
    ASSERT_NE(window.hWnd, 0);
    ASSERT_TRUE(PostMessage(window.hWnd, 0x8001, 7, 0x00010001));
    EXPECT_TRUE(window.got.empty()) << "a message is never delivered inside the call that posts it";
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            PostMessage(window.hWnd, 0x8000, i, -1);
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return window.got.size() == 101; }));
    EXPECT_EQ(window.got[0], (Message{0x8001, 7, 0x00010001}));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(window.got[i + 1], (Message{0x8000, i, -1}));
}

TEST(WinsockWindow, AMessagePostedWhileHandlingWaitsForTheNextTurn)
{
    const HWND hWnd = CreateMessageWindow();
    std::vector<int> order;
    SetWindowProc(hWnd, [&](HWND h, std::uint32_t, std::int32_t w, std::int32_t) {
        order.push_back(w);
        if (w == 1)
            PostMessage(h, 1, 3, 0);
        order.push_back(-w);
        return 0;
    });
    PostMessage(hWnd, 1, 1, 0);
    PostMessage(hWnd, 1, 2, 0);
    ASSERT_TRUE(WaitUntil([&] { return order.size() == 6; }));
    EXPECT_EQ(order, (std::vector<int>{1, -1, 2, -2, 3, -3}));
    DestroyWindow(hWnd);
}

TEST(WinsockWindow, AReplacingProcedureCanPassMessagesOnToTheOneItReplaced)
{
    RecordingWindow window;
    const WNDPROC previous = GetWindowProc(window.hWnd);
    const WNDPROC replaced = SetWindowProc(window.hWnd, [&](HWND h, std::uint32_t m, std::int32_t w, std::int32_t l) {
        return m == 5 ? 42 : CallWindowProc(previous, h, m, w, l);
    });
    ASSERT_TRUE(replaced);
    EXPECT_EQ(GetWindowProc(window.hWnd)(window.hWnd, 5, 0, 0), 42);
    PostMessage(window.hWnd, 5, 1, 0);
    PostMessage(window.hWnd, 6, 2, 0);
    ASSERT_TRUE(WaitUntil([&] { return !window.got.empty(); }));
    EXPECT_EQ(window.got, (std::vector<Message>{{6, 2, 0}}));
    // Putting the old one back restores it.
    SetWindowProc(window.hWnd, replaced);
    EXPECT_EQ(GetWindowProc(window.hWnd)(window.hWnd, 5, 0, 0), 0);
}

TEST(WinsockWindow, MessagesOfADestroyedWindowAreDroppedAndHandlesAreNotReused)
{
    int reached = 0;
    const HWND first = CreateMessageWindow();
    SetWindowProc(first, [&](HWND, std::uint32_t, std::int32_t, std::int32_t) { return ++reached; });
    PostMessage(first, 1, 0, 0);
    EXPECT_TRUE(DestroyWindow(first));
    EXPECT_FALSE(DestroyWindow(first));
    const HWND second = CreateMessageWindow();
    EXPECT_NE(second, first);
    winsocktest::ProcessFor(50);
    EXPECT_EQ(reached, 0);
    EXPECT_FALSE(SetWindowProc(first, {}));
    DestroyWindow(second);
}
