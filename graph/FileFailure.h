#pragma once
// Why a file could not be read or written, and the one text the user reads for it: the window,
// the command line, the graph save and the picture export all word a failure here.

#include <cstdint>
#include <string>

// What a path names, for the messages of refused files.
enum class TFileKind { Regular, Directory, Fifo, CharacterDevice, BlockDevice, Socket, Other };

enum class TFileProblem {
    None,
    System,     // a call failed: error holds its errno
    NotRegular, // the path names no regular file: kind says what it is
    TooLarge,   // larger than the read limit, limit
    NotGraph,   // read, but not as a graph file: detail says why
};

struct TFileFailure {
    TFileProblem problem = TFileProblem::None;
    int error = 0;                       // System: the errno
    TFileKind kind = TFileKind::Regular; // NotRegular: what the path is
    std::uint64_t limit = 0;             // TooLarge: the limit in bytes
    std::string detail;                  // NotGraph: what was wrong, e.g. "line 1 is not ..."

    explicit operator bool() const { return problem != TFileProblem::None; }
    static TFileFailure FromErrno(int error);
    static TFileFailure NotRegularFile(TFileKind kind);
    static TFileFailure TooLargeFile(std::uint64_t limit);
    static TFileFailure NotGraphFile(std::string detail);
};

// "a folder", "a FIFO (named pipe)", "a character device", ... (article included).
const char* FileKindText(TFileKind kind);

// The reason in the words of a clause after a colon, no full stop: the system's description of an
// errno ("No such file or directory"), "it is a FIFO (named pipe), not a regular file",
// "it is larger than 256 MiB", "it is not a graph file (line 1 is not ...)".
std::string FailureReason(const TFileFailure& failure);

// The reason as a sentence of its own, first letter capital, no full stop: "It is a folder, not a
// regular file", "Permission denied".
std::string FailureSentence(const TFileFailure& failure);

// The whole message for a file that was to be read as a graph:
// Cannot open "PATH": REASON
std::string OpenFailureText(const std::string& path, const TFileFailure& failure);
// The whole message for a file that was to be written by a command-line action:
// Cannot write "PATH": REASON
std::string WriteFailureText(const std::string& path, const TFileFailure& failure);
