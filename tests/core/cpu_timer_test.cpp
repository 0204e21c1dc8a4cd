// The free-running timer, its flags and interrupts, the wait state, and the on-chip
// register block as programs reach it through the address decoder.
#include "cpu_fixture.h"

namespace {

constexpr uint16_t oci = 0x4100, toi = 0x4200, ici = 0x4300;

struct TimerFixture : CpuFixture {
    TimerFixture() {
        vector(0xFFF4, oci);
        vector(0xFFF2, toi);
        vector(0xFFF6, ici);
        for (uint16_t a = 0x4000; a < 0x4400; ++a) mem(a) = 0x01;  // NOPs everywhere
    }
    void program(std::initializer_list<uint8_t> code, int steps = 0) {
        load(0x4000, code);
        c.pc = 0x4000;
        for (int i = 0; i < steps; ++i) step();
    }
    uint16_t frc() const { return uint16_t(c.counter); }
};

TEST(CpuTimer, RegistersAfterReset) {
    TimerFixture f;
    f.c.tcsr = 0xFF, f.c.ramControl = 0x01;
    cpuReset(f.m);
    f.program({0x96, 0x08, 0x97, 0x80, 0xFC, 0x00, 0x0B, 0x96, 0x14}, 4);  // LDAA $08; STAA $80; LDD $0B; LDAA $14
    EXPECT_EQ(f.mem(0x80), 0x00);
    EXPECT_EQ(f.c.d, 0x41FF);  // OCR 0xFFFF, then RAM control with bit 6 set
}

TEST(CpuTimer, CompareAndOverflowAtFfffCompareFirst) {
    for (bool handlerClearsOcf : {true, false}) {
        TimerFixture f;
        f.c.cc = 0, f.c.tcsr = TCSR_EOCI | TCSR_ETOI, f.c.counter = 0xFFF0;
        f.program({});
        // 8 NOPs reach 0xFFFF; the compare interrupt is entered, the overflow stays
        // pending; the entry reaches the counter at the end of the call.
        EXPECT_EQ(cpuExecute(f.m, 20), 20 + 12);
        EXPECT_EQ(f.c.irqSources, TCSR_OCF | TCSR_TOF);
        EXPECT_EQ(f.c.pc, oci + 2);
        EXPECT_EQ(f.frc(), uint16_t(0xFFF0 + 32));
        // LDAA $08; LDAA #$FF; STAA $0C (the unchanged OCR low byte); RTI
        if (handlerClearsOcf) f.load(oci, {0x96, 0x08, 0x86, 0xFF, 0x97, 0x0C, 0x3B});
        else f.load(oci, {0x3B});
        f.c.pc = oci;
        for (int i = 0; i < (handlerClearsOcf ? 4 : 1); ++i) f.step();
        EXPECT_EQ(f.c.pc, handlerClearsOcf ? toi : oci);
        EXPECT_EQ(f.c.sp, 0x4F00 - 7);
    }
}

TEST(CpuTimer, WaitState) {
    TimerFixture f;
    f.c.cc = 0, f.c.tcsr = TCSR_EOCI, f.c.counter = 0xFFF0;
    f.program({0x3E});
    // WAI idles 15 cycles to the compare (an entry while waiting costs 4 and pushes
    // nothing more), is charged its 9, then NOPs fill the budget.
    EXPECT_EQ(cpuExecute(f.m, 100), 100 + 4);
    EXPECT_EQ(f.frc(), uint16_t(0xFFF0 + 104));
    EXPECT_EQ(f.stack(7), "00000000004001");
    EXPECT_FALSE(f.c.waiting);

    // A pending interrupt is entered by the WAI itself.
    f.c.cc = 0, f.c.tcsr = TCSR_OCF | TCSR_EOCI, f.c.irqSources = TCSR_OCF;
    f.program({0x3E});
    EXPECT_EQ(f.step(), 9 + 4);
    EXPECT_EQ(f.c.pc, oci);

    // With I set it never wakes; the flags still rise on time.
    f.c.cc = CC_I, f.c.tcsr = TCSR_EOCI | TCSR_ETOI;
    f.program({0x3E});
    EXPECT_EQ(cpuExecute(f.m, 1000), 1000 + 9);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(cpuExecute(f.m, 1000), 1000);
    EXPECT_TRUE(f.c.waiting);
    EXPECT_EQ(f.c.tcsr & 0x60, 0x60);
}

TEST(CpuTimer, PendingInterruptAfterCliTapRtiAndChains) {
    TimerFixture f;
    writeOnChipRegister(f.m, 0x08, 0x48);  // OCF with its enable while I is set: pending only
    EXPECT_EQ(f.c.irqSources, TCSR_OCF);
    f.c.d = 0;
    f.program({0x0E, 0x5C, 0x5C}, 1);  // CLI; INCB; INCB: exactly one more instruction first
    EXPECT_EQ(f.regs() + " " + f.stack(7), "4100 4EF9 0001 0000 10 00010000004002");
    f.c.cc = CC_I, f.c.sp = 0x4F00;
    f.program({0x06, 0x5C}, 1);  // TAP with A = 0
    EXPECT_EQ(f.regs(), "4100 4EF9 0002 0000 10");
    f.c.cc = CC_I;
    f.program({0x3B});  // RTI restoring I clear: entered before any further instruction
    EXPECT_EQ(f.step(), 10 + 12);
    EXPECT_EQ(f.regs(), "4100 4EF9 0002 0000 10");

    // CLI; SEI; CLI; INCB: each link is charged to the budget (and the entry), but the
    // machine's cycle count sees only the first CLI.
    f.c.cc = CC_I;
    f.program({0x0E, 0x0F, 0x0E, 0x5C, 0x5C});
    uint32_t before = f.m.cycles.count;
    EXPECT_EQ(f.step(), 2 + 2 + 2 + 2 + 12);
    EXPECT_EQ(f.m.cycles.count - before, 2u);
    EXPECT_EQ(f.regs(), "4100 4EF2 0003 0000 10");
}

TEST(CpuTimer, TcsrWrites) {
    TimerFixture f;
    const struct { uint8_t value, cc; uint16_t pc; } rows[] = {
        {0x48, 0, oci},        // OCF + EOCI, I clear: entered at once
        {0x90, 0, ici},        // ICF + EICI
        {0x48, CC_I, 0x4004},  // I set: pending only
        {0x18, CC_I, 0x4004},  // flags written 0: cleared with their pending marks
    };
    for (const auto& r : rows) {
        f.c.cc = r.cc, f.c.pendingFlags = 0xE0;
        f.program({0x86, r.value, 0x97, 0x08}, 2);  // LDAA #v; STAA $08
        EXPECT_EQ(f.c.pc, r.pc) << int(r.value);
        EXPECT_EQ(f.c.pendingFlags, r.value & 0xE0) << int(r.value);
        EXPECT_EQ(f.c.irqSources, r.value & (r.value << 3) & 0xE0) << int(r.value);
    }
    f.c.tcsr = TCSR_TOF, f.c.tcsrWasRead = false;
    f.program({0x7F, 0x00, 0x08}, 1);  // CLR $0008: a write only, no status read
    EXPECT_EQ(f.c.tcsr, 0);
    EXPECT_FALSE(f.c.tcsrWasRead);
}

TEST(CpuTimer, FlagClearingSequences) {
    TimerFixture f;
    f.c.counter = 0xFFF0;
    cpuExecute(f.m, 20);
    ASSERT_EQ(f.c.tcsr & 0x60, 0x60);
    f.program({0x96, 0x09, 0x96, 0x08, 0x96, 0x09, 0x97, 0x0B}, 1);  // LDAA $09; LDAA $08; LDAA $09; STAA $0B
    EXPECT_TRUE(f.c.tcsr & TCSR_TOF);  // not yet seen through a status read
    f.step(), f.step();
    EXPECT_FALSE(f.c.tcsr & TCSR_TOF);
    f.step();
    EXPECT_TRUE(f.c.tcsr & TCSR_OCF);  // the counter read used up the status read

    f.program({0x96, 0x08, 0x96, 0x0B, 0x97, 0x0B}, 1);  // status read, the unchanged OCR high byte
    uint32_t compare = f.c.outputCompare;
    f.step(), f.step();
    EXPECT_FALSE(f.c.tcsr & TCSR_OCF);
    EXPECT_EQ(f.c.outputCompare, compare);  // the compare point did not move
}

TEST(CpuTimer, CounterAndCompareWrites) {
    TimerFixture f;
    f.program({0x97, 0x09}, 1);  // STAA $09: the counter jumps to 0xFFF8
    EXPECT_EQ(f.frc(), 0xFFF8 + 3);
    EXPECT_FALSE(f.c.tcsr & TCSR_TOF);
    cpuExecute(f.m, 4);
    EXPECT_TRUE(f.c.tcsr & TCSR_TOF);
    f.c.d = 0x1234;
    f.program({0xDD, 0x09, 0xDC, 0x09}, 2);  // STD $09 (latch, then low byte); LDD $09
    EXPECT_EQ(f.c.d, 0x1234 + 4);            // a consistent pair from the LDD's start

    const struct { uint16_t ocr; uint32_t want; bool ocf; } rows[] = {
        {0x1000, 0x00011000, false},  // below the counter: the following period
        {0x9000, 0x00009000, false},  // above: this period
        {0x8000, 0x00018000, true},   // equal: raised when the write completes
    };
    for (const auto& r : rows) {
        f.c.counter = 0x8000, f.c.tcsr = 0, f.c.d = r.ocr;
        f.program({0xDD, 0x0B}, 1);
        EXPECT_EQ(f.c.outputCompare, r.want);
        EXPECT_EQ(bool(f.c.tcsr & TCSR_OCF), r.ocf);
    }
}

TEST(CpuTimer, InputCaptureAndDataDirection) {
    TimerFixture f;
    f.c.d = 0xABCD;
    f.program({0xDD, 0x0D, 0xDC, 0x0D}, 2);
    EXPECT_EQ(f.c.d, 0);  // input capture reads 0 whatever was written
    f.program({0x86, 0xFF, 0x97, 0x00, 0x97, 0x01, 0xDC, 0x00}, 4);
    EXPECT_EQ(f.c.d, 0xFFFF);
}

}  // namespace
