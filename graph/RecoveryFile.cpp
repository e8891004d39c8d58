// The recovery file's text, and the process marks that tell a running editor's file from a
// crashed one's.

#include "RecoveryFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Magic = "Nodeloom recovery 1\n";
const std::string NamePrefix = "nodeloom-", NameSuffix = ".recovery";

template <class Number>
std::string Decimal(Number n) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, n);
    return std::string(text, result.ptr);
}

// The whole text as a number of type Number: digits only (a minus sign where allowed), no spaces.
template <class Number>
bool ReadDecimal(const std::string& text, Number& n) {
    if (text.empty() || text[0] == '+') return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), n);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Reads the header's parts in order from the bytes.
class THeaderReader {
public:
    explicit THeaderReader(const std::string& bytes) : bytes_(bytes) {}

    // "KEY NUMBER\n"
    template <class Number>
    bool Field(const char* key, Number& n) {
        const std::string start = std::string(key) + ' ';
        if (bytes_.compare(at_, start.size(), start) != 0) return false;
        const std::size_t end = bytes_.find('\n', at_ + start.size());
        if (end == std::string::npos) return false;
        if (!ReadDecimal(bytes_.substr(at_ + start.size(), end - at_ - start.size()), n)) return false;
        at_ = end + 1;
        return true;
    }
    // "KEY LENGTH\n", LENGTH bytes, "\n"
    bool Block(const char* key, std::string& value) {
        std::uint64_t length = 0;
        if (!Field(key, length) || length > bytes_.size() - at_ || bytes_.size() - at_ - length < 1) return false;
        if (bytes_[at_ + length] != '\n') return false;
        value = bytes_.substr(at_, length);
        at_ += length + 1;
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    const std::string& bytes_;
    std::size_t at_ = Magic.size();
};

std::string ReadProcFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string BootId() {
    std::string id = ReadProcFile("/proc/sys/kernel/random/boot_id");
    id.erase(std::remove_if(id.begin(), id.end(), [](char c) { return !std::isxdigit(static_cast<unsigned char>(c)); }),
             id.end());
    return id;
}

// Field 22 of /proc/PID/stat; the command's name before it, in parentheses, may hold spaces.
std::optional<unsigned long long> ProcessStart(long pid) {
    const std::string stat = ReadProcFile("/proc/" + Decimal(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int k = 3; k <= 22; ++k)
        if (!(fields >> field)) return std::nullopt;
    unsigned long long start = 0;
    if (!ReadDecimal(field, start)) return std::nullopt;
    return start;
}

} // namespace

std::string RecoveryFileText(const TRecoveryContent& content) {
    std::string text = Magic;
    text += "time " + Decimal(content.time) + '\n';
    text += "file " + Decimal(content.fileName.size()) + '\n' + content.fileName + '\n';
    text += "source " + Decimal(content.importedFrom.size()) + '\n' + content.importedFrom + '\n';
    text += "graph " + Decimal(content.graph.size()) + '\n' + content.graph + '\n';
    return text;
}

bool ParseRecoveryFile(const std::string& bytes, TRecoveryContent& content, std::string& problem) {
    if (bytes.compare(0, Magic.size(), Magic) != 0) {
        problem = "it is not a Nodeloom recovery file";
        return false;
    }
    THeaderReader in(bytes);
    TRecoveryContent read;
    if (!in.Field("time", read.time) || !in.Block("file", read.fileName) || !in.Block("source", read.importedFrom) ||
        !in.Block("graph", read.graph)) {
        problem = "it is cut short or its header does not read";
        return false;
    }
    if (!in.AtEnd()) {
        problem = "there is more after its graph";
        return false;
    }
    content = std::move(read);
    return true;
}

std::optional<TProcessMark> CurrentProcessMark() {
    TProcessMark mark;
    mark.boot = BootId();
    mark.pid = static_cast<long>(getpid());
    const std::optional<unsigned long long> start = ProcessStart(mark.pid);
    if (mark.boot.empty() || !start) return std::nullopt;
    mark.start = *start;
    return mark;
}

bool ProcessRunning(const TProcessMark& mark) {
    if (mark.boot != BootId()) return false;
    const std::optional<unsigned long long> start = ProcessStart(mark.pid);
    return start && *start == mark.start;
}

std::string RecoveryFileName(const TProcessMark& mark) {
    return NamePrefix + Decimal(mark.pid) + '-' + Decimal(mark.start) + '-' + mark.boot + NameSuffix;
}

std::optional<TProcessMark> ParseRecoveryFileName(const std::string& name) {
    if (name.size() <= NamePrefix.size() + NameSuffix.size() || name.compare(0, NamePrefix.size(), NamePrefix) != 0 ||
        name.compare(name.size() - NameSuffix.size(), NameSuffix.size(), NameSuffix) != 0)
        return std::nullopt;
    const std::string middle = name.substr(NamePrefix.size(), name.size() - NamePrefix.size() - NameSuffix.size());
    const std::size_t first = middle.find('-'), second = middle.find('-', first == std::string::npos ? 0 : first + 1);
    if (first == std::string::npos || second == std::string::npos) return std::nullopt;
    TProcessMark mark;
    mark.boot = middle.substr(second + 1);
    if (!ReadDecimal(middle.substr(0, first), mark.pid) || mark.pid <= 0 ||
        !ReadDecimal(middle.substr(first + 1, second - first - 1), mark.start) || mark.boot.empty() ||
        !std::all_of(mark.boot.begin(), mark.boot.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    return mark;
}

std::string RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/nodeloom";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/nodeloom";
    return std::string();
}

bool MakeRecoveryFolder(const std::string& folder) {
    struct stat st;
    if (folder.empty()) return false;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeRecoveryFolder(folder.substr(0, slash));
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> OrphanedRecoveryFiles(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
        closedir(dir);
    }
    std::vector<std::pair<std::int64_t, std::string>> found;
    for (const std::string& name : names) {
        const std::optional<TProcessMark> mark = ParseRecoveryFileName(name);
        if (!mark || ProcessRunning(*mark)) continue;
        const std::string path = folder + '/' + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        found.emplace_back(static_cast<std::int64_t>(st.st_mtime), path);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> paths;
    for (auto& entry : found) paths.push_back(std::move(entry.second));
    return paths;
}
