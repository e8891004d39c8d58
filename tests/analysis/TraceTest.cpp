// The trace engine on graphs whose runs are worked out by hand: what it refuses and how it says
// so, the same bytes on every run, the frames' marks, and the files the frames are written to.
// trace_check.py compares every algorithm on random graphs; trace_latex.sh compiles the outputs.

#include "Trace.h"
#include "FrameExport.h"
#include "GraphBuilders.h"
#include "Marks.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

using analysis::TJson;

// The five-vertex example of the help: A-B 4, A-C 2, B-C 1, B-D 5, C-D 8, C-E 10, D-E 2.
std::unique_ptr<Tgraph> Example(bool directed = false, const char* ab = "4") {
    auto g = std::make_unique<Tgraph>();
    MakeGraph(*g, directed, true, {{100, 100}, {250, 60}, {250, 200}, {400, 100}, {400, 250}});
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (int v = 1; v <= 5; ++v) g->vertices[v].name = names[v - 1];
    const struct {
        int s, t;
        const char* w;
    } edges[] = {{1, 2, ab}, {1, 3, "2"}, {2, 3, "1"}, {2, 4, "5"}, {3, 4, "8"}, {3, 5, "10"}, {4, 5, "2"}};
    for (const auto& e : edges) Connect(*g, e.s, e.t, std::string("/*") + e.w + "*/ black");
    return g;
}

std::string Refusal(const Tgraph& g, const std::string& text) {
    try {
        analysis::Trace(g, analysis::ParseTrace(g, text));
    } catch (const analysis::TAnalysisError& e) {
        return e.what();
    }
    return "(not refused)";
}

// What the window's status bar says of a frame, worked out by hand on the example.
TEST(Trace, EachFrameInWords) {
    const auto g = Example(), dag = Example(true);
    const struct {
        const char* algorithm;
        int frame;
        const char* words;
    } cases[] = {
        {"dijkstra:A", 0, "before the first step"},
        {"dijkstra:A", 3, "finalise B at 3"},
        {"dijkstra:A", 5, "finalise E at 10"},
        {"kruskal", 4, "reject A--B (weight 4)"},
        {"kruskal", 5, "accept B--D (weight 5)"},
        {"dfs:A", 1, "discover A (time 1)"},
        {"flow:A,E", 1, "augment A, C, E by 2 (flow 2)"},
        {"bellman-ford:A", 1, "pass 1"},
        {"floyd-warshall", 1, "the direct distances"},
        {"floyd-warshall", 3, "paths through B"},
        {"prim:A", 1, "add A"},
        {"prim:A", 2, "add A--C (weight 2)"},
        {"topological", 0, "before the first step"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.algorithm) + " " + std::to_string(c.frame));
        const Tgraph& on = std::string(c.algorithm) == "topological" ? *dag : *g;
        EXPECT_EQ(analysis::TraceStepText(analysis::Trace(on, analysis::ParseTrace(on, c.algorithm)), c.frame),
                  c.words);
    }
    const TJson bellman = analysis::Trace(*g, analysis::ParseTrace(*g, "bellman-ford:A"));
    EXPECT_EQ(analysis::TraceStepText(bellman, analysis::TraceFrames(bellman) - 1), "check: no negative cycle");
}

TEST(Trace, RefusesWithOneLineThatSaysWhy) {
    const auto plain = Example(), directed = Example(true), word = Example(false, "x"), negative = Example(false, "-1");
    auto cycle = Example(true);
    Connect(*cycle, 5, 3, "/*1*/ black"); // C -> E -> C
    const struct {
        const Tgraph& g;
        const char* algorithm;
        const char* message;
    } cases[] = {
        {*plain, "depth", "Unknown algorithm \"depth\"; the algorithms are bfs:S"},
        {*plain, "bfs", "The algorithm \"bfs\" is written bfs:S."},
        {*plain, "kruskal:A", "The algorithm \"kruskal:A\" is written kruskal."},
        {*plain, "flow:A", "The algorithm \"flow:A\" is written flow:S,T."},
        {*plain, "bfs:Z", "No vertex is named \"Z\"; a vertex is also named by its number"},
        {*plain, "flow:A,A", "Cannot trace flow:A,A: the source is the sink."},
        {*word, "dijkstra:A", "Cannot trace dijkstra:A: the weight \"x\" of the edge A--B is not a number."},
        {*word, "kruskal", "the weight \"x\" of the edge A--B is not a number."},
        {*negative, "dijkstra:#1", "Cannot trace dijkstra:A: the edge A--B weighs -1, and the algorithm takes no"},
        {*negative, "prim:A", "the edge A--B weighs -1"},
        {*directed, "prim:A", "Cannot trace prim:A: prim is for an undirected graph."},
        {*directed, "kruskal", "kruskal is for an undirected graph."},
        {*directed, "welsh-powell", "welsh-powell is for an undirected graph."},
        {*directed, "bridges", "bridges is for an undirected graph."},
        {*plain, "topological", "a topological order is for a directed graph."},
        {*cycle, "topological", "Cannot trace topological: the graph has the cycle C -> E -> C."},
    };
    for (const auto& c : cases)
        EXPECT_NE(Refusal(c.g, c.algorithm).find(c.message), std::string::npos)
            << c.algorithm << ": " << Refusal(c.g, c.algorithm);
    // A weight that is not a number is no concern of a search.
    EXPECT_EQ(Refusal(*word, "bfs:A"), "(not refused)");
}

