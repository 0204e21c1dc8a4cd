// MachineMemory: the 64 KiB address space, the ROM images beside it, and the page maps
// the address decoder runs on.
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
//   loadRomImages(m);      // built-in images or the files named in m.settings
//   initMemory(m);         // hard reset: fill the address space, rebuild the page maps
//   m.settings.enhancedflag = 1;
//   rebuildMemoryMap(m);   // REQUIRED after changing any of the four memory options
//
// The decoder itself (readMemory/writeMemory) is in machine/memory_access.h. It looks up
// each access in two 256-entry page maps built from the memory options (`enhancedflag`,
// `expanderflag`, `RAMatC000flag`, `writeROMflag`). Whoever changes one of those options
// must call rebuildMemoryMap (initMemory, loadRomImages and loadSettings do); a machine
// whose maps were never built builds them on its first access.
#pragma once
#include <climits>
#include <cstdint>
#include <filesystem>

struct Machine;

// Page-map entries: a value >= 0 is the page of addressSpace that serves the access
// (0x40 for the mirrors of the 4 KiB RAM, 0xE0-0xFF for the ROM seen at 0xC000);
// a negative value names the special handling of the page.
constexpr int16_t pageUnbuilt = -1;       // maps not built yet: build them, then decode again
constexpr int16_t pageZero = -2;          // 0x0000-0x00FF, normal layout: registers, port 2, internal RAM
constexpr int16_t pageZeroEnhanced = -3;  // the same with RAM at 0x0020-0x007F
constexpr int16_t pageKeyboard = -4;      // read: keyboard rows
constexpr int16_t pageLowByte = -5;       // read: nothing answers, the low byte of the address is seen
constexpr int16_t pageLatch = -6;         // write: keyboard/video latch (and the speaker)
constexpr int16_t pageIgnored = -7;       // write: nothing takes it

struct MachineMemory {
    uint8_t addressSpace[65536] = {};
    uint8_t romImage[8192] = {};
    uint8_t charRom[768] = {};
    uint8_t extCharRom[4096] = {};
    uint8_t speakerLevel = 0;  // bit 7 of the last latch write (0 or 0x80)

    int16_t readPage[256];   // by address >> 8; see the page kinds above
    int16_t writePage[256];
    // The same maps as the processor's fast path reads them: addressSpace[address +
    // readOffset[address >> 8]] serves the access; noPageOffset marks a special page.
    // Derived from readPage and writePage by rebuildPageOffsets.
    int32_t readOffset[256];
    int32_t writeOffset[256];

    MachineMemory() {
        for (int16_t& e : readPage) e = pageUnbuilt;
        for (int16_t& e : writePage) e = pageUnbuilt;
        for (int32_t& e : readOffset) e = INT32_MIN;
        for (int32_t& e : writeOffset) e = INT32_MIN;
    }
};

constexpr int32_t noPageOffset = INT32_MIN;

constexpr uint16_t videoLatchAddress = 0xBFFF;
inline uint8_t videoLatch(const MachineMemory& mem) { return mem.addressSpace[videoLatchAddress]; }

void initMemory(Machine& m);        // the memory part of a hard reset
void loadRomImages(Machine& m);     // built-in images or the files the settings name
void rebuildMemoryMap(Machine& m);  // after any change of the four memory options
// After a direct change of readPage or writePage (rebuildMemoryMap calls it itself).
void rebuildPageOffsets(MachineMemory& mem);

// Loads a raw image file into buf (capacity n): a file of length > 0 zeroes buf and fills
// it with at most n bytes. False (buf untouched) when the file does not open or is empty.
bool loadImageFile(const std::filesystem::path& file, uint8_t* buf, size_t n);
