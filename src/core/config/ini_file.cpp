#include "config/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

IniLine parseLine(std::string text) {
    IniLine line;
    std::string_view t = trim(text);
    const size_t close = t.find(']');
    if (!t.empty() && t.front() == '[' && close != std::string_view::npos) {
        line.section = true;
        line.name = lower(trim(t.substr(1, close - 1)));
    } else if (!t.empty() && t.front() != ';') {
        const size_t eq = t.find('=');
        if (eq != std::string_view::npos) line.name = lower(trim(t.substr(0, eq)));
    }
    line.text = std::move(text);
    return line;
}

// Index of the first line of the section (its header), or npos.
size_t findSection(const IniFile& ini, const std::string& section) {
    for (size_t i = 0; i < ini.lines.size(); ++i)
        if (ini.lines[i].section && ini.lines[i].name == section) return i;
    return std::string::npos;
}

// Index of the key's line in the section starting at header, or npos.
size_t findKey(const IniFile& ini, size_t header, const std::string& key) {
    for (size_t i = header + 1; i < ini.lines.size() && !ini.lines[i].section; ++i)
        if (ini.lines[i].name == key) return i;
    return std::string::npos;
}

// Values that would lose characters to the read rules (outer spaces, outer quotes) are
// written in quotes, which the reader removes again.
std::string quoteIfNeeded(std::string_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (value.empty() || (!quoted && trim(value).size() == value.size())) return std::string(value);
    return "\"" + std::string(value) + "\"";
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

IniFile parseIni(std::string_view contents) {
    IniFile ini;
    size_t pos = 0;
    bool first = true;
    while (pos < contents.size()) {
        size_t end = contents.find('\n', pos);
        const bool terminated = end != std::string_view::npos;
        if (!terminated) end = contents.size();
        std::string_view text = contents.substr(pos, end - pos);
        if (terminated && !text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
            if (first) ini.newline = "\r\n";
        }
        first = false;
        ini.lines.push_back(parseLine(std::string(text)));
        pos = end + 1;
    }
    return ini;
}

std::string formatIni(const IniFile& ini) {
    std::string out;
    for (const IniLine& line : ini.lines) out += line.text + ini.newline;
    return out;
}

std::optional<IniFile> readIniFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return ec ? std::nullopt : std::optional<IniFile>(IniFile{});
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return parseIni(contents.str());
}

bool writeIniFile(const fs::path& file, const IniFile& ini) {
    std::error_code ec;
    fs::path target = file;
    if (fs::is_symlink(file, ec)) {  // replace the file the link points to, keep the link
        target = fs::canonical(file, ec);
        if (ec) return false;
    }
    mode_t mode = 0644;
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;

    std::string temp = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    const bool ok = writeAll(fd, formatIni(ini)) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> iniValue(const IniFile& ini, std::string_view section, std::string_view key) {
    const size_t header = findSection(ini, lower(section));
    if (header == std::string::npos) return std::nullopt;
    const size_t at = findKey(ini, header, lower(key));
    if (at == std::string::npos) return std::nullopt;
    const std::string& text = ini.lines[at].text;
    std::string_view value = trim(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool setIniValue(IniFile& ini, std::string_view section, std::string_view key, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    IniLine entry = parseLine(std::string(key) + "=" + quoteIfNeeded(value));
    const size_t header = findSection(ini, lower(section));
    if (header == std::string::npos) {
        if (!ini.lines.empty() && !trim(ini.lines.back().text).empty()) ini.lines.push_back(parseLine(""));
        ini.lines.push_back(parseLine("[" + std::string(section) + "]"));
        ini.lines.push_back(std::move(entry));
        return true;
    }
    const size_t at = findKey(ini, header, entry.name);
    if (at != std::string::npos) {
        ini.lines[at] = std::move(entry);
        return true;
    }
    // After the section's last non-blank line, before the blank lines that separate it
    // from the next section.
    size_t insert = header + 1;
    for (size_t i = header + 1; i < ini.lines.size() && !ini.lines[i].section; ++i)
        if (!trim(ini.lines[i].text).empty()) insert = i + 1;
    ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(insert), std::move(entry));
    return true;
}
