// Key translation: X key codes and Qt keys to Windows virtual-key codes.
#include "host_keys.h"

#include <QKeyEvent>
#include <array>
#include <cstring>

namespace {

// Linux input codes 0..127 (X key code - 8) on a US keyboard.
constexpr std::array<uint8_t, 128> evdevToVk = [] {
    std::array<uint8_t, 128> t{};
    t[1] = 0x1B;  // Escape
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'};
    for (int i = 0; i < 10; ++i) t[2 + i] = digits[i];
    t[12] = 0xBD; t[13] = 0xBB; t[14] = 0x08; t[15] = 0x09;  // - = Backspace Tab
    const char row1[] = "QWERTYUIOP";
    for (int i = 0; i < 10; ++i) t[16 + i] = static_cast<uint8_t>(row1[i]);
    t[26] = 0xDB; t[27] = 0xDD; t[28] = 0x0D; t[29] = vkey::lControl;  // [ ] Enter LCtrl
    const char row2[] = "ASDFGHJKL";
    for (int i = 0; i < 9; ++i) t[30 + i] = static_cast<uint8_t>(row2[i]);
    t[39] = 0xBA; t[40] = 0xDE; t[41] = 0xC0; t[42] = vkey::lShift; t[43] = 0xDC;  // ; ' ` LShift backslash
    const char row3[] = "ZXCVBNM";
    for (int i = 0; i < 7; ++i) t[44 + i] = static_cast<uint8_t>(row3[i]);
    t[51] = 0xBC; t[52] = 0xBE; t[53] = 0xBF; t[54] = vkey::rShift;  // , . / RShift
    t[55] = 0x6A; t[56] = vkey::lMenu; t[57] = 0x20; t[58] = 0x14;  // KP* LAlt Space CapsLock
    for (int i = 0; i < 10; ++i) t[59 + i] = static_cast<uint8_t>(0x70 + i);  // F1-F10
    t[69] = 0x90; t[70] = 0x91;                                                  // NumLock ScrollLock
    t[71] = 0x67; t[72] = 0x68; t[73] = 0x69; t[74] = 0x6D;                      // KP7 KP8 KP9 KP-
    t[75] = 0x64; t[76] = 0x65; t[77] = 0x66; t[78] = 0x6B;                      // KP4 KP5 KP6 KP+
    t[79] = 0x61; t[80] = 0x62; t[81] = 0x63; t[82] = 0x60; t[83] = 0x6E;        // KP1 KP2 KP3 KP0 KP.
    t[86] = 0xE2; t[87] = 0x7A; t[88] = 0x7B;                                    // <> F11 F12
    t[96] = 0x0D; t[97] = vkey::rControl; t[98] = 0x6F; t[99] = 0x2C; t[100] = vkey::rMenu;  // KPEnter RCtrl KP/ PrtSc RAlt
    t[102] = 0x24; t[103] = 0x26; t[104] = 0x21; t[105] = 0x25;                  // Home Up PgUp Left
    t[106] = 0x27; t[107] = 0x23; t[108] = 0x28; t[109] = 0x22;                  // Right End Down PgDn
    t[110] = 0x2D; t[111] = 0x2E; t[119] = 0x13;                                 // Insert Delete Pause
    t[125] = 0x5B; t[126] = 0x5C; t[127] = 0x5D;                                 // LWin RWin Menu
    return t;
}();

uint8_t sideless(uint8_t vk) {
    switch (vk) {
        case vkey::lShift: case vkey::rShift: return vkey::shift;
        case vkey::lControl: case vkey::rControl: return vkey::control;
        case vkey::lMenu: case vkey::rMenu: return vkey::menu;
        default: return 0;
    }
}

bool held(uint8_t b) { return (b & 0x80) != 0; }

}  // namespace

uint8_t virtualKeyForScanCode(uint32_t x11KeyCode) {
    if (x11KeyCode < 8 || x11KeyCode - 8 >= evdevToVk.size()) return 0;
    return evdevToVk[x11KeyCode - 8];
}

