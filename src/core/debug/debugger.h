// The debugger: execution breakpoints, read/write watchpoints on address ranges, an
// instruction trace and the stepping commands, beside the processor rather than in it.
// While none of them is set, the frame runs the plain execution loop (cpuExecute);
// while one is, it runs debugExecute, which goes instruction by instruction through
// the same processor and looks at each instruction before it runs.
//
//   m.debugger.breakpoints.push_back(0x4010);
//   debuggerChanged(m);                          // after any edit of the lists or trace
//   runFrame(m, currentCycles(m.cycles));        // stops at $4010: m.debugger.paused
//   debuggerContinue(m);                         // or debuggerStep / StepOver / RunTo
//
// Watchpoints see the data accesses an instruction makes, decoded from the opcode map
// before it runs: operand reads and writes (read-modify-write counts as both), the
// store-immediate forms, and the stack bytes of PSH/PUL, JSR/BSR/RTS, RTI, SWI and
// WAI. Not seen: the stacking of an interrupt entry and the reads of the vectors.
// A stop happens before the instruction that would hit, with pc at that instruction.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Machine;

struct Watchpoint {
    uint16_t first = 0, last = 0;  // inclusive
    bool onRead = true, onWrite = true;
};

enum class StopReason { none, breakpoint, watchRead, watchWrite, step, runTo, userBreak };

struct Debugger {
    // What the user set.
    std::vector<uint16_t> breakpoints;
    std::vector<Watchpoint> watchpoints;
    std::function<void(const std::string&)> trace;  // set: one line per instruction
    int32_t runTo = -1;                              // one-shot stop at this pc (run to cursor, step over)

    // Where the machine stands.
    bool paused = false;            // stopped: the desktop loop runs no frames
    bool resumeQuietly = false;     // the instruction at pc runs once without stopping again
    StopReason reason = StopReason::none;
    uint16_t stopPc = 0;
    std::string stopText;           // "Breakpoint at $4010"
    uint64_t stops = 0;             // how many times it has stopped

    // Derived by debuggerChanged.
    bool active = false;
    std::vector<uint8_t> breakMap;  // 65536 entries, 1 = breakpoint
};

// After any change of breakpoints, watchpoints, trace or runTo.
void debuggerChanged(Machine& m);
// The loop variant: like cpuExecute, one instruction at a time with the checks; returns
// early (with m.debugger.paused set) when something stops it.
int32_t debugExecute(Machine& m, int32_t budget);
// The frame's choice: one test per slice, none per instruction.
int32_t executeSlice(Machine& m, int32_t budget);

void debuggerPause(Machine& m);                 // the user's Break
void debuggerContinue(Machine& m);
void debuggerStep(Machine& m);                  // one instruction now, stays paused
void debuggerStepOver(Machine& m);              // JSR/BSR: run to the instruction after it
void debuggerRunTo(Machine& m, uint16_t address);

// Data accesses of the instruction at pc (see above), at most eight byte addresses.
struct DataAccess {
    uint16_t address = 0;
    bool read = false, write = false;
};
int instructionAccesses(const Machine& m, uint16_t pc, DataAccess out[8]);

// One trace line: cycle count before the instruction, pc, its bytes, mnemonic and
// operand, and the registers after it:
// "      1234  4000  8E 4F 00  LDS #$4F00      A=00 B=00 X=0000 SP=4F00 CC=D0"
std::string traceLine(const Machine& m, uint32_t cycles, uint16_t pc);
// "PC=4000 A=00 B=00 X=0000 SP=4F00 CC=D0 (..HINZVC) CYCLES=1234"
std::string registersText(const Machine& m);
// A byte as the processor would read it from RAM or ROM, without touching any device.
uint8_t peekMemory(const Machine& m, uint16_t address);
