// "Configure Serial Printer": the state of the dialog's controls and its handlers.
// The width field is text as typed; OK reads it as an unsigned number where a value
// below 2 (empty and non-numeric text read as 0) becomes 32 and one above 65535 becomes
// 65535.
//
//   PrinterDialog d = openPrinterDialog(m.workingSettings);
//   d.fixedWidth = true; d.widthText = "80";
//   printerOk(d, m.workingSettings);
#pragma once
#include <cstdint>
#include <string>

struct Machine;
struct Settings;

struct PrinterDialog {
    bool autoLinefeed = false;
    bool fixedWidth = false;  // "Fixed width at " selected, else "Unlimited width"
    std::string widthText;
    std::string fileName;
};

PrinterDialog openPrinterDialog(const Settings& w);
// Browse: the save chooser (no overwrite question) over the file name.
bool printerBrowse(Machine& m, PrinterDialog& d);
void printerOk(const PrinterDialog& d, Settings& w);
int32_t printerWidthFromText(const std::string& text);
inline bool printerWidthEnabled(const PrinterDialog& d) { return d.fixedWidth; }
// The value of a field read as an unsigned decimal number: 0 when it holds anything but
// digits (surrounding blanks allowed); saturates at the 32-bit maximum.
uint32_t readUnsignedField(const std::string& text);