uint8_t virtualKeyForQtKey(int key, bool keypad, uint32_t nativeVirtualKey) {
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>(0x60 + key - Qt::Key_0);
        switch (key) {
            case Qt::Key_Asterisk: return 0x6A;
            case Qt::Key_Plus: return 0x6B;
            case Qt::Key_Minus: return 0x6D;
            case Qt::Key_Period: case Qt::Key_Comma: case Qt::Key_Delete: return 0x6E;
            case Qt::Key_Slash: return 0x6F;
            case Qt::Key_Enter: return 0x0D;
            case Qt::Key_Insert: return 0x60;
            case Qt::Key_End: return 0x61;
            case Qt::Key_Down: return 0x62;
            case Qt::Key_PageDown: return 0x63;
            case Qt::Key_Left: return 0x64;
            case Qt::Key_Clear: return 0x65;
            case Qt::Key_Right: return 0x66;
            case Qt::Key_Home: return 0x67;
            case Qt::Key_Up: return 0x68;
            case Qt::Key_PageUp: return 0x69;
            default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>('A' + key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>('0' + key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<uint8_t>(0x70 + key - Qt::Key_F1);
    switch (key) {
        // The shifted characters of the US layout come from the key of their base character.
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7';
        case Qt::Key_ParenLeft: return '9';
        case Qt::Key_ParenRight: return '0';
        case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
        case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
        case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
        case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
        case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
        case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
        case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
        case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
        case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
        case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
        case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
        case Qt::Key_Asterisk: return '8';
        case Qt::Key_Space: return 0x20;
        case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Escape: return 0x1B;
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
        case Qt::Key_CapsLock: return 0x14;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_End: return 0x23;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_Insert: return 0x2D;
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_Pause: return 0x13;
        case Qt::Key_Print: return 0x2C;
        case Qt::Key_NumLock: return 0x90;
        case Qt::Key_ScrollLock: return 0x91;
        case Qt::Key_Menu: return 0x5D;
        // X keysyms tell the sides apart: Shift_R 0xffe2, Control_R 0xffe4, Alt_R 0xffea.
        case Qt::Key_Shift: return nativeVirtualKey == 0xffe2 ? vkey::rShift : vkey::lShift;
        case Qt::Key_Control: return nativeVirtualKey == 0xffe4 ? vkey::rControl : vkey::lControl;
        case Qt::Key_Alt: return nativeVirtualKey == 0xffea ? vkey::rMenu : vkey::lMenu;
        case Qt::Key_AltGr: return vkey::rMenu;
        default: return 0;
    }
}

uint8_t virtualKeyFor(const QKeyEvent& event) {
    if (uint8_t vk = virtualKeyForScanCode(event.nativeScanCode())) return vk;
    return virtualKeyForQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier),
                              event.nativeVirtualKey());
}

void HostKeyState::press(uint8_t vk) {
    if (vk == 0) return;
    if (vk == vkey::shift) vk = vkey::lShift;
    if (vk == vkey::control) vk = vkey::lControl;
    if (vk == vkey::menu) vk = vkey::lMenu;
    state[vk] = 0x80;
    if (uint8_t generic = sideless(vk)) state[generic] = 0x80;
}

void HostKeyState::release(uint8_t vk) {
    if (vk == 0) return;
    if (vk == vkey::shift) vk = vkey::lShift;
    if (vk == vkey::control) vk = vkey::lControl;
    if (vk == vkey::menu) vk = vkey::lMenu;
    state[vk] = 0;
    state[vkey::shift] = held(state[vkey::lShift]) || held(state[vkey::rShift]) ? 0x80 : 0;
    state[vkey::control] = held(state[vkey::lControl]) || held(state[vkey::rControl]) ? 0x80 : 0;
    state[vkey::menu] = held(state[vkey::lMenu]) || held(state[vkey::rMenu]) ? 0x80 : 0;
}

void HostKeyState::releaseAll() { std::memset(state, 0, sizeof state); }

void HostKeyState::readState(uint8_t out[256]) { std::memcpy(out, state, sizeof state); }

uint8_t HostKeyState::keyForCharacter(char c) { return usLayoutKeyForCharacter(c); }
