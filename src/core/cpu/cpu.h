// The MC6803 processor: registers, the cycle-budgeted execution loop, the on-chip
// timer and register block (0x00-0x14), and the machine's running cycle count.
//
//   cpuReset(m);                       // pc from 0xFFFE, I set
//   int32_t ran = cpuExecute(m, 11364); // at least the budget
//   uint32_t now = currentCycles(m.cycles);
#pragma once
#include <cstdint>
#include <string>

struct Machine;

// Condition-code bits.
enum : uint8_t { CC_C = 0x01, CC_V = 0x02, CC_Z = 0x04, CC_N = 0x08, CC_I = 0x10, CC_H = 0x20 };

struct CpuState {
    uint16_t pc = 0, sp = 0, x = 0, d = 0;  // a = d >> 8, b = d & 0xFF
    uint8_t cc = 0;
    bool waiting = false;
    bool irq1Line = false;
    int32_t extraCycles = 0;
    int32_t cyclesLeft = 0;
    uint32_t counter = 0;        // low 16 bits: the free-running counter
    uint32_t outputCompare = 0;  // low 16 bits: OCR; high 16 bits: period of the next match
    uint32_t overflowPoint = 0;
    uint32_t nextEvent = 0;
    uint8_t tcsr = 0;
    uint8_t pendingFlags = 0;
    uint8_t irqSources = 0;
    uint16_t inputCapture = 0;
    bool tcsrWasRead = false;
    uint8_t counterHighLatch = 0;
    uint8_t ddr1 = 0, ddr2 = 0;
    uint8_t ramControl = 0;
    // Guard against a processor stuck in zero-cycle opcodes (undefined and
    // store-immediate) all the way round the address space: see stallGuard.
    uint32_t zeroCycleRun = 0;
    uint32_t zeroCycleAt = 0;

    uint8_t a() const { return static_cast<uint8_t>(d >> 8); }
    uint8_t b() const { return static_cast<uint8_t>(d); }
};

// Total emulated cycles since the last reset (wraps at 2^32), with a mark for
// measuring the time between port-2 writes.
struct CycleCounter {
    uint32_t count = 0;
    uint32_t mark = 0;  // 0: no mark yet
};

inline void resetCycleCount(CycleCounter& c) { c.count = 0; c.mark = 0; }
inline void addCycles(CycleCounter& c, uint8_t n) { c.count += n; }
inline uint32_t currentCycles(const CycleCounter& c) { return c.count; }
// Stores count - mark in *delta (0 when no mark was set), then marks now; returns the count.
inline uint32_t cyclesSinceMark(CycleCounter& c, uint32_t* delta) {
    if (delta) *delta = c.mark == 0 ? 0 : c.count - c.mark;
    c.mark = c.count;
    return c.count;
}

void cpuInit(Machine& m);
void cpuReset(Machine& m);
// Runs instructions until the budget is used; returns the cycles consumed (at least
// the budget, unless the processor is waiting and the budget is 0 or less).
int32_t cpuExecute(Machine& m, int32_t budget);

// Steps of the execution loop, used by the instruction handlers and the register block.
void checkTimerEvents(Machine& m);           // raise OCF/TOF that are due, choose nextEvent
void idleToNextEvent(Machine& m);            // jump to the next timer event or the budget's end
void enterInterrupt(Machine& m, uint16_t vector);
void checkInterrupts(Machine& m);            // take one pending interrupt if I is clear
void executeOneMore(Machine& m);             // after CLI/SEI/TAP: one more instruction, then check
void advanceCounter(Machine& m, int32_t n);   // cyclesLeft -= n; counter += n; timer check

// The on-chip register block, reached through the address decoder.
uint8_t readOnChipRegister(Machine& m, uint16_t address);
void writeOnChipRegister(Machine& m, uint16_t address, uint8_t value);

struct Disassembly {
    std::string text;  // "LDAA $4000"
    int length = 1;    // bytes, 1-3
};
// Reads the instruction bytes straight from the address space (no side effects).
Disassembly disassemble(const Machine& m, uint16_t address);
