#include "VirtualClock.h"

namespace tw::toolkit {

void VirtualClock::TimerChanged(Timer& timer) {
    if (timer.Enabled() && timer.Interval() > 0)
        timers_[&timer] = {now_ + timer.Interval(), nextOrder_++};
    else
        timers_.erase(&timer);
}

void VirtualClock::Advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    for (;;) {
        Timer* next = nullptr;
        Schedule best{};
        for (const auto& [timer, schedule] : timers_) {
            if (schedule.due > until)
                continue;
            if (next == nullptr || schedule.due < best.due ||
                (schedule.due == best.due && schedule.order < best.order)) {
                next = timer;
                best = schedule;
            }
        }
        if (next == nullptr)
            break;
        now_ = best.due;
        timers_[next] = {best.due + next->Interval(), nextOrder_++};
        if (next->Tick)
            next->Tick();
    }
    now_ = until;
}

} // namespace tw::toolkit
