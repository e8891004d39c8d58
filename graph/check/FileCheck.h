#pragma once
// What must hold when bytes go through real files: loaded from a file, they give what the
// in-memory reader gives; a graph that was read saves over an existing target (a file, a file
// with a second hard link, a link to a file, a link to nothing yet) and loads back the same, with
// no temporary file left. Shared by the file layer's fuzz target and the regression tests.

#include "LoadCheck.h"
#include "SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

// The names in folder, "." and ".." left out, sorted: the one listing the tests and the fuzz
// targets use.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The entries as one text, each name followed by a space: "a.gf4 b.gf4 ".
inline std::string FolderListing(const std::string& folder) {
    std::string listing;
    for (const std::string& name : FolderEntries(folder)) listing += name + " ";
    return listing;
}

inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return close(fd) == 0 && done == bytes.size();
}

// The target forms a save meets; `form` picks one (any value, taken modulo their number).
enum class TTargetForm { File, HardLinked, LinkToFile, DanglingLink, Count };

// Empty when everything holds, else what broke. folder: an empty folder the check may use; it is
// left empty again.
inline std::string CheckFileLayerOf(const std::string& bytes, const std::string& folder, unsigned form) {
    const std::string input = folder + "/input.gf4", target = folder + "/target.gf4", other = folder + "/other.gf4",
                      link = folder + "/link.gf4";
    const auto cleanUp = [&] {
        for (const std::string& p : {input, target, other, link}) unlink(p.c_str());
    };
    const auto fail = [&](const std::string& what) {
        cleanUp();
        return what;
    };
    if (!WriteWholeFile(input, bytes)) return fail("cannot write the input file");

    Tgraph fromFile, fromText;
    fromFile.fileName = "before";
    LoadGraph(fromFile, input);
    LoadGraphFromText(fromText, bytes, input);
    if (std::string broken = CheckInvariants(fromFile); !broken.empty()) return fail("after load: " + broken);
    if (fromFile.created != fromText.created) return fail("the file and the text read differently");
    if (!fromFile.created) return fail(fromFile.fileName == "before" ? "" : "fileName changed by a failed load");
    if (fromFile.fileName != input) return fail("fileName not set by a load");
    if (std::string differs = SameGraph(fromText, fromFile, false); !differs.empty())
        return fail("the file and the text read differently: " + differs);

    // An existing target of the chosen form, holding something else.
    const std::string old = "previous content\r\n";
    const TTargetForm chosen = static_cast<TTargetForm>(form % static_cast<unsigned>(TTargetForm::Count));
    std::string saveTo = target;
    if (chosen != TTargetForm::DanglingLink && !WriteWholeFile(target, old)) return fail("cannot write the target");
    if (chosen == TTargetForm::HardLinked && ::link(target.c_str(), other.c_str()) != 0) return fail("cannot link");
    if (chosen == TTargetForm::LinkToFile || chosen == TTargetForm::DanglingLink) {
        if (symlink("target.gf4", link.c_str()) != 0) return fail("cannot make a symbolic link");
        saveTo = link;
    }

    try {
        SaveGraph(fromFile, saveTo);
    } catch (const EInOutError& e) {
        return fail(std::string("save failed: ") + e.what());
    }
    std::string saved;
    if (!ReadRegularFile(target, saved)) return fail("the saved file cannot be read");
    if (saved != GraphFileText(fromFile)) return fail("the saved file holds other bytes");
    if (chosen == TTargetForm::HardLinked) {
        std::string seen;
        if (!ReadRegularFile(other, seen) || seen != saved) return fail("the second hard link kept the old content");
    }
    struct stat st;
    if ((chosen == TTargetForm::LinkToFile || chosen == TTargetForm::DanglingLink) &&
        (lstat(link.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)))
        return fail("the symbolic link was replaced");

    const std::size_t wanted = chosen == TTargetForm::File ? 2 : 3;
    if (FolderEntries(folder).size() != wanted) return fail("a temporary file was left: " + FolderListing(folder));

    Tgraph back;
    LoadGraph(back, saveTo);
    if (std::string differs = SameGraph(fromFile, back, true); !differs.empty())
        return fail("after reload: " + differs);
    if (back.fileName != saveTo) return fail("fileName of the reload is not the path");
    cleanUp();
    return {};
}
