// The gf4 writer and reader: exact bytes, round trips, the reader's tolerance and its read errors,
// and save failures that keep the previous file.

#include "ChildRun.h"
#include "Files.h"
#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace colors;

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

Tgraph& Loaded(Tgraph& g, const std::string& text, const std::string& path = "/x/g.gf4") {
    LoadGraphFromText(g, text, path);
    return g;
}

const std::string Header = "[undirected]\r\n[unweighted]\r\n[black]\r\n";

TEST(SaveGraph, WritesTheUndirectedWeightedExampleExactly) {
    Tgraph g;
    MakeGraph(g, false, true, {{60, 80}, {220, 80}, {140, 200}});
    g.vertices[3].name = "Hub";
    Connect(g, 1, 2, "/*5*/ black");
    Connect(g, 2, 3, "/*12*/ red");
    Connect(g, 1, 3, "/**/ blue");
    Connect(g, 3, 3, "/*0*/");
    TempFolder dir;
    SaveGraph(g, dir.File("a.gf4"));
    EXPECT_EQ(ReadBytes(dir.File("a.gf4")), ReadBytes(NODELOOM_TEST_DATA "/undirected_weighted.gf4"));
}

TEST(SaveGraph, WritesTheDirectedNavyExampleExactly) {
    Tgraph g;
    MakeGraph(g, true, false, {{100, 100}, {250, 100}}, Navy);
    Connect(g, 1, 2);
    Connect(g, 2, 1, "red");
    Connect(g, 2, 2);
    TempFolder dir;
    SaveGraph(g, dir.File("b.gf4"));
    EXPECT_EQ(ReadBytes(dir.File("b.gf4")), ReadBytes(NODELOOM_TEST_DATA "/directed_navy.gf4"));
}

TEST(LoadGraph, ExamplesLoadAndWriteBackTheSameLines) {
    for (const char* name : {"/undirected_weighted.gf4", "/directed_navy.gf4"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(NODELOOM_TEST_DATA) + name;
        Tgraph g;
        g.fileName = "old";
        LoadGraph(g, path);
        ASSERT_TRUE(g.created);
        EXPECT_EQ(g.fileName, path);
        EXPECT_EQ(CheckInvariants(g, true), "");
        TempFolder dir;
        SaveGraph(g, dir.File("c.gf4"));
        EXPECT_EQ(SortedLines(ReadBytes(dir.File("c.gf4"))), SortedLines(ReadBytes(path)));
    }
    Tgraph g;
    LoadGraph(g, NODELOOM_TEST_DATA "/undirected_weighted.gf4");
    EXPECT_EQ(g.vertices[3].name, "Hub");
    EXPECT_EQ(FindEdge(g, 3, 2)->weight, "12");
    EXPECT_EQ(FindEdge(g, 3, 2)->color, Red);
    EXPECT_EQ(FindEdge(g, 1, 3)->color, Blue);
    EXPECT_EQ(FindEdge(g, 3, 3)->weight, "0");
    EXPECT_EQ(g.baseColor, Black);
}

// A name or weight that would read back as another graph is a failed write: no file, the old one
// kept; what the file holds (a lone CR, "*/" inside a weight) is written.
TEST(SaveGraph, RefusesTextsTheFileCannotHold) {
    const struct {
        const char* name;
        const char* weight;
        bool written;
    } cases[] = {{"a\nb", "1", false},
                 {"a*/b", "1", false},
                 {"a", "1\n2", false},
                 {"a", "1*/ 2", false},
                 {"a\rb", "1*/2", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.weight);
        Tgraph g;
        MakeGraph(g, true, true, {{10, 10}, {50, 50}});
        g.vertices[1].name = c.name;
        Connect(g, 1, 2, std::string("/*") + "x" + "*/");
        g.edgeLists[1]->weight = c.weight;
        TempFolder dir;
        WriteBytes(dir.File("g.gf4"), "old");
        bool refused = false;
        try {
            SaveGraph(g, dir.File("g.gf4"));
        } catch (const EInOutError& e) {
            refused = std::string(e.what()).find("which a graph file cannot hold") != std::string::npos;
        }
        EXPECT_EQ(refused, !c.written);
        Tgraph back;
        LoadGraph(back, dir.File("g.gf4"));
        if (c.written) {
            EXPECT_EQ(back.vertices[1].name, c.name);
            EXPECT_EQ(back.edgeLists[1]->weight, c.weight);
        } else {
            EXPECT_EQ(ReadBytes(dir.File("g.gf4")), "old");
        }
    }
}

TEST(RoundTrip, RandomGraphsReadBackTheSame) {
    TempFolder dir;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        Tgraph g;
        MakeGraph(g, seed % 2 == 1, seed % 4 < 2, {}, ColorTable[pick(16)].value);
        const int n = 1 + pick(30);
        for (int v = 0; v < n; ++v) {
            AddVertex(g, pick(4000) - 2000, pick(4000) - 2000);
            g.vertices[v + 1].name = pick(3) ? "v " + std::to_string(pick(1000)) + " \xE9" : "";
        }
        for (int k = 0; k < 3 * n; ++k)
            Connect(g, 1 + pick(n), 1 + pick(n),
                    "/*" + std::to_string(pick(50)) + " kg*/ " + ColorTable[pick(16)].name);
        SaveGraph(g, dir.File("r.gf4"));
        Tgraph back;
        LoadGraph(back, dir.File("r.gf4"));
        ASSERT_TRUE(back.created);
        EXPECT_EQ(SameGraph(g, back, false), "");
        EXPECT_EQ(CheckInvariants(back, true), "");
    }
}

