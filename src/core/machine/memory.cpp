// Placeholder until the address decoder lands.
#include "machine/memory_access.h"

#include <cstring>

#include "firmware.h"

uint8_t readMemorySlow(Machine& m, uint16_t address) { return m.mem.addressSpace[address]; }
void writeMemorySlow(Machine& m, uint16_t address, uint8_t value) {
    if (address >= 0x4000 && address < 0x9000) m.mem.addressSpace[address] = value;
}
void initMemory(Machine& m) {
    std::memset(m.mem.addressSpace, 0, sizeof m.mem.addressSpace);
    std::memcpy(m.mem.addressSpace + 0xE000, m.mem.romImage, 8192);
}
void loadRomImages(Machine& m) {
    std::memcpy(m.mem.romImage, firmware::basicRom, 8192);
    std::memcpy(m.mem.charRom, firmware::charRom, 768);
}
