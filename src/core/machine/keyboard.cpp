// The keyboard matrix: which PC key stands for which MC-10 key, and the ROM's reads.
#include "machine/keyboard.h"

#include <cstring>

#include "machine.h"
#include "machine/cassette_in.h"
#include "machine/quick_type.h"

namespace {

// Source of MatrixKeyTable, by key number: a character looked up on the host layout,
// or (character 0) a fixed virtual-key code.
struct MatrixSource {
    char character;
    uint8_t code;
};

constexpr MatrixSource matrixSource[48] = {
    {'[', 0},  {'a', 0},  {'b', 0},  {'c', 0},  {'d', 0},  {'e', 0},  {'f', 0},  {'g', 0},
    {'h', 0},  {'i', 0},  {'j', 0},  {'k', 0},  {'l', 0},  {'m', 0},  {'n', 0},  {'o', 0},
    {'p', 0},  {'q', 0},  {'r', 0},  {'s', 0},  {'t', 0},  {'u', 0},  {'v', 0},  {'w', 0},
    {'x', 0},  {'y', 0},  {'z', 0},  {0, 0x7A}, {0, 0x79}, {0, 0x78}, {0, 0x0D}, {' ', 0},
    {'0', 0},  {'1', 0},  {'2', 0},  {'3', 0},  {'4', 0},  {'5', 0},  {'6', 0},  {'7', 0},
    {'8', 0},  {'9', 0},  {'-', 0},  {';', 0},  {',', 0},  {'=', 0},  {'.', 0},  {'/', 0},
};

inline bool held(uint8_t b) { return (b & 0x80) != 0; }

}  // namespace

void initKeyTables(Machine& m) {
    for (int k = 0; k < 48; ++k) {
        const MatrixSource& s = matrixSource[k];
        m.keyboard.matrixKeyTable[k] = s.character ? hostKeyForCharacter(m.host, s.character) : s.code;
    }
}

void keyStateChanged(Machine& m) { keyStateChanged(m.keyboard); }

uint8_t readKeyboardRows(Machine& m, uint8_t portOne) {
    KeyboardState& kb = m.keyboard;
    if (kb.rowsStale) {
        for (int c = 0; c < 8; ++c) {
            uint8_t rows = 0xFF;
            for (int r = 0; r < 6; ++r)
                if (held(kb.emulatedKeyState[kb.matrixKeyTable[r * 8 + c]])) rows &= static_cast<uint8_t>(~(1u << r));
            kb.columnRows[c] = rows;
        }
        kb.rowsStale = false;
    } else if (portOne == kb.lastPortOne) {
        return kb.lastRows;
    }
    // Several columns may be strobed at once; their rows combine.
    uint8_t result = 0xFF;
    for (int c = 0; c < 8; ++c)
        if (!(portOne & (1u << c))) result &= kb.columnRows[c];
    kb.lastPortOne = portOne;
    kb.lastRows = result;
    return result;
}

uint8_t readPort2(Machine& m, uint8_t portOne) {
    updateCassetteInput(m);
    uint8_t v = static_cast<uint8_t>((m.mem.addressSpace[0x0003] & 0x10) | 0x4B);
    const uint8_t* keys = m.keyboard.emulatedKeyState;
    if (!(portOne & 0x80) && held(keys[vkShift])) v &= 0xFD;
    if (!(portOne & 0x04)) {
        if (held(keys[vkEscape])) v &= 0xFD;
        // The ROM polls port 2 with column 2 strobed while it scans for keys: that is
        // Quick Type's clock.
        if (m.quickType.quickTypeActive) {
            quickTypeStep(m);
            keyStateChanged(m);
        }
    }
    if (!(portOne & 0x01) && held(keys[vkControl])) v &= 0xFD;
    return v;
}

void pressKeyCode(Machine& m, uint8_t code) {
    keyStateChanged(m);
    uint8_t* keys = m.keyboard.emulatedKeyState;
    if (code & 0x80) keys[vkControl] = 0x80;
    if (code & 0x40) keys[vkShift] = 0x80;
    unsigned k = code & 0x3F;
    if (k <= 47) keys[m.keyboard.matrixKeyTable[k]] = 0x80;
}

void mapSensibleKey(Machine& m, uint8_t host[256], const KeyTable& table) {
    for (uint8_t vk : {0x10, 0x11, 0xA0, 0xA1, 0xA2, 0xA3}) host[vk] = 0;
    if (held(host[vkEscape])) {
        m.keyboard.emulatedKeyState[vkEscape] = 0x80;
        return;
    }
    for (int i = 0; i < 256; ++i) {
        if (held(host[i]) && table[i] != 0xFF) {
            pressKeyCode(m, table[i]);
            return;
        }
    }
}

void scanHostKeyboard(Machine& m) {
    if (m.quickType.quickTypeActive) return;  // the snapshot belongs to Quick Type
    keyStateChanged(m);
    uint8_t* keys = m.keyboard.emulatedKeyState;
    if (m.settings.emulatedflag) {
        hostReadKeyboard(m.host, keys);
        return;
    }
    std::memset(keys, 0, 256);
    uint8_t host[256];
    hostReadKeyboard(m.host, host);
    const KeyTable& table = held(host[vkShift])     ? m.settings.keyShift
                            : held(host[vkControl]) ? m.settings.keyCtrl
                                                    : m.settings.keyNormal;
    mapSensibleKey(m, host, table);
}
