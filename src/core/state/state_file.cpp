// State files: one serialise function per component, used both ways (writing from the
// running machine, reading into a fresh copy), in the fixed order of the section list.
#include "state/state_file.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <type_traits>

#include "cpu/timer.h"
#include "machine.h"
#include "machine/wav_reader.h"

namespace {

constexpr char magic[8] = {'T', 'O', 'V', 'R', 'I', 'N', 'S', 'T'};
constexpr size_t headerSize = 16;
constexpr size_t sectionHeaderSize = 8;
// Longest tape or Quick Type text a state may carry.
constexpr uint32_t maxBlobSize = 64u << 20;

// ---- the two directions --------------------------------------------------------------

class Writer {
public:
    std::vector<uint8_t> out;

    template <class T>
    void field(const T& v) {
        if constexpr (std::is_same_v<T, bool>) {
            out.push_back(v ? 1 : 0);
        } else {
            static_assert(std::is_integral_v<T> || std::is_enum_v<T>);
            using U = std::make_unsigned_t<T>;
            U u = static_cast<U>(v);
            for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
        }
    }
    void bytes(const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }
    void blob(const std::vector<uint8_t>& v) {
        field(static_cast<uint32_t>(v.size()));
        bytes(v.data(), v.size());
    }
    // A checked value: written as it is.
    template <class T>
    void ranged(const T& v, int64_t, int64_t) { field(v); }
};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p_(p), end_(p + n) {}
    bool ok = true;
    std::string error;

    template <class T>
    void field(T& v) {
        if (!take(sizeof(T))) return;
        if constexpr (std::is_same_v<T, bool>) {
            if (p_[-1] > 1) fail("a flag is neither 0 nor 1");
            v = p_[-1] == 1;
        } else {
            using U = std::make_unsigned_t<T>;
            const uint8_t* s = p_ - sizeof(T);
            U u = 0;
            for (size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | static_cast<U>(U(s[i]) << (8 * i)));
            v = static_cast<T>(u);
        }
    }
    void bytes(uint8_t* p, size_t n) {
        if (!take(n)) return;
        std::memcpy(p, p_ - n, n);
    }
    void blob(std::vector<uint8_t>& v) {
        uint32_t n = 0;
        field(n);
        if (!ok) return;
        if (n > maxBlobSize || n > static_cast<size_t>(end_ - p_)) return fail("a data block is longer than its section");
        v.assign(p_, p_ + n);
        p_ += n;
    }
    template <class T>
    void ranged(T& v, int64_t lo, int64_t hi) {
        field(v);
        if (ok && (static_cast<int64_t>(v) < lo || static_cast<int64_t>(v) > hi)) fail("a value is out of range");
    }
    void fail(const std::string& why) {
        if (ok) error = why;
        ok = false;
    }
    size_t left() const { return static_cast<size_t>(end_ - p_); }

private:
    bool take(size_t n) {
        if (!ok) return false;
        if (static_cast<size_t>(end_ - p_) < n) {
            fail("a section ends early");
            return false;
        }
        p_ += n;
        return true;
    }
    const uint8_t* p_;
    const uint8_t* end_;
};

// ---- the components, each in one place ------------------------------------------------
// C is the component's type, const when writing.

template <class Io, class C>
void serializeCpu(Io& io, C& c) {
    io.field(c.pc);
    io.field(c.sp);
    io.field(c.x);
    io.field(c.d);
    io.field(c.cc);
    io.field(c.waiting);
    io.field(c.irq1Line);
    io.ranged(c.extraCycles, 0, 1 << 16);  // cyclesLeft is the running call's own: states fall between calls
    io.field(c.counter);
    io.field(c.outputCompare);
    io.field(c.overflowPoint);
    io.field(c.tcsr);
    io.field(c.pendingFlags);
    io.field(c.inputCapture);
    io.field(c.tcsrWasRead);
    io.field(c.counterHighLatch);
    io.field(c.ddr1);
    io.field(c.ddr2);
    io.field(c.ramControl);
    io.field(c.zeroCycleRun);
    io.field(c.zeroCycleAt);
}

template <class Io, class C>
void serializeCycles(Io& io, C& c) {
    io.field(c.count);
    io.field(c.mark);
}

// The memory options that shape the address decoder: a state only makes sense in a
// machine laid out the same way.
struct MemoryLayout {
    int32_t enhanced = 0, expander = 0, ramAtC000 = 0, writeRom = 0;
    bool operator==(const MemoryLayout&) const = default;
};

