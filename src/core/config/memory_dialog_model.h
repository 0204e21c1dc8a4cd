// "Configure MC-10 Memory": the state of the dialog's controls and its handlers.
// The dialog edits the working copy; OK stores all seven MEMORY flags from the
// controls. The ROM file names change only through Browse.
//
//   MemoryDialog d = openMemoryDialog(m.workingSettings);
//   memorySelectLayout(d, true);            // "Enhanced 0100-BEFF"
//   memoryBrowse(m, d, RomPair::Basic);      // file chooser on ROMfilename
//   memoryOk(d, m.workingSettings);
#pragma once
#include <array>
#include <string>

struct Machine;
struct Settings;

enum class RomPair { Basic = 0, Char = 1, CharX = 2 };

struct MemoryDialog {
    bool enhanced = false;   // "Enhanced 0100-BEFF" selected, else "Normal (...) 4000-4FFF"
    bool expander = false;   // check marks as shown, enabled or not
    bool ramAtC000 = false;
    bool writeRom = false;
    std::array<bool, 3> builtin{};  // the first button of each ROM pair selected
};

MemoryDialog openMemoryDialog(const Settings& w);
void memorySelectLayout(MemoryDialog& d, bool enhanced);
void memorySelectRom(MemoryDialog& d, RomPair pair, bool builtin);
// Browse: the file chooser over the pair's file name in the working copy.
bool memoryBrowse(Machine& m, RomPair pair);
void memoryOk(const MemoryDialog& d, Settings& w);

inline bool memoryExpanderEnabled(const MemoryDialog& d) { return !d.enhanced; }
inline bool memoryEnhancedOptionsEnabled(const MemoryDialog& d) { return d.enhanced; }
inline bool memoryRomFileEnabled(const MemoryDialog& d, RomPair pair) {
    return !d.builtin[static_cast<int>(pair)];
}
std::string& memoryRomFileName(Settings& w, RomPair pair);
