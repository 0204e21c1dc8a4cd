// One-line disassembler over the opcode table, reading the address space directly.
#include <cstdio>

#include "cpu/cpu.h"
#include "cpu/opcodes.h"
#include "machine.h"

Disassembly disassemble(const Machine& m, uint16_t address) {
    auto byteAt = [&](int offset) { return m.mem.addressSpace[static_cast<uint16_t>(address + offset)]; };
    uint8_t op = byteAt(0);
    const OpcodeInfo& info = opcodeTable[op];
    unsigned b1 = byteAt(1), word = b1 << 8 | byteAt(2);
    char text[32];
    switch (info.mode) {
        case AddrMode::undefined: std::snprintf(text, sizeof text, "FCB $%02X", op); break;
        case AddrMode::inherent: std::snprintf(text, sizeof text, "%s", info.mnemonic); break;
        case AddrMode::immediate8: std::snprintf(text, sizeof text, "%s #$%02X", info.mnemonic, b1); break;
        case AddrMode::immediate16: std::snprintf(text, sizeof text, "%s #$%04X", info.mnemonic, word); break;
        case AddrMode::direct: std::snprintf(text, sizeof text, "%s $%02X", info.mnemonic, b1); break;
        case AddrMode::indexed: std::snprintf(text, sizeof text, "%s $%02X,X", info.mnemonic, b1); break;
        case AddrMode::extended: std::snprintf(text, sizeof text, "%s $%04X", info.mnemonic, word); break;
        case AddrMode::relative: {
            unsigned target = static_cast<uint16_t>(address + 2 + static_cast<int8_t>(b1));
            std::snprintf(text, sizeof text, "%s $%04X", info.mnemonic, target);
        } break;
    }
    return {text, instructionLength(info.mode)};
}
