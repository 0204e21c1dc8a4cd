// The debugger: the one-instruction primitive it relies on, breakpoints, watchpoints,
// stepping, the trace, and the loop variant leaving the machine where the plain loop does.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "machine.h"
#include "state/state_file.h"

namespace {

// A machine with a short program at 0x4200, reset onto it.
//
//   4200 8E 4F 00  LDS  #$4F00
//   4203 86 12     LDAA #$12
//   4205 C6 34     LDAB #$34
//   4207 CE 44 00  LDX  #$4400
//   420A A7 00     STAA 0,X
//   420C 1B        ABA
//   420D 08        INX
//   420E 8D 03     BSR  $4213
//   4210 7E 42 10  JMP  $4210
//   4213 37        PSHB
//   4214 33        PULB
//   4215 39        RTS
std::unique_ptr<Machine> programMachine() {
    auto m = std::make_unique<Machine>();
    initMemory(*m);
    const uint8_t code[] = {0x8E, 0x4F, 0x00, 0x86, 0x12, 0xC6, 0x34, 0xCE, 0x44, 0x00, 0xA7, 0x00,
                            0x1B, 0x08, 0x8D, 0x03, 0x7E, 0x42, 0x10, 0x37, 0x33, 0x39};
    std::memcpy(m->mem.addressSpace + 0x4200, code, sizeof code);
    m->mem.addressSpace[0xFFFE] = 0x42;
    m->mem.addressSpace[0xFFFF] = 0x00;
    cpuInit(*m);
    cpuReset(*m);
    resetCycleCount(m->cycles);
    return m;
}

void frame(Machine& m) { runFrame(m, currentCycles(m.cycles)); }

}  // namespace

// The debugging loop runs the processor with a budget of 0: exactly one instruction,
// zero-cycle opcodes included.
TEST(Debugger, ABudgetOfZeroRunsExactlyOneInstruction) {
    auto m = programMachine();
    const uint8_t code[] = {0x02, 0x87, 0x55, 0x01, 0x0E, 0x01, 0x01};  // ???, STAA #, NOP, CLI, NOP, NOP
    std::memcpy(m->mem.addressSpace + 0x4300, code, sizeof code);
    m->cpu.pc = 0x4300;
    const struct {
        uint16_t pc;
        int32_t cycles;
    } steps[] = {{0x4301, 0}, {0x4303, 0}, {0x4304, 2}, {0x4306, 4}, {0x4307, 2}};  // CLI takes one NOP along
    for (const auto& s : steps) {
        EXPECT_EQ(cpuExecute(*m, 0), s.cycles);
        EXPECT_EQ(m->cpu.pc, s.pc);
    }
}

TEST(Debugger, TraceOfAShortProgramMatchesTheListing) {
    auto m = programMachine();
    std::vector<std::string> lines;
    m->debugger.trace = [&](const std::string& l) {
        if (lines.size() < 14) lines.push_back(l);
    };
    debuggerChanged(*m);
    frame(*m);
    // Cycle count before each instruction; the registers after it.
    const std::vector<std::string> listing = {
        "         0  4200  8E 4F 00  LDS #$4F00        A=00 B=00 X=0000 SP=4F00 CC=10",
        "         3  4203  86 12     LDAA #$12         A=12 B=00 X=0000 SP=4F00 CC=10",
        "         5  4205  C6 34     LDAB #$34         A=12 B=34 X=0000 SP=4F00 CC=10",
        "         7  4207  CE 44 00  LDX #$4400        A=12 B=34 X=4400 SP=4F00 CC=10",
        "        10  420A  A7 00     STAA $00,X        A=12 B=34 X=4400 SP=4F00 CC=10",
        "        14  420C  1B        ABA               A=46 B=34 X=4400 SP=4F00 CC=10",
        "        16  420D  08        INX               A=46 B=34 X=4401 SP=4F00 CC=10",
        "        19  420E  8D 03     BSR $4213         A=46 B=34 X=4401 SP=4EFE CC=10",
        "        25  4213  37        PSHB              A=46 B=34 X=4401 SP=4EFD CC=10",
        "        28  4214  33        PULB              A=46 B=34 X=4401 SP=4EFE CC=10",
        "        32  4215  39        RTS               A=46 B=34 X=4401 SP=4F00 CC=10",
        "        37  4210  7E 42 10  JMP $4210         A=46 B=34 X=4401 SP=4F00 CC=10",
        "        40  4210  7E 42 10  JMP $4210         A=46 B=34 X=4401 SP=4F00 CC=10",
        "        43  4210  7E 42 10  JMP $4210         A=46 B=34 X=4401 SP=4F00 CC=10",
    };
    EXPECT_EQ(lines, listing);
    EXPECT_EQ(m->mem.addressSpace[0x4400], 0x12);
}

