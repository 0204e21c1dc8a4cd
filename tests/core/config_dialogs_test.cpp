// The rules of the configuration dialogs, driven through their handlers without widgets.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>

#include "config/load_binary_dialog_model.h"
#include "config/memory_dialog_model.h"
#include "config/printer_dialog_model.h"
#include "config/sound_dialog_model.h"
#include "config/timing_dialog_model.h"
#include "config/video_dialog_model.h"
#include "machine.h"

namespace {
struct FakeChooser : FileChooser {
    std::string answer;
    bool confirm = true;
    ChooseMode lastMode{};
    std::vector<FileFilter> lastFilters;
    std::string lastExtension;
    bool chooseFile(std::string& path, const std::vector<FileFilter>& filters, const std::string& ext,
                    ChooseMode mode, int*) override {
        lastMode = mode;
        lastFilters = filters;
        lastExtension = ext;
        if (confirm) path = answer;
        return confirm;
    }
};
}  // namespace

TEST(MemoryDialogModel, DisabledCheckBoxStillCountsAndOkSetsAllFlags) {
    Settings w;
    w.RAMatC000flag = 1;  // shown checked but disabled with the Normal layout
    MemoryDialog d = openMemoryDialog(w);
    EXPECT_TRUE(memoryExpanderEnabled(d));
    EXPECT_FALSE(memoryEnhancedOptionsEnabled(d));
    memorySelectRom(d, RomPair::CharX, false);
    EXPECT_TRUE(memoryRomFileEnabled(d, RomPair::CharX));
    EXPECT_FALSE(memoryRomFileEnabled(d, RomPair::Basic));
    memoryOk(d, w);
    EXPECT_EQ(w.RAMatC000flag, 1);
    EXPECT_EQ(w.enhancedflag, 0);
    EXPECT_EQ(w.usebuiltincharxflag, 0);
    EXPECT_EQ(w.usebuiltinromflag, 1);

    memorySelectLayout(d, true);
    EXPECT_FALSE(memoryExpanderEnabled(d));
    d.writeRom = true;
    memoryOk(d, w);
    EXPECT_EQ(w.enhancedflag, 1);
    EXPECT_EQ(w.writeROMflag, 1);
    EXPECT_EQ(w.expanderflag, 1);
}

TEST(MemoryDialogModel, BrowseChangesOnlyTheChosenPairAndOnlyWhenConfirmed) {
    auto m = std::make_unique<Machine>();
    FakeChooser chooser;
    m->host.files = &chooser;
    chooser.answer = "/roms/my.bin";
    EXPECT_TRUE(memoryBrowse(*m, RomPair::Char));
    EXPECT_EQ(m->workingSettings.CHARfilename, "/roms/my.bin");
    EXPECT_EQ(m->workingSettings.ROMfilename, "PALUDIN.BIN");
    EXPECT_EQ(chooser.lastMode, ChooseMode::Open);
    EXPECT_EQ(chooser.lastExtension, "bin");
    ASSERT_EQ(chooser.lastFilters.size(), 2u);
    EXPECT_EQ(chooser.lastFilters[0].pattern, "*.rom;*.bin");
    chooser.confirm = false;
    EXPECT_FALSE(memoryBrowse(*m, RomPair::Char));
    EXPECT_EQ(m->workingSettings.CHARfilename, "/roms/my.bin");
}

TEST(PrinterDialogModel, WidthBounds) {
    const std::pair<const char*, int32_t> cases[] = {
        {"0", 32}, {"1", 32}, {"", 32}, {"abc", 32}, {"-5", 32}, {"2", 2}, {" 80 ", 80},
        {"65535", 65535}, {"65536", 65535}, {"99999999999", 65535}};
    for (auto [text, want] : cases) EXPECT_EQ(printerWidthFromText(text), want) << '"' << text << '"';
}

