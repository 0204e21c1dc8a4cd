// bench_cpu: runs the processor unpaced on a CPU-bound program in the 4 KiB RAM and
// prints emulated cycles per host second and the ratio to the real 894 900 Hz.
//
//   bench_cpu [seconds]     (default 3)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "machine.h"

namespace {

// Loads, stores, 8- and 16-bit arithmetic, indexed and direct accesses, the stack,
// JSR/RTS and conditional branches, in a loop that never ends.
const uint8_t program[] = {
    0x8E, 0x4F, 0x00,  // 4000 LDS  #$4F00
    0xCE, 0x44, 0x00,  // 4003 LDX  #$4400      outer
    0xC6, 0x40,        // 4006 LDAB #$40
    0xA6, 0x00,        // 4008 LDAA 0,X        inner
    0x8B, 0x07,        // 400A ADDA #$07
    0xA7, 0x00,        // 400C STAA 0,X
    0xBD, 0x40, 0x30,  // 400E JSR  $4030
    0x08,              // 4011 INX
    0x5A,              // 4012 DECB
    0x26, 0xF3,        // 4013 BNE  $4008
    0x7E, 0x40, 0x03,  // 4015 JMP  $4003
};
const uint8_t subroutine[] = {
    0xFC, 0x44, 0x80,  // 4030 LDD  $4480
    0xC3, 0x01, 0x23,  // 4033 ADDD #$0123
    0xFD, 0x44, 0x80,  // 4036 STD  $4480
    0x96, 0x90,        // 4039 LDAA $90
    0x84, 0x0F,        // 403B ANDA #$0F
    0x97, 0x90,        // 403D STAA $90
    0x36,              // 403F PSHA
    0x32,              // 4040 PULA
    0x81, 0x05,        // 4041 CMPA #$05
    0x22, 0x01,        // 4043 BHI  $4046
    0x4C,              // 4045 INCA
    0x39,              // 4046 RTS
};

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (seconds <= 0) seconds = 3.0;
    auto m = std::make_unique<Machine>();
    initMemory(*m);
    std::memcpy(m->mem.addressSpace + 0x4000, program, sizeof program);
    std::memcpy(m->mem.addressSpace + 0x4030, subroutine, sizeof subroutine);
    m->mem.addressSpace[0xFFFE] = 0x40;
    m->mem.addressSpace[0xFFFF] = 0x00;
    cpuInit(*m);
    cpuReset(*m);
    resetCycleCount(m->cycles);

    // Process CPU time, so that other load on the machine does not count against us;
    // wall time is printed beside it.
    auto cpuSeconds = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    };
    using Clock = std::chrono::steady_clock;
    const int32_t frameBudget = 11364;  // one active-scan budget at 60 frames per second
    int64_t cycles = 0;
    auto wallStart = Clock::now();
    double start = cpuSeconds(), elapsed = 0;
    while (elapsed < seconds) {
        for (int i = 0; i < 100; ++i) cycles += cpuExecute(*m, frameBudget);
        elapsed = cpuSeconds() - start;
    }
    double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    double perSecond = static_cast<double>(cycles) / elapsed;
    std::printf("cpu: %lld cycles in %.2f s of CPU time (%.2f s wall): %.1f M cycles/s, %.0fx real time "
                "(894900 Hz)\n",
                static_cast<long long>(cycles), elapsed, wall, perSecond / 1e6, perSecond / 894900.0);
    return 0;
}
