// Files of other programs that ask too much, hold what a graph cannot, or are read only in part:
// one case each, made here, opened through the command line (--export to a gf4 file) and through
// the window's Open. A refused file gives "Cannot open "PATH": REASON", exit code 1, nothing
// written, and in the window the graph on screen stays. A file read with changes says so on
// standard error and in the window, and what is read saves to a gf4 file that opens again. Each
// case runs in a fresh copy of this program, under a watchdog and with a bound on the peak memory
// of both the program and the window.

#include "CaseNames.h"
#include "ChildRun.h"
#include "EditorFixture.h"
#include "Files.h"

#include <QFileDialog>

#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

const std::string Navy = NODELOOM_TEST_DATA "/directed_navy.gf4";

struct TImportCase {
    const char* what;
    const char* file;                                // its ending names the format
    std::function<std::string()> bytes;              // made when the case runs
    const char* refusal;                             // a part of the reason; nullptr when the file is read
    const char* note;                                // a part of what is said about a file read; nullptr: nothing
    std::function<std::string(const Tgraph&)> check; // "" when the graph read is the right one
};

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

const std::string GraphML = "<?xml version=\"1.0\"?>\n<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\" "
                            "xmlns:y=\"http://www.yworks.com/xml/graphml\">\n";

std::string Name(const Tgraph& g, int v) { return v <= g.vertexCount ? g.vertices[v].name : "(none)"; }

// "" when vertex v is named so.
std::string Named(const Tgraph& g, int v, const std::string& name) {
    return Name(g, v) == name ? "" : "vertex " + std::to_string(v) + " is named \"" + Name(g, v) + "\"";
}

std::string Counts(const Tgraph& g, int vertices, int edges) {
    return g.vertexCount == vertices && g.edgeCount == edges
               ? ""
               : "counts " + std::to_string(g.vertexCount) + " " + std::to_string(g.edgeCount);
}

// The closest two vertex centres.
double Closest(const Tgraph& g) {
    double closest = 1e9;
    for (int a = 1; a <= g.vertexCount; ++a)
        for (int b = 1; b < a; ++b)
            closest = std::min(closest, std::hypot(double(g.vertices[a].x - g.vertices[b].x),
                                                   double(g.vertices[a].y - g.vertices[b].y)));
    return closest;
}

