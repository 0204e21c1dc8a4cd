#include "config/keyboard_dialog_model.h"

#include "machine.h"

const char* const captureSelectText = "Double click MC-10 key in listbox to edit";
const char* const captureHoldText = "Hold down key combination and click HERE";

const std::array<PcKey, pcKeyCount> pcKeyTable = {{
    {"Esc", 0x1B},
    {"1", '1'}, {"2", '2'}, {"3", '3'}, {"4", '4'}, {"5", '5'},
    {"6", '6'}, {"7", '7'}, {"8", '8'}, {"9", '9'}, {"0", '0'},
    {"a", 'A'}, {"b", 'B'}, {"c", 'C'}, {"d", 'D'}, {"e", 'E'}, {"f", 'F'}, {"g", 'G'},
    {"h", 'H'}, {"i", 'I'}, {"j", 'J'}, {"k", 'K'}, {"l", 'L'}, {"m", 'M'}, {"n", 'N'},
    {"o", 'O'}, {"p", 'P'}, {"q", 'Q'}, {"r", 'R'}, {"s", 'S'}, {"t", 'T'}, {"u", 'U'},
    {"v", 'V'}, {"w", 'W'}, {"x", 'X'}, {"y", 'Y'}, {"z", 'Z'},
    {"`", 0, '`'}, {"-", 0, '-'}, {"=", 0, '='}, {"\\", 0, '\\'},
    {"Backspace", 0x08}, {"Tab", 0x09},
    {"[", 0, '['}, {"]", 0, ']'}, {";", 0, ';'}, {"'", 0, '\''},
    {"Enter", 0x0D},
    {",", 0, ','}, {".", 0, '.'}, {"/", 0, '/'},
    {"Space", 0x20},
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74}, {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {"Insert", 0x2D}, {"Delete", 0x2E}, {"Home", 0x24}, {"End", 0x23},
    {"Page Up", 0x21}, {"Page Down", 0x22},
    {"Left Arrow", 0x25}, {"Up Arrow", 0x26}, {"Right Arrow", 0x27}, {"Down Arrow", 0x28},
    {"Scroll Lock", 0x91},
    {"Num 1", 0x61}, {"Num 2", 0x62}, {"Num 3", 0x63}, {"Num 4", 0x64}, {"Num 5", 0x65},
    {"Num 6", 0x66}, {"Num 7", 0x67}, {"Num 8", 0x68}, {"Num 9", 0x69}, {"Num 0", 0x60},
    {"Num -", 0x6D}, {"Num +", 0x6B}, {"Num .", 0x6E}, {"Num *", 0x6A}, {"Num /", 0x6F},
    {"Pause", 0x13},
}};

