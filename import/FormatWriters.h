#pragma once
// The formats the import reads, written so that reading them back gives the same gf4 file. No Qt.
//
// Both DOT and GraphML carry everything the gf4 file holds: besides the standard attributes, the
// graph's weightedness, base colour and counted edges, and a name or weight that other programs
// would not see exactly (not UTF-8, or holding control characters) once more as its exact bytes,
// PercentEncoded (TextExport.h). Each writes one vertex per vertex and one edge per edge line of
// the gf4 file, in the file's order. The writer lives beside its reader: DotFormat.cpp,
// GraphMLFormat.cpp.

#include "Graph_obj.h"

#include <string>

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
