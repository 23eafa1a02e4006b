#pragma once
// Host names and addresses: the text form of an address, the machine's own
// name, and blocking and asynchronous look-ups of a name's IPv4 addresses.
// The machine's own name resolves to the addresses of its interfaces, as it did
// on the original platform (not to the 127.0.1.1 that Debian maps it to).
// Names under the reserved top-level domain "invalid" never exist.
#include "platform/winsock/msgwindow.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ws {

using HANDLE = std::int32_t;

// What a look-up finds: the addresses in network byte order, the first one first.
struct HostEnt {
    std::vector<std::uint32_t> h_addr_list;
};

// The address of a dotted text "a.b.c.d" (network order); the empty text gives
// InaddrAny, any other text InaddrNone.
std::uint32_t inet_addr(const QByteArray& cp);
QByteArray inet_ntoa(std::uint32_t in);

int gethostname(QByteArray* name);
// Blocks; empty with the error number as last error when the name has no address.
std::optional<HostEnt> gethostbyname(const QByteArray& name);

// Looks the name up on a worker thread; when it ends, fills buf and posts wMsg to
// the window with the task handle as wParam and the error number in the high 16
// bits of lParam. 0 when no look-up was started.
HANDLE WSAAsyncGetHostByName(HWND hWnd, std::uint32_t wMsg, const QByteArray& name,
                             std::shared_ptr<HostEnt> buf);
// 0 when the look-up was stopped before it ended (no message follows); fails
// with 10037 once it has ended.
int WSACancelAsyncRequest(HANDLE hAsyncTaskHandle);

} // namespace ws
