#pragma once
// Answers to exercises checked property by property, each with a message a student can act on.
// No Qt.

#include "Analysis.h"

#include <string>
#include <utility>
#include <vector>

namespace analysis {

// A question about a graph:
//   shortest-path:S,T  path:S,T  bfs:S  dfs:S     a sequence of vertices
//   mst  spanning-tree  matching                  edges
//   colouring  colouring:K                        NAME COLOUR lines
//   euler  topological                            a sequence of vertices ("none" when there is none)
//   max-flow:S,T                                  a number
struct TQuestion {
    std::string word;
    int a = 0, b = 0; // vertex numbers
    int colours = 0;  // colouring:K
};

// Reads a question; throws TAnalysisError for an unknown word, a vertex FindVertex refuses, or a
// question the graph cannot be asked (a spanning tree of a directed graph, ...).
TQuestion ParseQuestion(const Tgraph& g, const std::string& text);

// An answer as read: its text, or its edges by the names of their ends (an answer given as a
// graph file).
struct TAnswer {
    std::string text;
    bool fromGraph = false;
    std::vector<std::pair<std::string, std::string>> edges;
};

// The verdict: {"format": "nodeloom-check/1", "correct", "points", "of", "checks": [{"check",
// "passed", "message"}]}. Every kind of question has a fixed list of checks; one that cannot be
// made (the answer names no vertex of the graph) fails saying why. Throws TAnalysisError when
// the answer does not have the form the question wants (a line that is no edge, no number).
TJson CheckAnswer(const Tgraph& g, const TQuestion& question, const TAnswer& answer);

// The words of a sequence: separated by spaces, commas, semicolons, "-", "->", "–" or "→".
std::vector<std::string> SequenceWords(const std::string& text);

} // namespace analysis
