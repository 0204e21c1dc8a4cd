// The "Load Binary File" logic: copies a host file byte for byte into the address
// space at a typed address and can store an EXEC address at 0x421F/0x4220. The Qt
// dialog shows the fields and calls loadBinaryFile for OK; this side holds no state
// beyond the LOADBINARY fields of m.workingSettings.
//
//   LoadBinaryForm form{true, "$4c00", "$4cff", "prog.bin"};
//   std::string errors = loadBinaryFile(m, form);   // edits m.workingSettings
//   if (errors.empty()) { m.settings = m.workingSettings; saveLoadBinarySection(m); }
//   else hostMessage(m.host, errors, loadBinaryErrorTitle, MessageIcon::Exclamation);
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct Machine;

// What the dialog holds when OK is pressed.
struct LoadBinaryForm {
    bool pokeExec = false;  // the "Set EXEC address to: " check box
    std::string loadText;   // the load address field
    std::string execText;   // the EXEC address field
    std::string fileName;   // the file-name text
};

inline constexpr char loadBinaryErrorTitle[] = "Util Load Binary errors";
// The address fields are judged by their first 7 characters.
constexpr size_t addressFieldLength = 7;
constexpr int addressMalformedHex = -1;
constexpr int addressMalformedDecimal = -2;
constexpr int addressTooLarge = -3;

// "$" then hex digits, or decimal digits: 0..65535, or one of the negative codes.
int parseAddress(const std::string& text, bool& isHex);
// How a field shows an address: "$%04x" when isHex, else decimal.
std::string formatAddress(int32_t value, bool isHex);
// The OK sequence. Returns "" when the file was loaded; otherwise the message text
// ("ERROR: \n" and one line per problem) and memory is untouched. The parsed
// addresses are kept in m.workingSettings either way.
std::string loadBinaryFile(Machine& m, const LoadBinaryForm& form);
