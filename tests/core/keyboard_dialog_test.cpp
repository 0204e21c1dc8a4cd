// The keyboard dialog's key lists, capture and deletion, without widgets.
#include <gtest/gtest.h>

#include <memory>

#include "config/keyboard_dialog_model.h"
#include "machine.h"

namespace {
struct HeldKeys : HostKeyboard {
    uint8_t state[256] = {};
    int lookups = 0;
    void readState(uint8_t out[256]) override { std::copy(state, state + 256, out); }
    uint8_t keyForCharacter(char c) override {
        ++lookups;
        return usLayoutKeyForCharacter(c);
    }
};

struct KeyboardDialogModel : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    HeldKeys keys;
    KeyboardDialog d;
    void SetUp() override {
        m->host.keyboard = &keys;
        d = openKeyboardDialog(*m);
    }
    bool capture(std::initializer_list<uint8_t> held) {
        uint8_t state[256] = {};
        for (uint8_t k : held) state[k] = 0x80;
        return keyboardCapture(d, m->workingSettings, state);
    }
};
}  // namespace

TEST_F(KeyboardDialogModel, TablesAndNamesAreComplete) {
    EXPECT_EQ(pcKeyTable.size(), 91u);
    EXPECT_EQ(d.mc10List.size(), 48u);
    EXPECT_EQ(d.mc10List[47], "/");
    keyboardSelectMode(d, modeCtrl);
    EXPECT_EQ(d.mc10List[17], "L.DEL. Ctrl q");
    EXPECT_EQ(d.names[0xBA], ";");
    EXPECT_EQ(d.names[0xC0], "`");
    EXPECT_EQ(d.names[0x6F], "Num /");
    int lookups = keys.lookups;
    EXPECT_EQ(lookups, 11);
    openKeyboardDialog(*m);
    EXPECT_EQ(keys.lookups, lookups);  // resolved once per run
}

TEST_F(KeyboardDialogModel, ShiftACaptureInShiftMode) {
    keyboardSelectMode(d, modeShift);
    keyboardSelectMc10Key(d, m->workingSettings, 1);
    EXPECT_EQ(d.captureText, captureSelectText);
    ASSERT_TRUE(capture({vkShift, 'A'}));
    EXPECT_EQ(d.captureText, "Shift a");
    EXPECT_EQ(m->workingSettings.keyShift[0x41], 0x41);
    EXPECT_EQ(d.pcList, std::vector<std::string>{"Shift a"});
    EXPECT_EQ(m->settings.keyShift[0x41], 0xFF);  // only the working copy changes
}

TEST_F(KeyboardDialogModel, CaptureRules) {
    keyboardSelectMc10Key(d, m->workingSettings, 5);
    ASSERT_TRUE(capture({vkShift, vkControl, 'E'}));  // Shift wins over Ctrl
    EXPECT_EQ(d.captureText, "Shift e");
    EXPECT_EQ(m->workingSettings.keyShift['E'], 5);
    EXPECT_EQ(m->workingSettings.keyCtrl['E'], 0xFF);
    ASSERT_TRUE(capture({'A', 0x61}));  // the higher code wins: Num 1 over a
    EXPECT_EQ(d.captureText, "Num 1");
    EXPECT_EQ(m->workingSettings.keyNormal[0x61], 5);
    EXPECT_FALSE(capture({vkShift}));  // no named key held: nothing happens
    EXPECT_EQ(d.captureText, "Num 1");

    KeyboardDialog none = openKeyboardDialog(*m);
    uint8_t state[256] = {};
    state['Q'] = 0x80;
    ASSERT_TRUE(keyboardCapture(none, m->workingSettings, state));
    EXPECT_EQ(none.captureText, "q");
    EXPECT_EQ(m->workingSettings.keyNormal['Q'], 0xFF);  // no MC-10 key selected
}

TEST_F(KeyboardDialogModel, CaptureMovesAnAssignmentAndDeletionFollowsTheListOrder) {
    keyboardSelectMc10Key(d, m->workingSettings, 2);
    capture({'B'});
    capture({vkControl, 'B'});
    EXPECT_EQ(d.pcList, (std::vector<std::string>{"b", "Ctrl b"}));
    keyboardSelectMc10Key(d, m->workingSettings, 3);
    capture({'B'});  // "b" now belongs to key 3
    keyboardSelectMc10Key(d, m->workingSettings, 2);
    EXPECT_EQ(d.pcList, std::vector<std::string>{"Ctrl b"});
    keyboardSelectPcKey(d, 0);
    keyboardDeletePcKey(d, m->workingSettings);
    EXPECT_TRUE(d.pcList.empty());
    EXPECT_EQ(m->workingSettings.keyCtrl['B'], 0xFF);
    EXPECT_EQ(m->workingSettings.keyNormal['B'], 3);
}

TEST_F(KeyboardDialogModel, EntriesOfAnotherModeAreNeitherListedNorDeleted) {
    m->workingSettings.keyNormal['C'] = 0x40 | 3;  // a SHIFT-mode assignment to key 3
    keyboardSelectMc10Key(d, m->workingSettings, 3);
    EXPECT_TRUE(d.pcList.empty());
    keyboardSelectPcKey(d, 0);
    keyboardDeletePcKey(d, m->workingSettings);
    EXPECT_EQ(m->workingSettings.keyNormal['C'], 0x43);
    keyboardSelectMode(d, modeShift);
    EXPECT_TRUE(d.pcList.empty());  // the MC-10 selection is gone with the refill
    keyboardSelectMc10Key(d, m->workingSettings, 3);
    EXPECT_EQ(d.pcList, std::vector<std::string>{"c"});
}
