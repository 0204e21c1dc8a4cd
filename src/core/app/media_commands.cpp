// Commands for cassettes, Quick Type, drops, paste and recent files.
#include "app/media_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/commands.h"
#include "app/tape_kind.h"
#include "config/settings_file.h"
#include "machine.h"
#include "video/screenshot.h"

namespace {

const std::vector<FileFilter> cassetteFilters = {{"MC-10 Cassette Files (*.C10)", "*.c10"},
                                                 {"MC-10 Cassette Files (*.WAV)", "*.wav"},
                                                 {"All Files (*.*)", "*.*"}};

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

void tapeMessage(Machine& m, TapeProblem p, const std::string& path) {
    std::string text;
    switch (p) {
        case TapeProblem::None:
        case TapeProblem::BadWav: return;  // the WAV reader has said why
        case TapeProblem::Busy: text = "A cassette is playing. Stop it first (File > Stop Cassette)."; break;
        case TapeProblem::CannotOpen: text = "Could not open the cassette file\n" + path; break;
        case TapeProblem::Empty: text = "The cassette file is empty:\n" + path; break;
        case TapeProblem::TooBig: text = "The cassette file is too big (more than 16 MiB):\n" + path; break;
    }
    hostMessage(m.host, text, mediaTitle, MessageIcon::Exclamation);
}

void textMessage(Machine& m, TextProblem p, const std::string& path) {
    std::string text;
    switch (p) {
        case TextProblem::None: return;
        case TextProblem::Busy: text = "Quick Type is already typing."; break;
        case TextProblem::CannotOpen: text = "Could not open the file to type\n" + path; break;
        case TextProblem::Empty: text = "The file to type is empty:\n" + path; break;
        case TextProblem::TooBig: text = "The file to type is too big (more than 64 MiB):\n" + path; break;
    }
    hostMessage(m.host, text, mediaTitle, MessageIcon::Exclamation);
}

void rememberCassette(Machine& m, const std::string& path) {
    m.settings.cassette = path;
    saveCassetteName(m);
    rememberRecentFile(m, path);
}

}  // namespace

bool isWavName(const std::string& path) { return lowerExtension(path) == ".wav"; }

DropAction dropActionFor(const std::string& path) {
    const std::string ext = lowerExtension(path);
    if (ext == ".c10" || ext == ".wav") return DropAction::RunCassette;
    if (ext == ".txt" || ext == ".bas") return DropAction::QuickType;
    return DropAction::LoadBinary;
}

void playCassetteFile(Machine& m) {
    if (m.cassetteIn.cassettePlaying || m.quickType.quickTypeActive) return;
    std::string path = m.settings.cassette;
    int filter = 1;
    if (!hostChooseFile(m.host, path, cassetteFilters, "c10", ChooseMode::Open, &filter)) return;
    // The filter decides, not the file's extension: "All Files" plays a byte stream.
    const TapeProblem p = insertCassette(m, path, filter == 2);
    if (p != TapeProblem::None) {
        tapeMessage(m, p, path);
        return;
    }
    m.media.notice = "Cassette " + fileName(path) + ": type CLOAD (or CLOADM) to load it";
    rememberCassette(m, path);
}

bool quickTypeFile(Machine& m, const std::string& path) {
    const TextProblem p = startQuickTypeFrom(m, path);
    if (p != TextProblem::None) {
        textMessage(m, p, path);
        return false;
    }
    m.settings.quicktype = path;
    saveQuickTypeName(m);
    rememberRecentFile(m, path);
    return true;
}

void startQuickType(Machine& m) {
    if (m.quickType.quickTypeActive) return;
    std::string path = m.settings.quicktype;
    if (!hostChooseFile(m.host, path, {{"Text Files (*.TXT)", "*.txt"}, {"All Files (*.*)", "*.*"}}, "txt",
                        ChooseMode::Open))
        return;
    quickTypeFile(m, path);
}

bool runCassetteFile(Machine& m, const std::string& path) {
    if (m.quickType.quickTypeActive) {
        textMessage(m, TextProblem::Busy, path);
        return false;
    }
    const bool wav = isWavName(path);
    if (m.cassetteIn.cassettePlaying) stopCassette(m);  // the user asked for this tape now
    const TapeProblem p = insertCassette(m, path, wav);
    if (p != TapeProblem::None) {
        tapeMessage(m, p, path);
        return false;
    }
    const bool machineCode = tapeKindOf(path, wav).machineLanguage();
    startQuickTypeText(m, machineCode ? "CLOADM\r" : "CLOAD\r");
    MediaCommands& md = m.media;
    md.runPending = true;
    md.runTapeStarted = false;
    md.runSettleFrames = 0;
    md.runAfterLoad = machineCode ? "EXEC\r" : "RUN\r";
    md.notice = "Running " + fileName(path);
    rememberCassette(m, path);
    return true;
}

void runCassetteFileCommand(Machine& m) {
    std::string path = m.settings.cassette;
    if (!hostChooseFile(m.host, path, cassetteFilters, "c10", ChooseMode::Open)) return;
    runCassetteFile(m, path);
}

bool runBasicText(Machine& m, const std::string& path) {
    if (m.quickType.quickTypeActive) {
        textMessage(m, TextProblem::Busy, path);
        return false;
    }
    const TextProblem p = startQuickTypeFrom(m, path);
    if (p != TextProblem::None) {
        textMessage(m, p, path);
        return false;
    }
    std::vector<uint8_t>& text = m.quickType.text;  // line ends are CRs by now
    if (text.back() != 0x0D) text.push_back(0x0D);
    for (char c : std::string("RUN\r")) text.push_back(static_cast<uint8_t>(c));
    return true;
}

