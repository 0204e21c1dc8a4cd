#include "config/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

#include "machine.h"

namespace fs = std::filesystem;

namespace {

// Longest text value taken from the file. File names longer than the old 255-character
// limit are read whole rather than cut short into the name of some other file.
constexpr size_t maxTextLength = 4095;

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// A decimal integer at the start of the value: optional sign, then digits; what follows
// the digits is ignored. nullopt when there are no digits. Saturates far beyond 32 bits.
std::optional<int64_t> parseDecimal(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) v = std::min<int64_t>(v * 10 + (s[i] - '0'), int64_t{1} << 40);
    return negative ? -v : v;
}

std::optional<int64_t> readNumber(const IniFile& ini, std::string_view section, std::string_view key) {
    const std::optional<std::string> v = iniValue(ini, section, key);
    return v ? parseDecimal(*v) : std::nullopt;
}

template <class T>
void readBounded(const IniFile& ini, T& field, std::string_view section, std::string_view key, int64_t min, int64_t max) {
    if (const std::optional<int64_t> v = readNumber(ini, section, key)) field = static_cast<T>(std::clamp(*v, min, max));
}

std::string hexKey(char letter, int index) {
    char key[8];
    std::snprintf(key, sizeof key, "%c%02x", letter, index & 0xFF);
    return key;
}

// Reads the settings file once, lets edit change keys, writes it once. Does nothing when
// there is no settings file path, or when the existing file cannot be read.
template <class Edit>
void updateSettingsFile(Machine& m, Edit&& edit) {
    if (m.iniPath.empty()) return;
    std::optional<IniFile> ini = readIniFile(m.iniPath);
    if (!ini) return;
    edit(*ini, m.settings);
    if (!writeIniFile(m.iniPath, *ini)) m.settingsWriteFailed = true;
}

}  // namespace

void readFlag(const IniFile& ini, uint8_t& field, std::string_view section, std::string_view key) {
    const std::optional<std::string> v = iniValue(ini, section, key);
    if (!v) return;
    for (const char* word : {"1", "on", "true", "yes", "y"})
        if (equalsNoCase(*v, word)) field = 1;
    for (const char* word : {"0", "off", "false", "no", "n"})
        if (equalsNoCase(*v, word)) field = 0;
}