std::vector<TImportCase> Cases() {
    const std::string subgraphs = "subgraph s {" + [] {
        std::string m;
        for (int i = 0; i < 100; ++i) m += " v" + std::to_string(i);
        return m;
    }() + " }";
    return {
        // Bounded before the work.
        {"DOT edges between subgraphs", "product.dot",
         [=] { return "digraph { " + subgraphs + Repeat(" -> subgraph s {}", 999) + " }"; }, "make 9990000 edges",
         nullptr, nullptr},
        {"DOT edges between subgraphs after a byte order mark", "bomproduct.dot",
         [=] {
             return "\xEF\xBB\xBF"
                    "digraph { " +
                    subgraphs + Repeat(" -> subgraph s {}", 999) + " }";
         },
         "make 9990000 edges", nullptr, nullptr},
        {"DOT string of a million pieces", "pieces.dot",
         [] { return "graph { a [label=\"a\"" + Repeat(" + \"a\"", 999999) + "] }"; }, "more than 1000 pieces", nullptr,
         nullptr},
        {"DOT string of empty pieces", "empty.dot",
         [] { return "graph { a [label=\"\"" + Repeat("+\"\"", 5000) + "] }"; }, "more than 1000 pieces", nullptr,
         nullptr},
        {"DOT chain of 10000 subgraphs", "chain.dot",
         [] {
             std::string chain;
             for (int i = 0; i < 10000; ++i) chain += " -> {b" + std::to_string(i) + "}";
             return "digraph { a" + chain + " }";
         },
         "chains more than 1000", nullptr, nullptr},
        {"DOT subgraphs nested 10000 deep", "nested.dot",
         [] { return "digraph { " + Repeat("{ ", 10000) + "a" + Repeat(" }", 10000) + " }"; }, "nested more than 100",
         nullptr, nullptr},
        {"GraphML entity in an attribute", "entity.graphml",
         [] {
             return "<?xml version=\"1.0\"?>\n<!DOCTYPE graphml [<!ENTITY e \"" + std::string(100000, 'x') +
                    "\">]>\n<graphml><graph><node id=\"" + Repeat("&e;", 2500) + "\"/></graph></graphml>\n";
         },
         "declares the entity &e;", nullptr, nullptr},
        {"GraphML name of many text nodes", "texts.graphml",
         [] {
             return GraphML + "<key id=\"n\" for=\"node\" attr.name=\"name\"/><graph><node id=\"a\"><data key=\"n\">" +
                    Repeat(std::string(4000000, 'y') + "<!-- c -->", 3) + "</data></node></graph></graphml>\n";
         },
         "more than 10 MB", nullptr, nullptr},
        {"edge list of 20 MB read line by line", "ones.txt", [] { return Repeat("1\n", 10000000); }, nullptr, nullptr,
         [](const Tgraph& g) { return Counts(g, 1, 0) + Named(g, 1, "1"); }},
        // Nothing dropped or guessed without a word.
        {"edge list after a byte order mark", "bom.txt",
         [] {
             return "\xEF\xBB\xBF"
                    "a b\n";
         },
         nullptr, nullptr, [](const Tgraph& g) { return Counts(g, 2, 1) + Named(g, 1, "a"); }},
        {"matrix after a byte order mark", "bom.csv",
         [] {
             return "\xEF\xBB\xBF"
                    "0,1,1\n1,0,1\n1,1,0\n";
         },
         nullptr, nullptr, [](const Tgraph& g) { return Counts(g, 3, 3) + Named(g, 3, "3"); }},
        {"matrix with a word", "word.txt", [] { return "0 1 0 1\n1 0 x 0\n0 1 0 1\n1 0 1 0\n"; },
         "row 2, column 3 of the matrix (line 2) is \"x\"", nullptr, nullptr},
        {"matrix with a short row", "short.txt", [] { return "0 1 0 1\n1 0 1 0\n0 1 0\n1 0 1 0\n"; },
         "row 3, column 4 of the matrix is missing", nullptr, nullptr},
        {"edge list with a NUL byte", "nul.txt", [] { return std::string("a b\nc\0d\n", 8); },
         "line 2 holds a NUL byte", nullptr, nullptr},
        {"edge list with a control character", "junk.txt", [] { return "a b\n\x01\x02\x03\n"; },
         "line 2 holds the control character 0x01", nullptr, nullptr},
        {"GraphML hyperedge", "hyper.graphml",
         [] {
             return GraphML + "<graph><node id=\"a\"/><node id=\"b\"/><hyperedge><endpoint node=\"a\"/>"
                              "<endpoint node=\"b\"/></hyperedge></graph></graphml>\n";
         },
         "a hyperedge, which a graph cannot hold", nullptr, nullptr},
        {"graph6 with bytes past its graph", "extra.g6", [] { return "A_x\n"; }, "1 more follow", nullptr, nullptr},
        {"DOT with a second graph", "two.dot", [] { return "graph { a -- b }\ngraph { c -- d }\n"; }, nullptr,
         "Only the first graph", [](const Tgraph& g) { return Counts(g, 2, 1); }},
        {"GraphML nested graph of the other kind", "mixed.graphml",
         [] {
             return GraphML + "<graph edgedefault=\"undirected\"><node id=\"a\"><graph edgedefault=\"directed\">"
                              "<node id=\"b\"/><node id=\"c\"/><edge source=\"b\" target=\"c\"/></graph></node>"
                              "</graph></graphml>\n";
         },
         nullptr, "read as undirected", [](const Tgraph& g) { return g.directed ? "directed" : ""; }},
        {"positions beyond the largest picture", "far.dot",
         [] { return "graph { a [pos=\"1e300,0\"]; b [pos=\"10,10\"]; c [pos=\"0,-1e999\"]; a -- b -- c }"; }, nullptr,
         "2 vertices have a position beyond the largest drawing",
         [](const Tgraph& g) { return std::abs(g.vertices[1].x) < 16384 ? "" : "far"; }},
        {"DOT in Latin-1", "latin1.dot", [] { return "graph { charset=latin1; \"Caf\xE9\" -- b }"; }, nullptr, nullptr,
         [](const Tgraph& g) { return Named(g, 1, "Caf\xC3\xA9"); }},
        {"DOT that is not UTF-8", "bytes.dot", [] { return "graph { \"Caf\xE9\" -- b }"; }, nullptr, "Latin-1",
         [](const Tgraph& g) { return Named(g, 1, "Caf\xC3\xA9"); }},
        {"DOT weight on some edges", "weights.dot", [] { return "graph { a -- b [weight=3]; b -- c }"; }, nullptr,
         nullptr,
         [](const Tgraph& g) {
             const Tedge* e = FindEdge(g, 2, 3);
             return g.weighted && e && e->weight == "1" ? "" : "the edge without weight is not 1";
         }},
        {"graph6 of 2^36 vertices", "huge.g6", [] { return "~~~~~~~~\n"; }, "68719476735 vertices", nullptr, nullptr},
        {"empty GraphML", "empty.graphml", [] { return "\n"; }, "it is empty", nullptr, nullptr},
        // A graph file Nodeloom writes, it opens again.
        {"label with a line break and */", "breaks.graphml",
         [] {
             return GraphML + "<key id=\"n\" for=\"node\" attr.name=\"name\"/><graph><node id=\"a\">"
                              "<data key=\"n\">one\ntwo */ three</data></node></graph></graphml>\n";
         },
         nullptr, "Line breaks", [](const Tgraph& g) { return Named(g, 1, "one two * / three"); }},
        // yEd.
        {"yEd label and group node", "yed.graphml",
         [] {
             return GraphML + "<key for=\"node\" id=\"d6\" yfiles.type=\"nodegraphics\"/><graph>"
                              "<node id=\"n0\"><data key=\"d6\"><y:ProxyAutoBoundsNode><y:Realizers active=\"0\">"
                              "<y:GroupNode><y:Geometry height=\"80\" width=\"120\" x=\"10\" y=\"20\"/>"
                              "<y:NodeLabel>Northern Italy</y:NodeLabel></y:GroupNode>"
                              "<y:GroupNode><y:Geometry height=\"30\" width=\"40\" x=\"500\" y=\"600\"/>"
                              "<y:NodeLabel>Folder 2</y:NodeLabel></y:GroupNode>"
                              "</y:Realizers></y:ProxyAutoBoundsNode></data></node>"
                              "<node id=\"n1\"><data key=\"d6\"><y:ShapeNode>"
                              "<y:Geometry height=\"30\" width=\"30\" x=\"0\" y=\"0\"/><y:NodeLabel>K\n"
                              "            <y:LabelModel><y:SmartNodeLabelModel distance=\"4.0\"/></y:LabelModel>\n"
                              "          </y:NodeLabel></y:ShapeNode></data></node></graph></graphml>\n";
         },
         nullptr, nullptr,
         [](const Tgraph& g) {
             return Named(g, 1, "Northern Italy") + Named(g, 2, "K") +
                    (g.vertices[1].x == 70 && g.vertices[1].y == 60 ? "" : " the group is not where yEd shows it");
         }},
        // Layouts a person can read.
        {"98 vertices laid out by neato", "many.txt",
         [] {
             std::mt19937 rng(98);
             std::string text;
             // A random tree: no edge twice.
             for (unsigned v = 1; v < 98; ++v) text += std::to_string(v) + " " + std::to_string(rng() % v) + "\n";
             return text;
         },
         nullptr, nullptr,
         [](const Tgraph& g) { return Closest(g) >= 30 ? "" : "centres " + std::to_string(Closest(g)) + " apart"; }},
    };
}

