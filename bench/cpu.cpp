// bench_cpu: runs the processor unpaced on a CPU-bound program in the 4 KiB RAM and
// prints emulated cycles per CPU second and the ratio to the real 894 900 Hz, as the
// median (and min, max) of several runs.
//
//   bench_cpu [seconds per run] [runs]     (default 1 s, 5 runs)
//   bench_cpu --calls N                    (exactly N budgets of 11 364 cycles, no
//                                           timing: for instruction counts under callgrind)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench_util.h"
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

constexpr int32_t frameBudget = 11364;  // one active-scan budget at 60 frames per second

}  // namespace

int main(int argc, char** argv) {
    auto m = std::make_unique<Machine>();
    initMemory(*m);
    std::memcpy(m->mem.addressSpace + 0x4000, program, sizeof program);
    std::memcpy(m->mem.addressSpace + 0x4030, subroutine, sizeof subroutine);
    m->mem.addressSpace[0xFFFE] = 0x40;
    m->mem.addressSpace[0xFFFF] = 0x00;
    cpuInit(*m);
    cpuReset(*m);
    resetCycleCount(m->cycles);

    if (argc > 2 && std::strcmp(argv[1], "--calls") == 0) {
        long calls = std::atol(argv[2]);
        int64_t cycles = 0;
        for (long i = 0; i < calls; ++i) cycles += cpuExecute(*m, frameBudget);
        std::printf("cpu: %ld calls, %lld cycles\n", calls, static_cast<long long>(cycles));
        return 0;
    }
    double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    if (seconds <= 0) seconds = 1.0;
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (runs < 1) runs = 5;
    Spread s = measure(runs, [&] {
        return ratePerCpuSecond(seconds, [&] {
            int64_t cycles = 0;
            for (int i = 0; i < 100; ++i) cycles += cpuExecute(*m, frameBudget);
            return cycles;
        });
    });
    printSpread("cpu", s, 1e6, "M cycles per CPU second");
    std::printf("cpu: median %.0fx real time (min %.0fx, max %.0fx; 894900 Hz), %d runs of %.1f s\n",
                s.median / 894900.0, s.min / 894900.0, s.max / 894900.0, runs, seconds);
    return 0;
}
