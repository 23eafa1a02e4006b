#include "platform/username.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace username {
namespace {

// Far beyond any real entry; stops the growth should the look-up keep failing.
constexpr std::size_t kMaxBuffer = std::size_t{1} << 24;

} // namespace

QString LogonName()
{
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    return LogonName(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
}

QString LogonName(std::size_t bufferSize)
{
    std::vector<char> buffer(bufferSize > 0 ? bufferSize : 1);
    passwd entry{};
    passwd* found = nullptr;
    for (;;) {
        const int error = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == EINTR)
            continue;
        if (error != ERANGE || buffer.size() >= kMaxBuffer)
            break;
        buffer.resize(buffer.size() * 2);
    }
    return found && found->pw_name ? QString::fromLocal8Bit(found->pw_name) : QString();
}

} // namespace username
