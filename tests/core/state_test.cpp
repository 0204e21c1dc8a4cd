// Machine state files, rewind and input recordings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "machine.h"
#include "state/input_recording.h"
#include "state/rewind.h"
#include "state/state_file.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch() {
    fs::path dir = fs::path(TOVRIN_TEST_TMP) / ("state-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

std::unique_ptr<Machine> freshMachine() {
    auto m = std::make_unique<Machine>();
    loadRomImages(*m);
    recomputeFrameTiming(*m);
    startupReset(*m);
    return m;
}

void poke(Machine& m, uint16_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) m.mem.addressSpace[at++] = b;
}

// A program that keeps every part of the machine busy: an output-compare interrupt
// every 1000 cycles, keyboard rows and port 2 read (Quick Type and the cassette step
// on those reads), the latch and speaker written, the screen filled.
void loadBusyProgram(Machine& m) {
    poke(m, 0x4200, {0x8E, 0x4F, 0x00,   // LDS  #$4F00
                     0x86, 0x08,         // LDAA #$08
                     0x97, 0x08,         // STAA $08      output-compare interrupt on
                     0x0E,               // CLI
                     0xCE, 0x40, 0x00,   // LDX  #$4000   (4208)
                     0xB6, 0xBF, 0xFF,   // LDAA $BFFF    (420B)
                     0x96, 0x03,         // LDAA $03
                     0x7C, 0x44, 0x01,   // INC  $4401
                     0xB6, 0x44, 0x01,   // LDAA $4401
                     0xB7, 0xBF, 0xFF,   // STAA $BFFF
                     0xA7, 0x00,         // STAA 0,X
                     0x08,               // INX
                     0x8C, 0x42, 0x00,   // CPX  #$4200
                     0x26, 0xEA,         // BNE  $420B
                     0x20, 0xE5});       // BRA  $4208
    poke(m, 0x4300, {0x7C, 0x44, 0x00,   // INC  $4400
                     0x96, 0x08,         // LDAA $08
                     0xDC, 0x09,         // LDD  $09
                     0xC3, 0x03, 0xE8,   // ADDD #1000
                     0xDD, 0x0B,         // STD  $0B
                     0x3B});             // RTI
    poke(m, 0xFFF4, {0x43, 0x00});
    m.cpu.pc = 0x4200;
}

void runFrames(Machine& m, int n) {
    for (int i = 0; i < n; ++i) runFrame(m, currentCycles(m.cycles));
}

std::unique_ptr<Machine> busyMachine(size_t tapeBytes = 3000) {
    auto m = freshMachine();
    loadBusyProgram(*m);
    const fs::path tape = scratch() / "busy.c10";
    std::vector<uint8_t> bytes(tapeBytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 5);
    std::ofstream(tape, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(playCassettePath(*m, tape.string(), false));
    return m;
}

}  // namespace

TEST(StateFile, StateSavedMidProgramContinuesIdenticallyInAFreshMachine) {
    auto a = busyMachine();
    runFrames(*a, 36);
    std::string text;
    for (int i = 0; i < 100; ++i) text += "10 PRINT \"HELLO\"\r";
    ASSERT_TRUE(startQuickTypeText(*a, text));
    runFrames(*a, 1);
    ASSERT_TRUE(a->cassetteIn.cassettePlaying);
    ASSERT_TRUE(a->quickType.quickTypeActive);
    const std::vector<uint8_t> saved = saveStateToBytes(*a);

    auto b = freshMachine();
    std::string why;
    ASSERT_TRUE(loadStateFromBytes(*b, saved.data(), saved.size(), why)) << why;
    EXPECT_EQ(saveStateToBytes(*b), saved);

    runFrames(*a, 600);
    runFrames(*b, 600);
    EXPECT_GT(a->mem.addressSpace[0x4400], 0);  // the interrupt ran
    EXPECT_EQ(0, std::memcmp(a->mem.addressSpace, b->mem.addressSpace, 65536));
    EXPECT_EQ(a->cpu.pc, b->cpu.pc);
    EXPECT_EQ(a->cpu.d, b->cpu.d);
    EXPECT_EQ(a->cpu.x, b->cpu.x);
    EXPECT_EQ(a->cpu.sp, b->cpu.sp);
    EXPECT_EQ(a->cpu.cc, b->cpu.cc);
    EXPECT_EQ(a->cpu.counter, b->cpu.counter);
    EXPECT_EQ(currentCycles(a->cycles), currentCycles(b->cycles));
    EXPECT_EQ(saveStateToBytes(*a), saveStateToBytes(*b));  // and everything else
}

