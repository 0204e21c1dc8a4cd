// Fuzz target: a WAV recording through the RIFF reader and the cassette player.
// Whatever the size fields claim, the reader never hands out more bytes than the data
// chunk and the file hold, and playback ends by itself once they are used up.
#include <memory>

#include "fuzz_support.h"
#include "machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzScratch scratch;
    const std::string path = scratch.write("input.wav", data, size);

    // The reader on its own: count the samples it gives.
    WavReader reader;
    WavFormat format;
    if (openWav(reader, path, format) == WavOpenResult::Ok) {
        FUZZ_CHECK(format.formatTag == 1 && format.channels == 1 && format.bitsPerSample == 8 && format.sampleRate);
        size_t samples = 0;
        for (uint8_t b; wavNextByte(reader, b);) ++samples;
        FUZZ_CHECK(samples <= format.dataSize && samples < size);
    }
    closeWav(reader);

    // The player, polled as a loading program polls port 2, in steps of ~0.1 ms to
    // 1 s of emulated time taken from the input.
    auto m = std::make_unique<Machine>();
    FuzzHost host;
    m->host.messages = &host;
    m->host.debug = &host;
    if (!playCassettePath(*m, path, true)) {
        FUZZ_CHECK(!m->cassetteIn.cassettePlaying && host.messages == 1);
        return 0;
    }
    FUZZ_CHECK(host.messages == 0);
    // The tape waits in the deck until the program polls port 2 as a load does.
    for (int reads = 0; !m->cassetteIn.cassettePlaying; ++reads) {
        FUZZ_CHECK(reads <= loadPollReads);
        readPort2(*m, 0xFF);
        m->cycles.count += 10;
    }
    uint32_t step = size ? 100u + data[size / 2] * 3500u : 100u;
    for (int reads = 0; m->cassetteIn.cassettePlaying; ++reads) {
        // Enough reads to reach every sample even at the slowest step and rate.
        FUZZ_CHECK(reads < 2 * static_cast<int>(size) + 1000000);
        readPort2(*m, 0xFF);
        m->cycles.count += step;
        if (reads == 20) step = cpuCyclesPerSecond;  // then in big strides, across the wrap
    }
    FUZZ_CHECK(!(m->mem.addressSpace[3] & 0x10));  // the line rests low
    FUZZ_CHECK(m->cassetteIn.sampleIndex <= size);
    return 0;
}
