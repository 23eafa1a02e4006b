#pragma once
// Ending the program at once: no window is unloaded and no handler runs after
// it. Tests replace the ending to see that it was asked for.
#include <functional>

namespace vb {

[[noreturn]] void EndNow();
// Ends the program through the installed ending (EndNow when none).
void End();
// Installs another ending; returns the previous one.
std::function<void()> SetEndHandler(std::function<void()> handler);

} // namespace vb
