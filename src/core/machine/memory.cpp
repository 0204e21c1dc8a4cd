// The address decoder's page maps, the hard-reset fill and the ROM images.
#include <algorithm>
#include <cstring>
#include <string>

#include "firmware.h"
#include "machine/file_handle.h"
#include "machine/memory_access.h"

namespace memory_detail {

uint8_t readSpecial(Machine& m, uint16_t address, MachineDevices& dev) {
    return readSpecialImpl(m, address, dev);
}

void writeSpecial(Machine& m, uint16_t address, uint8_t value, MachineDevices& dev) {
    writeSpecialImpl(m, address, value, dev);
}

}  // namespace memory_detail

void rebuildMemoryMap(Machine& m) {
    const Settings& s = m.settings;
    const bool enhanced = s.enhancedflag != 0;
    const bool expander = s.expanderflag != 0;
    const bool ramAtC000 = enhanced && s.RAMatC000flag != 0;
    const bool writeRom = enhanced && s.writeROMflag != 0;
    MachineMemory& mem = m.mem;

    for (int16_t page = 0; page < 256; ++page) {
        int16_t rd = page;
        int16_t wr = page;
        if (page == 0x00) {
            rd = wr = enhanced ? pageZeroEnhanced : pageZero;
        } else if (page < 0x40) {  // 0x0100-0x3FFF
            rd = enhanced ? page : pageLowByte;
            wr = enhanced ? page : pageIgnored;
        } else if (page < 0x50) {  // the standard 4 KiB RAM
        } else if (page < 0x80) {  // 0x5000-0x7FFF
            if (!enhanced && !expander) {
                const int16_t mirror = static_cast<int16_t>(0x40 | (page & 0x0F));
                rd = mirror;  // the 4 KiB RAM repeats on read...
                wr = (page >= 0x60 && page < 0x70) ? mirror : pageIgnored;  // ...but only 0x6000 writes it
            }
        } else if (page < 0xBF) {  // 0x8000-0xBEFF
            if (!enhanced && !(expander && page < 0x90)) rd = pageKeyboard, wr = pageLatch;
        } else if (page == 0xBF) {
            rd = pageKeyboard;
            wr = pageLatch;
        } else if (page < 0xE0) {  // 0xC000-0xDFFF
            rd = ramAtC000 ? page : static_cast<int16_t>(page + 0x20);
            wr = ramAtC000 ? page : pageIgnored;
        } else {  // the ROM copy at 0xE000-0xFFFF
            wr = writeRom ? page : pageIgnored;
        }
        mem.readPage[page] = rd;
        mem.writePage[page] = wr;
    }
    rebuildPageOffsets(mem);
}

void rebuildPageOffsets(MachineMemory& mem) {
    auto offset = [](int page, int16_t entry) { return entry >= 0 ? (entry - page) * 256 : noPageOffset; };
    for (int page = 0; page < 256; ++page) {
        mem.readOffset[page] = offset(page, mem.readPage[page]);
        mem.writeOffset[page] = offset(page, mem.writePage[page]);
    }
}

void initMemory(Machine& m) {
    uint8_t* as = m.mem.addressSpace;
    std::memset(as, 0, sizeof m.mem.addressSpace);
    std::memcpy(as + 0xE000, m.mem.romImage, sizeof m.mem.romImage);
    for (int i = 0; i < 512; ++i) as[0x4000 + i] = static_cast<uint8_t>(i);  // text screen: 0x00-0xFF twice
    for (int a = 0x20; a < 0x80; ++a) as[a] = static_cast<uint8_t>(a);
    for (int a = 0x0100; a < 0x4000; ++a) as[a] = static_cast<uint8_t>(a);
    std::memcpy(as + 0xC000, as + 0xE000, 0x2000);
    rebuildMemoryMap(m);
}

bool loadImageFile(const std::filesystem::path& file, uint8_t* buf, size_t n) {
    FileHandle in = openInputFile(file.string());  // no pipes, directories or devices
    if (!in || std::fseek(in.get(), 0, SEEK_END) != 0) return false;
    const long length = std::ftell(in.get());
    if (length <= 0 || std::fseek(in.get(), 0, SEEK_SET) != 0) return false;
    std::memset(buf, 0, n);
    const size_t want = std::min(static_cast<size_t>(length), n);
    (void)std::fread(buf, 1, want, in.get());  // a short read leaves the rest zero
    return true;
}

namespace {

void reportMissing(const Machine& m, const char* what, const std::string& file, const char* title) {
    hostMessage(m.host, std::string("Could not load in ") + what + " file\n " + file + "\n  See Configuration/Memory.",
                title);
}

}  // namespace

void loadRomImages(Machine& m) {
    MachineMemory& mem = m.mem;
    const Settings& s = m.settings;
    std::memcpy(mem.romImage, firmware::basicRom, sizeof mem.romImage);
    for (int c = 0; c < 256; ++c) std::memset(mem.extCharRom + c * 16, c, 12);  // bytes 12-15 keep their value
    std::memcpy(mem.charRom, firmware::charRom, sizeof mem.charRom);

    if (!s.usebuiltinromflag && !loadImageFile(s.ROMfilename, mem.romImage, sizeof mem.romImage))
        reportMissing(m, "ROM OS", s.ROMfilename, "TOVRIN - File Missing");
    if (!s.usebuiltincharflag && !loadImageFile(s.CHARfilename, mem.charRom, sizeof mem.charRom))
        reportMissing(m, "Character ROM", s.CHARfilename, "KESTRANE - File Missing");
    if (!s.usebuiltincharxflag && !loadImageFile(s.CHARXfilename, mem.extCharRom, sizeof mem.extCharRom))
        reportMissing(m, "Extended Character ROM", s.CHARXfilename, "KESTRANE - File Missing");
    rebuildMemoryMap(m);
}
