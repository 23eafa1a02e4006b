#pragma once
// Waiting: event processing, sleeps, the game's pause and waits for a condition.
// Every wait is scaled by the pace factor (the environment's MIRVO_PACE, 1 when
// unset), so tests run the game at pace 0 without waiting and still see every
// step in order.
#include <functional>

namespace vb {

double PaceFactor();
void SetPaceFactor(double factor);

// A duration in milliseconds scaled by the pace factor.
int Paced(int milliseconds);

// Handles every pending event, then returns.
void DoEvents();

// Waits while the screen stays current: repaints and the display server's
// window events go on, while user input, close requests, timers and the
// messages posted for the game wait until it ends.
void Sleep(int milliseconds);

// The game's pause: pending events first, then the sleep.
void Pause(int milliseconds);

// Processes events until done() holds, blocking for the next event between
// checks instead of spinning.
void WaitUntil(const std::function<bool()>& done);

} // namespace vb
