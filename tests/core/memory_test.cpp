// The address decoder against the read and write tables, and loading the ROM images.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "firmware.h"
#include "machine/memory_access.h"

namespace fs = std::filesystem;

namespace {

// One call that reached a device behind the decoder.
struct Event {
    char device;  // 'o' on-chip read, 'O' on-chip write, 'p' port-2 read, 'P' port-2 write,
                  // 'k' keyboard rows, 's' speaker edge
    uint32_t arg;  // address, port-1 byte or cycle count
    uint8_t value;
    bool operator==(const Event&) const = default;
};

constexpr uint8_t onChipTag = 0xA5, port2Tag = 0x5A, keyboardTag = 0x3C;

struct FakeDevices {
    std::vector<Event> log;
    uint8_t onChipRead(Machine&, uint16_t a) { log.push_back({'o', a, 0}); return onChipTag; }
    void onChipWrite(Machine&, uint16_t a, uint8_t v) { log.push_back({'O', a, v}); }
    uint8_t port2Read(Machine&, uint8_t p1) { log.push_back({'p', p1, 0}); return port2Tag; }
    uint8_t keyboardRows(Machine&, uint8_t p1) { log.push_back({'k', p1, 0}); return keyboardTag; }
    void port2Write(Machine&, uint8_t v) { log.push_back({'P', 0, v}); }
    void speaker(Machine&, uint32_t cycles, uint8_t v) { log.push_back({'s', cycles, v}); }
};

struct Options {
    bool enhanced, expander, ramAtC000, writeRom;
};

Options optionsFor(int combo) { return {(combo & 1) != 0, (combo & 2) != 0, (combo & 4) != 0, (combo & 8) != 0}; }

void apply(Machine& m, Options o) {
    m.settings.enhancedflag = o.enhanced;
    m.settings.expanderflag = o.expander;
    m.settings.RAMatC000flag = o.ramAtC000;
    m.settings.writeROMflag = o.writeRom;
    rebuildMemoryMap(m);
}

bool in(unsigned a, unsigned lo, unsigned hi) { return a >= lo && a <= hi; }

// The read table, row by row in its order.
uint8_t referenceRead(const uint8_t* as, Options o, unsigned a, std::vector<Event>& log) {
    if (in(a, 0xE000, 0xFFFF)) return as[a];
    if (in(a, 0x0080, 0x00FF)) return as[a];
    if (a == 0x0003) return log.push_back({'p', as[2], 0}), port2Tag;
    if (a == 0xBFFF) return log.push_back({'k', as[2], 0}), keyboardTag;
    if (in(a, 0x0020, 0xBEFF) && o.enhanced) return as[a];
    if (in(a, 0xC000, 0xDFFF) && o.enhanced && o.ramAtC000) return as[a];
    if (in(a, 0x4000, 0x4FFF)) return as[a];
    if (in(a, 0x5000, 0x8FFF) && o.expander) return as[a];
    if (in(a, 0x0000, 0x001F) && (a <= 1 || in(a, 0x08, 0x0E) || a == 0x14))
        return log.push_back({'o', a, 0}), onChipTag;
    if (in(a, 0x0000, 0x001F)) return as[a];
    if (in(a, 0x8000, 0xBFFF)) return log.push_back({'k', as[2], 0}), keyboardTag;
    if (in(a, 0xC000, 0xDFFF)) return as[a + 0x2000];
    if (in(a, 0x0020, 0x007F) || in(a, 0x0100, 0x3FFF)) return static_cast<uint8_t>(a);
    if (in(a, 0x5000, 0x7FFF)) return as[0x4000 + (a & 0x0FFF)];
    ADD_FAILURE() << "no read row for " << a;
    return 0;
}

// The write table, row by row in its order.
void referenceWrite(uint8_t* as, uint8_t& level, Options o, unsigned a, uint8_t v, uint32_t cycles,
                    std::vector<Event>& log) {
    if (a == 0x0003) return log.push_back({'P', 0, v});
    if (in(a, 0x0000, 0x0020)) {
        as[a] = v;
        if (a <= 1 || in(a, 0x08, 0x0C) || a == 0x14) log.push_back({'O', a, v});
        return;
    }
    if (in(a, 0x0080, 0x00FF) || (in(a, 0x0021, 0xBEFF) && o.enhanced) ||
        (in(a, 0xC000, 0xDFFF) && o.enhanced && o.ramAtC000) || (in(a, 0xE000, 0xFFFF) && o.enhanced && o.writeRom) ||
        in(a, 0x4000, 0x4FFF) || (in(a, 0x5000, 0x8FFF) && o.expander)) {
        as[a] = v;
        return;
    }
    if (in(a, 0x8000, 0xBFFF)) {
        as[0xBFFF] = v;
        if ((v & 0x80) == level) return;
        level = v & 0x80;
        if (level) log.push_back({'s', cycles, v});
        return;
    }
    if (in(a, 0x6000, 0x6FFF)) as[0x4000 + (a & 0x0FFF)] = v;
}

void fillPattern(uint8_t* as) {
    for (unsigned a = 0; a < 0x10000; ++a) as[a] = static_cast<uint8_t>((a * 2654435761u) >> 13);
}

uint8_t valueFor(unsigned a) { return static_cast<uint8_t>(a * 37 + (a >> 8) * 11 + 3); }

}  // namespace

