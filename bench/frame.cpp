// Whole emulated frames (both CPU slices plus rendering the screen) per host second,
// at 100 % NTSC timing on the built-in ROM, in text mode and in the RG6 graphics mode.
#include <chrono>
#include <cstdio>
#include <memory>

#include "machine.h"

namespace {

double framesPerSecond(Machine& m, uint8_t latch, bool runCpu = true) {
    using clock = std::chrono::steady_clock;
    auto start = clock::now();
    long frames = 0;
    double seconds = 0;
    while (seconds < 1.5) {
        for (int i = 0; i < 60; ++i) {
            if (runCpu) runFrame(m, currentCycles(m.cycles));
            m.mem.addressSpace[videoLatchAddress] = latch;
            renderScreen(m);
        }
        frames += 60;
        seconds = std::chrono::duration<double>(clock::now() - start).count();
    }
    return frames / seconds;
}

}  // namespace

int main() {
    auto m = std::make_unique<Machine>();
    loadRomImages(*m);
    recomputeFrameTiming(*m);
    rebuildDisplay(*m);
    startupReset(*m);
    for (int i = 0; i < 120; ++i) runFrame(*m, currentCycles(m->cycles));  // past the boot
    double text = framesPerSecond(*m, 0x00);
    double graphics = framesPerSecond(*m, 0x3C);
    std::printf("frame (CPU + render), text mode: %.0f frames/s (%.1f x real time)\n", text, text / 60);
    std::printf("frame (CPU + render), RG6 graphics: %.0f frames/s (%.1f x real time)\n", graphics, graphics / 60);
    std::printf("renderScreen alone: text %.0f/s, RG6 %.0f/s\n", framesPerSecond(*m, 0x00, false),
                framesPerSecond(*m, 0x3C, false));
    return 0;
}
