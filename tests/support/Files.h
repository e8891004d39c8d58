#pragma once
// Files for the tests: the one temporary folder, removed with all it holds, and whole-file reads
// and writes. The folder's listing is FolderEntries (FileCheck.h), which the fuzz targets share.

#include "FileCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Removes path and, for a folder, everything in it; a test may have taken the permissions away,
// so each folder is opened up first. Links are removed, never followed.
inline void RemoveTree(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
        unlink(path.c_str());
        return;
    }
    chmod(path.c_str(), 0700);
    for (const std::string& name : FolderEntries(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
}

// A fresh folder in /tmp, readable only by the user who made it, removed at the end.
class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/nodeloom-test-XXXXXX";
        const char* made = mkdtemp(name);
        path = made ? made : "";
    }
    ~TempFolder() {
        if (!path.empty()) RemoveTree(path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return path + "/" + name; }
    // Names of the files in the folder, "." and ".." aside, sorted.
    std::vector<std::string> Entries() const { return FolderEntries(path); }

    std::string path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