TEST(StateFile, FileRoundTripAndRefusals) {
    auto a = busyMachine();
    runFrames(*a, 5);
    const fs::path file = scratch() / "round.tvs";
    std::string why;
    ASSERT_TRUE(saveStateFile(*a, file, why)) << why;
    auto b = freshMachine();
    ASSERT_TRUE(loadStateFile(*b, file, why)) << why;
    EXPECT_EQ(saveStateToBytes(*b), saveStateToBytes(*a));

    std::vector<uint8_t> bytes = saveStateToBytes(*a);
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        const char* message;
    };
    std::vector<uint8_t> newer = bytes;
    newer[8] = 2;
    std::vector<uint8_t> other = bytes;
    other[0] = 'X';
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    std::vector<Case> cases = {
        {"newer format", newer, "newer tovrin"},
        {"not a state", other, "not a tovrin state"},
        {"empty", {}, "too short"},
        {"extra byte", longer, "beyond its end"},
        {"truncated", std::vector<uint8_t>(bytes.begin(), bytes.end() - 100), "truncated"},
    };
    auto c = freshMachine();
    runFrames(*c, 3);
    const std::vector<uint8_t> before = saveStateToBytes(*c);
    for (const Case& t : cases) {
        EXPECT_FALSE(loadStateFromBytes(*c, t.data.data(), t.data.size(), why)) << t.name;
        EXPECT_NE(why.find(t.message), std::string::npos) << t.name << ": " << why;
    }
    EXPECT_FALSE(loadStateFile(*c, scratch() / "no-such.tvs", why));
    // Another memory layout: refused, saying so.
    c->settings.expanderflag = 0;
    rebuildMemoryMap(*c);
    const std::vector<uint8_t> before2 = saveStateToBytes(*c);
    EXPECT_FALSE(loadStateFromBytes(*c, bytes.data(), bytes.size(), why));
    EXPECT_NE(why.find("memory layout"), std::string::npos) << why;
    EXPECT_EQ(saveStateToBytes(*c), before2);
    c->settings.expanderflag = 1;
    rebuildMemoryMap(*c);
    EXPECT_EQ(saveStateToBytes(*c), before);
}

// Every truncation, and single-byte flips: all refused, the machine untouched. The
// flips cover every byte outside the address space and a stride through it.
TEST(StateFile, CorruptAndTruncatedStatesAreRefused) {
    auto a = freshMachine();
    runFrames(*a, 2);
    const std::vector<uint8_t> good = saveStateToBytes(*a);
    auto target = freshMachine();
    runFrames(*target, 1);
    const std::vector<uint8_t> before = saveStateToBytes(*target);
    std::string why;
    for (size_t n = 0; n < good.size(); ++n)
        ASSERT_FALSE(loadStateFromBytes(*target, good.data(), n, why)) << "length " << n;

    // The address space is the one block of 65536 bytes; find it by its section tag.
    const auto memo = std::search(good.begin(), good.end(), std::begin("MEMO"), std::end("MEMO") - 1) - good.begin();
    const size_t memFirst = static_cast<size_t>(memo) + 8 + 16, memLast = memFirst + 65536;
    std::vector<uint8_t> bad = good;
    for (size_t i = 0; i < good.size(); i += (i >= memFirst && i < memLast) ? 997 : 1) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            bad[i] = static_cast<uint8_t>(good[i] ^ flip);
            ASSERT_FALSE(loadStateFromBytes(*target, bad.data(), bad.size(), why)) << "byte " << i;
            ASSERT_FALSE(why.empty());
        }
        bad[i] = good[i];
    }
    EXPECT_EQ(saveStateToBytes(*target), before);
}

