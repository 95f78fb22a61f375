// Time for the window's timers that passes only when told to: tests and
// scenarios get the same ticks on every run and every backend.
#pragma once

#include "Controls.h"

#include <cstdint>
#include <map>

namespace tw::toolkit {

class VirtualClock {
public:
    // A timer's enabled state or interval changed: its count starts again.
    void TimerChanged(Timer& timer);
    // Lets `ms` milliseconds pass; every timer due meanwhile ticks, in time order.
    void Advance(std::int64_t ms);
    std::int64_t Now() const { return now_; }

private:
    struct Schedule {
        std::int64_t due;
        std::uint64_t order;
    };
    std::map<Timer*, Schedule> timers_;
    std::int64_t now_ = 0;
    std::uint64_t nextOrder_ = 0;
};

} // namespace tw::toolkit
