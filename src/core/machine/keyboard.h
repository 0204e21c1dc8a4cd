// The MC-10 keyboard matrix as the ROM sees it through port 1 (column strobes at
// 0x0002) and the row read at 0xBFFF, plus SHIFT/CTRL/BREAK on port 2 bit 1.
#pragma once
#include <cstdint>

struct Machine;

struct KeyboardState {
    uint8_t matrixKeyTable[48] = {};     // MatrixKeyTable: virtual-key code per MC-10 key number
    uint8_t emulatedKeyState[256] = {};  // EmulatedKeyState: bit 7 = held
};

void initKeyTables(Machine& m);
void scanHostKeyboard(Machine& m);
uint8_t readKeyboardRows(Machine& m, uint8_t portOne);
uint8_t readPort2(Machine& m, uint8_t portOne);
void pressKeyCode(Machine& m, uint8_t code);
