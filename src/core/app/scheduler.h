// Frame timing, the per-pass frame step, the speed meter and the machine resets.
//
//   recomputeFrameTiming(m);        // after the settings are loaded or the timing changes
//   setupHostClock(m);              // once, when the window is created (before soundInit)
//   startupReset(m);                // key tables, then a hard reset; emulation starts
//   for (;;) {                      // the desktop loop
//       if (frameStep(m)) paint();
//       sleep(frameStepDelayUs(m));
//   }
//   runFrame(m, currentCycles(m.cycles));  // unpaced runners: one whole frame, no clocks
#pragma once
#include <cstdint>

struct Machine;

// The 100 % reference of the speed meter: the MC-10's processor clock.
constexpr int64_t nominalCyclesPerSecond = 894900;

struct FrameTiming {
    int32_t framesPerSecond = 60;
    int32_t activeScanCycles = 11364;
    int32_t borderVblankCycles = 3551;
    int32_t speedPercent = 100;
};

// The last sixteen frames: when each started (host milliseconds, and high-resolution
// counter ticks where there is a counter) and how many cycles ran.
struct SpeedMeter {
    uint32_t frameStartMs[16] = {};
    int64_t frameStartTick[16] = {};
    uint32_t frameCycles[16] = {};
    uint32_t ringIndex = 0;  // the slot the next frame writes
};

struct FrameScheduler {
    bool emulationStarted = false;

    // Host clock state. Every deadline starts at 0, so the first pass finds a frame due.
    bool highResAvailable = false;
    int64_t counterFrequency = 0;  // counter ticks per second
    int64_t ticksPerFrame = 0;     // frame period in counter ticks; soundInit refines it
    int64_t nextFrameTick = 0;
    int64_t nextVideoTick = 0;
    uint32_t nextFrameMs = 0;
    uint32_t nextVideoMs = 0;

    SpeedMeter meter;

    // Totals since the machine was created (not cleared by resets).
    uint64_t framesRun = 0;
    uint64_t cyclesRun = 0;
};

void recomputeFrameTiming(Machine& m);
// Queries the host's high-resolution counter and sets ticksPerFrame from the frame rate.
void setupHostClock(Machine& m);
void resetMachine(Machine& m, int kind);  // 0 soft, >0 hard
void startupReset(Machine& m);
bool frameStep(Machine& m);               // true: repaint now
// Milliseconds until frameStep next has work (a frame or a paced repaint due);
// 0 when it has work now. The desktop loop sleeps this long between passes.
// Rounded down, so a caller that sleeps exactly this long never oversleeps a frame.
int32_t frameStepDelayMs(Machine& m);
// The same in microseconds (rounded down), for a loop that sleeps the last fraction of
// a millisecond itself instead of passing again at once.
int64_t frameStepDelayUs(Machine& m);
// One emulated frame without any clock: sound frame start, the active-scan and the
// border/vertical-blank slices, sound submit, host keyboard scan, port output idle
// check. Returns the cycles the two slices ran.
uint32_t runFrame(Machine& m, uint32_t cyclesAtEntry);
// True while Quick Type, cassette playback or cassette/printer output is in progress
// and the settings ask for those to run faster than real time.
bool fileSpeedUpActive(const Machine& m);