const std::array<std::array<const char*, 3>, 48> mc10KeyLabels = {{
    {"@", "Shift @", "Ctrl @"},
    {"a", "Graphic 6\tShift a", "Left Arrow\tCtrl a"},
    {"b", "Graphic 15\tShift b", "ABS\tCtrl b"},
    {"c", "Graphic 13\tShift c", "INT\tCtrl c"},
    {"d", "Graphic 8\tShift d", "GOSUB\tCtrl d"},
    {"e", "Graphic 2\tShift e", "SET\tCtrl e"},
    {"f", "Graphic 9\tShift f", "RETURN\tCtrl f"},
    {"g", "Graphic 10\tShift g", "IF\tCtrl g"},
    {"h", "Shift h", "THEN\tCtrl h"},
    {"i", "Shift i", "NEXT\tCtrl i"},
    {"j", "Shift j", "GOTO\tCtrl j"},
    {"k", "Shift k", "SOUND\tCtrl k"},
    {"l", "Shift l", "PEEK\tCtrl l"},
    {"m", "Shift m", "COS\tCtrl m"},
    {"n", "Shift n", "SIN\tCtrl n"},
    {"o", "Shift o", "STEP\tCtrl o"},
    {"p", "Shift p", "INKEY$\tCtrl p"},
    {"q", "Graphic 0\tShift q", "L.DEL. Ctrl q"},
    {"r", "Graphic 3\tShift r", "RESET\tCtrl r"},
    {"s", "Graphic 7\tShift s", "Right Arrow\tCtrl s"},
    {"t", "Graphic 4\tShift t", "READ\tCtrl t"},
    {"u", "Shift u", "FOR\tCtrl u"},
    {"v", "Graphic 14\tShift v", "RND\tCtrl v"},
    {"w", "Graphic 1\tShift w", "Up Arrow\tCtrl w"},
    {"x", "Graphic 12\tShift x", "SGN\tCtrl x"},
    {"y", "Graphic 5\tShift y", "RESTORE\tCtrl y"},
    {"z", "Graphic 11\tShift z", "Down Arrow\tCtrl z"},
    {"none", "none", "none"},
    {"none", "none", "none"},
    {"none", "none", "none"},
    {"enter", "Shift enter", "Ctrl enter"},
    {"space", "Shift space", "Ctrl space"},
    {"0", "Shift 0", "Ctrl 0"},
    {"1", "!", "RUN\tCtrl 1"},
    {"2", "\"", "CONT\tCtrl 2"},
    {"3", "#", "CSAVE\tCtrl 3"},
    {"4", "$", "CLOAD\tCtrl 4"},
    {"5", "%", "NEW\tCtrl 5"},
    {"6", "&", "LIST\tCtrl 6"},
    {"7", "'", "CLEAR\tCtrl 7"},
    {"8", "(", "CLS\tCtrl 8"},
    {"9", ")", "PRINT\tCtrl 9"},
    {":", "*", "END\tCtrl :"},
    {";", "+", "POKE\tCtrl ;"},
    {",", "<", "TAN\tCtrl ,"},
    {"-", "=", "STOP\tCtrl -"},
    {".", ">", "LOG\tCtrl ."},
    {"/", "?", "SQR\tCtrl /"},
}};

namespace {
constexpr uint8_t unassigned = 0xFF;

int modeColumn(uint8_t mode) { return mode == modeShift ? 1 : mode == modeCtrl ? 2 : 0; }

// Walks the entries the PC key list shows, in its order: codes ascending, then the
// "n", "s" and "c" tables. fn(table, code, prefix) returns true to stop.
template <typename Fn>
void forEachListed(const KeyboardDialog& d, const Settings& w, Fn fn) {
    const KeyTable* tables[3] = {&w.keyNormal, &w.keyShift, &w.keyCtrl};
    static const char* const prefixes[3] = {"", "Shift ", "Ctrl "};
    for (int code = 0; code < 256; ++code) {
        if (d.names[static_cast<size_t>(code)].empty()) continue;
        for (int t = 0; t < 3; ++t) {
            uint8_t e = (*tables[t])[static_cast<size_t>(code)];
            if (e == unassigned || (e & 0x3F) != d.mc10Selection || (e & 0xC0) != d.mode) continue;
            if (fn(t, code, prefixes[t])) return;
        }
    }
}

KeyTable& table(Settings& w, int t) { return t == 0 ? w.keyNormal : t == 1 ? w.keyShift : w.keyCtrl; }

void fillMc10List(KeyboardDialog& d) {
    d.mc10List.clear();
    for (const auto& row : mc10KeyLabels) d.mc10List.emplace_back(row[static_cast<size_t>(modeColumn(d.mode))]);
    d.mc10Selection = -1;
    // With no MC-10 key selected the PC key list has nothing to show.
    d.pcList.clear();
    d.pcSelection = -1;
}
}  // namespace

void resolvePcKeyCodes(DialogRunState& s, const Host& host) {
    if (s.pcKeyCodesResolved) return;
    s.pcKeyCodesResolved = true;
    for (size_t i = 0; i < pcKeyTable.size(); ++i)
        s.pcKeyCodes[i] = pcKeyTable[i].code ? pcKeyTable[i].code
                                             : hostKeyForCharacter(host, pcKeyTable[i].character);
}

