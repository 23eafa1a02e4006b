#include "platform/winsock/msgwindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QtDebug>
#include <exception>
#include <map>
#include <mutex>

namespace ws {
namespace {

// The windows live on the user-interface thread only. Leaked, so that a window
// destroyed late in the program's end still finds the map.
std::map<HWND, WNDPROC>& windows = *new std::map<HWND, WNDPROC>;
HWND lastWindow = 0;

QEvent::Type MessageEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

struct MessageEvent : QEvent {
    MessageEvent(HWND w, std::uint32_t m, std::int32_t wp, std::int32_t lp)
        : QEvent(MessageEventType()), hWnd(w), uMsg(m), wParam(wp), lParam(lp)
    {
    }
    // A whole copy, so that a wait of the forms can hold the message back.
    MessageEvent* clone() const override { return new MessageEvent(*this); }
    HWND hWnd;
    std::uint32_t uMsg;
    std::int32_t wParam;
    std::int32_t lParam;
};

class Dispatcher;

// Posting threads reach the dispatcher through this pointer; it is cleared under
// the lock when the application destroys the dispatcher. Both are leaked so that
// a look-up thread still running at exit never meets a destroyed mutex.
std::mutex& PostLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}
Dispatcher* dispatcher = nullptr;

void Deliver(const MessageEvent& m)
{
    const auto found = windows.find(m.hWnd);
    if (found == windows.end())
        return;
    // A copy, since the procedure may replace itself while it runs.
    const WNDPROC proc = found->second;
    try {
        CallWindowProc(proc, m.hWnd, m.uMsg, m.wParam, m.lParam);
    } catch (const std::exception& e) {
        // The event loop cannot carry an exception; the message is lost.
        qWarning("message %#x of window %d failed: %s", m.uMsg, m.hWnd, e.what());
    }
}

class Dispatcher : public QObject {
public:
    explicit Dispatcher(QObject* parent) : QObject(parent) {}
    ~Dispatcher() override
    {
        std::lock_guard guard(PostLock());
        dispatcher = nullptr;
    }

    bool event(QEvent* e) override
    {
        if (e->type() != MessageEventType())
            return QObject::event(e);
        Deliver(*static_cast<MessageEvent*>(e));
        return true;
    }
};

bool OnApplicationThread()
{
    const auto* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}

} // namespace

HWND CreateMessageWindow()
{
    if (!OnApplicationThread())
        return 0;
    {
        std::lock_guard guard(PostLock());
        if (!dispatcher)
            dispatcher = new Dispatcher(QCoreApplication::instance());
    }
    windows[++lastWindow] = [](HWND, std::uint32_t, std::int32_t, std::int32_t) { return 0; };
    return lastWindow;
}

bool DestroyWindow(HWND hWnd)
{
    return windows.erase(hWnd) == 1;
}

WNDPROC GetWindowProc(HWND hWnd)
{
    const auto found = windows.find(hWnd);
    return found == windows.end() ? WNDPROC{} : found->second;
}

WNDPROC SetWindowProc(HWND hWnd, WNDPROC proc)
{
    const auto found = windows.find(hWnd);
    if (found == windows.end())
        return {};
    std::swap(found->second, proc);
    return proc;
}

std::int32_t CallWindowProc(const WNDPROC& proc, HWND hWnd, std::uint32_t uMsg,
                            std::int32_t wParam, std::int32_t lParam)
{
    return proc ? proc(hWnd, uMsg, wParam, lParam) : 0;
}

bool PostMessage(HWND hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam)
{
    std::lock_guard guard(PostLock());
    if (!dispatcher)
        return false;
    QCoreApplication::postEvent(dispatcher, new MessageEvent(hWnd, uMsg, wParam, lParam));
    return true;
}

} // namespace ws
