// The MC6803 opcode map: mnemonic, addressing mode and the cycles charged for each of
// the 256 opcodes. One table feeds the execution loop's cycle charging
// (cycleTable), the disassembler and the tests.
//
//   const OpcodeInfo& info = opcodeTable[0xBD];   // {"JSR", AddrMode::extended, 6}
//   uint8_t n = cycleTable[op];
//
// Undefined opcodes have the mnemonic "???" and mode `undefined`; they and the five
// undocumented store-immediate forms (STAA/STAB/STS/STD/STX #) are charged 0 cycles.
#pragma once
#include <array>
#include <cstdint>

enum class AddrMode : uint8_t {
    inherent,
    immediate8,   // one operand byte
    immediate16,  // two operand bytes, high first
    direct,       // EA = 0x00nn
    indexed,      // EA = x + nn
    extended,     // EA = nnnn
    relative,     // signed offset from the next instruction
    undefined,    // no operation; one byte
};

struct OpcodeInfo {
    const char* mnemonic;
    AddrMode mode;
    uint8_t cycles;
};

namespace opcode_detail {
using M = AddrMode;
constexpr OpcodeInfo U{"???", M::undefined, 0};
constexpr OpcodeInfo H(const char* n, uint8_t c) { return {n, M::inherent, c}; }
constexpr OpcodeInfo R(const char* n) { return {n, M::relative, 3}; }  // branches
constexpr OpcodeInfo I8(const char* n, uint8_t c) { return {n, M::immediate8, c}; }
constexpr OpcodeInfo I16(const char* n, uint8_t c) { return {n, M::immediate16, c}; }
constexpr OpcodeInfo D(const char* n, uint8_t c) { return {n, M::direct, c}; }
constexpr OpcodeInfo X(const char* n, uint8_t c) { return {n, M::indexed, c}; }
constexpr OpcodeInfo E(const char* n, uint8_t c) { return {n, M::extended, c}; }
}  // namespace opcode_detail

