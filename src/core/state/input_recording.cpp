// Input recordings: the text form, and the two keyboards that write and play them.
#include "state/input_recording.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "machine.h"
#include "machine/file_handle.h"

namespace {

constexpr char firstLine[] = "tovrin input recording 1";
constexpr uint64_t maxFrames = 1ull << 40;

bool parseNumber(const std::string& word, uint64_t& out, int base) {
    if (word.empty() || word[0] == '-' || word[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(word.c_str(), &end, base);
    if (errno != 0 || *end != '\0') return false;
    out = v;
    return true;
}

}  // namespace

std::string formatInputRecording(const InputRecording& r) {
    std::string text = std::string(firstLine) + "\n# frame, down or up, virtual-key code\n";
    char line[64];
    for (const KeyEvent& e : r.events) {
        std::snprintf(line, sizeof line, "%llu %s 0x%02X\n", static_cast<unsigned long long>(e.frame),
                      e.down ? "down" : "up", e.key);
        text += line;
    }
    text += "end " + std::to_string(r.frames) + "\n";
    return text;
}

bool parseInputRecording(const std::string& text, InputRecording& out, std::string& why) {
    std::istringstream in(text);
    std::string line;
    InputRecording r;
    bool header = false, ended = false;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!header) {
            if (line != firstLine) {
                why = "The file is not a tovrin input recording.";
                return false;
            }
            header = true;
            continue;
        }
        if (ended) {
            why = where + "text after \"end\".";
            return false;
        }
        std::istringstream words(line);
        std::string a, b, c, extra;
        words >> a >> b >> c >> extra;
        uint64_t frame = 0, key = 0;
        if (a == "end" && c.empty()) {
            if (!parseNumber(b, frame, 10) || frame > maxFrames) {
                why = where + "\"end\" needs a number of frames.";
                return false;
            }
            if (!r.events.empty() && r.events.back().frame > frame) {
                why = where + "the recording ends before its last event.";
                return false;
            }
            r.frames = frame;
            ended = true;
            continue;
        }
        if (!extra.empty() || !parseNumber(a, frame, 10) || frame > maxFrames || (b != "down" && b != "up") ||
            !parseNumber(c, key, 0) || key > 0xFF) {
            why = where + "expected \"<frame> down|up <key>\".";
            return false;
        }
        if (!r.events.empty() && r.events.back().frame > frame) {
            why = where + "the events are not in frame order.";
            return false;
        }
        r.events.push_back({frame, static_cast<uint8_t>(key), b == "down"});
    }
    if (!header) {
        why = "The file is not a tovrin input recording.";
        return false;
    }
    if (!ended) {
        why = "The recording has no \"end\" line: it is incomplete.";
        return false;
    }
    out = std::move(r);
    return true;
}

bool writeInputRecordingFile(const std::filesystem::path& file, const InputRecording& r, std::string& why) {
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    const std::string text = formatInputRecording(r);
    f.write(text.data(), static_cast<std::streamsize>(text.size()));
    f.close();
    if (f) return true;
    why = "Cannot write the input recording " + file.string() + ".";
    return false;
}

bool readInputRecordingFile(const std::filesystem::path& file, InputRecording& out, std::string& why) {
    // Only a regular file: a named pipe would block the open, and the window with it.
    FileHandle f = openInputFile(file.string());
    std::string text;
    char buffer[4096];
    for (size_t n; f && (n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0;) text.append(buffer, n);
    if (!f || std::ferror(f.get())) {
        why = "Cannot read the input recording " + file.string() + ".";
        return false;
    }
    return parseInputRecording(text, out, why);
}

// ---- recording -------------------------------------------------------------------------

uint64_t RecordingKeyboard::frameNow() const {
    // A frame scans the keyboard before it is counted: the scan ending frame n sees n - 1.
    return atStart_ ? 0 : m_.scheduler.framesRun - startFrame_ + 1;
}

void RecordingKeyboard::start(Machine& m) {
    recording = {};
    std::memset(last_, 0, sizeof last_);
    startFrame_ = m.scheduler.framesRun;
    started_ = true;
    atStart_ = true;
    scanHostKeyboard(m);
    atStart_ = false;
}

void RecordingKeyboard::finish() {
    if (started_) recording.frames = m_.scheduler.framesRun - startFrame_;
}

void RecordingKeyboard::readState(uint8_t state[256]) {
    if (inner_) inner_->readState(state);
    else std::memset(state, 0, 256);
    if (!started_) return;
    const uint64_t frame = frameNow();
    for (int k = 0; k < 256; ++k) {
        const bool now = (state[k] & 0x80) != 0, before = (last_[k] & 0x80) != 0;
        if (now != before) recording.events.push_back({frame, static_cast<uint8_t>(k), now});
        last_[k] = state[k] & 0x80;
        state[k] = last_[k];  // what is replayed is exactly what the machine sees
    }
}

uint8_t RecordingKeyboard::keyForCharacter(char c) {
    return inner_ ? inner_->keyForCharacter(c) : usLayoutKeyForCharacter(c);
}

// ---- playback --------------------------------------------------------------------------

void ReplayKeyboard::start(Machine& m) {
    std::memset(state_, 0, sizeof state_);
    next_ = 0;
    startFrame_ = m.scheduler.framesRun;
    atStart_ = true;
    scanHostKeyboard(m);
    atStart_ = false;
}

bool ReplayKeyboard::finished() const { return m_.scheduler.framesRun - startFrame_ >= recording.frames; }

void ReplayKeyboard::readState(uint8_t state[256]) {
    const uint64_t frame = atStart_ ? 0 : m_.scheduler.framesRun - startFrame_ + 1;
    while (next_ < recording.events.size() && recording.events[next_].frame <= frame) {
        const KeyEvent& e = recording.events[next_++];
        state_[e.key] = e.down ? 0x80 : 0;
    }
    std::memcpy(state, state_, 256);
}
