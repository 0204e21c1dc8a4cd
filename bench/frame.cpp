// bench_frame: whole emulated frames (both CPU slices plus rendering the screen) per
// CPU second, at 100 % NTSC timing on the built-in ROM sitting at its prompt, in text
// mode and in the RG6 graphics mode; median (and min, max) of several runs.
//
//   bench_frame [seconds per run] [runs]   (default 1 s, 5 runs)
//   bench_frame --frames N                 (boot, then exactly N text-mode frames, no
//                                           timing: for instruction counts under callgrind)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench_util.h"
#include "machine.h"

namespace {

int frames(Machine& m, uint8_t latch, bool runCpu) {
    for (int i = 0; i < 60; ++i) {
        if (runCpu) runFrame(m, currentCycles(m.cycles));
        m.mem.addressSpace[videoLatchAddress] = latch;
        renderScreen(m);
    }
    return 60;
}

}  // namespace

int main(int argc, char** argv) {
    auto m = std::make_unique<Machine>();
    loadRomImages(*m);
    recomputeFrameTiming(*m);
    rebuildDisplay(*m);
    startupReset(*m);
    for (int i = 0; i < 120; ++i) runFrame(*m, currentCycles(m->cycles));  // past the boot

    if (argc > 2 && std::strcmp(argv[1], "--frames") == 0) {
        long n = std::atol(argv[2]);
        for (long i = 0; i < n; ++i) {
            runFrame(*m, currentCycles(m->cycles));
            m->mem.addressSpace[videoLatchAddress] = 0x00;
            renderScreen(*m);
        }
        std::printf("frame: %ld text-mode frames\n", n);
        return 0;
    }
    double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    if (seconds <= 0) seconds = 1.0;
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (runs < 1) runs = 5;
    auto rate = [&](uint8_t latch, bool runCpu) {
        return measure(runs, [&] { return ratePerCpuSecond(seconds, [&] { return frames(*m, latch, runCpu); }); });
    };
    Spread text = rate(0x00, true), graphics = rate(0x3C, true);
    printSpread("frame (CPU + render), text mode", text, 1, "frames per CPU second");
    std::printf("  = median %.0fx real time (min %.0fx, max %.0fx)\n", text.median / 60, text.min / 60, text.max / 60);
    printSpread("frame (CPU + render), RG6 graphics", graphics, 1, "frames per CPU second");
    std::printf("  = median %.0fx real time (min %.0fx, max %.0fx)\n", graphics.median / 60, graphics.min / 60,
                graphics.max / 60);
    printSpread("renderScreen alone, text", rate(0x00, false), 1, "per CPU second");
    printSpread("renderScreen alone, RG6", rate(0x3C, false), 1, "per CPU second");
    std::printf("(%d runs of %.1f s each, after one warm-up run)\n", runs, seconds);
    return 0;
}
