// Files from anywhere: each hostile input loads without a crash, quickly, with the outcome the
// reader's rules give; and every kept fuzz finding and seed passes the fuzz target's checks.

#include "GraphBuilders.h"
#include "LoadCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <random>
#include <sstream>
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
        {"coordinates at the 32-bit limits", Head + "2 1\r\n2147483647 -2147483648 /*a*/\r\n-2147483648 2147483647\r\n1 2\r\n",
         TOutcome::Graph, 2},
        {"coordinate one past the limit", Head + "1 0\r\n2147483648 0\r\n", TOutcome::ReadError},
        {"name of 100 kB", Head + "1 0\r\n5 5 /*" + std::string(100000, 'n') + "*/\r\n", TOutcome::Graph, 1},
        {"edge lines far out of range", Head + "2 4\r\n0 0\r\n9 9\r\n-2147483648 1\r\n1 2147483647\r\n0 0\r\n3 1\r\n",
         TOutcome::Graph, 2},
        {"NUL bytes in a tag", std::string("[directed]\0\r\n", 13), TOutcome::EmptyGraph},
        {"NUL bytes between numbers and in a name",
         Head + "1\0000\r\n5\0007 /*a\0b*/\r\n"s, TOutcome::Graph, 1},
        {"CR alone as line end", "[directed]\r[weighted]\r[black]\r1 0\r5 5\r", TOutcome::EmptyGraph},
        {"byte-order mark", "\xEF\xBB\xBF" + Head + "1 0\r\n5 5\r\n", TOutcome::EmptyGraph},
        {"33-character number", Head + "1 0\r\n" + std::string(33, '1') + " 5\r\n", TOutcome::ReadError},
    };
}

std::string TempPath() {
    char name[] = "/tmp/nodeloom-hostile-XXXXXX";
    const int fd = mkstemp(name);
    close(fd);
    return name;
}

TEST(HostileInput, LoadsQuicklyWithTheOutcomeTheRulesGive) {
    const std::string path = TempPath();
    for (const THostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.what);
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << c.bytes;
        }
        Tgraph g;
        g.fileName = "previous";
        const auto start = std::chrono::steady_clock::now();
        LoadGraph(g, path);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 0.5);
        EXPECT_EQ(CheckInvariants(g), "");
        switch (c.outcome) {
        case TOutcome::ReadError:
            EXPECT_FALSE(g.created);
            EXPECT_EQ(g.fileName, "previous");
            break;
        case TOutcome::EmptyGraph:
            EXPECT_TRUE(g.created);
            EXPECT_EQ(g.fileName, path);
            EXPECT_EQ(g.vertexCount, 0);
            break;
        case TOutcome::Graph:
            EXPECT_TRUE(g.created);
            EXPECT_EQ(g.vertexCount, c.vertices);
            break;
        }
        if (c.bytes.size() < (1 << 20)) {
            EXPECT_EQ(CheckLoadOf(c.bytes), "");
        }
    }
    unlink(path.c_str());
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

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (e->d_name[0] != '.') files.push_back(folder + "/" + e->d_name);
        closedir(d);
    }
    return files;
}

TEST(FuzzFindings, EveryKeptInputAndSeedPassesTheChecks) {
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
    }
}

} // namespace
