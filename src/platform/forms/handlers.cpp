#include "platform/forms/handlers.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <exception>
#include <vector>

namespace vb {
namespace {

int depth = 0;
std::vector<QPointer<QObject>> doomed;
bool sweepPosted = false;

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

void RunHandler(const std::function<void()>& handler)
{
    if (!handler)
        return;
    HandlerScope scope;
    try {
        handler();
    } catch (const std::exception&) {
        // A failing step of a handler is skipped, as everywhere in the game.
    }
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
