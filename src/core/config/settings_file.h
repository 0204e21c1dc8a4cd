// The settings file: where it is, loading it into Settings at start-up, and the save
// points that write one section (or one key) of the live Settings back to it.
//
//   m.iniPath = locateIniFile(std::filesystem::current_path());
//   loadSettings(m);          // every section, in a fixed order; loads the ROM images
//   ...
//   saveSoundSection(m);      // after the Sound dialog's OK
//
// Everything works on m.iniPath. When it is empty nothing is read (the defaults stay)
// and the savers do nothing: the CLI and the tests rely on that. A saver reads the file
// once, replaces its keys and writes the file once, through a temporary file and a
// rename. Read and write failures are silent and keep the previous state.
//
// The typed readers and writers work on the file's contents in memory (config/ini_file.h):
// a reader leaves the field unchanged when the key is missing or unusable, a writer
// creates or replaces one key (a key table writes 256 keys).
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "config/ini_file.h"
#include "config/settings.h"

struct Machine;

// "foo.ini" in dir, or the bare file name that dir/TOVRIN.INI [CONFIG] ini= names.
std::filesystem::path locateIniFile(const std::filesystem::path& dir);
void loadSettings(Machine& m);  // reads m.iniPath; calls loadRomImages after MEMORY

// Readers. Flags accept 1/on/true/yes/y and 0/off/false/no/n in any case. Integers are
// decimal; the clamped readers bound the value to min..max.
void readFlag(const IniFile& ini, uint8_t& field, std::string_view section, std::string_view key);
void readInt(const IniFile& ini, int32_t& field, std::string_view section, std::string_view key);
void readIntClamped(const IniFile& ini, int32_t& field, std::string_view section, std::string_view key,
                    int32_t min, int32_t max);
void readIntClamped(const IniFile& ini, int8_t& field, std::string_view section, std::string_view key,
                    int8_t min, int8_t max);
void readIntClamped(const IniFile& ini, uint32_t& field, std::string_view section, std::string_view key,
                    uint32_t min, uint32_t max);
void readString(const IniFile& ini, std::string& field, std::string_view section, std::string_view key);
// COLOR key "c%02x": nine digits "RRRGGGBBB", the low 8 bits of each group kept.
void readColour(const IniFile& ini, Rgb& slot, int slotNumber);
// KEYBOARD keys "<letter>%02x" for indexes 00-ff, the low 8 bits of each value kept.
void readKeyTable(const IniFile& ini, char letter, KeyTable& table);

void writeFlag(IniFile& ini, uint8_t value, std::string_view section, std::string_view key);
void writeInt(IniFile& ini, int64_t value, std::string_view section, std::string_view key);
void writeString(IniFile& ini, const std::string& value, std::string_view section, std::string_view key);
void writeColour(IniFile& ini, const Rgb& slot, int slotNumber);
void writeKeyTable(IniFile& ini, char letter, const KeyTable& table);

void saveMemorySection(Machine& m);
void savePrinterSection(Machine& m);
void saveSoundSection(Machine& m);
void saveSpeedSection(Machine& m);
void saveVideoSection(Machine& m);     // VIDEO, then COLOR
void saveKeyboardSection(Machine& m);
void saveLoadBinarySection(Machine& m);
void saveCassetteName(Machine& m);     // FILES cassette
void saveCassetteOutName(Machine& m);  // FILES cassettewr
void saveQuickTypeName(Machine& m);    // FILES quicktype
void saveScreenshotNumber(Machine& m); // FILES nscreenshot
void saveRecentFiles(Machine& m);      // RECENT file1-file8 from m.media.recentFiles