TEST(PrinterDialogModel, OpensWithUnsignedWidthAndBrowsesInSaveMode) {
    auto m = std::make_unique<Machine>();
    m->workingSettings.width = -1;
    PrinterDialog d = openPrinterDialog(m->workingSettings);
    EXPECT_EQ(d.widthText, "4294967295");
    EXPECT_FALSE(printerWidthEnabled(d));
    FakeChooser chooser;
    chooser.answer = "out.txt";
    m->host.files = &chooser;
    EXPECT_TRUE(printerBrowse(*m, d));
    EXPECT_EQ(chooser.lastMode, ChooseMode::Save);
    EXPECT_EQ(chooser.lastExtension, "txt");
    d.fixedWidth = true;
    printerOk(d, m->workingSettings);
    EXPECT_EQ(m->workingSettings.filename, "out.txt");
    EXPECT_EQ(m->workingSettings.width, 65535);
    EXPECT_EQ(m->workingSettings.fixedwidthflag, 1);
}

TEST(SoundDialogModel, ScrollStoresVolumeAndText) {
    Settings w;
    SoundDialog d = openSoundDialog(w);
    EXPECT_EQ(d.volumeText, "50% Volume");
    soundScroll(d, w, 70);
    EXPECT_EQ(w.clickervolpct, 70);
    EXPECT_EQ(d.volumeText, "70% Volume");
    d.clicker = false;
    soundOk(d, w);
    EXPECT_EQ(w.clickerflag, 0);
}

TEST(VideoDialogModel, GridPlacesEverySlotOnceAndSeedsCustomColoursOnce) {
    std::set<std::tuple<int, int, int>> seen;
    for (int s = 0; s < colourSlotCount; ++s) {
        SwatchPlace p = swatchPlace(s);
        EXPECT_TRUE(seen.insert({p.column, p.row, p.half}).second) << s;
    }
    EXPECT_EQ(swatchPlace(14).column, 0);
    EXPECT_STREQ(swatchRowLabels[swatchPlace(14).row], "Red");
    EXPECT_STREQ(swatchRowLabels[swatchPlace(44).row], "Buff");
    EXPECT_STREQ(swatchRowLabels[swatchPlace(5).row], "Alpha Semigraphics Border");
    EXPECT_STREQ(swatchRowLabels[swatchPlace(22).row], "Inverse Text 1 color");

    DialogRunState s;
    seedCustomColours(s);
    EXPECT_EQ(s.customColours[11], (Rgb{240, 176, 64}));
    EXPECT_EQ(s.customColours[12], (Rgb{0, 0, 0}));
    s.customColours[0] = {1, 2, 3};
    seedCustomColours(s);
    EXPECT_EQ(s.customColours[0], (Rgb{1, 2, 3}));
}

TEST(TimingDialogModel, NtscAt150PercentShowsScaledCycles) {
    Settings w;
    TimingDialog d = openTimingDialog(w);
    EXPECT_EQ(d.selected, SpeedOption::Ntsc);
    EXPECT_TRUE(d.speedupChecked);
    EXPECT_FALSE(d.videoEnabled);
    EXPECT_EQ(d.videoText, "60 fps ");
    timingScrollSpeed(d, w, 150);
    EXPECT_EQ(w.ntscmultiplierpct, 150);
    EXPECT_EQ(d.speedText, "NTSC * 150%");
    EXPECT_EQ(d.fields, (std::array<std::string, 3>{"17046", "5326", "60"}));
    timingClickSpeed(d, w, SpeedOption::Pal);
    EXPECT_EQ(d.fields[2], "50");
    timingScrollSpeed(d, w, 200);
    EXPECT_EQ(w.palmultiplierpct, 200);
    EXPECT_EQ(w.ntscmultiplierpct, 150);
    EXPECT_EQ(d.fields[0], "27274");
}

