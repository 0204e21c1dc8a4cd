// Load Binary File: address parsing, the checks and their messages, and Save Ram.
#include <gtest/gtest.h>

#include <memory>

#include "app/commands.h"
#include "io_fakes.h"
#include "machine.h"
#include "machine/binary_loader.h"

namespace {

TEST(ParseAddress, Cases) {
    struct Case {
        const char* text;
        int value;
        bool hex;
    } cases[] = {
        {"$4c00", 19456, true}, {"$4C00", 19456, true},  {"19456", 19456, false}, {"0", 0, false},
        {"$0", 0, true},        {"$FFFF", 65535, true},   {"65535", 65535, false}, {"$", -1, true},
        {"$4G00", -1, true},    {"$ 4", -1, true},        {"-1", -2, false},       {" 1", -2, false},
        {"", -2, false},        {"+5", -2, false},        {"$10000", -3, true},    {"65536", -3, false},
        {"99999999999999999999", -3, false},              {"9999999999999999999x", -2, false},
    };
    for (const Case& c : cases) {
        bool hex = !c.hex;
        EXPECT_EQ(parseAddress(c.text, hex), c.value) << c.text;
        EXPECT_EQ(hex, c.hex) << c.text;
    }
    EXPECT_EQ(formatAddress(0x4CFF, true), "$4cff");
    EXPECT_EQ(formatAddress(19456, false), "19456");
}

struct LoaderTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    std::string file(const char* name, size_t size) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
        writeBytes(testTmp(name), bytes);
        return testTmp(name).string();
    }
    std::string load(bool poke, const std::string& loadText, const std::string& execText, const std::string& name) {
        return loadBinaryFile(*m, {poke, loadText, execText, name});
    }
};

TEST_F(LoaderTest, LoadsAndPokesExec) {
    std::string obj = file("prog.obj", 3);
    EXPECT_EQ(load(true, "$4c00", "$4CFF", obj), "");
    EXPECT_EQ(m->mem.addressSpace[0x4C00], 1);
    EXPECT_EQ(m->mem.addressSpace[0x4C02], 15);
    EXPECT_EQ(m->mem.addressSpace[0x4C03], 0);
    EXPECT_EQ(m->mem.addressSpace[0x421F], 0x4C);
    EXPECT_EQ(m->mem.addressSpace[0x4220], 0xFF);
    EXPECT_EQ(m->workingSettings.bloadaddr, 0x4C00);
    EXPECT_EQ(m->workingSettings.bloadfilename, obj);
    EXPECT_EQ(m->settings.bloadaddr, 0x4C00);  // the live settings are the dialog's to commit

    // Decimal entry, garbage EXEC ignored while the box is clear, first 7 characters only.
    EXPECT_EQ(load(false, "0019456abc", "zz", obj), "");
    EXPECT_EQ(m->workingSettings.bloadaddr, 19456);
    EXPECT_EQ(m->workingSettings.loadaddrishex, 0);
    EXPECT_EQ(m->workingSettings.pokeexecaddr, 0);
    EXPECT_EQ(m->workingSettings.bexecaddr, 0x4CFF);
    EXPECT_EQ(m->mem.addressSpace[0x4C00], 1);
}

TEST_F(LoaderTest, WholeAddressSpace) {
    std::string full = file("full.bin", 65536);
    EXPECT_EQ(load(false, "0", "", full), "");
    EXPECT_EQ(m->mem.addressSpace[0xFFFF], static_cast<uint8_t>(65535 * 7 + 1));
    m->mem.addressSpace[0] = 0xEE;
    EXPECT_EQ(load(false, "1", "", full), "ERROR: \nLoading would extend beyond $FFFF\n");
    EXPECT_EQ(m->mem.addressSpace[0], 0xEE);
}

TEST_F(LoaderTest, MessagesInOrder) {
    std::string ok = file("ok.bin", 4);
    struct Case {
        bool poke;
        std::string loadText, execText, name, message;
    } cases[] = {
        {true, "$4G00", "x", ok, "ERROR: \nProblem with load address\nProblem with exec address\n"},
        {false, "", "", testTmp("missing.bin").string(),
         "ERROR: \nProblem with load address\nCould not open input file \n"},
        {false, "0", "", file("empty.bin", 0), "ERROR: \nProblem with input file \n"},
        {false, "0", "", file("big.bin", 65537), "ERROR: \nInput file is too big \n"},
        {false, "0", "", testTmp("").string(), "ERROR: \nProblem with input file \n"},
    };
    for (const Case& c : cases) {
        std::memset(m->mem.addressSpace, 0, sizeof m->mem.addressSpace);
        EXPECT_EQ(load(c.poke, c.loadText, c.execText, c.name), c.message) << c.name;
        EXPECT_EQ(m->mem.addressSpace[0], 0) << c.name;
    }
    // A bad load address does not lose a good EXEC address typed with it.
    load(true, "$zz", "$1234", ok);
    EXPECT_EQ(m->workingSettings.bexecaddr, 0x1234);
    EXPECT_EQ(m->workingSettings.execaddrishex, 1);
}

TEST(SaveRam, WritesTheAddressSpace) {
    auto m = std::make_unique<Machine>();
    m->mem.addressSpace[0] = 1;
    m->mem.addressSpace[0xFFFF] = 0xAB;
    auto p = testTmp("ram.bin");
    ASSERT_TRUE(saveRamTo(*m, p.string()));
    auto bytes = readBytes(p);
    ASSERT_EQ(bytes.size(), 65536u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[0xFFFF], 0xAB);
    EXPECT_FALSE(saveRamTo(*m, (testTmp("none") / "x" / "ram.bin").string()));
}

}  // namespace
