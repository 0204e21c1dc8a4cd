// Address decoder throughput: reads and writes per second over a mix of RAM, ROM and
// page-zero addresses, like the BASIC ROM's own accesses.
#include <chrono>
#include <cstdio>
#include <memory>

#include "machine/memory_access.h"

int main() {
    auto m = std::make_unique<Machine>();
    loadRomImages(*m);
    initMemory(*m);
    const uint16_t addresses[] = {0xE123, 0xF456, 0x4201, 0x00A5, 0x4FFE, 0x0085, 0xE800, 0x4100};
    constexpr long rounds = 20'000'000;
    unsigned sum = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (long i = 0; i < rounds; ++i) sum += readMemory(*m, static_cast<uint16_t>(addresses[i & 7] + (i & 0x30)));
    auto t1 = std::chrono::steady_clock::now();
    for (long i = 0; i < rounds; ++i) writeMemory(*m, static_cast<uint16_t>(0x4200 + (i & 0xFF) + ((i & 1) ? 0 : -0x4180)), uint8_t(i));
    auto t2 = std::chrono::steady_clock::now();
    const double r = std::chrono::duration<double>(t1 - t0).count(), w = std::chrono::duration<double>(t2 - t1).count();
    std::printf("readMemory:  %.1f M accesses/s (%.2f ns each)\n", rounds / r / 1e6, r / rounds * 1e9);
    std::printf("writeMemory: %.1f M accesses/s (%.2f ns each)\n", rounds / w / 1e6, w / rounds * 1e9);
    std::printf("(checksum %u)\n", sum & 0xFF);
    return 0;
}
