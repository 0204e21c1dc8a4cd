// "Load a binary file to memory": the form as the dialog shows it, and Browse with its
// three filters. OK hands the form to loadBinaryFile (machine/binary_loader.h).
//
//   LoadBinaryForm f = openLoadBinaryDialog(m.workingSettings);
//   loadBinaryBrowse(m, f);                        // file chooser over bloadfilename
//   std::string errors = loadBinaryFile(m, f);     // "" : loaded, end with OK
#pragma once
#include "machine/binary_loader.h"

struct Machine;
struct Settings;

// loadBinaryFile reads the first seven characters of each address field; the dialog's
// fields accept no more, so what is typed is what is used.
constexpr int loadBinaryAddressLength = 7;

LoadBinaryForm openLoadBinaryDialog(const Settings& w);
bool loadBinaryBrowse(Machine& m, LoadBinaryForm& f);
