// Files the machine reads (ROM image, cassette, Quick Type text, binary load, input
// recording) given as a named pipe or a directory: refused at once, with the message of
// a missing file.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "io_fakes.h"
#include "machine.h"
#include "machine/binary_loader.h"
#include "state/input_recording.h"

namespace {

// Runs f; should it block in opening the pipe, a writer opens the other end after a
// while to release it, and the run counts as blocked.
bool blocksOnPipe(const std::string& pipe, const std::function<void()>& f) {
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false, blocked = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        while (!doneSignal.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
            const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);  // succeeds only with a reader waiting
            if (fd >= 0) blocked = true, ::close(fd);
        }
    });
    f();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    doneSignal.notify_one();
    watchdog.join();
    return blocked;
}

TEST(InputFiles, PipesAndDirectoriesAreRefusedLikeMissingFiles) {
    const std::string pipe = tmpFile("input.fifo"), dir = tmpFile("input.dir"), missing = tmpFile("no-such-file");
    ::unlink(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_directories(dir);

    // Each returns what the user sees for `path`: the result and the messages.
    const struct {
        const char* what;
        std::function<std::string(Machine&, const std::string&)> use;
    } inputs[] = {
        {"ROM image",
         [](Machine& m, const std::string& path) {
             m.settings.usebuiltinromflag = 0;
             m.settings.ROMfilename = path;
             loadRomImages(m);
             return std::string();
         }},
        {".C10 cassette", [](Machine& m, const std::string& path) { return std::to_string(playCassettePath(m, path, false)); }},
        {"WAV cassette", [](Machine& m, const std::string& path) { return std::to_string(playCassettePath(m, path, true)); }},
        {"Quick Type", [](Machine& m, const std::string& path) { return std::to_string(startQuickTypeFile(m, path)); }},
        {"binary load", [](Machine& m, const std::string& path) { return loadBinaryFile(m, {false, "$4c00", "", path}); }},
        {"input recording",
         [](Machine&, const std::string& path) {
             InputRecording rec;
             std::string why;
             return std::to_string(readInputRecordingFile(path, rec, why)) + why;
         }},
    };
    for (const auto& input : inputs) {
        auto outcome = [&](const std::string& path, bool& blocked) {
            auto m = std::make_unique<Machine>();
            FakeLog log;
            m->host.messages = &log;
            m->host.debug = &log;
            std::string result;
            blocked = blocksOnPipe(pipe, [&] { result = input.use(*m, path); });
            for (const std::string& line : log.lines) result += "|" + line;
            // The path is part of some messages: name every file the same.
            for (size_t at; (at = result.find(path)) != std::string::npos;) result.replace(at, path.size(), "FILE");
            return result;
        };
        bool blocked = false;
        const std::string expected = outcome(missing, blocked);
        EXPECT_EQ(outcome(pipe, blocked), expected) << input.what;
        EXPECT_FALSE(blocked) << input.what << " waited for a writer on a named pipe";
        EXPECT_EQ(outcome(dir, blocked), expected) << input.what;
    }
}

}  // namespace
