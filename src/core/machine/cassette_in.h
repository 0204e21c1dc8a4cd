// Cassette input: plays a .C10 byte stream or an 8-bit mono WAV into port 2 bit 4.
// Nothing runs in the background: every port-2 read calls updateCassetteInput, which
// brings the line up to the current cycle count. A .C10 file gives at most one edge
// per read, timed from that read; a WAV gives the sample emulated time has reached.
//
// A tape put in the deck waits for the load: it starts playing when the program in the
// machine begins to read the tape (a run of port-2 reads in quick succession, as the
// CLOAD loops make), so it does not matter whether the file or CLOAD comes first.
//
//   insertCassette(m, "game.c10", false);       // in the deck, waiting for the load
//   // ... readPort2 -> updateCassetteInput(m): waits, then plays
//   rewindCassette(m);                           // the same tape again from its start
// The menu command that chooses the file lives in app/media_commands.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "machine/wav_reader.h"

struct Machine;

struct CassetteIn {
    uint32_t port2Reads = 0;      // reads of port 2 since power-on, stopping at 2^32 - 1
    bool waitingForLoad = false;  // a tape is in the deck; it plays when a load begins
    uint32_t lastReadCycle = 0;   // the previous port-2 read, for spotting a load
    int quickReads = 0;           // port-2 reads in a row, each soon after the one before
    std::string tapePath;         // the tape last put in the deck, for rewinding
    bool tapeWav = false;
    bool cassettePlaying = false;
    bool started = false;  // the first port-2 read has set up the signal
    bool wavMode = false;
    uint32_t startCycle = 0;
    uint32_t lastUpdateCycle = 0;  // cycle count at the last update (re-basing on reset)

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

// A load has begun once this many port-2 reads have come in a row, each at most
// loadPollGap cycles after the one before. Keyboard scans read port 2 a few times
// between row reads, far apart; a tape-reading loop reads it every 10-30 cycles.
constexpr int loadPollReads = 24;
constexpr uint32_t loadPollGap = 80;
// A .C10 recording runs at about 1 500 bytes a second; 16 MiB is three hours of tape.
constexpr long maxTapeSize = 16L * 1024 * 1024;

enum class TapeProblem { None, Busy, CannotOpen, Empty, TooBig, BadWav };

// Puts path in the deck as a WAV recording (wav) or as a .C10 byte stream, waiting for
// the load; a tape that waits is replaced. Refused (with the reason) while a tape plays
// or when the file is unusable; WAV problems have shown their message box.
TapeProblem insertCassette(Machine& m, const std::string& path, bool wav);
// insertCassette, as a yes or no.
bool playCassettePath(Machine& m, const std::string& path, bool wav);
bool openWavInput(Machine& m, const std::string& path);
void updateCassetteInput(Machine& m);
// Ends playback (and a tape waiting for its load); the line rests low.
void stopCassette(Machine& m);
// The tape last inserted, back at its start and waiting for the next load. False when
// there is none or it can no longer be read.
bool rewindCassette(Machine& m);
// How far the playing tape has got, 0-100.
int cassettePercent(const Machine& m);
// Called by resetMachine after the cycle count restarts at 0: re-bases playback.
void cassetteAfterReset(Machine& m);
