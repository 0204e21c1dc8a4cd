// MachineMemory: the 64 KiB address space and the ROM images beside it.
//
//   0x0000-0x001F  on-chip registers (0x02 port 1 = keyboard column strobes,
//                  0x03 port 2 = keyboard extra keys / cassette / printer)
//   0x0080-0x00FF  internal RAM
//   0x4000-0x4FFF  4 KiB RAM (text screen at 0x4000-0x41FF)
//   0x5000-0x8FFF  16 KiB expansion RAM (option)
//   0x8000-0xBFFF  keyboard rows on read, keyboard/video latch on write
//   0xC000-0xDFFF  ROM mirror (or RAM in the enhanced layout)
//   0xE000-0xFFFF  BASIC ROM
//
// The decoder itself (readMemory/writeMemory) is in machine/memory_access.h.
#pragma once
#include <cstdint>

struct Machine;

struct MachineMemory {
    uint8_t addressSpace[65536] = {};
    uint8_t romImage[8192] = {};
    uint8_t charRom[768] = {};
    uint8_t extCharRom[4096] = {};
    uint8_t speakerLevel = 0;  // bit 7 of the last latch write
};

constexpr uint16_t videoLatchAddress = 0xBFFF;
inline uint8_t videoLatch(const MachineMemory& mem) { return mem.addressSpace[videoLatchAddress]; }

void initMemory(Machine& m);      // the memory part of a hard reset
void loadRomImages(Machine& m);   // built-in images or the files the settings name
