// "Configure Keyboard": Emulated/Sensible, the assignment mode, the MC-10 key list, the
// PC key list of the selected MC-10 key, and the capture field that records the PC key
// combination held down when it is clicked. Assignments go straight into the KeyMap
// tables of the working copy; OK stores the two check-type settings.
//
//   KeyboardDialog d = openKeyboardDialog(m);            // resolves punctuation codes once
//   keyboardSelectMode(d, m.workingSettings, 0x40);      // SHIFT MC-10 keyboard
//   keyboardSelectMc10Key(d, m.workingSettings, 1);      // "Graphic 6\tShift a"
//   keyboardCapture(d, m.workingSettings, heldKeys);     // Shift+A -> "Shift a"
//   keyboardOk(d, m.workingSettings);
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/dialog_state.h"
#include "machine/keyboard.h"  // vkShift, vkControl, KeyboardState

struct Host;
struct Machine;
struct Settings;

struct PcKey {
    const char* name;
    uint8_t code;  // Windows virtual-key code; 0 for the punctuation keys (layout-dependent)
    char character = 0;  // the punctuation keys: the character that resolves the code
};

extern const std::array<PcKey, pcKeyCount> pcKeyTable;
// MC-10 key labels by key number, one column per assignment mode (normal, SHIFT, CTRL).
extern const std::array<std::array<const char*, 3>, 48> mc10KeyLabels;

constexpr uint8_t modeNormal = 0x00, modeShift = 0x40, modeCtrl = 0x80;

extern const char* const captureSelectText;  // "Double click MC-10 key in listbox to edit"
extern const char* const captureHoldText;    // "Hold down key combination and click HERE"

struct KeyboardDialog {
    uint8_t mode = modeNormal;
    bool emulated = true;
    bool quicktypeLower = false;
    std::array<std::string, 256> names;  // name lookup by virtual-key code, "" for none
    std::vector<std::string> mc10List;
    int mc10Selection = -1;
    std::vector<std::string> pcList;
    int pcSelection = -1;
    std::string captureText;
};

// The first time in a run the punctuation keys get the code of their character on the
// host layout; they keep it for the rest of the run.
void resolvePcKeyCodes(DialogRunState& s, const Host& host);
KeyboardDialog openKeyboardDialog(Machine& m);
void keyboardSelectMode(KeyboardDialog& d, uint8_t mode);
void keyboardSelectMc10Key(KeyboardDialog& d, const Settings& w, int key);
void keyboardDoubleClickMc10(KeyboardDialog& d);
// Reads the held keys: highest named code wins, Shift over Ctrl. False when no named
// key is held (nothing changes).
bool keyboardCapture(KeyboardDialog& d, Settings& w, const uint8_t held[256]);
void keyboardSelectPcKey(KeyboardDialog& d, int row);
void keyboardDeletePcKey(KeyboardDialog& d, Settings& w);
// Emulated or Sensible. Sensible with an empty key map would leave every key dead, so
// an empty map is then filled with the Emulated layout (see fillKeyMapFromLayout).
void keyboardSelectKind(KeyboardDialog& d, Settings& w, bool emulated, const KeyboardState& layout);
void keyboardOk(const KeyboardDialog& d, Settings& w);
// True when none of the three tables assigns any PC key.
bool keyMapEmpty(const Settings& w);
// The Emulated layout as a key map: the PC key of each MC-10 key (layout.matrixKeyTable)
// gives that key alone, with Shift the key with MC-10 SHIFT, with Ctrl the key with
// MC-10 CTRL. Replaces all three tables.
void fillKeyMapFromLayout(Settings& w, const KeyboardState& layout);
void keyboardFillPcList(KeyboardDialog& d, const Settings& w);
