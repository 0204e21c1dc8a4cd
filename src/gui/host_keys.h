// The host keyboard as the emulated keyboard reads it: Qt key events translated to
// Windows virtual-key codes by the key's physical position on a US keyboard, kept as
// a 256-byte held-state (bit 7 = held) like the Windows keyboard state.
//
//   HostKeyState keys;
//   m.host.keyboard = &keys;
//   keys.press(virtualKeyFor(*event));     // in keyPressEvent (0 is ignored)
//   keys.releaseAll();                     // when the window loses focus
#pragma once
#include <cstdint>

#include "host/host.h"

class QKeyEvent;

// Windows virtual-key codes of the modifiers: generic, then left and right.
namespace vkey {
constexpr uint8_t shift = 0x10, control = 0x11, menu = 0x12;
constexpr uint8_t lShift = 0xA0, rShift = 0xA1, lControl = 0xA2, rControl = 0xA3, lMenu = 0xA4, rMenu = 0xA5;
}  // namespace vkey

// X11/xcb key code (Linux input code + 8) to virtual-key code; 0 for keys without one.
uint8_t virtualKeyForScanCode(uint32_t x11KeyCode);
// Fallback from the Qt key (platforms without X key codes); keypad keys use
// Qt::KeypadModifier, nativeVirtualKey (an X keysym) tells left from right modifiers.
uint8_t virtualKeyForQtKey(int qtKey, bool keypad, uint32_t nativeVirtualKey);
// The event's key: by scan code when the platform gives one, else by Qt key.
uint8_t virtualKeyFor(const QKeyEvent& event);

struct HostKeyState : HostKeyboard {
    uint8_t state[256] = {};

    // Left/right SHIFT, CTRL and ALT also hold their generic code (0x10, 0x11, 0x12)
    // while either side is down; a generic code alone counts as the left key.
    void press(uint8_t vk);
    void release(uint8_t vk);
    void releaseAll();

    void readState(uint8_t out[256]) override;
    uint8_t keyForCharacter(char c) override;
};
