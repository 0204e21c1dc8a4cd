// Getting software in and out the way users do: a tape chosen before or after CLOAD,
// the one-step run of BASIC and machine-language tapes made with CSAVE/CSAVEM, WAV
// recordings that CLOAD back, line ends, printing then saving, output files that
// cannot be written, recent files and what a drop does.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/tape_kind.h"
#include "config/settings_file.h"
#include "io_fakes.h"
#include "machine.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A machine running the built-in BASIC through the real frame (media commands included).
struct Mc10 {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeChooser chooser;
    FakeLog log;
    Mc10() {
        m->host.files = &chooser;
        m->host.messages = &log;
        loadRomImages(*m);
        recomputeFrameTiming(*m);
        startupReset(*m);
        frames(40);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) runFrame(*m, currentCycles(m->cycles));
    }
    template <class Done>
    bool until(Done done, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            frames(1);
        }
        return done();
    }
    void type(const std::string& text) {
        ASSERT_TRUE(startQuickTypeText(*m, text));
        until([&] { return !m->quickType.quickTypeActive; }, 5000);
        frames(5);
    }
    uint8_t peek(uint16_t a) const { return m->mem.addressSpace[a]; }
    std::string screen() const {
        std::string s;
        for (int i = 0; i < 512; ++i) {
            const uint8_t c = peek(static_cast<uint16_t>(0x4000 + i)) & 0x3F;
            s += static_cast<char>(c < 0x20 ? c + 0x40 : c);
            if (i % 32 == 31) s += '\n';
        }
        return s;
    }
    bool shows(const std::string& t) const { return screen().find(t) != std::string::npos; }
    // Runs until the recording's file has been closed.
    void saved() {
        until([&] { return !m->portOutput.cassetteOutMode && !m->portOutput.portOutputArmed; }, 3000);
    }
};

constexpr uint16_t marker = 20030;

// 10 PRINT 6*7, saved with CSAVE (as .C10 or WAV, by the name).
std::string basicTape(const std::string& name, uint32_t rate = 44100) {
    Mc10 a;
    a.chooser.reply = tmpFile(name);
    a.m->portOutput.wavRate = rate;
    a.type("10 PRINT 6*7\rCSAVE \"P\"\r");
    a.saved();
    return a.chooser.reply;
}

// At 20014: LDAA #42  STAA 20030  RTS, saved with CSAVEM.
std::string machineTape(const std::string& name) {
    Mc10 a;
    a.chooser.reply = tmpFile(name);
    a.type("10 FOR I=0 TO 5:READ B:POKE 20014+I,B:NEXT\r20 DATA 134,42,183,78,62,57\rRUN\r"
           "CSAVEM \"M\",20014,20019,20014\r");
    a.saved();
    return a.chooser.reply;
}

bool ranBasic(Mc10& b) {
    return b.until([&] { return b.shows(" 42"); }, 3000);
}

TEST(Media, TapeChosenBeforeOrAfterCloadLoads) {
    const std::string tape = basicTape("order.c10");
    ASSERT_EQ(tapeKindOf(tape, false).fileType, 0);
    {
        Mc10 b;  // the tape first; the machine idles at its prompt for three seconds
        ASSERT_TRUE(playCassettePath(*b.m, tape, false));
        b.frames(180);
        EXPECT_TRUE(b.m->cassetteIn.waitingForLoad);
        b.type("CLOAD\r");
        b.until([&] { return !b.m->cassetteIn.cassettePlaying && !b.m->cassetteIn.waitingForLoad; }, 3000);
        b.frames(30);
        EXPECT_FALSE(b.shows(" 42"));
        b.type("RUN\r");
        EXPECT_TRUE(ranBasic(b)) << b.screen();
    }
    {
        Mc10 b;  // CLOAD first, the tape a second later
        b.type("CLOAD\r");
        b.frames(60);
        ASSERT_TRUE(playCassettePath(*b.m, tape, false));
        b.until([&] { return !b.m->cassetteIn.cassettePlaying && !b.m->cassetteIn.waitingForLoad; }, 3000);
        b.frames(30);
        b.type("RUN\r");
        EXPECT_TRUE(ranBasic(b)) << b.screen();
    }
}

TEST(Media, RunCassetteFileLoadsAndRunsWithoutTyping) {
    const std::string basic = basicTape("run_basic.c10"), code = machineTape("run_code.c10");
    EXPECT_FALSE(tapeKindOf(basic, false).machineLanguage());
    EXPECT_TRUE(tapeKindOf(code, false).machineLanguage());
    {
        Mc10 b;
        ASSERT_TRUE(runCassetteFile(*b.m, basic));
        EXPECT_TRUE(ranBasic(b)) << b.screen();
        EXPECT_EQ(b.m->media.recentFiles.front(), basic);
    }
    {
        Mc10 b;
        ASSERT_NE(b.peek(marker), 42);
        ASSERT_TRUE(runCassetteFile(*b.m, code));
        EXPECT_TRUE(b.until([&] { return b.peek(marker) == 42; }, 3000)) << b.screen();
    }
}

