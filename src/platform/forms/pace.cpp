#include "platform/forms/pace.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

namespace vb {
namespace {

double readPaceFromEnvironment()
{
    const char* text = std::getenv("MIRVO_PACE");
    if (!text || !*text)
        return 1.0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return (end != text && value >= 0.0 && std::isfinite(value)) ? value : 1.0;
}

double& pace()
{
    static double factor = readPaceFromEnvironment();
    return factor;
}

using Clock = std::chrono::steady_clock;

// While a wait runs, holds the events that must not act before it ends: close
// requests (the player's, like any input) and the events posted for the game
// (custom types, which copy themselves). They are posted again, in order, when
// the wait ends.
class HeldEvents : public QObject {
public:
    HeldEvents() { QCoreApplication::instance()->installEventFilter(this); }
    ~HeldEvents() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        for (auto& [receiver, event] : held_) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event);
            else
                delete event;
        }
    }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::Close && event->type() < QEvent::User)
            return false;
        held_.emplace_back(receiver, event->clone());
        return true;
    }

private:
    std::vector<std::pair<QPointer<QObject>, QEvent*>> held_;
};

// Wakes the event loop when the wait is over, since its own timers are held.
class DeadlineWaker {
public:
    explicit DeadlineWaker(Clock::time_point deadline)
        : thread_([dispatcher = QAbstractEventDispatcher::instance(), deadline] {
              std::this_thread::sleep_until(deadline);
              dispatcher->wakeUp();
          })
    {
    }
    ~DeadlineWaker() { thread_.join(); }

private:
    std::thread thread_;
};

bool onApplicationThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread() && QAbstractEventDispatcher::instance();
}

void keepScreenCurrentUntil(Clock::time_point deadline)
{
    constexpr auto kScreenOnly = QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                 QEventLoop::X11ExcludeTimers | QEventLoop::WaitForMoreEvents;
    HeldEvents held;
    DeadlineWaker waker(deadline);
    // One round at least: on a loaded machine the time may be up before the
    // pause begins, and the screen still catches up with what came before it.
    do
        QCoreApplication::processEvents(kScreenOnly);
    while (Clock::now() < deadline);
}

} // namespace

double PaceFactor()
{
    return pace();
}

void SetPaceFactor(double factor)
{
    pace() = factor < 0 ? 0 : factor;
}

int Paced(int milliseconds)
{
    return milliseconds <= 0 ? 0 : static_cast<int>(std::lround(milliseconds * pace()));
}

void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Sleep(int milliseconds)
{
    const int scaled = Paced(milliseconds);
    if (scaled <= 0)
        return;
    const auto deadline = Clock::now() + std::chrono::milliseconds(scaled);
    if (onApplicationThread())
        keepScreenCurrentUntil(deadline);
    else
        std::this_thread::sleep_until(deadline);
}

void Pause(int milliseconds)
{
    DoEvents();
    Sleep(milliseconds);
}

void WaitUntil(const std::function<bool()>& done)
{
    DoEvents();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace vb
