#include "platform/forms/timer.h"

#include "platform/forms/handlers.h"
#include "platform/forms/pace.h"

#include <algorithm>

namespace vb {

namespace {
constexpr int kResolution = 15;
}

Timer::Timer(QObject* owner, bool paced)
    : QObject(owner),
      Interval([this] { return interval_; },
               [this](const int& v) {
                   const int interval = std::max(0, v);
                   if (interval == interval_)
                       return;
                   interval_ = interval;
                   restart();
               }),
      Enabled([this] { return enabled_; },
              [this](const bool& v) {
                  if (v == enabled_)
                      return;
                  enabled_ = v;
                  restart();
              }),
      paced_(paced)
{
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnTimer)
            RunHandler(OnTimer);
    });
}

int Timer::EffectiveInterval(int interval, bool paced)
{
    if (interval <= 0)
        return 0;
    if (paced && PaceFactor() == 0)
        return 0;
    return std::max(kResolution, paced ? Paced(interval) : interval);
}

void Timer::restart()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(EffectiveInterval(interval_, paced_));
}

} // namespace vb
