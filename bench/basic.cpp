// bench_basic: the speed of the built-in BASIC in emulated time. Boots a headless
// machine, types Ahl's benchmark (Creative Computing, November 1983) and an empty
// FOR loop through Quick Type, runs each and prints the emulated seconds from the
// moment RUN has been typed to the next OK prompt, with what the program printed
// (or the error screen). Emulated time does not depend on the host: the figures
// are the same on every machine. Targets: Ahl at most 90 s with both accuracy
// figures below 0.01; the empty loop under 1 s.
//
//   build/bench/bench_basic [rom.bin]    (another 8 KiB BASIC image instead of the built-in one)
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "machine.h"

namespace {

constexpr double cpuHz = 894900.0;

struct NoFiles : FileChooser {
    bool chooseFile(std::string&, const std::vector<FileFilter>&, const std::string&, ChooseMode, int*) override {
        return false;
    }
};
struct NoLog : DebugLog {
    void write(const std::string&) override {}
};

struct Bench {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    NoFiles files;
    NoLog log;

    explicit Bench(const char* rom) {
        m->host.files = &files;
        m->host.debug = &log;
        if (rom) {
            m->settings.usebuiltinromflag = 0;
            m->settings.ROMfilename = rom;
        }
        loadRomImages(*m);
        recomputeFrameTiming(*m);
        startupReset(*m);
        run(30 * 15000);
    }
    void run(long cycles) {
        for (long done = 0; done < cycles;) done += cpuExecute(*m, 1000);
    }
    void type(const std::string& text) {
        startQuickTypeText(*m, text);
        while (m->quickType.quickTypeActive) run(1000);
    }
    // The text screen, 16 lines; semigraphic cells as '#'.
    std::vector<std::string> lines() const {
        std::vector<std::string> out(16);
        for (int i = 0; i < 512; ++i) {
            uint8_t c = m->mem.addressSpace[0x4000 + i];
            char ch = c >= 0x80 ? '#' : static_cast<char>((c & 0x3F) < 0x20 ? (c & 0x3F) + 0x40 : (c & 0x3F));
            out[i / 32] += ch;
        }
        for (std::string& l : out) l.erase(l.find_last_not_of(' ') + 1);
        return out;
    }
    // An OK line below the last RUN line: the program has ended.
    bool prompt() const {
        std::vector<std::string> l = lines();
        int run = -1;
        for (int i = 0; i < 16; ++i)
            if (l[i] == "RUN") run = i;
        for (int i = run + 1; i < 16; ++i)
            if (l[i] == "OK") return true;
        return false;
    }
    // Types the program after NEW and CLS, then RUN; returns the emulated seconds
    // until OK shows, or a negative number when it has not after limit seconds.
    double runProgram(const std::string& program, double limit) {
        type("NEW\r" + program + "CLS\r");
        run(100000);
        type("RUN\r");
        uint32_t start = currentCycles(m->cycles);
        while (!prompt()) {
            run(1000);
            if ((currentCycles(m->cycles) - start) / cpuHz > limit) return -1;
        }
        return (currentCycles(m->cycles) - start) / cpuHz;
    }
    void report(const char* name, double seconds) {
        if (seconds < 0) std::printf("%-12s did not finish\n", name);
        else std::printf("%-12s %.2f emulated s\n", name, seconds);
        for (const std::string& l : lines())
            if (!l.empty() && l != "RUN" && l != "OK" && l != "#") std::printf("%14s%s\n", "", l.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const char* rom = argc > 1 ? argv[1] : nullptr;
    const std::string ahl =
        "10 FOR N=1 TO 100\r"
        "20 A=N\r"
        "30 FOR I=1 TO 10\r"
        "40 A=SQR(A):R=R+RND(1)\r"
        "50 NEXT I\r"
        "60 FOR I=1 TO 10\r"
        "70 A=A^2:R=R+RND(1)\r"
        "80 NEXT I\r"
        "90 S=S+A\r"
        "100 NEXT N\r"
        "110 PRINT ABS(1010-S/5)\r"
        "120 PRINT ABS(1000-R)\r";
    std::printf("%s, emulated seconds at 894 900 cycles/s\n", rom ? rom : "built-in BASIC");
    {
        Bench b(rom);
        b.report("Ahl", b.runProgram(ahl, 600));
    }
    {
        Bench b(rom);
        b.report("empty FOR", b.runProgram("10 FOR I=1 TO 1000:NEXT\r", 60));
    }
    return 0;
}