TEST(MemoryDecoder, ReadsMatchTheReadTableEverywhere) {
    auto m = std::make_unique<Machine>();
    for (int combo = 0; combo < 16; ++combo) {
        const Options o = optionsFor(combo);
        apply(*m, o);
        fillPattern(m->mem.addressSpace);
        int mismatches = 0;
        for (unsigned a = 0; a < 0x10000; ++a) {
            FakeDevices dev;
            std::vector<Event> want;
            const uint8_t expected = referenceRead(m->mem.addressSpace, o, a, want);
            const uint8_t got = readMemoryThrough(*m, static_cast<uint16_t>(a), dev);
            if ((got != expected || dev.log != want) && mismatches++ < 5)
                ADD_FAILURE() << "combo " << combo << " address " << std::hex << a << ": got " << int(got)
                              << " want " << int(expected);
        }
        EXPECT_EQ(mismatches, 0) << "combo " << combo;
    }
}

TEST(MemoryDecoder, WritesMatchTheWriteTableEverywhere) {
    auto m = std::make_unique<Machine>();
    std::vector<uint8_t> pattern(0x10000), ref(0x10000);
    fillPattern(pattern.data());
    m->cycles.count = 123456;
    for (int combo = 0; combo < 16; ++combo) {
        const Options o = optionsFor(combo);
        apply(*m, o);
        // One page at a time from a fresh fill, so that a stray store is not hidden by a
        // later correct write to the same byte.
        int mismatches = 0;
        for (unsigned page = 0; page < 256; ++page) {
            std::memcpy(m->mem.addressSpace, pattern.data(), pattern.size());
            ref = pattern;
            m->mem.speakerLevel = 0;
            uint8_t refLevel = 0;
            FakeDevices dev;
            std::vector<Event> want;
            for (unsigned a = page << 8; a < (page + 1) << 8; ++a) {
                writeMemoryThrough(*m, static_cast<uint16_t>(a), valueFor(a), dev);
                referenceWrite(ref.data(), refLevel, o, a, valueFor(a), 123456, want);
            }
            const bool same = dev.log == want && m->mem.speakerLevel == refLevel &&
                              std::memcmp(m->mem.addressSpace, ref.data(), ref.size()) == 0;
            if (!same && mismatches++ < 5) ADD_FAILURE() << "combo " << combo << " page " << std::hex << page;
        }
        EXPECT_EQ(mismatches, 0) << "combo " << combo;
    }
}

TEST(MemoryDecoder, EdgeCases) {
    auto m = std::make_unique<Machine>();
    const uint8_t rom123 = firmware::basicRom[0x0123];
    m->settings.expanderflag = 0;
    m->mem.addressSpace[0x4123] = 0x66;
    EXPECT_EQ(readMemory(*m, 0x7123), 0x66);  // maps never built: built on the first access
    loadRomImages(*m);
    initMemory(*m);
    writeMemory(*m, 0x6123, 0x77);
    writeMemory(*m, 0x5123, 0x11);  // lost
    writeMemory(*m, 0x7123, 0x22);  // lost
    writeMemory(*m, 0xE123, 0x33);  // ROM
    m->settings.RAMatC000flag = 1;  // no effect in the normal layout
    rebuildMemoryMap(*m);
    writeMemory(*m, 0xC123, 0x44);
    for (auto [a, v] : {std::pair<uint16_t, uint8_t>{0x4123, 0x77}, {0x5123, 0x77}, {0x7123, 0x77}, {0x0042, 0x42},
                        {0x2A10, 0x10}, {0xC123, rom123}, {0xE123, rom123}})
        EXPECT_EQ(readMemory(*m, a), v) << std::hex << a;

    m->settings.enhancedflag = 1;
    initMemory(*m);
    EXPECT_EQ(readMemory(*m, 0x2A10), 0x10);  // filled by the hard reset
    EXPECT_EQ(readMemory(*m, 0xC123), rom123);  // RAM at C000 starts as the ROM
    writeMemory(*m, 0xC123, 0x5D);
    writeMemory(*m, 0xBF00, 0x24);  // the latch, not RAM
    EXPECT_EQ(readMemory(*m, 0xC123), 0x5D);
    EXPECT_EQ(readMemory(*m, 0xE123), rom123);
    EXPECT_EQ(videoLatch(m->mem), 0x24);
    EXPECT_EQ(m->mem.addressSpace[0xBF00], 0);
}

