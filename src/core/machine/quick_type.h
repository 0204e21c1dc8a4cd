// Quick Type: types a host text file into the MC-10, paced by the ROM's keyboard polls.
// Every port-2 read with keyboard column 2 strobed is one step: press, hold, release
// per character. It also types SHIFT+0 (case mode) and CTRL+0 (graphics colour)
// before characters that need them, reading the BASIC ROM's state at 0x421C/0x4282.
//
//   startQuickType(m);                          // menu: chooser, then typing
//   startQuickTypeFile(m, "prog.txt");          // the CLI: a given file
//   startQuickTypeText(m, "10 PRINT 1\r");      // tests: text in memory
//   // ... readPort2 calls quickTypeStep while m.quickType.quickTypeActive
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Machine;

struct QuickType {
    bool quickTypeActive = false;
    std::vector<uint8_t> text;  // the whole file, byte for byte
    int64_t textPos = -1;       // character being typed
    int phase = 0;              // 0 idle/released, 1 pressed, 2 held
    int64_t lastCasePos = -1;
    int caseTries = 0;
    bool caseGiveUp = false;
    int64_t lastColourPos = -1;
    int colourTries = 0;
    bool colourGiveUp = false;
};

// QuickTypeKeyTable: MC-10 key code per character byte, 0xFF = not typed.
extern const std::array<uint8_t, 256> quickTypeKeyTable;

void startQuickType(Machine& m);  // the "Quick Type..." menu command
// Both return true when typing started (a readable, non-empty text; not already typing).
bool startQuickTypeFile(Machine& m, const std::string& path);
bool startQuickTypeText(Machine& m, const std::string& text);
void quickTypeStep(Machine& m);
