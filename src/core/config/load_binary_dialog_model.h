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

LoadBinaryForm openLoadBinaryDialog(const Settings& w);
bool loadBinaryBrowse(Machine& m, LoadBinaryForm& f);
