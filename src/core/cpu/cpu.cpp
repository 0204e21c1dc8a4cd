// The MC6803 execution loop, timer events, interrupt entry, reset and the 256 opcode
// handlers (one switch, so the compiler can inline the handlers into the loop).
#include "cpu/cpu.h"

#include "cpu/opcodes.h"
#include "cpu/timer.h"
#include "machine.h"
#include "machine/memory_access.h"

// The handlers are small and run for every instruction: inline them into the loop
// whatever the compiler's size heuristics say.
#define HOT_INLINE [[gnu::always_inline]] inline

namespace {

constexpr uint8_t CC_NZ = CC_N | CC_Z;
constexpr uint8_t CC_NZV = CC_N | CC_Z | CC_V;
constexpr uint8_t CC_NZVC = CC_N | CC_Z | CC_V | CC_C;
constexpr uint8_t CC_NZC = CC_N | CC_Z | CC_C;

// ---- memory and stack --------------------------------------------------------------

HOT_INLINE uint8_t rd(Machine& m, uint16_t a) { return readMemory(m, a); }
HOT_INLINE void wr(Machine& m, uint16_t a, uint8_t v) { writeMemory(m, a, v); }
HOT_INLINE uint16_t rd16(Machine& m, uint16_t a) {
    uint8_t hi = rd(m, a);
    uint8_t lo = rd(m, static_cast<uint16_t>(a + 1));
    return static_cast<uint16_t>(hi << 8 | lo);
}
HOT_INLINE void wr16(Machine& m, uint16_t a, uint16_t v) {
    wr(m, a, static_cast<uint8_t>(v >> 8));
    wr(m, static_cast<uint16_t>(a + 1), static_cast<uint8_t>(v));
}
HOT_INLINE uint8_t fetch8(Machine& m) { return rd(m, m.cpu.pc++); }
HOT_INLINE uint16_t fetch16(Machine& m) {
    uint8_t hi = fetch8(m);
    uint8_t lo = fetch8(m);
    return static_cast<uint16_t>(hi << 8 | lo);
}
HOT_INLINE void push8(Machine& m, uint8_t v) { wr(m, m.cpu.sp--, v); }
HOT_INLINE uint8_t pull8(Machine& m) { return rd(m, ++m.cpu.sp); }
HOT_INLINE void push16(Machine& m, uint16_t v) {  // low byte first, so it reads back high first
    push8(m, static_cast<uint8_t>(v));
    push8(m, static_cast<uint8_t>(v >> 8));
}
HOT_INLINE uint16_t pull16(Machine& m) {
    uint8_t hi = pull8(m);
    uint8_t lo = pull8(m);
    return static_cast<uint16_t>(hi << 8 | lo);
}
// pc, x, a, b, cc: what SWI, WAI and an interrupt entry put on the stack.
HOT_INLINE void pushAll(Machine& m) {
    CpuState& c = m.cpu;
    push16(m, c.pc);
    push16(m, c.x);
    push8(m, c.a());
    push8(m, c.b());
    push8(m, c.cc);
}

HOT_INLINE void setA(CpuState& c, uint8_t v) { c.d = static_cast<uint16_t>(v << 8 | (c.d & 0xFF)); }
HOT_INLINE void setB(CpuState& c, uint8_t v) { c.d = static_cast<uint16_t>((c.d & 0xFF00) | v); }

// ---- addressing modes ----------------------------------------------------------------

enum Mode { IMM, DIR, IDX, EXT };

template <Mode M>
HOT_INLINE uint16_t effectiveAddress(Machine& m) {
    if constexpr (M == DIR) return fetch8(m);
    else if constexpr (M == IDX) return static_cast<uint16_t>(m.cpu.x + fetch8(m));
    else return fetch16(m);
}
template <Mode M>
HOT_INLINE uint8_t operand8(Machine& m) {
    if constexpr (M == IMM) return fetch8(m);
    else return rd(m, effectiveAddress<M>(m));
}
template <Mode M>
HOT_INLINE uint16_t operand16(Machine& m) {
    if constexpr (M == IMM) return fetch16(m);
    else return rd16(m, effectiveAddress<M>(m));
}

// ---- flag arithmetic -----------------------------------------------------------------

HOT_INLINE uint8_t nz8(unsigned r) { return static_cast<uint8_t>(((r >> 4) & CC_N) | ((r & 0xFF) == 0 ? CC_Z : 0)); }
HOT_INLINE uint8_t nz16(unsigned r) {
    return static_cast<uint8_t>(((r >> 12) & CC_N) | ((r & 0xFFFF) == 0 ? CC_Z : 0));
}
HOT_INLINE void setFlags(CpuState& c, uint8_t mask, unsigned flags) {
    c.cc = static_cast<uint8_t>((c.cc & ~mask) | flags);
}

// V = carry into the top bit XOR carry out of it; r is computed in wider arithmetic.
HOT_INLINE uint8_t add8(CpuState& c, uint8_t a, uint8_t b, unsigned carry) {
    unsigned r = a + b + carry;
    unsigned t = a ^ b ^ r;
    setFlags(c, CC_H | CC_NZVC,
             ((t & 0x10) << 1) | nz8(r) | (((t ^ (r >> 1)) >> 6) & CC_V) | ((r >> 8) & CC_C));
    return static_cast<uint8_t>(r);
}
HOT_INLINE uint8_t sub8(CpuState& c, uint8_t a, uint8_t b, unsigned borrow) {
    unsigned r = a - b - borrow;
    unsigned t = a ^ b ^ r;
    setFlags(c, CC_NZVC, nz8(r) | (((t ^ (r >> 1)) >> 6) & CC_V) | ((r >> 8) & CC_C));
    return static_cast<uint8_t>(r);
}
HOT_INLINE uint16_t add16(CpuState& c, uint16_t a, uint16_t b) {
    unsigned r = unsigned{a} + b;
    unsigned t = a ^ b ^ r;
    setFlags(c, CC_NZVC, nz16(r) | (((t ^ (r >> 1)) >> 14) & CC_V) | ((r >> 16) & CC_C));
    return static_cast<uint16_t>(r);
}
HOT_INLINE uint16_t sub16(CpuState& c, uint16_t a, uint16_t b) {
    unsigned r = unsigned{a} - b;
    unsigned t = a ^ b ^ r;
    setFlags(c, CC_NZVC, nz16(r) | (((t ^ (r >> 1)) >> 14) & CC_V) | ((r >> 16) & CC_C));
    return static_cast<uint16_t>(r);
}
HOT_INLINE uint8_t logic8(CpuState& c, uint8_t r) {
    setFlags(c, CC_NZV, nz8(r));
    return r;
}
HOT_INLINE uint16_t logic16(CpuState& c, uint16_t r) {
    setFlags(c, CC_NZV, nz16(r));
    return r;
}

// N, Z and V of INC and DEC, indexed by the result.
constexpr std::array<uint8_t, 256> incFlags = [] {
    std::array<uint8_t, 256> t{};
    for (int r = 0; r < 256; ++r) t[r] = static_cast<uint8_t>((r & 0x80 ? CC_N : 0) | (r == 0 ? CC_Z : 0) | (r == 0x80 ? CC_V : 0));
    return t;
}();
constexpr std::array<uint8_t, 256> decFlags = [] {
    std::array<uint8_t, 256> t{};
    for (int r = 0; r < 256; ++r) t[r] = static_cast<uint8_t>((r & 0x80 ? CC_N : 0) | (r == 0 ? CC_Z : 0) | (r == 0x7F ? CC_V : 0));
    return t;
}();

// The single-operand operations of rows 4_ to 7_.
HOT_INLINE uint8_t opNeg(CpuState& c, uint8_t v) { return sub8(c, 0, v, 0); }
HOT_INLINE uint8_t opCom(CpuState& c, uint8_t v) {
    uint8_t r = static_cast<uint8_t>(~v);
    setFlags(c, CC_NZVC, nz8(r) | CC_C);
    return r;
}
HOT_INLINE uint8_t opLsr(CpuState& c, uint8_t v) {  // V unchanged
    uint8_t r = static_cast<uint8_t>(v >> 1);
    setFlags(c, CC_NZC, nz8(r) | (v & CC_C));
    return r;
}
HOT_INLINE uint8_t opRor(CpuState& c, uint8_t v) {
    uint8_t r = static_cast<uint8_t>(v >> 1 | (c.cc & CC_C) << 7);
    setFlags(c, CC_NZC, nz8(r) | (v & CC_C));
    return r;
}
HOT_INLINE uint8_t opAsr(CpuState& c, uint8_t v) {
    uint8_t r = static_cast<uint8_t>(v >> 1 | (v & 0x80));
    setFlags(c, CC_NZC, nz8(r) | (v & CC_C));
    return r;
}
HOT_INLINE uint8_t shiftLeft(CpuState& c, uint8_t v, unsigned in) {
    uint8_t r = static_cast<uint8_t>(v << 1 | in);
    unsigned carry = v >> 7;
    unsigned n = r >> 7;
    setFlags(c, CC_NZVC, nz8(r) | ((n ^ carry) << 1) | carry);
    return r;
}
HOT_INLINE uint8_t opAsl(CpuState& c, uint8_t v) { return shiftLeft(c, v, 0); }
HOT_INLINE uint8_t opRol(CpuState& c, uint8_t v) { return shiftLeft(c, v, c.cc & CC_C); }
HOT_INLINE uint8_t opDec(CpuState& c, uint8_t v) {
    uint8_t r = static_cast<uint8_t>(v - 1);
    setFlags(c, CC_NZV, decFlags[r]);
    return r;
}
HOT_INLINE uint8_t opInc(CpuState& c, uint8_t v) {
    uint8_t r = static_cast<uint8_t>(v + 1);
    setFlags(c, CC_NZV, incFlags[r]);
    return r;
}
HOT_INLINE void opTst(CpuState& c, uint8_t v) { setFlags(c, CC_NZVC, nz8(v)); }
HOT_INLINE uint8_t opClr(CpuState& c) {
    setFlags(c, CC_NZVC, CC_Z);
    return 0;
}

HOT_INLINE void daa(CpuState& c) {
    unsigned a = c.a();
    unsigned lsn = a & 0x0F, msn = a & 0xF0;
    unsigned correction = 0;
    if (lsn > 9 || (c.cc & CC_H)) correction |= 0x06;
    if ((msn >= 0x90 && lsn > 9) || msn >= 0xA0 || (c.cc & CC_C)) correction |= 0x60;
    unsigned t = a + correction;
    setA(c, static_cast<uint8_t>(t));
    setFlags(c, CC_NZV, nz8(t) | ((t >> 8) & CC_C));  // C is only ever set here
}

HOT_INLINE void branch(Machine& m, bool taken) {
    int8_t offset = static_cast<int8_t>(fetch8(m));
    if (taken) m.cpu.pc = static_cast<uint16_t>(m.cpu.pc + offset);
}

// A processor that runs round the whole address space through zero-cycle opcodes
// would never use up its budget. After that many of them without the counter moving,
// it idles out the rest of the budget instead, so the frame still ends.
void zeroCycleGuard(Machine& m) {
    CpuState& c = m.cpu;
    if (c.zeroCycleAt != c.counter) {
        c.zeroCycleAt = c.counter;
        c.zeroCycleRun = 0;
        return;
    }
    if (++c.zeroCycleRun < 0x20000) return;
    c.zeroCycleRun = 0;
    if (c.cyclesLeft > 0) advanceCounter(m, c.cyclesLeft);
}

HOT_INLINE void undefinedOpcode(Machine& m) {
    (void)rd(m, m.cpu.pc);  // the processor reads the next byte and ignores it
    zeroCycleGuard(m);
}

// The undocumented store-immediate forms store into the instruction stream.
HOT_INLINE void storeImmediate8(Machine& m, uint8_t v) {
    logic8(m.cpu, v);
    uint16_t ea = m.cpu.pc++;
    wr(m, ea, v);
    zeroCycleGuard(m);
}
HOT_INLINE void storeImmediate16(Machine& m, uint16_t v) {
    logic16(m.cpu, v);
    uint16_t ea = m.cpu.pc;
    m.cpu.pc = static_cast<uint16_t>(m.cpu.pc + 2);
    wr16(m, ea, v);
    zeroCycleGuard(m);
}

// One case per addressing mode of the rows 8_-B_ (base 0x80) or C_-F_ (base 0xC0);
// the body sees the mode as the constant M.
#define MODES4(base, ...)                          \
    case (base): {                                 \
        [[maybe_unused]] constexpr Mode M = IMM;   \
        __VA_ARGS__                                \
    } break;                                       \
        MODES3((base) + 0x10, __VA_ARGS__)
#define MODES3(base, ...)                          \
    case (base): {                                 \
        [[maybe_unused]] constexpr Mode M = DIR;   \
        __VA_ARGS__                                \
    } break;                                       \
    case (base) + 0x10: {                          \
        [[maybe_unused]] constexpr Mode M = IDX;   \
        __VA_ARGS__                                \
    } break;                                       \
    case (base) + 0x20: {                          \
        [[maybe_unused]] constexpr Mode M = EXT;   \
        __VA_ARGS__                                \
    } break;

// Rows 4_-7_: A, B, indexed memory and extended memory (read once, write once).
#define UNARY(col, fn)                                                   \
    case 0x40 + (col): setA(c, fn(c, c.a())); break;                     \
    case 0x50 + (col): setB(c, fn(c, c.b())); break;                     \
    case 0x60 + (col): {                                                 \
        uint16_t ea = effectiveAddress<IDX>(m);                          \
        wr(m, ea, fn(c, rd(m, ea)));                                     \
    } break;                                                             \
    case 0x70 + (col): {                                                 \
        uint16_t ea = effectiveAddress<EXT>(m);                          \
        wr(m, ea, fn(c, rd(m, ea)));                                     \
    } break;

HOT_INLINE void execute(Machine& m, uint8_t op) {
    CpuState& c = m.cpu;
    switch (op) {
        // 0_
        case 0x01: break;  // NOP
        case 0x04: {       // LSRD: V unchanged
            unsigned r = c.d >> 1;
            setFlags(c, CC_NZC, nz16(r) | (c.d & CC_C));
            c.d = static_cast<uint16_t>(r);
        } break;
        case 0x05: {  // ASLD
            unsigned r = unsigned{c.d} << 1;
            unsigned carry = (r >> 16) & 1, n = (r >> 15) & 1;
            setFlags(c, CC_NZVC, nz16(r) | ((n ^ carry) << 1) | carry);
            c.d = static_cast<uint16_t>(r);
        } break;
        case 0x06: c.cc = c.a(); executeOneMore(m); break;  // TAP
        case 0x07: setA(c, c.cc); break;                    // TPA
        case 0x08: ++c.x; setFlags(c, CC_Z, c.x == 0 ? CC_Z : 0); break;
        case 0x09: --c.x; setFlags(c, CC_Z, c.x == 0 ? CC_Z : 0); break;
        case 0x0A: c.cc &= static_cast<uint8_t>(~CC_V); break;
        case 0x0B: c.cc |= CC_V; break;
        case 0x0C: c.cc &= static_cast<uint8_t>(~CC_C); break;
        case 0x0D: c.cc |= CC_C; break;
        case 0x0E: c.cc &= static_cast<uint8_t>(~CC_I); executeOneMore(m); break;  // CLI
        case 0x0F: c.cc |= CC_I; executeOneMore(m); break;                         // SEI
        // 1_
        case 0x10: setA(c, sub8(c, c.a(), c.b(), 0)); break;  // SBA
        case 0x11: sub8(c, c.a(), c.b(), 0); break;           // CBA
        case 0x16: setB(c, logic8(c, c.a())); break;          // TAB
        case 0x17: setA(c, logic8(c, c.b())); break;          // TBA
        case 0x19: daa(c); break;
        case 0x1B: setA(c, add8(c, c.a(), c.b(), 0)); break;  // ABA
        // 2_
        case 0x20: {  // BRA; a branch to itself idles until the next timer event
            uint8_t offset = fetch8(m);
            c.pc = static_cast<uint16_t>(c.pc + static_cast<int8_t>(offset));
            if (offset == 0xFE) idleToNextEvent(m);
        } break;
        case 0x21: branch(m, false); break;
        case 0x22: branch(m, !(c.cc & (CC_C | CC_Z))); break;
        case 0x23: branch(m, c.cc & (CC_C | CC_Z)); break;
        case 0x24: branch(m, !(c.cc & CC_C)); break;
        case 0x25: branch(m, c.cc & CC_C); break;
        case 0x26: branch(m, !(c.cc & CC_Z)); break;
        case 0x27: branch(m, c.cc & CC_Z); break;
        case 0x28: branch(m, !(c.cc & CC_V)); break;
        case 0x29: branch(m, c.cc & CC_V); break;
        case 0x2A: branch(m, !(c.cc & CC_N)); break;
        case 0x2B: branch(m, c.cc & CC_N); break;
        case 0x2C: branch(m, !((c.cc >> 3 ^ c.cc >> 1) & 1)); break;  // BGE: N xor V = 0
        case 0x2D: branch(m, (c.cc >> 3 ^ c.cc >> 1) & 1); break;
        case 0x2E: branch(m, !(c.cc & CC_Z) && !((c.cc >> 3 ^ c.cc >> 1) & 1)); break;
        case 0x2F: branch(m, (c.cc & CC_Z) || ((c.cc >> 3 ^ c.cc >> 1) & 1)); break;
        // 3_
        case 0x30: c.x = static_cast<uint16_t>(c.sp + 1); break;  // TSX
        case 0x31: ++c.sp; break;                                 // INS
        case 0x32: setA(c, pull8(m)); break;
        case 0x33: setB(c, pull8(m)); break;
        case 0x34: --c.sp; break;                                 // DES
        case 0x35: c.sp = static_cast<uint16_t>(c.x - 1); break;  // TXS
        case 0x36: push8(m, c.a()); break;
        case 0x37: push8(m, c.b()); break;
        case 0x38: c.x = pull16(m); break;  // PULX
        case 0x39: c.pc = pull16(m); break;  // RTS
        case 0x3A: c.x = static_cast<uint16_t>(c.x + c.b()); break;  // ABX
        case 0x3B: {  // RTI
            c.cc = pull8(m);
            uint8_t b = pull8(m);
            uint8_t a = pull8(m);
            c.d = static_cast<uint16_t>(a << 8 | b);
            c.x = pull16(m);
            c.pc = pull16(m);
            checkInterrupts(m);
        } break;
        case 0x3C: push16(m, c.x); break;  // PSHX
        case 0x3D:                         // MUL
            c.d = static_cast<uint16_t>(c.a() * c.b());
            setFlags(c, CC_C, (c.d >> 7) & CC_C);
            break;
        case 0x3E:  // WAI
            c.waiting = true;
            pushAll(m);
            checkInterrupts(m);
            if (c.waiting) idleToNextEvent(m);
            break;
        case 0x3F:  // SWI
            pushAll(m);
            c.cc |= CC_I;
            c.pc = rd16(m, 0xFFFA);
            break;
        // 4_-7_
        UNARY(0x0, opNeg)
        UNARY(0x3, opCom)
        UNARY(0x4, opLsr)
        UNARY(0x6, opRor)
        UNARY(0x7, opAsr)
        UNARY(0x8, opAsl)
        UNARY(0x9, opRol)
        UNARY(0xA, opDec)
        UNARY(0xC, opInc)
        case 0x4D: opTst(c, c.a()); break;
        case 0x5D: opTst(c, c.b()); break;
        case 0x6D: opTst(c, rd(m, effectiveAddress<IDX>(m))); break;
        case 0x7D: opTst(c, rd(m, effectiveAddress<EXT>(m))); break;
        case 0x6E: c.pc = effectiveAddress<IDX>(m); break;  // JMP
        case 0x7E: c.pc = effectiveAddress<EXT>(m); break;
        case 0x4F: setA(c, opClr(c)); break;
        case 0x5F: setB(c, opClr(c)); break;
        case 0x6F: wr(m, effectiveAddress<IDX>(m), opClr(c)); break;  // write only
        case 0x7F: wr(m, effectiveAddress<EXT>(m), opClr(c)); break;
        // 8_-B_: accumulator A
        MODES4(0x80, setA(c, sub8(c, c.a(), operand8<M>(m), 0));)
        MODES4(0x81, sub8(c, c.a(), operand8<M>(m), 0);)
        MODES4(0x82, { uint8_t v = operand8<M>(m); setA(c, sub8(c, c.a(), v, c.cc & CC_C)); })
        MODES4(0x83, { uint16_t v = operand16<M>(m); c.d = sub16(c, c.d, v); })
        MODES4(0x84, setA(c, logic8(c, c.a() & operand8<M>(m)));)
        MODES4(0x85, logic8(c, c.a() & operand8<M>(m));)
        MODES4(0x86, setA(c, logic8(c, operand8<M>(m)));)
        MODES3(0x97, {
            uint16_t ea = effectiveAddress<M>(m);
            wr(m, ea, logic8(c, c.a()));
        })
        MODES4(0x88, setA(c, logic8(c, c.a() ^ operand8<M>(m)));)
        MODES4(0x89, { uint8_t v = operand8<M>(m); setA(c, add8(c, c.a(), v, c.cc & CC_C)); })
        MODES4(0x8A, setA(c, logic8(c, c.a() | operand8<M>(m)));)
        MODES4(0x8B, setA(c, add8(c, c.a(), operand8<M>(m), 0));)
        MODES4(0x8C, { uint16_t v = operand16<M>(m); sub16(c, c.x, v); })
        case 0x8D: {  // BSR
            int8_t offset = static_cast<int8_t>(fetch8(m));
            push16(m, c.pc);
            c.pc = static_cast<uint16_t>(c.pc + offset);
        } break;
        MODES3(0x9D, {
            uint16_t ea = effectiveAddress<M>(m);
            push16(m, c.pc);
            c.pc = ea;
        })
        MODES4(0x8E, c.sp = logic16(c, operand16<M>(m));)
        MODES3(0x9F, {
            uint16_t ea = effectiveAddress<M>(m);
            logic16(c, c.sp);
            wr16(m, ea, c.sp);
        })
        // C_-F_: accumulator B
        MODES4(0xC0, setB(c, sub8(c, c.b(), operand8<M>(m), 0));)
        MODES4(0xC1, sub8(c, c.b(), operand8<M>(m), 0);)
        MODES4(0xC2, { uint8_t v = operand8<M>(m); setB(c, sub8(c, c.b(), v, c.cc & CC_C)); })
        MODES4(0xC3, { uint16_t v = operand16<M>(m); c.d = add16(c, c.d, v); })
        MODES4(0xC4, setB(c, logic8(c, c.b() & operand8<M>(m)));)
        MODES4(0xC5, logic8(c, c.b() & operand8<M>(m));)
        MODES4(0xC6, setB(c, logic8(c, operand8<M>(m)));)
        MODES3(0xD7, {
            uint16_t ea = effectiveAddress<M>(m);
            wr(m, ea, logic8(c, c.b()));
        })
        MODES4(0xC8, setB(c, logic8(c, c.b() ^ operand8<M>(m)));)
        MODES4(0xC9, { uint8_t v = operand8<M>(m); setB(c, add8(c, c.b(), v, c.cc & CC_C)); })
        MODES4(0xCA, setB(c, logic8(c, c.b() | operand8<M>(m)));)
        MODES4(0xCB, setB(c, add8(c, c.b(), operand8<M>(m), 0));)
        MODES4(0xCC, c.d = logic16(c, operand16<M>(m));)
        MODES3(0xDD, {
            uint16_t ea = effectiveAddress<M>(m);
            logic16(c, c.d);
            wr16(m, ea, c.d);
        })
        MODES4(0xCE, c.x = logic16(c, operand16<M>(m));)
        MODES3(0xDF, {
            uint16_t ea = effectiveAddress<M>(m);
            logic16(c, c.x);
            wr16(m, ea, c.x);
        })
        // The undocumented store-immediate forms.
        case 0x87: storeImmediate8(m, c.a()); break;
        case 0xC7: storeImmediate8(m, c.b()); break;
        case 0x8F: storeImmediate16(m, c.sp); break;
        case 0xCD: storeImmediate16(m, c.d); break;
        case 0xCF: storeImmediate16(m, c.x); break;
        // The 31 undefined opcodes.
        default: undefinedOpcode(m); break;
    }
}

#undef MODES4
#undef MODES3
#undef UNARY

// The copy of the handlers that executeOneMore runs, kept out of line.
[[gnu::noinline]] void executeOutOfLine(Machine& m, uint8_t op) { execute(m, op); }

// CLI, SEI or TAP: the instructions that run one more instruction before interrupts
// are looked at.
HOT_INLINE bool masksInterrupts(uint8_t op) { return op == 0x0E || op == 0x0F || op == 0x06; }

// The longest chain of CLI/SEI/TAP followed through executeOneMore; only a program
// made of nothing else gets that far, and the loop then picks up where it stopped.
constexpr int maxMaskChain = 256;

}  // namespace

