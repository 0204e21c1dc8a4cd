#include "config/load_binary_dialog_model.h"

#include "machine.h"

LoadBinaryForm openLoadBinaryDialog(const Settings& w) {
    LoadBinaryForm f;
    f.pokeExec = w.pokeexecaddr != 0;
    f.loadText = formatAddress(w.bloadaddr, w.loadaddrishex != 0);
    f.execText = formatAddress(w.bexecaddr, w.execaddrishex != 0);
    f.fileName = w.bloadfilename;
    return f;
}

bool loadBinaryBrowse(Machine& m, LoadBinaryForm& f) {
    static const std::vector<FileFilter> filters = {{"Binary Files (*.bin)", "*.bin"},
                                                    {"TASM Object Files (*.obj)", "*.obj"},
                                                    {"All Files (*.*)", "*.*"}};
    std::string path = m.workingSettings.bloadfilename;
    if (!hostChooseFile(m.host, path, filters, "bin", ChooseMode::Open)) return false;
    m.workingSettings.bloadfilename = path;
    f.fileName = path;
    return true;
}
