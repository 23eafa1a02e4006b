#include "platform/forms/handlers.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <exception>
#include <utility>
#include <vector>

namespace vb {
namespace {

int depth = 0;
std::vector<QPointer<QObject>> doomed;
bool sweepPosted = false;

HandlerFailureHook failureHook;

void handlerFailed(const char* name, const QString& what)
{
    const QString line = QString("%1 failed: %2").arg(QLatin1String(name), what);
    qWarning("%s", qUtf8Printable(line));
    if (failureHook)
        failureHook(line);
}

void sweep();

void postSweep()
{
    if (sweepPosted || !QCoreApplication::instance())
        return;
    sweepPosted = true;
    QTimer::singleShot(0, QCoreApplication::instance(), sweep);
}

void sweep()
{
    sweepPosted = false;
    if (depth > 0) {
        postSweep(); // asked again when the outermost handler returns
        return;
    }
    auto batch = std::move(doomed);
    doomed.clear();
    for (auto& object : batch)
        delete object.data();
}

} // namespace

HandlerScope::HandlerScope()
{
    ++depth;
}

HandlerScope::~HandlerScope()
{
    if (--depth == 0 && !doomed.empty())
        postSweep();
}

void RunHandler(const std::function<void()>& handler, const char* name)
{
    if (!handler)
        return;
    HandlerScope scope;
    // A failing step of a handler is skipped, as everywhere in the game, but seen.
    try {
        handler();
    } catch (const std::exception& e) {
        handlerFailed(name, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        handlerFailed(name, "unknown exception");
    }
}

HandlerFailureHook SetHandlerFailureHook(HandlerFailureHook hook)
{
    return std::exchange(failureHook, std::move(hook));
}

void DestroyLater(QObject* object)
{
    if (!object)
        return;
    doomed.emplace_back(object);
    if (depth == 0)
        postSweep();
}

} // namespace vb