TEST(LoadGraph, TagLinesIgnoreSpacesButNothingElse) {
    Tgraph g;
    EXPECT_TRUE(Loaded(g, "[ directed ]\n [weighted] \n[ n a v y ]\n").directed);
    EXPECT_TRUE(g.weighted);
    EXPECT_EQ(g.baseColor, Navy);
    for (const char* bad : {"[Directed]\n", "\t[directed]\n", "\xEF\xBB\xBF[directed]\n", ""}) {
        SCOPED_TRACE(bad);
        Tgraph h;
        Loaded(h, bad, "/f/bad.gf4");
        EXPECT_TRUE(h.created); // an unrecognised tag ends reading but is no read error
        EXPECT_EQ(h.fileName, "/f/bad.gf4");
        EXPECT_FALSE(h.directed);
        EXPECT_FALSE(h.weighted);
        EXPECT_EQ(h.baseColor, White);
        EXPECT_EQ(h.vertexCount, 0);
    }
    Tgraph partial;
    Loaded(partial, "[directed]\n[weighted]\n[Red]\n1 0\n5 5 /*a*/\n");
    EXPECT_TRUE(partial.created && partial.directed && partial.weighted);
    EXPECT_EQ(partial.baseColor, White);
    EXPECT_EQ(partial.vertexCount, 0);

    Tgraph blank;
    Loaded(blank, "[directed]\n\n[weighted]\n");
    EXPECT_TRUE(blank.created && blank.directed);
    EXPECT_FALSE(blank.weighted); // a blank line among the tags ends reading
}

TEST(LoadGraph, FileEndingAfterTheColourTagGivesAnEmptyGraphOfItsKind) {
    Tgraph g;
    Loaded(g, "[directed]\r\n[unweighted]\r\n[red]");
    EXPECT_TRUE(g.created && g.directed);
    EXPECT_EQ(g.baseColor, Red);
    EXPECT_EQ(g.vertexCount, 0);
}

TEST(LoadGraph, BlankLinesAndTrailingTextAreSkipped) {
    Tgraph g;
    Loaded(g, Header + "\r\n\r\n2 1 and more text\r\n\r\n10 20 /*a b*/\r\n\r\n30 40\r\n\r\n\r\n1 2 red\r\n");
    ASSERT_TRUE(g.created);
    EXPECT_EQ(g.vertexCount, 2);
    EXPECT_EQ(g.vertices[1].name, "a b");
    EXPECT_EQ(g.vertices[2].name, ""); // no frame
    EXPECT_EQ(g.vertices[2].x, 30);
    EXPECT_EQ(FindEdge(g, 2, 1)->color, Red);
}

