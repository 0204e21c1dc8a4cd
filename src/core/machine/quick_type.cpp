// Quick Type: the character table, starting from a file or a text, and the step the
// ROM's keyboard polls drive.
#include "machine/quick_type.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "machine.h"

namespace {

constexpr uint16_t caseModeAddress = 0x421C;  // bit 0 set: upper-case letters
constexpr uint16_t colourAddress = 0x4282;    // bits 4-6: colour of the next graphics character
constexpr uint8_t caseKey = 0x60;             // SHIFT + 0
constexpr uint8_t colourKey = 0xA0;           // CTRL + 0
constexpr int caseTryLimit = 1;               // two case presses, then type it anyway
constexpr int colourTryLimit = 8;             // nine colour presses

constexpr std::array<uint8_t, 256> buildKeyTable() {
    std::array<uint8_t, 256> t{};
    for (auto& e : t) e = 0xFF;
    t[0x0D] = 0x1E;
    t[' '] = 0x1F;
    for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<uint8_t>(0x20 + i);
    const char punct[] = ":;,-./";
    for (int i = 0; i < 6; ++i) t[static_cast<uint8_t>(punct[i])] = static_cast<uint8_t>(0x2A + i);
    for (int i = 0; i < 9; ++i) t[0x21 + i] = static_cast<uint8_t>(0x61 + i);  // ! to )
    t['*'] = 0x6A;
    t['+'] = 0x6B;
    for (int i = 0; i < 4; ++i) t['<' + i] = static_cast<uint8_t>(0x6C + i);
    t['@'] = 0x00;
    for (int i = 0; i < 26; ++i) {
        t['A' + i] = static_cast<uint8_t>(0x01 + i);
        t['a' + i] = static_cast<uint8_t>(0x01 + i);
    }
    t['^'] = 0x97;
    // Graphics characters: SHIFT + the letter whose shifted meaning is block 15 - n.
    const uint8_t graphics[16] = {0x42, 0x56, 0x43, 0x58, 0x5A, 0x47, 0x46, 0x44,
                                  0x53, 0x41, 0x59, 0x54, 0x52, 0x45, 0x57, 0x51};
    for (int c = 0x80; c < 0x100; ++c) t[c] = graphics[c & 0x0F];
    return t;
}

constexpr std::array<uint8_t, 256> keyTable = buildKeyTable();

void resetAttempts(QuickType& q) {
    q.lastColourPos = -1;
    q.colourTries = 0;
    q.colourGiveUp = false;
    q.lastCasePos = -1;
    q.caseTries = 0;
    q.caseGiveUp = false;
}

void begin(QuickType& q, std::vector<uint8_t> text) {
    resetAttempts(q);
    q.text = normaliseLineEnds(text);
    q.phase = 0;
    q.textPos = -1;
    q.quickTypeActive = true;
}

// One attempt at a mode key for the character at textPos. True: type the mode key
// now and come back to this character afterwards.
bool attempt(int64_t& textPos, int64_t& lastPos, int& tries, bool& giveUp, int limit) {
    if (textPos == lastPos) {
        if (++tries > limit) giveUp = true;
    } else {
        lastPos = textPos;
        tries = 0;
    }
    if (giveUp) return false;
    textPos -= 1;
    return true;
}

}  // namespace

const std::array<uint8_t, 256> quickTypeKeyTable = keyTable;

std::vector<uint8_t> normaliseLineEnds(const std::vector<uint8_t>& text) {
    std::vector<uint8_t> out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = text[i];
        if (c == 0x0A) {
            out.push_back(0x0D);
        } else {
            out.push_back(c);
            if (c == 0x0D && i + 1 < text.size() && text[i + 1] == 0x0A) ++i;
        }
    }
    return out;
}

bool startQuickTypeText(Machine& m, const std::string& text) {
    if (m.quickType.quickTypeActive || text.empty()) return false;
    begin(m.quickType, std::vector<uint8_t>(text.begin(), text.end()));
    return true;
}

TextProblem startQuickTypeFrom(Machine& m, const std::string& path) {
    if (m.quickType.quickTypeActive) return TextProblem::Busy;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) {
        hostDebug(m.host, "Could not open file\n");
        return TextProblem::CannotOpen;
    }
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return TextProblem::CannotOpen;
    long length = std::ftell(f.get());
    if (length > maxQuickTypeSize) {
        hostDebug(m.host, "Quick Type file is too big\n");
        return TextProblem::TooBig;
    }
    if (length <= 0) return TextProblem::Empty;
    if (std::fseek(f.get(), 0, SEEK_SET) != 0) return TextProblem::CannotOpen;
    std::vector<uint8_t> text(static_cast<size_t>(length));
    if (std::fread(text.data(), 1, text.size(), f.get()) != text.size()) return TextProblem::CannotOpen;
    begin(m.quickType, std::move(text));
    return TextProblem::None;
}

bool startQuickTypeFile(Machine& m, const std::string& path) {
    return startQuickTypeFrom(m, path) == TextProblem::None;
}

void cancelQuickType(Machine& m) {
    QuickType& q = m.quickType;
    if (!q.quickTypeActive) return;
    q.text.clear();
    q.text.shrink_to_fit();
    q.quickTypeActive = false;
    q.phase = 0;
    std::memset(m.keyboard.emulatedKeyState, 0, 256);  // nothing stays held
}

int quickTypePercent(const Machine& m) {
    const QuickType& q = m.quickType;
    if (!q.quickTypeActive || q.text.empty()) return 0;
    const int64_t done = q.textPos < 0 ? 0 : q.textPos;
    return static_cast<int>(std::min<int64_t>(100, done * 100 / static_cast<int64_t>(q.text.size())));
}

void quickTypeStep(Machine& m) {
    QuickType& q = m.quickType;
    uint8_t* keys = m.keyboard.emulatedKeyState;
    if (++q.phase == 2) return;  // the keys pressed last step stay held
    std::memset(keys, 0, 256);
    if (q.phase >= 3) {
        q.phase = 0;  // all keys released
        return;
    }
    q.textPos += 1;
    if (q.textPos >= static_cast<int64_t>(q.text.size())) {
        q.text.clear();
        q.text.shrink_to_fit();
        q.quickTypeActive = false;
        return;
    }
    const uint8_t c = q.text[static_cast<size_t>(q.textPos)];
    const bool upperMode = (m.mem.addressSpace[caseModeAddress] & 0x01) != 0;
    auto caseAttempt = [&] { return attempt(q.textPos, q.lastCasePos, q.caseTries, q.caseGiveUp, caseTryLimit); };

    const bool wrongCase = (c >= 'A' && c <= 'Z' && !upperMode) || (c >= 'a' && c <= 'z' && upperMode);
    if (m.settings.qtuselowerflag && wrongCase && caseAttempt()) {
        pressKeyCode(m, caseKey);
        return;
    }
    if (c >= 0x80) {
        if (!upperMode) {
            // Graphics characters are typed as SHIFT + letter, which needs upper-case mode.
            if (caseAttempt()) {
                pressKeyCode(m, caseKey);
                return;
            }
        } else if ((c & 0x70) != (m.mem.addressSpace[colourAddress] & 0x70) &&
                   attempt(q.textPos, q.lastColourPos, q.colourTries, q.colourGiveUp, colourTryLimit)) {
            pressKeyCode(m, colourKey);
            return;
        }
    }
    const uint8_t code = keyTable[c];
    if (code != 0xFF) pressKeyCode(m, code);
}
