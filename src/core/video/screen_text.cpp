// Screen codes to ASCII.
#include "video/screen_text.h"

#include "machine.h"
#include "video/renderer.h"

char screenCodeChar(uint8_t code) {
    if (code >= 0x80) return '#';
    char c = static_cast<char>(code & 0x3F);
    if (c < 0x20) c = static_cast<char>(c + 0x40);  // '@', 'A'-'Z', '[', '\', ']', '^', '_'
    if (code < 0x40 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return c;
}

std::string screenText(const Machine& m) {
    std::string text;
    text.reserve(16 * 33);
    for (int row = 0; row < 16; ++row) {
        for (int col = 0; col < 32; ++col)
            text += screenCodeChar(m.mem.addressSpace[videoRamStart + row * 32 + col]);
        text += '\n';
    }
    return text;
}
