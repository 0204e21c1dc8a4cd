// Runs every BASIC program of tests/firmware/corpus through the real machine and
// compares the text screen with the golden screen beside it.
//
// NAME.bas is typed through Quick Type after CLS, exactly as written (a line
// feed types ENTER), followed by RUN unless the file has a line "RUN" of its own; lines
// after that RUN are typed while the program runs (answers for INPUT, keys for
// INKEY$). Lines starting with "#" are not typed: "# frames N" sets how many
// frames (1/60 s) the program may take (default 3000). The program has ended
// when the screen shows an OK line below the last RUN line and has not changed
// for 20 frames.
//
// NAME.screen holds the expected screen as the harness prints it: 16 lines of
// 32 characters, inverse letters in lower case, semigraphic cells as '#';
// trailing blanks and trailing empty lines may be left out. The blinking
// cursor is not part of the screen: a lone block at the start of the last line
// that is not empty counts as blank. A file whose first line
// is "# contains" lists instead lines that must each appear somewhere on the
// screen (trailing blanks ignored), in that order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_harness.h"

namespace {

const std::filesystem::path corpusDir = TOVRIN_FIRMWARE_CORPUS;

std::vector<std::string> corpusNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(corpusDir, ec))
        if (e.path().extension() == ".bas") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> readLines(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::vector<std::string> lines;
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

std::string rtrim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// The 16 screen lines without trailing blanks; the blinking cursor (a lone
// block at the start of the last line that is not empty) is blanked, whichever
// phase of its blink it shows.
std::vector<std::string> screenLines(const BasicMachine& b) {
    std::vector<std::string> lines;
    std::istringstream in(b.screen());
    std::string l;
    while (std::getline(in, l)) lines.push_back(rtrim(l));
    for (int i = 15; i >= 0; --i) {
        if (lines[i] == "#") lines[i].clear();
        if (!lines[i].empty()) break;
    }
    return lines;
}

bool programEnded(const std::vector<std::string>& lines) {
    int run = -1;
    for (int i = 0; i < 16; ++i)
        if (lines[i] == "RUN") run = i;
    for (int i = run + 1; i < 16; ++i)
        if (lines[i] == "OK") return true;
    return false;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += "|" + l + "\n";
    return s;
}

class FirmwareCorpus : public testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(FirmwareCorpus, ProgramShowsItsGoldenScreen) {
    const std::string name = GetParam();
    std::string text = "CLS\r";
    int frames = 3000;
    bool hasRun = false;
    for (const std::string& l : readLines(corpusDir / (name + ".bas"))) {
        if (l.rfind("# frames ", 0) == 0) frames = std::stoi(l.substr(9));
        if (!l.empty() && l[0] == '#') continue;
        if (l == "RUN") hasRun = true;
        text += l + "\r";
    }
    if (!hasRun) text += "RUN\r";
    std::vector<std::string> expected = readLines(corpusDir / (name + ".screen"));

    BasicMachine b;
    startQuickTypeText(*b.m, text);
    std::vector<std::string> actual = screenLines(b), previous;
    int stable = 0;
    for (int f = 0; f < frames && stable < 20; ++f) {
        b.runFrames(1);
        previous = actual;
        actual = screenLines(b);
        bool done = !b.m->quickType.quickTypeActive && programEnded(actual);
        stable = done && actual == previous ? stable + 1 : 0;
    }
    EXPECT_FALSE(b.m->quickType.quickTypeActive) << "typing never finished";
    EXPECT_GE(stable, 20) << "the program did not end within " << frames << " frames";

    if (expected.empty()) {
        std::string raw;
        for (const std::string& l : actual) raw += l + "\n";
        FAIL() << name << ".screen is missing or empty; the screen is\n" << raw;
    }
    if (expected[0] == "# contains") {
        size_t at = 0;
        for (size_t i = 1; i < expected.size(); ++i) {
            std::string want = rtrim(expected[i]);
            auto it = std::find_if(actual.begin() + static_cast<long>(at), actual.end(),
                                   [&](const std::string& l) { return l.find(want) != std::string::npos; });
            EXPECT_NE(it, actual.end()) << name << ": no line with \"" << want << "\" (in order) on\n"
                                        << joined(actual);
            if (it != actual.end()) at = static_cast<size_t>(it - actual.begin()) + 1;
        }
        return;
    }
    for (std::string& l : expected) l = rtrim(l);
    expected.resize(16);
    EXPECT_EQ(actual, expected) << name << ": the screen is\n" << joined(actual) << "expected\n" << joined(expected);
}

INSTANTIATE_TEST_SUITE_P(Programs, FirmwareCorpus, testing::ValuesIn(corpusNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FirmwareCorpus);
