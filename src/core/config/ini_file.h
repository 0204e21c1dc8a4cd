// IniFile: a private-profile (INI) text file held in memory, with the Windows lookup
// rules: "[section]" lines open sections, "key=value" lines hold values, section and key
// names match without regard to case, the first matching section and key win, spaces
// around names and values are dropped and one pair of quotes around a value is removed.
// Lines that are none of these (comments, garbage, binary bytes) are kept as they are.
//
//   IniFile ini = readIniFile("foo.ini").value_or(IniFile{});
//   std::optional<std::string> v = iniValue(ini, "SOUND", "clickerflag");
//   setIniValue(ini, "SOUND", "clickervolpct", "75");   // create or replace one key
//   writeIniFile("foo.ini", ini);                        // temporary file + rename
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct IniLine {
    std::string text;     // the line as in the file, without its line ending
    std::string name;     // lower-case section name or key; empty for other lines
    bool section = false;
};

struct IniFile {
    std::vector<IniLine> lines;
    std::string newline = "\n";  // the file's line ending ("\r\n" kept for files that use it)
};

// Splits file contents into lines and parses them.
IniFile parseIni(std::string_view contents);
std::string formatIni(const IniFile& ini);

// A missing file reads as an empty one; nullopt when the file exists but cannot be read
// (so that a save does not replace contents it never saw).
std::optional<IniFile> readIniFile(const std::filesystem::path& file);

// Writes the whole file through a temporary file in the same directory, flushed to disk
// and renamed over the old one, so a crash leaves either the old or the new file.
// False (old file untouched) on any failure.
bool writeIniFile(const std::filesystem::path& file, const IniFile& ini);

// The value of key in section, or nullopt when there is no such key.
std::optional<std::string> iniValue(const IniFile& ini, std::string_view section, std::string_view key);

// Creates or replaces one key, creating the section at the end of the file if needed;
// every other line stays as it is. A value containing a line break is not written (it
// could not be read back and would break the file); returns false then.
bool setIniValue(IniFile& ini, std::string_view section, std::string_view key, std::string_view value);
