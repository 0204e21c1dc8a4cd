// A HostClock on the C++ steady clock, for hosts without a platform clock of their own:
// milliseconds since an arbitrary start (wrapping at 2^32) and a nanosecond counter.
//
//   SteadyHostClock clock;
//   m.host.clock = &clock;
//   setupHostClock(m);   // counterFrequency 1 000 000 000
#pragma once
#include <chrono>

#include "host/host.h"

struct SteadyHostClock : HostClock {
    uint32_t milliseconds() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
    bool counterFrequency(int64_t& ticksPerSecond) override {
        ticksPerSecond = 1000000000;
        return true;
    }
    bool readCounter(int64_t& now) override {
        now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                  std::chrono::steady_clock::now().time_since_epoch())
                  .count();
        return true;
    }
};