TEST(LoadGraph, VertexNamesAreCutByTheFirstFrameMarks) {
    struct TCase {
        const char* line;
        const char* name;
    };
    for (const TCase& c : {TCase{"1 1 /*a*/b*/", "a"}, TCase{"1 1 /*a/*b*/", "a/*b"}, TCase{"1 1 /*/abc*/", ""},
                           TCase{"1 1 abc*/", "abc"}, TCase{"1 1 /*abc", ""}, TCase{"1 1 /*", ""},
                           TCase{"1 1 /**/", ""}, TCase{"1 1   /* spaced  name */", " spaced  name "}}) {
        SCOPED_TRACE(c.line);
        Tgraph g;
        Loaded(g, Header + "1 0\n" + c.line + "\n");
        ASSERT_TRUE(g.created);
        EXPECT_EQ(g.vertices[1].name, c.name);
    }
}

TEST(LoadGraph, EdgeTextsFollowTheGraphKind) {
    Tgraph w;
    Loaded(w, "[directed]\n[weighted]\n[navy]\n2 4\n0 0\n9 9\n1 2 red\n2 1 /*a */ b*/ red\n1 1 /*x*/red\n2 2 pink\n");
    ASSERT_TRUE(w.created);
    EXPECT_EQ(FindEdge(w, 1, 2)->weight, "");
    EXPECT_EQ(FindEdge(w, 1, 2)->color, Red);
    EXPECT_EQ(FindEdge(w, 2, 1)->weight, "a "); // cut before the first "*/ "
    EXPECT_EQ(FindEdge(w, 2, 1)->color, Navy);  // "b*/red" is no colour name
    EXPECT_EQ(FindEdge(w, 1, 1)->weight, "");
    EXPECT_EQ(FindEdge(w, 1, 1)->color, Navy);
    EXPECT_EQ(FindEdge(w, 2, 2)->color, Navy);

    Tgraph u;
    Loaded(u, Header + "2 1\n0 0\n9 9\n1 2 /*5*/ red\n");
    EXPECT_EQ(FindEdge(u, 1, 2)->weight, "");
    EXPECT_EQ(FindEdge(u, 1, 2)->color, Black);
}

TEST(LoadGraph, UndirectedDuplicatesAndSelfLoopsKeepTheCountsLine) {
    Tgraph g;
    Loaded(g, Header + "3 3\n0 0\n50 0\n100 0\n1 2\n2 1\n3 3\n");
    ASSERT_TRUE(g.created);
    EXPECT_EQ(g.edgeCount, 3);
    EXPECT_EQ(Targets(g, 1), std::vector<int>{2});
    EXPECT_EQ(Targets(g, 2), std::vector<int>{1});
    EXPECT_EQ(Targets(g, 3), std::vector<int>{3});
    EXPECT_EQ(CheckInvariants(g), "");
}

TEST(LoadGraph, MissingLinesReadAsZeros) {
    Tgraph g;
    Loaded(g, Header + "3 5\n7 8 /*a*/\n");
    ASSERT_TRUE(g.created);
    EXPECT_EQ(g.vertexCount, 3);
    EXPECT_EQ(g.vertices[3].x, 0);
    EXPECT_EQ(g.vertices[3].name, "");
    EXPECT_EQ(g.vertices[3].radius, 15);
    EXPECT_EQ(NodeCount(g), 0);
    EXPECT_EQ(g.edgeCount, 5);
}

