// Input recordings: the host key events of a session with the frame at which the
// emulated keyboard saw them, as a small text file; played back, they reproduce the
// session exactly (same start, same settings). A recording starts right after a hard
// reset or a state load; frame 0 is the scan at the start, frame n the scan at the end
// of the n-th frame after it.
//
//   RecordingKeyboard rec(m, m.host.keyboard);     // wraps the real keyboard
//   m.host.keyboard = &rec;  rec.start();          // ... frames ...
//   writeInputRecordingFile("session.txt", rec.recording, why);
//
//   ReplayKeyboard play(m, recording);
//   m.host.keyboard = &play;  play.start();        // ... recording.frames frames ...
//
// File: a first line "tovrin input recording 1", then one event a line,
// "<frame> down|up <virtual-key code in hex>", then "end <frames>". Lines starting with
// '#' are comments.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host.h"

struct Machine;

struct KeyEvent {
    uint64_t frame = 0;
    uint8_t key = 0;  // virtual-key code
    bool down = false;
};

struct InputRecording {
    std::vector<KeyEvent> events;  // in frame order
    uint64_t frames = 0;           // length of the session in frames
};

std::string formatInputRecording(const InputRecording& r);
bool parseInputRecording(const std::string& text, InputRecording& out, std::string& why);
bool writeInputRecordingFile(const std::filesystem::path& file, const InputRecording& r, std::string& why);
bool readInputRecordingFile(const std::filesystem::path& file, InputRecording& out, std::string& why);

// Passes the host keyboard through and writes down every change.
struct RecordingKeyboard : HostKeyboard {
    RecordingKeyboard(const Machine& m, HostKeyboard* inner) : m_(m), inner_(inner) {}
    // Marks the start and takes the first scan (frame 0).
    void start(Machine& m);
    // The session's length up to now, into recording.frames.
    void finish();
    void readState(uint8_t state[256]) override;
    uint8_t keyForCharacter(char c) override;
    HostKeyboard* inner() const { return inner_; }

    InputRecording recording;

private:
    uint64_t frameNow() const;
    const Machine& m_;
    HostKeyboard* inner_;
    uint64_t startFrame_ = 0;
    bool started_ = false, atStart_ = false;
    uint8_t last_[256] = {};
};

// Hands the machine the recorded key state of each frame.
struct ReplayKeyboard : HostKeyboard {
    ReplayKeyboard(const Machine& m, InputRecording r) : recording(std::move(r)), m_(m) {}
    void start(Machine& m);
    // True once the frames of the recording have all run.
    bool finished() const;
    void readState(uint8_t state[256]) override;
    uint8_t keyForCharacter(char c) override { return usLayoutKeyForCharacter(c); }

    InputRecording recording;

private:
    const Machine& m_;
    uint64_t startFrame_ = 0;
    bool atStart_ = false;
    size_t next_ = 0;
    uint8_t state_[256] = {};
};
