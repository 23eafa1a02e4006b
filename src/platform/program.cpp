#include "platform/program.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vb {
namespace {
std::function<void()>& endHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void EndNow()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

void End()
{
    if (endHandler())
        endHandler()();
    else
        EndNow();
}

std::function<void()> SetEndHandler(std::function<void()> handler)
{
    return std::exchange(endHandler(), std::move(handler));
}

} // namespace vb
