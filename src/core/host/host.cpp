#include "host/host.h"

#include <cstring>

bool hostChooseFile(const Host& host, std::string& path, const std::vector<FileFilter>& filters,
                    const std::string& defaultExtension, ChooseMode mode, int* selectedFilter) {
    if (!host.files) return false;
    return host.files->chooseFile(path, filters, defaultExtension, mode, selectedFilter);
}

void hostMessage(const Host& host, const std::string& text, const std::string& title, MessageIcon icon) {
    if (host.messages) host.messages->show(text, title, icon);
}

void hostDebug(const Host& host, const std::string& text) {
    if (host.debug) host.debug->write(text);
}

void hostReadKeyboard(const Host& host, uint8_t state[256]) {
    if (host.keyboard)
        host.keyboard->readState(state);
    else
        std::memset(state, 0, 256);
}

uint8_t hostKeyForCharacter(const Host& host, char c) {
    return host.keyboard ? host.keyboard->keyForCharacter(c) : usLayoutKeyForCharacter(c);
}

uint8_t usLayoutKeyForCharacter(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(c);
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c);
    switch (c) {
        case ' ': return 0x20;
        case '\r': return 0x0D;
        case ';': case ':': return 0xBA;
        case '=': case '+': return 0xBB;
        case ',': case '<': return 0xBC;
        case '-': case '_': return 0xBD;
        case '.': case '>': return 0xBE;
        case '/': case '?': return 0xBF;
        case '`': case '~': return 0xC0;
        case '[': case '{': return 0xDB;
        case '\\': case '|': return 0xDC;
        case ']': case '}': return 0xDD;
        case '\'': case '"': return 0xDE;
        default: return 0xFF;
    }
}