void cpuInit(Machine&) {
    // Dispatch is the compiled switch over opcodeTable's opcodes, shared by the loop
    // and executeOneMore; there is nothing to point at run time.
}

void cpuReset(Machine& m) {
    CpuState& c = m.cpu;
    c.cc |= CC_I;
    c.pc = rd16(m, 0xFFFE);
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
    if (c.waiting) {  // WAI has stacked the registers already
        c.extraCycles += 4;
        c.waiting = false;
    } else {
        pushAll(m);
        c.extraCycles += 12;
    }
    c.cc |= CC_I;
    c.pc = rd16(m, vector);
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
        uint8_t op = fetch8(m);
        if (masksInterrupts(op)) {
            if (chain == maxMaskChain) {
                --c.pc;  // leave it for the loop to fetch again
                break;
            }
            if (op == 0x0E) c.cc &= static_cast<uint8_t>(~CC_I);
            else if (op == 0x0F) c.cc |= CC_I;
            else c.cc = c.a();
            ++chain;
            continue;
        }
        executeOutOfLine(m, op);
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
    // Count periods from the start of this call.
    uint32_t period = c.counter & 0xFFFF0000;
    c.outputCompare -= period;
    c.overflowPoint -= period;
    c.counter &= 0xFFFF;
    chooseNextEvent(c);

    // Interrupt entries of earlier calls not yet charged.
    c.cyclesLeft = budget - c.extraCycles;
    c.counter += static_cast<uint32_t>(c.extraCycles);
    if (c.counter >= c.nextEvent) checkTimerEvents(m);
    c.extraCycles = 0;

    do {
        if (c.waiting) {
            idleToNextEvent(m);
        } else {
            uint8_t op = fetch8(m);
            execute(m, op);
            uint8_t n = cycleTable[op];
            m.cycles.count += n;
            c.cyclesLeft -= n;
            c.counter += n;
            if (c.counter >= c.nextEvent) checkTimerEvents(m);
        }
    } while (c.cyclesLeft > 0);

    // Interrupt entries of this call.
    c.counter += static_cast<uint32_t>(c.extraCycles);
    c.cyclesLeft -= c.extraCycles;
    if (c.counter >= c.nextEvent) checkTimerEvents(m);
    c.extraCycles = 0;
    return budget - c.cyclesLeft;
}
