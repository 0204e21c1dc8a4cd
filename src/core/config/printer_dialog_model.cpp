#include "config/printer_dialog_model.h"

#include <algorithm>

#include "machine.h"

uint32_t readUnsignedField(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return 0;
    size_t e = text.find_last_not_of(' ');
    uint64_t v = 0;
    for (size_t i = b; i <= e; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return 0;
        v = std::min<uint64_t>(v * 10 + static_cast<uint64_t>(c - '0'), UINT32_MAX);
    }
    return static_cast<uint32_t>(v);
}

PrinterDialog openPrinterDialog(const Settings& w) {
    PrinterDialog d;
    d.autoLinefeed = w.autolinefeedflag != 0;
    d.fixedWidth = w.fixedwidthflag != 0;
    d.widthText = std::to_string(static_cast<uint32_t>(w.width));
    d.fileName = w.filename;
    return d;
}

bool printerBrowse(Machine& m, PrinterDialog& d) {
    static const std::vector<FileFilter> filters = {{"Text Files (*.TXT)", "*.txt"},
                                                    {"All Files (*.*)", "*.*"}};
    std::string path = d.fileName;
    if (!hostChooseFile(m.host, path, filters, "txt", ChooseMode::Save)) return false;
    m.workingSettings.filename = path;
    d.fileName = path;
    return true;
}

int32_t printerWidthFromText(const std::string& text) {
    uint32_t v = readUnsignedField(text);
    if (v < 2) return 32;
    if (v > 65535) return 65535;
    return static_cast<int32_t>(v);
}

void printerOk(const PrinterDialog& d, Settings& w) {
    w.autolinefeedflag = d.autoLinefeed;
    w.width = printerWidthFromText(d.widthText);
    // Kept whole: a path cut short would send the output to another file.
    w.filename = d.fileName;
    w.fixedwidthflag = d.fixedWidth;
}
