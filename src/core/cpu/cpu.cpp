// The MC6803 execution loop, timer events, interrupt entry and reset. The opcode
// handlers are in opcode_handlers.inc; the loop includes them into its dispatch.
//
// The loop keeps the registers, the timer counter and the budget in locals (the Regs
// record below, which never leaves this file's inlined code), so the compiler can hold
// them in host registers: byte stores into the address space may alias any memory,
// and would otherwise force every register back to CpuState after every store.
// Whenever the loop calls out of line to something that can see or change the
// processor (the special memory paths, timer events, interrupt entry, executeOneMore,
// the idle steps), it stores the locals to CpuState first and loads them back after.
//
// Dispatch: with TOVRIN_THREADED_DISPATCH (GCC and Clang's computed goto), every
// handler ends in its own fetch and jump to the next handler; otherwise one switch.
// Either way each handler charges its own cycle count as a constant from cycleTable.
#include "cpu/cpu.h"

#include <algorithm>
#include <climits>

#include "cpu/opcodes.h"
#include "cpu/timer.h"
#include "machine.h"
#include "machine/memory_access.h"

#ifndef TOVRIN_THREADED_DISPATCH
#define TOVRIN_THREADED_DISPATCH 0
#endif

// The handlers are small and run for every instruction: inline them into the loop
// whatever the compiler's size heuristics say.
#define HOT_INLINE [[gnu::always_inline]] inline

