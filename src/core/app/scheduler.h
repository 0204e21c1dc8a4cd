// Frame timing, the per-pass frame step and the machine resets.
#pragma once
#include <cstdint>

struct Machine;

struct FrameTiming {
    int32_t framesPerSecond = 60;
    int32_t activeScanCycles = 11364;
    int32_t borderVblankCycles = 3551;
    int32_t speedPercent = 100;
};

struct FrameScheduler {
    bool emulationStarted = false;
};

void recomputeFrameTiming(Machine& m);
void resetMachine(Machine& m, int kind);  // 0 soft, >0 hard
void startupReset(Machine& m);
bool frameStep(Machine& m);               // true: repaint now
