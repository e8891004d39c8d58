#pragma once
// The graph as text for other programs: Graphviz DOT, GraphML and a TikZ picture for LaTeX.
// Each writes one vertex per vertex and one edge per edge line of the graph's gf4 file (an
// undirected edge once, from its lower-numbered end), in the file's order. Texts come out as
// UTF-8 (see Utf8Text), escaped for the format, with control characters shown as spaces.

#include "Graph_obj.h"
#include "Text.h"

#include <string>

// `graph` or `digraph`; nodes 1..n with label, pos="x,-y!" (points, y up) and the vertex's size;
// edges with the colour and, in a weighted graph, the weight as label.
std::string DotText(const Tgraph& g);

// Keys name, x, y (surface pixels, y down) for nodes; weight (weighted graphs) and color
// ("#RRGGBB") for edges; edgedefault from the graph's kind.
std::string GraphMLText(const Tgraph& g);

// A tikzpicture without preamble: 1 unit = one surface pixel = 0.75 pt, y up; the colour table
// defined at the top; arrowheads in a directed graph; a paired directed edge bent to its left as
// on the surface; loops above the vertex.
std::string TikzText(const Tgraph& g);
// The same with a result drawn in, its parts in styles of their own: result edge, result vertex,
// result label (beside a vertex), result edge label, and the colour nl-result.
struct TMarks;
std::string TikzText(const Tgraph& g, const TMarks& marks);

// The text set in LaTeX as it reads, its special characters escaped (UTF-8 as Utf8Text gives).
std::string TexText(const std::string& bytes);
