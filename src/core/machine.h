// Machine: one emulated MC-10 with everything it owns. Every operation takes the
// machine explicitly, so tests build fresh ones and several can coexist.
//
//   auto m = std::make_unique<Machine>();   // large: allocate on the heap
//   m->host.messages = &boxes;
//   loadRomImages(*m);
//   recomputeFrameTiming(*m);
//   startupReset(*m);
//   cpuExecute(*m, m->timing.activeScanCycles);
#pragma once
#include <filesystem>

#include "app/media_commands.h"
#include "app/scheduler.h"
#include "config/dialog_state.h"
#include "config/settings.h"
#include "cpu/cpu.h"
#include "debug/debugger.h"
#include "host/host.h"
#include "machine/cassette_in.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/port_output.h"
#include "machine/quick_type.h"
#include "sound/sound.h"
#include "video/renderer.h"

struct Machine {
    // Recordings are named and opened by the app layer's command.
    Machine() { portOutput.openRecording = openRecordingFile; }

    Settings settings;
    Settings workingSettings;
    Host host;

    CpuState cpu;
    CycleCounter cycles;
    MachineMemory mem;
    KeyboardState keyboard;
    QuickType quickType;
    CassetteIn cassetteIn;
    PortOutput portOutput;
    SoundOutput sound;
    Renderer renderer;
    FrameTiming timing;
    FrameScheduler scheduler;
    DialogRunState dialogs;  // what the configuration dialogs keep for the run
    Debugger debugger;       // breakpoints, watchpoints, trace; not part of a saved state
    MediaCommands media;     // one-step run, recent files, what the status bar reports

    std::filesystem::path iniPath;        // the settings file; empty: settings are not saved
    bool settingsWriteFailed = false;     // a save point could not write the settings file
    std::filesystem::path startupDirectory;
};
