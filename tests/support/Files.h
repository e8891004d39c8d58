#pragma once
// Files for the tests: a temporary folder removed with all it holds, whole-file reads and writes,
// and running a body as the user nobody, whom file permissions bind.

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/nodeloom-test-XXXXXX";
        const char* made = mkdtemp(name);
        path = made ? made : "";
    }
    // chmod first: a test may have taken its permissions away.
    ~TempFolder() {
        if (!path.empty()) std::system(("chmod -R u+rwx '" + path + "' && rm -rf '" + path + "'").c_str());
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    // Names of the files in the folder, "." and ".." aside.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(path.c_str())) {
            while (const dirent* entry = readdir(dir))
                if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.emplace_back(entry->d_name);
            closedir(dir);
        }
        return names;
    }
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

// Runs body in a child process as the user nobody (the tests run as root, whom permissions do
// not bind) and returns the child's exit status: 99 when privileges could not be dropped, 98
// when the child did not exit normally (a hang ends with the alarm). Not root: runs it here.
inline int AsNobody(const std::function<int()>& body) {
    if (geteuid() != 0) return body();
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(30);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}
