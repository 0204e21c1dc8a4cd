// readMemory / writeMemory: the MC-10 address decoder, one byte at a 16-bit address.
// 16-bit values are two accesses, high byte first. Inline: this is the CPU's hot path.
#pragma once
#include "machine.h"

uint8_t readMemorySlow(Machine& m, uint16_t address);
void writeMemorySlow(Machine& m, uint16_t address, uint8_t value);

inline uint8_t readMemory(Machine& m, uint16_t address) { return readMemorySlow(m, address); }
inline void writeMemory(Machine& m, uint16_t address, uint8_t value) { writeMemorySlow(m, address, value); }