void rewindCassetteCommand(Machine& m) {
    if (rewindCassette(m))
        m.media.notice = "Cassette rewound: it plays when the next load begins";
    else if (!m.cassetteIn.tapePath.empty())
        tapeMessage(m, TapeProblem::CannotOpen, m.cassetteIn.tapePath);
}

void stopCassetteCommand(Machine& m) {
    stopCassette(m);
    m.media.runPending = false;
}

bool pasteText(Machine& m, const std::string& text) {
    if (text.empty()) return false;
    if (m.quickType.quickTypeActive) {
        textMessage(m, TextProblem::Busy, "");
        return false;
    }
    return startQuickTypeText(m, text);
}

DropAction dropFile(Machine& m, const std::string& path) {
    const DropAction a = dropActionFor(path);
    if (a == DropAction::RunCassette) runCassetteFile(m, path);
    else if (a == DropAction::QuickType) quickTypeFile(m, path);
    return a;
}

void openRecentFile(Machine& m, const std::string& path) {
    const std::string ext = lowerExtension(path);
    if (ext == ".c10" || ext == ".wav")
        runCassetteFile(m, path);
    else
        quickTypeFile(m, path);
}

void rememberRecentFile(Machine& m, const std::string& path) {
    std::vector<std::string>& r = m.media.recentFiles;
    r.erase(std::remove(r.begin(), r.end(), path), r.end());
    r.insert(r.begin(), path);
    if (r.size() > recentFileCount) r.resize(recentFileCount);
    saveRecentFiles(m);
}

bool saveRamCommand(Machine& m) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute("ram.bin", ec);
    if (!saveRamTo(m, path.string())) {
        hostMessage(m.host, "Could not write the memory image\n" + path.string(), mediaTitle, MessageIcon::Exclamation);
        return false;
    }
    m.media.notice = "Memory saved to " + path.string();
    return true;
}

bool screenshotCommand(Machine& m) {
    const std::filesystem::path path = screenshotPath(m);
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    const int32_t before = m.settings.nscreenshot;
    takeScreenshot(m);
    if (m.settings.nscreenshot == before) {
        hostMessage(m.host, "Could not write the screenshot\n" + path.string(), mediaTitle, MessageIcon::Exclamation);
        return false;
    }
    m.media.notice = "Screenshot saved to " + path.string();
    return true;
}

void openRecordingFile(Machine& m) {
    const CassetteOut& out = m.portOutput.cassetteOut;
    const std::string name = cassetteOutName(out.head + recordingNameOffset) + ".C10";
    const std::filesystem::path dir = std::filesystem::path(m.settings.cassettewr).parent_path();
    std::string path = dir.empty() ? name : (dir / name).string();
    if (!hostChooseFile(m.host, path,
                        {{"TOVRIN Cassette Files (*.C10)", "*.c10"},
                         {"WAV Recordings (*.WAV)", "*.wav"},
                         {"All Files (*.*)", "*.*"}},
                        ".C10", ChooseMode::SaveAskOverwrite))
        return;  // cancelled: the rest of the recording is dropped
    if (!startRecordingFile(m, path, isWavName(path))) return;
    m.settings.cassettewr = path;
    saveCassetteOutName(m);
    m.media.notice = "Recording to " + path;
}

void mediaFrameTick(Machine& m) {
    MediaCommands& md = m.media;
    if (md.runPending) {
        const CassetteIn& c = m.cassetteIn;
        if (c.cassettePlaying) {
            md.runTapeStarted = true;
        } else if (!c.waitingForLoad) {  // the tape has ended, or was stopped
            if (!md.runTapeStarted) {
                md.runPending = false;
            } else if (++md.runSettleFrames >= runSettleFrameCount && !m.quickType.quickTypeActive) {
                startQuickTypeText(m, md.runAfterLoad);
                md.runPending = false;
            }
        }
    }
    PortOutput& p = m.portOutput;
    if (!p.outputFailure.empty()) {
        const std::string what = p.outputFailure;
        p.outputFailure.clear();
        hostMessage(m.host,
                    "Could not write the " + what +
                        "\nThe disk may be full or the folder missing. Nothing more is written to that file.",
                    mediaTitle, MessageIcon::Exclamation);
    }
    if (m.settingsWriteFailed && !md.settingsWarned) {
        md.settingsWarned = true;
        hostMessage(m.host,
                    "Could not write the settings file\n" + m.iniPath.string() +
                        "\nChanged settings will not be kept after this run.",
                    mediaTitle, MessageIcon::Exclamation);
    }
}

std::string tapeStatus(const Machine& m) {
    const CassetteIn& c = m.cassetteIn;
    const PortOutput& p = m.portOutput;
    if (p.cassetteOutMode && p.cassetteOut.outFile) return "Tape: recording " + fileName(p.cassetteOut.outPath);
    if (c.cassettePlaying) return "Tape: playing " + std::to_string(cassettePercent(m)) + "%";
    if (c.waitingForLoad) return "Tape: " + fileName(c.tapePath) + ", waiting for CLOAD";
    if (!c.tapePath.empty()) return "Tape: stopped";
    return "Tape: none";
}

std::string printerStatus(const Machine& m) {
    const bool printing = m.portOutput.printerMode;
    return (printing ? "Printing to " : "Printer: ") + fileName(m.settings.filename);
}

std::string quickTypeStatus(const Machine& m) {
    if (!m.quickType.quickTypeActive) return {};
    return "Typing " + std::to_string(quickTypePercent(m)) + "%";
}
