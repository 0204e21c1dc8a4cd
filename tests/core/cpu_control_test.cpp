// Branches, subroutines and the stack, the undocumented and undefined opcodes, the
// opcode table against the handlers, the disassembler and the budget rules.
#include "cpu_fixture.h"

namespace {

TEST(CpuControl, EveryBranchConditionForEveryFlagCombination) {
    CpuFixture f;
    for (unsigned op = 0x20; op < 0x30; ++op)
        for (unsigned flags = 0; flags < 16; ++flags) {
            bool c = flags & CC_C, v = flags & CC_V, z = flags & CC_Z, n = flags & CC_N;
            const bool taken[16] = {true,  false,  !c && !z, c || z,  !c,      c,      !z,
                                    z,     !v,     v,        !n,      n,       n == v, n != v,
                                    !z && n == v, z || n != v};
            f.c.cc = uint8_t(flags);
            f.run1({uint8_t(op), 0x10});
            ASSERT_EQ(f.c.pc, taken[op - 0x20] ? 0x4012 : 0x4002) << std::hex << op << " " << flags;
            ASSERT_EQ(f.c.cc, flags);
        }
    f.c.cc = 0;
    f.run1({0x26, 0x80});  // BNE backwards, 16-bit wrap of the offset
    EXPECT_EQ(f.c.pc, 0x4002 - 0x80);
}

TEST(CpuControl, SubroutinesAndStack) {
    CpuFixture f;
    f.c.sp = 0x4F00;
    f.run1({0x8D, 0x10});  // BSR
    EXPECT_EQ(f.c.pc, 0x4012);
    EXPECT_EQ(f.c.sp, 0x4EFE);
    EXPECT_EQ(f.mem(0x4F00), 0x02);  // low byte pushed first
    EXPECT_EQ(f.mem(0x4EFF), 0x40);
    f.load(0x4012, {0x39});  // RTS
    f.step();
    EXPECT_EQ(f.c.pc, 0x4002);
    EXPECT_EQ(f.c.sp, 0x4F00);

    f.c.x = 0x4400;
    f.run1({0xAD, 0x05});  // JSR 5,X
    EXPECT_EQ(f.c.pc, 0x4405);
    EXPECT_EQ(f.mem(0x4F00), 0x02);
    f.c.sp = 0x4F00;
    f.run1({0xBD, 0x45, 0x67});
    EXPECT_EQ(f.c.pc, 0x4567);
    EXPECT_EQ(f.mem(0x4F00), 0x03);

    f.c.sp = 0x4F00;
    f.c.d = 0x1234;
    f.c.x = 0xABCD;
    f.load(0x4000, {0x36, 0x37, 0x3C, 0x38, 0x33, 0x32, 0x30, 0x35});
    f.c.pc = 0x4000;
    for (int i = 0; i < 3; ++i) f.step();  // PSHA PSHB PSHX
    EXPECT_EQ(f.c.sp, 0x4EFC);
    EXPECT_EQ(f.mem(0x4F00), 0x12);
    EXPECT_EQ(f.mem(0x4EFF), 0x34);
    EXPECT_EQ(f.mem(0x4EFE), 0xCD);
    EXPECT_EQ(f.mem(0x4EFD), 0xAB);
    f.c.x = 0;
    f.c.d = 0;
    f.step();  // PULX
    EXPECT_EQ(f.c.x, 0xABCD);
    f.step();  // PULB
    f.step();  // PULA
    EXPECT_EQ(f.c.d, 0x1234);
    f.step();  // TSX
    EXPECT_EQ(f.c.x, 0x4F01);
    f.c.x = 0x4000;
    f.step();  // TXS
    EXPECT_EQ(f.c.sp, 0x3FFF);
}

TEST(CpuControl, SwiAndRtiStackLayout) {
    CpuFixture f;
    f.vector(0xFFFA, 0x4800);
    f.c.sp = 0x4F00;
    f.c.d = 0x1122;
    f.c.x = 0x3344;
    f.c.cc = 0xC1;  // bits 6 and 7 are kept as loaded
    EXPECT_EQ(f.run1({0x3F}), 12);
    EXPECT_EQ(f.c.pc, 0x4800);
    EXPECT_EQ(f.c.cc, 0xD1);
    const uint8_t stacked[] = {0xC1, 0x22, 0x11, 0x33, 0x44, 0x40, 0x01};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(f.mem(uint16_t(0x4EFA + i)), stacked[i]) << i;
    EXPECT_EQ(f.c.sp, 0x4EF9);
    f.c.d = 0;
    f.c.x = 0;
    f.load(0x4800, {0x3B});
    EXPECT_EQ(f.step(), 10);
    EXPECT_EQ(f.c.pc, 0x4001);
    EXPECT_EQ(f.c.d, 0x1122);
    EXPECT_EQ(f.c.x, 0x3344);
    EXPECT_EQ(f.c.cc, 0xC1);
    EXPECT_EQ(f.c.sp, 0x4F00);
}

TEST(CpuControl, ConditionCodeTopBitsReadBackAsLoaded) {
    CpuFixture f;
    f.c.cc = 0;
    cpuReset(f.m);
    f.run1({0x07});  // TPA
    EXPECT_EQ(f.a(), 0x10);
    f.setA(0xC0);
    f.run1({0x06, 0x07});  // TAP, then TPA runs as the one more instruction
    EXPECT_EQ(f.a(), 0xC0);
}

TEST(CpuControl, UndocumentedStoreImmediate) {
    CpuFixture f;
    f.setA(0x80);
    f.c.cc = CC_V | CC_C;
    EXPECT_EQ(f.run1({0x87, 0x00, 0x01}), 0);
    EXPECT_EQ(f.mem(0x4001), 0x80);
    EXPECT_EQ(f.c.pc, 0x4002);
    EXPECT_EQ(f.c.cc, CC_N | CC_C);
    struct Case {
        uint8_t op;
        uint16_t CpuState::*reg;
    };
    for (Case k : {Case{0x8F, &CpuState::sp}, Case{0xCD, &CpuState::d}, Case{0xCF, &CpuState::x}}) {
        f.c.*k.reg = 0x0000;
        f.c.cc = CC_V;
        EXPECT_EQ(f.run1({k.op, 0xAA, 0xBB}), 0);
        EXPECT_EQ(f.mem(0x4001), 0x00);
        EXPECT_EQ(f.mem(0x4002), 0x00);
        EXPECT_EQ(f.c.pc, 0x4003);
        EXPECT_EQ(f.c.cc, CC_Z);
    }
    f.setB(0x42);
    f.run1({0xC7, 0x00});
    EXPECT_EQ(f.mem(0x4001), 0x42);
}

TEST(CpuControl, UndefinedOpcodesChangeNothingButPc) {
    CpuFixture f;
    int count = 0;
    for (int op = 0; op < 256; ++op) {
        if (opcodeTable[op].mode != AddrMode::undefined) continue;
        ++count;
        f.c.d = 0x1234;
        f.c.x = 0x5678;
        f.c.sp = 0x4F00;
        f.c.cc = 0x2A;
        EXPECT_EQ(f.run1({uint8_t(op), 0x01}), 0) << op;
        EXPECT_EQ(f.c.pc, 0x4001) << op;
        EXPECT_EQ(f.c.d, 0x1234);
        EXPECT_EQ(f.c.x, 0x5678);
        EXPECT_EQ(f.c.sp, 0x4F00);
        EXPECT_EQ(f.c.cc, 0x2A);
    }
    EXPECT_EQ(count, 31);
}

// A memory image of nothing but zero-cycle opcodes must still end each frame.
TEST(CpuControl, RunOfZeroCycleOpcodesStillEndsTheBudget) {
    CpuFixture f;
    for (int a = 0; a < 0x10000; ++a) f.mem(uint16_t(a)) = 0x02;
    EXPECT_GE(cpuExecute(f.m, 1000), 1000);
}

// Every opcode that does not jump moves pc by its table length, so the table and
// the handlers agree on the operand bytes.
TEST(CpuControl, HandlersConsumeTheirTableLength) {
    CpuFixture f;
    for (int op = 0; op < 256; ++op) {
        const OpcodeInfo& info = opcodeTable[op];
        if (info.mode == AddrMode::relative) continue;
        std::string name = info.mnemonic;
        if (name == "JMP" || name == "JSR" || name == "RTS" || name == "RTI" || name == "SWI" || name == "WAI")
            continue;
        f.c.x = 0x4400;
        f.c.sp = 0x4F00;
        f.c.cc = CC_I;
        f.setA(0x10);  // keeps I set if TAP loads it
        f.run1({uint8_t(op), 0x44, 0x10, 0x01, 0x01, 0x01});
        // CLI/SEI/TAP also run the one-byte LSRA (0x44) that follows them.
        int expect = instructionLength(info.mode) + (op == 0x06 || op == 0x0E || op == 0x0F ? 1 : 0);
        EXPECT_EQ(f.c.pc, 0x4000 + expect) << std::hex << op << " " << name;
    }
}

TEST(CpuControl, CycleTableMatchesTheDataSheetCounts) {
    // Row sums of the opcode map.
    const int rowSums[16] = {30, 12, 48, 84, 22, 22, 69, 69, 37, 56, 72, 72, 30, 54, 70, 70};
    for (int row = 0; row < 16; ++row) {
        int sum = 0;
        for (int col = 0; col < 16; ++col) sum += cycleTable[row * 16 + col];
        EXPECT_EQ(sum, rowSums[row]) << row;
    }
    EXPECT_EQ(cycleTable[0x3F], 12);
    EXPECT_EQ(cycleTable[0x3B], 10);
    EXPECT_EQ(cycleTable[0x3E], 9);
    EXPECT_EQ(cycleTable[0xBD], 6);
    EXPECT_EQ(cycleTable[0x8D], 6);
    CpuFixture f;
    f.c.x = 0x4400;
    EXPECT_EQ(f.run1({0xF3, 0x44, 0x00}), 6);  // ADDD extended
    EXPECT_EQ(f.run1({0x6C, 0x00}), 6);        // INC indexed
    EXPECT_EQ(f.run1({0x27, 0x00}), 3);        // branch, taken or not
}

TEST(CpuControl, Disassembler) {
    CpuFixture f;
    struct Case {
        std::initializer_list<uint8_t> bytes;
        const char* text;
        int length;
    };
    const Case cases[] = {
        {{0x86, 0x12}, "LDAA #$12", 2},       {{0xCE, 0x12, 0x34}, "LDX #$1234", 3},
        {{0x97, 0x80}, "STAA $80", 2},        {{0xA6, 0x05}, "LDAA $05,X", 2},
        {{0xBD, 0xE0, 0x00}, "JSR $E000", 3}, {{0x20, 0xFE}, "BRA $4000", 2},
        {{0x3D}, "MUL", 1},                   {{0x02}, "FCB $02", 1},
        {{0xCD, 0x00, 0x01}, "STD #$0001", 3},
    };
    for (const Case& k : cases) {
        f.load(0x4000, k.bytes);
        Disassembly d = disassemble(f.m, 0x4000);
        EXPECT_EQ(d.text, k.text);
        EXPECT_EQ(d.length, k.length);
    }
}

TEST(CpuControl, BudgetRules) {
    CpuFixture f;
    // Budget 0 runs exactly one instruction and returns its cycles.
    EXPECT_EQ(f.run1({0xBD, 0x40, 0x00}), 6);
    EXPECT_EQ(f.m.cycles.count, 6u);
    // A 12-cycle SWI fetched with 1 cycle left: budget + 11.
    f.vector(0xFFFA, 0x4100);
    f.load(0x4000, {0x01, 0x3F});
    f.load(0x4100, {0x01});
    f.c.pc = 0x4000;
    EXPECT_EQ(cpuExecute(f.m, 3), 14);
    EXPECT_EQ(f.c.pc, 0x4100);
    // A loop runs until its budget is used.
    f.load(0x4000, {0x01, 0x20, 0xFD});  // NOP; BRA -3
    f.c.pc = 0x4000;
    EXPECT_EQ(cpuExecute(f.m, 1000), 1000);
}

TEST(CpuControl, BranchToItselfIdlesToTheBudgetEnd) {
    CpuFixture f;
    f.load(0x4000, {0x20, 0xFE});
    f.c.pc = 0x4000;
    uint32_t before = f.m.cycles.count;
    EXPECT_EQ(cpuExecute(f.m, 5000), 5003);  // the idle, then the BRA's own 3 cycles
    EXPECT_EQ(f.c.pc, 0x4000);
    // The idle time is not counted in the machine's cycle count, only the BRA itself.
    EXPECT_EQ(f.m.cycles.count - before, 3u);
}

}  // namespace
