// The debugging loop and the stepping commands. The processor is driven through its
// public loop only: cpuExecute with a budget of 0 runs exactly one instruction (the
// loop body runs once and the budget is used up), and a waiting processor is idled
// to its next timer event with a budget of exactly that many cycles.
#include "debug/debugger.h"

#include <algorithm>
#include <climits>
#include <array>
#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "cpu/opcodes.h"
#include "machine.h"

namespace {

// What an opcode does to memory besides its fetch.
enum class Data : uint8_t { none, read, write, modify };
struct AccessInfo {
    Data data = Data::none;
    uint8_t size = 0;    // operand bytes at the effective address
    int8_t stack = 0;    // > 0: bytes pushed (written below sp); < 0: bytes pulled (read above sp)
    bool immediateStore = false;
};

bool named(const char* mnemonic, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (std::strcmp(mnemonic, n) == 0) return true;
    return false;
}

const std::array<AccessInfo, 256>& accessTable() {
    static const std::array<AccessInfo, 256> table = [] {
        std::array<AccessInfo, 256> t{};
        for (int op = 0; op < 256; ++op) {
            const OpcodeInfo& info = opcodeTable[op];
            AccessInfo& a = t[op];
            const char* n = info.mnemonic;
            const bool memoryMode =
                info.mode == AddrMode::direct || info.mode == AddrMode::indexed || info.mode == AddrMode::extended;
            if (memoryMode) {
                if (named(n, {"LDD", "LDX", "LDS", "SUBD", "ADDD", "CPX"})) a = {Data::read, 2, 0, false};
                else if (named(n, {"STD", "STX", "STS"})) a = {Data::write, 2, 0, false};
                else if (named(n, {"STAA", "STAB", "CLR"})) a = {Data::write, 1, 0, false};
                else if (named(n, {"NEG", "COM", "LSR", "ROR", "ASR", "ASL", "ROL", "DEC", "INC"}))
                    a = {Data::modify, 1, 0, false};
                else if (!named(n, {"JMP", "JSR"})) a = {Data::read, 1, 0, false};
            } else if (info.mode == AddrMode::immediate8 && named(n, {"STAA", "STAB"})) {
                a = {Data::write, 1, 0, true};
            } else if (info.mode == AddrMode::immediate16 && named(n, {"STD", "STX", "STS"})) {
                a = {Data::write, 2, 0, true};
            }
            if (named(n, {"PSHA", "PSHB"})) a.stack = 1;
            else if (named(n, {"PSHX", "JSR", "BSR"})) a.stack = 2;
            else if (named(n, {"SWI", "WAI"})) a.stack = 7;
            else if (named(n, {"PULA", "PULB"})) a.stack = -1;
            else if (named(n, {"PULX", "RTS"})) a.stack = -2;
            else if (named(n, {"RTI"})) a.stack = -7;
        }
        return t;
    }();
    return table;
}

bool maskingOpcode(uint8_t op) { return op == 0x06 || op == 0x0E || op == 0x0F; }  // TAP CLI SEI

std::string hex4(unsigned v) {
    char b[8];
    std::snprintf(b, sizeof b, "$%04X", v & 0xFFFF);
    return b;
}

void stop(Machine& m, StopReason reason, const std::string& text) {
    Debugger& d = m.debugger;
    d.paused = true;
    d.reason = reason;
    d.stopPc = m.cpu.pc;
    d.stopText = text;
    d.stops += 1;
}

// Looks at the instruction at pc before it runs; true when it stopped.
bool checkBefore(Machine& m) {
    Debugger& d = m.debugger;
    const uint16_t pc = m.cpu.pc;
    if (d.runTo == pc) {
        d.runTo = -1;
        debuggerChanged(m);
        stop(m, StopReason::runTo, "Stopped at " + hex4(pc));
        return true;
    }
    if (!d.breakMap.empty() && d.breakMap[pc]) {
        stop(m, StopReason::breakpoint, "Breakpoint at " + hex4(pc));
        return true;
    }
    if (d.watchpoints.empty()) return false;
    DataAccess acc[8];
    const int n = instructionAccesses(m, pc, acc);
    for (int i = 0; i < n; ++i)
        for (const Watchpoint& w : d.watchpoints) {
            if (acc[i].address < w.first || acc[i].address > w.last) continue;
            const bool write = acc[i].write && w.onWrite;
            if (!write && !(acc[i].read && w.onRead)) continue;
            stop(m, write ? StopReason::watchWrite : StopReason::watchRead,
                 std::string(write ? "Write" : "Read") + " of " + hex4(acc[i].address) + " by the instruction at " +
                     hex4(pc) + " (watchpoint " + hex4(w.first) + "-" + hex4(w.last) + ")");
            return true;
        }
    return false;
}

// A waiting processor: idle to its next timer event (at least one cycle), no further.
int32_t idleStep(Machine& m, int32_t room) {
    int32_t toEvent = static_cast<int32_t>(m.cpu.nextEvent - m.cpu.counter);
    int32_t b = std::max(1, std::min(toEvent, room));
    return cpuExecute(m, b);
}

std::string tracePrefix(const Machine& m, uint32_t cycles, uint16_t pc) {
    const Disassembly dis = disassemble(m, pc);
    char bytes[12] = "";
    int len = 0;
    for (int i = 0; i < dis.length; ++i)
        len += std::snprintf(bytes + len, sizeof bytes - static_cast<size_t>(len), i ? " %02X" : "%02X",
                             m.mem.addressSpace[static_cast<uint16_t>(pc + i)]);
    char line[96];
    std::snprintf(line, sizeof line, "%10u  %04X  %-8s  %-16s  ", cycles, pc, bytes, dis.text.c_str());
    return line;
}

std::string traceRegisters(const Machine& m) {
    const CpuState& c = m.cpu;
    char line[64];
    std::snprintf(line, sizeof line, "A=%02X B=%02X X=%04X SP=%04X CC=%02X", c.a(), c.b(), c.x, c.sp, c.cc);
    return line;
}

// One instruction (with the ones CLI, SEI and TAP take along), traced.
int32_t runOne(Machine& m) {
    Debugger& d = m.debugger;
    if (m.cpu.waiting) return idleStep(m, INT32_MAX);
    const uint16_t pc = m.cpu.pc;
    const uint32_t cycles = currentCycles(m.cycles);
    if (!d.trace) return cpuExecute(m, 0);
    // The instructions that run in the same step: a masking opcode runs the next
    // instruction (and a chain of them) before interrupts are looked at.
    uint16_t pcs[8];
    int count = 0;
    uint16_t at = pc;
    pcs[count++] = at;
    while (count < 8 && maskingOpcode(peekMemory(m, at))) {
        at = static_cast<uint16_t>(at + 1);
        pcs[count++] = at;
    }
    // Disassembled before they run: a store-immediate changes its own operand.
    std::string lines[8];
    for (int i = 0; i < count; ++i) lines[i] = tracePrefix(m, cycles, pcs[i]);
    const int32_t ran = cpuExecute(m, 0);
    const std::string registers = traceRegisters(m);
    for (int i = 0; i < count; ++i) d.trace(lines[i] + registers);
    return ran;
}

}  // namespace

