// The built-in ROM images, generated at build time from rom.asm (dasm) and font.txt.
//   basicRom  8 192 bytes, mapped at 0xE000-0xFFFF
//   charRom   768 bytes: 64 glyphs x 12 rows, bit 7 = leftmost pixel, MC6847 code order
#pragma once
namespace firmware {
extern const unsigned char basicRom[8192];
extern const unsigned char charRom[768];
}
