#include "config/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Joins pieces with one allocation. (Chains of operator+ on temporaries make GCC 12
// at -O2 report a false -Wrestrict overlap inside std::string.)
std::string concat(std::initializer_list<std::string_view> pieces) {
    size_t size = 0;
    for (std::string_view p : pieces) size += p.size();
    std::string out;
    out.reserve(size);
    for (std::string_view p : pieces) out.append(p);
    return out;
}

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
    return concat({"\"", value, "\""});
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
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (contents.substr(0, bom.size()) == bom) {
        ini.byteOrderMark = true;
        contents.remove_prefix(bom.size());
    }
    size_t pos = 0;
    bool first = true;
    while (pos < contents.size()) {
        // A line ends at LF, CR LF or a CR alone.
        size_t end = contents.find_first_of("\r\n", pos);
        size_t next = contents.size();
        std::string_view ending;
        if (end == std::string_view::npos) {
            end = contents.size();
        } else {
            const size_t length = contents[end] == '\r' && end + 1 < contents.size() && contents[end + 1] == '\n' ? 2 : 1;
            ending = contents.substr(end, length);
            next = end + length;
        }
        if (first && !ending.empty()) {
            ini.newline = std::string(ending);
            first = false;
        }
        ini.lines.push_back(parseLine(std::string(contents.substr(pos, end - pos))));
        pos = next;
    }
    return ini;
}

std::string formatIni(const IniFile& ini) {
    std::string out = ini.byteOrderMark ? "\xEF\xBB\xBF" : "";
    for (const IniLine& line : ini.lines) {
        out += line.text;
        out += ini.newline;
    }
    return out;
}

bool looksLikeIniText(std::string_view contents) {
    if (contents.substr(0, 2) == "\xFF\xFE" || contents.substr(0, 2) == "\xFE\xFF") return false;
    // UTF-16 without a mark has a NUL in every other byte, binary files about one byte in
    // eight below 0x20; a text file with a stray binary line has far fewer.
    const std::string_view sample = contents.substr(0, 4096);
    size_t control = 0;
    for (char c : sample) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || u == 0x7F) ++control;
    }
    return control * 16 <= sample.size();
}

std::optional<IniFile> readIniFile(const fs::path& file, IniProblem* problem) {
    IniProblem ignored;
    IniProblem& result = problem ? *problem : ignored;
    result = IniProblem::None;
    std::error_code ec;
    if (!fs::exists(file, ec) && !ec) return IniFile{};
    // Only regular files: a pipe or a device would block or never end.
    if (ec || !fs::is_regular_file(file, ec)) {
        result = IniProblem::Unreadable;
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream contents;
    if (in) contents << in.rdbuf();
    if (!in || in.bad()) {
        result = IniProblem::Unreadable;
        return std::nullopt;
    }
    const std::string text = contents.str();
    if (!looksLikeIniText(text)) {
        result = IniProblem::NotText;
        return std::nullopt;
    }
    return parseIni(text);
}

namespace {

// A temporary file "<name>.XXXXXX" of ours that no running writer holds: its writer
// was killed before the rename. Only regular files owned by this user are touched.
void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".";
    std::error_code ec;
    for (fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        bool ours = true;
        for (size_t i = prefix.size(); i < name.size(); ++i) {
            const char c = name[i];
            ours = ours && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        }
        if (!ours) continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// Creates and locks a fresh temporary beside target; -1 on failure.
int createLockedTemporary(const fs::path& target, std::string& temp) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        temp = target.string() + ".XXXXXX";
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        struct stat st;
        // Another writer's clean-up may have taken it between creation and locking.
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    return -1;
}

bool rewriteInPlace(const fs::path& target, const std::string& data) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

}  // namespace

bool writeIniFile(const fs::path& file, const IniFile& ini, IniProblem* problem) {
    IniProblem ignored;
    IniProblem& result = problem ? *problem : ignored;
    result = IniProblem::WriteFailed;
    std::error_code ec;
    fs::path target = file;
    if (fs::is_symlink(file, ec)) {  // replace the file the link points to, keep the link
        target = fs::canonical(file, ec);
        if (ec) return false;
    }
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        result = S_ISREG(old.st_mode) ? IniProblem::ReadOnly : IniProblem::WriteFailed;
        return false;
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : 0644;
    const std::string data = formatIni(ini);

    removeStaleTemporaries(target);
    std::string temp;
    const int fd = createLockedTemporary(target, temp);
    if (fd < 0) return false;
    bool ok = writeAll(fd, data) && ::fchmod(fd, mode) == 0;
    bool sameOwner = true;
    if (ok && exists && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        struct stat now;
        sameOwner = ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid;
    }
    ok = ok && ::fsync(fd) == 0;
    if (ok && !sameOwner) {
        // Replacing the file would hand it to this user: rewrite it where it is.
        ::unlink(temp.c_str());
        ::close(fd);
        if (!rewriteInPlace(target, data)) return false;
        result = IniProblem::None;
        return true;
    }
    // The rename happens while the lock is held, so no clean-up can take the file first.
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        ::close(fd);
        return false;
    }
    ::close(fd);
    result = IniProblem::None;
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
    IniLine entry = parseLine(concat({key, "=", quoteIfNeeded(value)}));
    const size_t header = findSection(ini, lower(section));
    if (header == std::string::npos) {
        if (!ini.lines.empty() && !trim(ini.lines.back().text).empty()) ini.lines.push_back(parseLine(""));
        ini.lines.push_back(parseLine(concat({"[", section, "]"})));
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