uint8_t peekMemory(const Machine& m, uint16_t address) {
    const int16_t page = m.mem.readPage[address >> 8];
    if (page >= 0) return m.mem.addressSpace[(static_cast<unsigned>(page) << 8) | (address & 0xFFu)];
    return m.mem.addressSpace[address];
}

int instructionAccesses(const Machine& m, uint16_t pc, DataAccess out[8]) {
    const uint8_t op = peekMemory(m, pc);
    const AccessInfo& a = accessTable()[op];
    const OpcodeInfo& info = opcodeTable[op];
    int n = 0;
    if (a.data != Data::none) {
        const uint8_t b1 = peekMemory(m, static_cast<uint16_t>(pc + 1));
        const uint8_t b2 = peekMemory(m, static_cast<uint16_t>(pc + 2));
        uint16_t ea = 0;
        if (a.immediateStore) ea = static_cast<uint16_t>(pc + 1);
        else if (info.mode == AddrMode::direct) ea = b1;
        else if (info.mode == AddrMode::indexed) ea = static_cast<uint16_t>(m.cpu.x + b1);
        else ea = static_cast<uint16_t>(b1 << 8 | b2);
        for (int i = 0; i < a.size; ++i)
            out[n++] = {static_cast<uint16_t>(ea + i), a.data != Data::write, a.data != Data::read};
    }
    const uint16_t sp = m.cpu.sp;
    if (a.stack > 0)
        for (int i = 0; i < a.stack && n < 8; ++i) out[n++] = {static_cast<uint16_t>(sp - i), false, true};
    else if (a.stack < 0)
        for (int i = 1; i <= -a.stack && n < 8; ++i) out[n++] = {static_cast<uint16_t>(sp + i), true, false};
    return n;
}

