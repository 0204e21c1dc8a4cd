// The 32x16 text screen at 0x4000 as ASCII, for headless runs and tests.
//   normal text (codes 64-127): the character itself, letters in upper case
//   inverse text (codes 0-63):  letters in lower case, other characters unchanged
//   semigraphics (128-255):     '#'
// Codes 0x1E and 0x1F (up and left arrow) read as '^' and '_'.
//
//   std::string screen = screenText(m);   // 16 lines of 32 characters, each ending in '\n'
#pragma once
#include <cstdint>
#include <string>

struct Machine;

char screenCodeChar(uint8_t code);
std::string screenText(const Machine& m);