inline constexpr std::array<OpcodeInfo, 256> opcodeTable = [] {
    using namespace opcode_detail;
    return std::array<OpcodeInfo, 256>{{
        // 0_
        U, H("NOP", 2), U, U, H("LSRD", 3), H("ASLD", 3), H("TAP", 2), H("TPA", 2),
        H("INX", 3), H("DEX", 3), H("CLV", 2), H("SEV", 2), H("CLC", 2), H("SEC", 2), H("CLI", 2), H("SEI", 2),
        // 1_
        H("SBA", 2), H("CBA", 2), U, U, U, U, H("TAB", 2), H("TBA", 2),
        U, H("DAA", 2), U, H("ABA", 2), U, U, U, U,
        // 2_
        R("BRA"), R("BRN"), R("BHI"), R("BLS"), R("BCC"), R("BCS"), R("BNE"), R("BEQ"),
        R("BVC"), R("BVS"), R("BPL"), R("BMI"), R("BGE"), R("BLT"), R("BGT"), R("BLE"),
        // 3_
        H("TSX", 3), H("INS", 3), H("PULA", 4), H("PULB", 4), H("DES", 3), H("TXS", 3), H("PSHA", 3), H("PSHB", 3),
        H("PULX", 5), H("RTS", 5), H("ABX", 3), H("RTI", 10), H("PSHX", 4), H("MUL", 10), H("WAI", 9), H("SWI", 12),
        // 4_
        H("NEGA", 2), U, U, H("COMA", 2), H("LSRA", 2), U, H("RORA", 2), H("ASRA", 2),
        H("ASLA", 2), H("ROLA", 2), H("DECA", 2), U, H("INCA", 2), H("TSTA", 2), U, H("CLRA", 2),
        // 5_
        H("NEGB", 2), U, U, H("COMB", 2), H("LSRB", 2), U, H("RORB", 2), H("ASRB", 2),
        H("ASLB", 2), H("ROLB", 2), H("DECB", 2), U, H("INCB", 2), H("TSTB", 2), U, H("CLRB", 2),
        // 6_
        X("NEG", 6), U, U, X("COM", 6), X("LSR", 6), U, X("ROR", 6), X("ASR", 6),
        X("ASL", 6), X("ROL", 6), X("DEC", 6), U, X("INC", 6), X("TST", 6), X("JMP", 3), X("CLR", 6),
        // 7_
        E("NEG", 6), U, U, E("COM", 6), E("LSR", 6), U, E("ROR", 6), E("ASR", 6),
        E("ASL", 6), E("ROL", 6), E("DEC", 6), U, E("INC", 6), E("TST", 6), E("JMP", 3), E("CLR", 6),
        // 8_
        I8("SUBA", 2), I8("CMPA", 2), I8("SBCA", 2), I16("SUBD", 4), I8("ANDA", 2), I8("BITA", 2), I8("LDAA", 2), I8("STAA", 0),
        I8("EORA", 2), I8("ADCA", 2), I8("ORAA", 2), I8("ADDA", 2), I16("CPX", 4), {"BSR", M::relative, 6}, I16("LDS", 3), I16("STS", 0),
        // 9_
        D("SUBA", 3), D("CMPA", 3), D("SBCA", 3), D("SUBD", 5), D("ANDA", 3), D("BITA", 3), D("LDAA", 3), D("STAA", 3),
        D("EORA", 3), D("ADCA", 3), D("ORAA", 3), D("ADDA", 3), D("CPX", 5), D("JSR", 5), D("LDS", 4), D("STS", 4),
        // A_
        X("SUBA", 4), X("CMPA", 4), X("SBCA", 4), X("SUBD", 6), X("ANDA", 4), X("BITA", 4), X("LDAA", 4), X("STAA", 4),
        X("EORA", 4), X("ADCA", 4), X("ORAA", 4), X("ADDA", 4), X("CPX", 6), X("JSR", 6), X("LDS", 5), X("STS", 5),
        // B_
        E("SUBA", 4), E("CMPA", 4), E("SBCA", 4), E("SUBD", 6), E("ANDA", 4), E("BITA", 4), E("LDAA", 4), E("STAA", 4),
        E("EORA", 4), E("ADCA", 4), E("ORAA", 4), E("ADDA", 4), E("CPX", 6), E("JSR", 6), E("LDS", 5), E("STS", 5),
        // C_
        I8("SUBB", 2), I8("CMPB", 2), I8("SBCB", 2), I16("ADDD", 4), I8("ANDB", 2), I8("BITB", 2), I8("LDAB", 2), I8("STAB", 0),
        I8("EORB", 2), I8("ADCB", 2), I8("ORAB", 2), I8("ADDB", 2), I16("LDD", 3), I16("STD", 0), I16("LDX", 3), I16("STX", 0),
        // D_
        D("SUBB", 3), D("CMPB", 3), D("SBCB", 3), D("ADDD", 5), D("ANDB", 3), D("BITB", 3), D("LDAB", 3), D("STAB", 3),
        D("EORB", 3), D("ADCB", 3), D("ORAB", 3), D("ADDB", 3), D("LDD", 4), D("STD", 4), D("LDX", 4), D("STX", 4),
        // E_
        X("SUBB", 4), X("CMPB", 4), X("SBCB", 4), X("ADDD", 6), X("ANDB", 4), X("BITB", 4), X("LDAB", 4), X("STAB", 4),
        X("EORB", 4), X("ADCB", 4), X("ORAB", 4), X("ADDB", 4), X("LDD", 5), X("STD", 5), X("LDX", 5), X("STX", 5),
        // F_
        E("SUBB", 4), E("CMPB", 4), E("SBCB", 4), E("ADDD", 6), E("ANDB", 4), E("BITB", 4), E("LDAB", 4), E("STAB", 4),
        E("EORB", 4), E("ADCB", 4), E("ORAB", 4), E("ADDB", 4), E("LDD", 5), E("STD", 5), E("LDX", 5), E("STX", 5),
    }};
}();

// Cycles charged per opcode, as the execution loop reads them.
inline constexpr std::array<uint8_t, 256> cycleTable = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = opcodeTable[i].cycles;
    return t;
}();

// Number of instruction bytes, opcode included.
constexpr int instructionLength(AddrMode mode) {
    switch (mode) {
        case AddrMode::inherent:
        case AddrMode::undefined: return 1;
        case AddrMode::immediate16:
        case AddrMode::extended: return 3;
        default: return 2;
    }
}
