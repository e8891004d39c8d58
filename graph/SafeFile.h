#pragma once
// Reading and replacing files with POSIX calls, for every file the program reads or writes (graph
// files and pictures): only regular files are read, and only up to a limit; nothing blocks on a
// FIFO or a device; a file is replaced only when its new content is whole. No Qt.

#include "FileFailure.h"

#include <cstdint>
#include <functional>
#include <string>

// The largest file that is read: anything larger is refused before a byte is read.
constexpr std::uint64_t MaxReadBytes = std::uint64_t(256) << 20; // 256 MiB

// Reads the whole regular file at path (symbolic links followed) into bytes, which it replaces.
// False, before anything is read, when the path names anything but a regular file (a directory,
// FIFO, device or socket) or a file larger than limit; false also when it cannot be opened or
// read. Never blocks: a FIFO or device is refused after a stat and opened, if ever, without
// waiting. May throw std::bad_alloc for a large file when memory runs short.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::uint64_t limit = MaxReadBytes);
// The same, telling why a read failed: System (the errno of stat, open or read), NotRegular,
// TooLarge; nothing on success.
TFileFailure ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t limit = MaxReadBytes);

enum class TReplaceStep { None, NotRegular, Create, Write };

// How ReplaceFile failed. step None: it did not.
struct TReplaceFailure {
    TReplaceStep step = TReplaceStep::None;
    int error = 0;                       // the system's code (errno) for Create and Write
    TFileKind kind = TFileKind::Regular; // what the target is, for NotRegular
};

// The failure as the messages word it: System with the errno, or NotRegular with the kind.
TFileFailure AsFileFailure(const TReplaceFailure& failure);

// Gives the file at path the content bytes, so that a failure leaves the previous file as it was
// and no partial or temporary file behind:
// - a symbolic link is followed (a chain, too) and the file it points to is written, created when
//   it does not exist yet; the link stays;
// - an existing target that is not a regular file (folder, FIFO, device, socket) is refused
//   (NotRegular) and left untouched;
// - an existing target that may not be opened for writing is refused with that open's error
//   (Create);
// - a new file, or one with a single link, is written to a temporary file beside it that then
//   replaces it by rename, with the old file's permissions, owner and group (a refused change of
//   owner is ignored); a new file gets the permissions the process's umask leaves of 0666; the
//   folder is synced after the rename, so that a save reported as done survives a power cut;
// - a file with more than one hard link is written in place, so that every link sees the new
//   content: a copy of the old content is kept beside it first and put back when the write fails.
//   The copy is removed afterwards, except when putting it back failed too. So is a writable file
//   in a folder where no temporary file can be made; its old content is then kept in memory.
// Create: the target or the temporary file (or the copy) could not be made; Write: writing,
// flushing or renaming it failed.
TReplaceFailure ReplaceFile(const std::string& path, const std::string& bytes);
// The same for content produced piece by piece, never held whole: content(write) calls write(data,
// size) for each piece in order, stops at the first nonzero value it returns (an errno) and returns
// that, or 0 when all was written; it is called at most once. An exception from it leaves the old
// file as a failed write does, and then leaves ReplaceFile.
using TFileWriter = std::function<int(const char* data, std::size_t size)>;
using TFileContent = std::function<int(const TFileWriter& write)>;
TReplaceFailure ReplaceFile(const std::string& path, const TFileContent& content);
