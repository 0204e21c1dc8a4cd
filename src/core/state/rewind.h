// Rewind: a ring of machine states taken once a second of emulated time, the last
// sixty seconds, bounded in memory; stepping back loads one of them.
//
//   RewindRing ring;
//   rewindTick(m, ring);                       // after frames have run (any time between frames)
//   if (!rewindSeconds(m, ring, 5, why)) ...;  // back about five seconds
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct Machine;

struct RewindRing {
    struct Entry {
        uint64_t frame = 0;  // m.scheduler.framesRun when it was taken
        std::vector<uint8_t> state;
    };
    std::deque<Entry> entries;  // oldest first
    size_t bytes = 0;
    size_t maxEntries = 60;
    size_t maxBytes = 64u << 20;
};

// Takes a state when a second's worth of frames has run since the newest one.
void rewindTick(Machine& m, RewindRing& ring);
// Loads the newest state taken at least `seconds` ago (the oldest if the ring is
// shorter) and forgets the newer ones; false when there is none or it does not load.
bool rewindSeconds(Machine& m, RewindRing& ring, int seconds, std::string& why);
void rewindClear(RewindRing& ring);
