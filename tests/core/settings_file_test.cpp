// The settings file: INI lookup and rewriting, every kind of key, bounds, the pointer
// file, and files full of garbage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/settings_file.h"
#include "machine.h"

namespace fs = std::filesystem;

namespace {

fs::path freshDir(const std::string& name) {
    fs::path dir = fs::path(TOVRIN_TEST_TMP) / "settings" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void writeText(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::string readText(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

std::unique_ptr<Machine> loadFrom(const fs::path& ini) {
    auto m = std::make_unique<Machine>();
    m->iniPath = ini;
    loadSettings(*m);
    return m;
}

}  // namespace

TEST(IniFile, LookupFollowsThePrivateProfileRules) {
    const IniFile ini = parseIni(
        "; comment\n[Sound]\n  ClickerFlag =  yes \nclickerflag=0\nquoted=\" a b \"\n"
        "[SOUND]\nclickervolpct=7\n[other]\nkey=1");
    EXPECT_EQ(iniValue(ini, "SOUND", "clickerflag"), "yes");  // first section, first key
    EXPECT_EQ(iniValue(ini, "sound", "QUOTED"), " a b ");
    EXPECT_EQ(iniValue(ini, "SOUND", "clickervolpct"), std::nullopt);  // only the first [SOUND] counts
    EXPECT_EQ(iniValue(ini, "OTHER", "key"), "1");                    // last line without a line ending
    EXPECT_EQ(iniValue(ini, "missing", "key"), std::nullopt);
}

TEST(IniFile, AWriteReplacesOrAddsOneKeyAndKeepsEveryOtherLine) {
    IniFile ini = parseIni("; keep me\r\n[A]\r\nx=1\r\ngarbage line\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_TRUE(setIniValue(ini, "a", "X", "5"));
    EXPECT_TRUE(setIniValue(ini, "A", "z", " padded "));
    EXPECT_TRUE(setIniValue(ini, "C", "w", "3"));
    EXPECT_FALSE(setIniValue(ini, "A", "bad", "two\nlines"));
    EXPECT_EQ(formatIni(ini),
              "; keep me\r\n[A]\r\nX=5\r\ngarbage line\r\nz=\" padded \"\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=3\r\n");
    EXPECT_EQ(iniValue(ini, "A", "z"), " padded ");
}

TEST(SettingsFile, NoFileKeepsTheDefaultsAndCreatesNothing) {
    const fs::path dir = freshDir("none");
    auto m = loadFrom(dir / "foo.ini");
    EXPECT_TRUE(m->settings == Settings{});
    EXPECT_FALSE(fs::exists(dir / "foo.ini"));
    m->iniPath.clear();  // no settings file: the save points do nothing
    saveSoundSection(*m);
    saveKeyboardSection(*m);
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST(SettingsFile, EverySectionRoundTrips) {
    const fs::path dir = freshDir("roundtrip");
    auto m = std::make_unique<Machine>();
    m->iniPath = dir / "foo.ini";
    Settings& s = m->settings;  // every field away from its default
    s.enhancedflag = s.RAMatC000flag = s.writeROMflag = s.fixedwidthflag = s.usevideoupdatepsflag = s.pokeexecaddr = 1;
    s.expanderflag = s.usebuiltinromflag = s.usebuiltincharflag = s.usebuiltincharxflag = s.autolinefeedflag = 0;
    s.qtuselowerflag = s.emulatedflag = s.speedupfilesflag = s.clickerflag = s.execaddrishex = s.loadaddrishex = 0;
    s.ROMfilename = "rom file.bin", s.CHARfilename = " spaced ", s.CHARXfilename = std::string(300, 'x');
    s.filename = "\"quoted\"", s.cassette = "a.c10", s.quicktype = "b.txt", s.cassettewr = "c.c10";
    s.bloadfilename = "game.bin", s.width = -7, s.cpuspeedopt = 3, s.ntscmultiplierpct = 1000;
    s.palmultiplierpct = 1, s.activescancust = 1136400, s.vblankcust = 24, s.fpscust = 600;
    s.videoupdatesps = 1, s.clickervolpct = 0, s.nscreenshot = 9999, s.bloadaddr = 0, s.bexecaddr = 65535;
    s.windowscaling = 3;
    for (int i = 0; i < 256; ++i)
        s.keyNormal[i] = uint8_t(i), s.keyShift[i] = uint8_t(255 - i), s.keyCtrl[i] = uint8_t(i * 3);
    for (int i = 0; i < colourSlotCount; ++i) s.colours[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 5)};

    for (auto save : {saveMemorySection, savePrinterSection, saveSoundSection, saveSpeedSection, saveVideoSection,
                      saveKeyboardSection, saveLoadBinarySection, saveCassetteName, saveCassetteOutName,
                      saveQuickTypeName, saveScreenshotNumber})
        save(*m);
    EXPECT_TRUE(loadFrom(m->iniPath)->settings == s);
    EXPECT_EQ(fs::directory_iterator(dir)->path().filename(), "foo.ini");  // no temporary file left behind

    const std::string text = readText(m->iniPath);
    for (const char* line : {"[MEMORY]\nenhancedflag=1\n", "cpuspeedopt=3\n", "c2c=044211220\n", "c1f=031224155\n",
                             "[KEYBOARD]\nemulatedflag=0\nqtuselowerflag=0\nn00=0\n", "cff=253\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(SettingsFile, ValuesAreDecodedAndBounded) {
    const fs::path ini = freshDir("values") / "foo.ini";
    writeText(ini,
              "[MEMORY]\nenhancedflag=Yes\nexpanderflag=OFF\nRAMatC000flag=TRUE\nwriteROMflag=maybe\n"
              "usebuiltinromflag=n\n[video]\nwindowscaling=7\n[SOUND]\nclickerflag=On\nclickervolpct=150\n"
              "[FILES]\nnscreenshot=12000\n[SPEED]\nactivescancust=5\nvblankcust=-3\ncpuspeedopt=-1\n"
              "fpscust=abc\nvideoupdatesps=+42x\n[PRINTER]\nwidth=1\n[LOADBINARY]\nbloadaddr=70000\n"
              "[COLOR]\nc00=2550\nc01=255000128\nc02=300000000\nc03=12345678a\nc04=  001002003  \n"
              "[KEYBOARD]\nn41=300\ns41=-1\nc41=x\n");
    auto m = loadFrom(ini);
    Settings want;  // the defaults, except for what the file changes
    want.enhancedflag = 1, want.expanderflag = 0, want.RAMatC000flag = 1, want.usebuiltinromflag = 0;
    want.windowscaling = 4, want.clickerflag = 1, want.clickervolpct = 100, want.nscreenshot = 9999;
    want.activescancust = want.vblankcust = 24, want.cpuspeedopt = 0, want.videoupdatesps = 42, want.width = 1;
    want.bloadaddr = 65535, want.colours[1] = {255, 0, 128}, want.colours[2] = {44, 0, 0}, want.colours[4] = {1, 2, 3};
    want.keyNormal[0x41] = 44;
    EXPECT_TRUE(m->settings == want);
    EXPECT_EQ(m->settings.colours, want.colours);
    EXPECT_EQ(m->mem.readPage[0x20], 0x20);  // the decoder follows the loaded memory options
}

TEST(SettingsFile, GarbageLinesAreSkippedAndSurviveASave) {
    const fs::path ini = freshDir("garbage") / "foo.ini";
    const std::string binary("bin\0ary\xff\xfe=\x01\x02\n", 13);
    std::string junk = "[SOUND\nno equals sign here\n=7\n" + std::string(10000, 'q') + "\n";
    junk += binary;
    junk += "[SOUND]\n" + std::string(10000, 'k') + "=1\nclickerflag=1\nclickervolpct=33\n\x80\x81\x82\n[VIDEO]\nwindowscaling=1\n";
    writeText(ini, junk);
    auto m = loadFrom(ini);
    EXPECT_EQ(m->settings.clickervolpct, 33);
    EXPECT_EQ(m->settings.windowscaling, 1);
    m->settings.clickervolpct = 80;
    saveSoundSection(*m);
    const std::string after = readText(ini);
    EXPECT_EQ(after.size(), junk.size());  // one value changed in place: 33 -> 80
    EXPECT_NE(after.find(binary), std::string::npos);
    EXPECT_EQ(loadFrom(ini)->settings.clickervolpct, 80);
}

TEST(SettingsFile, PointerFileRedirectsToABareName) {
    const fs::path dir = freshDir("pointer");
    EXPECT_EQ(locateIniFile(dir), dir / "foo.ini");
    writeText(dir / "TOVRIN.INI", "[config]\nother=1\n");
    EXPECT_EQ(locateIniFile(dir), dir / "foo.ini");
    writeText(dir / "TOVRIN.INI", "[CONFIG]\nINI=mine.ini\n");
    EXPECT_EQ(locateIniFile(dir), dir / "mine.ini");
    writeText(dir / "TOVRIN.INI", "[CONFIG]\nini=/elsewhere/x.ini\n");
    EXPECT_EQ(locateIniFile(dir), dir / "elsewhere" / "x.ini");

    writeText(dir / "TOVRIN.INI", "[CONFIG]\nini=mine.ini\n");
    auto m = std::make_unique<Machine>();
    m->iniPath = locateIniFile(dir);
    m->settings.nscreenshot = 12;
    saveScreenshotNumber(*m);
    EXPECT_EQ(readText(dir / "mine.ini"), "[FILES]\nnscreenshot=12\n");
    EXPECT_FALSE(fs::exists(dir / "foo.ini"));
    EXPECT_EQ(readText(dir / "TOVRIN.INI"), "[CONFIG]\nini=mine.ini\n");
}

namespace {

struct RecordedBoxes : MessageBoxes {
    std::vector<std::string> texts;
    void show(const std::string& text, const std::string&, MessageIcon) override { texts.push_back(text); }
};

}  // namespace

TEST(IniFile, LineEndsByteOrderMarkAndTextDetection) {
    const struct {
        std::string contents;
        const char* newline;
    } files[] = {
        {"[SOUND]\nclickervolpct=33\n", "\n"},
        {"[SOUND]\r\nclickervolpct=33\r\n", "\r\n"},
        {"[SOUND]\rclickervolpct=33\r", "\r"},  // CR alone, as old Macintosh editors write
        {"\xEF\xBB\xBF[SOUND]\nclickervolpct=33\n", "\n"},
        {"\xEF\xBB\xBF[SOUND]\rclickervolpct=33", "\r"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.contents);
        EXPECT_TRUE(looksLikeIniText(f.contents));
        IniFile ini = parseIni(f.contents);
        EXPECT_EQ(iniValue(ini, "SOUND", "clickervolpct"), "33");
        EXPECT_EQ(ini.newline, f.newline);
        setIniValue(ini, "SOUND", "clickerflag", "1");
        const std::string out = formatIni(ini);
        EXPECT_EQ(out.substr(0, 3) == "\xEF\xBB\xBF", f.contents.substr(0, 3) == "\xEF\xBB\xBF");
        EXPECT_EQ(iniValue(parseIni(out), "SOUND", "clickervolpct"), "33");
        EXPECT_EQ(iniValue(parseIni(out), "SOUND", "clickerflag"), "1");
    }
    std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF", unmarked;
    for (char c : std::string("[SOUND]\r\nclickervolpct=33\r\n")) {
        utf16le += {c, '\0'};
        utf16be += {'\0', c};
        unmarked += {c, '\0'};
    }
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) >> 3);
    for (const std::string& junk : {utf16le, utf16be, unmarked, binary}) EXPECT_FALSE(looksLikeIniText(junk));
}

TEST(SettingsFile, NotTextKeepsTheDefaultsAndTheFileWithOneMessage) {
    const fs::path ini = freshDir("utf16") / "foo.ini";
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[SOUND]\r\nclickervolpct=33\r\n")) utf16 += {c, '\0'};
    writeText(ini, utf16);
    RecordedBoxes boxes;
    auto m = std::make_unique<Machine>();
    m->host.messages = &boxes;
    m->iniPath = ini;
    loadSettings(*m);
    EXPECT_TRUE(m->settings == Settings{});
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("not a text file"), std::string::npos);
    m->settings.clickervolpct = 80;
    saveSoundSection(*m);
    saveVideoSection(*m);
    EXPECT_EQ(readText(ini), utf16);
    EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST(SettingsFile, ReadOnlyFileIsKeptWithOneMessage) {
    const fs::path ini = freshDir("readonly") / "foo.ini";
    writeText(ini, "[SOUND]\nclickervolpct=33\n");
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);
    RecordedBoxes boxes;
    auto m = loadFrom(ini);
    m->host.messages = &boxes;
    EXPECT_EQ(m->settings.clickervolpct, 33);
    EXPECT_TRUE(boxes.texts.empty());
    m->settings.clickervolpct = 80;
    saveSoundSection(*m);
    saveSpeedSection(*m);
    EXPECT_EQ(readText(ini), "[SOUND]\nclickervolpct=33\n");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("read-only"), std::string::npos);
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

TEST(SettingsFile, ReplacingKeepsTheModeAndOwner) {
    const fs::path ini = freshDir("mode") / "foo.ini";
    writeText(ini, "[SOUND]\nclickervolpct=33\n");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write;
    fs::permissions(ini, mode);
    struct stat before;
    ASSERT_EQ(::stat(ini.c_str(), &before), 0);
    auto m = loadFrom(ini);
    m->settings.clickervolpct = 80;
    saveSoundSection(*m);
    struct stat after;
    ASSERT_EQ(::stat(ini.c_str(), &after), 0);
    EXPECT_EQ(loadFrom(ini)->settings.clickervolpct, 80);
    EXPECT_EQ(fs::status(ini).permissions(), mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
}

TEST(SettingsFile, CustomTimingIsBoundedOnLoad) {
    const fs::path ini = freshDir("custombound") / "foo.ini";
    writeText(ini, "[SPEED]\nactivescancust=5000000000\nvblankcust=400000\n");
    auto m = loadFrom(ini);
    EXPECT_EQ(m->settings.activescancust, 1136400u);  // 100 times the NTSC budgets
    EXPECT_EQ(m->settings.vblankcust, 355100u);
}

TEST(SettingsFile, BomAndCarriageReturnFilesAreRead) {
    const fs::path dir = freshDir("bomcr");
    writeText(dir / "bom.ini", "\xEF\xBB\xBF[SOUND]\nclickervolpct=33\n");
    writeText(dir / "cr.ini", "[VIDEO]\rwindowscaling=2\r[SOUND]\rclickervolpct=44\r");
    EXPECT_EQ(loadFrom(dir / "bom.ini")->settings.clickervolpct, 33);
    auto m = loadFrom(dir / "cr.ini");
    EXPECT_EQ(m->settings.clickervolpct, 44);
    EXPECT_EQ(m->settings.windowscaling, 2);
    m->settings.clickervolpct = 80;
    saveSoundSection(*m);
    EXPECT_EQ(readText(dir / "cr.ini"), "[VIDEO]\rwindowscaling=2\r[SOUND]\rclickervolpct=80\rclickerflag=1\r");
}

TEST(SettingsFile, AKilledSaveLeavesNoTemporaryBehind) {
    const fs::path dir = freshDir("stale");
    const fs::path ini = dir / "foo.ini";
    writeText(ini, "[SOUND]\nclickervolpct=33\n");
    // What a writer killed before its rename leaves, and files that are not ours.
    for (const char* name : {"foo.ini.a1B2c3", "foo.ini.ZZZZZZ", "foo.ini.bak", "foo.ini.1234567", "bar.ini.a1B2c3"})
        writeText(dir / name, "x");
    // A temporary that a running writer still holds stays.
    writeText(dir / "foo.ini.HELD00", "x");
    const int held = ::open((dir / "foo.ini.HELD00").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    auto m = loadFrom(ini);
    m->settings.clickervolpct = 80;
    saveSoundSection(*m);
    ::close(held);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"bar.ini.a1B2c3", "foo.ini", "foo.ini.1234567", "foo.ini.HELD00",
                                              "foo.ini.bak"}));
    EXPECT_EQ(loadFrom(ini)->settings.clickervolpct, 80);
}