class HostileImports : public testing::TestWithParam<TImportCase>, public TEditor {
public:
    void SetUp() override {
        AnswerFileDialogsInTurn();
        ShowMain();
    }
    void Open(const std::string& path) {
        fileAnswers.push_back(QString::fromStdString(path));
        QTest::mouseClick(ui.ToolButton4, Qt::LeftButton);
    }
    void Save(const std::string& path) {
        fileAnswers.push_back(QString::fromStdString(path));
        QTest::mouseClick(ui.ToolButton6, Qt::LeftButton);
    }

    const TempFolder temp;
};

// The command line: nodeloom FILE --export OUT.gf4.
std::string ThroughTheCommandLine(const TImportCase& c, const std::string& path, const std::string& out) {
    const TProgramRun run = RunProgram({NODELOOM_PROGRAM, path, "--export", out});
    if (!run.finished) return "the program " + run.failure;
    const std::string said = run.output;
    if (c.refusal) {
        if (run.exitCode != 1) return "exit code " + std::to_string(run.exitCode) + ": " + said;
        if (said.rfind("Cannot open \"" + path + "\": ", 0) != 0 || said.find(c.refusal) == std::string::npos)
            return "it says: " + said;
        return ReadBytes(out).empty() ? "" : "a file was written";
    }
    if (run.exitCode != 0) return "exit code " + std::to_string(run.exitCode) + ": " + said;
    if (c.note && said.find(c.note) == std::string::npos) return "no note: " + said;
    if (!c.note && !said.empty()) return "it says: " + said;
    Tgraph g;
    LoadGraph(g, out);
    if (!g.created) return "the gf4 file written does not open";
    return c.check ? c.check(g) : "";
}

