#pragma once
// Handlers nest: a pause, a flight or a modal window inside one handler runs
// others. Nothing may be destroyed while one of its handlers is still on the
// stack, so destruction is deferred until no handler runs at all. (Qt's own
// deferred delete is not enough: a nested event loop runs it before the outer
// handler has returned.)
#include <QObject>
#include <QString>
#include <functional>

namespace vb {

// Marks a handler as running for its lifetime.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

// Runs a handler inside a scope. Exceptions stop at the handler: the event loop
// must go on whatever one handler did. Each is logged in one line, with the
// handler's name, and told to the failure hook.
void RunHandler(const std::function<void()>& handler, const char* name = "event handler");

// Called with that line for every handler that failed (tests fail on it);
// returns the previous hook.
using HandlerFailureHook = std::function<void(const QString& line)>;
HandlerFailureHook SetHandlerFailureHook(HandlerFailureHook hook);

// Deletes the object once no handler is running.
void DestroyLater(QObject* object);

} // namespace vb
