#pragma once
// A timer control: while enabled with an interval above 0 it raises its event
// every interval. The countdown starts again only when the timer is switched
// on or its interval changes; setting a property to the value it has is no
// restart. Game timers follow the pace factor; the resolution is about
// 15 ms, the tick the game's look was made with.
#include "platform/forms/property.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace vb {

class Timer : public QObject {
    Q_OBJECT

public:
    explicit Timer(QObject* owner, bool paced = true);

    Property<int> Interval;
    Property<bool> Enabled;
    std::function<void()> OnTimer;

    // The interval the toolkit's timer really runs with.
    static int EffectiveInterval(int interval, bool paced);

private:
    void restart();

    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = true;
    bool paced_;
};

} // namespace vb