MemoryLayout layoutOf(const Settings& s) {
    return {s.enhancedflag, s.expanderflag, s.RAMatC000flag, s.writeROMflag};
}

template <class Io, class L, class A>
void serializeMemory(Io& io, L& layout, A* addressSpace, uint8_t& speakerLevel) {
    io.field(layout.enhanced);
    io.field(layout.expander);
    io.field(layout.ramAtC000);
    io.field(layout.writeRom);
    io.bytes(addressSpace, 65536);
    io.ranged(speakerLevel, 0, 0x80);
}

template <class Io, class C>
void serializeKeyboard(Io& io, C& k) {
    io.bytes(k.emulatedKeyState, sizeof k.emulatedKeyState);
}

template <class Io, class C>
void serializeQuickType(Io& io, C& q) {
    io.field(q.quickTypeActive);
    io.blob(q.text);
    io.ranged(q.textPos, -1, int64_t{maxBlobSize});  // past the end: typing has finished
    io.ranged(q.phase, 0, 2);
    io.field(q.lastCasePos);
    io.ranged(q.caseTries, 0, 1 << 20);  // counted up while typing
    io.field(q.caseGiveUp);
    io.field(q.lastColourPos);
    io.ranged(q.colourTries, 0, 1 << 20);
    io.field(q.colourGiveUp);
}

// .C10 playback is carried whole (the tape's bytes included). A WAV recording is read
// from its file as it plays, so a state does not carry it: loaded, it has stopped.
template <class Io, class C>
void serializeCassetteIn(Io& io, C& c) {
    io.field(c.cassettePlaying);
    io.field(c.started);
    io.field(c.wavMode);
    io.field(c.startCycle);
    io.field(c.lastUpdateCycle);
    io.blob(c.tapeData);
    io.ranged(c.tapePos, 0, static_cast<int64_t>(c.tapeData.size()));
    io.field(c.shiftByte);
    io.ranged(c.bitIndex, 0, 8);
    io.ranged(c.bitValue, 0, 1);
    io.field(c.lineLow);
    io.field(c.nextEdgeCycle);
    io.field(c.sectionCount);
    io.field(c.sectionLength);
    io.ranged(c.sectionState, 0, 3);
    io.field(c.sampleRate);
    io.field(c.sampleCount);
    io.field(c.sampleIndex);
    io.field(c.sampleLevel);
}

// The decoder's state; the open output files stay with the running program.
template <class Io, class C>
void serializePortOutput(Io& io, C& p) {
    io.field(p.portOutputArmed);
    io.field(p.lastWriteCycle);
    io.field(p.cassetteOutMode);
    io.field(p.printerMode);
    auto& out = p.cassetteOut;
    io.ranged(out.halfState, 1, 2);
    io.field(out.highHalf);
    io.field(out.bitMask);
    io.field(out.byteValue);
    io.ranged(out.byteCount, 0, 141);
    io.bytes(out.head, sizeof out.head);
    auto& pr = p.printer;
    io.ranged(pr.state, 1, 4);
    io.field(pr.bitMask);
    io.field(pr.byteValue);
    io.field(pr.column);
}

template <class Io, class C>
void serializeFrames(Io& io, C& s) {
    io.field(s.framesRun);
    io.field(s.cyclesRun);
}

// Everything a state file holds, parsed and checked before any of it reaches a machine.
struct ParsedState {
    CpuState cpu;
    CycleCounter cycles;
    MemoryLayout layout;
    uint8_t addressSpace[65536];
    uint8_t speakerLevel = 0;
    KeyboardState keyboard;
    QuickType quickType;
    CassetteIn cassetteIn;
    PortOutput portOutput;
    FrameScheduler frames;
};

// The sections in file order: tag and the serialise call for each direction.
enum class Section { cpu, cycles, memory, keyboard, quickType, cassetteIn, portOutput, frames };
constexpr std::array<std::pair<Section, const char*>, 8> sections = {{
    {Section::cpu, "CPU "}, {Section::cycles, "CYCL"}, {Section::memory, "MEMO"}, {Section::keyboard, "KEYB"},
    {Section::quickType, "QTYP"}, {Section::cassetteIn, "CASI"}, {Section::portOutput, "PORT"},
    {Section::frames, "FRAM"},
}};