KeyboardDialog openKeyboardDialog(Machine& m) {
    KeyboardDialog d;
    resolvePcKeyCodes(m.dialogs, m.host);
    for (size_t i = 0; i < pcKeyTable.size(); ++i) {
        uint8_t code = m.dialogs.pcKeyCodes[i];
        // 0 and 0xFF: the layout has no key for the character.
        if (code != 0 && code != unassigned) d.names[code] = pcKeyTable[i].name;
    }
    d.emulated = m.workingSettings.emulatedflag != 0;
    d.quicktypeLower = m.workingSettings.qtuselowerflag != 0;
    keyboardSelectMode(d, modeNormal);
    return d;
}

void keyboardSelectMode(KeyboardDialog& d, uint8_t mode) {
    d.mode = mode;
    fillMc10List(d);
}

void keyboardFillPcList(KeyboardDialog& d, const Settings& w) {
    d.pcList.clear();
    d.pcSelection = -1;
    if (d.mc10Selection < 0) return;
    forEachListed(d, w, [&](int, int code, const char* prefix) {
        d.pcList.push_back(prefix + d.names[static_cast<size_t>(code)]);
        return false;
    });
}

void keyboardSelectMc10Key(KeyboardDialog& d, const Settings& w, int key) {
    d.mc10Selection = key >= 0 && key < 48 ? key : -1;
    d.captureText = captureSelectText;
    keyboardFillPcList(d, w);
}

void keyboardDoubleClickMc10(KeyboardDialog& d) { d.captureText = captureHoldText; }

bool keyboardCapture(KeyboardDialog& d, Settings& w, const uint8_t held[256]) {
    int code = -1;
    for (int c = 255; c >= 0 && code < 0; --c)
        if ((held[c] & 0x80) && !d.names[static_cast<size_t>(c)].empty()) code = c;
    if (code < 0) return false;
    bool shift = held[vkShift] & 0x80, ctrl = held[vkControl] & 0x80;
    int t = shift ? 1 : ctrl ? 2 : 0;
    d.captureText = std::string(shift ? "Shift " : ctrl ? "Ctrl " : "") + d.names[static_cast<size_t>(code)];
    if (d.mc10Selection >= 0) {
        table(w, t)[static_cast<size_t>(code)] = static_cast<uint8_t>(d.mode + d.mc10Selection);
        keyboardFillPcList(d, w);
    }
    return true;
}

void keyboardSelectPcKey(KeyboardDialog& d, int row) {
    d.pcSelection = row >= 0 && row < static_cast<int>(d.pcList.size()) ? row : -1;
}

void keyboardDeletePcKey(KeyboardDialog& d, Settings& w) {
    if (d.mc10Selection < 0 || d.pcSelection < 0) return;
    int count = 0;
    forEachListed(d, w, [&](int t, int code, const char*) {
        if (count++ != d.pcSelection) return false;
        table(w, t)[static_cast<size_t>(code)] = unassigned;
        return true;
    });
    keyboardFillPcList(d, w);
}

bool keyMapEmpty(const Settings& w) {
    for (const KeyTable* t : {&w.keyNormal, &w.keyShift, &w.keyCtrl})
        for (uint8_t e : *t)
            if (e != unassigned) return false;
    return true;
}

void fillKeyMapFromLayout(Settings& w, const KeyboardState& layout) {
    w.keyNormal.fill(unassigned);
    w.keyShift.fill(unassigned);
    w.keyCtrl.fill(unassigned);
    for (int key = 0; key < 48; ++key) {
        const uint8_t code = layout.matrixKeyTable[key];
        // 0 and 0xFF: the host layout has no key for it.
        if (code == 0 || code == unassigned) continue;
        w.keyNormal[code] = static_cast<uint8_t>(modeNormal | key);
        w.keyShift[code] = static_cast<uint8_t>(modeShift | key);
        w.keyCtrl[code] = static_cast<uint8_t>(modeCtrl | key);
    }
}

void keyboardSelectKind(KeyboardDialog& d, Settings& w, bool emulated, const KeyboardState& layout) {
    d.emulated = emulated;
    if (!emulated && keyMapEmpty(w)) {
        fillKeyMapFromLayout(w, layout);
        keyboardFillPcList(d, w);
    }
}

void keyboardOk(const KeyboardDialog& d, Settings& w) {
    w.emulatedflag = d.emulated;
    w.qtuselowerflag = d.quicktypeLower;
}
