// Cassette input: plays a .C10 byte stream or an 8-bit mono WAV into port 2 bit 4.
#pragma once
#include <cstdint>
#include <string>

struct Machine;

struct CassetteIn {
    bool cassettePlaying = false;
};

void playCassetteFile(Machine& m);  // the "Play Cassette File..." menu command
void updateCassetteInput(Machine& m);
void stopCassette(Machine& m);
// Called by resetMachine after the cycle count restarts at 0: re-bases playback.
void cassetteAfterReset(Machine& m);
