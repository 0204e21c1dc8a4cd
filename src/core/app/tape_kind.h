// What a cassette holds, read from its name block: the block of type 0 after the first
// leader, whose data is the 8-character name, then the file type (0 BASIC program,
// 1 data, 2 machine language). Works on .C10 byte streams and on WAV recordings, which
// are decoded by the lengths of their high half periods.
//
//   TapeKind k = tapeKindOf("game.c10", false);
//   if (k.found && k.fileType == 2) ...   // CLOADM, then EXEC
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TapeKind {
    bool found = false;
    uint8_t fileType = 0;  // 0 BASIC, 1 data, 2 machine language
    std::string name;      // the 8 characters as recorded
    bool machineLanguage() const { return found && fileType == 2; }
};

TapeKind tapeKindOfBytes(const std::vector<uint8_t>& bytes);
// The bytes of an 8-bit mono recording (samples above 128 are high) at rate Hz;
// at most maxBytes are decoded.
std::vector<uint8_t> decodeWavBytes(const std::vector<uint8_t>& samples, uint32_t rate, size_t maxBytes);
// Reads the file (a WAV when wav); nothing found when it cannot be read.
TapeKind tapeKindOf(const std::string& path, bool wav);
