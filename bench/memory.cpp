// bench_memory: address decoder throughput, reads and writes per CPU second over a mix
// of RAM, ROM and page-zero addresses like the BASIC ROM's own accesses; median (and
// min, max) of several runs.
//
//   bench_memory [seconds per run] [runs]   (default 0.5 s, 5 runs)
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench_util.h"
#include "machine/memory_access.h"

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 0.5;
    if (seconds <= 0) seconds = 0.5;
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (runs < 1) runs = 5;
    auto m = std::make_unique<Machine>();
    loadRomImages(*m);
    initMemory(*m);
    const uint16_t addresses[] = {0xE123, 0xF456, 0x4201, 0x00A5, 0x4FFE, 0x0085, 0xE800, 0x4100};
    constexpr long chunk = 1'000'000;
    unsigned sum = 0;
    long next = 0;
    Spread reads = measure(runs, [&] {
        return ratePerCpuSecond(seconds, [&] {
            for (long i = next; i < next + chunk; ++i)
                sum += readMemory(*m, static_cast<uint16_t>(addresses[i & 7] + (i & 0x30)));
            next += chunk;
            return chunk;
        });
    });
    Spread writes = measure(runs, [&] {
        return ratePerCpuSecond(seconds, [&] {
            for (long i = next; i < next + chunk; ++i)
                writeMemory(*m, static_cast<uint16_t>(0x4200 + (i & 0xFF) + ((i & 1) ? 0 : -0x4180)), uint8_t(i));
            next += chunk;
            return chunk;
        });
    });
    printSpread("readMemory", reads, 1e6, "M accesses per CPU second");
    printSpread("writeMemory", writes, 1e6, "M accesses per CPU second");
    std::printf("(%d runs of %.1f s each, after one warm-up run; checksum %u)\n", runs, seconds, sum & 0xFF);
    return 0;
}
