// Branches, subroutines and the stack, the undocumented and undefined opcodes, the
// opcode table against the handlers, the disassembler and the budget rules.
#include "cpu_fixture.h"

namespace {

TEST(CpuControl, EveryBranchConditionForEveryFlagCombination) {
    CpuFixture f;
    for (unsigned op = 0x20; op < 0x30; ++op)
        for (unsigned flags = 0; flags < 16; ++flags) {
            bool c = flags & CC_C, v = flags & CC_V, z = flags & CC_Z, n = flags & CC_N;
            const bool taken[16] = {true, false, !c && !z, c || z, !c,     c,      !z,           z,
                                    !v,   v,     !n,       n,      n == v, n != v, !z && n == v, z || n != v};
            f.c.cc = uint8_t(flags);
            f.run1({uint8_t(op), 0x80});  // backwards, with the 16-bit wrap of the offset
            ASSERT_EQ(f.c.pc, taken[op - 0x20] ? 0x4002 - 0x80 : 0x4002) << std::hex << op << " " << flags;
        }
}

TEST(CpuControl, SubroutinesAndStack) {
    CpuFixture f;
    f.c.x = 0x4400, f.c.d = 0x1234, f.c.cc = 0;
    f.load(0x4012, {0x39});
    f.run1({0x8D, 0x10});  // BSR
    EXPECT_EQ(f.regs() + " " + f.stack(2), "4012 4EFE 1234 4400 00 4002");
    f.step();  // RTS
    EXPECT_EQ(f.regs(), "4002 4F00 1234 4400 00");
    f.run1({0xAD, 0x05});  // JSR 5,X
    EXPECT_EQ(f.regs() + " " + f.stack(2), "4405 4EFE 1234 4400 00 4002");
    f.c.sp = 0x4F00, f.c.x = 0xABCD;
    f.run1({0x36, 0x37, 0x3C, 0x38, 0x33, 0x32, 0x30, 0x35});  // PSHA PSHB PSHX PULX PULB PULA TSX TXS
    f.step(), f.step();
    EXPECT_EQ(f.regs() + " " + f.stack(4), "4003 4EFC 1234 ABCD 00 ABCD3412");
    f.c.x = 0, f.c.d = 0;
    f.step(), f.step(), f.step();
    EXPECT_EQ(f.regs(), "4006 4F00 1234 ABCD 00");
    f.step(), f.step();  // TSX: x = sp + 1; TXS: sp = x - 1
    EXPECT_EQ(f.regs(), "4008 4F00 1234 4F01 00");
}

TEST(CpuControl, SwiAndRtiStackLayoutKeepingCcTopBits) {
    CpuFixture f;
    f.vector(0xFFFA, 0x4800);
    f.load(0x4800, {0x3B});
    f.c.d = 0x1122, f.c.x = 0x3344, f.c.cc = 0xC1;  // bits 6 and 7 read back as loaded
    EXPECT_EQ(f.run1({0x3F}), 12);
    EXPECT_EQ(f.regs() + " " + f.stack(7), "4800 4EF9 1122 3344 D1 C1221133444001");
    f.c.d = f.c.x = 0;
    EXPECT_EQ(f.step(), 10);
    EXPECT_EQ(f.regs(), "4001 4F00 1122 3344 C1");

    f.c.cc = 0;
    cpuReset(f.m);
    f.run1({0x07});  // TPA right after reset
    EXPECT_EQ(f.a(), 0x10);
    f.setA(0xC0);
    f.run1({0x06, 0x07});  // TAP; TPA (the one more instruction)
    EXPECT_EQ(f.a(), 0xC0);
}

TEST(CpuControl, UndocumentedStoreImmediateAndUndefinedOpcodes) {
    CpuFixture f;
    f.c.d = 0x8042, f.c.x = 0, f.c.cc = CC_V | CC_C;
    EXPECT_EQ(f.run1({0x87, 0x00, 0x01}), 0);  // STAA # writes A over its own operand
    EXPECT_EQ(f.regs() + " " + std::to_string(f.mem(0x4001)), "4002 4F00 8042 0000 09 128");
    EXPECT_EQ(f.run1({0xC7, 0x00}), 0);
    EXPECT_EQ(f.mem(0x4001), 0x42);
    for (uint8_t op : {0x8F, 0xCD, 0xCF}) {  // STS #, STD #, STX #: the 16-bit register
        f.c.sp = 0x4F00, f.c.d = 0x8000, f.c.x = 0x0000, f.c.cc = CC_V;
        EXPECT_EQ(f.run1({op, 0xAA, 0xBB}), 0);
        uint16_t stored = uint16_t(f.mem(0x4001) << 8 | f.mem(0x4002));
        EXPECT_EQ(stored, op == 0x8F ? 0x4F00 : op == 0xCD ? 0x8000 : 0);
        EXPECT_EQ(f.c.cc, op == 0x8F ? 0 : op == 0xCD ? CC_N : CC_Z);
        EXPECT_EQ(f.c.pc, 0x4003);
    }
    int count = 0;
    for (int op = 0; op < 256; ++op) {
        if (opcodeTable[op].mode != AddrMode::undefined) continue;
        ++count;
        f.c.d = 0x1234, f.c.x = 0x5678, f.c.sp = 0x4F00, f.c.cc = 0x2A;
        EXPECT_EQ(f.run1({uint8_t(op), 0x01}), 0) << op;
        EXPECT_EQ(f.regs(), "4001 4F00 1234 5678 2A") << op;
    }
    EXPECT_EQ(count, 31);
    // A memory image of nothing but zero-cycle opcodes must still end each call.
    // (Every page is pointed at one page of undefined opcodes.)
    for (int16_t& page : f.m.mem.readPage) page = 0x40;
    rebuildPageOffsets(f.m.mem);
    for (int a = 0x4000; a < 0x4100; ++a) f.mem(uint16_t(a)) = 0x02;
    EXPECT_EQ(cpuExecute(f.m, 1000), 1000);
    // Nor may one of CLI alone run one more instruction without end.
    for (int a = 0x4000; a < 0x4100; ++a) f.mem(uint16_t(a)) = 0x0E;
    EXPECT_GE(cpuExecute(f.m, 1000), 1000);
}

// Every opcode that does not jump moves pc by its table length, so the table and the
// handlers agree on the operand bytes; and the cycle table matches the opcode map.
TEST(CpuControl, OpcodeTableAgreesWithTheHandlers) {
    CpuFixture f;
    for (int op = 0; op < 256; ++op) {
        const OpcodeInfo& info = opcodeTable[op];
        std::string name = info.mnemonic;
        if (info.mode == AddrMode::relative || name == "JMP" || name == "JSR" || name == "RTS" || name == "RTI" ||
            name == "SWI" || name == "WAI")
            continue;
        f.c.x = 0x4400, f.c.sp = 0x4F00, f.c.cc = CC_I;
        f.setA(CC_I);  // TAP keeps I set
        f.run1({uint8_t(op), 0x44, 0x10, 0x01});
        // CLI, SEI and TAP also run the one-byte LSRA (0x44) that follows them.
        int more = (op == 0x06 || op == 0x0E || op == 0x0F) ? 1 : 0;
        EXPECT_EQ(f.c.pc, 0x4000 + instructionLength(info.mode) + more) << std::hex << op << " " << name;
    }
    const int rowSums[16] = {30, 12, 48, 84, 22, 22, 69, 69, 37, 56, 72, 72, 30, 54, 70, 70};
    for (int row = 0; row < 16; ++row) {
        int sum = 0;
        for (int col = 0; col < 16; ++col) sum += cycleTable[row * 16 + col];
        EXPECT_EQ(sum, rowSums[row]) << row;
    }
    EXPECT_EQ(f.run1({0xF3, 0x44, 0x00}), 6);  // ADDD extended
    EXPECT_EQ(f.run1({0x27, 0x00}), 3);        // a branch, taken or not
    EXPECT_EQ(f.run1({0x8D, 0x00}), 6);        // BSR
}

TEST(CpuControl, Disassembler) {
    CpuFixture f;
    struct Case {
        std::initializer_list<uint8_t> bytes;
        std::string text;  // and the length
    };
    for (const Case& k : {Case{{0x86, 0x12}, "LDAA #$12 2"}, Case{{0xCE, 0x12, 0x34}, "LDX #$1234 3"},
                          Case{{0x97, 0x80}, "STAA $80 2"}, Case{{0xA6, 0x05}, "LDAA $05,X 2"},
                          Case{{0xBD, 0xE0, 0x00}, "JSR $E000 3"}, Case{{0x20, 0xFE}, "BRA $4000 2"},
                          Case{{0x3D}, "MUL 1"}, Case{{0x02}, "FCB $02 1"}, Case{{0xCD, 0, 1}, "STD #$0001 3"}}) {
        f.load(0x4000, k.bytes);
        Disassembly d = disassemble(f.m, 0x4000);
        EXPECT_EQ(d.text + " " + std::to_string(d.length), k.text);
    }
}

TEST(CpuControl, BudgetRules) {
    CpuFixture f;
    EXPECT_EQ(f.run1({0xBD, 0x40, 0x00}), 6);  // budget 0: exactly one instruction
    EXPECT_EQ(f.m.cycles.count, 6u);
    f.vector(0xFFFA, 0x4100);
    f.run1({0x01, 0x3F});  // NOP, then a 12-cycle SWI fetched with 1 cycle left
    f.c.pc = 0x4000;
    EXPECT_EQ(cpuExecute(f.m, 3), 3 + 11);
    f.run1({0x01, 0x20, 0xFD});  // NOP; BRA -3
    EXPECT_EQ(cpuExecute(f.m, 1000), 1000);
    // A branch to itself idles to the end of the budget; only its own 3 cycles reach
    // the machine's cycle count.
    f.load(0x4000, {0x20, 0xFE});
    f.c.pc = 0x4000;
    uint32_t before = f.m.cycles.count;
    EXPECT_EQ(cpuExecute(f.m, 5000), 5000 + 3);
    EXPECT_EQ(f.c.pc, 0x4000);
    EXPECT_EQ(f.m.cycles.count - before, 3u);
}

}  // namespace
