// Files from anywhere: each hostile input loads without a crash, in a child process that must
// finish before its watchdog, with the outcome the reader's rules give; hostile paths (devices,
// FIFOs, folders, huge files, links, other users' files) are opened and saved to in little memory,
// without harm; and every kept fuzz finding and seed passes both fuzz targets' checks.

#include "CaseNames.h"
#include "ChildRun.h"
#include "Files.h"
#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace std::string_literals;

namespace {

enum class TOutcome { ReadError, EmptyGraph, Graph };

struct THostileCase {
    const char* what;
    std::string bytes;
    TOutcome outcome;
    int vertices = 0; // for TOutcome::Graph
};

const std::string Head = "[directed]\r\n[weighted]\r\n[black]\r\n";

std::vector<THostileCase> HostileCases() {
    std::mt19937 rng(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    garbage[0] = '\xFF';
    std::string hundredOne = Head + "101 0\r\n";
    for (int i = 0; i < 101; ++i) hundredOne += "1 1 /*v*/\r\n";
    std::string manyEdges = Head + "2 2147483647\r\n0 0\r\n9 9\r\n";
    for (int i = 0; i < 1000; ++i) manyEdges += "1 2 /*w*/\r\n";
    return {
        {"empty file", "", TOutcome::EmptyGraph},
        {"binary garbage", garbage, TOutcome::EmptyGraph},
        {"one 10 MB line without a line end", std::string(10 << 20, 'a'), TOutcome::EmptyGraph},
        {"10 MB of digits where a count stands", Head + std::string(10 << 20, '7'), TOutcome::ReadError},
        {"vertex count 2147483647", Head + "2147483647 0\r\n", TOutcome::ReadError},
        {"vertex count -1", Head + "-1 0\r\n", TOutcome::ReadError},
        {"edge count -1", Head + "1 -1\r\n0 0\r\n", TOutcome::ReadError},
        {"edge count 2147483647 with few lines", manyEdges, TOutcome::ReadError},
        {"edge count 10001, one above a full table", Head + "2 10001\r\n0 0\r\n9 9\r\n1 2\r\n", TOutcome::ReadError},
        {"edge count 10000, a full table", Head + "2 10000\r\n0 0\r\n9 9\r\n1 2\r\n", TOutcome::Graph, 2},
        {"101 vertices", hundredOne, TOutcome::ReadError},
        {"coordinates at the 32-bit limits",
         Head + "2 1\r\n2147483647 -2147483648 /*a*/\r\n-2147483648 2147483647\r\n1 2\r\n", TOutcome::Graph, 2},
        {"coordinate one past the limit", Head + "1 0\r\n2147483648 0\r\n", TOutcome::ReadError},
        {"name of 100 kB", Head + "1 0\r\n5 5 /*" + std::string(100000, 'n') + "*/\r\n", TOutcome::Graph, 1},
        {"edge lines far out of range", Head + "2 4\r\n0 0\r\n9 9\r\n-2147483648 1\r\n1 2147483647\r\n0 0\r\n3 1\r\n",
         TOutcome::Graph, 2},
        {"NUL bytes in a tag", std::string("[directed]\0\r\n", 13), TOutcome::EmptyGraph},
        {"NUL bytes between numbers and in a name", Head + "1\0000\r\n5\0007 /*a\0b*/\r\n"s, TOutcome::Graph, 1},
        {"CR alone as line end", "[directed]\r[weighted]\r[black]\r1 0\r5 5\r", TOutcome::EmptyGraph},
        {"byte-order mark", "\xEF\xBB\xBF" + Head + "1 0\r\n5 5\r\n", TOutcome::EmptyGraph},
        {"33-character number", Head + "1 0\r\n" + std::string(33, '1') + " 5\r\n", TOutcome::ReadError},
    };
}

// "" when the bytes, loaded from path, give the outcome the case names.
std::string LoadOutcome(const THostileCase& c, const std::string& path) {
    if (!WriteWholeFile(path, c.bytes)) return "cannot write the file";
    Tgraph g;
    g.fileName = "previous";
    LoadGraph(g, path);
    if (std::string broken = CheckInvariants(g); !broken.empty()) return broken;
    switch (c.outcome) {
    case TOutcome::ReadError:
        if (g.created || g.fileName != "previous") return "not a read error";
        break;
    case TOutcome::EmptyGraph:
        if (!g.created || g.fileName != path || g.vertexCount != 0) return "not an empty graph";
        break;
    case TOutcome::Graph:
        if (!g.created || g.vertexCount != c.vertices)
            return "not a graph of " + std::to_string(c.vertices) + " vertices";
        break;
    }
    return c.bytes.size() < (1 << 20) ? CheckLoadOf(c.bytes) : "";
}

TEST(HostileInput, LoadsWithTheOutcomeTheRulesGive) {
    const TempFolder dir;
    for (const THostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.what);
        const TChildRun run = RunInChild([&] { return LoadOutcome(c, dir.File("input.gf4")); });
        EXPECT_TRUE(run.finished) << run.failure;
        EXPECT_EQ(run.failure, "");
    }
}

TEST(HostileInput, TheToleratedReadingsKeepWhatTheFileSays) {
    Tgraph g;
    LoadGraphFromText(g, Head + "2 1\r\n2147483647 -2147483648 /*a*/\r\n-2147483648 2147483647\r\n1 2\r\n", "f");
    EXPECT_EQ(g.vertices[1].x, 2147483647);
    EXPECT_EQ(g.vertices[1].y, -2147483647 - 1);
    EXPECT_NE(FindEdge(g, 1, 2), nullptr);

    LoadGraphFromText(g, Head + "1\0000\r\n5\0007 /*a\0b*/\r\n"s, "f");
    EXPECT_EQ(g.vertices[1].y, 7);
    EXPECT_EQ(g.vertices[1].name, std::string("a\0b", 3));

    LoadGraphFromText(g, Head + "1 0\r\n5 5 /*" + std::string(100000, 'n') + "*/\r\n", "f");
    EXPECT_EQ(g.vertices[1].name.size(), 100000u);
}

// ---------------------------------------------------------------- hostile paths

const std::string SmallGraph = Head + "2 1\r\n10 10 /*a*/\r\n90 10 /*b*/\r\n1 2 /*5*/\r\n";

std::string Mode(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return "missing";
    return S_ISREG(st.st_mode)    ? "file"
           : S_ISDIR(st.st_mode)  ? "folder"
           : S_ISFIFO(st.st_mode) ? "fifo"
           : S_ISCHR(st.st_mode)  ? "chr"
           : S_ISLNK(st.st_mode)  ? "link"
                                  : "other";
}

std::string Contents(const std::string& path) {
    std::string bytes;
    return ReadRegularFile(path, bytes) ? bytes : "<unreadable>";
}

// "" when the load gave a read error and left the record as a read error leaves it.
std::string ReadErrorOf(const std::string& path) {
    Tgraph g;
    g.fileName = "previous";
    LoadGraph(g, path);
    if (g.created) return "loaded";
    if (g.fileName != "previous") return "fileName changed";
    return CheckInvariants(g);
}

// "" when SaveGraph failed with the text, else what happened.
std::string SaveFailsWith(const std::string& path, const std::string& text) {
    Tgraph g;
    LoadGraphFromText(g, SmallGraph, "small.gf4");
    try {
        SaveGraph(g, path);
    } catch (const EInOutError& e) {
        return e.what() == text ? "" : std::string("another text: ") + e.what();
    }
    return "saved";
}

// "" when the graph saves to path and the file at readFrom then holds it.
std::string SavesTo(const std::string& path, const std::string& readFrom) {
    Tgraph g;
    LoadGraphFromText(g, SmallGraph, "small.gf4");
    try {
        SaveGraph(g, path);
    } catch (const EInOutError& e) {
        return std::string("save failed: ") + e.what();
    }
    return Contents(readFrom) == GraphFileText(g) ? "" : "the file does not hold the graph";
}

// The listing of a folder after a save: the files named, and nothing else (no temporary file).
std::string OnlyFiles(const std::string& folder, const std::string& expected) {
    const std::string listing = FolderListing(folder);
    return listing == expected ? "" : "the folder holds " + listing;
}

// Writes a file of `size` bytes whose first bytes are a graph; dense: every byte written.
bool MakeLargeFile(const std::string& path, off_t size, bool dense) {
    if (!WriteWholeFile(path, SmallGraph)) return false;
    if (!dense) return truncate(path.c_str(), size) == 0;
    std::ofstream out(path, std::ios::binary | std::ios::app);
    const std::string chunk(1 << 20, ' ');
    for (off_t done = static_cast<off_t>(SmallGraph.size()); done < size; done += static_cast<off_t>(chunk.size()))
        out.write(chunk.data(),
                  static_cast<std::streamsize>(std::min<off_t>(size - done, static_cast<off_t>(chunk.size()))));
    return static_cast<bool>(out);
}

// a.gf4 holding "old", and b.gf4 a second hard link to it.
std::string MakeLinkedPair(const TempFolder& dir) {
    const bool made =
        WriteWholeFile(dir.File("a.gf4"), "old") && link(dir.File("a.gf4").c_str(), dir.File("b.gf4").c_str()) == 0;
    return made ? "" : "cannot link";
}

// "" when a save of a graph of some 2 kB to path fails as on a full disk: files may grow to
// 1000 bytes only (for the rest of the child process).
std::string SaveFailsForWantOfSpace(const std::string& path) {
    LimitFileSize(1000);
    Tgraph g;
    LoadGraphFromText(g, Head + "1 0\r\n5 5 /*" + std::string(2000, 'n') + "*/\r\n", "big.gf4");
    try {
        SaveGraph(g, path);
        return "saved";
    } catch (const EInOutError& e) {
        return e.ErrorCode == EFBIG ? "" : std::string("another error: ") + e.what();
    }
}

struct THostilePath {
    const char* what;
    // Makes what the case needs in its own folder: "" when ready, else why the case cannot run here.
    std::function<std::string(const TempFolder& dir)> setUp;
    // The piece, in a child process: "" when the outcome is the sound one.
    std::function<std::string(const TempFolder& dir)> body;
};

const auto Nothing = [](const TempFolder&) -> std::string { return std::string(); };

std::string MakeFifo(const TempFolder& dir) {
    return mkfifo(dir.File("pipe.gf4").c_str(), 0666) == 0 ? "" : std::string("mkfifo: ") + std::strerror(errno);
}

std::vector<THostilePath> HostilePathCases() {
    return {
        {"/dev/zero opened", Nothing, [](const TempFolder&) -> std::string { return ReadErrorOf("/dev/zero"); }},
        {"a FIFO opened", MakeFifo,
         [](const TempFolder& dir) -> std::string {
             return ReadErrorOf(dir.File("pipe.gf4")) +
                    (Mode(dir.File("pipe.gf4")) == "fifo" ? "" : " and the FIFO is gone");
         }},
        {"a FIFO as save target", MakeFifo,
         [](const TempFolder& dir) -> std::string {
             const std::string path = dir.File("pipe.gf4");
             return SaveFailsWith(path, "Cannot save \"" + path + "\". It is a FIFO (named pipe), not a regular file") +
                    (Mode(path) == "fifo" ? "" : " and the FIFO is gone") + OnlyFiles(dir.path, "pipe.gf4 ");
         }},
        {"a folder opened",
         [](const TempFolder& dir) -> std::string { return mkdir(dir.File("sub").c_str(), 0777) == 0 ? "" : "mkdir"; },
         [](const TempFolder& dir) -> std::string { return ReadErrorOf(dir.File("sub")); }},
        {"a folder as save target",
         [](const TempFolder& dir) -> std::string { return mkdir(dir.File("sub").c_str(), 0777) == 0 ? "" : "mkdir"; },
         [](const TempFolder& dir) -> std::string {
             const std::string path = dir.File("sub");
             return SaveFailsWith(path, "Cannot save \"" + path + "\". It is a folder, not a regular file") +
                    (Mode(path) == "folder" ? "" : " and the folder is gone") + OnlyFiles(dir.path, "sub ");
         }},
        {"a character device as save target",
         [](const TempFolder& dir) -> std::string {
             // The numbers of /dev/null: harmless should a faulty save write to it after all.
             if (mknod(dir.File("device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) return std::string();
             return "mknod is not permitted here (" + std::string(std::strerror(errno)) + ")";
         },
         [](const TempFolder& dir) -> std::string {
             const std::string path = dir.File("device");
             return SaveFailsWith(path, "Cannot save \"" + path + "\". It is a character device, not a regular file") +
                    (Mode(path) == "chr" ? "" : " and the device node is gone") + OnlyFiles(dir.path, "device ");
         }},
        {"an 8 GB sparse file opened",
         [](const TempFolder& dir) -> std::string {
             return MakeLargeFile(dir.File("huge.gf4"), off_t(8) << 30, false) ? "" : "no room";
         },
         [](const TempFolder& dir) -> std::string { return ReadErrorOf(dir.File("huge.gf4")); }},
        {"a 300 MB file opened",
         [](const TempFolder& dir) -> std::string {
             return MakeLargeFile(dir.File("large.gf4"), off_t(300) << 20, true) ? "" : "no room";
         },
         [](const TempFolder& dir) -> std::string { return ReadErrorOf(dir.File("large.gf4")); }},
        {"counts 2 2147483647, then an added edge",
         [](const TempFolder& dir) -> std::string {
             const bool made =
                 WriteWholeFile(dir.File("overflow.gf4"), Head + "2 2147483647\r\n0 0\r\n9 9\r\n1 2\r\n") &&
                 WriteWholeFile(dir.File("full.gf4"), Head + "2 10000\r\n0 0\r\n9 9\r\n1 2\r\n");
             return made ? "" : "cannot write";
         },
         [](const TempFolder& dir) -> std::string {
             if (std::string broken = ReadErrorOf(dir.File("overflow.gf4")); !broken.empty())
                 return "2147483647: " + broken;
             // The largest count a file may give stays where it is when the editor adds an edge,
             // and the saved file opens again.
             Tgraph g;
             LoadGraph(g, dir.File("full.gf4"));
             if (!g.created || g.edgeCount != MaxEdges) return std::string("10000 edges do not load");
             ConnectVertices(g, 2, 1, "");
             if (g.edgeCount != MaxEdges) return "edgeCount became " + std::to_string(g.edgeCount);
             SaveGraph(g, dir.File("full.gf4"));
             Tgraph back;
             LoadGraph(back, dir.File("full.gf4"));
             return back.created && back.edgeCount == MaxEdges ? "" : "the saved file does not open";
         }},
        {"a hard-linked target", MakeLinkedPair,
         [](const TempFolder& dir) -> std::string {
             struct stat before, after;
             stat(dir.File("a.gf4").c_str(), &before);
             if (std::string broken = SavesTo(dir.File("a.gf4"), dir.File("b.gf4")); !broken.empty())
                 return "through the other link: " + broken;
             stat(dir.File("a.gf4").c_str(), &after);
             if (after.st_ino != before.st_ino || after.st_nlink != 2) return std::string("the link is broken");
             return OnlyFiles(dir.path, "a.gf4 b.gf4 ");
         }},
        {"a target owned by another user",
         [](const TempFolder& dir) -> std::string {
             const std::string path = dir.File("theirs.gf4");
             chmod(dir.path.c_str(), 0755); // its owner may reach it
             if (!WriteWholeFile(path, "old") || chown(path.c_str(), 65534, 65534) != 0 ||
                 chmod(path.c_str(), 0600) != 0)
                 return "cannot give the file to nobody: " + std::string(std::strerror(errno));
             return std::string();
         },
         [](const TempFolder& dir) -> std::string {
             const std::string path = dir.File("theirs.gf4");
             if (std::string broken = SavesTo(path, path); !broken.empty()) return broken;
             struct stat st;
             stat(path.c_str(), &st);
             if (geteuid() == 0 && (st.st_uid != 65534 || st.st_gid != 65534)) return std::string("the owner changed");
             if ((st.st_mode & 07777) != 0600) return std::string("the permissions changed");
             // Its owner can still read it.
             const TChildRun owner = RunInChild(
                 [&] {
                     Tgraph g;
                     LoadGraph(g, path);
                     return g.created ? std::string() : std::string("its owner cannot open it");
                 },
                 TRunAs::Nobody);
             return owner.finished ? owner.failure : "as nobody: " + owner.failure;
         }},
        {"a dangling symbolic link",
         [](const TempFolder& dir) -> std::string {
             return symlink("made.gf4", dir.File("link.gf4").c_str()) == 0 ? "" : "symlink";
         },
         [](const TempFolder& dir) -> std::string {
             if (std::string broken = SavesTo(dir.File("link.gf4"), dir.File("made.gf4")); !broken.empty())
                 return broken;
             if (Mode(dir.File("link.gf4")) != "link") return std::string("the link was replaced");
             return ReadErrorOf(dir.File("link.gf4")).empty() ? "the file does not open through the link" : "";
         }},
        {"memory running out while reading",
         [](const TempFolder& dir) -> std::string {
#if defined(__SANITIZE_ADDRESS__)
             (void)dir;
             return "AddressSanitizer reserves more address space than a memory limit allows";
#else
             return MakeLargeFile(dir.File("200mb.gf4"), off_t(200) << 20, false) ? "" : "no room";
#endif
         },
         [](const TempFolder& dir) -> std::string {
             // Address space for 64 MB more than the child holds: the 200 MB file cannot be held.
             std::ifstream statm("/proc/self/statm");
             unsigned long pages = 0;
             statm >> pages;
             const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t(64) << 20);
             const rlimit bound{limit, limit};
             if (setrlimit(RLIMIT_AS, &bound) != 0) return "cannot limit the memory";
             return ReadErrorOf(dir.File("200mb.gf4"));
         }},
        {"a failed replace keeps the previous file",
         [](const TempFolder& dir) -> std::string {
             return WriteWholeFile(dir.File("kept.gf4"), std::string(3000, 'k')) ? "" : "cannot write";
         },
         [](const TempFolder& dir) -> std::string {
             if (std::string broken = SaveFailsForWantOfSpace(dir.File("kept.gf4")); !broken.empty()) return broken;
             return (Contents(dir.File("kept.gf4")) == std::string(3000, 'k') ? "" : "the previous file is damaged") +
                    OnlyFiles(dir.path, "kept.gf4 ");
         }},
        {"a failed write in place puts the old content back", MakeLinkedPair,
         [](const TempFolder& dir) -> std::string {
             if (std::string broken = SaveFailsForWantOfSpace(dir.File("a.gf4")); !broken.empty()) return broken;
             return (Contents(dir.File("b.gf4")) == "old" ? "" : "the old content is lost") +
                    OnlyFiles(dir.path, "a.gf4 b.gf4 ");
         }},
    };
}

class HostilePaths : public testing::TestWithParam<THostilePath> {};

TEST_P(HostilePaths, EachEndsInLittleMemoryWithTheSoundOutcome) {
    const THostilePath& c = GetParam();
    const TempFolder dir;
    if (const std::string missing = c.setUp(dir); !missing.empty()) GTEST_SKIP() << missing;
    const TChildRun run = RunInChild([&] { return c.body(dir); });
    EXPECT_TRUE(run.finished) << run.failure;
    EXPECT_EQ(run.failure, "");
    EXPECT_LT(run.peakKb, 64 * 1024) << "peak memory above the start, in kB";
}

INSTANTIATE_TEST_SUITE_P(Table, HostilePaths, testing::ValuesIn(HostilePathCases()),
                         [](const testing::TestParamInfo<THostilePath>& c) { return TestName(c.param.what); });

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const std::string& name : FolderEntries(folder))
        if (name[0] != '.') files.push_back(folder + "/" + name);
    return files;
}

TEST(FuzzFindings, EveryKeptInputAndSeedPassesTheChecks) {
    const TempFolder folder;
    std::vector<std::string> files = FilesIn(NODELOOM_TEST_DATA "/fuzz-regressions");
    const std::vector<std::string> seeds = FilesIn(NODELOOM_FUZZ_SEEDS);
    ASSERT_FALSE(files.empty());
    ASSERT_FALSE(seeds.empty());
    files.insert(files.end(), seeds.begin(), seeds.end());
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        std::ifstream in(file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(CheckLoadOf(bytes.str()), "");
        for (unsigned form = 0; form < static_cast<unsigned>(TTargetForm::Count); ++form)
            EXPECT_EQ(CheckFileLayerOf(bytes.str(), folder.path, form), "") << "target form " << form;
    }
}

} // namespace
