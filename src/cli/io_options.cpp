// The machine I/O options of tovrin-cli.
#include "io_options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

#include "machine.h"
#include "machine/binary_loader.h"
#include "options.h"

namespace {

struct KeyName {
    const char* name;
    uint8_t vk;
};

constexpr KeyName keyNames[] = {
    {"BACKSPACE", 0x08}, {"TAB", 0x09},        {"ENTER", 0x0D},     {"RETURN", 0x0D},   {"SHIFT", 0x10},
    {"CTRL", 0x11},      {"CONTROL", 0x11},    {"ALT", 0x12},       {"ESC", 0x1B},      {"ESCAPE", 0x1B},
    {"SPACE", 0x20},     {"LEFT", 0x25},       {"UP", 0x26},        {"RIGHT", 0x27},    {"DOWN", 0x28},
    {"LSHIFT", 0xA0},    {"RSHIFT", 0xA1},     {"LCTRL", 0xA2},     {"RCTRL", 0xA3},    {"SEMICOLON", 0xBA},
    {"EQUALS", 0xBB},    {"COMMA", 0xBC},      {"MINUS", 0xBD},     {"PERIOD", 0xBE},   {"SLASH", 0xBF},
    {"BACKQUOTE", 0xC0}, {"LBRACKET", 0xDB},   {"BACKSLASH", 0xDC}, {"RBRACKET", 0xDD}, {"QUOTE", 0xDE},
};

bool parsePositive(const std::string& text, long long& out) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    out = std::strtoll(text.c_str(), nullptr, 10);
    return out >= 1 && text.size() < 16;
}

CliKeyboard& keyboardOf(CliRun& run) {
    if (!run.keyboard) {
        run.keyboard = std::make_shared<CliKeyboard>();
        auto kb = run.keyboard;
        // Before the start-up reset: it builds the key tables from this layout.
        run.afterSettings.push_back([kb](Machine& m, CliRun& r) {
            kb->run = &r;
            m.host.keyboard = kb.get();
            return 0;
        });
        // The first frame sees the keys held at frame 1.
        run.afterReset.push_back([kb](Machine& m, CliRun&) {
            scanHostKeyboard(m);
            kb->beforeFirstFrame = false;
            return 0;
        });
    }
    return *run.keyboard;
}

bool endsWithWav(const std::string& file) {
    if (file.size() < 4) return false;
    std::string tail = file.substr(file.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".wav";
}

}  // namespace

void CliKeyboard::readState(uint8_t state[256]) {
    std::fill(state, state + 256, 0);
    // Scanned at the end of a frame for the next one.
    const long long frame = beforeFirstFrame || !run ? 1 : run->framesRun + 2;
    for (const Hold& h : holds)
        if (frame >= h.firstFrame && frame < h.firstFrame + h.frames)
            for (uint8_t vk : h.keys) state[vk] = 0x80;
}

bool CliChooser::chooseFile(std::string& path, const std::vector<FileFilter>&, const std::string&, ChooseMode mode,
                            int* selectedFilter) {
    if (mode == ChooseMode::Open || savePath.empty()) return false;
    path = savePath;
    if (selectedFilter) *selectedFilter = 1;
    return true;
}

bool parseKeyName(const std::string& name, uint8_t& vk) {
    std::string up = name;
    std::transform(up.begin(), up.end(), up.begin(), [](unsigned char c) { return std::toupper(c); });
    if (up.size() == 1 && (std::isalnum(static_cast<unsigned char>(up[0])))) {
        vk = static_cast<uint8_t>(up[0]);
        return true;
    }
    if (up.size() >= 2 && up[0] == 'F' && std::all_of(up.begin() + 1, up.end(), [](unsigned char c) { return std::isdigit(c) != 0; }) && up.size() <= 3) {
        int n = std::atoi(up.c_str() + 1);
        if (n < 1 || n > 24) return false;
        vk = static_cast<uint8_t>(0x6F + n);
        return true;
    }
    if (up.size() > 2 && up.size() <= 4 && up.rfind("0X", 0) == 0 &&
        std::all_of(up.begin() + 2, up.end(), [](unsigned char c) { return std::isxdigit(c) != 0; })) {
        long v = std::strtol(up.c_str() + 2, nullptr, 16);
        if (v < 1 || v > 0xFF) return false;
        vk = static_cast<uint8_t>(v);
        return true;
    }
    for (const KeyName& k : keyNames)
        if (up == k.name) {
            vk = k.vk;
            return true;
        }
    return false;
}

std::string optKeyboard(CliRun& run, const std::string& mode) {
    if (mode != "sensible" && mode != "emulated") return "--keyboard is \"sensible\" or \"emulated\"";
    const uint8_t emulated = mode == "emulated";
    run.afterSettings.push_back([emulated](Machine& m, CliRun&) {
        m.settings.emulatedflag = emulated;
        return 0;
    });
    return {};
}