void writeSection(Writer& w, Section s, const Machine& m) {
    switch (s) {
        case Section::cpu: serializeCpu(w, m.cpu); break;
        case Section::cycles: serializeCycles(w, m.cycles); break;
        case Section::memory: {
            MemoryLayout layout = layoutOf(m.settings);
            uint8_t speaker = m.mem.speakerLevel;
            serializeMemory(w, layout, m.mem.addressSpace, speaker);
        } break;
        case Section::keyboard: serializeKeyboard(w, m.keyboard); break;
        case Section::quickType: serializeQuickType(w, m.quickType); break;
        case Section::cassetteIn: serializeCassetteIn(w, m.cassetteIn); break;
        case Section::portOutput: serializePortOutput(w, m.portOutput); break;
        case Section::frames: serializeFrames(w, m.scheduler); break;
    }
}

void readSection(Reader& r, Section s, ParsedState& p) {
    switch (s) {
        case Section::cpu: serializeCpu(r, p.cpu); break;
        case Section::cycles: serializeCycles(r, p.cycles); break;
        case Section::memory: serializeMemory(r, p.layout, p.addressSpace, p.speakerLevel); break;
        case Section::keyboard: serializeKeyboard(r, p.keyboard); break;
        case Section::quickType: serializeQuickType(r, p.quickType); break;
        case Section::cassetteIn: serializeCassetteIn(r, p.cassetteIn); break;
        case Section::portOutput: serializePortOutput(r, p.portOutput); break;
        case Section::frames: serializeFrames(r, p.frames); break;
    }
}

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

uint32_t get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

std::string layoutText(const MemoryLayout& l) {
    std::string s = l.enhanced ? "enhanced" : "normal";
    if (l.expander) s += ", 16K expansion";
    if (l.ramAtC000) s += ", RAM at $C000";
    if (l.writeRom) s += ", writable ROM";
    return s;
}

// Moves a checked state into the machine. Derived values (page maps, the next timer
// event, interrupt sources) are recomputed rather than taken from the file.
void applyState(Machine& m, ParsedState& p) {
    m.cpu = p.cpu;
    m.cpu.cyclesLeft = 0;
    recomputeIrqSources(m.cpu);
    chooseNextEvent(m.cpu);
    m.cycles = p.cycles;
    std::memcpy(m.mem.addressSpace, p.addressSpace, sizeof m.mem.addressSpace);
    m.mem.speakerLevel = p.speakerLevel;
    rebuildMemoryMap(m);
    std::memcpy(m.keyboard.emulatedKeyState, p.keyboard.emulatedKeyState, sizeof m.keyboard.emulatedKeyState);
    m.quickType = std::move(p.quickType);

    CassetteIn& c = m.cassetteIn;
    closeWav(c.wav);
    c = std::move(p.cassetteIn);
    if (c.wavMode) {  // the recording is not in the state: it has stopped
        c.cassettePlaying = false;
        c.started = false;
        c.wavMode = false;
    }

    PortOutput& out = m.portOutput;
    PortOutput& in = p.portOutput;
    out.cassetteOut.outFile.reset();  // a recording of another timeline must not go on
    out.printer.printerFile.reset();  // reopened (appending) with the next character
    out.portOutputArmed = in.portOutputArmed;
    out.lastWriteCycle = in.lastWriteCycle;
    out.cassetteOutMode = in.cassetteOutMode;
    out.printerMode = in.printerMode;
    out.cassetteOut.halfState = in.cassetteOut.halfState;
    out.cassetteOut.highHalf = in.cassetteOut.highHalf;
    out.cassetteOut.bitMask = in.cassetteOut.bitMask;
    out.cassetteOut.byteValue = in.cassetteOut.byteValue;
    out.cassetteOut.byteCount = in.cassetteOut.byteCount;
    std::memcpy(out.cassetteOut.head, in.cassetteOut.head, sizeof out.cassetteOut.head);
    out.printer.state = in.printer.state;
    out.printer.bitMask = in.printer.bitMask;
    out.printer.byteValue = in.printer.byteValue;
    out.printer.column = in.printer.column;

    m.scheduler.framesRun = p.frames.framesRun;
    m.scheduler.cyclesRun = p.frames.cyclesRun;
    m.scheduler.emulationStarted = true;
}

}  // namespace

