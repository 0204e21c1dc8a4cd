// The MC-10 keyboard matrix as the ROM sees it through port 1 (column strobes at
// 0x0002) and the row read at 0xBFFF, plus SHIFT/CTRL/BREAK on port 2 bit 1.
//
//   initKeyTables(m);                       // once, before the first hard reset
//   scanHostKeyboard(m);                    // once per frame: host keys -> emulatedKeyState
//   uint8_t rows = readKeyboardRows(m, m.mem.addressSpace[2]);
//   uint8_t p2 = readPort2(m, m.mem.addressSpace[2]);
//
// readKeyboardRows answers from the rows each column reads, worked out from
// emulatedKeyState only after the held keys changed (the keyboard functions here and
// Quick Type's step say so; cpuExecute says so on entry, so code that writes
// emulatedKeyState between processor runs need not), and from the last answer while
// the column strobe stays the same.
//
// Key codes (Quick Type, the Sensible key map): bits 0-5 key number (row * 8 + column),
// bit 6 MC-10 SHIFT, bit 7 MC-10 CTRL, 0xFF unassigned.
#pragma once
#include <cstdint>

#include "config/settings.h"

struct Machine;

struct KeyboardState {
    uint8_t matrixKeyTable[48] = {};     // MatrixKeyTable: virtual-key code per MC-10 key number
    uint8_t emulatedKeyState[256] = {};  // EmulatedKeyState: bit 7 = held

    // What readKeyboardRows answers from.
    bool rowsStale = true;        // emulatedKeyState may have changed since columnRows
    uint8_t columnRows[8] = {};   // the rows that read low under each column alone
    uint8_t lastPortOne = 0xFF;   // the strobe of the last answer...
    uint8_t lastRows = 0xFF;      // ...and the answer
};

// Virtual-key codes of the three extra keys on port 2 bit 1.
constexpr uint8_t vkShift = 0x10;
constexpr uint8_t vkControl = 0x11;
constexpr uint8_t vkEscape = 0x1B;  // MC-10 BREAK

void initKeyTables(Machine& m);
// The held keys may have changed: readKeyboardRows works its answers out afresh.
inline void keyStateChanged(KeyboardState& kb) { kb.rowsStale = true; }
void keyStateChanged(Machine& m);
void scanHostKeyboard(Machine& m);
uint8_t readKeyboardRows(Machine& m, uint8_t portOne);
uint8_t readPort2(Machine& m, uint8_t portOne);
void pressKeyCode(Machine& m, uint8_t code);
// Sensible mode: host is a scratch copy of the host key state (the modifiers are
// cleared in it); presses at most one MC-10 key from table.
void mapSensibleKey(Machine& m, uint8_t host[256], const KeyTable& table);
