// Reading the name block of a cassette, for the one-step run.
#include "app/tape_kind.h"

#include <cstdio>

#include "machine/cassette_in.h"
#include "machine/file_handle.h"
#include "machine/wav_reader.h"

namespace {

// The name block sits right after the first leader; a little more is read in case the
// tape starts with noise.
constexpr size_t scanBytes = 4096;
// Enough samples for the leaders and the name block at the highest usual rates.
constexpr size_t scanSamples = 8u * 1024 * 1024;

}  // namespace

TapeKind tapeKindOfBytes(const std::vector<uint8_t>& b) {
    TapeKind k;
    // $55 $3C, block type 0, length, then the name and the file type.
    for (size_t i = 0; i + 12 < b.size() && i < scanBytes; ++i) {
        if (b[i] != 0x55 || b[i + 1] != 0x3C || b[i + 2] != 0x00 || b[i + 3] < 9) continue;
        k.found = true;
        k.name.assign(b.begin() + static_cast<long>(i) + 4, b.begin() + static_cast<long>(i) + 12);
        k.fileType = b[i + 12];
        return k;
    }
    return k;
}

std::vector<uint8_t> decodeWavBytes(const std::vector<uint8_t>& samples, uint32_t rate, size_t maxBytes) {
    std::vector<uint8_t> out;
    if (rate == 0) return out;
    // A high half shorter than the middle of a 1 (197 cycles) and a 0 (389) is a 1.
    const uint64_t oneLimit = (197 + 389) / 2;
    uint16_t window = 0;  // the last 16 bits, the latest at the top
    int bitsInByte = -1;  // -1 until $55 $3C has been seen
    uint8_t byte = 0;
    size_t run = 0;
    bool high = false;
    for (size_t i = 0; i <= samples.size() && out.size() < maxBytes; ++i) {
        const bool h = i < samples.size() && samples[i] > 128;
        if (h) {
            high = true;
            ++run;
            continue;
        }
        if (!high) continue;
        high = false;
        const bool bit = static_cast<uint64_t>(run) * cpuCyclesPerSecond / rate < oneLimit;
        run = 0;
        window = static_cast<uint16_t>((window >> 1) | (bit ? 0x8000 : 0));
        if (bitsInByte < 0) {
            if (window == 0x3C55) {
                out.push_back(0x55);
                out.push_back(0x3C);
                bitsInByte = 0;
            }
            continue;
        }
        byte = static_cast<uint8_t>((byte >> 1) | (bit ? 0x80 : 0));
        if (++bitsInByte == 8) {
            out.push_back(byte);
            bitsInByte = 0;
        }
    }
    return out;
}

TapeKind tapeKindOf(const std::string& path, bool wav) {
    if (!wav) {
        FileHandle f(std::fopen(path.c_str(), "rb"));
        if (!f) return {};
        std::vector<uint8_t> bytes(scanBytes + 16);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
        return tapeKindOfBytes(bytes);
    }
    WavReader r;
    WavFormat format;
    if (openWav(r, path, format) != WavOpenResult::Ok) return {};
    std::vector<uint8_t> samples;
    uint8_t s = 0;
    while (samples.size() < scanSamples && wavNextByte(r, s)) samples.push_back(s);
    return tapeKindOfBytes(decodeWavBytes(samples, format.sampleRate, 64));
}
