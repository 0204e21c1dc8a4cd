// Cassette input: plays a .C10 byte stream or an 8-bit mono WAV into port 2 bit 4.
// Nothing runs in the background: every port-2 read calls updateCassetteInput, which
// brings the line up to the current cycle count. A .C10 file gives at most one edge
// per read, timed from that read; a WAV gives the sample emulated time has reached.
//
//   playCassetteFile(m);                        // menu: chooser, filter 2 = WAV
//   playCassettePath(m, "game.c10", false);     // the CLI: a given file and mode
//   // ... readPort2 -> updateCassetteInput(m) while m.cassetteIn.cassettePlaying
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "machine/wav_reader.h"

struct Machine;

struct CassetteIn {
    bool cassettePlaying = false;
    bool started = false;  // the first port-2 read has set up the signal
    bool wavMode = false;
    uint32_t startCycle = 0;
    uint32_t lastUpdateCycle = 0;  // cycle count at the last update (re-basing on reset)
    // Cycles since the first port-2 read, summed update by update: unlike the 32-bit
    // count it does not wrap, so a WAV longer than 80 emulated minutes plays on.
    uint64_t playedCycles = 0;

    // .C10 playback
    std::vector<uint8_t> tapeData;
    int64_t tapePos = 0;
    uint8_t shiftByte = 0;
    uint8_t bitIndex = 0;
    uint8_t bitValue = 0;
    bool lineLow = false;
    uint32_t nextEdgeCycle = 0;
    uint32_t sectionCount = 0;
    uint32_t sectionLength = 0;
    int sectionState = 0;

    // WAV playback
    WavReader wav;
    uint32_t sampleRate = 0;
    uint32_t sampleCount = 0;
    uint32_t sampleIndex = 0;
    uint8_t sampleLevel = 128;
};

// Edge timing of a .C10 recording, in CPU cycles.
constexpr uint32_t c10HighHalf[2] = {389, 197};     // by bit value
constexpr uint32_t c10LowHalf[2] = {421, 229};      // bits 0-6 of a byte
constexpr uint32_t c10LowHalfLast[2] = {473, 281};  // bit 7
constexpr uint32_t cpuCyclesPerSecond = 894900;

void playCassetteFile(Machine& m);  // the "Play Cassette File..." menu command
// Plays path as a WAV recording (wav) or as a .C10 byte stream. False, with nothing
// playing, when a cassette or Quick Type is already running or the file is unusable.
bool playCassettePath(Machine& m, const std::string& path, bool wav);
bool openWavInput(Machine& m, const std::string& path);
void updateCassetteInput(Machine& m);
void stopCassette(Machine& m);
// Called by resetMachine after the cycle count restarts at 0: re-bases playback.
void cassetteAfterReset(Machine& m);
