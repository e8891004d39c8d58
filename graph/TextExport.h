#pragma once
// The graph as text for other programs: the TikZ picture for LaTeX here, and what it shares with
// the DOT and GraphML writers (which live beside their readers, in import/). Each writes one
// vertex per vertex and one edge per edge line of the graph's gf4 file (an undirected edge once,
// from its lower-numbered end), in the file's order. Texts come out as UTF-8 (see Utf8Text),
// escaped for the format, with control characters (C0, DEL, C1) and U+FFFE, U+FFFF shown as
// spaces.

#include "Geometry.h"
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

// Calls f(source, edge) for every edge line of the gf4 file, in the file's order.
template <typename F>
void ForEachFileEdge(const Tgraph& g, F f) {
    for (int s = 1; s <= geometry::HeldVertices(g); ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (g.directed || e->target >= s) f(s, *e);
}

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