TEST(TimingDialogModel, DefaultGivesNtsc100WithBothChecksCleared) {
    Settings w;
    w.cpuspeedopt = 2;
    w.usevideoupdatepsflag = 1;
    w.ntscmultiplierpct = 300;
    TimingDialog d = openTimingDialog(w);
    EXPECT_TRUE(d.fieldsEnabled);
    EXPECT_TRUE(d.videoEnabled);
    timingDefault(d, w);
    EXPECT_EQ(d.selected, SpeedOption::Ntsc);
    EXPECT_EQ(d.speedPosition, 100);
    EXPECT_FALSE(d.videoChecked || d.videoEnabled || d.speedupChecked);
    ASSERT_TRUE(timingOk(d, w));
    EXPECT_EQ(w.cpuspeedopt, 0);
    EXPECT_EQ(w.ntscmultiplierpct, 100);
    EXPECT_EQ(w.speedupfilesflag, 0);
    EXPECT_EQ(w.usevideoupdatepsflag, 0);
}

TEST(TimingDialogModel, CustomRefusalsCorrectTheFieldsAndStoreNothing) {
    struct Case { std::array<std::string, 3> typed, shown; bool accepted, message; };
    const Case cases[] = {
        {{"10", "10", "60"}, {"24", "24", "60"}, false, false},
        {{"20000", "4000", "0"}, {"20000", "4000", "1"}, false, false},
        {{"", "x", ""}, {"24", "24", "1"}, false, false},
        {{"20", "4", "900"}, {"20", "4", "900"}, true, false},
        // At most 100 times the NTSC budgets, with a message saying so.
        {{"5000000000", "3551", "60"}, {"1136400", "3551", "60"}, false, true},
        {{"11364", "355101", "60"}, {"11364", "355100", "60"}, false, true},
        {{"1136400", "355100", "900"}, {"1136400", "355100", "900"}, true, false},
    };
    for (const Case& c : cases) {
        Settings w;
        w.cpuspeedopt = 2;
        TimingDialog d = openTimingDialog(w);
        d.fields = c.typed;
        EXPECT_EQ(timingOk(d, w), c.accepted) << c.typed[0];
        EXPECT_EQ(d.fields, c.shown);
        EXPECT_EQ(!d.message.empty(), c.message);
        EXPECT_EQ(w.activescancust, c.accepted ? std::stoul(c.typed[0]) : 11364u);
        EXPECT_EQ(w.fpscust, c.accepted ? 900 : 60);
    }
}

TEST(TimingDialogModel, FastTurnsTheClickerOff) {
    Settings w;
    TimingDialog d = openTimingDialog(w);
    timingClickSpeed(d, w, SpeedOption::Fast);
    EXPECT_EQ(d.fields[0], "n/a");
    EXPECT_FALSE(d.speedEnabled || d.fieldsEnabled);
    ASSERT_TRUE(timingOk(d, w));
    EXPECT_EQ(w.cpuspeedopt, 3);
    EXPECT_EQ(w.clickerflag, 0);
}

TEST(LoadBinaryDialogModel, FieldsShowTheLastEntryFormAndBrowseOffersThreeFilters) {
    auto m = std::make_unique<Machine>();
    m->workingSettings.bloadaddr = 19456;
    m->workingSettings.loadaddrishex = 0;
    LoadBinaryForm f = openLoadBinaryDialog(m->workingSettings);
    EXPECT_EQ(f.loadText, "19456");
    EXPECT_EQ(f.execText, "$4cff");
    FakeChooser chooser;
    chooser.answer = "game.obj";
    m->host.files = &chooser;
    ASSERT_TRUE(loadBinaryBrowse(*m, f));
    EXPECT_EQ(f.fileName, "game.obj");
    EXPECT_EQ(m->workingSettings.bloadfilename, "game.obj");
    ASSERT_EQ(chooser.lastFilters.size(), 3u);
    EXPECT_EQ(chooser.lastFilters[1].description, "TASM Object Files (*.obj)");
    EXPECT_EQ(chooser.lastMode, ChooseMode::Open);
}