TEST_P(HostileImports, EachIsRefusedOrReadAsSaidThroughBothDoors) {
    if (RanInAChild()) return;
    const TImportCase& c = GetParam();
    const std::string path = temp.File(c.file), out = temp.File("out.gf4");
    WriteBytes(path, c.bytes());
    const long before = PeakMemoryKb();
    EXPECT_EQ(ThroughTheCommandLine(c, path, out), "") << "on the command line";
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 300 * 1024) << "the program's peak memory, in kB";

    // The window: a graph on screen first, then the file.
    Open(Navy);
    ASSERT_TRUE(G().created);
    const QString title = form1->windowTitle();
    Open(path);
    if (c.refusal) {
        ASSERT_EQ(errors.size(), 1) << errors.join(QLatin1Char('|')).toStdString();
        const std::string box = errors[0].toStdString();
        EXPECT_EQ(box.rfind("Cannot open \"" + path + "\": ", 0), 0u) << box;
        EXPECT_NE(box.find(c.refusal), std::string::npos) << box;
        EXPECT_EQ(G().fileName, Navy) << "the graph on screen was replaced";
        EXPECT_EQ(form1->windowTitle(), title);
    } else {
        EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('|')).toStdString();
        const std::string said = messages.join(QLatin1Char('|')).toStdString();
        if (c.note) {
            EXPECT_NE(said.find(c.note), std::string::npos) << said;
        } else {
            EXPECT_EQ(said, "");
        }
        if (c.check) {
            EXPECT_EQ(c.check(G()), "");
        }
        // What is read, saved, opens again as the same graph.
        const std::string saved = temp.File("saved.gf4");
        Save(saved);
        Tgraph back;
        const TLoadReport report = LoadGraphReport(back, saved);
        ASSERT_TRUE(back.created && !report.failure) << "the saved file does not open";
        EXPECT_EQ(report.damage, "");
        EXPECT_EQ(Counts(back, G().vertexCount, G().edgeCount), "");
        for (int v = 1; v <= back.vertexCount; ++v) EXPECT_EQ(Named(back, v, Name(G(), v)), "");
    }
    EXPECT_LT(PeakMemoryKb() - before, 200 * 1024) << "the window's peak memory above the start, in kB";
}

INSTANTIATE_TEST_SUITE_P(Table, HostileImports, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TImportCase>& c) { return TestName(c.param.what); });

} // namespace
