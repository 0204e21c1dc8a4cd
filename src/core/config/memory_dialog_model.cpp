#include "config/memory_dialog_model.h"

#include "machine.h"

MemoryDialog openMemoryDialog(const Settings& w) {
    MemoryDialog d;
    d.enhanced = w.enhancedflag != 0;
    d.expander = w.expanderflag != 0;
    d.ramAtC000 = w.RAMatC000flag != 0;
    d.writeRom = w.writeROMflag != 0;
    d.builtin = {w.usebuiltinromflag != 0, w.usebuiltincharflag != 0, w.usebuiltincharxflag != 0};
    return d;
}

void memorySelectLayout(MemoryDialog& d, bool enhanced) { d.enhanced = enhanced; }

void memorySelectRom(MemoryDialog& d, RomPair pair, bool builtin) {
    d.builtin[static_cast<int>(pair)] = builtin;
}

std::string& memoryRomFileName(Settings& w, RomPair pair) {
    switch (pair) {
        case RomPair::Basic: return w.ROMfilename;
        case RomPair::Char: return w.CHARfilename;
        case RomPair::CharX: break;
    }
    return w.CHARXfilename;
}

bool memoryBrowse(Machine& m, RomPair pair) {
    static const std::vector<FileFilter> filters = {{"ROM Files (*.ROM, *.BIN)", "*.rom;*.bin"},
                                                    {"All Files (*.*)", "*.*"}};
    std::string& name = memoryRomFileName(m.workingSettings, pair);
    std::string path = name;
    if (!hostChooseFile(m.host, path, filters, "bin", ChooseMode::Open)) return false;
    name = path;
    return true;
}

void memoryOk(const MemoryDialog& d, Settings& w) {
    // A disabled check box still counts with the state it shows.
    w.enhancedflag = d.enhanced;
    w.expanderflag = d.expander;
    w.RAMatC000flag = d.ramAtC000;
    w.writeROMflag = d.writeRom;
    w.usebuiltinromflag = d.builtin[0];
    w.usebuiltincharflag = d.builtin[1];
    w.usebuiltincharxflag = d.builtin[2];
}
