// Placeholder until the keyboard lands.
#include "machine/keyboard.h"
#include "machine.h"

void initKeyTables(Machine&) {}
void scanHostKeyboard(Machine&) {}
uint8_t readKeyboardRows(Machine&, uint8_t) { return 0xFF; }
uint8_t readPort2(Machine& m, uint8_t) { return static_cast<uint8_t>((m.mem.addressSpace[3] & 0x10) | 0x4B); }
void pressKeyCode(Machine&, uint8_t) {}
