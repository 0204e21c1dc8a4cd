// The 8-bit mono WAV writer of cassette output.
#include "machine/wav_writer.h"

#include <algorithm>
#include <vector>

#include "machine/cassette_in.h"

namespace {

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void header(uint8_t h[44], uint32_t rate, uint32_t dataSize) {
    const uint8_t fixed[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                               16,  0,   0,   0,   1, 0, 1, 0, 0,   0,   0,   0,   0,   0,   0,   0,
                               1,   0,   8,   0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
    for (int i = 0; i < 44; ++i) h[i] = fixed[i];
    put32(h + 4, 36 + dataSize);
    put32(h + 24, rate);
    put32(h + 28, rate);  // bytes per second: one byte a sample
    put32(h + 40, dataSize);
}

}  // namespace

bool wavWriteHeader(std::FILE* f) {
    uint8_t h[44];
    header(h, 0, 0);
    return std::fwrite(h, 1, sizeof h, f) == sizeof h;
}

bool wavAddHalf(WavWriter& w, std::FILE* f, uint32_t cycles, bool high) {
    w.cycles += cycles;
    const uint64_t target = w.cycles * w.rate / cpuCyclesPerSecond;
    if (target <= w.samples) return true;
    const std::vector<uint8_t> run(static_cast<size_t>(target - w.samples), high ? wavHighSample : wavLowSample);
    w.samples = target;
    return std::fwrite(run.data(), 1, run.size(), f) == run.size();
}

bool wavFinish(WavWriter& w, std::FILE* f) {
    // A tenth of a second of low line after the last half period.
    if (!wavAddHalf(w, f, cpuCyclesPerSecond / 10, false)) return false;
    uint32_t size = static_cast<uint32_t>(std::min<uint64_t>(w.samples, 0xFFFFFFFFu - 36));
    if (size & 1) {  // RIFF chunks have an even size
        const uint8_t pad = 0;
        if (std::fwrite(&pad, 1, 1, f) != 1) return false;
    }
    uint8_t h[44];
    header(h, w.rate, size);
    return std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, f) == sizeof h && std::fflush(f) == 0;
}
