// A bounds-checked reader for RIFF/WAVE recordings: finds the "fmt " and "data"
// chunks and hands out the data chunk's bytes one at a time, never reading past the
// chunk or the file, whatever the size fields claim.
//
//   WavReader r;
//   WavFormat f;
//   if (openWav(r, "tape.wav", f) == WavOpenResult::Ok)
//       while (wavNextByte(r, b)) ...;
//   closeWav(r);                     // also done by the destructor
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "machine/file_handle.h"

struct WavReader {
    FileHandle file;
    uint64_t remaining = 0;  // bytes of the data chunk not yet buffered
    std::vector<uint8_t> buffer;
    size_t bufferPos = 0;
};

struct WavFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    uint32_t dataSize = 0;  // as the data chunk declares it
};

enum class WavOpenResult {
    Ok,
    CannotRead,    // the file or one of its chunks cannot be read
    NotMono8,      // not RIFF/WAVE, no format or data chunk, or not 8-bit mono PCM
    UnknownError,  // the data could not be reached after all checks passed
};

// Accepts only PCM (tag 1), one channel, 8 bits, a non-zero rate.
WavOpenResult openWav(WavReader& r, const std::string& path, WavFormat& format);
bool wavIsOpen(const WavReader& r);
// false: the data (or the file) has ended.
bool wavNextByte(WavReader& r, uint8_t& out);
void closeWav(WavReader& r);
