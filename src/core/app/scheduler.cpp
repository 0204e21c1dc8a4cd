// Placeholder until the scheduler lands.
#include "app/scheduler.h"
#include "machine.h"

void recomputeFrameTiming(Machine&) {}
void resetMachine(Machine& m, int kind) {
    if (kind > 0) initMemory(m);
    cpuInit(m);
    cpuReset(m);
    resetCycleCount(m.cycles);
    cassetteAfterReset(m);
    portOutputAfterReset(m);
    m.scheduler.emulationStarted = true;
}
void startupReset(Machine& m) {
    initKeyTables(m);
    resetMachine(m, 2);
}
bool frameStep(Machine&) { return false; }
int32_t frameStepDelayMs(Machine&) { return 16; }