std::string optKey(CliRun& run, const std::string& arg) {
    const std::string usage = "--key needs NAME[+NAME]@FRAME:FRAMES, not \"" + arg + "\"";
    const size_t at = arg.rfind('@');
    if (at == std::string::npos) return usage;
    const size_t colon = arg.find(':', at);
    if (colon == std::string::npos) return usage;
    CliKeyboard::Hold hold;
    if (!parsePositive(arg.substr(at + 1, colon - at - 1), hold.firstFrame) ||
        !parsePositive(arg.substr(colon + 1), hold.frames))
        return usage;
    std::string names = arg.substr(0, at);
    size_t start = 0;
    while (true) {
        const size_t plus = names.find('+', start);
        uint8_t vk = 0;
        const std::string name = names.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (!parseKeyName(name, vk)) return "--key: unknown key name \"" + name + "\"";
        hold.keys.push_back(vk);
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    keyboardOf(run).holds.push_back(hold);
    return {};
}

std::string optPrinter(CliRun& run, const std::string& file) {
    if (file.empty()) return "--printer needs a file name";
    run.afterSettings.push_back([file](Machine& m, CliRun&) {
        m.settings.filename = file;
        return 0;
    });
    return {};
}

std::string optCassetteOut(CliRun& run, const std::string& file) {
    if (file.empty()) return "--cassette-out needs a file name";
    auto chooser = std::make_shared<CliChooser>();
    chooser->savePath = file;
    run.afterSettings.push_back([chooser](Machine& m, CliRun&) {
        m.host.files = chooser.get();
        return 0;
    });
    run.chooser = chooser;  // lives as long as the run
    return {};
}

std::string optExec(CliRun& run, const std::string& address) {
    bool hex = false;
    // The loader reads 7 characters: a longer address would be cut to another one.
    if (address.size() > addressFieldLength || parseAddress(address, hex) < 0)
        return "--exec needs an address (decimal or $hex, at most 7 characters), not \"" + address + "\"";
    run.execAddress = address;
    run.afterSettings.push_back([](Machine&, CliRun& r) {
        if (r.loadBinaryGiven) return 0;
        cliError("--exec needs --load-binary");
        return 2;
    });
    return {};
}

std::string optLoadBinary(CliRun& run, const std::string& arg) {
    const size_t at = arg.rfind('@');
    bool hex = false;
    if (at == std::string::npos || at == 0 || arg.size() - at - 1 > addressFieldLength ||
        parseAddress(arg.substr(at + 1), hex) < 0)
        return "--load-binary needs FILE@ADDR (decimal or $hex, at most 7 characters), not \"" + arg + "\"";
    LoadBinaryForm form{!run.execAddress.empty(), arg.substr(at + 1), run.execAddress, arg.substr(0, at)};
    run.loadBinaryGiven = true;
    // Once the ROM's start-up has finished (it reads port 2 for the first time when it
    // polls the keyboard at its prompt): its cold start would wipe the EXEC address.
    auto done = std::make_shared<bool>(false);
    run.eachFrame.push_back([form, done](Machine& m, CliRun& r) {
        if (*done || m.cassetteIn.port2Reads == 0) return false;
        *done = true;
        m.workingSettings = m.settings;
        const std::string errors = loadBinaryFile(m, form);
        if (errors.empty()) {
            m.settings = m.workingSettings;
            return false;
        }
        hostMessage(m.host, errors, loadBinaryErrorTitle, MessageIcon::Exclamation);
        r.status = 1;
        return true;
    });
    run.atEnd.push_back([done](Machine&, CliRun& r) {
        if (*done) return 0;
        cliError("--load-binary: the ROM never reached its prompt, nothing was loaded");
        r.status = 1;
        return 0;
    });
    return {};
}

std::string optCassetteOutRate(CliRun& run, const std::string& text) {
    const bool digits = !text.empty() && text.size() < 8 &&
                        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
    const long rate = digits ? std::strtol(text.c_str(), nullptr, 10) : 0;
    if (rate < static_cast<long>(wavMinRate) || rate > static_cast<long>(wavMaxRate))
        return "--cassette-out-rate needs a sample rate from 8000 to 192000 Hz, not \"" + text + "\"";
    run.afterSettings.push_back([rate](Machine& m, CliRun&) {
        m.portOutput.wavRate = static_cast<uint32_t>(rate);
        return 0;
    });
    return {};
}

std::string optRun(CliRun& run, const std::string& file) {
    if (file.empty()) return "--run needs a file name";
    run.afterReset.push_back([file](Machine& m, CliRun&) {
        const bool started = dropActionFor(file) == DropAction::RunCassette ? runCassetteFile(m, file)
                                                                              : runBasicText(m, file);
        return started ? 0 : 1;  // the message box has said why
    });
    return {};
}

std::string optCassette(CliRun& run, const std::string& file) {
    if (file.empty()) return "--cassette needs a file name";
    run.afterReset.push_back([file](Machine& m, CliRun&) {
        if (playCassettePath(m, file, endsWithWav(file))) return 0;
        cliError("cannot play the cassette " + file);
        return 1;
    });
    return {};
}

std::string optType(CliRun& run, const std::string& file) {
    if (file.empty()) return "--type needs a file name";
    run.afterReset.push_back([file](Machine& m, CliRun&) {
        if (startQuickTypeFile(m, file)) return 0;
        cliError("cannot type " + file + " (missing, empty or already typing)");
        return 1;
    });
    return {};
}

std::string optTypeText(CliRun& run, const std::string& text) {
    std::string typed;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            typed += '\r';
            ++i;
        } else {
            typed += text[i] == '\n' ? '\r' : text[i];
        }
    }
    if (typed.empty()) return "--type-text needs a text";
    run.afterReset.push_back([typed](Machine& m, CliRun&) {
        if (startQuickTypeText(m, typed)) return 0;
        cliError("cannot type the text: Quick Type is already running");
        return 1;
    });
    return {};
}
