// Inputs the fuzz targets (fuzz/) found to be mishandled, kept as tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

// tovrin-cli's exit status for args.
int cliStatus(std::vector<std::string> args) {
    const std::filesystem::path folder = std::filesystem::path(TOVRIN_TEST_TMP) / "fuzz-regressions";
    std::filesystem::create_directories(folder);
    return runCliIn(folder, std::move(args)).status;
}

TEST(FuzzRegressions, FrameCountsWithABlankOrASignAreBadUsage) {
    // strtoll skips leading blanks: " -5" ran no frame at all and reported success.
    for (const char* frames : {" -5", " 5", "\t7", "+5", "-1", "5 ", "0x10"})
        EXPECT_EQ(cliStatus({"--frames", frames}), 2) << '"' << frames << '"';
    EXPECT_EQ(cliStatus({"--frames", "1"}), 0);
}

}  // namespace
