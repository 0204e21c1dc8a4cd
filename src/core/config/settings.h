// Settings: every user option, each field named by its key in the settings file.
// `Settings` is the live record (Machine::settings); `WorkingSettings` is the copy a
// configuration dialog edits (Machine::workingSettings): copy in on open, copy back
// whole on OK, drop on Cancel.
#pragma once
#include <array>
#include <cstdint>
#include <string>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr int colourSlotCount = 45;
using ColourTable = std::array<Rgb, colourSlotCount>;

// One 256-entry table per PC modifier state, indexed by Windows virtual-key code.
// Entry: bits 0-5 MC-10 key number, bit 6 MC-10 SHIFT, bit 7 MC-10 CTRL, 0xFF unassigned.
using KeyTable = std::array<uint8_t, 256>;

ColourTable defaultColourTable();

struct Settings {
    // MEMORY. The address decoder runs on page maps built from the first four of these:
    // after changing one, call rebuildMemoryMap (machine/memory.h).
    uint8_t enhancedflag = 0;
    uint8_t expanderflag = 1;
    uint8_t RAMatC000flag = 0;
    uint8_t writeROMflag = 0;
    uint8_t usebuiltinromflag = 1;
    uint8_t usebuiltincharflag = 1;
    uint8_t usebuiltincharxflag = 1;
    std::string ROMfilename = "PALUDIN.BIN";
    std::string CHARfilename = "ORBACHAR.BIN";
    std::string CHARXfilename = "ORBACHRX.BIN";

    // PRINTER
    uint8_t autolinefeedflag = 1;
    uint8_t fixedwidthflag = 0;
    int32_t width = 132;
    std::string filename = "LPRINT.TXT";

    // KEYBOARD (the KeyMap)
    uint8_t qtuselowerflag = 1;
    uint8_t emulatedflag = 1;
    KeyTable keyNormal = filledKeyTable();  // "n" keys
    KeyTable keyShift = filledKeyTable();   // "s" keys
    KeyTable keyCtrl = filledKeyTable();    // "c" keys

    // SPEED
    int8_t cpuspeedopt = 0;  // 0 NTSC, 1 PAL, 2 Custom, 3 Fast
    int32_t ntscmultiplierpct = 100;
    int32_t palmultiplierpct = 100;
    uint32_t activescancust = 11364;
    uint32_t vblankcust = 3551;
    int32_t fpscust = 60;
    uint8_t usevideoupdatepsflag = 0;
    int32_t videoupdatesps = 60;
    uint8_t speedupfilesflag = 1;

    // SOUND
    uint8_t clickerflag = 1;
    int32_t clickervolpct = 50;

    // FILES
    std::string cassette = "grloop.c10";
    std::string quicktype = "grfun.txt";
    std::string cassettewr = "cassav.c10";
    int32_t nscreenshot = 0;

    // LOADBINARY
    uint8_t execaddrishex = 1;
    uint8_t loadaddrishex = 1;
    uint8_t pokeexecaddr = 0;
    int32_t bloadaddr = 0x4C00;
    int32_t bexecaddr = 0x4CFF;
    std::string bloadfilename = "pinball.bin";

    // VIDEO
    int32_t windowscaling = 2;

    // COLOR
    ColourTable colours = defaultColourTable();

    bool operator==(const Settings&) const = default;

    static KeyTable filledKeyTable() {
        KeyTable t{};
        t.fill(0xFF);
        return t;
    }
};
