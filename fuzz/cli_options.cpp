// Fuzz target: tovrin-cli's command-line parser. The input is the argument words
// separated by NUL bytes. A command line is either accepted or refused with a message;
// parsing alone never touches a file or the machine (the steps it registers run later).
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words = {"tovrin-cli"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (size) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    CliRun run;
    std::string error;
    const bool ok = parseCliOptions(static_cast<int>(words.size()), argv.data(), run, error);
    FUZZ_CHECK(ok == error.empty());
    if (ok) FUZZ_CHECK(run.frames >= 0 && (run.seconds < 0 || run.seconds <= 1e7));
    return 0;
}