// Damage behind a recomputed checksum reaches the field checks: nothing may crash,
// and whatever loads must run.
TEST(StateFile, DamagedFieldsWithAValidChecksumDoNotCrash) {
    auto a = busyMachine(100);
    runFrames(*a, 3);
    const std::vector<uint8_t> good = saveStateToBytes(*a);
    const auto memo = std::search(good.begin(), good.end(), std::begin("MEMO"), std::end("MEMO") - 1) - good.begin();
    const size_t memFirst = static_cast<size_t>(memo) + 8 + 16, memLast = memFirst + 65536;
    auto target = freshMachine();
    std::string why;
    int loaded = 0, refused = 0;
    for (size_t i = 16; i + 4 < good.size(); ++i) {
        if (i >= memFirst && i < memLast) continue;
        std::vector<uint8_t> bad = good;
        bad[i] ^= 0xA5;
        const uint32_t crc = crc32(bad.data(), bad.size() - 4);
        for (int k = 0; k < 4; ++k) bad[bad.size() - 4 + k] = static_cast<uint8_t>(crc >> (8 * k));
        if (loadStateFromBytes(*target, bad.data(), bad.size(), why)) {
            ++loaded;
            if (loaded % 8 == 1) runFrame(*target, currentCycles(target->cycles));
        } else {
            ++refused;
            EXPECT_TRUE(why.find("damaged") != std::string::npos || why.find("memory layout") != std::string::npos) << why;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(loaded, 0);
}

TEST(Rewind, StepsBackFiveSecondsAndForgetsTheNewerStates) {
    auto m = busyMachine();
    RewindRing ring;
    std::vector<std::vector<uint8_t>> taken;
    for (int frame = 0; frame < 60 * 12; ++frame) {
        const size_t n = ring.entries.size();
        rewindTick(*m, ring);
        if (ring.entries.size() != n) taken.push_back(ring.entries.back().state);
        runFrame(*m, currentCycles(m->cycles));
    }
    ASSERT_EQ(taken.size(), 12u);
    std::string why;
    ASSERT_TRUE(rewindSeconds(*m, ring, 5, why)) << why;
    EXPECT_EQ(m->scheduler.framesRun, 60u * 7);  // 720 frames run, back to the state of frame 420
    EXPECT_EQ(saveStateToBytes(*m), taken[7]);
    EXPECT_EQ(ring.entries.size(), 8u);

    // The ring keeps its number of seconds and stays within its memory bound.
    ring.maxEntries = 10;
    for (int frame = 0; frame < 60 * 12; ++frame) {
        rewindTick(*m, ring);
        runFrame(*m, currentCycles(m->cycles));
    }
    EXPECT_EQ(ring.entries.size(), 10u);
    ring.maxBytes = 5 * taken[0].size() + 10;
    for (int frame = 0; frame < 60 * 2; ++frame) {
        rewindTick(*m, ring);
        runFrame(*m, currentCycles(m->cycles));
    }
    EXPECT_LE(ring.bytes, ring.maxBytes);
    EXPECT_GE(ring.entries.size(), 4u);
}

namespace {

// Keys held on given frames, read at each scan: a stand-in for a person at the keyboard.
struct ScriptedKeyboard : HostKeyboard {
    const Machine* m = nullptr;
    struct Hold {
        uint64_t from, to;
        uint8_t key;
    };
    std::vector<Hold> holds;
    void readState(uint8_t state[256]) override {
        std::memset(state, 0, 256);
        for (const Hold& h : holds)
            if (m->scheduler.framesRun >= h.from && m->scheduler.framesRun < h.to) state[h.key] = 0x81;
    }
    uint8_t keyForCharacter(char c) override { return usLayoutKeyForCharacter(c); }
};

}  // namespace

TEST(InputRecording, ARecordedSessionReplaysToTheSameScreen) {
    auto a = freshMachine();
    runFrames(*a, 40);  // booted
    const std::vector<uint8_t> start = saveStateToBytes(*a);

    ScriptedKeyboard person;
    person.m = a.get();
    const char* typed = "PRINT 7*6\r";
    uint64_t frame = 45;
    for (const char* p = typed; *p; ++p, frame += 6) person.holds.push_back({frame, frame + 3, usLayoutKeyForCharacter(*p)});
    person.holds.push_back({frame + 2, frame + 9, 0x10});  // a stray SHIFT
    RecordingKeyboard rec(*a, &person);
    a->host.keyboard = &rec;
    rec.start(*a);
    runFrames(*a, 150);
    rec.finish();
    EXPECT_EQ(rec.recording.frames, 150u);
    EXPECT_EQ(rec.recording.events.size(), 2u * 11);

    const fs::path file = scratch() / "session.txt";
    std::string why;
    ASSERT_TRUE(writeInputRecordingFile(file, rec.recording, why)) << why;
    InputRecording loaded;
    ASSERT_TRUE(readInputRecordingFile(file, loaded, why)) << why;

    auto b = freshMachine();
    ASSERT_TRUE(loadStateFromBytes(*b, start.data(), start.size(), why)) << why;
    ReplayKeyboard play(*b, loaded);
    b->host.keyboard = &play;
    play.start(*b);
    while (!play.finished()) runFrame(*b, currentCycles(b->cycles));
    EXPECT_EQ(0, std::memcmp(a->mem.addressSpace + 0x4000, b->mem.addressSpace + 0x4000, 512));
    EXPECT_EQ(saveStateToBytes(*a), saveStateToBytes(*b));
    a->host.keyboard = nullptr;
    b->host.keyboard = nullptr;
}

TEST(InputRecording, TextFormAndItsErrors) {
    InputRecording r;
    r.events = {{0, 0x41, true}, {3, 0x41, false}, {3, 0x0D, true}};
    r.frames = 9;
    const std::string text = formatInputRecording(r);
    EXPECT_EQ(text,
              "tovrin input recording 1\n# frame, down or up, virtual-key code\n"
              "0 down 0x41\n3 up 0x41\n3 down 0x0D\nend 9\n");
    InputRecording back;
    std::string why;
    ASSERT_TRUE(parseInputRecording(text, back, why)) << why;
    ASSERT_EQ(back.events.size(), 3u);
    EXPECT_EQ(back.events[2].key, 0x0D);
    EXPECT_EQ(back.frames, 9u);

    const std::string head = "tovrin input recording 1\n";
    struct Bad {
        std::string text, message;
    };
    for (const Bad& b : std::vector<Bad>{
             {"", "not a tovrin input recording"},
             {"hello\n", "not a tovrin input recording"},
             {head + "1 down 0x41\n", "no \"end\""},
             {head + "5 down 0x41\n2 up 0x41\nend 9\n", "frame order"},
             {head + "1 down 0x141\nend 9\n", "line 2"},
             {head + "1 press 0x41\nend 9\n", "line 2"},
             {head + "-1 down 0x41\nend 9\n", "line 2"},
             {head + "7 down 0x41\nend 3\n", "ends before"},
             {head + "end 3\n1 down 0x41\n", "after \"end\""},
         }) {
        EXPECT_FALSE(parseInputRecording(b.text, back, why)) << b.text;
        EXPECT_NE(why.find(b.message), std::string::npos) << b.text << " -> " << why;
    }
}