TEST(Debugger, BreakpointsAndWatchpointsStopAtTheAccessingInstruction) {
    struct Case {
        const char* name;
        std::vector<uint16_t> breaks;
        std::vector<Watchpoint> watches;
        StopReason reason;
        uint16_t pc;
        uint16_t sp;
    };
    const std::vector<Case> cases = {
        {"breakpoint", {0x420C}, {}, StopReason::breakpoint, 0x420C, 0x4F00},
        {"breakpoint in the subroutine", {0x4214}, {}, StopReason::breakpoint, 0x4214, 0x4EFD},
        {"write of an operand", {}, {{0x43F0, 0x4400, false, true}}, StopReason::watchWrite, 0x420A, 0x4F00},
        {"read-only watch passes a write", {}, {{0x4400, 0x4400, true, false}}, StopReason::none, 0, 0},
        {"stack write of BSR", {}, {{0x4EFF, 0x4EFF, false, true}}, StopReason::watchWrite, 0x420E, 0x4F00},
        {"stack write of PSHB", {}, {{0x4EFE, 0x4EFE, false, true}}, StopReason::watchWrite, 0x4213, 0x4EFE},
        {"stack read of PULB", {}, {{0x4EFE, 0x4EFE, true, false}}, StopReason::watchRead, 0x4214, 0x4EFD},
        {"stack read of RTS", {}, {{0x4F00, 0x4F00, true, false}}, StopReason::watchRead, 0x4215, 0x4EFE},
        {"the program itself is not data", {}, {{0x4200, 0x4215, true, true}}, StopReason::none, 0, 0},
    };
    for (const Case& c : cases) {
        auto m = programMachine();
        m->debugger.breakpoints = c.breaks;
        m->debugger.watchpoints = c.watches;
        debuggerChanged(*m);
        frame(*m);
        EXPECT_EQ(m->debugger.reason, c.reason) << c.name << ": " << m->debugger.stopText;
        EXPECT_EQ(m->debugger.paused, c.reason != StopReason::none) << c.name;
        if (c.reason == StopReason::none) continue;
        EXPECT_EQ(m->cpu.pc, c.pc) << c.name;
        EXPECT_EQ(m->debugger.stopPc, c.pc) << c.name;
        EXPECT_EQ(m->cpu.sp, c.sp) << c.name;
        // The desktop loop holds a stopped machine; Continue runs on past the stop.
        const uint32_t cycles = currentCycles(m->cycles);
        frameStep(*m);
        EXPECT_EQ(currentCycles(m->cycles), cycles) << c.name;
        debuggerContinue(*m);
        frame(*m);
        EXPECT_FALSE(m->debugger.paused) << c.name << ": " << m->debugger.stopText;
        EXPECT_EQ(m->cpu.pc, 0x4210) << c.name;
    }
}

TEST(Debugger, StepStepOverAndRunToCursor) {
    auto m = programMachine();
    debuggerRunTo(*m, 0x420E);
    frame(*m);
    ASSERT_TRUE(m->debugger.paused);
    EXPECT_EQ(m->debugger.reason, StopReason::runTo);
    EXPECT_EQ(m->cpu.pc, 0x420E);
    EXPECT_FALSE(m->debugger.active);  // the one-shot stop is gone

    debuggerStep(*m);  // into the subroutine
    EXPECT_EQ(m->cpu.pc, 0x4213);
    EXPECT_EQ(m->cpu.sp, 0x4EFE);
    EXPECT_TRUE(m->debugger.paused);

    auto n = programMachine();
    debuggerRunTo(*n, 0x420E);
    frame(*n);
    debuggerStepOver(*n);  // over it: runs the subroutine, stops after the call
    EXPECT_FALSE(n->debugger.paused);
    frame(*n);
    EXPECT_TRUE(n->debugger.paused);
    EXPECT_EQ(n->cpu.pc, 0x4210);
    EXPECT_EQ(n->cpu.sp, 0x4F00);

    debuggerStepOver(*n);  // not a call: one step
    EXPECT_TRUE(n->debugger.paused);
    EXPECT_EQ(n->cpu.pc, 0x4210);
    EXPECT_EQ(currentCycles(n->cycles), 40u);
}

// With a trace running (the debugging loop) the machine goes exactly where the plain
// loop takes it, frame after frame, as long as no interrupt is entered.
TEST(Debugger, TheDebuggingLoopLeavesTheMachineWhereThePlainLoopDoes) {
    auto plain = std::make_unique<Machine>();
    loadRomImages(*plain);
    recomputeFrameTiming(*plain);
    startupReset(*plain);
    auto traced = std::make_unique<Machine>();
    loadRomImages(*traced);
    recomputeFrameTiming(*traced);
    startupReset(*traced);
    uint64_t lines = 0;
    traced->debugger.trace = [&](const std::string&) { ++lines; };
    traced->debugger.watchpoints = {{0x0000, 0xFFFF, false, false}};  // decoded, never hit
    debuggerChanged(*traced);
    for (int i = 0; i < 120; ++i) {
        frame(*plain);
        frame(*traced);
    }
    EXPECT_FALSE(traced->debugger.paused);
    EXPECT_GT(lines, 10000u);
    EXPECT_EQ(saveStateToBytes(*plain), saveStateToBytes(*traced));
}