TEST(LoadGraph, ReadErrorsLeaveTheRecordNotCreatedAndTheNameAlone) {
    for (const std::string& body :
         {std::string("2 0\n12abc 5\n"), std::string("x 1\n"), std::string("1 1\n0 0\n1 y\n"), std::string("101 0\n"),
          std::string("-1 0\n"), std::string("1 -1\n"), std::string("2147483648 0\n"),
          std::string("1 1\n0 0\n99999999999999999999999999999999999 1\n")}) {
        SCOPED_TRACE(body);
        Tgraph g;
        g.fileName = "previous.gf4";
        Loaded(g, Header + body);
        EXPECT_FALSE(g.created);
        EXPECT_EQ(g.fileName, "previous.gf4");
        EXPECT_EQ(CheckInvariants(g), "");
    }
    Tgraph g;
    g.fileName = "previous.gf4";
    LoadGraph(g, "/nonexistent/folder/none.gf4");
    EXPECT_FALSE(g.created);
    EXPECT_EQ(g.fileName, "previous.gf4");
    LoadGraph(g, "/tmp"); // a folder cannot be read as a file
    EXPECT_FALSE(g.created);
}

TEST(LoadGraph, EdgeLinesNamingNoVertexAreSkipped) {
    Tgraph g;
    Loaded(g, Header + "2 6\n0 0\n50 0\n0 1\n1 3\n-5 2\n2147483647 1\n1 2\n\n");
    ASSERT_TRUE(g.created);
    EXPECT_EQ(Targets(g, 1), std::vector<int>{2});
    EXPECT_EQ(CheckInvariants(g), "");
}

TEST(LoadGraph, PreviousContentIsGoneWhateverTheOutcome) {
    Tgraph g;
    MakeGraph(g, true, true, {{1, 1}, {2, 2}});
    Connect(g, 1, 2);
    LoadGraph(g, "/nonexistent.gf4");
    EXPECT_EQ(NodeCount(g), 0);
    EXPECT_EQ(g.vertexCount, 0);
    EXPECT_FALSE(g.directed);
}

TEST(SaveGraph, MissingFolderFailsWithFileNotFound) {
    Tgraph g;
    MakeGraph(g, false, false, {{1, 1}});
    try {
        SaveGraph(g, "/nonexistent-folder/x.gf4");
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 2);
        EXPECT_STREQ(e.what(), "File not found");
    }
}

// "" when the save fails as access denied.
std::string AccessDenied(const Tgraph& g, const std::string& path) {
    try {
        SaveGraph(g, path);
        return "saved";
    } catch (const EInOutError& e) {
        return e.ErrorCode == 5 && std::string(e.what()) == "File access denied" ? "" : e.what();
    }
}

TEST(SaveGraph, ReadOnlyTargetOrFolderIsAccessDeniedAndKeepsThePreviousFile) {
    Tgraph g;
    MakeGraph(g, false, false, {{1, 1}});
    TempFolder dir;
    chmod(dir.path.c_str(), 0777);
    const std::string target = dir.File("kept.gf4");
    WriteBytes(target, "previous content");
    chmod(target.c_str(), 0444);
    EXPECT_EQ(RunInChild([&] { return AccessDenied(g, target); }, TRunAs::Nobody).failure, "");
    EXPECT_EQ(ReadBytes(target), "previous content");
    EXPECT_EQ(dir.Entries().size(), 1u) << "a temporary file was left behind";

    chmod(dir.path.c_str(), 0555);
    EXPECT_EQ(RunInChild([&] { return AccessDenied(g, dir.File("new.gf4")); }, TRunAs::Nobody).failure, "");
    EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST(SaveGraph, ReplacesAnExistingFileKeepingItsPermissions) {
    Tgraph g;
    MakeGraph(g, true, false, {{1, 1}});
    TempFolder dir;
    const std::string target = dir.File("t.gf4");
    WriteBytes(target, std::string(10000, 'x'));
    chmod(target.c_str(), 0640);
    SaveGraph(g, target);
    EXPECT_EQ(ReadBytes(target), "[directed]\r\n[unweighted]\r\n[black]\r\n1 0\r\n1 1 /*1*/\r\n");
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.Entries().size(), 1u);
}

} // namespace
