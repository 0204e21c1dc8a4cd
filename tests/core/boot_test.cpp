// The built-in ROM boots in the headless runner.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace {
std::string runCli(const std::string& args) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen((std::string(TOVRIN_CLI) + " " + args).c_str(), "r"), pclose);
    std::array<char, 256> buf;
    while (p && fgets(buf.data(), buf.size(), p.get())) out += buf.data();
    return out;
}
}  // namespace

TEST(Boot, CliRunsAndPrintsTheScreen) {
    std::string screen = runCli("--frames 5 --text");
    EXPECT_EQ(std::count(screen.begin(), screen.end(), '\n'), 16);
}
