// IniFile: a private-profile (INI) text file held in memory, with the Windows lookup
// rules: "[section]" lines open sections, "key=value" lines hold values, section and key
// names match without regard to case, the first matching section and key win, spaces
// around names and values are dropped and one pair of quotes around a value is removed.
// Lines that are none of these (comments, garbage, binary bytes) are kept as they are.
// Lines may end in LF, CR LF or CR alone; a UTF-8 byte-order mark is skipped (and kept).
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
    std::string newline = "\n";  // the file's line ending ("\r\n" or "\r" kept for files that use it)
    bool byteOrderMark = false;  // the file began with a UTF-8 byte-order mark
};

// Why a settings file was not read or not written.
enum class IniProblem {
    None,
    Unreadable,  // exists but cannot be read
    NotText,     // UTF-16 or binary contents: nothing in it can be a setting
    ReadOnly,    // exists and may not be written: left as it is
    WriteFailed, // the temporary file or the rename failed; the old file is untouched
};

// True when contents look like text a settings file can hold: no UTF-16 byte-order
// mark, and only a few control characters (stray binary lines are tolerated).
bool looksLikeIniText(std::string_view contents);

// Splits file contents into lines and parses them.
IniFile parseIni(std::string_view contents);
std::string formatIni(const IniFile& ini);

// A missing file reads as an empty one; nullopt when the file exists but cannot be read
// or is not text (so that a save does not replace contents it never understood).
std::optional<IniFile> readIniFile(const std::filesystem::path& file, IniProblem* problem = nullptr);

// Writes the whole file through a temporary file "<name>.XXXXXX" in the same directory,
// flushed to disk and renamed over the old one, so a crash leaves either the old or the
// new file. The replacement keeps the old file's mode, owner and group; when the owner
// cannot be kept the file is rewritten in place instead. A file without write permission
// is left alone (ReadOnly). Temporaries left by an earlier writer that was killed are
// removed first: each writer holds a lock on its temporary while it exists.
// False (old file untouched) on any failure.
bool writeIniFile(const std::filesystem::path& file, const IniFile& ini, IniProblem* problem = nullptr);

// The value of key in section, or nullopt when there is no such key.
std::optional<std::string> iniValue(const IniFile& ini, std::string_view section, std::string_view key);

// Creates or replaces one key, creating the section at the end of the file if needed;
// every other line stays as it is. A value containing a line break is not written (it
// could not be read back and would break the file); returns false then.
bool setIniValue(IniFile& ini, std::string_view section, std::string_view key, std::string_view value);
