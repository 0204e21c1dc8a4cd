// Writes the cassette output line as an 8-bit mono WAV recording: each half period of
// the signal becomes as many samples as the emulated time it lasted, counted from the
// start of the recording so that rounding never drifts.
//
//   WavWriter w{44100};
//   wavWriteHeader(f);                 // placeholder sizes
//   wavAddHalf(w, f, 197, true);       // a high half of 197 CPU cycles
//   wavFinish(w, f);                   // trailing silence, then the real sizes
#pragma once
#include <cstdint>
#include <cstdio>

struct WavWriter {
    uint32_t rate = 44100;
    uint64_t cycles = 0;   // emulated cycles written so far
    uint64_t samples = 0;  // samples written so far
};

constexpr uint8_t wavHighSample = 0xE0;
constexpr uint8_t wavLowSample = 0x20;
constexpr uint32_t wavMinRate = 8000, wavMaxRate = 192000;

// All return false when the file could not be written.
bool wavWriteHeader(std::FILE* f);
bool wavAddHalf(WavWriter& w, std::FILE* f, uint32_t cycles, bool high);
bool wavFinish(WavWriter& w, std::FILE* f);
