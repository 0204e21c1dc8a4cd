// Settings file: time to load a complete settings file and to save the largest section
// (KEYBOARD, 770 keys) into it.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "config/settings_file.h"
#include "machine.h"

namespace fs = std::filesystem;

int main() {
    const fs::path dir = fs::temp_directory_path() / "tovrin_bench_settings";
    fs::create_directories(dir);
    auto m = std::make_unique<Machine>();
    m->iniPath = dir / "foo.ini";
    fs::remove(m->iniPath);
    for (auto save : {saveMemorySection, savePrinterSection, saveSoundSection, saveSpeedSection, saveVideoSection,
                      saveLoadBinarySection, saveCassetteName, saveCassetteOutName, saveQuickTypeName,
                      saveScreenshotNumber, saveKeyboardSection})
        save(*m);
    using clock = std::chrono::steady_clock;
    constexpr int rounds = 20;
    auto t0 = clock::now();
    for (int i = 0; i < rounds; ++i) loadSettings(*m);
    auto t1 = clock::now();
    for (int i = 0; i < rounds; ++i) saveKeyboardSection(*m);
    auto t2 = clock::now();
    std::printf("loadSettings (full file, %ju bytes): %.2f ms\n", static_cast<uintmax_t>(fs::file_size(m->iniPath)),
                std::chrono::duration<double, std::milli>(t1 - t0).count() / rounds);
    std::printf("saveKeyboardSection (770 keys, one rewrite): %.2f ms\n",
                std::chrono::duration<double, std::milli>(t2 - t1).count() / rounds);
    fs::remove_all(dir);
    return 0;
}