uint32_t crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> saveStateToBytes(const Machine& m) {
    Writer w;
    w.bytes(reinterpret_cast<const uint8_t*>(magic), sizeof magic);
    w.field(stateFormatVersion);
    w.field(static_cast<uint16_t>(sections.size()));
    w.field(uint32_t{0});  // the file length, filled in below
    for (const auto& [section, tag] : sections) {
        w.bytes(reinterpret_cast<const uint8_t*>(tag), 4);
        const size_t lengthAt = w.out.size();
        w.field(uint32_t{0});
        writeSection(w, section, m);
        put32(w.out, lengthAt, static_cast<uint32_t>(w.out.size() - lengthAt - 4));
    }
    put32(w.out, 12, static_cast<uint32_t>(w.out.size() + 4));
    w.field(crc32(w.out.data(), w.out.size()));
    return std::move(w.out);
}

bool loadStateFromBytes(Machine& m, const uint8_t* data, size_t size, std::string& why) {
    if (!data || size < headerSize + 4) {
        why = "The file is too short to be a tovrin state.";
        return false;
    }
    if (std::memcmp(data, magic, sizeof magic) != 0) {
        why = "The file is not a tovrin state.";
        return false;
    }
    const uint16_t version = static_cast<uint16_t>(data[8] | data[9] << 8);
    if (version > stateFormatVersion) {
        why = "The state was saved by a newer tovrin (format " + std::to_string(version) +
              "); this one reads format " + std::to_string(stateFormatVersion) + ".";
        return false;
    }
    if (version == 0) {
        why = "The state has an unknown format (0).";
        return false;
    }
    const uint32_t declared = get32(data + 12);
    if (declared != size) {
        why = declared > size ? "The state file is truncated." : "The state file has bytes beyond its end.";
        return false;
    }
    if (crc32(data, size - 4) != get32(data + size - 4)) {
        why = "The state file is damaged (checksum mismatch).";
        return false;
    }
    const uint16_t count = static_cast<uint16_t>(data[10] | data[11] << 8);
    if (count != sections.size()) {
        why = "The state file is damaged (wrong number of sections).";
        return false;
    }

    auto parsed = std::make_unique<ParsedState>();
    size_t at = headerSize;
    const size_t end = size - 4;
    for (const auto& [section, tag] : sections) {
        if (end - at < sectionHeaderSize || std::memcmp(data + at, tag, 4) != 0) {
            why = std::string("The state file is damaged (section \"") + tag + "\" missing).";
            return false;
        }
        const uint32_t length = get32(data + at + 4);
        at += sectionHeaderSize;
        if (length > end - at) {
            why = std::string("The state file is damaged (section \"") + tag + "\" runs past the end).";
            return false;
        }
        Reader r(data + at, length);
        readSection(r, section, *parsed);
        if (r.ok && r.left() != 0) r.fail("a section is longer than its fields");
        if (!r.ok) {
            why = std::string("The state file is damaged (section \"") + tag + "\": " + r.error + ").";
            return false;
        }
        at += length;
    }
    if (at != end) {
        why = "The state file is damaged (bytes after the last section).";
        return false;
    }
    if (!(parsed->layout == layoutOf(m.settings))) {
        why = "The state was saved with another memory layout (" + layoutText(parsed->layout) +
              "); this machine is set to " + layoutText(layoutOf(m.settings)) + ". Change Configure > Memory to match.";
        return false;
    }
    applyState(m, *parsed);
    return true;
}

bool saveStateFile(const Machine& m, const std::filesystem::path& file, std::string& why) {
    const std::vector<uint8_t> bytes = saveStateToBytes(m);
    // Written beside the target and renamed over it, so a failed write keeps the old file.
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        f.close();
        if (!f) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            why = "Cannot write the state file " + file.string() + ".";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        why = "Cannot write the state file " + file.string() + ".";
        return false;
    }
    return true;
}

bool loadStateFile(Machine& m, const std::filesystem::path& file, std::string& why) {
    std::error_code ec;
    const auto size = std::filesystem::is_regular_file(file, ec) ? std::filesystem::file_size(file, ec) : 0;
    if (ec || size == 0 || size > 2 * static_cast<uintmax_t>(maxBlobSize) + (1u << 20)) {
        why = "Cannot read the state file " + file.string() + ".";
        return false;
    }
    std::ifstream f(file, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f || f.gcount() != static_cast<std::streamsize>(bytes.size())) {
        why = "Cannot read the state file " + file.string() + ".";
        return false;
    }
    return loadStateFromBytes(m, bytes.data(), bytes.size(), why);
}
