// Load Binary File: address parsing and the OK sequence with its messages.
#include "machine/binary_loader.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

#include "machine.h"
#include "machine/file_handle.h"

namespace {

constexpr size_t fieldLength = addressFieldLength;
constexpr long maxFileSize = 0x10000;
constexpr uint16_t execCellHigh = 0x421F;
constexpr uint16_t execCellLow = 0x4220;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int parseAddress(const std::string& text, bool& isHex) {
    isHex = !text.empty() && text[0] == '$';
    const std::string digits = isHex ? text.substr(1) : text;
    const int base = isHex ? 16 : 10;
    if (digits.empty()) return isHex ? addressMalformedHex : addressMalformedDecimal;
    long value = 0;
    for (char c : digits) {
        const int d = isHex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0) return isHex ? addressMalformedHex : addressMalformedDecimal;
        if (value <= 0xFFFF) value = value * base + d;  // stays above 0xFFFF once there
    }
    return value > 0xFFFF ? addressTooLarge : static_cast<int>(value);
}

std::string formatAddress(int32_t value, bool isHex) {
    char buf[16];
    if (isHex)
        std::snprintf(buf, sizeof buf, "$%04x", static_cast<unsigned>(value));
    else
        std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(value));
    return buf;
}

std::string loadBinaryFile(Machine& m, const LoadBinaryForm& form) {
    Settings& w = m.workingSettings;
    w.pokeexecaddr = form.pokeExec ? 1 : 0;
    bool loadHex = false, execHex = false;
    const int load = parseAddress(form.loadText.substr(0, fieldLength), loadHex);
    const int exec = parseAddress(form.execText.substr(0, fieldLength), execHex);
    if (load >= 0) {
        w.bloadaddr = load;
        w.loadaddrishex = loadHex;
    }
    if (exec >= 0) {
        w.bexecaddr = exec;
        w.execaddrishex = execHex;
    }
    // Kept whole: a path cut at 259 characters would name another file.
    w.bloadfilename = form.fileName;

    std::string message = "ERROR: \n";
    int errors = 0;
    auto fail = [&](const char* text) {
        message += text;
        ++errors;
    };
    if (load < 0) fail("Problem with load address\n");
    if (exec < 0 && w.pokeexecaddr) fail("Problem with exec address\n");

    FileHandle f(std::fopen(w.bloadfilename.c_str(), "rb"));
    if (!f) {
        fail("Could not open input file \n");
        return message;
    }
    long size = -1;
    std::error_code ec;
    // Directories and devices open too on some hosts; they are not memory images.
    if (std::filesystem::is_regular_file(w.bloadfilename, ec) && std::fseek(f.get(), 0, SEEK_END) == 0)
        size = std::ftell(f.get());
    if (size <= 0) {
        fail("Problem with input file \n");
        return message;
    }
    if (size > maxFileSize) {
        fail("Input file is too big \n");
        return message;
    }
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(maxFileSize);
    } catch (const std::bad_alloc&) {
        fail("Could not allocate memory\n");
        return message;
    }
    const bool readOk = std::fseek(f.get(), 0, SEEK_SET) == 0 &&
                        std::fread(buffer.data(), 1, static_cast<size_t>(size), f.get()) == static_cast<size_t>(size);
    if (!readOk) fail("Problem reading file\n");
    if (readOk && errors == 0) {
        if (load + size - 1 > 0xFFFF) {
            fail("Loading would extend beyond $FFFF\n");
        } else {
            // Straight into the address space: no device sees these bytes.
            for (long i = 0; i < size; ++i) m.mem.addressSpace[load + i] = buffer[static_cast<size_t>(i)];
            if (w.pokeexecaddr) {
                m.mem.addressSpace[execCellHigh] = static_cast<uint8_t>(w.bexecaddr >> 8);
                m.mem.addressSpace[execCellLow] = static_cast<uint8_t>(w.bexecaddr);
            }
        }
    }
    return errors ? message : std::string();
}