TEST(Media, WavRecordingsCloadBack) {
    for (uint32_t rate : {44100u, 22050u}) {
        const std::string wav = basicTape("rec" + std::to_string(rate) + ".wav", rate);
        const Bytes bytes = readBytes(wav);
        ASSERT_GT(bytes.size(), 44u) << rate;
        EXPECT_EQ(bytes[24] | bytes[25] << 8 | bytes[26] << 16, int(rate));
        EXPECT_EQ(tapeKindOf(wav, true).name, "P       ") << rate;
        Mc10 b;
        ASSERT_TRUE(playCassettePath(*b.m, wav, true));
        b.type("CLOAD\r");
        b.until([&] { return !b.m->cassetteIn.cassettePlaying && !b.m->cassetteIn.waitingForLoad; }, 3000);
        b.frames(30);
        b.type("RUN\r");
        EXPECT_TRUE(ranBasic(b)) << rate << "\n" << b.screen();
    }
}

TEST(Media, LineEndsOfAnySystemTypeTheSame) {
    const std::vector<uint8_t> cr = {'1', '0', ' ', 'A', '\r', '2', '0', '\r'};
    for (const std::string text : {"10 A\n20\n", "10 A\r20\r", "10 A\r\n20\r\n"}) {
        auto m = std::make_unique<Machine>();
        writeBytes(tmpFile("ends.txt"), Bytes(text.begin(), text.end()));
        ASSERT_EQ(startQuickTypeFrom(*m, tmpFile("ends.txt")), TextProblem::None);
        EXPECT_EQ(m->quickType.text, cr);
    }
    EXPECT_EQ(normaliseLineEnds({'\r', '\r', '\n', '\n'}), (Bytes{'\r', '\r', '\r'}));
}

TEST(Media, PrintingThenSavingRecordsTheTape) {
    Mc10 a;
    a.m->settings.filename = tmpFile("print_save.txt");
    std::filesystem::remove(a.m->settings.filename);
    a.chooser.reply = tmpFile("print_save.c10");
    std::filesystem::remove(a.chooser.reply);
    a.type("10 REM\rLPRINT \"A\":CSAVE \"X\"\r");
    a.saved();
    EXPECT_EQ(readBytes(a.m->settings.filename), (Bytes{'A', '\r', '\n'}));
    ASSERT_TRUE(std::filesystem::exists(a.chooser.reply));
    EXPECT_EQ(tapeKindOf(a.chooser.reply, false).name, "X       ");
}

TEST(Media, OutputThatCannotBeWrittenIsReportedOnce) {
    const std::string missing = tmpFile("no/such/folder/out");
    for (const std::string& target : {std::string("/dev/full"), missing}) {
        Mc10 a;
        a.m->settings.filename = target;
        a.type("LPRINT \"A\"\r");
        a.type("LPRINT \"B\"\r");
        a.frames(60);
        EXPECT_EQ(a.log.lines.size(), 1u) << target;
        EXPECT_TRUE(a.m->portOutput.outputFailed);

        Mc10 c;
        c.chooser.reply = target + (target == missing ? ".c10" : "");
        c.type("10 REM\rCSAVE \"X\"\r");
        c.saved();
        c.frames(5);
        ASSERT_EQ(c.log.lines.size(), 1u) << target;
        EXPECT_NE(c.log.lines[0].find("Could not write the cassette file"), std::string::npos);
    }
}

TEST(Media, SettingsThatCannotBeWrittenWarnOnce) {
    Mc10 a;
    a.m->iniPath = tmpFile("no/such/folder/foo.ini");
    saveCassetteName(*a.m);
    a.frames(1);
    saveQuickTypeName(*a.m);
    a.frames(1);
    ASSERT_EQ(a.log.lines.size(), 1u);
    EXPECT_NE(a.log.lines[0].find("settings file"), std::string::npos);
}

TEST(Media, RecentFilesKeepEightNewestFirstInTheSettingsFile) {
    auto m = std::make_unique<Machine>();
    m->iniPath = tmpFile("recent.ini");
    writeBytes(m->iniPath, {});
    for (int i = 0; i < 10; ++i) rememberRecentFile(*m, "f" + std::to_string(i) + ".c10");
    rememberRecentFile(*m, "f5.c10");
    auto n = std::make_unique<Machine>();
    n->iniPath = m->iniPath;
    loadSettings(*n);
    EXPECT_EQ(n->media.recentFiles,
              (std::vector<std::string>{"f5.c10", "f9.c10", "f8.c10", "f7.c10", "f6.c10", "f4.c10", "f3.c10",
                                        "f2.c10"}));
}

TEST(Media, DropsAndFailuresReachTheRightCommand) {
    const struct {
        const char* name;
        DropAction action;
    } cases[] = {{"a.C10", DropAction::RunCassette}, {"b.wav", DropAction::RunCassette},
                 {"c.TXT", DropAction::QuickType},   {"d.bas", DropAction::QuickType},
                 {"e.bin", DropAction::LoadBinary},  {"noext", DropAction::LoadBinary}};
    for (const auto& c : cases) EXPECT_EQ(dropActionFor(c.name), c.action) << c.name;

    auto mp = std::make_unique<Machine>();
    Machine& m = *mp;
    FakeLog log;
    m.host.messages = &log;
    writeBytes(tmpFile("empty.c10"), {});
    writeBytes(tmpFile("empty.txt"), {});
    EXPECT_EQ(dropFile(m, tmpFile("empty.c10")), DropAction::RunCassette);
    EXPECT_EQ(dropFile(m, tmpFile("empty.txt")), DropAction::QuickType);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_NE(log.lines[0].find("cassette file is empty"), std::string::npos);
    EXPECT_NE(log.lines[1].find("file to type is empty"), std::string::npos);
    EXPECT_FALSE(m.quickType.quickTypeActive || m.cassetteIn.waitingForLoad);
}

}  // namespace