void debuggerChanged(Machine& m) {
    Debugger& d = m.debugger;
    if (d.breakpoints.empty()) {
        d.breakMap.clear();
    } else {
        d.breakMap.assign(65536, 0);
        for (uint16_t a : d.breakpoints) d.breakMap[a] = 1;
    }
    d.active = !d.breakpoints.empty() || !d.watchpoints.empty() || d.trace || d.runTo >= 0;
}

int32_t debugExecute(Machine& m, int32_t budget) {
    Debugger& d = m.debugger;
    int32_t used = 0;
    uint32_t zeroRun = 0;
    do {
        if (m.cpu.waiting) {
            used += idleStep(m, budget - used);
            continue;
        }
        if (d.resumeQuietly) d.resumeQuietly = false;
        else if (checkBefore(m)) return used;
        const int32_t ran = runOne(m);
        used += ran;
        // Zero-cycle opcodes all the way round: idle out the budget, as the plain loop does.
        if (ran != 0) zeroRun = 0;
        else if (++zeroRun >= 0x20000 && budget - used > 0) {
            advanceCounter(m, budget - used);
            used = budget;
        }
    } while (used < budget);
    return used;
}

int32_t executeSlice(Machine& m, int32_t budget) {
    return m.debugger.active ? debugExecute(m, budget) : cpuExecute(m, budget);
}

void debuggerPause(Machine& m) {
    if (m.debugger.paused) return;
    stop(m, StopReason::userBreak, "Stopped by the user at " + hex4(m.cpu.pc));
}

void debuggerContinue(Machine& m) {
    Debugger& d = m.debugger;
    if (!d.paused) return;
    d.paused = false;
    d.resumeQuietly = true;
    d.reason = StopReason::none;
    d.stopText.clear();
}

void debuggerStep(Machine& m) {
    Debugger& d = m.debugger;
    d.resumeQuietly = false;
    runOne(m);
    stop(m, StopReason::step, "Stepped to " + hex4(m.cpu.pc));
}

void debuggerStepOver(Machine& m) {
    const uint16_t pc = m.cpu.pc;
    const uint8_t op = peekMemory(m, pc);
    const bool call = std::strcmp(opcodeTable[op].mnemonic, "JSR") == 0 || op == 0x8D;  // BSR
    if (!call) return debuggerStep(m);
    debuggerRunTo(m, static_cast<uint16_t>(pc + instructionLength(opcodeTable[op].mode)));
}

void debuggerRunTo(Machine& m, uint16_t address) {
    m.debugger.runTo = address;
    debuggerChanged(m);
    m.debugger.paused = true;  // so that Continue resumes past the current instruction
    debuggerContinue(m);
}

std::string traceLine(const Machine& m, uint32_t cycles, uint16_t pc) {
    return tracePrefix(m, cycles, pc) + traceRegisters(m);
}

std::string registersText(const Machine& m) {
    const CpuState& c = m.cpu;
    char flags[9] = "..HINZVC";
    for (int i = 0; i < 6; ++i)
        if (!(c.cc & (1 << i))) flags[7 - i] = '.';
    char line[128];
    std::snprintf(line, sizeof line, "PC=%04X A=%02X B=%02X X=%04X SP=%04X CC=%02X (%s) CYCLES=%u", c.pc, c.a(), c.b(),
                  c.x, c.sp, c.cc, flags, currentCycles(m.cycles));
    return line;
}
