// Load Binary File: address parsing, the checks and their messages, and Save Ram.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "app/commands.h"
#include "io_fakes.h"
#include "machine.h"
#include "machine/binary_loader.h"

namespace {

TEST(ParseAddress, Cases) {
    for (auto [text, value, hex] : {std::tuple{"$4c00", 19456, true}, {"$4C00", 19456, true}, {"19456", 19456, false},
                                    {"$FFFF", 65535, true}, {"$", -1, true}, {"$4G00", -1, true}, {"-1", -2, false},
                                    {" 1", -2, false}, {"", -2, false}, {"$10000", -3, true}, {"65536", -3, false},
                                    {"99999999999999999999", -3, false}}) {
        bool isHex = !hex;
        EXPECT_EQ(parseAddress(text, isHex), value) << text;
        EXPECT_EQ(isHex, hex) << text;
    }
    EXPECT_EQ(formatAddress(0x4CFF, true), "$4cff");
}

struct LoaderTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    std::string file(const char* name, size_t size) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
        writeBytes(tmpFile(name), bytes);
        return tmpFile(name);
    }
    std::string load(bool poke, const std::string& at, const std::string& exec, const std::string& name) {
        return loadBinaryFile(*m, {poke, at, exec, name});
    }
};

TEST_F(LoaderTest, LoadsAndPokesExec) {
    std::string obj = file("prog.obj", 3);
    EXPECT_EQ(load(true, "$4c00", "$4CFF", obj), "");
    EXPECT_EQ(m->mem.addressSpace[0x4C02], 15);
    EXPECT_EQ(m->mem.addressSpace[0x421F], 0x4C);
    EXPECT_EQ(m->mem.addressSpace[0x4220], 0xFF);
    // Decimal, judged by 7 characters; garbage EXEC ignored while the box is clear.
    EXPECT_EQ(load(false, "0019456abc", "zz", obj), "");
    EXPECT_EQ(m->workingSettings.bloadaddr, 19456);
    EXPECT_EQ(m->workingSettings.loadaddrishex, 0);
    EXPECT_EQ(m->workingSettings.bexecaddr, 0x4CFF);

    std::string full = file("full.bin", 65536);
    EXPECT_EQ(load(false, "0", "", full), "");
    EXPECT_EQ(m->mem.addressSpace[0xFFFF], static_cast<uint8_t>(65535 * 7 + 1));
    m->mem.addressSpace[0] = 0xEE;
    EXPECT_EQ(load(false, "1", "", full), "ERROR: \nLoading would extend beyond $FFFF\n");
    EXPECT_EQ(m->mem.addressSpace[0], 0xEE);
}

TEST_F(LoaderTest, MessagesInOrder) {
    const std::string ok = file("ok.bin", 4), e = "ERROR: \n";
    for (auto [poke, at, exec, name, message] :
         {std::tuple{true, "$4G00", "x", ok, e + "Problem with load address\nProblem with exec address\n"},
          {false, "", "", tmpFile("missing.bin"), e + "Problem with load address\nCould not open input file \n"},
          {false, "0", "", file("empty.bin", 0), e + "Problem with input file \n"},
          {false, "0", "", file("big.bin", 65537), e + "Input file is too big \n"},
          {false, "0", "", tmpFile(""), e + "Could not open input file \n"}}) {
        m->mem.addressSpace[0] = 0;
        EXPECT_EQ(load(poke, at, exec, name), message) << name;
        EXPECT_EQ(m->mem.addressSpace[0], 0) << name;
    }
    load(true, "$zz", "$1234", ok);  // a good EXEC address is kept beside a bad load address
    EXPECT_EQ(m->workingSettings.bexecaddr, 0x1234);
}

TEST(SaveRam, WritesTheAddressSpace) {
    auto m = std::make_unique<Machine>();
    m->mem.addressSpace[0xFFFF] = 0xAB;
    ASSERT_TRUE(saveRamTo(*m, tmpFile("ram.bin")));
    auto bytes = readBytes(tmpFile("ram.bin"));
    ASSERT_EQ(bytes.size(), 65536u);
    EXPECT_EQ(bytes[0xFFFF], 0xAB);
    EXPECT_FALSE(saveRamTo(*m, tmpFile("none/x/ram.bin")));
}

}  // namespace