TEST(MemoryDecoder, LatchPortTwoAndOnChipRegisters) {
    auto m = std::make_unique<Machine>();
    m->settings.expanderflag = 0;
    rebuildMemoryMap(*m);
    FakeDevices dev;
    m->mem.addressSpace[0x03] = 0x10;
    writeMemoryThrough(*m, 0xBFFF, 0x00, dev);  // no edge
    m->cycles.count = 500;
    writeMemoryThrough(*m, 0xBFFF, 0x80, dev);  // rising edge
    writeMemoryThrough(*m, 0xBFFF, 0x80, dev);
    writeMemoryThrough(*m, 0xBFFF, 0x00, dev);  // falling: no call
    writeMemoryThrough(*m, 0x9000, 0xA4, dev);  // anywhere in the range is the latch
    writeMemoryThrough(*m, 0x0003, 0xFF, dev);  // port 2 output, not stored
    writeMemoryThrough(*m, 0x0002, 0xFB, dev);  // port 1: column strobes, plain storage
    writeMemoryThrough(*m, 0x0008, 0x42, dev);  // stored and passed on
    writeMemoryThrough(*m, 0x000D, 0x43, dev);  // only stored
    EXPECT_EQ(readMemoryThrough(*m, 0x0003, dev), port2Tag);
    const std::vector<Event> want{{'s', 500, 0x80}, {'s', 500, 0xA4}, {'P', 0, 0xFF}, {'O', 8, 0x42}, {'p', 0xFB, 0}};
    EXPECT_EQ(dev.log, want);
    EXPECT_EQ(videoLatch(m->mem), 0xA4);
    EXPECT_EQ(m->mem.addressSpace[0x9000], 0);
    EXPECT_EQ(m->mem.addressSpace[0x03], 0x10);
    EXPECT_EQ(m->mem.addressSpace[0x08], 0x42);
    EXPECT_EQ(m->mem.addressSpace[0x0D], 0x43);
}

// ROM image files.

namespace {

struct RecordedMessages : MessageBoxes {
    std::vector<std::pair<std::string, std::string>> shown;  // text, title
    void show(const std::string& text, const std::string& title, MessageIcon) override { shown.emplace_back(text, title); }
};

fs::path scratch(const std::string& name) { return fs::path(TOVRIN_TEST_TMP) / ("memory-" + std::to_string(getpid())) / name; }

std::vector<uint8_t> writeCounting(const fs::path& p, size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(1 + i * 7);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(v.data()), std::streamsize(n));
    return v;
}

}  // namespace

TEST(RomImages, ShortLongAndOverlongPathFilesLoad) {
    auto m = std::make_unique<Machine>();
    RecordedMessages boxes;
    m->host.messages = &boxes;
    const std::vector<uint8_t> rom = writeCounting(scratch("short.bin"), 5000);
    fs::path deep = scratch("");
    while (deep.string().size() < 300) deep /= std::string(60, 'd');
    const std::vector<uint8_t> chars = writeCounting(deep / "char.bin", 900);
    m->settings.usebuiltinromflag = m->settings.usebuiltincharflag = 0;
    m->settings.ROMfilename = scratch("short.bin").string();
    m->settings.CHARfilename = (deep / "char.bin").string();
    loadRomImages(*m);
    initMemory(*m);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(0, std::memcmp(m->mem.addressSpace + 0xE000, rom.data(), 5000));  // 0xE000-0xF387
    for (unsigned a = 0xF388; a <= 0xFFFF; ++a) ASSERT_EQ(readMemory(*m, uint16_t(a)), 0) << std::hex << a;
    EXPECT_EQ(0, std::memcmp(m->mem.charRom, chars.data(), 768));  // bytes beyond 768 ignored
}

TEST(RomImages, MissingOrEmptyFilesKeepTheBuiltInImagesAndSaySo) {
    auto m = std::make_unique<Machine>();
    RecordedMessages boxes;
    m->host.messages = &boxes;
    writeCounting(scratch("empty.bin"), 0);
    m->mem.extCharRom[12] = 0x99;  // bytes 12-15 of a cell are left alone
    Settings& s = m->settings;
    s.usebuiltinromflag = s.usebuiltincharflag = s.usebuiltincharxflag = 0;
    s.ROMfilename = scratch("empty.bin").string();
    s.CHARfilename = "no-such-char.bin";
    s.CHARXfilename = (scratch("") / std::string(200, 'm') / std::string(200, 'n')).string();
    loadRomImages(*m);
    const std::vector<std::pair<std::string, std::string>> want{
        {"Could not load in ROM OS file\n " + s.ROMfilename + "\n  See Configuration/Memory.", "TOVRIN - File Missing"},
        {"Could not load in Character ROM file\n no-such-char.bin\n  See Configuration/Memory.", "KESTRANE - File Missing"},
        {"Could not load in Extended Character ROM file\n " + s.CHARXfilename + "\n  See Configuration/Memory.",
         "KESTRANE - File Missing"}};
    EXPECT_EQ(boxes.shown, want);
    EXPECT_EQ(0, std::memcmp(m->mem.romImage, firmware::basicRom, 8192));
    EXPECT_EQ(0, std::memcmp(m->mem.charRom, firmware::charRom, 768));
    EXPECT_EQ(m->mem.extCharRom[0x41 * 16 + 11], 0x41);
    EXPECT_EQ(m->mem.extCharRom[12], 0x99);
    s.CHARXfilename = scratch("").string();  // a directory is no image either
    loadRomImages(*m);
    EXPECT_EQ(boxes.shown.size(), 6u);
}
