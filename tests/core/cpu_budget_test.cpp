// Budgets at the edges: the largest budget a custom timing can ask for, and a long
// run of zero-cycle opcodes idled out over several timer periods.
#include <climits>

#include "cpu_fixture.h"

namespace {

TEST(CpuBudget, LargestBudgetReturnsWithoutOverflow) {
    CpuFixture f;
    f.load(0x4000, {0x20, 0xFE});  // BRA *: idles from one timer event to the next
    // The overshoot of the last instruction cannot be counted past the largest
    // budget; the count stops there.
    EXPECT_EQ(cpuExecute(f.m, INT32_MAX), INT32_MAX);
    EXPECT_EQ(f.c.pc, 0x4000);
    EXPECT_EQ(f.c.tcsr & (TCSR_OCF | TCSR_TOF), TCSR_OCF | TCSR_TOF);
    // Extra cycles of an interrupt entry on top of the largest budget, too.
    f.c.extraCycles = 12;
    EXPECT_EQ(cpuExecute(f.m, INT32_MAX), INT32_MAX);
    // A budget below zero still runs one instruction.
    EXPECT_EQ(cpuExecute(f.m, -5), 3);
}

// Zero-cycle opcodes all the way round the address space: the loop idles out the
// rest of the budget, and the timer must keep its events in step with the counter
// while it does, so that it fires again in later calls.
TEST(CpuBudget, IdlingOutZeroCycleOpcodesKeepsTheTimerInStep) {
    for (int32_t budget : {1000, 3 * 65536 + 500, 9 * 65536}) {
        CpuFixture f;
        for (int16_t& page : f.m.mem.readPage) page = 0x40;  // every page: undefined opcodes
        rebuildPageOffsets(f.m.mem);
        for (int a = 0x4000; a < 0x4100; ++a) f.mem(uint16_t(a)) = 0x02;
        EXPECT_EQ(cpuExecute(f.m, budget), budget);
        EXPECT_GT(f.c.outputCompare, f.c.counter) << budget;
        EXPECT_GT(f.c.overflowPoint, f.c.counter) << budget;
        EXPECT_GT(f.c.nextEvent, f.c.counter) << budget;

        rebuildMemoryMap(f.m);
        f.load(0x4000, {0x20, 0xFE});
        f.c.pc = 0x4000;
        f.c.tcsr = 0;
        cpuExecute(f.m, 70000);  // more than one period
        EXPECT_EQ(f.c.tcsr & (TCSR_OCF | TCSR_TOF), TCSR_OCF | TCSR_TOF) << budget;
    }
}

}  // namespace
