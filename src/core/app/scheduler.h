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
// Milliseconds until frameStep next has work (a frame or a paced repaint due);
// 0 when it has work now. The desktop loop sleeps this long between passes.
int32_t frameStepDelayMs(Machine& m);
