#pragma once
// The graph as text for other programs: Graphviz DOT, GraphML and a TikZ picture for LaTeX.
// Each writes one vertex per vertex and one edge per edge line of the graph's gf4 file (an
// undirected edge once, from its lower-numbered end), in the file's order. Texts come out as
// UTF-8 (see Utf8Text), escaped for the format, with control characters (C0, DEL, C1) and
// U+FFFE, U+FFFF shown as spaces.

#include "Graph_obj.h"
#include "Text.h"

#include <string>

// Both DOT and GraphML carry everything the gf4 file holds, so that reading them back
// (ImportGraph) gives the same file: besides the standard attributes, the graph's weightedness,
// base colour and counted edges, and a name or weight that other programs would not see exactly
// (not UTF-8, or holding control characters) once more as its exact bytes, PercentEncoded.

// The bytes with every byte but printable ASCII (and % " \ < > &) as %XX; PercentDecoded undoes
// it, false for a broken escape.
std::string PercentEncoded(const std::string& bytes);
bool PercentDecoded(const std::string& text, std::string& bytes);
// Whether the exports show the text as it is (UTF-8 without control characters).
bool ShownExactly(const std::string& bytes);

// `graph` or `digraph`; graph attributes nodeloom_weighted, nodeloom_base, nodeloom_edges; nodes
// 1..n with label, pos="x,-y!" (points at 0.75 pt a pixel, y up), nodeloom_name when needed, and
// the vertex's size; edges in the gf4 file's order with the colour and, in a weighted graph, the
// weight as label (and nodeloom_weight when needed); a loop's curve above its vertex. A text
// longer than Graphviz's quoted-string limit is written as "..." + "...".
std::string DotText(const Tgraph& g);

// Graph keys nodeloom.weighted, nodeloom.base, nodeloom.edges; node keys name and label (the
// same text), nodeloom.name when needed, x, y (surface pixels, y down); edge keys weight (text),
// weight_value (double, when every weight is a number), nodeloom.weight when needed, color
// ("#RRGGBB"); edgedefault from the graph's kind.
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