void readInt(const IniFile& ini, int32_t& field, std::string_view section, std::string_view key) {
    readBounded(ini, field, section, key, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

void readIntClamped(const IniFile& ini, int32_t& field, std::string_view section, std::string_view key, int32_t min,
                    int32_t max) {
    readBounded(ini, field, section, key, min, max);
}

void readIntClamped(const IniFile& ini, int8_t& field, std::string_view section, std::string_view key, int8_t min,
                    int8_t max) {
    readBounded(ini, field, section, key, min, max);
}

void readIntClamped(const IniFile& ini, uint32_t& field, std::string_view section, std::string_view key, uint32_t min,
                    uint32_t max) {
    readBounded(ini, field, section, key, min, max);
}

void readString(const IniFile& ini, std::string& field, std::string_view section, std::string_view key) {
    std::optional<std::string> v = iniValue(ini, section, key);
    if (v && v->size() <= maxTextLength) field = std::move(*v);
}

void readColour(const IniFile& ini, Rgb& slot, int slotNumber) {
    const std::optional<std::string> v = iniValue(ini, "COLOR", hexKey('c', slotNumber));
    if (!v || v->size() != 9 || !std::all_of(v->begin(), v->end(), [](char c) { return c >= '0' && c <= '9'; })) return;
    auto group = [&](int i) { return static_cast<uint8_t>(std::stoi(v->substr(i * 3, 3)) & 0xFF); };
    slot = {group(0), group(1), group(2)};
}

void readKeyTable(const IniFile& ini, char letter, KeyTable& table) {
    for (int i = 0; i < 256; ++i)
        if (const std::optional<int64_t> v = readNumber(ini, "KEYBOARD", hexKey(letter, i)))
            table[i] = static_cast<uint8_t>(*v & 0xFF);
}

void writeFlag(IniFile& ini, uint8_t value, std::string_view section, std::string_view key) {
    setIniValue(ini, section, key, value ? "1" : "0");
}

void writeInt(IniFile& ini, int64_t value, std::string_view section, std::string_view key) {
    setIniValue(ini, section, key, std::to_string(value));
}

void writeString(IniFile& ini, const std::string& value, std::string_view section, std::string_view key) {
    setIniValue(ini, section, key, value);
}

void writeColour(IniFile& ini, const Rgb& slot, int slotNumber) {
    char value[16];
    std::snprintf(value, sizeof value, "%03d%03d%03d", slot.r, slot.g, slot.b);
    setIniValue(ini, "COLOR", hexKey('c', slotNumber), value);
}

void writeKeyTable(IniFile& ini, char letter, const KeyTable& table) {
    for (int i = 0; i < 256; ++i) setIniValue(ini, "KEYBOARD", hexKey(letter, i), std::to_string(table[i]));
}

fs::path locateIniFile(const fs::path& dir) {
    const IniFile pointer = readIniFile(dir / "TOVRIN.INI").value_or(IniFile{});
    std::string name = iniValue(pointer, "CONFIG", "ini").value_or("foo.ini");
    if (name.empty()) name = "foo.ini";
    return dir / fs::path(name).relative_path();  // appended to the directory, even if it looks absolute
}

void loadSettings(Machine& m) {
    const IniFile ini = m.iniPath.empty() ? IniFile{} : readIniFile(m.iniPath).value_or(IniFile{});
    Settings& s = m.settings;

    readFlag(ini, s.enhancedflag, "MEMORY", "enhancedflag");
    readFlag(ini, s.expanderflag, "MEMORY", "expanderflag");
    readFlag(ini, s.RAMatC000flag, "MEMORY", "RAMatC000flag");
    readFlag(ini, s.writeROMflag, "MEMORY", "writeROMflag");
    readFlag(ini, s.usebuiltinromflag, "MEMORY", "usebuiltinromflag");
    readFlag(ini, s.usebuiltincharflag, "MEMORY", "usebuiltincharflag");
    readFlag(ini, s.usebuiltincharxflag, "MEMORY", "usebuiltincharxflag");
    readString(ini, s.ROMfilename, "MEMORY", "ROMfilename");
    readString(ini, s.CHARfilename, "MEMORY", "CHARfilename");
    readString(ini, s.CHARXfilename, "MEMORY", "CHARXfilename");
    loadRomImages(m);  // also rebuilds the decoder's page maps for the memory options

    readFlag(ini, s.autolinefeedflag, "PRINTER", "autolinefeedflag");
    readFlag(ini, s.fixedwidthflag, "PRINTER", "fixedwidthflag");
    readInt(ini, s.width, "PRINTER", "width");
    readString(ini, s.filename, "PRINTER", "filename");

    readFlag(ini, s.emulatedflag, "KEYBOARD", "emulatedflag");
    readFlag(ini, s.qtuselowerflag, "KEYBOARD", "qtuselowerflag");
    readKeyTable(ini, 'n', s.keyNormal);
    readKeyTable(ini, 's', s.keyShift);
    readKeyTable(ini, 'c', s.keyCtrl);

    readIntClamped(ini, s.windowscaling, "VIDEO", "windowscaling", 1, 3);
    for (int slot = 0; slot < colourSlotCount; ++slot) readColour(ini, s.colours[slot], slot);

    readFlag(ini, s.clickerflag, "SOUND", "clickerflag");
    readIntClamped(ini, s.clickervolpct, "SOUND", "clickervolpct", 0, 100);

    readString(ini, s.cassette, "FILES", "cassette");
    readString(ini, s.quicktype, "FILES", "quicktype");
    readString(ini, s.cassettewr, "FILES", "cassettewr");
    readIntClamped(ini, s.nscreenshot, "FILES", "nscreenshot", 0, 9999);

    readFlag(ini, s.execaddrishex, "LOADBINARY", "execaddrishex");
    readFlag(ini, s.loadaddrishex, "LOADBINARY", "loadaddrishex");
    readFlag(ini, s.pokeexecaddr, "LOADBINARY", "pokeexecaddr");
    readIntClamped(ini, s.bloadaddr, "LOADBINARY", "bloadaddr", 0, 65535);
    readIntClamped(ini, s.bexecaddr, "LOADBINARY", "bexecaddr", 0, 65535);
    readString(ini, s.bloadfilename, "LOADBINARY", "bloadfilename");

    readIntClamped(ini, s.cpuspeedopt, "SPEED", "cpuspeedopt", 0, 3);
    readIntClamped(ini, s.ntscmultiplierpct, "SPEED", "ntscmultiplierpct", 1, 1000);
    readIntClamped(ini, s.palmultiplierpct, "SPEED", "palmultiplierpct", 1, 1000);
    readIntClamped(ini, s.activescancust, "SPEED", "activescancust", 24, std::numeric_limits<uint32_t>::max());
    readIntClamped(ini, s.vblankcust, "SPEED", "vblankcust", 24, std::numeric_limits<uint32_t>::max());
    readIntClamped(ini, s.fpscust, "SPEED", "fpscust", 1, 600);
    readFlag(ini, s.usevideoupdatepsflag, "SPEED", "usevideoupdatepsflag");
    readIntClamped(ini, s.videoupdatesps, "SPEED", "videoupdatesps", 1, 600);
    readFlag(ini, s.speedupfilesflag, "SPEED", "speedupfilesflag");

    // RECENT: file1 (newest) to file8, kept by the media commands.
    m.media.recentFiles.clear();
    for (size_t i = 1; i <= recentFileCount; ++i)
        if (auto v = iniValue(ini, "RECENT", "file" + std::to_string(i)); v && !v->empty())
            m.media.recentFiles.push_back(*v);
}

void saveMemorySection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeFlag(ini, s.enhancedflag, "MEMORY", "enhancedflag");
        writeFlag(ini, s.expanderflag, "MEMORY", "expanderflag");
        writeFlag(ini, s.RAMatC000flag, "MEMORY", "RAMatC000flag");
        writeFlag(ini, s.writeROMflag, "MEMORY", "writeROMflag");
        writeString(ini, s.ROMfilename, "MEMORY", "ROMfilename");
        writeString(ini, s.CHARfilename, "MEMORY", "CHARfilename");
        writeString(ini, s.CHARXfilename, "MEMORY", "CHARXfilename");
        writeFlag(ini, s.usebuiltinromflag, "MEMORY", "usebuiltinromflag");
        writeFlag(ini, s.usebuiltincharflag, "MEMORY", "usebuiltincharflag");
        writeFlag(ini, s.usebuiltincharxflag, "MEMORY", "usebuiltincharxflag");
    });
}

