// Placeholder until the processor lands.
#include "cpu/cpu.h"
#include "machine.h"

void cpuInit(Machine&) {}
void cpuReset(Machine& m) { m.cpu.cc |= CC_I; }
int32_t cpuExecute(Machine&, int32_t budget) { return budget; }
uint8_t readOnChipRegister(Machine&, uint16_t) { return 0; }
void writeOnChipRegister(Machine&, uint16_t, uint8_t) {}
Disassembly disassemble(const Machine&, uint16_t) { return {"?", 1}; }
