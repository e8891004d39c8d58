#include "FileFailure.h"

#include <cstring>

TFileFailure TFileFailure::FromErrno(int error) {
    TFileFailure f;
    f.problem = TFileProblem::System;
    f.error = error;
    return f;
}

TFileFailure TFileFailure::NotRegularFile(TFileKind kind) {
    TFileFailure f;
    f.problem = TFileProblem::NotRegular;
    f.kind = kind;
    return f;
}

TFileFailure TFileFailure::TooLargeFile(std::uint64_t limit) {
    TFileFailure f;
    f.problem = TFileProblem::TooLarge;
    f.limit = limit;
    return f;
}

TFileFailure TFileFailure::NotGraphFile(std::string detail) {
    TFileFailure f;
    f.problem = TFileProblem::NotGraph;
    f.detail = std::move(detail);
    return f;
}

const char* FileKindText(TFileKind kind) {
    switch (kind) {
    case TFileKind::Regular: return "a regular file";
    case TFileKind::Directory: return "a folder";
    case TFileKind::Fifo: return "a FIFO (named pipe)";
    case TFileKind::CharacterDevice: return "a character device";
    case TFileKind::BlockDevice: return "a block device";
    case TFileKind::Socket: return "a socket";
    case TFileKind::Other: break;
    }
    return "a special file";
}

namespace {

// "256 MiB", "1 KiB", "1000 bytes": the limit as its largest whole binary unit.
std::string SizeText(std::uint64_t bytes) {
    static const char* const units[] = {"bytes", "KiB", "MiB", "GiB"};
    int unit = 0;
    while (unit < 3 && bytes >= 1024 && bytes % 1024 == 0) {
        bytes /= 1024;
        ++unit;
    }
    return std::to_string(bytes) + " " + units[unit];
}

} // namespace

std::string FailureReason(const TFileFailure& failure) {
    switch (failure.problem) {
    case TFileProblem::None: return {};
    case TFileProblem::System: return std::strerror(failure.error);
    case TFileProblem::NotRegular: return std::string("it is ") + FileKindText(failure.kind) + ", not a regular file";
    case TFileProblem::TooLarge: return "it is larger than " + SizeText(failure.limit);
    case TFileProblem::NotGraph:
        return failure.detail.empty() ? "it is not a graph file" : "it is not a graph file (" + failure.detail + ")";
    }
    return {};
}

std::string FailureSentence(const TFileFailure& failure) {
    std::string text = FailureReason(failure);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string OpenFailureText(const std::string& path, const TFileFailure& failure) {
    return "Cannot open \"" + path + "\": " + FailureReason(failure);
}

std::string WriteFailureText(const std::string& path, const TFileFailure& failure) {
    return "Cannot write \"" + path + "\": " + FailureReason(failure);
}
