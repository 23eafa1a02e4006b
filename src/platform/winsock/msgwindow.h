#pragma once
// Hidden message windows: the one place where notifications of sockets and host
// look-ups are queued and then handled, one at a time, on the user-interface
// thread. A window's procedure can be replaced, and the replacing procedure may
// pass messages on to the one it replaced. A message is always posted (from any
// thread) and never delivered from inside the call that posts it.
#include <cstdint>
#include <functional>

namespace ws {

using HWND = std::int32_t;
using WNDPROC = std::function<std::int32_t(HWND hWnd, std::uint32_t uMsg, std::int32_t wParam,
                                           std::int32_t lParam)>;

// A new window whose procedure ignores every message, or 0 when no application
// object runs on the calling thread. Handles are never reused within a run, so a
// message still queued for a destroyed window is dropped.
HWND CreateMessageWindow();
bool DestroyWindow(HWND hWnd);

// The window's procedure, empty for an unknown window.
WNDPROC GetWindowProc(HWND hWnd);
// Installs a procedure and returns the one it replaces (empty for an unknown window).
WNDPROC SetWindowProc(HWND hWnd, WNDPROC proc);
// Passes a message on to a procedure; 0 when there is none.
std::int32_t CallWindowProc(const WNDPROC& proc, HWND hWnd, std::uint32_t uMsg,
                            std::int32_t wParam, std::int32_t lParam);

// Queues a message for the window; safe from any thread. False when no
// application runs the queue.
bool PostMessage(HWND hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam);

} // namespace ws