namespace {

constexpr uint8_t CC_NZV = CC_N | CC_Z | CC_V;
constexpr uint8_t CC_NZVC = CC_N | CC_Z | CC_V | CC_C;
constexpr uint8_t CC_NZC = CC_N | CC_Z | CC_C;

HOT_INLINE int32_t saturate(int64_t v) {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

// The loop's working copy of the processor.
struct Regs {
    Machine& m;
    uint16_t pc = 0, sp = 0, x = 0, d = 0;
    uint8_t cc = 0;
    uint32_t counter = 0;  // CpuState::counter
    uint32_t stop = 0;     // leave the fast path once counter reaches this: the next timer event or the budget's end
    int64_t end = 0;       // counter at which the budget is used up (cyclesLeft = end - counter)
    uint32_t countAhead = 0;  // the machine's cycle count minus counter

    uint8_t a() const { return static_cast<uint8_t>(d >> 8); }
    uint8_t b() const { return static_cast<uint8_t>(d); }
};

HOT_INLINE void computeStop(Regs& r, uint32_t nextEvent) {
    const int64_t left = r.end - r.counter;
    const uint32_t budgetEnd = left > 0 ? static_cast<uint32_t>(r.end) : r.counter;
    r.stop = std::min(nextEvent, budgetEnd);
}

HOT_INLINE void load(Regs& r) {
    const CpuState& c = r.m.cpu;
    r.pc = c.pc, r.sp = c.sp, r.x = c.x, r.d = c.d, r.cc = c.cc;
    r.counter = c.counter;
    r.end = int64_t{c.counter} + c.cyclesLeft;
    r.countAhead = r.m.cycles.count - c.counter;
    computeStop(r, c.nextEvent);
}

// What the special memory reads can see: the timer counter (FRC reads) and the cycle
// count (cassette input, Quick Type).
HOT_INLINE void storeCounts(Regs& r) {
    CpuState& c = r.m.cpu;
    c.counter = r.counter;
    c.cyclesLeft = saturate(r.end - r.counter);
    r.m.cycles.count = r.counter + r.countAhead;
}

HOT_INLINE void store(Regs& r) {
    CpuState& c = r.m.cpu;
    c.pc = r.pc, c.sp = r.sp, c.x = r.x, c.d = r.d, c.cc = r.cc;
    storeCounts(r);
}

// ---- memory and stack --------------------------------------------------------------

// Page-zero bytes below 0x20 that a write only stores: port 1 (the keyboard strobe),
// ports 3 and 4, input capture, the serial registers and 0x15-0x1F.
constexpr uint32_t plainPageZero = [] {
    uint32_t mask = 0;
    for (unsigned a = 0; a < 0x20; ++a)
        if (a != 0x03 && !memory_detail::onChipWritable(a)) mask |= 1u << a;
    return mask;
}();

// Out of line: everything the page maps do not serve, with the loop's state handed
// over and taken back.
[[gnu::noinline, gnu::cold]] uint8_t readSpecialSynced(Machine& m, uint16_t a) {
    MachineDevices dev;
    return memory_detail::readSpecial(m, a, dev);
}
[[gnu::noinline, gnu::cold]] void writeSpecialSynced(Machine& m, uint16_t a, uint8_t v) {
    MachineDevices dev;
    memory_detail::writeSpecial(m, a, v, dev);
}

HOT_INLINE uint8_t rd(Regs& r, uint16_t a) {
    MachineMemory& mem = r.m.mem;
    const int32_t offset = mem.readOffset[a >> 8];
    if (offset != noPageOffset) [[likely]]
        return mem.addressSpace[a + offset];
    if ((a & 0xFF80) == 0x0080) return mem.addressSpace[a];  // the internal RAM
    // A read changes nothing the loop holds, but may look at the counters.
    storeCounts(r);
    return readSpecialSynced(r.m, a);
}
HOT_INLINE void wr(Regs& r, uint16_t a, uint8_t v) {
    MachineMemory& mem = r.m.mem;
    const int32_t offset = mem.writeOffset[a >> 8];
    if (offset != noPageOffset) [[likely]] {
        mem.addressSpace[a + offset] = v;
        return;
    }
    if ((a & 0xFF80) == 0x0080 || (a < 0x20 && ((plainPageZero >> a) & 1))) {
        mem.addressSpace[a] = v;  // the internal RAM, port 1 and the other plain bytes
        return;
    }
    // A write may move the counter or the compare point, or enter an interrupt.
    store(r);
    writeSpecialSynced(r.m, a, v);
    load(r);
}
HOT_INLINE uint16_t rd16(Regs& r, uint16_t a) {
    const MachineMemory& mem = r.m.mem;
    const int32_t offset = mem.readOffset[a >> 8];
    if (offset != noPageOffset && (a & 0xFF) != 0xFF) [[likely]]  // both bytes in one plain page
        return static_cast<uint16_t>(mem.addressSpace[a + offset] << 8 | mem.addressSpace[a + offset + 1]);
    uint8_t hi = rd(r, a);
    uint8_t lo = rd(r, static_cast<uint16_t>(a + 1));
    return static_cast<uint16_t>(hi << 8 | lo);
}
HOT_INLINE void wr16(Regs& r, uint16_t a, uint16_t v) {
    wr(r, a, static_cast<uint8_t>(v >> 8));
    wr(r, static_cast<uint16_t>(a + 1), static_cast<uint8_t>(v));
}
HOT_INLINE uint8_t fetch8(Regs& r) { return rd(r, r.pc++); }
HOT_INLINE uint16_t fetch16(Regs& r) {
    uint16_t v = rd16(r, r.pc);
    r.pc = static_cast<uint16_t>(r.pc + 2);
    return v;
}
HOT_INLINE void push8(Regs& r, uint8_t v) { wr(r, r.sp--, v); }
HOT_INLINE uint8_t pull8(Regs& r) { return rd(r, ++r.sp); }
HOT_INLINE void push16(Regs& r, uint16_t v) {  // low byte first, so it reads back high first
    push8(r, static_cast<uint8_t>(v));
    push8(r, static_cast<uint8_t>(v >> 8));
}
HOT_INLINE uint16_t pull16(Regs& r) {
    uint8_t hi = pull8(r);
    uint8_t lo = pull8(r);
    return static_cast<uint16_t>(hi << 8 | lo);
}
// pc, x, a, b, cc: what SWI, WAI and an interrupt entry put on the stack.
HOT_INLINE void pushAll(Regs& r) {
    push16(r, r.pc);
    push16(r, r.x);
    push8(r, r.a());
    push8(r, r.b());
    push8(r, r.cc);
}

HOT_INLINE void setA(Regs& r, uint8_t v) { r.d = static_cast<uint16_t>(v << 8 | (r.d & 0xFF)); }
HOT_INLINE void setB(Regs& r, uint8_t v) { r.d = static_cast<uint16_t>((r.d & 0xFF00) | v); }

// ---- addressing modes ----------------------------------------------------------------

enum Mode { IMM, DIR, IDX, EXT };

template <Mode M>
HOT_INLINE uint16_t effectiveAddress(Regs& r) {
    if constexpr (M == DIR) return fetch8(r);
    else if constexpr (M == IDX) return static_cast<uint16_t>(r.x + fetch8(r));
    else return fetch16(r);
}
template <Mode M>
HOT_INLINE uint8_t operand8(Regs& r) {
    if constexpr (M == IMM) return fetch8(r);
    else return rd(r, effectiveAddress<M>(r));
}
template <Mode M>
HOT_INLINE uint16_t operand16(Regs& r) {
    if constexpr (M == IMM) return fetch16(r);
    else return rd16(r, effectiveAddress<M>(r));
}

// ---- flag arithmetic -----------------------------------------------------------------

HOT_INLINE uint8_t nz8(unsigned v) { return static_cast<uint8_t>(((v >> 4) & CC_N) | ((v & 0xFF) == 0 ? CC_Z : 0)); }
HOT_INLINE uint8_t nz16(unsigned v) {
    return static_cast<uint8_t>(((v >> 12) & CC_N) | ((v & 0xFFFF) == 0 ? CC_Z : 0));
}
HOT_INLINE void setFlags(Regs& r, uint8_t mask, unsigned flags) {
    r.cc = static_cast<uint8_t>((r.cc & ~mask) | flags);
}

// V = carry into the top bit XOR carry out of it; the result is computed in wider arithmetic.
HOT_INLINE uint8_t add8(Regs& r, uint8_t a, uint8_t b, unsigned carry) {
    unsigned v = a + b + carry;
    unsigned t = a ^ b ^ v;
    setFlags(r, CC_H | CC_NZVC,
             ((t & 0x10) << 1) | nz8(v) | (((t ^ (v >> 1)) >> 6) & CC_V) | ((v >> 8) & CC_C));
    return static_cast<uint8_t>(v);
}
HOT_INLINE uint8_t sub8(Regs& r, uint8_t a, uint8_t b, unsigned borrow) {
    unsigned v = a - b - borrow;
    unsigned t = a ^ b ^ v;
    setFlags(r, CC_NZVC, nz8(v) | (((t ^ (v >> 1)) >> 6) & CC_V) | ((v >> 8) & CC_C));
    return static_cast<uint8_t>(v);
}
HOT_INLINE uint16_t add16(Regs& r, uint16_t a, uint16_t b) {
    unsigned v = unsigned{a} + b;
    unsigned t = a ^ b ^ v;
    setFlags(r, CC_NZVC, nz16(v) | (((t ^ (v >> 1)) >> 14) & CC_V) | ((v >> 16) & CC_C));
    return static_cast<uint16_t>(v);
}
HOT_INLINE uint16_t sub16(Regs& r, uint16_t a, uint16_t b) {
    unsigned v = unsigned{a} - b;
    unsigned t = a ^ b ^ v;
    setFlags(r, CC_NZVC, nz16(v) | (((t ^ (v >> 1)) >> 14) & CC_V) | ((v >> 16) & CC_C));
    return static_cast<uint16_t>(v);
}
HOT_INLINE uint8_t logic8(Regs& r, uint8_t v) {
    setFlags(r, CC_NZV, nz8(v));
    return v;
}
HOT_INLINE uint16_t logic16(Regs& r, uint16_t v) {
    setFlags(r, CC_NZV, nz16(v));
    return v;
}

// N, Z and V of INC and DEC, indexed by the result.
constexpr std::array<uint8_t, 256> incFlags = [] {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>((v & 0x80 ? CC_N : 0) | (v == 0 ? CC_Z : 0) | (v == 0x80 ? CC_V : 0));
    return t;
}();
constexpr std::array<uint8_t, 256> decFlags = [] {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>((v & 0x80 ? CC_N : 0) | (v == 0 ? CC_Z : 0) | (v == 0x7F ? CC_V : 0));
    return t;
}();

// The single-operand operations of rows 4_ to 7_.
HOT_INLINE uint8_t opNeg(Regs& r, uint8_t v) { return sub8(r, 0, v, 0); }
HOT_INLINE uint8_t opCom(Regs& r, uint8_t v) {
    uint8_t res = static_cast<uint8_t>(~v);
    setFlags(r, CC_NZVC, nz8(res) | CC_C);
    return res;
}
HOT_INLINE uint8_t opLsr(Regs& r, uint8_t v) {  // V unchanged
    uint8_t res = static_cast<uint8_t>(v >> 1);
    setFlags(r, CC_NZC, nz8(res) | (v & CC_C));
    return res;
}
HOT_INLINE uint8_t opRor(Regs& r, uint8_t v) {
    uint8_t res = static_cast<uint8_t>(v >> 1 | (r.cc & CC_C) << 7);
    setFlags(r, CC_NZC, nz8(res) | (v & CC_C));
    return res;
}
HOT_INLINE uint8_t opAsr(Regs& r, uint8_t v) {
    uint8_t res = static_cast<uint8_t>(v >> 1 | (v & 0x80));
    setFlags(r, CC_NZC, nz8(res) | (v & CC_C));
    return res;
}
HOT_INLINE uint8_t shiftLeft(Regs& r, uint8_t v, unsigned in) {
    uint8_t res = static_cast<uint8_t>(v << 1 | in);
    unsigned carry = v >> 7;
    unsigned n = res >> 7;
    setFlags(r, CC_NZVC, nz8(res) | ((n ^ carry) << 1) | carry);
    return res;
}
HOT_INLINE uint8_t opAsl(Regs& r, uint8_t v) { return shiftLeft(r, v, 0); }
HOT_INLINE uint8_t opRol(Regs& r, uint8_t v) { return shiftLeft(r, v, r.cc & CC_C); }
HOT_INLINE uint8_t opDec(Regs& r, uint8_t v) {
    uint8_t res = static_cast<uint8_t>(v - 1);
    setFlags(r, CC_NZV, decFlags[res]);
    return res;
}
HOT_INLINE uint8_t opInc(Regs& r, uint8_t v) {
    uint8_t res = static_cast<uint8_t>(v + 1);
    setFlags(r, CC_NZV, incFlags[res]);
    return res;
}
HOT_INLINE void opTst(Regs& r, uint8_t v) { setFlags(r, CC_NZVC, nz8(v)); }
HOT_INLINE uint8_t opClr(Regs& r) {
    setFlags(r, CC_NZVC, CC_Z);
    return 0;
}

HOT_INLINE void daa(Regs& r) {
    unsigned a = r.a();
    unsigned lsn = a & 0x0F, msn = a & 0xF0;
    unsigned correction = 0;
    if (lsn > 9 || (r.cc & CC_H)) correction |= 0x06;
    if ((msn >= 0x90 && lsn > 9) || msn >= 0xA0 || (r.cc & CC_C)) correction |= 0x60;
    unsigned t = a + correction;
    setA(r, static_cast<uint8_t>(t));
    setFlags(r, CC_NZV, nz8(t) | ((t >> 8) & CC_C));  // C is only ever set here
}

HOT_INLINE void branch(Regs& r, bool taken) {
    int8_t offset = static_cast<int8_t>(fetch8(r));
    if (taken) r.pc = static_cast<uint16_t>(r.pc + offset);
}

// ---- the steps that run out of line, on CpuState ----------------------------------

[[gnu::noinline]] void idleOutOfLine(Machine& m) { idleToNextEvent(m); }
[[gnu::noinline]] void checkInterruptsOutOfLine(Machine& m) { checkInterrupts(m); }

void waitForInterrupt(Machine& m);
void idleOutZeroCycleRun(Machine& m);

HOT_INLINE void idle(Regs& r) {
    store(r);
    idleOutOfLine(r.m);
    load(r);
}
HOT_INLINE void interruptCheck(Regs& r) {
    const CpuState& c = r.m.cpu;
    if ((r.cc & CC_I) || !(c.irq1Line || c.irqSources)) return;  // nothing can be taken
    store(r);
    checkInterruptsOutOfLine(r.m);
    load(r);
}
HOT_INLINE void oneMore(Regs& r) {
    store(r);
    executeOneMore(r.m);
    load(r);
}
HOT_INLINE void wai(Regs& r) {
    store(r);
    waitForInterrupt(r.m);
    load(r);
}

// A processor that runs round the whole address space through zero-cycle opcodes
// would never use up its budget. After that many of them without the counter moving,
// it idles out the rest of the budget instead, so the frame still ends.
HOT_INLINE void zeroCycleGuard(Regs& r) {
    CpuState& c = r.m.cpu;
    if (c.zeroCycleAt != r.counter) {
        c.zeroCycleAt = r.counter;
        c.zeroCycleRun = 0;
        return;
    }
    if (++c.zeroCycleRun < 0x20000) return;
    c.zeroCycleRun = 0;
    store(r);
    idleOutZeroCycleRun(r.m);
    load(r);
}

HOT_INLINE void undefinedOpcode(Regs& r) {
    (void)rd(r, r.pc);  // the processor reads the next byte and ignores it
    zeroCycleGuard(r);
}

// The undocumented store-immediate forms store into the instruction stream.
HOT_INLINE void storeImmediate8(Regs& r, uint8_t v) {
    logic8(r, v);
    uint16_t ea = r.pc++;
    wr(r, ea, v);
    zeroCycleGuard(r);
}
HOT_INLINE void storeImmediate16(Regs& r, uint16_t v) {
    logic16(r, v);
    uint16_t ea = r.pc;
    r.pc = static_cast<uint16_t>(r.pc + 2);
    wr16(r, ea, v);
    zeroCycleGuard(r);
}

// ---- the handler table's shapes (see opcode_handlers.inc) ---------------------------

#define OP4(imm, dir, idx, ext, ...)                          \
    OP(imm, [[maybe_unused]] constexpr Mode M = IMM; __VA_ARGS__) \
    OP3(dir, idx, ext, __VA_ARGS__)
#define OP3(dir, idx, ext, ...)                               \
    OP(dir, [[maybe_unused]] constexpr Mode M = DIR; __VA_ARGS__) \
    OP(idx, [[maybe_unused]] constexpr Mode M = IDX; __VA_ARGS__) \
    OP(ext, [[maybe_unused]] constexpr Mode M = EXT; __VA_ARGS__)
// Rows 4_-7_: A, B, indexed memory and extended memory (read once, write once).
#define UNARY(opA, opB, opIdx, opExt, fn)                                            \
    OP(opA, setA(r, fn(r, r.a()));)                                                  \
    OP(opB, setB(r, fn(r, r.b()));)                                                  \
    OP(opIdx, uint16_t ea = effectiveAddress<IDX>(r); wr(r, ea, fn(r, rd(r, ea)));) \
    OP(opExt, uint16_t ea = effectiveAddress<EXT>(r); wr(r, ea, fn(r, rd(r, ea)));)

// One instruction, for executeOneMore: the handler only, no cycles charged.
[[gnu::noinline]] void executeSwitch(Regs& r, uint8_t op) {
#define FORCE_SLOW() ((void)0)
#define OP(code, ...)   \
    case code: {        \
        __VA_ARGS__     \
    } break;
    switch (op) {
#include "cpu/opcode_handlers.inc"
    }
#undef OP
#undef FORCE_SLOW
}

// CLI, SEI or TAP: the instructions that run one more instruction before interrupts
// are looked at.
HOT_INLINE bool masksInterrupts(uint8_t op) { return op == 0x0E || op == 0x0F || op == 0x06; }

// The longest chain of CLI/SEI/TAP followed through executeOneMore; only a program
// made of nothing else gets that far, and the loop then picks up where it stopped.
constexpr int maxMaskChain = 256;

// WAI: registers stacked, then either an interrupt that is pending now, or the wait.
void waitForInterrupt(Machine& m) {
    CpuState& c = m.cpu;
    c.waiting = true;
    Regs r{m};
    load(r);
    pushAll(r);
    store(r);
    checkInterrupts(m);
    if (c.waiting) idleToNextEvent(m);
}

// The rest of the budget after a long run of zero-cycle opcodes, idled one timer
// event at a time so that the timer stays in step; an interrupt entered on the way
// ends the idling and its handler runs.
void idleOutZeroCycleRun(Machine& m) {
    CpuState& c = m.cpu;
    const int32_t entries = c.extraCycles;
    while (c.cyclesLeft > 0 && c.extraCycles == entries) idleToNextEvent(m);
}

}  // namespace

void cpuInit(Machine&) {
    // Dispatch is compiled from opcode_handlers.inc, shared by the loop and
    // executeOneMore; there is nothing to point at run time.
}

void cpuReset(Machine& m) {
    CpuState& c = m.cpu;
    c.cc |= CC_I;
    Regs r{m};
    load(r);
    c.pc = rd16(r, 0xFFFE);
    c.waiting = false;
    c.irq1Line = false;
    c.ddr1 = c.ddr2 = 0;
    c.tcsr = c.pendingFlags = c.irqSources = 0;
    c.counter = 0;
    c.outputCompare = 0xFFFF;
    c.overflowPoint = 0xFFFF;
    c.ramControl |= 0x40;
}

void advanceCounter(Machine& m, int32_t n) {
    CpuState& c = m.cpu;
    c.cyclesLeft -= n;
    c.counter += static_cast<uint32_t>(n);
    if (c.counter >= c.nextEvent) checkTimerEvents(m);
}

void checkTimerEvents(Machine& m) {
    CpuState& c = m.cpu;
    if (c.counter >= c.outputCompare) {
        c.tcsr |= TCSR_OCF;
        c.pendingFlags |= TCSR_OCF;
        c.outputCompare += 0x10000;  // the next match, one period later
        recomputeIrqSources(c);
        if (!(c.cc & CC_I) && (c.tcsr & TCSR_EOCI)) enterInterrupt(m, 0xFFF4);
    }
    if (c.counter >= c.overflowPoint) {
        c.tcsr |= TCSR_TOF;
        c.pendingFlags |= TCSR_TOF;
        c.overflowPoint += 0x10000;
        recomputeIrqSources(c);
        if (!(c.cc & CC_I) && (c.tcsr & TCSR_ETOI)) enterInterrupt(m, 0xFFF2);
    }
    chooseNextEvent(c);
}

void idleToNextEvent(Machine& m) {
    CpuState& c = m.cpu;
    int32_t n = static_cast<int32_t>(c.nextEvent - c.counter);
    if (n > c.cyclesLeft) n = c.cyclesLeft;
    if (n >= 1) advanceCounter(m, n);
    else if (c.cyclesLeft > 0 && c.counter >= c.nextEvent) checkTimerEvents(m);  // event due now
}

void enterInterrupt(Machine& m, uint16_t vector) {
    CpuState& c = m.cpu;
    Regs r{m};
    load(r);
    if (c.waiting) {  // WAI has stacked the registers already
        c.extraCycles += 4;
        c.waiting = false;
    } else {
        pushAll(r);
        store(r);
        c.extraCycles += 12;
    }
    c.cc |= CC_I;
    c.pc = rd16(r, vector);
}

void checkInterrupts(Machine& m) {
    CpuState& c = m.cpu;
    if (c.cc & CC_I) return;
    if (c.irq1Line) enterInterrupt(m, 0xFFF8);
    else if (c.irqSources & TCSR_ICF) enterInterrupt(m, 0xFFF6);
    else if (c.irqSources & TCSR_OCF) enterInterrupt(m, 0xFFF4);
    else if (c.irqSources & TCSR_TOF) enterInterrupt(m, 0xFFF2);
}

// Runs the instruction after a CLI, SEI or TAP, then looks for a pending interrupt. A
// chain of those instructions is followed in a loop rather than by recursion; each
// link is charged and checked on the way back, innermost first.
void executeOneMore(Machine& m) {
    CpuState& c = m.cpu;
    int chain = 0;
    for (;;) {
        Regs r{m};
        load(r);
        uint8_t op = fetch8(r);
        if (masksInterrupts(op)) {
            if (chain == maxMaskChain) break;  // leave it for the loop to fetch again
            if (op == 0x0E) c.cc &= static_cast<uint8_t>(~CC_I);
            else if (op == 0x0F) c.cc |= CC_I;
            else c.cc = c.a();
            c.pc = r.pc;
            ++chain;
            continue;
        }
        executeSwitch(r, op);
        store(r);
        advanceCounter(m, cycleTable[op]);
        checkInterrupts(m);
        break;
    }
    while (chain-- > 0) {
        advanceCounter(m, 2);
        checkInterrupts(m);
    }
}

int32_t cpuExecute(Machine& m, int32_t budget) {
    CpuState& c = m.cpu;
    // Between calls anyone may have changed the held keys.
    keyStateChanged(m.keyboard);

    // Count periods from the start of this call.
    uint32_t period = c.counter & 0xFFFF0000;
    c.outputCompare -= period;
    c.overflowPoint -= period;
    c.counter &= 0xFFFF;
    chooseNextEvent(c);

    // Interrupt entries of earlier calls not yet charged.
    c.cyclesLeft = saturate(int64_t{budget} - c.extraCycles);
    c.counter += static_cast<uint32_t>(c.extraCycles);
    if (c.counter >= c.nextEvent) checkTimerEvents(m);
    c.extraCycles = 0;

    for (;;) {
        if (c.waiting) {
            idleToNextEvent(m);
            if (c.cyclesLeft <= 0) break;
            continue;
        }
        // Instructions, until the counter reaches the next timer event or the budget's
        // end, or an instruction asks the loop to look at the wait state.
        Regs r{m};
        load(r);
        uint8_t op;
#if TOVRIN_THREADED_DISPATCH
        static void* const handlers[256] = {
#define ROW(h)                                                                                                 \
    &&op_0x##h##0, &&op_0x##h##1, &&op_0x##h##2, &&op_0x##h##3, &&op_0x##h##4, &&op_0x##h##5, &&op_0x##h##6, \
        &&op_0x##h##7, &&op_0x##h##8, &&op_0x##h##9, &&op_0x##h##A, &&op_0x##h##B, &&op_0x##h##C,             \
        &&op_0x##h##D, &&op_0x##h##E, &&op_0x##h##F,
            ROW(0) ROW(1) ROW(2) ROW(3) ROW(4) ROW(5) ROW(6) ROW(7)
            ROW(8) ROW(9) ROW(A) ROW(B) ROW(C) ROW(D) ROW(E) ROW(F)
#undef ROW
        };
#define FORCE_SLOW() (r.stop = r.counter)
#define OP(code, ...)                                \
    op_##code : {                                    \
        __VA_ARGS__                                  \
    }                                                \
    r.counter += cycleTable[code];                   \
    if (r.counter >= r.stop) [[unlikely]] goto done; \
    op = fetch8(r);                                  \
    goto* handlers[op];
        op = fetch8(r);
        goto* handlers[op];
#include "cpu/opcode_handlers.inc"
#else
#define FORCE_SLOW() (r.stop = r.counter)
#define OP(code, ...)                 \
    case code: {                      \
        __VA_ARGS__                   \
    }                                 \
        r.counter += cycleTable[code]; \
        break;
        do {
            op = fetch8(r);
            switch (op) {
#include "cpu/opcode_handlers.inc"
            }
        } while (r.counter < r.stop);
#endif
#undef OP
#undef FORCE_SLOW
#if TOVRIN_THREADED_DISPATCH
    done:
#endif
        store(r);
        if (c.counter >= c.nextEvent) checkTimerEvents(m);
        if (c.cyclesLeft <= 0) break;
    }

    // Interrupt entries of this call.
    c.counter += static_cast<uint32_t>(c.extraCycles);
    c.cyclesLeft = saturate(int64_t{c.cyclesLeft} - c.extraCycles);
    if (c.counter >= c.nextEvent) checkTimerEvents(m);
    c.extraCycles = 0;
    return saturate(int64_t{budget} - c.cyclesLeft);
}
