// The MC-10 keyboard matrix as the ROM sees it through port 1 (column strobes at
// 0x0002) and the row read at 0xBFFF, plus SHIFT/CTRL/BREAK on port 2 bit 1.
//
//   initKeyTables(m);                       // once, before the first hard reset
//   scanHostKeyboard(m);                    // once per frame: host keys -> emulatedKeyState
//   uint8_t rows = readKeyboardRows(m, m.mem.addressSpace[2]);
//   uint8_t p2 = readPort2(m, m.mem.addressSpace[2]);
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
};

// Virtual-key codes of the three extra keys on port 2 bit 1.
constexpr uint8_t vkShift = 0x10;
constexpr uint8_t vkControl = 0x11;
constexpr uint8_t vkEscape = 0x1B;  // MC-10 BREAK

void initKeyTables(Machine& m);
void scanHostKeyboard(Machine& m);
uint8_t readKeyboardRows(Machine& m, uint8_t portOne);
uint8_t readPort2(Machine& m, uint8_t portOne);
void pressKeyCode(Machine& m, uint8_t code);
// Sensible mode: host is a scratch copy of the host key state (the modifiers are
// cleared in it); presses at most one MC-10 key from table.
void mapSensibleKey(Machine& m, uint8_t host[256], const KeyTable& table);
