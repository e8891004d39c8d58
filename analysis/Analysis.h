#pragma once
// Graph theory on a graph record for the analysis report and the named results (path, bfs, dfs,
// mst, euler, matching, colouring, components, flow). Reads a Tgraph and changes nothing; no Qt.
// Vertices are numbered 1..n in every result, as in the window and the gf4 file.

#include "Graph_obj.h"
#include "Marks.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <vector>

namespace analysis {

using TJson = nlohmann::ordered_json;

// A request or a graph the analysis cannot answer; what() is the one line to show.
class TAnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A named result: its word and the vertices it starts from.
struct TResultRequest {
    std::string word; // path, bfs, dfs, mst, euler, matching, colouring, components, flow
    int a = 0, b = 0; // vertex numbers: path's and flow's two ends, bfs's and dfs's start
};

// The vertex a command line names: its name, or "#N" for number N. Throws for no such vertex and
// for a name two vertices share (the message lists their numbers).
int FindVertex(const Tgraph& g, const std::string& reference);
// The vertex references of a request ("path:A,B", "flow:S,T"): what follows the colon, split at
// its commas; none without a colon.
std::vector<std::string> RequestVertices(const std::string& text);
// "mst", "bfs:A", "path:A,B", ...; throws for an unknown word, a missing or extra vertex, or a
// vertex FindVertex refuses.
TResultRequest ParseResult(const Tgraph& g, const std::string& text);
// The results as a message or the help lists them: "path:A,B bfs:A ... flow:S,T".
extern const char* const ResultWords;

// The whole report, with "format": "nodeloom-report/1".
TJson Report(const Tgraph& g);
// One named result, as the report carries it under its word. Throws for a result the graph
// cannot give (a spanning tree of a directed graph, a flow without numeric capacities, ...).
TJson Result(const Tgraph& g, const TResultRequest& request);

// The report in its three forms. The text and LaTeX forms name vertices as the window does.
std::string ReportJsonText(const TJson& report);
std::string ReportText(const TJson& report, const Tgraph& g);
std::string ReportTex(const TJson& report, const Tgraph& g);

// The marks that draw a result into a picture.
void AddMarks(const Tgraph& g, const TResultRequest& request, const TJson& result, TMarks& marks);
// The highlight colour when none is named: the first of red, blue, lime, fuchsia, ... that no
// edge has.
TColor DefaultHighlight(const Tgraph& g);

} // namespace analysis
