// The settings file: where it is, loading it into Settings at start-up, and the
// save points that write one section (or one key) of the live Settings.
#pragma once
#include <filesystem>

struct Machine;

// "foo.ini" in dir, or the bare file name that dir/TOVRIN.INI [CONFIG] ini= names.
std::filesystem::path locateIniFile(const std::filesystem::path& dir);
void loadSettings(Machine& m);  // reads m.iniPath; also calls loadRomImages

void saveMemorySection(Machine& m);
void savePrinterSection(Machine& m);
void saveSoundSection(Machine& m);
void saveSpeedSection(Machine& m);
void saveVideoSection(Machine& m);
void saveKeyboardSection(Machine& m);
void saveLoadBinarySection(Machine& m);
void saveCassetteName(Machine& m);
void saveCassetteOutName(Machine& m);
void saveQuickTypeName(Machine& m);
void saveScreenshotNumber(Machine& m);
