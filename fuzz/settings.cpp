// Fuzz target: a settings file read at start-up, then every section saved back (the
// keyboard tables, 768 keys, for one input in four, to keep it fast). What the savers
// write reads back as the same settings, and every line they did not replace
// (comments, unknown keys and sections, garbage) is still in the file, in order.
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string_view>

#include "config/settings_file.h"
#include "fuzz_support.h"
#include "machine.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A bare CR ending the last line becomes part of the line break the save adds.
bool sameLine(std::string_view a, std::string_view b) {
    if (!a.empty() && a.back() == '\r') a.remove_suffix(1);
    if (!b.empty() && b.back() == '\r') b.remove_suffix(1);
    return a == b;
}

void saveAll(Machine& m, bool keyboard = true) {
    if (keyboard) saveKeyboardSection(m);  // 768 keys: the slow one
    saveMemorySection(m);
    savePrinterSection(m);
    saveSoundSection(m);
    saveSpeedSection(m);
    saveVideoSection(m);
    saveLoadBinarySection(m);
    saveCassetteName(m);
    saveCassetteOutName(m);
    saveQuickTypeName(m);
    saveScreenshotNumber(m);
}

using Key = std::pair<std::string, std::string>;  // lower-case section and key

// The keys the savers write, found by saving the defaults into an empty file.
std::set<Key> savedKeys(const FuzzScratch& scratch) {
    auto m = std::make_unique<Machine>();
    m->iniPath = scratch.write("keys.ini", nullptr, 0);
    saveAll(*m);
    std::set<Key> keys;
    std::string section;
    for (const IniLine& line : parseIni(readAll(m->iniPath.string())).lines) {
        if (line.section) section = line.name;
        else if (!line.name.empty()) keys.insert({section, line.name});
    }
    return keys;
}

// Indexes of the lines a saver may replace: the first line of each key it writes, in
// the first section of that name (the lookup rule of the reader).
std::set<size_t> replaceableLines(const IniFile& ini, const std::set<Key>& saved) {
    std::set<size_t> out;
    std::set<std::string> seenSections;
    std::set<Key> seenKeys;
    std::string section;
    bool first = false;
    for (size_t i = 0; i < ini.lines.size(); ++i) {
        const IniLine& line = ini.lines[i];
        if (line.section) {
            section = line.name;
            first = seenSections.insert(section).second;
        } else if (first && saved.count({section, line.name}) && seenKeys.insert({section, line.name}).second) {
            out.insert(i);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzScratch scratch;
    static const std::set<Key> saved = savedKeys(scratch);
    const std::string path = scratch.write("foo.ini", data, size);

    auto m = std::make_unique<Machine>();
    FuzzHost host;
    m->host.messages = &host;
    m->host.debug = &host;
    m->iniPath = path;
    loadSettings(*m);
    const Settings loaded = m->settings;

    saveAll(*m, size % 4 == 0);

    auto again = std::make_unique<Machine>();
    again->host.messages = &host;
    again->host.debug = &host;
    again->iniPath = path;
    loadSettings(*again);
    FUZZ_CHECK(again->settings == loaded);

    const std::string before(reinterpret_cast<const char*>(data), size);
    const IniFile oldIni = parseIni(before), newIni = parseIni(readAll(path));
    const std::set<size_t> replaceable = replaceableLines(oldIni, saved);
    size_t at = 0;
    for (size_t i = 0; i < oldIni.lines.size(); ++i) {
        if (replaceable.count(i)) continue;
        while (at < newIni.lines.size() && !sameLine(newIni.lines[at].text, oldIni.lines[i].text)) ++at;
        FUZZ_CHECK(at < newIni.lines.size());  // line i was lost or moved
        ++at;
    }
    return 0;
}