void savePrinterSection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeFlag(ini, s.autolinefeedflag, "PRINTER", "autolinefeedflag");
        writeFlag(ini, s.fixedwidthflag, "PRINTER", "fixedwidthflag");
        writeInt(ini, s.width, "PRINTER", "width");
        writeString(ini, s.filename, "PRINTER", "filename");
    });
}

void saveSoundSection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeFlag(ini, s.clickerflag, "SOUND", "clickerflag");
        writeInt(ini, s.clickervolpct, "SOUND", "clickervolpct");
    });
}

void saveSpeedSection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeInt(ini, s.cpuspeedopt, "SPEED", "cpuspeedopt");
        writeInt(ini, s.ntscmultiplierpct, "SPEED", "ntscmultiplierpct");
        writeInt(ini, s.palmultiplierpct, "SPEED", "palmultiplierpct");
        writeInt(ini, s.activescancust, "SPEED", "activescancust");
        writeInt(ini, s.vblankcust, "SPEED", "vblankcust");
        writeInt(ini, s.fpscust, "SPEED", "fpscust");
        writeFlag(ini, s.usevideoupdatepsflag, "SPEED", "usevideoupdatepsflag");
        writeInt(ini, s.videoupdatesps, "SPEED", "videoupdatesps");
        writeFlag(ini, s.speedupfilesflag, "SPEED", "speedupfilesflag");
    });
}

void saveVideoSection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeInt(ini, s.windowscaling, "VIDEO", "windowscaling");
        for (int slot = 0; slot < colourSlotCount; ++slot) writeColour(ini, s.colours[slot], slot);
    });
}

void saveKeyboardSection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeFlag(ini, s.emulatedflag, "KEYBOARD", "emulatedflag");
        writeFlag(ini, s.qtuselowerflag, "KEYBOARD", "qtuselowerflag");
        writeKeyTable(ini, 'n', s.keyNormal);
        writeKeyTable(ini, 's', s.keyShift);
        writeKeyTable(ini, 'c', s.keyCtrl);
    });
}

void saveLoadBinarySection(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) {
        writeFlag(ini, s.execaddrishex, "LOADBINARY", "execaddrishex");
        writeFlag(ini, s.loadaddrishex, "LOADBINARY", "loadaddrishex");
        writeFlag(ini, s.pokeexecaddr, "LOADBINARY", "pokeexecaddr");
        writeInt(ini, s.bloadaddr, "LOADBINARY", "bloadaddr");
        writeInt(ini, s.bexecaddr, "LOADBINARY", "bexecaddr");
        writeString(ini, s.bloadfilename, "LOADBINARY", "bloadfilename");
    });
}

void saveCassetteName(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) { writeString(ini, s.cassette, "FILES", "cassette"); });
}

void saveCassetteOutName(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) { writeString(ini, s.cassettewr, "FILES", "cassettewr"); });
}

void saveQuickTypeName(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) { writeString(ini, s.quicktype, "FILES", "quicktype"); });
}

void saveScreenshotNumber(Machine& m) {
    updateSettingsFile(m, [](IniFile& ini, const Settings& s) { writeInt(ini, s.nscreenshot, "FILES", "nscreenshot"); });
}

void saveRecentFiles(Machine& m) {
    const std::vector<std::string> files = m.media.recentFiles;
    updateSettingsFile(m, [&files](IniFile& ini, const Settings&) {
        for (size_t i = 1; i <= recentFileCount; ++i)
            writeString(ini, i <= files.size() ? files[i - 1] : std::string(), "RECENT", "file" + std::to_string(i));
    });
}
