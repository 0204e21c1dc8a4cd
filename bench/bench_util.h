// Shared by the benchmarks: process CPU time (other load on the machine does not count
// against us), and min/median/max over several timed runs after a warm-up.
//
//   Spread s = measure(5, [&] { return framesPerCpuSecond(m); });
//   printSpread("frames/s", s);
#pragma once
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

inline double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Spread {
    double min = 0, median = 0, max = 0;
};

// One warm-up run, then `runs` more; each run returns its rate.
template <class Run>
Spread measure(int runs, Run run) {
    (void)run();
    std::vector<double> rates;
    for (int i = 0; i < runs; ++i) rates.push_back(run());
    std::sort(rates.begin(), rates.end());
    return {rates.front(), rates[rates.size() / 2], rates.back()};
}

inline void printSpread(const char* what, const Spread& s, double scale, const char* unit) {
    std::printf("%s: median %.1f %s (min %.1f, max %.1f)\n", what, s.median / scale, unit, s.min / scale,
                s.max / scale);
}

// Repeats `step` (which returns the units of work it did) until `seconds` of CPU time
// have passed; returns units per CPU second.
template <class Step>
double ratePerCpuSecond(double seconds, Step step) {
    double start = cpuSeconds(), elapsed = 0, units = 0;
    while (elapsed < seconds) {
        units += static_cast<double>(step());
        elapsed = cpuSeconds() - start;
    }
    return units / elapsed;
}
