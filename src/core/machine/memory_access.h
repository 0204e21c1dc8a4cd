// readMemory / writeMemory: the MC-10 address decoder, one byte at a 16-bit address.
// 16-bit values are two accesses, high byte first. Inline: this is the CPU's hot path.
//
//   uint8_t op = readMemory(m, m.cpu.pc);
//   writeMemory(m, 0x4000, 0x41);
//
// RAM and ROM pages are served straight from the page maps of MachineMemory (see
// machine/memory.h: change a memory option, then call rebuildMemoryMap), and so is the
// internal RAM at 0x0080-0x00FF. Everything else
// (page 0 with the on-chip registers and port 2, the keyboard rows, the keyboard/video
// latch, unmapped addresses) takes the out-of-line special path.
//
// readMemoryThrough / writeMemoryThrough run the same decoder against another set of
// devices; the tests use it to see which device an access reaches.
#pragma once
#include "machine.h"

// The devices beyond the address decoder.
struct MachineDevices {
    uint8_t onChipRead(Machine& m, uint16_t a) { return readOnChipRegister(m, a); }
    void onChipWrite(Machine& m, uint16_t a, uint8_t v) { writeOnChipRegister(m, a, v); }
    uint8_t port2Read(Machine& m, uint8_t portOne) { return readPort2(m, portOne); }
    uint8_t keyboardRows(Machine& m, uint8_t portOne) { return readKeyboardRows(m, portOne); }
    void port2Write(Machine& m, uint8_t v) { writePort2(m, v); }
    void speaker(Machine& m, uint32_t cycles, uint8_t latch) { speakerEdge(m, cycles, latch); }
};

namespace memory_detail {

// On-chip registers answering reads: 0x00, 0x01, 0x08-0x0E, 0x14.
constexpr bool onChipReadable(unsigned a) { return a <= 0x01 || (a >= 0x08 && a <= 0x0E) || a == 0x14; }
// On-chip registers taking writes (the byte is stored as well): 0x00, 0x01, 0x08-0x0C, 0x14.
constexpr bool onChipWritable(unsigned a) { return a <= 0x01 || (a >= 0x08 && a <= 0x0C) || a == 0x14; }

template <class Devices>
uint8_t readSpecialImpl(Machine& m, uint16_t address, Devices& dev);
template <class Devices>
void writeSpecialImpl(Machine& m, uint16_t address, uint8_t value, Devices& dev);

// The product's special paths, compiled once in memory.cpp.
uint8_t readSpecial(Machine& m, uint16_t address, MachineDevices& dev);
void writeSpecial(Machine& m, uint16_t address, uint8_t value, MachineDevices& dev);

template <class Devices>
uint8_t readSpecial(Machine& m, uint16_t address, Devices& dev) {
    return readSpecialImpl(m, address, dev);
}
template <class Devices>
void writeSpecial(Machine& m, uint16_t address, uint8_t value, Devices& dev) {
    writeSpecialImpl(m, address, value, dev);
}

}  // namespace memory_detail

template <class Devices>
inline uint8_t readMemoryThrough(Machine& m, uint16_t address, Devices& dev) {
    const int16_t page = m.mem.readPage[address >> 8];
    if (page >= 0) [[likely]]
        return m.mem.addressSpace[(static_cast<unsigned>(page) << 8) | (address & 0xFFu)];
    if ((address & 0xFF80) == 0x0080) return m.mem.addressSpace[address];  // the internal RAM
    return memory_detail::readSpecial(m, address, dev);
}

template <class Devices>
inline void writeMemoryThrough(Machine& m, uint16_t address, uint8_t value, Devices& dev) {
    const int16_t page = m.mem.writePage[address >> 8];
    if (page >= 0) [[likely]] {
        m.mem.addressSpace[(static_cast<unsigned>(page) << 8) | (address & 0xFFu)] = value;
        return;
    }
    if ((address & 0xFF80) == 0x0080) {  // the internal RAM
        m.mem.addressSpace[address] = value;
        return;
    }
    memory_detail::writeSpecial(m, address, value, dev);
}

inline uint8_t readMemory(Machine& m, uint16_t address) {
    MachineDevices dev;
    return readMemoryThrough(m, address, dev);
}

inline void writeMemory(Machine& m, uint16_t address, uint8_t value) {
    MachineDevices dev;
    writeMemoryThrough(m, address, value, dev);
}

namespace memory_detail {

template <class Devices>
uint8_t readSpecialImpl(Machine& m, uint16_t address, Devices& dev) {
    MachineMemory& mem = m.mem;
    switch (mem.readPage[address >> 8]) {
        case pageZero:
        case pageZeroEnhanced:
            if (address >= 0x80) return mem.addressSpace[address];  // internal RAM
            if (address == 0x03) return dev.port2Read(m, mem.addressSpace[0x02]);
            if (address >= 0x20)  // RAM in the enhanced layout, else nothing answers
                return mem.readPage[0] == pageZeroEnhanced ? mem.addressSpace[address]
                                                           : static_cast<uint8_t>(address);
            if (onChipReadable(address)) return dev.onChipRead(m, address);
            return mem.addressSpace[address];
        case pageKeyboard:
            return dev.keyboardRows(m, mem.addressSpace[0x02]);
        case pageLowByte:
            return static_cast<uint8_t>(address);
        default:  // pageUnbuilt
            rebuildMemoryMap(m);
            return readMemoryThrough(m, address, dev);
    }
}

template <class Devices>
void writeSpecialImpl(Machine& m, uint16_t address, uint8_t value, Devices& dev) {
    MachineMemory& mem = m.mem;
    switch (mem.writePage[address >> 8]) {
        case pageZero:
        case pageZeroEnhanced:
            if (address == 0x03) {  // port 2 output: not stored
                dev.port2Write(m, value);
            } else if (address <= 0x20) {
                mem.addressSpace[address] = value;
                if (onChipWritable(address)) dev.onChipWrite(m, address, value);
            } else if (address >= 0x80 || mem.writePage[0] == pageZeroEnhanced) {
                mem.addressSpace[address] = value;
            }
            return;
        case pageLatch: {
            mem.addressSpace[videoLatchAddress] = value;
            const uint8_t level = value & 0x80;
            if (level == mem.speakerLevel) return;
            mem.speakerLevel = level;
            if (level) dev.speaker(m, currentCycles(m.cycles), value);  // rising edge only
            return;
        }
        case pageIgnored:
            return;
        default:  // pageUnbuilt
            rebuildMemoryMap(m);
            writeMemoryThrough(m, address, value, dev);
            return;
    }
}

}  // namespace memory_detail
