#pragma once
// The graph in words, for readers who cannot see the picture: a short alternative text and a long
// description, built from the analysis report so that every number agrees with it; and the texts
// the window's accessible surface gives each vertex and edge. No Qt.

#include "Analysis.h"

#include <string>
#include <utility>
#include <vector>

namespace analysis {

// The longest short text, in characters (code points).
constexpr std::size_t MaxShortDescription = 150;

struct TDescription {
    std::string shortText; // one line, at most MaxShortDescription characters, ending in a full stop
    std::string longText;  // lines ending in "\n": kind and counts, each vertex, properties, results
};

// A result the command line asked for, with its value as Result gives it.
using TShownResult = std::pair<TResultRequest, TJson>;

// The description of g, whose report is `report` (as Report gives it); the shown results end the
// long text, one sentence each. Vertices are named as the report's text form names them.
TDescription Describe(const Tgraph& g, const TJson& report, const std::vector<TShownResult>& shown = {});

// The description as a file: text (the short line, a blank line, the long text), Markdown (the
// short text as a heading) or JSON ({"format": "nodeloom-description/1", "short", "long"}).
std::string DescriptionText(const TDescription& d);
std::string DescriptionMarkdown(const TDescription& d);
std::string DescriptionJson(const TDescription& d);

// The texts an assistive program reads for the window's surface: its name ("Undirected weighted
// graph, 4 vertices, 4 edges"), per vertex a name ("vertex Ann") and a description ("degree 2;
// neighbours Bob (5), Dee (9)"), per edge (as the file holds it) a name ("edge Ann – Bob, weight
// 5"). Cheap enough for every redraw: no report is computed.
struct TAccessibleGraph {
    std::string name;
    std::vector<std::string> vertexNames, vertexDescriptions; // index 0 is vertex 1
    struct TEdgeText {
        int source = 0, target = 0; // vertex numbers
        std::string name;
    };
    std::vector<TEdgeText> edges;
};
TAccessibleGraph AccessibleTexts(const Tgraph& g);

} // namespace analysis
