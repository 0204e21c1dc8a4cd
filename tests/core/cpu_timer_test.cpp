// The free-running timer, its flags and interrupts, the wait state, and the on-chip
// register block as programs reach it (through the address decoder).
#include "cpu/timer.h"
#include "cpu_fixture.h"

namespace {

constexpr uint16_t ociHandler = 0x4100, toiHandler = 0x4200, iciHandler = 0x4300;

struct TimerFixture : CpuFixture {
    TimerFixture() {
        vector(0xFFF4, ociHandler);
        vector(0xFFF2, toiHandler);
        vector(0xFFF6, iciHandler);
        for (uint16_t a = 0x4000; a < 0x4400; ++a) mem(a) = 0x01;  // NOPs everywhere
    }
    // Puts the program at 0x4000 and starts there.
    void program(std::initializer_list<uint8_t> bytes) {
        load(0x4000, bytes);
        c.pc = 0x4000;
    }
    uint16_t frc() const { return static_cast<uint16_t>(c.counter); }
};

TEST(CpuTimer, RegistersAfterReset) {
    TimerFixture f;
    f.c.tcsr = 0xFF;
    f.c.ramControl = 0x01;
    cpuReset(f.m);
    f.program({0x96, 0x08, 0xFC, 0x00, 0x0B, 0x96, 0x14});  // LDAA $08; LDD $0B; LDAA $14
    f.step();
    EXPECT_EQ(f.a(), 0x00);
    f.step();
    EXPECT_EQ(f.c.d, 0xFFFF);
    f.step();
    EXPECT_EQ(f.a(), 0x41);
}

TEST(CpuTimer, CompareAndOverflowAtFfffCompareFirst) {
    TimerFixture f;
    f.c.cc = 0;
    f.c.tcsr = TCSR_EOCI | TCSR_ETOI;
    f.c.counter = 0xFFF0;
    f.program({});
    // 8 NOPs reach 0xFFFF; the compare interrupt is entered, the overflow stays pending.
    EXPECT_EQ(cpuExecute(f.m, 20), 20 + 12);
    EXPECT_EQ(f.c.tcsr & 0x60, 0x60);
    EXPECT_EQ(f.c.irqSources, 0x60);
    EXPECT_GE(f.c.pc, ociHandler);
    EXPECT_LT(f.c.pc, ociHandler + 0x10);
    EXPECT_EQ(f.c.sp, 0x4F00 - 7);
    EXPECT_EQ(f.frc(), 0x0010);  // 0xFFF0 + 20 + 12: the entry reaches the counter at the end of the call

    // A handler that clears OCF (tcsr read, then a compare write) returns into the
    // overflow interrupt.
    f.load(ociHandler, {0x96, 0x08, 0x86, 0xFF, 0x97, 0x0C, 0x3B});  // LDAA $08; LDAA #$FF; STAA $0C; RTI
    f.c.pc = ociHandler;
    for (int i = 0; i < 4; ++i) f.step();
    EXPECT_EQ(f.c.pc, toiHandler);
    EXPECT_EQ(f.c.tcsr & 0x60, 0x20);
    EXPECT_EQ(f.c.sp, 0x4F00 - 7);
}

TEST(CpuTimer, CompareHandlerThatLeavesOcfIsEnteredAgain) {
    TimerFixture f;
    f.c.cc = 0;
    f.c.tcsr = TCSR_EOCI | TCSR_ETOI;
    f.c.counter = 0xFFF0;
    f.program({});
    cpuExecute(f.m, 20);
    f.load(ociHandler, {0x3B});
    f.c.pc = ociHandler;
    f.step();
    EXPECT_EQ(f.c.pc, ociHandler);
}

TEST(CpuTimer, WaitingEntryCostsFourAndPushesNothingMore) {
    TimerFixture f;
    f.c.cc = 0;
    f.c.tcsr = TCSR_EOCI;
    f.c.counter = 0xFFF0;
    f.program({0x3E});  // WAI
    // WAI idles 15 cycles to the compare, is charged its 9, then NOPs fill the budget.
    EXPECT_EQ(cpuExecute(f.m, 100), 100 + 4);
    EXPECT_FALSE(f.c.waiting);
    EXPECT_EQ(f.c.sp, 0x4F00 - 7);
    EXPECT_EQ(f.mem(0x4F00), 0x01);  // return address 0x4001, low byte first
    EXPECT_EQ(f.mem(0x4EFF), 0x40);
    EXPECT_EQ(f.frc(), uint16_t(0xFFF0 + 104));
}

TEST(CpuTimer, WaitWithInterruptsMaskedNeverWakes) {
    TimerFixture f;
    f.c.tcsr = TCSR_EOCI | TCSR_ETOI;
    f.program({0x3E});
    EXPECT_EQ(cpuExecute(f.m, 1000), 1009);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(cpuExecute(f.m, 1000), 1000);
    EXPECT_TRUE(f.c.waiting);
    EXPECT_EQ(f.c.pc, 0x4001);
    EXPECT_EQ(f.c.tcsr & 0x60, 0x60);  // the flags still rise on time
}

TEST(CpuTimer, WaitWithAPendingInterruptEntersAtOnce) {
    TimerFixture f;
    f.c.cc = 0;
    f.c.tcsr = TCSR_OCF | TCSR_EOCI;
    f.c.irqSources = TCSR_OCF;
    f.program({0x3E});
    EXPECT_EQ(f.step(), 9 + 4);
    EXPECT_EQ(f.c.pc, ociHandler);
    EXPECT_FALSE(f.c.waiting);
}

TEST(CpuTimer, PendingInterruptAfterCliTapAndRti) {
    TimerFixture f;
    writeOnChipRegister(f.m, 0x08, 0x48);  // OCF with its enable, I set: pending only
    EXPECT_EQ(f.c.irqSources, TCSR_OCF);
    EXPECT_EQ(f.c.pc, 0x4000);

    f.program({0x0E, 0x5C, 0x5C});  // CLI; INCB; INCB
    f.setB(0);
    f.step();
    EXPECT_EQ(f.b(), 1);  // exactly one more instruction first
    EXPECT_EQ(f.c.pc, ociHandler);
    EXPECT_EQ(f.mem(0x4F00), 0x02);

    f.c.cc = CC_I;
    f.c.sp = 0x4F00;
    f.setA(0x00);
    f.program({0x06, 0x5C});  // TAP clears I; INCB runs; then the interrupt
    f.step();
    EXPECT_EQ(f.c.pc, ociHandler);
    EXPECT_EQ(f.b(), 2);

    // RTI restoring a cc with I clear enters it before any further instruction.
    f.c.sp = 0x4F00 - 7;
    f.c.cc = CC_I;
    f.program({0x3B});
    EXPECT_EQ(f.step(), 10 + 12);
    EXPECT_EQ(f.c.pc, ociHandler);
    EXPECT_EQ(f.c.sp, 0x4F00 - 7);
}

TEST(CpuTimer, ChainOfCliSeiRunsOneInstructionAfterTheLast) {
    TimerFixture f;
    writeOnChipRegister(f.m, 0x08, 0x48);
    f.setB(0);
    f.program({0x0E, 0x0F, 0x0E, 0x5C, 0x5C});  // CLI; SEI; CLI; INCB; INCB
    uint32_t before = f.m.cycles.count;
    // Every link is charged to the budget and the interrupt entry at the end of the
    // call; the machine's cycle count sees only the first CLI.
    EXPECT_EQ(f.step(), 2 + 2 + 2 + 2 + 12);
    EXPECT_EQ(f.m.cycles.count - before, 2u);
    EXPECT_EQ(f.b(), 1);
    EXPECT_EQ(f.c.pc, ociHandler);
}

TEST(CpuTimer, TcsrWriteEntersPendingInterruptAtOnce) {
    TimerFixture f;
    f.c.cc = 0;
    f.program({0x86, 0x48, 0x97, 0x08});  // LDAA #$48; STAA $08
    f.step();
    f.step();
    EXPECT_EQ(f.c.pc, ociHandler);
    f.c.cc = 0;
    f.program({0x86, 0x90, 0x97, 0x08});
    f.step();
    f.step();
    EXPECT_EQ(f.c.pc, iciHandler);
    // A write with the flag bit 0 clears the flag and its pending mark.
    f.c.cc = CC_I;
    f.c.pendingFlags = 0xE0;
    f.program({0x86, 0x18, 0x97, 0x08});
    f.step();
    f.step();
    EXPECT_EQ(f.c.tcsr, 0x18);
    EXPECT_EQ(f.c.pendingFlags, 0);
    EXPECT_EQ(f.c.irqSources, 0);
}

TEST(CpuTimer, OverflowFlagClearingSequence) {
    TimerFixture f;
    f.c.counter = 0xFFF0;
    cpuExecute(f.m, 20);
    ASSERT_TRUE(f.c.tcsr & TCSR_TOF);
    f.program({0x96, 0x09, 0x96, 0x08, 0x96, 0x09});  // LDAA $09; LDAA $08; LDAA $09
    f.step();
    EXPECT_TRUE(f.c.tcsr & TCSR_TOF);  // not yet seen through tcsr
    f.step();
    f.step();
    EXPECT_FALSE(f.c.tcsr & TCSR_TOF);
}

TEST(CpuTimer, CompareFlagClearingSequence) {
    TimerFixture f;
    f.c.counter = 0xFFF0;
    cpuExecute(f.m, 20);
    ASSERT_TRUE(f.c.tcsr & TCSR_OCF);
    // tcsr read, then the unchanged compare high byte: OCF clears, the point stays.
    f.program({0x96, 0x08, 0x86, 0xFF, 0x97, 0x0B});
    f.step();
    uint32_t compare = f.c.outputCompare;
    f.step();
    f.step();
    EXPECT_FALSE(f.c.tcsr & TCSR_OCF);
    EXPECT_EQ(f.c.outputCompare, compare);

    // A counter read between the tcsr read and the compare write uses up the read.
    f.c.tcsr |= TCSR_OCF;
    f.c.pendingFlags = 0;
    f.program({0x96, 0x08, 0x96, 0x09, 0x97, 0x0B});
    for (int i = 0; i < 3; ++i) f.step();
    EXPECT_TRUE(f.c.tcsr & TCSR_OCF);
}

TEST(CpuTimer, CounterWrites) {
    TimerFixture f;
    f.program({0x97, 0x09});  // STAA $09: the counter jumps to 0xFFF8
    f.step();
    EXPECT_EQ(f.frc(), 0xFFF8 + 3);
    EXPECT_FALSE(f.c.tcsr & TCSR_TOF);
    cpuExecute(f.m, 4);  // two NOPs reach 0xFFFF
    EXPECT_TRUE(f.c.tcsr & TCSR_TOF);

    f.c.d = 0x1234;
    f.program({0xDD, 0x09});  // STD $09: latch 0x12, then the low byte
    f.step();
    EXPECT_EQ(f.frc(), 0x1234 + 4);
    // A counter pair read with LDD is consistent: both bytes from the instruction's start.
    f.program({0xDC, 0x09});
    f.step();
    EXPECT_EQ(f.c.d, 0x1238);
}

TEST(CpuTimer, CompareWritesChooseThePeriod) {
    TimerFixture f;
    f.c.counter = 0x8000;
    f.c.d = 0x1000;
    f.program({0xDD, 0x0B});
    f.step();
    EXPECT_EQ(f.c.outputCompare, 0x00011000u);  // below the counter: next period
    f.c.d = 0x9000;
    f.program({0xDD, 0x0B});
    f.step();
    EXPECT_EQ(f.c.outputCompare, 0x00009000u);
    EXPECT_FALSE(f.c.tcsr & TCSR_OCF);
    // Equal to the counter: raised as soon as the writing instruction completes.
    f.c.counter = 0x8000;
    f.c.d = 0x8000;
    f.program({0xDD, 0x0B});
    f.step();
    EXPECT_TRUE(f.c.tcsr & TCSR_OCF);
    EXPECT_EQ(f.c.outputCompare, 0x00018000u);
}

TEST(CpuTimer, InputCaptureAndDataDirection) {
    TimerFixture f;
    f.c.d = 0xABCD;
    f.program({0xDD, 0x0D, 0xDC, 0x0D, 0x86, 0xFF, 0x97, 0x00, 0x97, 0x01});
    f.step();
    f.step();
    EXPECT_EQ(f.c.d, 0);
    for (int i = 0; i < 3; ++i) f.step();
    EXPECT_EQ(f.c.ddr1, 0xFF);
    EXPECT_EQ(f.c.ddr2, 0xFF);
    EXPECT_EQ(readOnChipRegister(f.m, 0x01), 0xFF);
}

TEST(CpuTimer, ClrOfARegisterOnlyWrites) {
    TimerFixture f;
    f.c.tcsr = TCSR_TOF;
    f.c.tcsrWasRead = false;
    f.program({0x7F, 0x00, 0x08});  // CLR $0008: a write of 0, no status read
    f.step();
    EXPECT_EQ(f.c.tcsr, 0);
    EXPECT_FALSE(f.c.tcsrWasRead);
}

}  // namespace