// Worked by hand: Dijkstra from A settles A 0, C 2, B 3 (through C), D 8 (through B), E 10.
TEST(Trace, DijkstraAsWorkedByHand) {
    const auto g = Example();
    const TJson trace = analysis::Trace(*g, analysis::ParseTrace(*g, "dijkstra:A"));
    std::vector<int> settled;
    for (const TJson& s : trace["steps"]) settled.push_back(s["vertex"].get<int>());
    EXPECT_EQ(settled, (std::vector<int>{1, 3, 2, 4, 5}));
    EXPECT_EQ(trace["result"]["distance"], TJson::parse("[0, 3, 2, 8, 10]"));
    EXPECT_EQ(trace["result"]["predecessor"], TJson::parse("[null, 3, 1, 2, 4]"));
    EXPECT_EQ(trace["steps"][0]["distance"], TJson::parse("[0, 4, 2, null, null]"));
    // The table: a column a step headed by the vertex settled, the settled value marked.
    const std::string text = analysis::TraceText(trace);
    EXPECT_NE(text.find("Vertex  A   C   B   D   E"), std::string::npos) << text;
    EXPECT_NE(text.find("10*"), std::string::npos) << text;
    // The JSON in the report's layout, numbers whole or not (a weight of 2.5).
    const auto half = Example(false, "2.5");
    for (const char* algorithm : {"dijkstra:A", "floyd-warshall", "flow:A,E", "bridges", "kruskal"}) {
        const TJson t = analysis::Trace(*half, analysis::ParseTrace(*half, algorithm));
        EXPECT_EQ(analysis::TraceJsonText(t), analysis::ReportJsonText(t)) << algorithm;
    }
    // Same graph, same bytes, whatever ran in between.
    analysis::Trace(*g, analysis::ParseTrace(*g, "floyd-warshall"));
    EXPECT_EQ(analysis::TraceJsonText(analysis::Trace(*g, analysis::ParseTrace(*g, "dijkstra:A"))),
              analysis::TraceJsonText(trace));
}

// Frame 0 is the graph before any step; each later frame keeps what the earlier ones settled and
// makes the step's own vertex current; frames are steps + 1.
TEST(Trace, FramesGrowStepByStep) {
    const auto g = Example();
    for (const char* algorithm : {"bfs:A", "dijkstra:A", "prim:A", "greedy-colouring", "topological"}) {
        SCOPED_TRACE(algorithm);
        const auto graph = std::string(algorithm) == "topological" ? Example(true) : Example();
        const TJson trace = analysis::Trace(*graph, analysis::ParseTrace(*graph, algorithm));
        const int frames = analysis::TraceFrames(trace);
        EXPECT_EQ(frames, static_cast<int>(trace["steps"].size()) + 1);
        std::size_t filled = 0;
        for (int k = 0; k < frames; ++k) {
            TMarks marks;
            analysis::AddTraceMarks(*graph, trace, k, marks);
            EXPECT_GE(marks.vertexFills.size(), filled);
            filled = marks.vertexFills.size();
            const std::set<int> current =
                k == 0 ? std::set<int>() : std::set<int>{trace["steps"][k - 1]["vertex"].get<int>()};
            EXPECT_EQ(marks.currentVertices, current);
            EXPECT_EQ(k == 0, marks.vertexFills.empty());
        }
        EXPECT_EQ(filled, 5u);
    }
}

TEST(FrameExport, NumberedPathsAndBeamerOverlays) {
    const struct {
        const char* path;
        TExportFormat format;
        int frames;
        const char* first;
        const char* last;
    } cases[] = {
        {"out.png", TExportFormat::Png, 6, "out-000.png", "out-005.png"},
        {"a.b/out", TExportFormat::Svg, 2, "a.b/out-000", "a.b/out-001"},
        {"x/OUT.JPG", TExportFormat::Jpeg, 1001, "x/OUT-0000.JPG", "x/OUT-1000.JPG"},
        {"x/frames.pdf", TExportFormat::Pdf, 9, "x/frames.pdf", "x/frames.pdf"},
        {"slides.tex", TExportFormat::Tikz, 9, "slides.tex", "slides.tex"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> paths = FramePaths(c.path, c.format, c.frames);
        const bool one = c.format == TExportFormat::Pdf || c.format == TExportFormat::Tikz;
        ASSERT_EQ(paths.size(), one ? 1u : static_cast<std::size_t>(c.frames)) << c.path;
        EXPECT_EQ(paths.front(), c.first);
        EXPECT_EQ(paths.back(), c.last);
    }

    // Each part that differs between frames is given for every frame exactly once: its overlays
    // run <1-a>, <a+1-b>, ... up to the last frame.
    const auto g = Example();
    const TJson trace = analysis::Trace(*g, analysis::ParseTrace(*g, "kruskal"));
    const int frames = analysis::TraceFrames(trace);
    const std::string tex =
        BeamerFrames(*g, frames, [&](int k, TMarks& marks) { analysis::AddTraceMarks(*g, trace, k, marks); });
    std::istringstream lines(tex);
    int next = 1, parts = 0;
    for (std::string line; std::getline(lines, line);) {
        int from = 0, to = 0;
        if (std::sscanf(line.c_str(), "  \\nodeloomframe<%d-%d>", &from, &to) != 2) continue;
        if (line.size() > 2 && line.compare(line.size() - 2, 2, "{}") == 0) continue; // a slide for the last frame
        if (from == 1 && next == frames + 1) next = 1, ++parts;
        EXPECT_EQ(from, next) << line;
        EXPECT_LE(from, to);
        next = to + 1;
    }
    EXPECT_EQ(next, frames + 1);
    EXPECT_GT(parts, 3); // the accepted edges, the current one, the rejected one's mark
}

} // namespace
