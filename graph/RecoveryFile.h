#pragma once
// The recovery file: what an editor with unsaved changes keeps of its graph in the user's state
// folder, so that the next start can offer the changes back after a crash, a kill or a power cut.
// Each running editor has a file of its own, named after its process; a file whose process is
// gone is a crashed editor's. No Qt.
//
// The file is the graph's gf4 text behind a small header that the gf4 reader never sees:
//
//   Nodeloom recovery 1
//   time SECONDS          when it was written, in seconds since 1970 (UTC)
//   file LENGTH           then LENGTH bytes and a line break: the graph's gf4 file, or nothing
//   source LENGTH         the same for the other tool's file it was imported from
//   graph LENGTH          then LENGTH bytes of gf4 text and a line break, the file's end
//
// Lengths and times are decimal, in bytes, so that any file name (even one with a line break)
// comes back exactly, and a file cut short is told from a whole one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TRecoveryContent {
    std::int64_t time = 0;    // seconds since 1970, when the file was written
    std::string fileName;     // the graph's gf4 file; empty for a graph that has none
    std::string importedFrom; // the other tool's file the graph came from; empty for none
    std::string graph;        // the gf4 text, as SaveGraph writes it
};

// The file's bytes for the content.
std::string RecoveryFileText(const TRecoveryContent& content);
// Reads the bytes into content. False, with the reason in problem, for anything that is not a
// whole recovery file: another file (no header), a header that does not read, a part cut short,
// bytes after the end. The gf4 text itself is not checked here.
bool ParseRecoveryFile(const std::string& bytes, TRecoveryContent& content, std::string& problem);

// A process told apart from every other one since the machine started, and from the ones of
// other boots: a reused process id has another start time.
struct TProcessMark {
    std::string boot;             // the kernel's boot id, without its dashes
    long pid = 0;                 //
    unsigned long long start = 0; // the process's start, in clock ticks after boot
    bool operator==(const TProcessMark& other) const {
        return pid == other.pid && start == other.start && boot == other.boot;
    }
};

// This process's mark; nothing where /proc cannot tell it (recovery is then off).
std::optional<TProcessMark> CurrentProcessMark();
// Whether the process with the mark is running now. A mark of another boot is not.
bool ProcessRunning(const TProcessMark& mark);

// "nodeloom-PID-START-BOOT.recovery", and back; nothing for a name of another form.
std::string RecoveryFileName(const TProcessMark& mark);
std::optional<TProcessMark> ParseRecoveryFileName(const std::string& name);

// $XDG_STATE_HOME/nodeloom, or $HOME/.local/state/nodeloom when XDG_STATE_HOME is unset or not
// an absolute path; empty when neither gives a folder.
std::string RecoveryFolder();
// Makes the folder and any missing parents, readable by the user alone. False when it is not a
// folder afterwards.
bool MakeRecoveryFolder(const std::string& folder);

// The recovery files in folder left by editors that are no longer running, newest first (by
// modification time); the file of a running editor, this one's included, is never listed.
std::vector<std::string> OrphanedRecoveryFiles(const std::string& folder);
