// What the machine core needs from the platform. The GUI, the CLI and the tests each
// provide their own implementations; Host holds non-owning pointers to them and
// falls back to quiet defaults (no clock ticks, every chooser cancelled, messages
// and debug output dropped, no keys held, no sound device) for any left null.
//
//   Host host;                    // all defaults
//   host.messages = &myBoxes;     // route message boxes to a recorder
//   machine.host = host;
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Millisecond clock that wraps at 2^32, plus an optional high-resolution counter.
struct HostClock {
    virtual ~HostClock() = default;
    virtual uint32_t milliseconds() = 0;
    // false: there is no high-resolution counter.
    virtual bool counterFrequency(int64_t& ticksPerSecond) = 0;
    // false: this read failed (the next one may succeed).
    virtual bool readCounter(int64_t& now) = 0;
};

struct FileFilter {
    std::string description;  // "MC-10 Cassette Files (*.C10)"
    std::string pattern;      // "*.c10", several joined by ';'
};

enum class ChooseMode {
    Open,             // the file must exist
    Save,             // no question when the file exists
    SaveAskOverwrite  // ask before replacing an existing file
};

struct FileChooser {
    virtual ~FileChooser() = default;
    // path: in, the proposed file; out, the chosen one (only when true is returned).
    // selectedFilter: out, the 1-based index of the filter in use when confirmed.
    virtual bool chooseFile(std::string& path, const std::vector<FileFilter>& filters,
                            const std::string& defaultExtension, ChooseMode mode,
                            int* selectedFilter) = 0;
};

enum class MessageIcon { None, Exclamation };

struct MessageBoxes {
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

struct DebugLog {
    virtual ~DebugLog() = default;
    virtual void write(const std::string& text) = 0;
};

// The host keyboard as Windows virtual-key codes: bit 7 of a byte = key held.
struct HostKeyboard {
    virtual ~HostKeyboard() = default;
    virtual void readState(uint8_t state[256]) = 0;
    // Virtual-key code that types character c on the host layout (0xFF: none).
    virtual uint8_t keyForCharacter(char c) = 0;
};

struct SoundDevice;  // sound/sound_device.h

struct Host {
    HostClock* clock = nullptr;
    FileChooser* files = nullptr;
    MessageBoxes* messages = nullptr;
    DebugLog* debug = nullptr;
    HostKeyboard* keyboard = nullptr;
    SoundDevice* sound = nullptr;
};

// Helpers that apply the quiet defaults.
bool hostChooseFile(const Host& host, std::string& path, const std::vector<FileFilter>& filters,
                    const std::string& defaultExtension, ChooseMode mode, int* selectedFilter = nullptr);
void hostMessage(const Host& host, const std::string& text, const std::string& title,
                 MessageIcon icon = MessageIcon::None);
void hostDebug(const Host& host, const std::string& text);
void hostReadKeyboard(const Host& host, uint8_t state[256]);
uint8_t hostKeyForCharacter(const Host& host, char c);

// The built-in US-layout answer to keyForCharacter, for hosts without a layout service.
uint8_t usLayoutKeyForCharacter(char c);
