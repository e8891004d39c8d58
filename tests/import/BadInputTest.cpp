// Files that give no graph: for each format, cut short, malformed, too large for the record, an
// entity expansion, a 100 MB attribute. Each is refused with a reason that says what is wrong,
// in a child process with a time limit and in bounded memory. And the kept inputs of the import
// fuzz targets, which pass their check.

#include "ChildRun.h"
#include "ImportCheck.h"
#include "ImportGraph.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

struct TBadCase {
    const char* what;
    TImportFormat format;
    std::string bytes;
    const char* reason; // a part of the error text
};

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

std::string Numbered(const char* before, const char* after, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += before + std::to_string(i) + after;
    return out;
}

const std::string GraphMLHead = "<?xml version=\"1.0\"?>\n<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">"
                                "<graph edgedefault=\"undirected\">";
const std::string GraphMLTail = "</graph></graphml>\n";
const std::string Laughs = "<!DOCTYPE graphml [<!ENTITY l0 \"ha\">" + [] {
    std::string d;
    for (int i = 1; i <= 9; ++i)
        d += "<!ENTITY l" + std::to_string(i) + " \"" + Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
    return d;
}() + "]>";

std::vector<TBadCase> BadCases() {
    const std::string big(100 << 20, 'a');
    const std::string complete =
        GraphMLHead + "<node id=\"a\"/><node id=\"b\"/><edge source=\"a\" target=\"b\"/>" + GraphMLTail;
    return {
        {"GraphML cut short", TImportFormat::GraphML, complete.substr(0, complete.size() / 2), "line"},
        {"GraphML malformed", TImportFormat::GraphML, GraphMLHead + "<node id=\"a\"></edge>" + GraphMLTail, "line"},
        {"GraphML of another root", TImportFormat::GraphML, "<svg/>", "not GraphML"},
        {"GraphML edge to no node", TImportFormat::GraphML,
         GraphMLHead + "<edge source=\"a\" target=\"b\"/>" + GraphMLTail, "not both nodes"},
        {"GraphML of 101 nodes", TImportFormat::GraphML,
         GraphMLHead + Numbered("<node id=\"", "\"/>", 101) + "<edge source=\"1\" target=\"2\"/>" + GraphMLTail,
         "101 vertices and 1 edges"},
        {"GraphML billion laughs", TImportFormat::GraphML,
         "<?xml version=\"1.0\"?>" + Laughs + "<graphml><graph><node id=\"&l9;\"/></graph></graphml>", "entity"},
        {"GraphML external entity", TImportFormat::GraphML,
         "<?xml version=\"1.0\"?><!DOCTYPE graphml [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<graphml><graph><node id=\"a\"><data key=\"name\">&x;</data></node></graph></graphml>",
         "entity &x;"},
        {"GraphML 100 MB attribute", TImportFormat::GraphML, GraphMLHead + "<node id=\"" + big + "\"/>" + GraphMLTail,
         "line"},
        {"DOT cut short", TImportFormat::Dot, "digraph { a -> ", "syntax error"},
        {"DOT malformed", TImportFormat::Dot, "graph { a -- b ] }", "syntax error"},
        {"DOT of 101 nodes", TImportFormat::Dot, "graph {" + Numbered("n", ";", 101) + "n0 -- n1 }",
         "101 vertices and 1 edges"},
        {"DOT with a NUL byte", TImportFormat::Dot, std::string("graph { a\0 }", 12), "NUL"},
        {"DOT 100 MB attribute", TImportFormat::Dot, "graph { a [label=\"" + big + "\"] }", "more than 16384"},
        {"DOT 100 MB in concatenated strings", TImportFormat::Dot,
         "graph { a [label=\"\"" + Repeat(" + \"" + std::string(16000, 'b') + "\"", 6400) + "] }", "1 MiB"},
        {"graph6 cut short", TImportFormat::Graph6, "I?h\n", "cut short"},
        {"graph6 malformed", TImportFormat::Graph6, "I\x01??????\n", "no graph6"},
        {"graph6 of 2^36 vertices without data", TImportFormat::Graph6, "~~~~~~~~\n", "68719476735 vertices"},
        {"graph6 of 101 vertices", TImportFormat::Graph6, "~?@d" + std::string(842, '~') + "\n",
         "101 vertices and 5050 edges"},
        {"sparse6 of 101 vertices", TImportFormat::Graph6, ":~?@d" + std::string(20, '@') + "\n", "101 vertices"},
        {"graph6 100 MB line", TImportFormat::Graph6, "~?@d" + std::string(100 << 20, '\x01'), "no graph6"},
        {"edge list malformed line", TImportFormat::Text, "a b\na b c d\n", "line 2"},
        {"edge list of 101 vertices", TImportFormat::Text, Numbered("hub v", "\n", 100), "101 vertices and 100 edges"},
        {"matrix of 101 vertices", TImportFormat::Text, Repeat(Repeat("1 ", 101) + "\n", 101),
         "101 vertices and 10201 edges"},
        {"nothing but comments", TImportFormat::Text, "# a\n\n   # b\n", "no edge"},
        {"edge list 100 MB line", TImportFormat::Text, "a b c " + big, "line 1"},
    };
}

TEST(ImportBadInput, EachFormatRefusesWithAReasonInBoundedTimeAndMemory) {
    for (const TBadCase& c : BadCases()) {
        SCOPED_TRACE(c.what);
        const TChildRun run = RunInChild(
            [&] {
                Tgraph g;
                TImportResult result;
                if (ImportGraphText(c.bytes, c.format, g, result)) return std::string("read as a graph");
                if (g.created) return std::string("refused, but a graph is left");
                if (result.error.find(c.reason) == std::string::npos) return "the reason is: " + result.error;
                return std::string();
            },
            TRunAs::Self, 120);
        std::printf("[ MEASURED ] %-40s %8ld kB\n", c.what, run.peakKb);
        EXPECT_TRUE(run.finished) << run.failure;
        EXPECT_EQ(run.failure, "");
        // Beyond the input, which the child shares with its parent until written: a few copies of
        // the largest input at most.
        EXPECT_LT(run.peakKb, 512 * 1024) << "peak memory above the start, in kB";
    }
}

} // namespace

namespace {

// Every seed of the import fuzz targets, and every finding kept among them, passes their check.
TEST(ImportBadInput, EveryKeptFuzzSeedAndFindingPassesTheFuzzCheck) {
    const std::pair<const char*, TImportFormat> targets[] = {{"edgelist_fuzz", TImportFormat::Text},
                                                             {"graph6_fuzz", TImportFormat::Graph6},
                                                             {"graphml_fuzz", TImportFormat::GraphML},
                                                             {"dot_fuzz", TImportFormat::Dot}};
    int files = 0;
    for (const auto& [target, format] : targets) {
        const std::string folder = std::string(NODELOOM_IMPORT_SEEDS) + "/" + target;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(CheckImportOf(bytes, format), "") << entry.path();
            ++files;
        }
    }
    EXPECT_GE(files, 15);
}

} // namespace
